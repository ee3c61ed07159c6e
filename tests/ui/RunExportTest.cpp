#include "ui/RunExport.h"
#include "ui/RunRecord.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

QByteArray Export(const CRunRecord& record)
{
    return CRunExport::Format(record, "Time(S)", "Speed(rpm)", "Torque(Ncm)");
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Limits the size of files this process may write, for a disk-full write.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

}  // namespace

TEST(RunRecordTest, AppendsBothArraysAndEmptiesThem)
{
    CRunRecord record;
    record.Append(480, 12);
    record.Append(-1, 65535);
    EXPECT_EQ(record.GetCount(), 2);
    EXPECT_EQ(record.SpeedSamples(), (std::vector<std::uint32_t>{480u, 0xFFFFFFFFu}));
    EXPECT_EQ(record.TorqueSamples(), (std::vector<float>{12.0f, 65535.0f}));
    record.RemoveAll();
    EXPECT_EQ(record.GetCount(), 0);
    EXPECT_TRUE(record.TorqueSamples().empty());
}

TEST(RunExportTest, BytesOfAThreeSampleRun)
{
    CRunRecord record;
    record.Append(480, 12);
    record.Append(495, 13);
    record.Append(505, 13);
    const QByteArray expected = "Time(S)\tSpeed(rpm)\tTorque(Ncm)\r\n"
                                "1\t480\t12\r\n"
                                "2\t495\t13\r\n"
                                "3\t505\t13\r\n";
    const QByteArray bytes = Export(record);
    ASSERT_EQ(bytes.size(), expected.size());
    for (int i = 0; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], expected[i]) << "byte " << i;
}

TEST(RunExportTest, NoSamplesGiveTheHeaderOnly)
{
    EXPECT_EQ(Export(CRunRecord()), QByteArray("Time(S)\tSpeed(rpm)\tTorque(Ncm)\r\n"));
}

TEST(RunExportTest, RowsPrintSpeedSignedAndTruncateTorqueTowardZero)
{
    EXPECT_EQ(CRunExport::Row(1, 0xFFFFFFFFu, 12.9f), QByteArray("1\t-1\t12\r\n"));
    EXPECT_EQ(CRunExport::Row(2, 2199, -3.7f), QByteArray("2\t2199\t-3\r\n"));
    EXPECT_EQ(CRunExport::Row(3, 0, -0.5f), QByteArray("3\t0\t0\r\n"));
    EXPECT_EQ(CRunExport::Row(4, 7, 65535.0f), QByteArray("4\t7\t65535\r\n"));
    EXPECT_EQ(CRunExport::Row(5, 7, 1e20f), QByteArray("5\t7\t2147483647\r\n"));
}

TEST(RunExportTest, WriteReplacesTheFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("run.xls");
    ASSERT_TRUE(WriteFile(path, QByteArray(1000, 'x')));
    QString error;
    ASSERT_TRUE(CRunExport::Write(path, "short\r\n", &error)) << error.toStdString();
    EXPECT_EQ(ReadFile(path), QByteArray("short\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"run.xls"}));
}

TEST(RunExportTest, FailedWriteKeepsTheOldFileAndLeavesNothingBehind)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("run.xls");
    ASSERT_TRUE(WriteFile(path, "good old run\r\n"));
    QString error;
    bool written = true;
    {
        const FileSizeLimit limit(64);  // the disk is full after 64 bytes
        written = CRunExport::Write(path, QByteArray(4096, '1'), &error);
    }
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadFile(path), QByteArray("good old run\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"run.xls"}));
}

TEST(RunExportTest, FolderThatCannotTakeTheFileGivesAnError)
{
    QTemporaryDir dir;
    ASSERT_TRUE(WriteFile(dir.filePath("plain"), "a file, not a folder"));
    QString error;
    EXPECT_FALSE(CRunExport::Write(dir.filePath("plain/run.xls"), "x\r\n", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(CRunExport::Write(dir.filePath("missing/run.xls"), "x\r\n", &error));
    EXPECT_FALSE(QFile::exists(dir.filePath("missing")));
    EXPECT_TRUE(CRunExport::FailureMessage("/a/run.xls", "No space").contains("/a/run.xls"));
}
