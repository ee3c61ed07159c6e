#pragma once

#include "graph/GraphAxis.h"
#include "graph/ViewRange.h"
#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

class CVelGraph;

// What the operator's browsing (zoom, pan) does to a chart's axis ranges.
//
// Following (the start state) the graph's axis records belong to the
// caller and to the graph's own range logic, exactly as without browsing.
// Browsing, the view holds both axis records at the ranges the operator
// chose, with the graph's recalculation off, so new data does not move
// what is shown; the caller's range settings are kept aside meanwhile
// (SetAxisRange, EnableAxisRecalculate here, or written straight into the
// graph, which Apply takes up) and come back, widened to the data as the
// graph would have widened them, when the view follows again.
//
// Following may keep an X span: the X axis then shows the last span of the
// caller's range and slides with it, the Y axis is the caller's.
class QUINDLE_EXPORT CGraphView {
public:
    // pGraph: the chart whose axes are browsed (not owned).
    explicit CGraphView(CVelGraph* pGraph);

    bool IsFollowing() const { return m_bFollowing; }
    // Whether either axis shows a range of the view's own.
    bool IsBrowsing() const { return m_X.bHeld || m_Y.bHeld; }
    // The X span kept while following; 0 for the whole range.
    double GetFollowSpan() const { return m_dFollowSpan; }

    // What the next paint shows on the axis.
    tagViewRange GetRange(eGraphAxisType eType) const;
    // The caller's range widened to the data: what following shows.
    tagViewRange GetLiveRange(eGraphAxisType eType) const;

    // Browsing. Each stops following, freezes both axes at what is shown
    // and changes one; false (and nothing changed) for a range the axis
    // cannot show. Ranges are kept inside the axis' hard limits.
    bool SetRange(eGraphAxisType eType, tagViewRange r);
    bool Zoom(eGraphAxisType eType, double dFactor, double dAround);
    // dDelta in values; in decades on a logarithmic axis.
    bool Shift(eGraphAxisType eType, double dDelta);
    // Stops following and keeps what is shown; false when already stopped.
    bool Freeze();
    // Follows the caller's ranges again; an X axis zoomed (not only
    // panned) narrower than them keeps its span at their end. False when
    // nothing changed.
    bool Follow();
    // Follows with the whole ranges: as if never browsed. False when
    // nothing changed.
    bool Reset();

    // The caller's range settings, as CVelGraph takes them; kept aside
    // while the view holds the axis.
    void SetAxisRange(eGraphAxisType eType, double dMin, double dMax, plat::BOOL bRecalculate);
    void EnableAxisRecalculate(eGraphAxisType eType, plat::BOOL b);

    // Writes the view into the graph's axis records; what a caller wrote
    // to a held record directly becomes the caller's setting (a write that
    // leaves the record as the view left it cannot be told apart: use the
    // setters above for those). Run before every paint and every mapping
    // between pixels and values.
    void Apply();

private:
    // The caller's part of an axis record, kept aside while held.
    struct tagCallerRange {
        double dMin = 0.0;
        double dMax = 0.0;
        double dInitMin = 0.0;
        double dInitMax = 0.0;
        int bRecalculate = 1;
    };
    struct tagAxisView {
        bool bHeld = false;
        tagViewRange view;       // what the axis is to show
        tagCallerRange written;  // what the record held after the last Apply
        tagCallerRange caller;
    };

    tagAxisView& View(eGraphAxisType eType) { return eType == GRAPH_AXIS_X ? m_X : m_Y; }
    const tagAxisView& View(eGraphAxisType eType) const { return eType == GRAPH_AXIS_X ? m_X : m_Y; }
    tagGraphAxis& Axis(eGraphAxisType eType) const;
    // The record as the caller left it (the kept settings while held).
    tagGraphAxis CallerAxis(eGraphAxisType eType) const;
    bool Sliding() const { return m_bFollowing && m_dFollowSpan > 0.0; }
    tagViewRange SlidingRange() const;
    void Hold(eGraphAxisType eType, tagViewRange r);
    void Release(eGraphAxisType eType);
    void TakeUpDirectChanges(eGraphAxisType eType);

    CVelGraph* m_pGraph;
    tagAxisView m_X;
    tagAxisView m_Y;
    bool m_bFollowing = true;
    double m_dFollowSpan = 0.0;
    bool m_bXZoomed = false;  // the X span was changed since the whole range
};
