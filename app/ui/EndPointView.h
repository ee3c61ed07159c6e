#pragma once

#include "platform/ColorRef.h"
#include "run/EndPointRules.h"

#include <QObject>
#include <QPointer>

class CAlarmBanner;
class CLiveCharts;
class CRunAutomation;
class CRunControl;
class CTorqueCells;
struct EndPointEvent;

// The main window's side of the torque end-point assistant: "Tare torque",
// the rules, and what the operator sees of them: Δtorque and the trend in
// the status strip, the optional Δtorque series on the torque chart, and
// when a rule fires the alert on the strip's banner (which beeps) with a
// marker on both charts at the firing sample. The detector, the journal
// events and the rules' stop or speed change are the run automation's.
// UI thread.
class CEndPointView : public QObject
{
    Q_OBJECT
public:
    static constexpr plat::COLORREF kMarkerColor = plat::RGB(0, 230, 118);  // green

    // run and automation must outlive this.
    CEndPointView(CRunControl& run, CRunAutomation& automation, QObject* parent = nullptr);

    // The window's pieces it shows on; none is owned, any may be null.
    // Once, after the charts follow the run (Δ goes after the torque).
    void Attach(CTorqueCells* cells, CLiveCharts* charts, CAlarmBanner* banner);

    // The mean of the last five samples becomes zero torque (journaled by
    // the automation); false while no run gives samples.
    bool Tare();
    // The rules from the next Start on.
    void SetRules(const CEndPointRules& rules);
    const CEndPointRules& Rules() const;
    void ShowDelta(bool show);

    // Group "endPoint" of the program's settings.
    static CEndPointRules RememberedRules();
    static void RememberRules(const CEndPointRules& rules);

signals:
    // A rule fired; shown already.
    void endPointShown(const QString& text);

private:
    void OnSample(int speed, int torque);
    void OnEndPoint(const EndPointEvent& event);
    void Refresh();

    CRunControl& m_run;
    CRunAutomation& m_automation;
    QPointer<CTorqueCells> m_pCells;
    QPointer<CLiveCharts> m_pCharts;
    QPointer<CAlarmBanner> m_pBanner;
};
