#pragma once

#include "net/MqttSettings.h"
#include "ui/AutomationOptions.h"
#include "ui/RunAutomation.h"
#include "ui/RunControl.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>

class CCommandLine;
class CRunPublishing;
class QIODevice;

// A run without a window, as a script starts it from the command line:
// connect and handshake, start the motor at a speed, print every sample as
// a row of the export file, end after a time, a number of samples or an
// interrupt, stop the motor as the window's Stop does and save the export.
// Drives the same CRunControl as the window. Lives on the thread of a
// QCoreApplication; every exchange blocks that thread (there is nothing to
// paint), and an interrupt that comes meanwhile is taken afterwards.
class CHeadlessRun : public QObject
{
    Q_OBJECT
public:
    // Exit statuses; an interrupt otherwise successful gives 128 + signal.
    enum EExit : int {
        kExitDone = 0,
        kExitNotConnected = 2,  // string 102
        kExitBadSpeed = 2,      // string 109, nothing sent
        kExitRefused = 3,       // the speed command was not acknowledged (speed 0 was)
        kExitStopFailed = 4,    // the stop was never acknowledged (also after a failed start)
        kExitSaveFailed = 5,
        kExitTorqueLimit = 6,   // --max-torque reached; the motor was stopped
        kExitLinkLost = 7,      // no valid reply for --link-timeout; the stop was sent
        kExitBadProgram = 65,   // the --program file cannot be read or has an error
        kExitMqttSettings = 78, // broker settings unusable, nothing sent
        kExitSignalBase = 128,
    };

    struct SSettings {
        QString strPort = QStringLiteral("com1");  // the port dialog's defaults
        QString strBaud = QStringLiteral("9600");
        int nSpeed = 0;          // rpm, checked as the window's Start does
        qint64 nDurationMs = 0;  // 0: no time limit
        int nSamples = 0;        // 0: no limit by count
        QString strSavePath;     // empty: no export file
        SMqttSettings mqtt;      // publishing to a broker, when its URL is set
        bool bJournal = false;   // the program turns it on unless --no-journal
        QString strJournalDir;   // empty: the default folder
        QString strNote;         // the journal header's note
        CAutomationOptions automation;  // program, limits, tare, end point
    };
    static SSettings FromCommandLine(const CCommandLine& cl);

    // out gets the rows, err the messages; neither is owned, either may be null.
    CHeadlessRun(const SSettings& settings, QIODevice* out, QIODevice* err, QObject* parent = nullptr);
    ~CHeadlessRun() override;

    // Runs the whole sequence once and returns the exit status.
    int Exec();

    // The program's entry for --headless: makes the QCoreApplication (no
    // display needed), takes SIGINT and SIGTERM, writes to stdout and stderr.
    static int Main(int& argc, char** argv, const CCommandLine& cl);
    // The same with the application already made.
    static int Run(const CCommandLine& cl);

    int SampleCount() const { return m_nAccepted; }
    const CRunControl& Control() const { return m_control; }
    const CRunAutomation& Automation() const { return m_automation; }

public slots:
    // Ends the run early as SIGINT or SIGTERM do: the motor is stopped and
    // the samples so far are saved.
    void Interrupt(int signalNumber);
    // Ends the run as the window's Stop does, asked over the network.
    void RemoteStop(const QString& text);
    // SIGUSR1: an operator's mark "mark" in the journal.
    void OnSignal(int signalNumber);

private:
    int Begin();
    int Prepare(int& speed);
    void ConfigureAutomation();
    void OnRunEnded(CRunAutomation::EEnd why, const QString& text);
    int Finish();
    void OnSample();
    void OnTimer();
    void End();
    bool Save();
    bool StartPublishing();
    void Print(const QByteArray& row);
    void Message(const QString& text);
    void StopFailedWarning();

    SSettings m_settings;
    QIODevice* m_pOut;  // not owned
    QIODevice* m_pErr;  // not owned
    CRunControl m_control;
    CRunAutomation m_automation{m_control};
    std::optional<CRunAutomation::EEnd> m_endedBy;
    QString m_strEndReason;  // the journal's end reason when the automation ended the run
    QEventLoop m_loop;
    QTimer m_timer;
    QDeadlineTimer m_deadline;
    int m_nAccepted = 0;  // samples printed and to be saved
    int m_nSignal = 0;
    bool m_bEnded = false;
    bool m_bStarted = false;
    bool m_bRemoteStop = false;
    std::unique_ptr<CRunPublishing> m_pPublishing;
};
