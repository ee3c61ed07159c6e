#include "ui/StateEndpoint.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const int kClientTimeoutMs = 3000;

// The user id of the process at the other end of a connected socket.
std::optional<uid_t> PeerUid(qintptr fd)
{
    ucred cred{};
    socklen_t length = sizeof cred;
    if (getsockopt(static_cast<int>(fd), SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0) return std::nullopt;
    return cred.uid;
}

bool ParseInt(const QByteArray& text, int* value)
{
    static const QByteArray digits = "0123456789";
    if (text.isEmpty() || text.size() > 11) return false;
    const int start = text.startsWith('-') ? 1 : 0;
    if (start == text.size()) return false;
    for (int i = start; i < text.size(); ++i)
        if (!digits.contains(text[i])) return false;
    bool ok = false;
    *value = text.toInt(&ok);
    return ok;
}

// A listening Unix-domain socket whose file only the owner may use; the mode
// is set before listen(), so nobody can connect while it is wider.
int MakeListeningSocket(const QString& path, QString* error)
{
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address{};
    if (native.size() >= static_cast<int>(sizeof address.sun_path)) {
        *error = QStringLiteral("socket path too long: %1").arg(path);
        return -1;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, native.constData(), native.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return -1;
    }
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || chmod(native.constData(), S_IRUSR | S_IWUSR) != 0 || listen(fd, SOMAXCONN) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        close(fd);
        unlink(native.constData());
        return -1;
    }
    return fd;
}

}  // namespace

CStateEndpoint::CStateEndpoint(QObject* parent) : QObject(parent), m_acceptedUid(getuid())
{
}

CStateEndpoint::~CStateEndpoint()
{
    Close();
}

QString CStateEndpoint::DefaultPath()
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(dir).filePath(QStringLiteral("vantoc-state"));
}

bool CStateEndpoint::Listen(const QString& path, QString* error)
{
    QString reason;
    Close();
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (lstat(native.constData(), &info) == 0) {
        if (!S_ISSOCK(info.st_mode)) reason = QStringLiteral("%1 exists and is not a socket").arg(path);
        else {
            QLocalSocket probe;
            probe.connectToServer(path);
            if (probe.waitForConnected(500)) reason = QStringLiteral("another Vantoc is listening on %1").arg(path);
            else unlink(native.constData());
        }
    }
    const int fd = reason.isEmpty() ? MakeListeningSocket(path, &reason) : -1;
    if (fd < 0) {
        if (error) *error = reason;
        return false;
    }
    m_pServer = new QLocalServer(this);
    if (!m_pServer->listen(fd)) {
        if (error) *error = m_pServer->errorString();
        close(fd);
        unlink(native.constData());
        delete m_pServer;
        m_pServer = nullptr;
        return false;
    }
    m_strPath = path;
    connect(m_pServer, &QLocalServer::newConnection, this, &CStateEndpoint::OnNewConnection);
    return true;
}

void CStateEndpoint::Close()
{
    if (!m_pServer) return;
    delete m_pServer;
    m_pServer = nullptr;
    // Only our own socket file goes; another instance may have taken the path.
    unlink(QFile::encodeName(m_strPath).constData());
    m_strPath.clear();
}

void CStateEndpoint::OnNewConnection()
{
    while (QLocalSocket* socket = m_pServer->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const std::optional<uid_t> uid = PeerUid(socket->socketDescriptor());
        if (!uid || *uid != m_acceptedUid) {
            socket->write("ERR permission\n");
            socket->disconnectFromServer();
            continue;
        }
        // A client that connects and sends nothing must not hold a
        // connection for ever; every complete line restarts its time.
        auto* idle = new QTimer(socket);
        idle->setSingleShot(true);
        idle->setInterval(m_nIdleTimeoutMs);
        connect(idle, &QTimer::timeout, socket, [socket] {
            socket->write("ERR idle\n");
            socket->disconnectFromServer();
        });
        idle->start();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, idle] {
            if (OnReadyRead(socket)) idle->start();
        });
        if (socket->bytesAvailable() > 0 && OnReadyRead(socket)) idle->start();
    }
}

bool CStateEndpoint::OnReadyRead(QLocalSocket* socket)
{
    bool answered = false;
    while (socket->canReadLine()) {
        answered = true;
        const QByteArray line = socket->readLine(kMaxLine + 1);
        if (!line.endsWith('\n')) break;  // overlong: refused below with the rest of the line
        const std::optional<SMessage> message = ParseLine(line);
        if (!message) {
            socket->write("ERR malformed\n");
            continue;
        }
        socket->write("OK\n");
        emit stateReceived(message->nMotor, message->nStatus);
    }
    // A line that outgrows the limit is refused as a whole, and so is the
    // rest of the connection: its tail must not pass for a message.
    if (socket->bytesAvailable() > kMaxLine || (socket->canReadLine() && socket->bytesAvailable() > 0)) {
        socket->readAll();
        socket->write("ERR malformed\n");
        socket->disconnectFromServer();
    }
    return answered;
}

std::optional<CStateEndpoint::SMessage> CStateEndpoint::ParseLine(const QByteArray& line)
{
    if (line.size() > kMaxLine || !line.endsWith('\n')) return std::nullopt;
    const QList<QByteArray> fields = line.chopped(1).split(' ');
    SMessage message;
    if (fields.size() != 3 || fields[0] != "STATE" || !ParseInt(fields[1], &message.nMotor)
        || !ParseInt(fields[2], &message.nStatus))
        return std::nullopt;
    return message;
}

QByteArray CStateEndpoint::FormatLine(int motor, int status)
{
    return "STATE " + QByteArray::number(motor) + ' ' + QByteArray::number(status) + '\n';
}

bool CStateEndpoint::Send(const QString& path, int motor, int status, QString* error)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    QString reason;
    if (!socket.waitForConnected(kClientTimeoutMs)) {
        reason = QStringLiteral("no Vantoc is listening on %1 (%2)").arg(path, socket.errorString());
    } else {
        socket.write(FormatLine(motor, status));
        socket.waitForBytesWritten(kClientTimeoutMs);
        while (!socket.canReadLine() && socket.waitForReadyRead(kClientTimeoutMs)) {
        }
        const QByteArray answer = socket.readLine(kMaxLine).trimmed();
        if (answer == "OK") return true;
        reason = answer.isEmpty() ? QStringLiteral("no answer from %1").arg(path) : QString::fromUtf8(answer);
    }
    if (error) *error = reason;
    return false;
}
