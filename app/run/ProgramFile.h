#pragma once

#include "SpeedProgram.h"

#include <QString>

// Reads and writes speed program files (UTF-8 text). Writing goes through a
// temporary file renamed over the old one, so a failure leaves any existing
// file as it was.
class CProgramFile
{
public:
    static constexpr qint64 kMaxBytes = 1024 * 1024;

    // The program in path, checked against maxRpm (see CSpeedProgram::Parse).
    // Empty on any failure, with error telling why: the file could not be
    // read, is too large, or the reason of the line at fault.
    static CSpeedProgram Load(const QString& path, int maxRpm, CSpeedProgram::Error* error);

    // False, with error naming the file and the cause, when it could not be written.
    static bool Save(const QString& path, const CSpeedProgram& program, QString* error);
};
