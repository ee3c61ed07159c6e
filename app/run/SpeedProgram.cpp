#include "SpeedProgram.h"

#include "DurationText.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <optional>

namespace {

QString Step(ProgramStep::Kind kind)
{
    return kind == ProgramStep::Hold ? QStringLiteral("hold") : QStringLiteral("ramp");
}

// Seconds as the shortest text that reads back exactly, never in exponent
// form: the reader takes plain decimals only.
QString SecondsText(double seconds)
{
    return QString::number(seconds, 'f', QLocale::FloatingPointShortest);
}

struct LineResult
{
    std::optional<ProgramStep> step;  // none for blank and comment lines
    QString reason;                   // set on an error
};

LineResult ParseLine(const QString& raw, int maxRpm)
{
    LineResult result;
    QString line = raw;
    const qsizetype hash = line.indexOf(u'#');
    if (hash >= 0)
        line.truncate(hash);
    static const QRegularExpression space(QStringLiteral("\\s+"));
    const QStringList fields = line.split(space, Qt::SkipEmptyParts);
    if (fields.isEmpty())
        return result;
    const QString kind = fields[0].toLower();
    if (kind != QStringLiteral("hold") && kind != QStringLiteral("ramp")) {
        result.reason = QStringLiteral("unknown step \"%1\" (hold or ramp)").arg(fields[0]);
        return result;
    }
    if (fields.size() != 3) {
        result.reason = QStringLiteral("%1 takes a speed and a duration").arg(kind);
        return result;
    }
    bool ok = false;
    const int rpm = fields[1].toInt(&ok);
    if (!ok) {
        result.reason = QStringLiteral("speed \"%1\" is not a whole number").arg(fields[1]);
        return result;
    }
    if (rpm < CSpeedProgram::kMinRpm) {
        result.reason = QStringLiteral("speed %1 is below %2").arg(rpm).arg(CSpeedProgram::kMinRpm);
        return result;
    }
    if (rpm > CSpeedProgram::kMaxRpm) {
        result.reason = QStringLiteral("speed %1 is above %2").arg(rpm).arg(CSpeedProgram::kMaxRpm);
        return result;
    }
    if (rpm > maxRpm) {
        result.reason = QStringLiteral("speed %1 is above the maximum speed of %2 rpm set in the limits")
                            .arg(rpm)
                            .arg(maxRpm);
        return result;
    }
    const std::optional<double> seconds = CDurationText::Parse(fields[2]);
    if (!seconds) {
        result.reason = QStringLiteral("duration \"%1\" is not seconds, m:ss or h:mm:ss").arg(fields[2]);
        return result;
    }
    if (*seconds <= 0) {
        result.reason = QStringLiteral("duration %1 is not longer than 0").arg(fields[2]);
        return result;
    }
    result.step = ProgramStep{kind == QStringLiteral("hold") ? ProgramStep::Hold : ProgramStep::Ramp,
                              rpm, *seconds};
    return result;
}

}  // namespace

QString CSpeedProgram::Error::Message() const
{
    if (line <= 0)
        return reason;
    return QStringLiteral("line %1: %2").arg(line).arg(reason);
}

CSpeedProgram::CSpeedProgram(std::vector<ProgramStep> steps)
    : m_steps(std::move(steps))
{
}

CSpeedProgram CSpeedProgram::Parse(const QString& text, int maxRpm, Error* error)
{
    Error failure;
    std::vector<ProgramStep> steps;
    maxRpm = std::clamp(maxRpm, kMinRpm, kMaxRpm);
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size() && failure.reason.isEmpty(); ++i) {
        const LineResult line = ParseLine(lines[i], maxRpm);
        if (!line.reason.isEmpty())
            failure = Error{i + 1, line.reason};
        else if (line.step && int(steps.size()) >= kMaxSteps)
            failure = Error{i + 1, QStringLiteral("more than %1 steps").arg(kMaxSteps)};
        else if (line.step)
            steps.push_back(*line.step);
    }
    if (failure.reason.isEmpty() && steps.empty())
        failure = Error{0, QStringLiteral("the program has no steps")};
    if (!failure.reason.isEmpty()) {
        if (error)
            *error = failure;
        return CSpeedProgram();
    }
    if (error)
        *error = Error();
    return CSpeedProgram(std::move(steps));
}

QString CSpeedProgram::ToText() const
{
    QString text;
    for (const ProgramStep& s : m_steps)
        text += QStringLiteral("%1 %2 %3\n").arg(Step(s.kind)).arg(s.rpm).arg(SecondsText(s.seconds));
    return text;
}

double CSpeedProgram::TotalSeconds() const
{
    double total = 0;
    for (const ProgramStep& s : m_steps)
        total += s.seconds;
    return total;
}

int CSpeedProgram::StartRpm(size_t index) const
{
    if (index == 0 || index > m_steps.size())
        return kMinRpm;
    return m_steps[index - 1].rpm;
}

std::vector<SetPointVertex> CSpeedProgram::Trace() const
{
    std::vector<SetPointVertex> trace;
    double t = 0;
    for (size_t i = 0; i < m_steps.size(); ++i) {
        const ProgramStep& s = m_steps[i];
        const double from = s.kind == ProgramStep::Hold ? s.rpm : StartRpm(i);
        trace.push_back({t, from});
        t += s.seconds;
        trace.push_back({t, double(s.rpm)});
    }
    if (!trace.empty())
        trace.push_back({t, 0});
    return trace;
}

int CSpeedProgram::CommandRpm(int rpm)
{
    return rpm >= kMaxRpm ? kMaxRpm - 1 : rpm;
}
