#include "CommPort.h"

#include "Deadline.h"

#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

QByteArray HexText(const stirrer::BYTE* data, int length)
{
    static const char digits[] = "0123456789ABCDEF";
    QByteArray text;
    text.reserve(length * 3);
    for (int i = 0; i < length; ++i) {
        text.append(digits[data[i] >> 4]);
        text.append(digits[data[i] & 0x0F]);
        text.append(' ');
    }
    return text;
}

bool BaudConstant(int baud, speed_t& speed)
{
    static const struct { int baud; speed_t speed; } table[] = {
        {1200, B1200},     {2400, B2400},     {4800, B4800},     {9600, B9600},
        {19200, B19200},   {38400, B38400},   {57600, B57600},   {115200, B115200},
        {230400, B230400}, {460800, B460800}, {921600, B921600},
    };
    for (const auto& entry : table) {
        if (entry.baud == baud) {
            speed = entry.speed;
            return true;
        }
    }
    return false;
}

// Waits for one of events on fd; false on time-out, error or hang-up.
bool WaitFor(int fd, short events, int waitMs)
{
    pollfd p{fd, events, 0};
    int n;
    do {
        n = poll(&p, 1, waitMs);
    } while (n < 0 && errno == EINTR);
    if (n <= 0)
        return false;
    return (p.revents & (POLLERR | POLLHUP | POLLNVAL)) == 0 && (p.revents & events) != 0;
}

}  // namespace

std::mutex CCommPort::s_instanceLock;
std::unique_ptr<CCommPort> CCommPort::s_pInstance;

CCommPort* CCommPort::Instance()
{
    std::lock_guard<std::mutex> guard(s_instanceLock);
    if (!s_pInstance)
        s_pInstance.reset(new CCommPort);
    return s_pInstance.get();
}

void CCommPort::ReleaseInstance()
{
    std::unique_ptr<CCommPort> released;
    {
        std::lock_guard<std::mutex> guard(s_instanceLock);
        released = std::move(s_pInstance);
    }
}

CCommPort::~CCommPort()
{
    Close();
}

QString CCommPort::DevicePath(const QString& portName)
{
    if (portName.startsWith(QLatin1Char('/')))
        return portName;
    static const QRegularExpression com(QStringLiteral("^COM([1-9][0-9]*)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = com.match(portName);
    if (match.hasMatch())
        return QStringLiteral("/dev/ttyS%1").arg(match.captured(1).toInt() - 1);
    if (portName.isEmpty())
        return QString();
    return QStringLiteral("/dev/") + portName;
}

void CCommPort::SetPortName(const QString& name)
{
    std::lock_guard<std::mutex> guard(m_settingsLock);
    m_strPortName = name;
}

QString CCommPort::PortName() const
{
    std::lock_guard<std::mutex> guard(m_settingsLock);
    return m_strPortName;
}

void CCommPort::SetBaudRate(int baud)
{
    std::lock_guard<std::mutex> guard(m_settingsLock);
    m_nBaudRate = baud;
}

int CCommPort::BaudRate() const
{
    std::lock_guard<std::mutex> guard(m_settingsLock);
    return m_nBaudRate;
}

bool CCommPort::Open()
{
    std::scoped_lock guard(m_exchangeLock, m_sendLock);
    CloseDescriptor();
    int fd = -1;
    const CPortProblem problem = OpenDevice(DevicePath(PortName()), fd);
    // The log of a port held by another program is that program's traffic.
    if (problem.Kind() != CPortProblem::EKind::Busy)
        ResetLog();
    SetProblem(problem);
    if (!problem.IsNone())
        return false;
    m_fd = fd;
    return true;
}

CPortProblem CCommPort::OpenDevice(const QString& path, int& fd)
{
    fd = -1;
    if (path.isEmpty())
        return CPortProblem(CPortProblem::EKind::NoDevice, QStringLiteral("(no port chosen)"));
    // No O_CREAT: a mistyped name must not leave a file in /dev.
    const int opened = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (opened < 0)
        return CPortProblem::FromOpenError(path, errno);
    const CPortProblem problem = Claim(opened, path);
    if (problem.IsNone())
        fd = opened;
    return problem;
}

CPortProblem CCommPort::Claim(int fd, const QString& path)
{
    // The lock keeps a second program off the port even when it runs as
    // root, which exclusive mode does not stop, and names the holder.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        return CPortProblem::Busy(path);
    }
    if (ioctl(fd, TIOCEXCL) != 0) {
        const int err = errno;
        ::close(fd);
        return CPortProblem::FromOpenError(path, err);
    }
    if (Configure(fd))
        return CPortProblem();
    const int err = errno;
    const bool terminal = isatty(fd);
    ::close(fd);
    speed_t speed;
    if (!BaudConstant(BaudRate(), speed))
        return CPortProblem::BadBaudRate(path, BaudRate());
    return terminal ? CPortProblem::OpenFailed(path, err) : CPortProblem(CPortProblem::EKind::NotSerial, path);
}

void CCommPort::SetProblem(const CPortProblem& problem)
{
    std::lock_guard<std::mutex> guard(m_problemLock);
    m_problem = problem;
}

CPortProblem CCommPort::LastProblem() const
{
    std::lock_guard<std::mutex> guard(m_problemLock);
    return m_problem;
}

bool CCommPort::Configure(int fd)
{
    if (fd < 0)
        return false;
    speed_t speed;
    if (!BaudConstant(BaudRate(), speed))
        return false;
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    // Every setting is written here; a tty starts in a line-editing mode
    // that would corrupt binary frames, and the protocol has no flow control.
    cfmakeraw(&tio);
    tio.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
    tio.c_cflag &= ~tcflag_t(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0)
        return false;
    if (tcsetattr(fd, TCSANOW, &tio) != 0)
        return false;
    // tcsetattr succeeds when any one change applied; the rate must have.
    termios applied{};
    if (tcgetattr(fd, &applied) != 0 || cfgetospeed(&applied) != speed)
        return false;
    tcflush(fd, TCIFLUSH);
    return true;
}

bool CCommPort::Close()
{
    std::scoped_lock guard(m_exchangeLock, m_sendLock);
    CloseDescriptor();
    return true;
}

void CCommPort::CloseDescriptor()
{
    const int fd = m_fd.exchange(-1);
    if (fd < 0)
        return;
    // Exclusive use belongs to the terminal, not to the descriptor: left set,
    // it would lock out the next program while anyone else keeps the line open.
    ioctl(fd, TIOCNXCL);
    ::close(fd);
}

bool CCommPort::IsOpen() const
{
    return m_fd >= 0;
}

bool CCommPort::Send(const BYTE* data, int length)
{
    return SendFrame(data, length, false);
}

bool CCommPort::SendFrame(const BYTE* data, int length, bool discardBeforeLastByte)
{
    std::lock_guard<std::mutex> guard(m_sendLock);
    const int fd = m_fd;
    if (fd < 0)
        return false;
    AppendLog("Send:" + HexText(data, data ? length : 0) + "\r\n");
    if (data == nullptr || length <= 0)
        return false;
    for (int i = 0; i < length; ++i) {
        // The instrument answers only a whole frame, so whatever arrived
        // before its last byte is left over from an earlier exchange.
        if (discardBeforeLastByte && i == length - 1)
            DiscardStaleInput();
        if (!WriteByte(fd, data[i]))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kBytePauseMs));
    }
    return true;
}

