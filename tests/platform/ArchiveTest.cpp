#include "platform/Archive.h"

#include <QBuffer>
#include <algorithm>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

using plat::CArchive;
using plat::CArchiveException;

namespace {

QByteArray Stored(const std::function<void(CArchive&)>& write)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    CArchive ar(&buffer, CArchive::store, 16);
    write(ar);
    ar.Close();
    return bytes;
}

QString LoadedString(const QByteArray& bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load, 16);
    QString str;
    ar >> str;
    return str;
}

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

}  // namespace

TEST(ArchiveTest, ScalarsAreLittleEndian)
{
    const QByteArray bytes = Stored([](CArchive& ar) {
        ar << plat::BYTE(0xAB) << plat::WORD(0x1234) << plat::LONG(-2) << plat::DWORD(0xD9E7E9);
    });
    EXPECT_EQ(bytes.toHex(), "ab3412feffffffe9e7d900");
}

TEST(ArchiveTest, TextLengthPrefixes)
{
    struct Case {
        int nLength;
        QByteArray prefix;
    };
    const Case cases[] = {
        {0, Hex("00")},
        {1, Hex("01")},
        {254, Hex("fe")},
        {255, Hex("ffff00")},
        {0xFFFD, Hex("fffdff")},
        {0xFFFE, Hex("ffffff" "feff0000")},
        {70000, Hex("ffffff" "70110100")},
    };
    for (const Case& c : cases) {
        const QString text(c.nLength, QLatin1Char('a'));
        const QByteArray bytes = CArchive::EncodeString(text);
        EXPECT_EQ(bytes.left(c.prefix.size()).toHex(), c.prefix.toHex()) << c.nLength;
        EXPECT_EQ(bytes.size(), c.prefix.size() + c.nLength) << c.nLength;
        EXPECT_EQ(LoadedString(bytes), text) << c.nLength;
    }
}

TEST(ArchiveTest, TextsAreUtf8AndWideTaggedTextsUtf16)
{
    const QString chinese = QStringLiteral("宋体");
    EXPECT_EQ(CArchive::EncodeString(chinese).toHex(), "06e5ae8be4bd93");
    EXPECT_EQ(LoadedString(Hex("06e5ae8be4bd93")), chinese);
    // Wide tag, then a one-byte length of two UTF-16 units.
    EXPECT_EQ(LoadedString(Hex("fffeff" "02" "8b5b534f")), chinese);
    // Wide tag with a two-byte length.
    EXPECT_EQ(LoadedString(Hex("fffeff" "ff" "0100" "4100")), QStringLiteral("A"));
}

TEST(ArchiveTest, ManyValuesRoundTripThroughTheBuffer)
{
    const QByteArray bytes = Stored([](CArchive& ar) {
        for (int i = 0; i < 1000; ++i) ar << plat::LONG(i * 7919) << QString::number(i);
    });
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load, 16);
    for (int i = 0; i < 1000; ++i) {
        plat::LONG n = 0;
        QString str;
        ar >> n >> str;
        ASSERT_EQ(n, i * 7919);
        ASSERT_EQ(str, QString::number(i));
    }
    plat::BYTE b = 0;
    EXPECT_THROW(ar >> b, CArchiveException);
}

TEST(ArchiveTest, TruncatedOrImpossibleDataThrowsEndOfFile)
{
    const QByteArray cases[] = {
        Hex(""),
        Hex("05616263"),            // 5 characters announced, 3 present
        Hex("ff"),                  // escape without its length
        Hex("ffffff" "ffffffff"),   // 4 GB announced
        Hex("fffeff" "ffffff" "ffffff7f"),  // wide, 2^31 units announced
    };
    for (const QByteArray& bytes : cases) {
        try {
            LoadedString(bytes);
            ADD_FAILURE() << "no exception for " << bytes.toHex().constData();
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.GetCause(), CArchiveException::endOfFile) << bytes.toHex().constData();
        }
    }
}

TEST(ArchiveTest, RepeatedWideTagIsABadLength)
{
    try {
        LoadedString(Hex("fffeff" "fffeff"));
        ADD_FAILURE() << "no exception";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.GetCause(), CArchiveException::badLength);
    }
}

// A sequential device does not tell its size: a lying length must still not
// allocate more than what arrives.
class TrickleDevice : public QIODevice {
public:
    explicit TrickleDevice(QByteArray data) : m_data(std::move(data)) { open(ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 n = std::min<qint64>(maxSize, m_data.size() - m_pos);
        if (n <= 0) return -1;
        std::memcpy(data, m_data.constData() + m_pos, n);
        m_pos += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_data;
    qint64 m_pos = 0;
};

TEST(ArchiveTest, SequentialDeviceWithLyingLengthThrows)
{
    TrickleDevice device(Hex("ffffff" "ffffff7f" "414243"));
    CArchive ar(&device, CArchive::load);
    QString str;
    EXPECT_THROW(ar >> str, CArchiveException);
}

TEST(ArchiveTest, WriteFailureIsReportedByClose)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);  // refuses writes
    CArchive ar(&buffer, CArchive::store);
    ar << plat::LONG(1);
    EXPECT_THROW(ar.Close(), CArchiveException);
}
