#include "net/MqttSettings.h"

#include <QSettings>

SMqttSettings SMqttSettings::Load(QSettings& settings)
{
    SMqttSettings s;
    settings.beginGroup(QStringLiteral("network"));
    s.strUrl = settings.value(QStringLiteral("url")).toString().trimmed();
    s.strPrefix = settings.value(QStringLiteral("prefix")).toString().trimmed();
    s.strCredentialsPath = settings.value(QStringLiteral("credentialsFile")).toString();
    s.strCaFile = settings.value(QStringLiteral("caFile")).toString();
    s.bAcceptStop = settings.value(QStringLiteral("acceptStop"), false).toBool();
    settings.endGroup();
    return s;
}

void SMqttSettings::Save(QSettings& settings) const
{
    settings.beginGroup(QStringLiteral("network"));
    settings.setValue(QStringLiteral("url"), strUrl);
    settings.setValue(QStringLiteral("prefix"), strPrefix);
    settings.setValue(QStringLiteral("credentialsFile"), strCredentialsPath);
    settings.setValue(QStringLiteral("caFile"), strCaFile);
    settings.setValue(QStringLiteral("acceptStop"), bAcceptStop);
    settings.endGroup();
}
