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

CRunExport::EWriteMode CRunExport::ChooseWriteMode(const struct stat* info, bool folderWritable, uid_t user)
{
    if (!info) return EWriteMode::Replace;
    if (S_ISREG(info->st_mode)) {
        // Renaming a new file over it would fail, break its other links or
        // hand it to this user.
        const bool harmless = folderWritable && info->st_nlink == 1 && info->st_uid == user;
        return harmless ? EWriteMode::Replace : EWriteMode::InPlace;
    }
    if (S_ISCHR(info->st_mode) || S_ISFIFO(info->st_mode)) return EWriteMode::InPlace;
    return EWriteMode::Refuse;
}

namespace {

bool Fail(QString* error, int code)
{
    if (error) *error = QString::fromLocal8Bit(std::strerror(code));
    return false;
}

// Every byte, or the reason why not.
int WriteAll(int fd, const QByteArray& bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : EIO;
        done += n;
    }
    return 0;
}

// Written by hand rather than with QSaveFile: that reports success for a
// write the disk cut short, which would rename a partial file into place.
bool Replace(const QString& finalPath, const QByteArray& bytes, QString* error)
{
    const QFileInfo info(finalPath);
    QByteArray tempName = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName())
        + ".XXXXXX";
    const int fd = mkstemp(tempName.data());
    if (fd < 0) return Fail(error, errno);
    const auto discard = [&](int code) {
        close(fd);
        unlink(tempName.constData());
        return Fail(error, code);
    };
    if (fchmod(fd, FileMode(finalPath)) != 0) return discard(errno);
    if (const int code = WriteAll(fd, bytes)) return discard(code);
    if (fsync(fd) != 0) return discard(errno);
    if (close(fd) != 0) {
        const int code = errno;
        unlink(tempName.constData());
        return Fail(error, code);
    }
    if (rename(tempName.constData(), QFile::encodeName(finalPath).constData()) != 0) {
        const int code = errno;
        unlink(tempName.constData());
        return Fail(error, code);
    }
    return true;
}

// The target keeps its identity (links, owner, device, pipe). A regular
// file is overwritten before it is cut to length: its blocks stay allocated,
// so a full disk is less likely to stop the write halfway.
bool WriteInPlace(const QString& finalPath, const QByteArray& bytes, QString* error)
{
    // Non-blocking open: a pipe nobody reads fails at once instead of
    // hanging the program.
    const int fd = ::open(QFile::encodeName(finalPath).constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 && errno == ENXIO) {
        if (error) *error = QStringLiteral("nothing reads from it");
        return false;
    }
    if (fd < 0) return Fail(error, errno);
    const auto fail = [&](int code) {
        close(fd);
        return Fail(error, code);
    };
    struct stat info {};
    if (fstat(fd, &info) != 0) return fail(errno);
    const bool regular = S_ISREG(info.st_mode);
    if (!regular && !S_ISCHR(info.st_mode) && !S_ISFIFO(info.st_mode)) return fail(EINVAL);
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return fail(errno);
    if (const int code = WriteAll(fd, bytes)) return fail(code);
    if (regular && (ftruncate(fd, bytes.size()) != 0 || fsync(fd) != 0)) return fail(errno);
    if (close(fd) != 0) return Fail(error, errno);
    return true;
}

}  // namespace

bool CRunExport::Write(const QString& path, const QByteArray& bytes, QString* error)
{
    const QFileInfo target(path);
    const QString finalPath = target.isSymLink() && target.exists() ? target.canonicalFilePath() : path;
    const QByteArray native = QFile::encodeName(finalPath);
    struct stat info {};
    const bool exists = stat(native.constData(), &info) == 0;
    if (!exists && errno != ENOENT) return Fail(error, errno);
    const QByteArray folder = QFile::encodeName(QFileInfo(finalPath).absolutePath());
    const bool folderWritable = faccessat(AT_FDCWD, folder.constData(), W_OK | X_OK, AT_EACCESS) == 0;
    switch (ChooseWriteMode(exists ? &info : nullptr, folderWritable, geteuid())) {
    case EWriteMode::Replace:
        return Replace(finalPath, bytes, error);
    case EWriteMode::InPlace:
        return WriteInPlace(finalPath, bytes, error);
    case EWriteMode::Refuse:
        break;
    }
    if (error)
        *error = S_ISDIR(info.st_mode) ? QString::fromLocal8Bit(std::strerror(EISDIR))
                                       : QStringLiteral("not a file a run can be written to");
    return false;
}

QString CRunExport::FailureMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("The run could not be saved to \"%1\": %2").arg(QDir::toNativeSeparators(path), reason);
}
