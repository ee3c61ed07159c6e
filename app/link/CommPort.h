#pragma once

#include "CommLog.h"
#include "PortProblem.h"
#include "StirrerProtocol.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

// The one serial connection to the stirrer and the protocol's three
// exchanges over it (POSIX termios, raw 8N1).
//
// Threads:
// - Handshake, SetSpeed and QueryStatus may run at the same time from any
//   threads (the UI thread's speed commands against the worker's polling):
//   each holds the exchange lock from discarding stale input to the end of
//   its reply wait, so requests and replies never interleave. An exchange
//   takes at least 600 ms and at most about 5.7 s.
// - Send never interleaves with another Send. Receive on its own is not
//   guarded against other receives; outside this class use the exchanges.
// - Open and Close wait for an exchange in progress to end.
// - Settings (SetPortName, SetBaudRate) belong to the owner thread and are
//   read by Open.
// - Instance may be called from any thread; ReleaseInstance only when no
//   other thread uses the port any more (after the worker has ended).
class CCommPort
{
public:
    using BYTE = stirrer::BYTE;

    static constexpr int kWriteTimeoutMs = 2000;
    static constexpr int kBytePauseMs = 100;

    // The process's one port, created with "com1" and 9600 baud on first use.
    static CCommPort* Instance();
    // Destroys the instance (closing it); a later Instance makes a new one.
    static void ReleaseInstance();

    // A name starting with '/' is a device path as it stands; "COMn" (any
    // case) is /dev/ttyS{n-1}; any other name is looked up under /dev.
    static QString DevicePath(const QString& portName);

    void SetPortName(const QString& name);
    QString PortName() const;
    void SetBaudRate(int baud);
    int BaudRate() const;

    // Empties the log, opens the device exclusively and configures it.
    // Exclusive: a second process (also one run as root) finds it busy, and
    // leaves the log alone then (it holds the other program's traffic).
    bool Open();
    // Why the last Open or Handshake failed; None after a success.
    CPortProblem LastProblem() const;
    // Always true; closing a closed port does nothing.
    bool Close();
    bool IsOpen() const;

    // Raw 8N1 at the stored baud rate, no flow control, receive queue purged.
    // False for a closed descriptor or a rate the line cannot take.
    bool Configure(int fd);

    // Writes one byte at a time and pauses 100 ms after each. The log line
    // is written before the first byte. False when a byte cannot be written
    // within 2000 ms, on a line error or for length 0.
    bool Send(const BYTE* data, int length);

    // Collects at least length bytes within limitMs (monotonic); the first
    // length bytes land in buffer, extra bytes of the last chunk are dropped
    // (and logged). False when fewer arrived or the line failed.
    bool Receive(BYTE* buffer, int length, int limitMs);

    // Waits up to waitMs for input and reads all that is queued. True with an
    // empty block when nothing came; false on a line error or hang-up.
    static bool ReadAvailable(int fd, int waitMs, std::vector<BYTE>& block);

    // The three exchanges; none retries by itself.
    bool Handshake();
    bool SetSpeed(int rpm);
    // SetSpeed telling a clean refusal from a reply that was lost or broken.
    stirrer::EAck SendSpeed(int rpm);
    // pReply is always an 11-byte block owned by the caller afterwards and
    // nLength is always 11, whatever the outcome.
    bool QueryStatus(std::unique_ptr<BYTE[]>& pReply, int& nLength);

    static bool VerifyChecksum(const BYTE* data, int length);

    void ResetLog();
    void AppendLog(const QByteArray& text);
    QString LogPath() const;

    ~CCommPort();
    CCommPort(const CCommPort&) = delete;
    CCommPort& operator=(const CCommPort&) = delete;

private:
    CCommPort() = default;

    bool WriteByte(int fd, BYTE byte);
    bool SendFrame(const BYTE* data, int length, bool discardBeforeLastByte);
    // One request and its reply under the exchange lock.
    // received: bytes of the reply that came, -1 when the request failed.
    bool Exchange(const stirrer::Frame& frame, BYTE* reply, int replyLength, int limitMs, int* received = nullptr);
    // Opens, locks and configures path; fd is the open device when the
    // result is None.
    CPortProblem OpenDevice(const QString& path, int& fd);
    // Locks and configures a device just opened; the problem when it cannot
    // (the device is closed then).
    CPortProblem Claim(int fd, const QString& path);
    void SetProblem(const CPortProblem& problem);
    // Reads and logs whatever is queued; called under the exchange lock.
    void DiscardStaleInput();
    void CloseDescriptor();

    static std::mutex s_instanceLock;  // guards s_pInstance
    static std::unique_ptr<CCommPort> s_pInstance;

    mutable std::mutex m_settingsLock;  // guards m_strPortName, m_nBaudRate
    QString m_strPortName = QStringLiteral("com1");
    int m_nBaudRate = 9600;

    std::mutex m_exchangeLock;  // holds one request and its reply together; also Open/Close
    std::mutex m_sendLock;      // keeps the bytes of one frame together
    std::atomic<int> m_fd{-1};  // replaced only under both locks above
    std::atomic<int> m_nReceived{0};  // bytes counted by the receive in progress
    CCommLog m_log;
    mutable std::mutex m_problemLock;  // guards m_problem
    CPortProblem m_problem;
};
