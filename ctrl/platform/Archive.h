#pragma once

#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

#include <QByteArray>
#include <exception>
#include <string>

class QIODevice;

namespace plat {

// Raised by CArchive when the data ends early, a length is impossible or
// the device refuses a write. Readers of files catch it where a broken file
// is to be tolerated.
class QUINDLE_EXPORT CArchiveException : public std::exception {
public:
    enum Cause { endOfFile, badLength, writeFault };
    CArchiveException(Cause cause, std::string what) : m_cause(cause), m_what(std::move(what)) {}
    Cause GetCause() const { return m_cause; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    Cause m_cause;
    std::string m_what;
};

// A little-endian binary reader or writer over a device, buffered, with the
// framework's text encoding: a length prefix (1 byte below 255; else 0xFF and
// 2 bytes below 0xFFFE; else 0xFF, 0xFFFF and 4 bytes) and the characters.
// Texts are written as UTF-8. On reading, a text tagged as wide (0xFF,
// 0xFFFE, then a length prefix counting 2-byte units) is read as UTF-16.
//
// A length larger than what the device still holds raises endOfFile before
// anything is allocated; a text never takes more memory than the bytes
// actually present. The device is not owned and must stay open while the
// archive lives. Storing archives write their buffer out on Flush, Close and
// destruction (the destructor swallows a failure; call Close to see it).
class QUINDLE_EXPORT CArchive {
public:
    enum Mode { store = 0, load = 1 };

    CArchive(QIODevice* pDevice, Mode nMode, int nBufSize = 4096);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return m_nMode == load; }
    bool IsStoring() const { return m_nMode == store; }

    // Writes the buffered bytes to the device; throws writeFault on failure.
    void Flush();
    // Flushes a storing archive; afterwards the archive is not usable.
    void Close();

    void Write(const void* pData, qint64 nBytes);
    // Exactly nBytes or endOfFile.
    void Read(void* pData, qint64 nBytes);

    CArchive& operator<<(BYTE v);
    CArchive& operator<<(WORD v);
    CArchive& operator<<(LONG v);
    CArchive& operator<<(DWORD v);
    CArchive& operator<<(const CString& str);
    CArchive& operator>>(BYTE& v);
    CArchive& operator>>(WORD& v);
    CArchive& operator>>(LONG& v);
    CArchive& operator>>(DWORD& v);
    CArchive& operator>>(CString& str);

    // The encoded form of a text, as operator<< writes it.
    static QByteArray EncodeString(const CString& str);

private:
    void FillBuffer();
    // Bytes still to come: buffered plus unread on the device; -1 unknown.
    qint64 Remaining() const;
    void CheckLength(qint64 nBytes) const;
    DWORD ReadStringLength(int& nCharSize);
    QByteArray ReadBytes(qint64 nBytes);

    QIODevice* m_pDevice;
    Mode m_nMode;
    int m_nBufSize;
    QByteArray m_buffer;
    qsizetype m_nPos = 0;  // next unread byte of m_buffer (loading)
    bool m_bClosed = false;
};

}  // namespace plat
