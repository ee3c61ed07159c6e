#include "graph/GraphView.h"

#include "graph/AxisRangeRule.h"
#include "graph/VelGraph.h"

#include <cmath>

namespace {
// Relative span differences below this are rounding, not a zoom.
constexpr double kSpanTolerance = 1e-9;
}  // namespace

CGraphView::CGraphView(CVelGraph* pGraph) : m_pGraph(pGraph) {}

tagGraphAxis& CGraphView::Axis(eGraphAxisType eType) const
{
    return *m_pGraph->GetAxis(eType);
}

tagGraphAxis CGraphView::CallerAxis(eGraphAxisType eType) const
{
    tagGraphAxis axis = Axis(eType);
    const tagAxisView& v = View(eType);
    if (v.bHeld) {
        axis.dMin = v.caller.dMin;
        axis.dMax = v.caller.dMax;
        axis.dInitMin = v.caller.dInitMin;
        axis.dInitMax = v.caller.dInitMax;
        axis.bRecalculate = v.caller.bRecalculate;
    }
    return axis;
}

tagViewRange CGraphView::GetLiveRange(eGraphAxisType eType) const
{
    tagGraphAxis axis = CallerAxis(eType);
    // A clean record the view does not hold is what the last paint showed.
    if (!View(eType).bHeld && !axis.bDirty) return {axis.dMin, axis.dMax};

    double dMin = axis.dMin;
    double dMax = axis.dMax;
    if (axis.bRecalculate && CAxisRangeRule::DataRange(*m_pGraph->GetSeriesArray(), eType, axis, dMin, dMax)) {
        CAxisRangeRule::CorrectRange(axis, dMin, dMax, axis.bLogarithm);
    } else {
        dMin = axis.dMin;
        dMax = axis.dMax;
    }
    // The paint lifts edges a logarithmic scale cannot place, so does this.
    if (axis.bLogarithm && (dMin < CViewRange::kLogLowest || dMax < CViewRange::kLogLowest)) {
        axis.dMin = dMin;
        axis.dMax = dMax;
        CAxisRangeRule::CorrectRange(axis, dMin, dMax, axis.bLogarithm);
    }
    return {dMin, dMax};
}

tagViewRange CGraphView::SlidingRange() const
{
    const tagViewRange live = GetLiveRange(GRAPH_AXIS_X);
    return {live.dMax - m_dFollowSpan, live.dMax};
}

tagViewRange CGraphView::GetRange(eGraphAxisType eType) const
{
    if (eType == GRAPH_AXIS_X && Sliding()) return SlidingRange();
    const tagAxisView& v = View(eType);
    return v.bHeld ? v.view : GetLiveRange(eType);
}

bool CGraphView::SetRange(eGraphAxisType eType, tagViewRange r)
{
    const tagGraphAxis axis = CallerAxis(eType);
    r = CViewRange::Clamp(r, axis.dMaxRangeMin, axis.dMaxRangeMax);
    if (!CViewRange::IsUsable(r, axis.bLogarithm != 0)) return false;
    const bool bFroze = Freeze();
    tagAxisView& v = View(eType);
    if (v.view == r) return bFroze;
    const double dOldSpan = v.view.dMax - v.view.dMin;
    if (eType == GRAPH_AXIS_X && std::fabs((r.dMax - r.dMin) - dOldSpan) > kSpanTolerance * dOldSpan)
        m_bXZoomed = true;
    v.view = r;
    Apply();
    return true;
}

bool CGraphView::Zoom(eGraphAxisType eType, double dFactor, double dAround)
{
    if (dFactor == 1.0) return false;
    const tagViewRange r = GetRange(eType);
    return SetRange(eType, CViewRange::Zoom(r, dFactor, dAround, Axis(eType).bLogarithm != 0));
}

bool CGraphView::Shift(eGraphAxisType eType, double dDelta)
{
    if (dDelta == 0.0) return false;
    const tagViewRange r = GetRange(eType);
    return SetRange(eType, CViewRange::ShiftBy(r, dDelta, Axis(eType).bLogarithm != 0));
}

bool CGraphView::Freeze()
{
    if (!m_bFollowing) return false;
    const tagViewRange x = GetRange(GRAPH_AXIS_X);
    const tagViewRange y = GetRange(GRAPH_AXIS_Y);
    m_bFollowing = false;
    m_dFollowSpan = 0.0;
    Hold(GRAPH_AXIS_X, x);
    Hold(GRAPH_AXIS_Y, y);
    Apply();
    return true;
}

