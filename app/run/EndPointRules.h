#pragma once

class QSettings;

// The torque end-point rules, remembered between program starts.
struct CEndPointRules
{
    enum class Action { AlertOnly, StopMotor, ChangeSpeed };

    double trendWindowSeconds = 60;  // least-squares window of the rate, above 0

    bool plateauOn = false;
    double plateauRate = 0.5;        // Ncm/min: |rate| below this counts as flat
    double plateauSeconds = 300;     // for this long, above 0
    Action plateauAction = Action::AlertOnly;

    bool thresholdOn = false;
    double thresholdNcm = 0;         // fires at Δtorque at or above this
    Action thresholdAction = Action::AlertOnly;

    double minRunSeconds = 0;        // no rule fires before this
    int changeSpeedRpm = 200;        // 50 to 2200, for Action::ChangeSpeed

    bool operator==(const CEndPointRules&) const = default;

    // Brings every field into its range.
    void Clamp();

    // Group "endPoint"; missing or bad keys read as the defaults above.
    static CEndPointRules Load(QSettings& settings);
    void Save(QSettings& settings) const;
};
