#include "ui/RunExport.h"

#include "ui/ResourceIds.h"
#include "ui/RunRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <limits>

namespace {

const char kLineEnd[] = "\r\n";

// A new file gets the usual mode for this user: 0666 less the umask.
mode_t DefaultMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// A replaced file keeps its mode; a new one gets the default.
mode_t FileMode(const QString& path)
{
    struct stat info {};
    return stat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 07777) : DefaultMode();
}

// Truncation toward zero, clamped so that no float can overflow the int.
int TruncateTorque(float torque)
{
    if (std::isnan(torque)) return 0;
    const double t = std::trunc(static_cast<double>(torque));
    if (t >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (t <= std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(t);
}

}  // namespace

QByteArray CRunExport::Header(const QString& timeTitle, const QString& speedTitle, const QString& torqueTitle)
{
    return (timeTitle + QLatin1Char('\t') + speedTitle + QLatin1Char('\t') + torqueTitle).toUtf8() + kLineEnd;
}

QByteArray CRunExport::Row(int number, std::uint32_t speed, float torque)
{
    return QByteArray::number(number) + '\t' + QByteArray::number(static_cast<std::int32_t>(speed)) + '\t'
        + QByteArray::number(TruncateTorque(torque)) + kLineEnd;
}

QByteArray CRunExport::Format(const CRunRecord& record, const QString& timeTitle, const QString& speedTitle,
                              const QString& torqueTitle)
{
    QByteArray bytes = Header(timeTitle, speedTitle, torqueTitle);
    const auto& speeds = record.SpeedSamples();
    const auto& torques = record.TorqueSamples();
    for (std::size_t i = 0; i < speeds.size() && i < torques.size(); ++i)
        bytes += Row(static_cast<int>(i + 1), speeds[i], torques[i]);
    return bytes;
}

QByteArray CRunExport::Format(const CRunRecord& record)
{
    return Format(record, vantoc::String(vantoc::IDS_TORQUE_X_TITLE), vantoc::String(vantoc::IDS_SPEED_Y_TITLE),
                  vantoc::String(vantoc::IDS_TORQUE_Y_TITLE));
}

// Written by hand rather than with QSaveFile: that reports success for a
// write the disk cut short, which would rename a partial file into place.
bool CRunExport::Write(const QString& path, const QByteArray& bytes, QString* error)
{
    const QFileInfo target(path);
    const QString finalPath = target.isSymLink() && target.exists() ? target.canonicalFilePath() : path;
    const QFileInfo info(finalPath);
    QByteArray tempName = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName())
        + ".XXXXXX";
    const auto fail = [error](int code) {
        if (error) *error = QString::fromLocal8Bit(std::strerror(code));
        return false;
    };

    const int fd = mkstemp(tempName.data());
    if (fd < 0) return fail(errno);
    const auto discard = [&](int code) {
        close(fd);
        unlink(tempName.constData());
        return fail(code);
    };
    if (fchmod(fd, FileMode(finalPath)) != 0)
        return discard(errno);
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return discard(n < 0 ? errno : EIO);
        done += n;
    }
    if (fsync(fd) != 0) return discard(errno);
    if (close(fd) != 0) {
        const int code = errno;
        unlink(tempName.constData());
        return fail(code);
    }
    if (rename(tempName.constData(), QFile::encodeName(finalPath).constData()) != 0) {
        const int code = errno;
        unlink(tempName.constData());
        return fail(code);
    }
    return true;
}

QString CRunExport::FailureMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("The run could not be saved to \"%1\": %2").arg(QDir::toNativeSeparators(path), reason);
}
