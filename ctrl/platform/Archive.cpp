#include "platform/Archive.h"

#include <QIODevice>
#include <algorithm>
#include <cstring>

namespace plat {

namespace {

constexpr BYTE kByteEscape = 0xFF;
constexpr WORD kWideTag = 0xFFFE;
constexpr WORD kWordEscape = 0xFFFF;
constexpr qint64 kChunk = 64 * 1024;  // texts grow by at most this beyond what was read

template <class T>
void PutLE(QByteArray& out, T v)
{
    for (size_t i = 0; i < sizeof(T); ++i) out.append(static_cast<char>((static_cast<std::uint64_t>(v) >> (8 * i)) & 0xFF));
}

template <class T>
T GetLE(const unsigned char* p)
{
    std::uint64_t v = 0;
    for (size_t i = 0; i < sizeof(T); ++i) v |= std::uint64_t(p[i]) << (8 * i);
    return static_cast<T>(v);
}

}  // namespace

CArchive::CArchive(QIODevice* pDevice, Mode nMode, int nBufSize)
    : m_pDevice(pDevice), m_nMode(nMode), m_nBufSize(std::max(nBufSize, 16))
{
    if (IsStoring()) m_buffer.reserve(m_nBufSize);
}

CArchive::~CArchive()
{
    if (m_bClosed || !IsStoring()) return;
    try {
        Flush();
    } catch (const CArchiveException&) {
        // A destructor cannot report; Close is the way to see the failure.
    }
}

void CArchive::Flush()
{
    if (!IsStoring() || m_buffer.isEmpty()) return;
    const qint64 nWritten = m_pDevice ? m_pDevice->write(m_buffer) : -1;
    const bool bOk = nWritten == m_buffer.size();
    m_buffer.clear();
    if (!bOk) throw CArchiveException(CArchiveException::writeFault, "archive: write failed");
}

void CArchive::Close()
{
    if (m_bClosed) return;
    m_bClosed = true;
    Flush();
}

void CArchive::Write(const void* pData, qint64 nBytes)
{
    if (nBytes <= 0) return;
    m_buffer.append(static_cast<const char*>(pData), nBytes);
    if (m_buffer.size() >= m_nBufSize) Flush();
}

void CArchive::FillBuffer()
{
    m_buffer.remove(0, m_nPos);
    m_nPos = 0;
    if (!m_pDevice) return;
    const QByteArray more = m_pDevice->read(m_nBufSize);
    m_buffer.append(more);
}

qint64 CArchive::Remaining() const
{
    const qint64 nBuffered = m_buffer.size() - m_nPos;
    if (!m_pDevice) return nBuffered;
    if (m_pDevice->isSequential()) return -1;
    return nBuffered + std::max<qint64>(0, m_pDevice->size() - m_pDevice->pos());
}

void CArchive::CheckLength(qint64 nBytes) const
{
    const qint64 nLeft = Remaining();
    if (nBytes < 0 || (nLeft >= 0 && nBytes > nLeft))
        throw CArchiveException(CArchiveException::endOfFile, "archive: data ends early");
}

void CArchive::Read(void* pData, qint64 nBytes)
{
    CheckLength(nBytes);
    auto* pOut = static_cast<char*>(pData);
    while (nBytes > 0) {
        if (m_nPos >= m_buffer.size()) {
            FillBuffer();
            if (m_buffer.isEmpty()) throw CArchiveException(CArchiveException::endOfFile, "archive: data ends early");
        }
        const qint64 n = std::min<qint64>(nBytes, m_buffer.size() - m_nPos);
        std::memcpy(pOut, m_buffer.constData() + m_nPos, static_cast<size_t>(n));
        m_nPos += n;
        pOut += n;
        nBytes -= n;
    }
}

QByteArray CArchive::ReadBytes(qint64 nBytes)
{
    CheckLength(nBytes);
    QByteArray out;
    // Grown as the bytes arrive, so a length that lies costs no memory.
    while (out.size() < nBytes) {
        const qint64 n = std::min(kChunk, nBytes - out.size());
        const qsizetype nOld = out.size();
        out.resize(nOld + n);
        Read(out.data() + nOld, n);
    }
    return out;
}

CArchive& CArchive::operator<<(BYTE v)
{
    Write(&v, 1);
    return *this;
}

CArchive& CArchive::operator<<(WORD v)
{
    QByteArray b;
    PutLE(b, v);
    Write(b.constData(), b.size());
    return *this;
}

CArchive& CArchive::operator<<(LONG v)
{
    return *this << static_cast<DWORD>(v);
}

CArchive& CArchive::operator<<(DWORD v)
{
    QByteArray b;
    PutLE(b, v);
    Write(b.constData(), b.size());
    return *this;
}

QByteArray CArchive::EncodeString(const CString& str)
{
    const QByteArray text = str.toUtf8();
    const auto n = static_cast<std::uint64_t>(text.size());
    QByteArray out;
    if (n < kByteEscape) {
        PutLE(out, static_cast<BYTE>(n));
    } else if (n < kWideTag) {
        PutLE(out, kByteEscape);
        PutLE(out, static_cast<WORD>(n));
    } else {
        PutLE(out, kByteEscape);
        PutLE(out, kWordEscape);
        PutLE(out, static_cast<DWORD>(n));
    }
    out.append(text);
    return out;
}

CArchive& CArchive::operator<<(const CString& str)
{
    const QByteArray b = EncodeString(str);
    Write(b.constData(), b.size());
    return *this;
}

CArchive& CArchive::operator>>(BYTE& v)
{
    Read(&v, 1);
    return *this;
}

CArchive& CArchive::operator>>(WORD& v)
{
    unsigned char b[2];
    Read(b, 2);
    v = GetLE<WORD>(b);
    return *this;
}

CArchive& CArchive::operator>>(LONG& v)
{
    DWORD d = 0;
    *this >> d;
    v = static_cast<LONG>(d);
    return *this;
}

CArchive& CArchive::operator>>(DWORD& v)
{
    unsigned char b[4];
    Read(b, 4);
    v = GetLE<DWORD>(b);
    return *this;
}

DWORD CArchive::ReadStringLength(int& nCharSize)
{
    nCharSize = 1;
    BYTE bLen = 0;
    *this >> bLen;
    if (bLen < kByteEscape) return bLen;
    WORD wLen = 0;
    *this >> wLen;
    if (wLen == kWideTag) {
        // The wide tag comes once, then an ordinary length prefix.
        nCharSize = 2;
        *this >> bLen;
        if (bLen < kByteEscape) return bLen;
        *this >> wLen;
        if (wLen == kWideTag) throw CArchiveException(CArchiveException::badLength, "archive: wide tag repeated");
    }
    if (wLen < kWordEscape) return wLen;
    DWORD dwLen = 0;
    *this >> dwLen;
    return dwLen;
}

CArchive& CArchive::operator>>(CString& str)
{
    int nCharSize = 1;
    const DWORD nLen = ReadStringLength(nCharSize);
    const QByteArray bytes = ReadBytes(static_cast<qint64>(nLen) * nCharSize);
    if (nCharSize == 2) {
        QString wide(static_cast<qsizetype>(nLen), Qt::Uninitialized);
        for (DWORD i = 0; i < nLen; ++i)
            wide[i] = QChar(GetLE<WORD>(reinterpret_cast<const unsigned char*>(bytes.constData()) + 2 * i));
        str = wide;
    } else {
        str = QString::fromUtf8(bytes);
    }
    return *this;
}

}  // namespace plat
