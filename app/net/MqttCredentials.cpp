#include "net/MqttCredentials.h"

#include <QByteArray>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kMaxFileSize = 4096;  // two short lines; more is not a credentials file

}  // namespace

bool SMqttCredentials::Read(const QString& path, SMqttCredentials* credentials, QString* error)
{
    const auto fail = [&](const QString& why) {
        if (error) *error = QStringLiteral("The MQTT credentials file %1 %2").arg(path, why);
        return false;
    };
    // Checked on the open descriptor, so the file read is the file checked.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return fail(QStringLiteral("cannot be opened: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(QStringLiteral("is not a regular file"));
    }
    if ((st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        ::close(fd);
        return fail(QStringLiteral("is open to other users (mode %1); make it readable by its owner only: chmod 600")
                        .arg(st.st_mode & 0777, 3, 8, QLatin1Char('0')));
    }
    if (st.st_uid != ::geteuid()) {
        ::close(fd);
        return fail(QStringLiteral("belongs to another user"));
    }
    if (st.st_size > kMaxFileSize) {
        ::close(fd);
        return fail(QStringLiteral("is too long for two lines"));
    }
    QByteArray bytes(static_cast<int>(st.st_size), '\0');
    qint64 got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += n;
    }
    ::close(fd);
    bytes.truncate(static_cast<int>(got));

    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray& line : lines)
        if (line.endsWith('\r')) line.chop(1);
    while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    if (lines.size() != 2 || lines[0].isEmpty())
        return fail(QStringLiteral("must hold two lines: the user, then the password"));
    credentials->strUser = QString::fromUtf8(lines[0]);
    credentials->strPassword = QString::fromUtf8(lines[1]);
    return true;
}
