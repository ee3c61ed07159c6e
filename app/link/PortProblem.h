#pragma once

#include <QString>
#include <QStringList>

// Why the stirrer's port could not be used, with what the operator can do
// about it. The facts (the group owning the device, the programs holding it)
// are gathered when the problem is found, so the explanation still tells
// the situation at that moment.
class CPortProblem
{
public:
    enum class EKind {
        None,
        NoDevice,          // no device node at the path
        PermissionDenied,  // the user may not open it
        Busy,              // another program holds it
        NotSerial,         // opens, but is no terminal device
        NoHardware,        // the node is there, the port does not respond
        BadBaudRate,       // the line cannot run at the rate
        OpenFailed,        // any other error of the system
        LineError,         // the handshake could not be sent
        NoReply,           // the handshake timed out without a byte
        WrongReply,        // something answered, but not the stirrer's acknowledgement
    };

    CPortProblem() = default;
    CPortProblem(EKind kind, QString path) : m_eKind(kind), m_strPath(std::move(path)) {}

    // The problem an open() of path that failed with err stands for; looks
    // at the device as needed (group, holders).
    static CPortProblem FromOpenError(const QString& path, int err);
    static CPortProblem PermissionDenied(const QString& path);
    static CPortProblem Busy(const QString& path);
    static CPortProblem OpenFailed(const QString& path, int err);
    static CPortProblem BadBaudRate(const QString& path, int baud);
    static CPortProblem Handshake(const QString& path, int baud, int bytesReceived);

    EKind Kind() const { return m_eKind; }
    bool IsNone() const { return m_eKind == EKind::None; }
    const QString& Path() const { return m_strPath; }

    // One or two sentences for the operator; empty for None.
    QString Explain() const;

    // Facts of the problem, set by the factories above (public for tests).
    QString m_strGroup;      // group owning the device (permission denied)
    QStringList m_holders;   // "name (pid N)" of the programs holding it (busy)
    QString m_strSystem;     // the system's error text (open failed)
    int m_nBaud = 0;         // rate of the line (baud rate, handshake)

private:
    EKind m_eKind = EKind::None;
    QString m_strPath;
};
