#pragma once

#include <QString>
#include <QStringList>
#include <sys/types.h>

// Finds the programs that hold a device open, for telling the operator who
// keeps a port busy. Reads /proc: the lock table first (a program that locks
// the device, as vantoc does, is named exactly), else every process's open
// files that this user may see.
class CDeviceHolders
{
public:
    // "name (pid N)" for each holder, lock holders only when there are any.
    static QStringList Of(const QString& devicePath);

    // The pids in a /proc/locks text that lock the file with this device
    // number and inode (major and minor of the file system holding it).
    static QList<pid_t> LockersIn(const QByteArray& locksText, unsigned major, unsigned minor, unsigned long inode);

    // "name (pid N)", the name from /proc/<pid>/comm ("pid N" alone when unknown).
    static QString Describe(pid_t pid);

private:
    static QList<pid_t> Lockers(const QString& devicePath);
    static QList<pid_t> Openers(const QString& devicePath);
};
