#pragma once

#include <QString>

class QSettings;

// The laboratory's safety limits, remembered between program starts.
struct CSafetyLimits
{
    enum class TorqueAction { StopMotor, AlarmOnly };

    int maxRpm = 2200;             // 50 to 2200; Start and programs refuse more
    double torqueLimitNcm = 0;     // 0 = no torque limit; otherwise above 0
    TorqueAction torqueAction = TorqueAction::StopMotor;
    double linkLostSeconds = 10;   // 0 = never; no valid status reply for this long
    // The stirrer is polled once a second: a shorter link-lost time would
    // call every ordinary gap between two replies a lost line.
    static constexpr double kMinLinkLostSeconds = 2;
    bool confirmBeforeStart = false;

    bool operator==(const CSafetyLimits&) const = default;

    // Brings every field into its range (a hand-edited settings file).
    void Clamp();

    // Empty when rpm may be started; otherwise why not, naming the limit.
    QString CheckStartRpm(int rpm) const;

    // Reads and writes the group "limits"; missing or bad keys read as the
    // defaults above.
    static CSafetyLimits Load(QSettings& settings);
    void Save(QSettings& settings) const;
};
