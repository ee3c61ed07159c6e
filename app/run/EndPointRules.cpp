#include "EndPointRules.h"

#include <QSettings>
#include <algorithm>
#include <cmath>

namespace {

double Finite(const QVariant& value, double fallback)
{
    bool ok = false;
    const double d = value.toDouble(&ok);
    return ok && std::isfinite(d) ? d : fallback;
}

double AtLeast(double value, double low, double fallback)
{
    return std::isfinite(value) && value >= low ? value : fallback;
}

QString ActionText(CEndPointRules::Action action)
{
    switch (action) {
    case CEndPointRules::Action::StopMotor:
        return QStringLiteral("stop");
    case CEndPointRules::Action::ChangeSpeed:
        return QStringLiteral("speed");
    case CEndPointRules::Action::AlertOnly:
        break;
    }
    return QStringLiteral("alert");
}

CEndPointRules::Action ActionFrom(const QString& text)
{
    if (text == QStringLiteral("stop"))
        return CEndPointRules::Action::StopMotor;
    if (text == QStringLiteral("speed"))
        return CEndPointRules::Action::ChangeSpeed;
    return CEndPointRules::Action::AlertOnly;
}

}  // namespace

void CEndPointRules::Clamp()
{
    const CEndPointRules defaults;
    trendWindowSeconds = std::isfinite(trendWindowSeconds) && trendWindowSeconds > 0
                             ? std::min(trendWindowSeconds, 3600.0)
                             : defaults.trendWindowSeconds;
    plateauRate = AtLeast(plateauRate, 0, defaults.plateauRate);
    plateauSeconds = std::isfinite(plateauSeconds) && plateauSeconds > 0 ? plateauSeconds
                                                                         : defaults.plateauSeconds;
    thresholdNcm = std::isfinite(thresholdNcm) ? thresholdNcm : 0;
    minRunSeconds = AtLeast(minRunSeconds, 0, 0);
    changeSpeedRpm = std::clamp(changeSpeedRpm, 50, 2200);
}

CEndPointRules CEndPointRules::Load(QSettings& settings)
{
    CEndPointRules r;
    settings.beginGroup(QStringLiteral("endPoint"));
    r.trendWindowSeconds = Finite(settings.value(QStringLiteral("trendWindowSeconds")), r.trendWindowSeconds);
    r.plateauOn = settings.value(QStringLiteral("plateauOn"), false).toBool();
    r.plateauRate = Finite(settings.value(QStringLiteral("plateauRate")), r.plateauRate);
    r.plateauSeconds = Finite(settings.value(QStringLiteral("plateauSeconds")), r.plateauSeconds);
    r.plateauAction = ActionFrom(settings.value(QStringLiteral("plateauAction")).toString());
    r.thresholdOn = settings.value(QStringLiteral("thresholdOn"), false).toBool();
    r.thresholdNcm = Finite(settings.value(QStringLiteral("thresholdNcm")), r.thresholdNcm);
    r.thresholdAction = ActionFrom(settings.value(QStringLiteral("thresholdAction")).toString());
    r.minRunSeconds = Finite(settings.value(QStringLiteral("minRunSeconds")), r.minRunSeconds);
    r.changeSpeedRpm = int(Finite(settings.value(QStringLiteral("changeSpeedRpm")), r.changeSpeedRpm));
    settings.endGroup();
    r.Clamp();
    return r;
}

void CEndPointRules::Save(QSettings& settings) const
{
    settings.beginGroup(QStringLiteral("endPoint"));
    settings.setValue(QStringLiteral("trendWindowSeconds"), trendWindowSeconds);
    settings.setValue(QStringLiteral("plateauOn"), plateauOn);
    settings.setValue(QStringLiteral("plateauRate"), plateauRate);
    settings.setValue(QStringLiteral("plateauSeconds"), plateauSeconds);
    settings.setValue(QStringLiteral("plateauAction"), ActionText(plateauAction));
    settings.setValue(QStringLiteral("thresholdOn"), thresholdOn);
    settings.setValue(QStringLiteral("thresholdNcm"), thresholdNcm);
    settings.setValue(QStringLiteral("thresholdAction"), ActionText(thresholdAction));
    settings.setValue(QStringLiteral("minRunSeconds"), minRunSeconds);
    settings.setValue(QStringLiteral("changeSpeedRpm"), changeSpeedRpm);
    settings.endGroup();
}
