#include "link/DeviceHolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

QByteArray ReadSmallFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.read(1 << 20);
}

}  // namespace

QStringList CDeviceHolders::Of(const QString& devicePath)
{
    QList<pid_t> pids = Lockers(devicePath);
    if (pids.isEmpty()) pids = Openers(devicePath);
    QStringList names;
    for (pid_t pid : pids) {
        const QString name = Describe(pid);
        if (!names.contains(name)) names << name;
    }
    return names;
}

QList<pid_t> CDeviceHolders::LockersIn(const QByteArray& locksText, unsigned major, unsigned minor,
                                       unsigned long inode)
{
    // "1: FLOCK  ADVISORY  WRITE 1234 00:05:87 0 EOF"; a line with "->" after
    // the number is a waiter, not a holder.
    QList<pid_t> pids;
    for (const QByteArray& line : locksText.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 6 || fields[1] == "->") continue;
        bool ok = false;
        const long pid = fields[4].toLong(&ok);
        if (!ok || pid <= 0) continue;
        const QList<QByteArray> id = fields[5].split(':');
        if (id.size() != 3) continue;
        bool okMajor = false, okMinor = false, okInode = false;
        const unsigned lockMajor = id[0].toUInt(&okMajor, 16);
        const unsigned lockMinor = id[1].toUInt(&okMinor, 16);
        const unsigned long lockInode = id[2].toULong(&okInode, 10);
        if (okMajor && okMinor && okInode && lockMajor == major && lockMinor == minor && lockInode == inode
            && !pids.contains(pid_t(pid)))
            pids << pid_t(pid);
    }
    return pids;
}

QList<pid_t> CDeviceHolders::Lockers(const QString& devicePath)
{
    struct stat st {};
    if (::stat(QFile::encodeName(devicePath).constData(), &st) != 0) return {};
    return LockersIn(ReadSmallFile(QStringLiteral("/proc/locks")), ::major(st.st_dev), ::minor(st.st_dev),
                     st.st_ino);
}

QList<pid_t> CDeviceHolders::Openers(const QString& devicePath)
{
    const QString target = QFileInfo(devicePath).canonicalFilePath();
    if (target.isEmpty()) return {};
    QList<pid_t> pids;
    const QStringList processes = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : processes) {
        bool ok = false;
        const pid_t pid = pid_t(entry.toLong(&ok));
        if (!ok) continue;
        // Other users' descriptors are not readable; they stay unnamed.
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        for (const QString& fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
            if (QFile::symLinkTarget(fds.filePath(fd)) == target) {
                pids << pid;
                break;
            }
        }
    }
    return pids;
}

QString CDeviceHolders::Describe(pid_t pid)
{
    const QString name = QString::fromLocal8Bit(ReadSmallFile(QStringLiteral("/proc/%1/comm").arg(pid))).trimmed();
    if (name.isEmpty()) return QStringLiteral("pid %1").arg(pid);
    return QStringLiteral("%1 (pid %2)").arg(name).arg(pid);
}
