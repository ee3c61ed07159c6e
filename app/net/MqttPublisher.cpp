#include "net/MqttPublisher.h"

#include <QFile>
#include <QHostInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <mosquitto.h>
#include <unistd.h>

namespace {

constexpr int kLoopTimeoutMs = 50;
constexpr int kDrainBatch = 500;  // messages handed to the library per turn
constexpr const char* kSystemCaPath = "/etc/ssl/certs";

void InitLibraryOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

}  // namespace

bool CMqttPublisher::Prepare(const SMqttSettings& settings, const QString& portName, SConfig* config, QString* error)
{
    SConfig prepared;
    if (!SBrokerUrl::Parse(settings.strUrl, &prepared.url, error)) return false;
    prepared.strPrefix = settings.strPrefix.isEmpty()
        ? mqtt_messages::DefaultPrefix(QHostInfo::localHostName(), portName)
        : settings.strPrefix;
    if (!mqtt_messages::IsValidPrefix(prepared.strPrefix)) {
        if (error)
            *error = QStringLiteral("\"%1\" is not a topic prefix: no + or #, no empty level").arg(prepared.strPrefix);
        return false;
    }
    if (!settings.strCredentialsPath.isEmpty()) {
        if (!SMqttCredentials::Read(settings.strCredentialsPath, &prepared.credentials, error)) return false;
        prepared.bCredentials = true;
    }
    if (!settings.strCaFile.isEmpty()) {
        if (!prepared.url.bTls) {
            if (error) *error = QStringLiteral("--mqtt-cafile needs an mqtts:// broker address");
            return false;
        }
        if (::access(QFile::encodeName(settings.strCaFile).constData(), R_OK) != 0) {
            if (error) *error = QStringLiteral("The CA file %1 cannot be read").arg(settings.strCaFile);
            return false;
        }
    }
    prepared.strCaFile = settings.strCaFile;
    prepared.bAcceptStop = settings.bAcceptStop;
    *config = prepared;
    return true;
}

CMqttPublisher::CMqttPublisher(SConfig config, QObject* parent) : QObject(parent), m_config(std::move(config))
{
    InitLibraryOnce();
    // The broker drops a client whose id another one takes: each publisher
    // of the process gets its own.
    static std::atomic<int> instances{0};
    m_clientId = QStringLiteral("vantoc-%1-%2-%3")
                     .arg(QHostInfo::localHostName().left(40))
                     .arg(::getpid())
                     .arg(++instances)
                     .toUtf8();
}

CMqttPublisher::~CMqttPublisher()
{
    Stop(0);
}

void CMqttPublisher::Start()
{
    if (m_thread.joinable()) return;
    SetLink(ELink::Connecting);
    m_thread = std::thread([this] { Run(); });
}

void CMqttPublisher::Stop(int flushMs)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_bStopping && !m_thread.joinable()) return;
        m_bStopping = true;
        m_flushUntil = Clock::now() + std::chrono::milliseconds(std::max(0, flushMs));
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void CMqttPublisher::PublishSample(const mqtt_messages::SSample& sample)
{
    Enqueue({Topic("sample").toUtf8(), mqtt_messages::Sample(sample), 0, false, true});
}

void CMqttPublisher::PublishState(const mqtt_messages::SState& state)
{
    Enqueue({Topic("state").toUtf8(), mqtt_messages::State(state), 1, true, false});
}

void CMqttPublisher::PublishEvent(const QString& kind, const QString& text)
{
    Enqueue({Topic("event").toUtf8(), mqtt_messages::Event(QDateTime::currentDateTimeUtc(), kind, text), 1, false,
             false});
}

void CMqttPublisher::Enqueue(SOutgoing item)
{
    std::lock_guard lock(m_mutex);
    if (item.bRetain) {
        m_lastState = item;
        m_bHaveState = true;
    }
    if (static_cast<int>(m_queue.size()) >= kQueueBound) {
        // Samples go first: states and events are few and tell what happened.
        auto oldest = std::find_if(m_queue.begin(), m_queue.end(), [](const SOutgoing& o) { return o.bSample; });
        if (oldest == m_queue.end()) oldest = m_queue.begin();
        if (oldest->bSample) ++m_nDropped;
        m_queue.erase(oldest);
    }
    m_queue.push_back(std::move(item));
}

int CMqttPublisher::QueuedCount() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_queue.size());
}

std::vector<std::chrono::steady_clock::time_point> CMqttPublisher::Attempts() const
{
    std::lock_guard lock(m_mutex);
    return m_attempts;
}

QString CMqttPublisher::LinkReason() const
{
    std::lock_guard lock(m_mutex);
    return m_strLinkReason;
}

void CMqttPublisher::SetLinkReason(const QString& reason)
{
    std::lock_guard lock(m_mutex);
    m_strLinkReason = reason;
}

void CMqttPublisher::SetLink(ELink link)
{
    if (m_link.exchange(link) != link) emit linkChanged(link);
}

