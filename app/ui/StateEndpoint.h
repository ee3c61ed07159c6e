#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>
#include <sys/types.h>

class QLocalServer;
class QLocalSocket;

// The run-state message (WM_STIRRER_STATE) from other programs of the same
// user: a Unix-domain socket in $XDG_RUNTIME_DIR, mode 0600, that accepts
// only peers with this process's user id.
//
// Protocol: one line per message, ASCII, at most 64 bytes with its line end:
//
//     STATE <motor> <status>\n
//
// motor and status are decimal integers (optional leading '-', 32-bit).
// Each line is answered "OK\n" when accepted or "ERR <reason>\n" when
// refused; a refused line has no effect. A connection that sends no whole
// line for 5 s is closed ("ERR idle\n"). `vantoc --send-state MOTOR STATUS`
// is the client.
class CStateEndpoint : public QObject
{
    Q_OBJECT
public:
    struct SMessage {
        int nMotor = 0;
        int nStatus = 0;
    };
    static constexpr int kMaxLine = 64;
    static constexpr int kIdleTimeoutMs = 5000;

    explicit CStateEndpoint(QObject* parent = nullptr);
    ~CStateEndpoint() override;

    // $XDG_RUNTIME_DIR/vantoc-state (Qt's runtime location when unset).
    static QString DefaultPath();

    // Creates the socket. False, with the reason, when another Vantoc of this
    // user already listens there or the socket cannot be made; a stale
    // socket file left by a crashed run is replaced.
    bool Listen(const QString& path, QString* error = nullptr);
    QString Path() const { return m_strPath; }
    // The user id a peer must have (this process's by default).
    void SetAcceptedUid(uid_t uid) { m_acceptedUid = uid; }
    // How long a connection may stay without a whole line (for connections
    // accepted from now on).
    void SetIdleTimeout(int ms) { m_nIdleTimeoutMs = ms; }

    static std::optional<SMessage> ParseLine(const QByteArray& line);
    static QByteArray FormatLine(int motor, int status);

    // The client: sends one message and waits for the answer. False with the
    // reason (the endpoint's refusal or a connection problem).
    static bool Send(const QString& path, int motor, int status, QString* error = nullptr);

signals:
    void stateReceived(int motor, int status);

private:
    void OnNewConnection();
    // True when at least one whole line was answered.
    bool OnReadyRead(QLocalSocket* socket);
    void Close();

    QLocalServer* m_pServer = nullptr;
    QString m_strPath;
    uid_t m_acceptedUid;
    int m_nIdleTimeoutMs = kIdleTimeoutMs;
};
