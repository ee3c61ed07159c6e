#include "ProgramRunner.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

CProgramRunner::CProgramRunner(const CSpeedProgram& program)
    : m_dTotal(program.TotalSeconds())
{
    const std::vector<ProgramStep>& steps = program.Steps();
    double t = 0;
    for (size_t i = 0; i < steps.size(); ++i) {
        const ProgramStep& step = steps[i];
        if (step.kind == ProgramStep::Hold)
            AddCommand(t, step.rpm);
        else
            AddRamp(t, program.StartRpm(i), step);
        t += step.seconds;
    }
    if (!steps.empty())
        m_plan.push_back({m_dTotal, 0, true});
}

void CProgramRunner::AddCommand(double seconds, int rpm)
{
    const int sent = CSpeedProgram::CommandRpm(rpm);
    // A set-point already in force needs no command.
    if (!m_plan.empty() && m_plan.back().rpm == sent)
        return;
    if (!m_plan.empty() && m_plan.back().seconds == seconds)
        m_plan.back().rpm = sent;
    else
        m_plan.push_back({seconds, sent, false});
}

void CProgramRunner::AddRamp(double start, int from, const ProgramStep& step)
{
    const int delta = step.rpm - from;
    if (m_plan.empty())
        AddCommand(start, from);
    if (delta == 0)
        return;
    const long byTime = long(std::floor(step.seconds / kMinStepSeconds + 1e-9));
    const long byRpm = std::abs(delta) / kMinStepRpm;
    const long n = std::max(1L, std::min(byTime, byRpm));
    for (long i = 1; i <= n; ++i) {
        const double t = i == n ? start + step.seconds : start + step.seconds * double(i) / double(n);
        const int rpm = int(std::lround(from + double(delta) * double(i) / double(n)));
        AddCommand(t, rpm);
    }
}

std::optional<ProgramCommand> CProgramRunner::Due(double elapsed)
{
    if (m_sentIndex || m_nextIndex >= m_plan.size())
        return std::nullopt;
    if (m_retryAt && elapsed < *m_retryAt)
        return std::nullopt;
    size_t due = m_nextIndex;
    if (m_plan[due].seconds > elapsed)
        return std::nullopt;
    while (due + 1 < m_plan.size() && m_plan[due + 1].seconds <= elapsed)
        ++due;
    // A late poll must not squeeze two set-points together; the stop never waits.
    if (!m_plan[due].stop && m_lastSentAt && elapsed < *m_lastSentAt + kMinStepSeconds - 1e-9)
        return std::nullopt;
    m_lastSentAt = elapsed;
    m_sentIndex = due;
    m_dSentAt = elapsed;
    return m_plan[due];
}

void CProgramRunner::Report(bool accepted)
{
    if (!m_sentIndex)
        return;
    const size_t index = *m_sentIndex;
    m_sentIndex.reset();
    if (accepted) {
        m_nCurrent = m_plan[index].rpm;
        m_nextIndex = index + 1;
        m_retryAt.reset();
        return;
    }
    ++m_nRefused;
    m_nextIndex = index;
    m_retryAt = m_dSentAt + kMinStepSeconds;
}

bool CProgramRunner::IsFinished() const
{
    return !m_plan.empty() && m_nextIndex >= m_plan.size();
}
