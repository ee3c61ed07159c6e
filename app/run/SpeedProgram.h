#pragma once

#include <QString>
#include <vector>

// One line of a speed program.
struct ProgramStep
{
    enum Kind { Hold, Ramp };
    Kind kind = Hold;
    int rpm = 0;         // 50 to 2200, as written (2200 goes out as 2199)
    double seconds = 0;  // longer than 0
};

// A point of the set-point over time, for previews and charts.
struct SetPointVertex
{
    double seconds = 0;
    double rpm = 0;
};

// A speed program: text, one step a line, "#" starts a comment.
//     hold RPM DURATION   run at RPM for DURATION
//     ramp RPM DURATION   move the set-point linearly from the previous
//                         step's speed to RPM over DURATION
// DURATION takes the forms CDurationText accepts. A ramp that opens the
// program starts from 50 rpm, the lowest speed the stirrer runs at.
class CSpeedProgram
{
public:
    static constexpr int kMinRpm = 50;
    static constexpr int kMaxRpm = 2200;
    static constexpr int kMaxSteps = 10000;

    // Why a text is not a program. line is 1-based; 0 for the file as a whole.
    struct Error
    {
        int line = 0;
        QString reason;
        QString Message() const;  // "line 3: speed 2500 is above 2200"
    };

    CSpeedProgram() = default;
    explicit CSpeedProgram(std::vector<ProgramStep> steps);

    // Reads a whole program. maxRpm is the laboratory's maximum speed
    // (50 to 2200); a step above it is refused naming that limit. On any
    // error the program is refused as a whole: the result is empty and
    // error (when given) says which line and why.
    static CSpeedProgram Parse(const QString& text, int maxRpm = kMaxRpm, Error* error = nullptr);
    // The text Parse reads back to the same steps.
    QString ToText() const;

    bool IsEmpty() const { return m_steps.empty(); }
    const std::vector<ProgramStep>& Steps() const { return m_steps; }
    double TotalSeconds() const;
    // Where the step at index starts: the previous one's speed, or 50 rpm.
    int StartRpm(size_t index) const;

    // The ideal set-point from 0 to TotalSeconds: one vertex at each step's
    // start and end, and a last one at 0 rpm when the motor stops.
    std::vector<SetPointVertex> Trace() const;

    // The speed a set-point command carries: 2200 goes out as 2199.
    static int CommandRpm(int rpm);

private:
    std::vector<ProgramStep> m_steps;
};
