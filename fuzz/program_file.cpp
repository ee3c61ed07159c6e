// Speed program files as operators write them: whatever parses saves and
// parses back to the same steps, and the speed limit refuses exactly the
// steps above it.
#include "run/ProgramFile.h"
#include "run/SpeedProgram.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

bool SameSteps(const CSpeedProgram& a, const CSpeedProgram& b)
{
    const auto& x = a.Steps();
    const auto& y = b.Steps();
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); ++i)
        if (x[i].kind != y[i].kind || x[i].rpm != y[i].rpm || x[i].seconds != y[i].seconds) return false;
    return true;
}

// A private file for the reader, so parallel fuzzing jobs do not share one.
const QString& ScratchPath()
{
    static const QString path = QDir::tempPath() + QStringLiteral("/fuzz_program_file.%1.txt").arg(::getpid());
    static const bool removedAtExit = std::atexit([] { QFile::remove(ScratchPath()); }) == 0;
    (void)removedAtExit;
    return path;
}

void CheckSteps(const CSpeedProgram& program, int maxRpm)
{
    if (program.Steps().size() > size_t(CSpeedProgram::kMaxSteps)) std::abort();
    double total = 0;
    for (const ProgramStep& s : program.Steps()) {
        if (s.rpm < CSpeedProgram::kMinRpm || s.rpm > maxRpm) std::abort();
        if (!std::isfinite(s.seconds) || s.seconds <= 0) std::abort();
        total += s.seconds;
    }
    if (program.TotalSeconds() != total) std::abort();
    // The set-point trace: two vertices a step and the stop, never going back in time.
    const std::vector<SetPointVertex> trace = program.Trace();
    if (trace.size() != 2 * program.Steps().size() + 1) std::abort();
    for (size_t i = 1; i < trace.size(); ++i)
        if (trace[i].seconds < trace[i - 1].seconds) std::abort();
    if (trace.back().rpm != 0 || trace.back().seconds != total) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 64 * 1024) return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = QString::fromUtf8(bytes);

    CSpeedProgram::Error error;
    const CSpeedProgram program = CSpeedProgram::Parse(text, CSpeedProgram::kMaxRpm, &error);
    if (program.IsEmpty()) {
        // Refused as a whole, saying where: a line of the text or the file as a whole.
        if (error.reason.isEmpty() || error.line < 0 || error.line > text.count(u'\n') + 1) std::abort();
    } else {
        if (!error.reason.isEmpty() || error.line != 0) std::abort();
        CheckSteps(program, CSpeedProgram::kMaxRpm);

        // Saved text reads back to the very same steps.
        CSpeedProgram::Error again;
        const CSpeedProgram reread = CSpeedProgram::Parse(program.ToText(), CSpeedProgram::kMaxRpm, &again);
        if (!SameSteps(program, reread)) std::abort();

        // A limit at the fastest step keeps the program; one below refuses it.
        int fastest = 0;
        for (const ProgramStep& s : program.Steps()) fastest = std::max(fastest, s.rpm);
        if (!SameSteps(program, CSpeedProgram::Parse(text, fastest))) std::abort();
        if (fastest > CSpeedProgram::kMinRpm) {
            CSpeedProgram::Error limited;
            if (!CSpeedProgram::Parse(text, fastest - 1, &limited).IsEmpty() || limited.line <= 0) std::abort();
        }
    }

    // The file reader agrees with the text reader.
    QFile file(ScratchPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) std::abort();
    file.close();
    CSpeedProgram::Error fileError;
    const CSpeedProgram loaded = CProgramFile::Load(ScratchPath(), CSpeedProgram::kMaxRpm, &fileError);
    if (!SameSteps(program, loaded) || fileError.line != error.line || fileError.reason != error.reason) std::abort();
    return 0;
}
