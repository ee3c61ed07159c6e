#pragma once

#include "link/AcquisitionWorker.h"
#include "link/SampleForwarder.h"
#include "run/JournalWriter.h"
#include "run/LinkWatch.h"
#include "run/RunClock.h"
#include "ui/RunRecord.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class IRunClock;

// The run sequence of the main window without any widget: connecting, Start,
// Stop, the samples, the run-state message and shutdown. The main dialog
// and the headless runner both drive it. Lives on the UI thread; samples
// reach it from the worker as queued calls.
class CRunControl : public QObject
{
    Q_OBJECT
public:
    enum class EStart {
        Started,
        NotConnected,     // show string 103
        SpeedOutOfRange,  // show string 109
        Refused,          // the speed command was not acknowledged
    };
    static constexpr int kMinSpeed = 50;
    static constexpr int kMaxSpeed = 2200;
    static constexpr int kStopAttempts = 4;

    // Outcome of a set-point change during a run.
    enum class EChange {
        Taken,            // acknowledged; samples carry the new set-point
        Refused,          // a clean refusal: the old set-point stands
        Unknown,          // the reply was lost or broken: either may stand
        NotRunning,       // no run under way (or an exchange is in progress)
        SpeedOutOfRange,  // outside 50 to 2200; nothing sent
    };

    // What a recorded event is, for those that draw or act on some kinds.
    enum class EEvent { Start, Stop, StopNotAcknowledged, LinkLost, LinkBack, Mark, JournalGap, Other,
                        SetPoint, Alarm, Tare, EndPoint, RemoteStop };
    Q_ENUM(EEvent)

    // The run journal: off unless enabled, so that a run control made
    // for a test writes no files. The window and the headless run enable it.
    struct SJournalOptions {
        bool bEnabled = false;
        QString strDir;       // the folder of journals
        QString strOperator;  // header fields of the next run
        QString strSample;
        QString strNote;
    };
    // End reasons of a journal.
    static const char* const kEndStopped;
    static const char* const kEndRunState;
    static const char* const kEndSignal;
    static const char* const kEndWindowClosed;

    // Runs one blocking serial exchange and returns its result. The window
    // runs it off the UI thread and keeps painting; by default it runs here.
    using ExchangeRunner = std::function<bool(const std::function<bool()>& exchange)>;

    explicit CRunControl(QObject* parent = nullptr);
    // Shuts down if that has not happened yet.
    ~CRunControl() override;

    void SetExchangeRunner(ExchangeRunner runner);
    // Not owned; must outlive this. The system clock by default.
    void SetClock(IRunClock* pClock);
    void SetJournalOptions(const SJournalOptions& options);
    const SJournalOptions& JournalOptions() const { return m_journalOptions; }
    // The journal of the current or last run (its Path is empty before one).
    const CJournalWriter& Journal() const { return *m_pJournal; }

    // The one place a run's events go: into the journal and out through
    // eventRecorded. Ignored while no run is under way.
    void RecordEvent(EEvent kind, const QString& text);
    // An operator's mark; an empty note becomes "Mark n". Returns the text
    // recorded, empty when no run is under way.
    QString Mark(const QString& note);
    // The note a mark gets by default: "Mark n" with the next number.
    QString NextMarkText() const;
    // Milliseconds since the last valid sample (or since Start when none
    // came yet); -1 when no run is under way.
    qint64 SilenceMs() const;
    // Monotonic ns of the last Start, 0 before the first.
    qint64 StartNs() const { return m_nStartNs; }
    // Wall-clock time of the last Start.
    SWallTime StartWall() const { return m_startWall; }
    // Time since Start while running, the run's length after it; -1 before
    // the first Start.
    qint64 RunTimeMs() const;
    const IRunClock& Clock() const { return *m_pClock; }
    // After a clean refusal of the Start's speed command, send speed 0 as
    // well (a lost or broken reply always gets it: the motor may turn).
    void SetStopAfterRefusal(bool stop) { m_bStopAfterRefusal = stop; }

    // Port settings into CCommPort: the name as it stands, the rate from the
    // text's leading decimal digits (none gives 0).
    static void ApplyPortSettings(const QString& portName, const QString& baudText);
    static int BaudFromText(const QString& text);

