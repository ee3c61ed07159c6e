#include "net/MqttMessages.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace mqtt_messages {

namespace {

constexpr int kMaxRemoteText = 200;

QString TopicLevel(const QString& text)
{
    QString level;
    for (QChar c : text) {
        if (c == QLatin1Char('+') || c == QLatin1Char('#') || c == QLatin1Char('/') || c.unicode() < 0x20
            || c.unicode() == 0x7F)
            level += QLatin1Char('_');
        else
            level += c;
    }
    return level.isEmpty() ? QStringLiteral("_") : level;
}

QByteArray Compact(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

const char* StateName(EState state)
{
    switch (state) {
    case EState::Idle: return "idle";
    case EState::Running: return "running";
    case EState::Alarm: return "alarm";
    case EState::Offline: return "offline";
    }
    return "idle";
}

}  // namespace

QString DefaultPrefix(const QString& hostName, const QString& portName)
{
    QString port = portName;
    if (port.startsWith(QLatin1String("/dev/"))) port = port.mid(5);
    return QStringLiteral("vantoc/%1/%2").arg(TopicLevel(hostName), TopicLevel(port));
}

bool IsValidPrefix(const QString& prefix)
{
    if (prefix.isEmpty() || prefix.contains(QLatin1Char('+')) || prefix.contains(QLatin1Char('#'))) return false;
    for (const QString& level : prefix.split(QLatin1Char('/')))
        if (level.isEmpty()) return false;
    for (QChar c : prefix)
        if (c.unicode() < 0x20) return false;
    return true;
}

QString IsoTime(const QDateTime& time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QByteArray Sample(const SSample& sample)
{
    QJsonObject o;
    o["n"] = sample.nNumber;
    o["t"] = IsoTime(sample.time);
    o["elapsed"] = qRound64(sample.dElapsedS * 1000.0) / 1000.0;
    o["set"] = sample.nSetPoint;
    o["speed"] = sample.nSpeed;
    o["torque"] = sample.nTorque;
    return Compact(o);
}

QByteArray State(const SState& state)
{
    QJsonObject o;
    o["state"] = StateName(state.eState);
    if (state.eState == EState::Running || state.eState == EState::Alarm) {
        o["start"] = IsoTime(state.start);
        o["set"] = state.nSetPoint;
        o["program"] = state.strProgram;
    }
    return Compact(o);
}

QByteArray OfflineState()
{
    return State({EState::Offline, {}, 0, {}});
}

QByteArray Event(const QDateTime& time, const QString& kind, const QString& text)
{
    QJsonObject o;
    o["t"] = IsoTime(time);
    o["kind"] = kind;
    o["text"] = text;
    return Compact(o);
}

QString CleanRemoteText(const QByteArray& payload)
{
    const QString decoded = QString::fromUtf8(payload.left(kMaxRemoteText * 4));
    QString clean;
    for (QChar c : decoded) {
        if (clean.size() >= kMaxRemoteText) break;
        if (c.unicode() >= 0x20 && c.unicode() != 0x7F) clean += c;
    }
    return clean;
}

}  // namespace mqtt_messages
