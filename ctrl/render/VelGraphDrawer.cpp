#include "render/VelGraphDrawer.h"

#include "graph/VelGraph.h"
#include "graph/VelGraphSeries.h"
#include "render/AxisScale.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
plat::CString TimeString(double dValue)
{
    // Seconds beyond the 32-bit range are shown at its end.
    constexpr double kLow = std::numeric_limits<std::int32_t>::min();
    constexpr double kHigh = std::numeric_limits<std::int32_t>::max();
    const double dRounded = std::trunc(dValue + 0.5);
    const int t = std::isnan(dRounded) ? 0 : static_cast<int>(std::clamp(dRounded, kLow, kHigh));
    const int nHours = t / 3600;
    const int nMinutes = (t % 3600) / 60;
    const int nSeconds = t % 60;

    plat::CString str;
    const bool bHours = nHours != 0;
    if (bHours) str += QString::number(nHours) + ':';
    if (nMinutes != 0 || bHours) {
        QString strMin = QString::number(nMinutes);
        if (strMin.size() < 2 && bHours) strMin.prepend('0');
        str += strMin + ':';
    }
    QString strSec = QString::number(nSeconds);
    if (strSec.size() < 2 && !str.isEmpty()) strSec.prepend('0');
    return str + strSec;
}

void TrimZeros(plat::CString& str)
{
    if (str.size() <= 1 || !str.contains('.')) return;
    while (str.endsWith('0') || str.endsWith('.')) {
        if (str.size() <= 1) return;
        const QChar c = str.back();
        str.chop(1);
        if (c == '.') return;
    }
}
}  // namespace

CVelGraphDrawer::CVelGraphDrawer(CVelGraph* pGraph) : m_pGraph(pGraph)
{
    m_lfFont.lfHeight = 18;
    m_lfFont.lfWeight = plat::FW_BOLD;
    m_lfFont.SetFaceName("Microsoft Sans Serif");
}

CVelGraphDrawer::~CVelGraphDrawer() = default;

plat::CSize CVelGraphDrawer::GetLegendSize()
{
    return {20, 10};
}

void CVelGraphDrawer::SetAxis(tagGraphAxis* pXAxis, tagGraphAxis* pYAxis)
{
    m_pXAxis = pXAxis;
    m_pYAxis = pYAxis;
}

void CVelGraphDrawer::SetToolTip(plat::CToolTipCtrl* pToolTip, QWidget* pWnd)
{
    m_pToolTip = pToolTip;
    m_pToolWnd = pWnd;
}

int CVelGraphDrawer::GetAxisPosition(double dValue, const tagGraphAxis* pAxis, int& bValid) const
{
    return CAxisScale::Position(dValue, *pAxis, bValid);
}

double CVelGraphDrawer::GetAxisValue(int nOffset, const tagGraphAxis* pAxis) const
{
    return CAxisScale::Value(nOffset, *pAxis);
}

plat::CString CVelGraphDrawer::GetValueString(double dValue, int nPrecision, eAxisValueType eType, int bLogarithm,
                                              int bTrim)
{
    if (bLogarithm && bTrim) return plat::CString::asprintf("%.1e", dValue);
    if (eType == AXIS_VALUE_TIME) return TimeString(dValue);
    if (std::fabs(dValue) > 1000000.0) return plat::CString::asprintf("%.1e", dValue);
    if (eType == AXIS_VALUE_INTEGER) return plat::CString::asprintf("%.0f", dValue);
    plat::CString str = plat::CString::asprintf("%.*f", std::max(nPrecision, 0), dValue);
    if (bTrim) TrimZeros(str);
    return str;
}

int CVelGraphDrawer::LegendCanShow(int nIndex) const
{
    if (nIndex < 0 || !m_pGraph) return 0;
    const CVelGraphSeries* pSeries = m_pGraph->GetSeries(nIndex);
    return pSeries ? pSeries->bShow : 0;
}

int CVelGraphDrawer::FindSeriesByPoint(plat::CRect rcPlot, plat::CPoint pt)
{
    const CVelGraphSeriesArray& arSeries = *m_pGraph->GetSeriesArray();
    for (int i = 0; i < static_cast<int>(arSeries.size()); ++i) {
        CVelGraphSeries* pSeries = arSeries[i].get();
        if (pSeries->bShow && PointInSeries(rcPlot, pt, pSeries)) return i;
    }
    return -1;
}

bool CVelGraphDrawer::PointPosition(plat::CRect rcPlot, double x, double y, plat::CPoint& pt) const
{
    int bValidX = 0;
    int bValidY = 0;
    pt.x = rcPlot.left + GetAxisPosition(x, m_pXAxis, bValidX);
    pt.y = rcPlot.bottom - GetAxisPosition(y, m_pYAxis, bValidY);
    return bValidX && bValidY;
}

bool CVelGraphDrawer::WantsToolTips() const
{
    return m_pToolTip && m_pGraph && m_pGraph->IsShowTip();
}

plat::CString CVelGraphDrawer::PointTipText(const CVelGraphSeries* pSeries, double x, double y, int nXPrecision,
                                            int nYPrecision) const
{
    return QStringLiteral("%1 (%2, %3)")
        .arg(pSeries->strTipInfo,
             GetValueString(x, nXPrecision, m_pXAxis->eValueType, m_pXAxis->bLogarithm, 0),
             GetValueString(y, nYPrecision, m_pYAxis->eValueType, m_pYAxis->bLogarithm, 0));
}

plat::BOOL CVelGraphDrawer::GetToolTip(plat::CPoint pt, plat::CString& strText, plat::CRect& rcTool)
{
    if (!WantsToolTips() || m_rcLastPlot.IsRectEmpty()) return plat::FALSE;
    // The series painted first registered its tools first and so wins.
    for (const auto& pSeries : *m_pGraph->GetSeriesArray())
        if (pSeries->bShow && FindToolTip(m_rcLastPlot, pt, pSeries.get(), strText, rcTool)) return plat::TRUE;
    return plat::FALSE;
}

plat::BOOL CVelGraphDrawer::FindToolTip(plat::CRect, plat::CPoint, CVelGraphSeries*, plat::CString&, plat::CRect&)
{
    return plat::FALSE;
}
