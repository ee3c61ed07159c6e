#include "run/JournalStore.h"

#include "run/RunJournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QString CJournalStore::DefaultDir()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    // Relative values are to be ignored.
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/vantoc/runs");
}

QStringList CJournalStore::Journals() const
{
    QStringList paths;
    const QDir dir(m_strDir);
    for (const QString& name : dir.entryList({QStringLiteral("*") + kSuffix}, QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

bool CJournalStore::IsHeld(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool held = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

QStringList CJournalStore::Unfinished() const
{
    QStringList paths;
    for (const QString& path : Journals()) {
        if (CRunJournal::EndsFinished(path) || IsHeld(path)) continue;
        try {
            if (!CRunJournal::Summary(path).IsFinished()) paths << path;
        } catch (const CJournalError&) {
            // Not a journal: nothing to recover.
        }
    }
    return paths;
}

bool CJournalStore::Discard(const QString& path, QString* error) const
{
    const QString target = QDir(m_strDir).filePath(QString::fromLatin1(kDiscarded));
    if (!QDir().mkpath(target)) {
        if (error) *error = QStringLiteral("cannot make the folder %1").arg(target);
        return false;
    }
    const QFileInfo info(path);
    for (int i = 1; i < 1000; ++i) {
        const QString name = i == 1 ? info.fileName()
                                    : QStringLiteral("%1-%2.%3").arg(info.completeBaseName()).arg(i).arg(info.suffix());
        const QByteArray to = QFile::encodeName(QDir(target).filePath(name));
        // link + unlink never replaces a file already there.
        if (::link(QFile::encodeName(path).constData(), to.constData()) == 0) {
            ::unlink(QFile::encodeName(path).constData());
            return true;
        }
        if (errno != EEXIST) {
            if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
    }
    if (error) *error = QStringLiteral("no free name in %1").arg(target);
    return false;
}
