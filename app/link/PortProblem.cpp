#include "link/PortProblem.h"

#include "link/DeviceHolders.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>
#include <vector>

namespace {

// The group owning path as stat reports it, by name when the system knows it.
QString OwningGroup(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
    std::vector<char> buffer(16384);
    group entry {};
    group* found = nullptr;
    if (getgrgid_r(st.st_gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return QString::fromLocal8Bit(found->gr_name);
    return QString::number(st.st_gid);
}

}  // namespace

CPortProblem CPortProblem::FromOpenError(const QString& path, int err)
{
    switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return CPortProblem(EKind::NoDevice, path);
    case EACCES:
    case EPERM:
    case EROFS:
        return PermissionDenied(path);
    case EBUSY:
    case EWOULDBLOCK:
        return Busy(path);
    case EISDIR:
    case ENOTTY:
        return CPortProblem(EKind::NotSerial, path);
    case EIO:
        return CPortProblem(EKind::NoHardware, path);
    default:
        return OpenFailed(path, err);
    }
}

CPortProblem CPortProblem::PermissionDenied(const QString& path)
{
    CPortProblem problem(EKind::PermissionDenied, path);
    problem.m_strGroup = OwningGroup(path);
    return problem;
}

CPortProblem CPortProblem::Busy(const QString& path)
{
    CPortProblem problem(EKind::Busy, path);
    problem.m_holders = CDeviceHolders::Of(path);
    return problem;
}

CPortProblem CPortProblem::OpenFailed(const QString& path, int err)
{
    CPortProblem problem(EKind::OpenFailed, path);
    problem.m_strSystem = QString::fromLocal8Bit(std::strerror(err));
    return problem;
}

CPortProblem CPortProblem::BadBaudRate(const QString& path, int baud)
{
    CPortProblem problem(EKind::BadBaudRate, path);
    problem.m_nBaud = baud;
    return problem;
}

CPortProblem CPortProblem::Handshake(const QString& path, int baud, int bytesReceived)
{
    const EKind kind = bytesReceived < 0 ? EKind::LineError : bytesReceived == 0 ? EKind::NoReply : EKind::WrongReply;
    CPortProblem problem(kind, path);
    problem.m_nBaud = baud;
    return problem;
}

QString CPortProblem::Explain() const
{
    const QString& p = m_strPath;
    switch (m_eKind) {
    case EKind::None:
        return {};
    case EKind::NoDevice:
        return QStringLiteral("%1: no such device. Is the stirrer or its USB adapter plugged in? "
                              "\"vantoc --list-ports\" lists the serial devices present.").arg(p);
    case EKind::PermissionDenied: {
        const QString group = m_strGroup.isEmpty() ? QStringLiteral("dialout") : m_strGroup;
        return QStringLiteral("%1: permission denied. The device belongs to the group \"%2\"; "
                              "add yourself to it with  sudo usermod -aG %2 $USER  and then log in again.")
            .arg(p, group);
    }
    case EKind::Busy:
        if (m_holders.isEmpty())
            return QStringLiteral("%1 is busy: another program holds it. Close that program or choose another port.")
                .arg(p);
        return QStringLiteral("%1 is busy: held by %2. Close that program or choose another port.")
            .arg(p, m_holders.join(QStringLiteral(", ")));
    case EKind::NotSerial:
        return QStringLiteral("%1 is not a serial device.").arg(p);
    case EKind::NoHardware:
        return QStringLiteral("%1 does not respond (input/output error): there is probably no serial port "
                              "behind this name. Choose the stirrer's device instead.").arg(p);
    case EKind::BadBaudRate:
        return QStringLiteral("%1: the line cannot run at %2 baud.").arg(p).arg(m_nBaud);
    case EKind::OpenFailed:
        return QStringLiteral("%1 cannot be opened: %2.").arg(p, m_strSystem);
    case EKind::LineError:
        return QStringLiteral("%1: the handshake could not be sent; the line failed.").arg(p);
    case EKind::NoReply:
        return QStringLiteral("%1: no reply from the instrument (the handshake timed out). Is the stirrer "
                              "switched on, connected to this port and set to %2 baud?").arg(p).arg(m_nBaud);
    case EKind::WrongReply:
        return QStringLiteral("%1: a wrong reply to the handshake. Is the device on this port the stirrer, "
                              "and set to %2 baud?").arg(p).arg(m_nBaud);
    }
    return {};
}