bool CCommPort::WriteByte(int fd, BYTE byte)
{
    const CDeadline deadline{std::chrono::milliseconds(kWriteTimeoutMs)};
    for (;;) {
        const ssize_t n = ::write(fd, &byte, 1);
        if (n == 1)
            return true;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return false;
        if (deadline.IsExpired() || !WaitFor(fd, POLLOUT, deadline.RemainingMs()))
            return false;
    }
}

bool CCommPort::ReadAvailable(int fd, int waitMs, std::vector<BYTE>& block)
{
    block.clear();
    if (fd < 0)
        return false;
    pollfd p{fd, POLLIN, 0};
    int ready;
    do {
        ready = poll(&p, 1, waitMs);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0)
        return false;
    if (ready == 0)
        return true;
    int queued = 0;
    if (ioctl(fd, FIONREAD, &queued) != 0)
        return false;
    block.resize(size_t(queued > 0 ? queued : 1));
    ssize_t n;
    do {
        n = ::read(fd, block.data(), block.size());
    } while (n < 0 && errno == EINTR);
    if (n == 0 || (n < 0 && errno != EAGAIN)) {
        block.clear();
        return false;  // end of file: the device went away
    }
    if (n < 0) {
        // Readable yet nothing to read: pause rather than spin on it.
        block.clear();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return true;
    }
    block.resize(size_t(n));
    return true;
}

bool CCommPort::Receive(BYTE* buffer, int length, int limitMs)
{
    AppendLog("Receive:");
    m_nReceived = 0;
    const CDeadline deadline{std::chrono::milliseconds(limitMs)};
    const int fd = m_fd;
    std::vector<BYTE> chunk;
    while (m_nReceived < length) {
        if (deadline.IsExpired())
            break;
        if (!ReadAvailable(fd, deadline.RemainingMs(), chunk))
            break;
        if (chunk.empty())
            continue;
        AppendLog(HexText(chunk.data(), int(chunk.size())));
        const int received = m_nReceived;
        const int copied = std::min(int(chunk.size()), length - received);
        std::copy_n(chunk.begin(), copied, buffer + received);
        m_nReceived = received + int(chunk.size());
    }
    AppendLog("\r\n");
    return m_nReceived >= length;
}

void CCommPort::DiscardStaleInput()
{
    const int fd = m_fd;
    QByteArray stale;
    std::vector<BYTE> chunk;
    while (ReadAvailable(fd, 0, chunk) && !chunk.empty())
        stale += HexText(chunk.data(), int(chunk.size()));
    if (!stale.isEmpty())
        AppendLog("Discard:" + stale + "\r\n");
}

void CCommPort::ResetLog()
{
    m_log.Reset();
}

void CCommPort::AppendLog(const QByteArray& text)
{
    m_log.Append(text);
}

QString CCommPort::LogPath() const
{
    return m_log.Path();
}