    // Opens the port and proves the instrument; a failure is remembered
    // (IsConnectionFailed) and every later Start refuses.
    bool Connect();
    // Why the last Connect failed, for the operator (device, permission,
    // busy port, no or wrong reply); empty after a success.
    QString ConnectionProblem() const { return m_strConnectProblem; }

    // Start with the target speed read from the window; 2200 becomes 2199 in
    // targetSpeed. Started: arrays emptied, worker polling.
    EStart Start(int& targetSpeed);
    // Sends a new set-point while running (2200 goes out as 2199, as at
    // Start). The command waits for the exchange lock, so it goes between
    // two status polls, never into one. Recorded as a SetPoint event.
    EChange ChangeSpeed(int rpm);
    // The set-point in force: Start's, then the last one acknowledged.
    int SetPoint() const { return m_nSetPoint; }
    // Ends the polling and sends speed 0 until acknowledged, at most four
    // times while the motor runs. True when the motor is known to be stopped.
    bool Stop(const QString& endReason = QString::fromLatin1(kEndStopped));
    // The run-state message: motor flag and status; (0, 0) ends the run.
    void OnRunState(int motor, int status);
    // Waits for the worker when a run is active, then closes and releases
    // the port. The motor is not sent a stop.
    void Shutdown();

    bool IsRunning() const { return m_bRunning; }
    bool IsMotorRunning() const { return m_bMotorRunning; }
    bool IsConnectionFailed() const { return m_bConnectFailed; }
    bool IsBusy() const { return m_nBusy > 0; }
    const CRunRecord& Record() const { return m_record; }

signals:
    // Before the arrays are emptied at a Start (the charts' reset point).
    void runReset();
    // A sample was appended to the record.
    void sampleArrived(int speed, int torque);
    // Running flag changed (Start, Stop, run-state message).
    void runningChanged(bool running);
    // An event of the run; afterSamples is the number of samples before it
    // (its place on the charts' X axis).
    void eventRecorded(int afterSamples, CRunControl::EEvent kind, const QString& text);
    // The journal could not be opened or written; shown once per failure.
    void journalWarning(const QString& text);
    // A journal was opened (path) or finished (empty path).
    void journalChanged(const QString& path);
    // The last serial exchange in progress has ended (IsBusy is false).
    void exchangesEnded();

private:
    void OnSample(int speed, int torque);
    void DeliverLastSamples();
    bool RunExchange(const std::function<bool()>& exchange);
    // Speed 0 until acknowledged, at most four times while the motor runs.
    void StopMotor();
    void SetRunning(bool running);
    void ApplyPendingStates();
    void OpenJournal(int setPoint);
    // Writes the end line now, or after the stopping worker's last sample.
    void EndJournal(const QString& reason);
    void FinishJournal();
    void OnTick();
    void Report(CJournalWriter::EWrite result);

    ExchangeRunner m_runner;
    CSampleForwarder m_forwarder;  // before the worker: it must outlive it
    CAcquisitionWorker m_worker;
    CRunRecord m_record;
    int m_bRunning = 0;
    int m_bConnectFailed = 0;
    int m_bMotorRunning = 0;
    int m_nBusy = 0;
    bool m_bShutDown = false;
    bool m_bDestroying = false;
    IRunClock* m_pClock;  // not owned
    SJournalOptions m_journalOptions;
    std::unique_ptr<CJournalWriter> m_pJournal;
    CLinkWatch m_linkWatch;
    QTimer m_tick;          // link watch and journal sync while running
    QTimer m_endTimer;      // ends the journal when no last sample comes
    QString m_strEndReason; // set between Stop and the end line
    bool m_bEndPending = false;
    int m_nSetPoint = 0;
    int m_nMarks = 0;
    qint64 m_nStartNs = 0;
    qint64 m_nEndNs = 0;
    SWallTime m_startWall;
    bool m_bRunOpen = false;  // from Start until the journal's end
    bool m_bStopAfterRefusal = false;
    QString m_strConnectProblem;
    // Run-state messages that came while an exchange was running.
    std::vector<std::pair<int, int>> m_pendingStates;
};
