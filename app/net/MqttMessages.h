#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The topics and UTF-8 JSON payloads the program publishes; pure formatting.
namespace mqtt_messages {

// vantoc/<host name>/<port name without /dev/>, each level cleared of the
// characters MQTT gives a meaning in topics (+ # / and controls).
QString DefaultPrefix(const QString& hostName, const QString& portName);
// A prefix given by the user: no wildcards, no empty level, not empty.
bool IsValidPrefix(const QString& prefix);

struct SSample {
    int nNumber = 0;     // 1 for the run's first sample
    QDateTime time;      // when it arrived
    double dElapsedS = 0;  // seconds since the run started
    int nSetPoint = 0;   // rpm
    int nSpeed = 0;      // rpm
    int nTorque = 0;     // Ncm
};
QByteArray Sample(const SSample& sample);

enum class EState { Idle, Running, Alarm, Offline };
struct SState {
    EState eState = EState::Idle;
    QDateTime start;   // of the run (running and alarm only)
    int nSetPoint = 0;
    QString strProgram;
};
QByteArray State(const SState& state);
QByteArray OfflineState();

// kind: a short word (start, stop, remote-stop, dropped, ...); text for people.
QByteArray Event(const QDateTime& time, const QString& kind, const QString& text);

// ISO 8601 in UTC with milliseconds, e.g. 2026-12-07T14:20:01.250Z.
QString IsoTime(const QDateTime& time);

// A remote stop's message made safe for a log line: UTF-8 decoded, control
// characters dropped, at most 200 characters.
QString CleanRemoteText(const QByteArray& payload);

}  // namespace mqtt_messages
