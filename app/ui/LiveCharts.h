#pragma once

#include "graph/GraphAxis.h"
#include "platform/ColorRef.h"
#include "platform/WinDef.h"
#include "ui/ChartOverlays.h"

#include <QObject>
#include <QString>
#include <limits>
#include <vector>

class COpenedRun;
class CRunControl;
class CVelGraphWnd;
class QWidget;
namespace plat {
struct CDialogItemTemplate;
}

// The main window's two live charts: speed against sample number above,
// torque below. Configured once, emptied at every acknowledged Start and fed
// one point per sample, with the running minimum and maximum of each
// quantity setting the axis ranges. UI thread only.
class CLiveCharts : public QObject
{
    Q_OBJECT
public:
    static constexpr int kIdSpeedChart = 1010;
    static constexpr int kIdTorqueChart = 1007;
    // The maximum a run starts with, so that a run of zeros still has a range.
    static constexpr float kInitialMax = std::numeric_limits<float>::min();

    // The charts are not owned (they are the dialog's children).
    CLiveCharts(CVelGraphWnd* pSpeedChart, CVelGraphWnd* pTorqueChart, QObject* parent = nullptr);

    // A chart window in the place of a template's placeholder (1010 or 1007),
    // keeping its border; null for any other control.
    static QWidget* CreateChart(const plat::CDialogItemTemplate& item, QWidget* parent);

    // The one-time set-up: torque chart first, then speed chart.
    void SetUp();
    // Empties both charts for a new run.
    void Reset();
    // nSamples counts the run's samples including this one (the first is 1).
    void UpdateSpeed(int nSamples, float fSpeed);
    // Also sets the ranges of both charts and repaints them.
    void UpdateTorque(int nSamples, float fTorque);

    // The Δtorque series (torque minus the tare) on the torque chart,
    // beside the torque; off by default. Its points are kept while hidden,
    // so that showing it later shows the whole run since the tare.
    static constexpr plat::COLORREF kDeltaColor = plat::RGB(0, 200, 255);
    void ShowDelta(bool bShow);
    bool IsDeltaShown() const { return m_bDeltaShown; }
    // Δtorque of sample nSamples, after UpdateTorque for that sample.
    void UpdateDelta(int nSamples, float fDelta);
    int DeltaCount() const { return static_cast<int>(m_deltaX.size()); }

    // Follows a run control: Reset at its reset point, both updates for each
    // sample it records, a marker for each mark and silence it records.
    void Follow(const CRunControl& run);

    static constexpr plat::COLORREF kMarkColor = plat::RGB(255, 191, 0);
    static constexpr plat::COLORREF kSilenceColor = plat::RGB(255, 64, 64);
    // While on, each sample also adds the run's set-point to the speed
    // chart as a dashed line (a program's steps against the speed).
    void SetSetPointTrace(bool on) { m_bSetPointTrace = on; }
    bool IsSetPointTrace() const { return m_bSetPointTrace; }
    void UpdateSetPoint(int nSamples, float fRpm);
    // A marker line at sample x (0 before the first) on both charts.
    void AddMarker(double x, const QString& label, plat::COLORREF crColor, int nPenStyle);
    // An opened run's samples and events (but Start and Stop) on the charts,
    // in place of the last run, until the next Reset; the whole series goes
    // in at once.
    void ShowRun(const COpenedRun& run);

    // Earlier runs behind the current one; they stay through Reset until
    // removed. AddOverlay is false when five are shown already.
    bool AddOverlay(const QString& name, const COpenedRun& run);
    void RemoveOverlay(int index);
    const CChartOverlays& Overlays() const { return m_overlays; }
    // The current run's series: after the overlays.
    int CurrentSeries() const { return m_overlays.Count(); }
    // The current run's name in the legend.
    const QString& CurrentName() const { return m_strCurrentName; }

    CVelGraphWnd* SpeedChart() const { return m_pSpeedChart; }
    CVelGraphWnd* TorqueChart() const { return m_pTorqueChart; }
    float SpeedMin() const { return m_fSpeedMin; }
    float SpeedMax() const { return m_fSpeedMax; }
    float TorqueMin() const { return m_fTorqueMin; }
    float TorqueMax() const { return m_fTorqueMax; }

    // The top of a Y range: 2.5 % of the span above the maximum.
    static double RangeTop(float fMin, float fMax);

private:
    static void SetUpChart(CVelGraphWnd* pChart, unsigned nXTitle, unsigned nYTitle);
    // The first point of a run creates series 0 and styles it.
    void AddPoint(CVelGraphWnd* pChart, double x, double y, eCurvePointStyle eStyle, plat::COLORREF crColor);
    void StyleCurrent(CVelGraphWnd* pChart, eCurvePointStyle eStyle, plat::COLORREF crColor);
    static void SetRanges(CVelGraphWnd* pChart, float fMin, float fMax, int nXExtent);
    // Both charts' ranges over the current run, Δtorque while shown, and
    // the overlays.
    void ApplyRanges(int nSamples);
    void PlaceOverlays();
    void PutDeltaSeries();

    CVelGraphWnd* m_pSpeedChart;
    CVelGraphWnd* m_pTorqueChart;
    float m_fTorqueMin = 0;
    float m_fTorqueMax = 0;
    float m_fSpeedMin = 0;
    float m_fSpeedMax = 0;
    int m_nSpeedSamples = 0;
    CChartOverlays m_overlays;
    int m_nPlaced = 0;  // overlay series at the front of each chart
    QString m_strCurrentName;
    int m_nXExtent = 1;
    bool m_bDeltaShown = false;
    std::vector<double> m_deltaX;
    std::vector<double> m_deltaY;
    float m_fDeltaMin = 0;
    float m_fDeltaMax = 0;
    bool m_bSetPointTrace = false;
};
