#include "CommLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::mutex g_directoryLock;  // guards g_directory
QString g_directory;

QString ProgramDirectory()
{
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationDirPath();
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return QString();
    return QFileInfo(QString::fromLocal8Bit(path, int(n))).absolutePath();
}

bool WriteAll(int fd, const char* data, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

}  // namespace

void CCommLog::SetDirectory(const QString& directory)
{
    std::lock_guard<std::mutex> guard(g_directoryLock);
    g_directory = directory;
}

QString CCommLog::DefaultDirectory()
{
    const QString programDir = ProgramDirectory();
    if (!programDir.isEmpty() && access(QFile::encodeName(programDir).constData(), W_OK) == 0)
        return programDir;
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + "/.local/state";
    return state + "/vantoc";
}

QString CCommLog::FilePath()
{
    QString directory;
    {
        std::lock_guard<std::mutex> guard(g_directoryLock);
        directory = g_directory;
    }
    if (directory.isEmpty())
        directory = qEnvironmentVariable("VANTOC_LOG_DIR");
    if (directory.isEmpty())
        directory = DefaultDirectory();
    return QDir(directory).filePath(kFileName);
}

bool CCommLog::Reset()
{
    const QString path = FilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    const int fd = open(QFile::encodeName(path).constData(),
                        O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::lock_guard<std::mutex> guard(m_lock);
    m_strPath = path;
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

void CCommLog::Append(const QByteArray& text)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_strPath.isEmpty())
        return;
    const int fd = open(QFile::encodeName(m_strPath).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return;
    WriteAll(fd, text.constData(), text.size());
    close(fd);
}

QString CCommLog::Path() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_strPath;
}
