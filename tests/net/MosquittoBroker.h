#pragma once

// A real mosquitto broker for the tests, on a free local port with a
// configuration of its own, and a libmosquitto subscriber that records what
// arrives. Header-only; the test folder links libmosquitto through vantoc_net.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QJsonDocument>
#include <QJsonObject>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mosquitto.h>
#include <mutex>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace broker_test {

inline QString BrokerProgram()
{
    const QString found = QStandardPaths::findExecutable(QStringLiteral("mosquitto"), {"/usr/sbin", "/usr/bin"});
    return found.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("mosquitto")) : found;
}

inline int FreePort()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0)) return 0;
    return server.serverPort();
}

// The broker process. Persistence keeps a durable subscriber's session and
// queued messages across a Stop and Start, as a laboratory's broker would.
class CBroker
{
public:
    struct SOptions {
        bool bPasswords = false;  // allow_anonymous false with a password file
        QString strUser = QStringLiteral("lab");
        QString strPassword = QStringLiteral("s3cret");
        bool bTls = false;  // a second listener with TLS, from a CA made here
    };

    CBroker() = default;
    explicit CBroker(SOptions options) : m_options(options) {}
    ~CBroker() { Stop(); }

    // Writes the configuration (first time) and starts; true when the port
    // accepts connections.
    bool Start()
    {
        if (!m_dir.isValid()) return false;
        if (m_nPort == 0 && !WriteConfig()) return false;
        m_process.setProgram(BrokerProgram());
        m_process.setArguments({"-c", m_dir.filePath("mosquitto.conf")});
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start();
        if (!m_process.waitForStarted(5000)) return false;
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, m_nPort);
            if (probe.waitForConnected(200)) return true;
            if (m_process.state() != QProcess::Running) return false;
            QThread::msleep(20);
        }
        return false;
    }

    void Stop()
    {
        if (m_process.state() == QProcess::NotRunning) return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    int Port() const { return m_nPort; }
    int TlsPort() const { return m_nTlsPort; }
    QString CaFile() const { return m_dir.filePath("ca.crt"); }
    QString Url() const { return QStringLiteral("mqtt://127.0.0.1:%1").arg(m_nPort); }
    QByteArray Log() { return m_process.readAll(); }
    const SOptions& Options() const { return m_options; }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

private:
    bool WriteConfig()
    {
        m_nPort = FreePort();
        if (m_nPort == 0) return false;
        QByteArray conf;
        conf += "listener " + QByteArray::number(m_nPort) + " 127.0.0.1\n";
        // As root the broker would otherwise switch to a user that cannot
        // read this folder.
        if (const passwd* pw = ::getpwuid(::geteuid())) conf += QByteArray("user ") + pw->pw_name + "\n";
        conf += "persistence true\n";
        conf += "persistence_location " + QFile::encodeName(m_dir.path()) + "/\n";
        conf += "queue_qos0_messages true\n";
        conf += "max_queued_messages 0\n";
        conf += "log_dest stdout\n";
        if (m_options.bPasswords) {
            const QString passwords = m_dir.filePath("passwords");
            QFile file(passwords);
            if (!file.open(QIODevice::WriteOnly)) return false;
            file.close();
            const int rc = QProcess::execute(QStringLiteral("mosquitto_passwd"),
                                             {"-b", passwords, m_options.strUser, m_options.strPassword});
            if (rc != 0) return false;
            QFile::setPermissions(passwords, QFile::ReadOwner | QFile::WriteOwner);
            conf += "allow_anonymous false\n";
            conf += "password_file " + QFile::encodeName(passwords) + "\n";
        } else {
            conf += "allow_anonymous true\n";
        }
        if (m_options.bTls) {
            if (!MakeCertificates()) return false;
            m_nTlsPort = FreePort();
            conf += "listener " + QByteArray::number(m_nTlsPort) + " 127.0.0.1\n";
            conf += "cafile " + QFile::encodeName(CaFile()) + "\n";
            conf += "certfile " + QFile::encodeName(m_dir.filePath("server.crt")) + "\n";
            conf += "keyfile " + QFile::encodeName(m_dir.filePath("server.key")) + "\n";
        }
        QFile file(m_dir.filePath("mosquitto.conf"));
        return file.open(QIODevice::WriteOnly) && file.write(conf) == conf.size();
    }

    // A test CA and a server certificate for 127.0.0.1 signed by it.
    bool MakeCertificates()
    {
        QFile ext(m_dir.filePath("ext.cnf"));
        if (!ext.open(QIODevice::WriteOnly) || ext.write("subjectAltName=IP:127.0.0.1\n") < 0) return false;
        ext.close();
        const auto run = [&](const QStringList& args) {
            QProcess openssl;
            openssl.setWorkingDirectory(m_dir.path());
            openssl.start(QStringLiteral("openssl"), args);
            return openssl.waitForFinished(60000) && openssl.exitStatus() == QProcess::NormalExit
                && openssl.exitCode() == 0;
        };
        return run({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.crt", "-days",
                    "2", "-subj", "/CN=Vantoc test CA"})
            && run({"req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out", "server.csr", "-subj",
                    "/CN=127.0.0.1"})
            && run({"x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key", "-CAcreateserial",
                    "-out", "server.crt", "-days", "2", "-extfile", "ext.cnf"});
    }

    SOptions m_options;
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_nPort = 0;
    int m_nTlsPort = 0;
};

