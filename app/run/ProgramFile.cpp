#include "ProgramFile.h"

#include <QFile>
#include <QSaveFile>

CSpeedProgram CProgramFile::Load(const QString& path, int maxRpm, CSpeedProgram::Error* error)
{
    QFile file(path);
    CSpeedProgram::Error failure;
    if (!file.open(QIODevice::ReadOnly)) {
        failure.reason = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
    } else if (file.size() > kMaxBytes) {
        failure.reason = QStringLiteral("%1 is too large for a program (over %2 bytes)").arg(path).arg(kMaxBytes);
    } else {
        // One byte more than allowed tells a file that grew while read.
        const QByteArray bytes = file.read(kMaxBytes + 1);
        if (bytes.size() > kMaxBytes)
            failure.reason = QStringLiteral("%1 is too large for a program (over %2 bytes)").arg(path).arg(kMaxBytes);
        else
            return CSpeedProgram::Parse(QString::fromUtf8(bytes), maxRpm, error);
    }
    if (error)
        *error = failure;
    return CSpeedProgram();
}

bool CProgramFile::Save(const QString& path, const CSpeedProgram& program, QString* error)
{
    QSaveFile file(path);
    const QByteArray bytes = program.ToText().toUtf8();
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
}