void CMqttPublisher::Problem(const QString& text)
{
    if (m_bProblemSaid) return;
    m_bProblemSaid = true;
    emit problem(text);
}

bool CMqttPublisher::OpenClient()
{
    m_pMosq = mosquitto_new(m_clientId.constData(), true, this);
    if (!m_pMosq) {
        Problem(QStringLiteral("The MQTT client could not be made; nothing is published."));
        return false;
    }
    mosquitto_connect_callback_set(m_pMosq, &CMqttPublisher::OnConnect);
    mosquitto_message_callback_set(m_pMosq, &CMqttPublisher::OnMessage);
    mosquitto_publish_callback_set(m_pMosq, &CMqttPublisher::OnPublish);
    const QByteArray stateTopic = Topic("state").toUtf8();
    const QByteArray offline = mqtt_messages::OfflineState();
    mosquitto_will_set(m_pMosq, stateTopic.constData(), offline.size(), offline.constData(), 1, true);
    if (m_config.bCredentials) {
        const QByteArray user = m_config.credentials.strUser.toUtf8();
        const QByteArray password = m_config.credentials.strPassword.toUtf8();
        mosquitto_username_pw_set(m_pMosq, user.constData(), password.constData());
    }
    if (m_config.url.bTls) {
        const QByteArray caFile = QFile::encodeName(m_config.strCaFile);
        const int rc = m_config.strCaFile.isEmpty()
            ? mosquitto_tls_set(m_pMosq, nullptr, kSystemCaPath, nullptr, nullptr, nullptr)
            : mosquitto_tls_set(m_pMosq, caFile.constData(), nullptr, nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            Problem(QStringLiteral("TLS for the MQTT broker could not be set up: %1")
                        .arg(QString::fromUtf8(mosquitto_strerror(rc))));
            return false;
        }
    }
    return true;
}

void CMqttPublisher::Run()
{
    if (!OpenClient()) {
        SetLink(ELink::Off);
        if (m_pMosq) mosquitto_destroy(m_pMosq);
        m_pMosq = nullptr;
        return;
    }
    Clock::time_point nextAttempt = Clock::now();
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            if (m_bStopping && !m_bSocketOpen && !m_bFinalAttempt && !m_queue.empty()
                && Clock::now() < m_flushUntil) {
                // What waits for the broker gets one more try at the end
                // rather than the rest of a long wait.
                m_bFinalAttempt = true;
                lock.unlock();
                TryConnect(nextAttempt);
                continue;
            }
            if (m_bStopping) {
                // Only a live (or starting) connection gets the flush time.
                // Closing before the broker's last acknowledgement is read
                // would reset the connection, and the broker would lose the
                // disconnect and publish the last will.
                const bool flushing = m_bSocketOpen && Clock::now() < m_flushUntil
                    && (!m_queue.empty() || !m_bConnected || m_nUnacknowledged > 0);
                if (!flushing) break;
            }
            if (!m_bSocketOpen && Clock::now() < nextAttempt) {
                m_wake.wait_until(lock, nextAttempt, [this] { return m_bStopping; });
                continue;
            }
        }
        if (!m_bSocketOpen) {
            TryConnect(nextAttempt);
            continue;
        }
        if (m_bConnected) Drain();
        const int rc = mosquitto_loop(m_pMosq, kLoopTimeoutMs, 1);
        if (rc != MOSQ_ERR_SUCCESS || m_bRefused) Failed(nextAttempt);
    }
    FinishFlush();
}

void CMqttPublisher::TryConnect(Clock::time_point& nextAttempt)
{
    {
        std::lock_guard lock(m_mutex);
        m_attempts.push_back(Clock::now());
    }
    const QByteArray host = m_config.url.strHost.toUtf8();
    const int rc = m_bAttempted ? mosquitto_reconnect_async(m_pMosq)
                                : mosquitto_connect_async(m_pMosq, host.constData(), m_config.url.nPort, kKeepAliveS);
    m_bAttempted = true;
    if (rc == MOSQ_ERR_SUCCESS) {
        m_bSocketOpen = true;
        m_bRefused = false;
        if (m_link.load() != ELink::Refused) SetLink(ELink::Connecting);
        return;
    }
    // A host that cannot be resolved or reached gets the same waits.
    if (m_link.load() != ELink::Refused) {
        SetLinkReason(rc == MOSQ_ERR_ERRNO ? QString::fromLocal8Bit(std::strerror(errno))
                                           : QString::fromUtf8(mosquitto_strerror(rc)));
        SetLink(ELink::Unreachable);
    }
    nextAttempt = Clock::now() + std::chrono::milliseconds(m_backoff.Next());
}

