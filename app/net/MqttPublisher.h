#pragma once

#include "net/BrokerUrl.h"
#include "net/MqttCredentials.h"
#include "net/MqttMessages.h"
#include "net/MqttSettings.h"
#include "net/ReconnectBackoff.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

struct mosquitto;
struct mosquitto_message;

// Publishes a run to the laboratory's MQTT broker from a network thread of
// its own, so that a slow or absent broker never delays the caller: the
// Publish calls only queue (any thread may make them) and return. Samples
// and events wait in one ordered queue while the broker cannot be reached,
// at most kQueueBound of them, the oldest samples dropped first (one event
// says how many). The retained state is sent again after every reconnection
// because the broker's last will ("offline") may have replaced it.
// Reconnection waits 1 s, doubling to 60 s. The only message ever taken
// from the broker is <prefix>/cmd/stop, and only when accepted by the
// settings: it is handed on as stopRequested, never as anything else.
class CMqttPublisher : public QObject
{
    Q_OBJECT
public:
    static constexpr int kQueueBound = 10000;
    static constexpr int kKeepAliveS = 20;

    enum class ELink { Off, Connecting, Connected, Unreachable, Refused };
    Q_ENUM(ELink)

    struct SConfig {
        SBrokerUrl url;
        QString strPrefix;
        bool bCredentials = false;
        SMqttCredentials credentials;
        QString strCaFile;
        bool bAcceptStop = false;
    };
    // Checks the settings and reads the credentials; false with *error set
    // when they cannot be used. Nothing is sent either way.
    static bool Prepare(const SMqttSettings& settings, const QString& portName, SConfig* config, QString* error);

    explicit CMqttPublisher(SConfig config, QObject* parent = nullptr);
    // Stops as Stop(0) would if that has not happened yet.
    ~CMqttPublisher() override;

    // Starts the network thread; it connects in the background.
    void Start();
    // Sends what is queued while connected, for at most flushMs, then
    // disconnects cleanly (the last will is not published) and joins.
    void Stop(int flushMs = 2000);

    void PublishSample(const mqtt_messages::SSample& sample);
    void PublishState(const mqtt_messages::SState& state);
    void PublishEvent(const QString& kind, const QString& text);

    QString Prefix() const { return m_config.strPrefix; }
    QString Topic(const char* leaf) const { return m_config.strPrefix + QLatin1Char('/') + QLatin1String(leaf); }
    ELink Link() const { return m_link.load(); }
    // Why the link is not up, in the library's words ("not authorised",
    // "Connection refused"); empty while connected or before a failure.
    // Any thread.
    QString LinkReason() const;
    int QueuedCount() const;
    // Connection attempts so far, in steady-clock time.
    std::vector<std::chrono::steady_clock::time_point> Attempts() const;

signals:
    // All three come from the network thread; connect them queued.
    void linkChanged(CMqttPublisher::ELink link);
    // A problem the user must hear of, said once until the link works again.
    void problem(const QString& text);
    // A <prefix>/cmd/stop message arrived (accepted settings only); the text
    // is the message's payload cleaned for a log line.
    void stopRequested(const QString& text);

private:
    struct SOutgoing {
        QByteArray topic;
        QByteArray payload;
        int nQos = 0;
        bool bRetain = false;
        bool bSample = false;
    };
    using Clock = std::chrono::steady_clock;

    void Enqueue(SOutgoing item);
    void Run();
    bool OpenClient();
    void TryConnect(Clock::time_point& nextAttempt);
    void Drain();
    void Failed(Clock::time_point& nextAttempt);
    void FinishFlush();
    void SetLink(ELink link);
    void SetLinkReason(const QString& reason);
    void Problem(const QString& text);

    static void OnConnect(mosquitto* mosq, void* self, int rc);
    static void OnMessage(mosquitto* mosq, void* self, const mosquitto_message* message);
    static void OnPublish(mosquitto* mosq, void* self, int mid);

    SConfig m_config;
    QByteArray m_clientId;
    std::thread m_thread;
    std::atomic<ELink> m_link{ELink::Off};

    mutable std::mutex m_mutex;  // guards everything down to m_attempts
    std::condition_variable m_wake;
    std::deque<SOutgoing> m_queue;
    SOutgoing m_lastState;      // sent again after a reconnection
    bool m_bHaveState = false;
    int m_nDropped = 0;         // samples dropped since the last report
    bool m_bStopping = false;
    Clock::time_point m_flushUntil;
    std::vector<Clock::time_point> m_attempts;
    QString m_strLinkReason;

    // Network thread only.
    mosquitto* m_pMosq = nullptr;
    bool m_bSocketOpen = false;
    bool m_bConnected = false;
    bool m_bRefused = false;
    bool m_bProblemSaid = false;
    bool m_bAttempted = false;
    bool m_bFinalAttempt = false;
    int m_nUnacknowledged = 0;  // QoS 1 messages the broker has not yet taken
    CReconnectBackoff m_backoff;
};
