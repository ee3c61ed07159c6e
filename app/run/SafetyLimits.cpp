#include "SafetyLimits.h"

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

}  // namespace

void CSafetyLimits::Clamp()
{
    maxRpm = std::clamp(maxRpm, 50, 2200);
    if (!std::isfinite(torqueLimitNcm) || torqueLimitNcm < 0)
        torqueLimitNcm = 0;
    torqueLimitNcm = std::min(torqueLimitNcm, 65535.0);
    if (!std::isfinite(linkLostSeconds) || linkLostSeconds < 0)
        linkLostSeconds = 0;
    linkLostSeconds = std::min(linkLostSeconds, 86400.0);
    if (linkLostSeconds > 0) linkLostSeconds = std::max(linkLostSeconds, kMinLinkLostSeconds);
}

QString CSafetyLimits::CheckStartRpm(int rpm) const
{
    if (rpm <= maxRpm)
        return QString();
    return QStringLiteral("The speed %1 rpm is above the laboratory's maximum speed of %2 rpm (Limits).")
        .arg(rpm)
        .arg(maxRpm);
}

CSafetyLimits CSafetyLimits::Load(QSettings& settings)
{
    CSafetyLimits limits;
    settings.beginGroup(QStringLiteral("limits"));
    limits.maxRpm = int(Finite(settings.value(QStringLiteral("maxRpm")), limits.maxRpm));
    limits.torqueLimitNcm = Finite(settings.value(QStringLiteral("torqueLimitNcm")), limits.torqueLimitNcm);
    if (settings.value(QStringLiteral("torqueAction")).toString() == QStringLiteral("alarm"))
        limits.torqueAction = TorqueAction::AlarmOnly;
    limits.linkLostSeconds = Finite(settings.value(QStringLiteral("linkLostSeconds")), limits.linkLostSeconds);
    limits.confirmBeforeStart = settings.value(QStringLiteral("confirmBeforeStart"), false).toBool();
    settings.endGroup();
    limits.Clamp();
    return limits;
}

void CSafetyLimits::Save(QSettings& settings) const
{
    settings.beginGroup(QStringLiteral("limits"));
    settings.setValue(QStringLiteral("maxRpm"), maxRpm);
    settings.setValue(QStringLiteral("torqueLimitNcm"), torqueLimitNcm);
    settings.setValue(QStringLiteral("torqueAction"),
                      torqueAction == TorqueAction::AlarmOnly ? QStringLiteral("alarm") : QStringLiteral("stop"));
    settings.setValue(QStringLiteral("linkLostSeconds"), linkLostSeconds);
    settings.setValue(QStringLiteral("confirmBeforeStart"), confirmBeforeStart);
    settings.endGroup();
}
