#pragma once

#include "run/OpenedRun.h"

class QIODevice;

// Reads the table Save writes: a line of three column titles, then
// "number<TAB>speed<TAB>torque" per sample, whole numbers, CR LF (a bare
// LF, as a spreadsheet may write it back, is taken too). A row that is not
// three whole numbers, an overlong line and a last line without its line
// end are skipped and counted.
class CSaveFileReader
{
public:
    static constexpr int kMaxLine = 256;  // bytes; a Save row is far shorter

    // Throws CRunFileError when the first line is not a title line.
    static COpenedRun Read(QIODevice& device, const QString& path);
    // Whether a line (without its line end) is the title line of a Save file:
    // three fields, the first not a number.
    static bool IsTitleLine(const char* line, int length);
    // A row's three numbers; false unless the line is exactly three whole
    // numbers separated by tabs.
    static bool ParseRow(const char* line, int length, long long* number, int* speed, int* torque);
};
