#include "run/SaveFileReader.h"

#include "run/LineReader.h"

#include <QIODevice>
#include <charconv>
#include <cstring>

namespace {

// A typical row ("12345<TAB>500<TAB>12<CR><LF>"): reserving by it keeps the
// array from doubling more than once or twice.
constexpr qint64 kTypicalRow = 16;

template <typename T>
bool TakeNumber(const char*& p, const char* end, char stop, T* value)
{
    // '\0' stands for the end of the line: the last field.
    const char* fieldEnd = stop == '\0' ? end : static_cast<const char*>(std::memchr(p, stop, size_t(end - p)));
    if (!fieldEnd || fieldEnd == p) return false;
    const auto [last, ec] = std::from_chars(p, fieldEnd, *value);
    if (ec != std::errc() || last != fieldEnd) return false;
    p = fieldEnd == end ? end : fieldEnd + 1;
    return true;
}

int WithoutCr(const char* line, int length)
{
    return length > 0 && line[length - 1] == '\r' ? length - 1 : length;
}

}  // namespace

bool CSaveFileReader::ParseRow(const char* line, int length, long long* number, int* speed, int* torque)
{
    const char* p = line;
    const char* end = line + length;
    return TakeNumber(p, end, '\t', number) && TakeNumber(p, end, '\t', speed) && TakeNumber(p, end, '\0', torque)
        && p == end;
}

bool CSaveFileReader::IsTitleLine(const char* line, int length)
{
    int tabs = 0;
    for (int i = 0; i < length; ++i) tabs += line[i] == '\t';
    if (tabs != 2) return false;
    long long number = 0;
    const char* firstTab = static_cast<const char*>(std::memchr(line, '\t', size_t(length)));
    const auto [last, ec] = std::from_chars(line, firstTab, number);
    return !(ec == std::errc() && last == firstTab) && firstTab != line;
}

COpenedRun CSaveFileReader::Read(QIODevice& device, const QString& path)
{
    COpenedRun run;
    run.m_eKind = COpenedRun::EKind::SaveFile;
    run.m_strPath = path;
    if (!device.isSequential()) run.m_samples.reserve(size_t(device.size() / kTypicalRow));

    qint64 lineNumber = 0;
    QString error;
    const bool read = CLineReader::Read(
        device, kMaxLine,
        [&](const char* line, int length, bool overlong, bool complete) {
            ++lineNumber;
            const int used = WithoutCr(line, length);
            if (lineNumber == 1) {
                if (overlong || !complete || !IsTitleLine(line, used))
                    throw CRunFileError(
                        QStringLiteral("%1 is neither a Vantoc run journal nor a saved run").arg(path).toStdString());
                return;
            }
            long long number = 0;
            SRunSample sample;
            if (overlong || !complete || !ParseRow(line, used, &number, &sample.nSpeed, &sample.nTorque))
                run.m_badLines.Add(lineNumber);
            else
                run.m_samples.push_back(sample);
        },
        &error);
    if (!read) throw CRunFileError(QStringLiteral("%1: %2").arg(path, error).toStdString());
    if (lineNumber == 0) throw CRunFileError(QStringLiteral("%1 is empty").arg(path).toStdString());
    return run;
}
