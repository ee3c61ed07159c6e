#pragma once

#include "SpeedProgram.h"

#include <optional>
#include <vector>

// One command a program sends: a set-point, or the stop at its end.
struct ProgramCommand
{
    double seconds = 0;  // when it is due, from the program's start
    int rpm = 0;         // as sent: 50 to 2199; 0 for the stop
    bool stop = false;   // stop the motor as Stop does
    bool operator==(const ProgramCommand&) const = default;
};

// Turns a speed program into set-point commands. It has no clock: the
// caller feeds it the elapsed time at each status poll (between exchanges,
// never during one), sends what Due returns and tells the outcome.
// Ramps move in steps at least kMinStepSeconds and kMinStepRpm apart,
// whichever gives fewer commands. No two set-points go out less than
// kMinStepSeconds apart (a late poll delays the next one); the stop at the
// end never waits. A refused command is retried no sooner than
// kMinStepSeconds later; by then a newer due command replaces it.
class CProgramRunner
{
public:
    static constexpr double kMinStepSeconds = 2.0;
    static constexpr int kMinStepRpm = 10;

    explicit CProgramRunner(const CSpeedProgram& program);

    // Every command in order, the stop last. Empty for an empty program.
    const std::vector<ProgramCommand>& Plan() const { return m_plan; }
    double TotalSeconds() const { return m_dTotal; }

    // The command to send now, if any: the latest one due at elapsed
    // seconds that has not been accepted. Commands overtaken by a later
    // one (a late poll) are skipped; past the end, that is the stop.
    std::optional<ProgramCommand> Due(double elapsed);
    // The outcome of the command Due returned last.
    void Report(bool accepted);

    bool IsFinished() const;  // the stop was accepted
    int RefusedCount() const { return m_nRefused; }
    // The set-point last accepted in rpm as sent; 0 before the first.
    int CurrentRpm() const { return m_nCurrent; }

private:
    void AddCommand(double seconds, int rpm);
    void AddRamp(double start, int from, const ProgramStep& step);

    std::vector<ProgramCommand> m_plan;
    double m_dTotal = 0;
    size_t m_nextIndex = 0;             // first command not yet accepted
    std::optional<size_t> m_sentIndex;  // awaiting its outcome
    std::optional<double> m_retryAt;    // no new attempt before this time
    std::optional<double> m_lastSentAt;  // the last attempt of any command
    double m_dSentAt = 0;          // when the awaited command was handed out
    int m_nRefused = 0;
    int m_nCurrent = 0;
};
