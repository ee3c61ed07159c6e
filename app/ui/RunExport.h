#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <sys/stat.h>
#include <sys/types.h>

class CRunRecord;

// The export file of a run: tab-separated text that a spreadsheet opens as a
// table. A header line of the three column titles, then one line per sample
// "number<TAB>speed<TAB>torque" (sample numbers from 1, torque truncated
// toward zero); every line ends with CR LF.
class CRunExport
{
public:
    // Titles: strings 105, 108 and 106 of the string table.
    static QByteArray Header(const QString& timeTitle, const QString& speedTitle, const QString& torqueTitle);
    // One sample line; number counts from 1.
    static QByteArray Row(int number, std::uint32_t speed, float torque);
    static QByteArray Format(const CRunRecord& record, const QString& timeTitle, const QString& speedTitle,
                             const QString& torqueTitle);
    // Format with the titles from the resource chain.
    static QByteArray Format(const CRunRecord& record);

    // How Write reaches its target.
    enum class EWriteMode {
        Replace,  // a temporary file beside it, renamed over it when complete
        InPlace,  // opened and written into, every write checked
        Refuse,   // nothing a run can be written to (a folder, a socket, a disk)
    };
    // info: the target's status, null when there is none yet; folderWritable:
    // this process may create and rename files in its folder; user: the
    // effective user id. Replacing is kept where it is possible and changes
    // nothing else: a regular file with one link, owned by this user, in a
    // folder it may write. Other regular files (hard links, another owner, a
    // locked folder), terminals, devices and pipes are written into.
    static EWriteMode ChooseWriteMode(const struct stat* info, bool folderWritable, uid_t user);

    // Writes the bytes to path. Where it replaces, a failure leaves any
    // existing file untouched and no partial file behind. False with the
    // reason in *error.
    static bool Write(const QString& path, const QByteArray& bytes, QString* error);

    // The text the operator sees when Write failed.
    static QString FailureMessage(const QString& path, const QString& reason);
};