bool CGraphView::Follow()
{
    const tagViewRange live = GetLiveRange(GRAPH_AXIS_X);
    const tagViewRange shown = GetRange(GRAPH_AXIS_X);
    const double dShown = shown.dMax - shown.dMin;
    double dSpan = 0.0;
    if (m_bXZoomed && !Axis(GRAPH_AXIS_X).bLogarithm && dShown < (live.dMax - live.dMin) * (1.0 - kSpanTolerance))
        dSpan = dShown;
    if (m_bFollowing && dSpan == m_dFollowSpan) return false;

    Release(GRAPH_AXIS_Y);
    if (dSpan > 0.0) Hold(GRAPH_AXIS_X, shown);
    else Release(GRAPH_AXIS_X);
    m_bFollowing = true;
    m_dFollowSpan = dSpan;
    m_bXZoomed = dSpan > 0.0;
    Apply();
    return true;
}

bool CGraphView::Reset()
{
    if (m_bFollowing && !IsBrowsing()) return false;
    Release(GRAPH_AXIS_X);
    Release(GRAPH_AXIS_Y);
    m_bFollowing = true;
    m_dFollowSpan = 0.0;
    m_bXZoomed = false;
    return true;
}

void CGraphView::SetAxisRange(eGraphAxisType eType, double dMin, double dMax, plat::BOOL bRecalculate)
{
    tagAxisView& v = View(eType);
    if (!v.bHeld) {
        m_pGraph->SetAxisRange(eType, dMin, dMax, bRecalculate);
        return;
    }
    TakeUpDirectChanges(eType);
    v.caller.dMin = dMin;
    v.caller.dMax = dMax;
    if (bRecalculate) {
        v.caller.dInitMin = dMin;
        v.caller.dInitMax = dMax;
    }
    v.caller.bRecalculate = bRecalculate;
}

void CGraphView::EnableAxisRecalculate(eGraphAxisType eType, plat::BOOL b)
{
    tagAxisView& v = View(eType);
    if (!v.bHeld) {
        m_pGraph->EnableAxisRecalculate(eType, b);
        return;
    }
    TakeUpDirectChanges(eType);
    v.caller.bRecalculate = b;
}

void CGraphView::Apply()
{
    for (eGraphAxisType eType : {GRAPH_AXIS_X, GRAPH_AXIS_Y}) {
        tagAxisView& v = View(eType);
        if (!v.bHeld) continue;
        TakeUpDirectChanges(eType);
        if (eType == GRAPH_AXIS_X && Sliding()) v.view = SlidingRange();
        tagGraphAxis& axis = Axis(eType);
        // The base range is the caller's: the property sheet shows it.
        axis.dInitMin = v.caller.dInitMin;
        axis.dInitMax = v.caller.dInitMax;
        v.written = {v.view.dMin, v.view.dMax, axis.dInitMin, axis.dInitMax, 0};
        if (axis.dMin == v.view.dMin && axis.dMax == v.view.dMax && !axis.bRecalculate) continue;
        axis.dMin = v.view.dMin;
        axis.dMax = v.view.dMax;
        axis.bRecalculate = 0;
        axis.bDirty = 1;
    }
}

void CGraphView::Hold(eGraphAxisType eType, tagViewRange r)
{
    tagAxisView& v = View(eType);
    if (!v.bHeld) {
        const tagGraphAxis& axis = Axis(eType);
        v.caller = {axis.dMin, axis.dMax, axis.dInitMin, axis.dInitMax, axis.bRecalculate};
        v.written = v.caller;
        v.bHeld = true;
    }
    v.view = r;
}

void CGraphView::Release(eGraphAxisType eType)
{
    tagAxisView& v = View(eType);
    if (!v.bHeld) return;
    TakeUpDirectChanges(eType);
    tagGraphAxis& axis = Axis(eType);
    axis.dMin = v.caller.dMin;
    axis.dMax = v.caller.dMax;
    axis.dInitMin = v.caller.dInitMin;
    axis.dInitMax = v.caller.dInitMax;
    axis.bRecalculate = v.caller.bRecalculate;
    axis.bDirty = 1;
    v.bHeld = false;
}

void CGraphView::TakeUpDirectChanges(eGraphAxisType eType)
{
    tagAxisView& v = View(eType);
    const tagGraphAxis& axis = Axis(eType);
    // Only the caller writes a held record other than Apply does.
    const tagCallerRange& w = v.written;
    if (axis.dMin == w.dMin && axis.dMax == w.dMax && axis.bRecalculate == w.bRecalculate
        && axis.dInitMin == w.dInitMin && axis.dInitMax == w.dInitMax)
        return;
    v.caller = {axis.dMin, axis.dMax, axis.dInitMin, axis.dInitMax, axis.bRecalculate};
}
