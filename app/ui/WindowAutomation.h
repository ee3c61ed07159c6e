#pragma once

#include "ui/RunAutomation.h"

#include <QObject>
#include <QTimer>
#include <optional>

class CAlarmBanner;
class CLiveCharts;
class CLiveSpeedField;
class CRunStatusStrip;
class QWidget;

// The main window's side of unattended runs: it owns the run automation
// (programs, "Stop after", safety limits) and shows it: alarms on the
// strip's banner, the time left and the automation's own stops in the
// strip, the set-point as a dashed trace while a program runs, and the
// speed field's state during a run. It also checks a Start against the
// limits and sends a speed typed during a run. UI thread.
class CWindowAutomation : public QObject
{
    Q_OBJECT
public:
    static constexpr int kCountdownMs = 250;

    // run must outlive this; the parent widget carries the messages.
    CWindowAutomation(CRunControl& run, QWidget* parent);

    CRunAutomation& Automation() { return m_automation; }
    const CRunAutomation& Automation() const { return m_automation; }

    // The window's pieces it shows on; none is owned.
    void Attach(CRunStatusStrip* strip, CLiveSpeedField* field, CLiveCharts* charts);

    // Before a Start: the limits (a message naming the limit refuses it)
    // and, when the limits ask for it, the operator's confirmation. The
    // speed to start at (the program's first set-point while one is
    // loaded), or nothing when the Start must not happen.
    std::optional<int> PrepareStart(int plainRpm);
    // A speed typed during a plain run: checked like Start, then sent at
    // once. True when the stirrer took it.
    bool ChangeSpeed(int rpm);
    // Whether the operator may set the speed by hand now: not while a
    // program drives it.
    bool IsSpeedManual() const;

    // "h:mm:ss" for "Stop after"; 0 clears it. Takes effect at the next Start.
    void SetStopAfter(double seconds);
    double StopAfter() const { return m_dStopAfter; }
    void SetLimits(const CSafetyLimits& limits) { m_automation.SetLimits(limits); }
    void SetProgram(const CSpeedProgram& program, const QString& name);
    QString ProgramName() const { return m_strProgram; }
    // The strip's text for the timer or the program, empty without either.
    QString CountdownText() const;

private:
    void OnRunningChanged(bool running);
    void OnRunEnded(CRunAutomation::EEnd why, const QString& text);
    void RefreshCountdown();

    CRunControl& m_run;
    QWidget* m_pParent;
    CRunAutomation m_automation;
    CRunStatusStrip* m_pStrip = nullptr;
    CLiveSpeedField* m_pField = nullptr;
    CLiveCharts* m_pCharts = nullptr;
    QTimer m_countdown;
    double m_dStopAfter = 0;
    QString m_strProgram;
};