struct SReceived {
    QByteArray topic;
    QByteArray payload;
    bool bRetain = false;
};

// A subscriber on the broker's whole tree, on libmosquitto's own thread.
// A durable session (fixed id, no clean start) gets what was published
// while it was away.
class CSubscriber
{
public:
    CSubscriber(int port, const QByteArray& filter, const QByteArray& user = {}, const QByteArray& password = {})
    {
        mosquitto_lib_init();
        static int counter = 0;
        const QByteArray id = "test-subscriber-" + QByteArray::number(::getpid()) + "-" + QByteArray::number(++counter);
        m_filter = filter;
        m_pMosq = mosquitto_new(id.constData(), false, this);
        if (!user.isEmpty()) mosquitto_username_pw_set(m_pMosq, user.constData(), password.constData());
        mosquitto_connect_callback_set(m_pMosq, [](mosquitto* m, void* self, int rc) {
            auto* s = static_cast<CSubscriber*>(self);
            if (rc == 0) mosquitto_subscribe(m, nullptr, s->m_filter.constData(), 1);
        });
        mosquitto_subscribe_callback_set(m_pMosq, [](mosquitto*, void* self, int, int, const int*) {
            auto* s = static_cast<CSubscriber*>(self);
            std::lock_guard lock(s->m_mutex);
            ++s->m_nSubscribed;
            s->m_changed.notify_all();
        });
        mosquitto_message_callback_set(m_pMosq, [](mosquitto*, void* self, const mosquitto_message* m) {
            auto* s = static_cast<CSubscriber*>(self);
            std::lock_guard lock(s->m_mutex);
            s->m_received.push_back({QByteArray(m->topic),
                                     QByteArray(static_cast<const char*>(m->payload), m->payloadlen), m->retain});
            s->m_changed.notify_all();
        });
        mosquitto_reconnect_delay_set(m_pMosq, 1, 1, false);
        mosquitto_connect_async(m_pMosq, "127.0.0.1", port, 20);
        mosquitto_loop_start(m_pMosq);
    }
    ~CSubscriber()
    {
        mosquitto_disconnect(m_pMosq);
        mosquitto_loop_stop(m_pMosq, true);
        mosquitto_destroy(m_pMosq);
    }

    // Waits until the subscription count reaches n (first subscription: 1).
    bool WaitSubscribed(int n = 1, int ms = 10000)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(ms), [&] { return m_nSubscribed >= n; });
    }

    // Waits until pred holds on what arrived so far.
    bool WaitFor(const std::function<bool(const std::vector<SReceived>&)>& pred, int ms = 15000)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(ms), [&] { return pred(m_received); });
    }

    std::vector<SReceived> Received()
    {
        std::lock_guard lock(m_mutex);
        return m_received;
    }

    // The payloads of one topic, as JSON objects.
    std::vector<QJsonObject> Json(const QByteArray& topic)
    {
        std::vector<QJsonObject> out;
        for (const SReceived& r : Received())
            if (r.topic == topic) out.push_back(QJsonDocument::fromJson(r.payload).object());
        return out;
    }

private:
    mosquitto* m_pMosq = nullptr;
    QByteArray m_filter;
    std::mutex m_mutex;  // guards m_received and m_nSubscribed
    std::condition_variable m_changed;
    std::vector<SReceived> m_received;
    int m_nSubscribed = 0;
};

// Publishes one message as another client of the laboratory would, and
// returns once the broker has taken it (QoS 1).
inline bool PublishOnce(int port, const QByteArray& topic, const QByteArray& payload)
{
    mosquitto_lib_init();
    mosquitto* m = mosquitto_new(nullptr, true, nullptr);
    bool ok = m && mosquitto_connect(m, "127.0.0.1", port, 20) == MOSQ_ERR_SUCCESS;
    int mid = 0;
    static std::atomic<int> acked{-1};
    acked = -1;
    if (ok) {
        mosquitto_publish_callback_set(m, [](mosquitto*, void*, int id) { acked = id; });
        ok = mosquitto_publish(m, &mid, topic.constData(), payload.size(), payload.constData(), 1, false)
            == MOSQ_ERR_SUCCESS;
    }
    for (int i = 0; ok && i < 200 && acked.load() != mid; ++i) mosquitto_loop(m, 20, 1);
    ok = ok && acked.load() == mid;
    if (m) {
        mosquitto_disconnect(m);
        mosquitto_destroy(m);
    }
    return ok;
}

inline int CountTopic(const std::vector<SReceived>& received, const QByteArray& topic)
{
    return static_cast<int>(std::count_if(received.begin(), received.end(),
                                          [&](const SReceived& r) { return r.topic == topic; }));
}

}  // namespace broker_test
