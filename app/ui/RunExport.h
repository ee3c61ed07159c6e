#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

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

    // Writes the bytes to a temporary file beside path and renames it over
    // path only when complete: a failure leaves any existing file untouched
    // and no partial file behind. False with the reason in *error.
    static bool Write(const QString& path, const QByteArray& bytes, QString* error);

    // The text the operator sees when Write failed.
    static QString FailureMessage(const QString& path, const QString& reason);
};
