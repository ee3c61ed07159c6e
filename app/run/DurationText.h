#pragma once

#include <QString>
#include <optional>

// Durations as operators type them and as the program shows them.
// Accepted: plain seconds ("90", "90s", "2.5"), minutes or hours with a
// unit ("5m", "1.5h"), "m:ss" ("1:30") and "h:mm:ss" ("1:02:03"); in the
// colon forms every field after the first is two digits below 60.
// Values are seconds, 0 to kMaxSeconds.
class CDurationText
{
public:
    static constexpr double kMaxSeconds = 1000.0 * 3600.0;  // 1000 hours

    // Seconds, or nothing when the text is none of the forms above.
    static std::optional<double> Parse(const QString& text);

    // "h:mm:ss", rounded to the nearest second; negative values show as 0:00:00.
    static QString Format(double seconds);

    // "RATE:DURATION", e.g. "0.5:5m": a non-negative rate and a duration
    // longer than zero. False (and both left alone) on anything else.
    static bool ParseRateAndDuration(const QString& text, double& rate, double& seconds);
};
