#pragma once

#include "link/AcquisitionWorker.h"
#include "link/SampleForwarder.h"
#include "ui/RunRecord.h"

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

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

    // Runs one blocking serial exchange and returns its result. The window
    // runs it off the UI thread and keeps painting; by default it runs here.
    using ExchangeRunner = std::function<bool(const std::function<bool()>& exchange)>;

    explicit CRunControl(QObject* parent = nullptr);
    // Shuts down if that has not happened yet.
    ~CRunControl() override;

    void SetExchangeRunner(ExchangeRunner runner);
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
    // Ends the polling and sends speed 0 until acknowledged, at most four
    // times while the motor runs. True when the motor is known to be stopped.
    bool Stop();
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

    ExchangeRunner m_runner;
    CSampleForwarder m_forwarder;  // before the worker: it must outlive it
    CAcquisitionWorker m_worker;
    CRunRecord m_record;
    int m_bRunning = 0;
    int m_bConnectFailed = 0;
    int m_bMotorRunning = 0;
    int m_nBusy = 0;
    bool m_bShutDown = false;
    bool m_bStopAfterRefusal = false;
    QString m_strConnectProblem;
    // Run-state messages that came while an exchange was running.
    std::vector<std::pair<int, int>> m_pendingStates;
};
