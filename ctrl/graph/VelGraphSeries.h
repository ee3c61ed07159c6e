#pragma once

#include "graph/GraphAxis.h"
#include "graph/GraphPointArray.h"
#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

// One data series of a chart: its points in insertion order and the drawing
// attributes the drawers read. Nothing here repaints; the graph marks its
// axes dirty when points arrive through it.
class QUINDLE_EXPORT CVelGraphSeries {
public:
    CVelGraphSeries() = default;
    virtual ~CVelGraphSeries() = default;
    CVelGraphSeries(const CVelGraphSeries&) = delete;
    CVelGraphSeries& operator=(const CVelGraphSeries&) = delete;

    int Add(double x, double y) { return arPoints.Add(x, y); }
    // Both throw plat::CInvalidArgException for an index outside the points.
    void SetAt(int nPoint, double x, double y) { arPoints.SetAt(nPoint, x, y); }
    void GetAt(int nPoint, double& x, double& y) const;
    int GetSize() const { return arPoints.GetSize(); }
    void RemoveAll() { arPoints.RemoveAll(); }

    void SetRange(double d1, double d2, double d3);
    void GetRange(double& d1, double& d2, double& d3) const;

    void SetColor(plat::COLORREF cr) { crColor = cr; }
    plat::COLORREF GetColor() const { return crColor; }
    void SetWidth(int n) { nWidth = n; }
    int GetWidth() const { return nWidth; }
    void SetPenStyle(int n) { nPenStyle = n; }
    int GetPenStyle() const { return nPenStyle; }
    void SetPointStyle(eCurvePointStyle e) { ePointStyle = e; }
    eCurvePointStyle GetPointStyle() const { return ePointStyle; }
    void EnableShow(plat::BOOL b) { bShow = b; }
    plat::BOOL CanShow() const { return bShow; }
    void EnableActivate(plat::BOOL b) { bActivate = b; }
    plat::BOOL IsActivate() const { return bActivate; }
    void EnableShowMark(plat::BOOL b) { bShowMark = b; }
    plat::BOOL IsShowMark() const { return bShowMark; }
    void SetTipInfo(const plat::CString& str) { strTipInfo = str; }
    plat::CString GetTipInfo() const { return strTipInfo; }

    // Read directly by the drawers and the legend.
    CGraphPointArray arPoints;
    int bShow = 1;
    int bActivate = 0;   // highlighted by mouse activation
    int bShowMark = 1;
    plat::COLORREF crColor = 0;
    eCurvePointStyle ePointStyle = POINT_CIRCLE;
    int nPenStyle = 0;   // solid
    int nWidth = 1;      // pixels
    plat::CString strTipInfo;  // name shown in a marker's tooltip
    // Reference levels; the scatter drawer draws a horizontal line at each.
    double dRange1 = 0.0;
    double dRange2 = 0.0;
    double dRange3 = 0.0;
};

#include <memory>
#include <vector>

// The series of a graph, owned, in creation order; the index identifies one.
using CVelGraphSeriesArray = std::vector<std::unique_ptr<CVelGraphSeries>>;