void CMqttPublisher::Failed(Clock::time_point& nextAttempt)
{
    mosquitto_disconnect(m_pMosq);
    m_bSocketOpen = false;
    m_bConnected = false;
    m_nUnacknowledged = 0;
    if (!m_bRefused) {
        if (m_link.load() == ELink::Connected) SetLinkReason(QStringLiteral("connection lost"));
        else if (m_link.load() == ELink::Connecting) SetLinkReason(QStringLiteral("no answer from the broker"));
        SetLink(ELink::Unreachable);
    }
    m_bRefused = false;
    nextAttempt = Clock::now() + std::chrono::milliseconds(m_backoff.Next());
}

void CMqttPublisher::OnConnect(mosquitto* mosq, void* self, int rc)
{
    auto* p = static_cast<CMqttPublisher*>(self);
    if (rc != 0) {
        p->m_bRefused = true;
        p->SetLinkReason(QString::fromUtf8(mosquitto_connack_string(rc)));
        p->SetLink(ELink::Refused);
        p->Problem(QStringLiteral("The MQTT broker %1:%2 refused the connection: %3. The run goes on without it; "
                                  "trying again later.")
                       .arg(p->m_config.url.strHost)
                       .arg(p->m_config.url.nPort)
                       .arg(QString::fromUtf8(mosquitto_connack_string(rc))));
        return;
    }
    p->m_bConnected = true;
    p->m_nUnacknowledged = 0;
    p->m_bProblemSaid = false;
    p->m_backoff.Reset();
    if (p->m_config.bAcceptStop) {
        const QByteArray topic = p->Topic("cmd/stop").toUtf8();
        mosquitto_subscribe(mosq, nullptr, topic.constData(), 1);
    }
    {
        // The last will may have replaced the state while the link was down.
        std::lock_guard lock(p->m_mutex);
        const bool stateQueued = std::any_of(p->m_queue.begin(), p->m_queue.end(),
                                             [](const SOutgoing& o) { return o.bRetain; });
        if (p->m_bHaveState && !stateQueued) p->m_queue.push_front(p->m_lastState);
    }
    p->SetLinkReason(QString());
    p->SetLink(ELink::Connected);
}

void CMqttPublisher::OnMessage(mosquitto*, void* self, const mosquitto_message* message)
{
    auto* p = static_cast<CMqttPublisher*>(self);
    if (!p->m_config.bAcceptStop || !message || !message->topic) return;
    if (QByteArray(message->topic) != p->Topic("cmd/stop").toUtf8()) return;
    const QByteArray payload(static_cast<const char*>(message->payload), message->payloadlen);
    emit p->stopRequested(mqtt_messages::CleanRemoteText(payload));
}

void CMqttPublisher::OnPublish(mosquitto*, void* self, int)
{
    auto* p = static_cast<CMqttPublisher*>(self);
    if (p->m_nUnacknowledged > 0) --p->m_nUnacknowledged;
}

void CMqttPublisher::Drain()
{
    std::deque<SOutgoing> batch;
    {
        std::lock_guard lock(m_mutex);
        if (m_nDropped > 0) {
            SOutgoing note{Topic("event").toUtf8(),
                           mqtt_messages::Event(QDateTime::currentDateTimeUtc(), QStringLiteral("dropped"),
                                                QStringLiteral("%1 samples were dropped while the broker could not "
                                                               "be reached (at most %2 are kept)")
                                                    .arg(m_nDropped)
                                                    .arg(kQueueBound)),
                           1, false, false};
            m_queue.push_front(std::move(note));
            m_nDropped = 0;
        }
        for (int i = 0; i < kDrainBatch && !m_queue.empty(); ++i) {
            batch.push_back(std::move(m_queue.front()));
            m_queue.pop_front();
        }
    }
    // Published without holding the queue: the library's callbacks take
    // the queue while the library holds a lock of its own.
    std::size_t nSent = 0;
    for (; nSent < batch.size(); ++nSent) {
        const SOutgoing& o = batch[nSent];
        const int rc = mosquitto_publish(m_pMosq, nullptr, o.topic.constData(), o.payload.size(),
                                         o.payload.constData(), o.nQos, o.bRetain);
        if (rc != MOSQ_ERR_SUCCESS) break;
        if (o.nQos > 0) ++m_nUnacknowledged;
    }
    if (nSent == batch.size()) return;
    // What was not taken goes back in front, in order, for the next connection.
    std::lock_guard lock(m_mutex);
    m_queue.insert(m_queue.begin(), std::make_move_iterator(batch.begin() + static_cast<std::ptrdiff_t>(nSent)),
                   std::make_move_iterator(batch.end()));
}

void CMqttPublisher::FinishFlush()
{
    if (m_bSocketOpen) {
        mosquitto_disconnect(m_pMosq);
        // Lets the library write what is still in its buffers and the
        // disconnect itself.
        for (int i = 0; i < 10 && mosquitto_loop(m_pMosq, 10, 1) == MOSQ_ERR_SUCCESS; ++i) {
        }
    }
    mosquitto_destroy(m_pMosq);
    m_pMosq = nullptr;
    m_bSocketOpen = false;
    m_bConnected = false;
    SetLink(ELink::Off);
}
