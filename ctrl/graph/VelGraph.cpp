#include "graph/VelGraph.h"

#include "graph/AxisRangeRule.h"
#include "platform/InvalidArgException.h"
#include "render/VelGraphBarDrawer.h"
#include "render/VelGraphLineDrawer.h"
#include "render/VelGraphScatterDrawer.h"

#include <QWidget>
#include <string>
#include <vector>

namespace {
constexpr int kTitleHeight = 19;
constexpr int kAxisTitleHeight = 14;
constexpr int kUpward = 900;  // tenths of a degree
}  // namespace

CVelGraph::CVelGraph(QWidget* pWnd, eGraphStyle eStyle)
    : m_pWnd(pWnd)
    , m_eStyle(eStyle)
    , m_pTitle(std::make_unique<CVelGraphTitle>(kTitleHeight, plat::FW_BOLD))
    , m_pXTitle(std::make_unique<CVelGraphTitle>(kAxisTitleHeight, plat::FW_BOLD))
    , m_pYTitle(std::make_unique<CVelGraphTitle>(kAxisTitleHeight, plat::FW_BOLD, kUpward))
{
    CreateDrawer(eStyle);
}

CVelGraph::~CVelGraph()
{
    m_Legend.SetDrawer(nullptr);
    m_pDrawer.reset();
    RemoveAll(plat::FALSE);
}

// ---- drawer --------------------------------------------------------------

void CVelGraph::InstallDrawer(std::unique_ptr<CVelGraphDrawer> pDrawer)
{
    m_pDrawer = std::move(pDrawer);
    m_pDrawer->SetAxis(&m_XAxis, &m_YAxis);
    m_Legend.SetDrawer(m_pDrawer.get());
}

void CVelGraph::CreateDrawer(eGraphStyle eStyle)
{
    switch (eStyle) {
    case GRAPH_BAR: InstallDrawer(std::make_unique<CVelGraphBarDrawer>(this)); break;
    case GRAPH_SCATTER: InstallDrawer(std::make_unique<CVelGraphScatterDrawer>(this)); break;
    default: InstallDrawer(std::make_unique<CVelGraphLineDrawer>(this)); break;
    }
}

void CVelGraph::SetDrawer(std::unique_ptr<CVelGraphDrawer> pDrawer)
{
    if (!pDrawer) return;
    // Handing back the drawer already installed must not delete it.
    if (pDrawer.get() == m_pDrawer.get()) {
        (void)pDrawer.release();
        return;
    }
    m_Legend.SetDrawer(nullptr);
    m_pDrawer.reset();
    InstallDrawer(std::move(pDrawer));
}

void CVelGraph::SetGraphType(eGraphStyle eStyle)
{
    if (eStyle == m_eStyle) return;
    m_Legend.SetDrawer(nullptr);
    m_pDrawer.reset();
    m_eStyle = eStyle;
    CreateDrawer(eStyle);
}

void CVelGraph::SetToolTip(plat::CToolTipCtrl* pToolTip)
{
    m_pDrawer->SetToolTip(pToolTip, m_pWnd);
}

// ---- series --------------------------------------------------------------

void CVelGraph::CheckSeriesIndex(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetSeriesCount())
        throw plat::CInvalidArgException("series index " + std::to_string(nIndex) + " outside 0.."
                                         + std::to_string(GetSeriesCount() - 1));
}

namespace {
void CheckPoints(plat::UINT nCount, const double* pX, const double* pY)
{
    if (nCount > 0 && (!pX || !pY)) throw plat::CInvalidArgException("series points missing");
}
}  // namespace

void CVelGraph::MarkAxesDirty()
{
    m_XAxis.bDirty = 1;
    m_YAxis.bDirty = 1;
}

int CVelGraph::AddSeries(plat::UINT nCount, const double* pX, const double* pY)
{
    CheckPoints(nCount, pX, pY);
    const int nIndex = GetSeriesCount();
    m_arSeries.push_back(std::make_unique<CVelGraphSeries>());
    SetSeriesAt(nIndex, nCount, pX, pY);
    m_Legend.AddOneLegend();
    return nIndex;
}

void CVelGraph::SetSeriesAt(int nIndex, plat::UINT nCount, const double* pX, const double* pY)
{
    if (nIndex < 0) CheckSeriesIndex(nIndex);
    if (nIndex >= GetSeriesCount()) {
        if (nIndex == 0) AddSeries(nCount, pX, pY);
        return;
    }
    CheckPoints(nCount, pX, pY);
    CVelGraphSeries& series = *m_arSeries[nIndex];
    series.RemoveAll();
    for (plat::UINT i = 0; i < nCount; ++i) series.Add(pX[i], pY[i]);
    MarkAxesDirty();
}

int CVelGraph::AddOneDataOfSeries(int nIndex, double x, double y)
{
    CheckSeriesIndex(nIndex);
    const int nPoint = m_arSeries[nIndex]->Add(x, y);
    MarkAxesDirty();
    return nPoint;
}

CVelGraphSeries* CVelGraph::GetSeries(int nIndex) const
{
    if (nIndex < 0) CheckSeriesIndex(nIndex);
    return nIndex < GetSeriesCount() ? m_arSeries[nIndex].get() : nullptr;
}

void CVelGraph::RemoveAll(plat::BOOL bSeriesOnly)
{
    if (!bSeriesOnly) {
        m_pTitle.reset();
        m_pXTitle.reset();
        m_pYTitle.reset();
    }
    m_arSeries.clear();
    m_Legend.RemoveAll();
}

void CVelGraph::ActivateSeries(int nIndex, plat::BOOL bActive)
{
    CheckSeriesIndex(nIndex);
    m_arSeries[nIndex]->bActivate = bActive;
}

int CVelGraph::GetSelectedSeries(int* pIndexes) const
{
    int nCount = 0;
    for (int i = 0; i < GetSeriesCount(); ++i) {
        if (!m_arSeries[i]->bActivate) continue;
        if (pIndexes) pIndexes[nCount] = i;
        ++nCount;
    }
    return nCount;
}

// ---- simple accessors ----------------------------------------------------

void CVelGraph::SetBkgColor(plat::COLORREF cr)
{
    m_crBkg = cr;
    m_Legend.SetBkgColor(cr);
}

void CVelGraph::SetTitle(const plat::CString& str)
{
    if (m_pTitle) m_pTitle->m_strText = str;
}

void CVelGraph::SetXTitle(const plat::CString& str)
{
    if (m_pXTitle) m_pXTitle->m_strText = str;
}

void CVelGraph::SetYTitle(const plat::CString& str)
{
    if (m_pYTitle) m_pYTitle->m_strText = str;
}

void CVelGraph::EnableShowTitle(plat::BOOL b)
{
    if (m_pTitle) m_pTitle->m_bShow = b;
}

void CVelGraph::EnableShowXTitle(plat::BOOL b)
{
    if (m_pXTitle) m_pXTitle->m_bShow = b;
}

void CVelGraph::EnableShowYTitle(plat::BOOL b)
{
    if (m_pYTitle) m_pYTitle->m_bShow = b;
}

void CVelGraph::SetXTitleColor(plat::COLORREF cr)
{
    if (m_pXTitle) m_pXTitle->m_crText = cr;
}

void CVelGraph::SetYTitleColor(plat::COLORREF cr)
{
    if (m_pYTitle) m_pYTitle->m_crText = cr;
}

tagGraphAxis* CVelGraph::GetAxis(eGraphAxisType eType)
{
    return &AxisRef(eType);
}

const tagGraphAxis* CVelGraph::GetAxis(eGraphAxisType eType) const
{
    return &AxisRef(eType);
}

void CVelGraph::SetAxisRange(eGraphAxisType eType, double dMin, double dMax, plat::BOOL bRecalculate)
{
    tagGraphAxis& axis = AxisRef(eType);
    axis.dMin = dMin;
    axis.dMax = dMax;
    axis.bDirty = 1;
    if (bRecalculate) {
        axis.dInitMin = dMin;
        axis.dInitMax = dMax;
    }
    axis.bRecalculate = bRecalculate;
}

void CVelGraph::GetAxisRange(eGraphAxisType eType, double& dMin, double& dMax) const
{
    const tagGraphAxis& axis = AxisRef(eType);
    dMin = axis.dMin;
    dMax = axis.dMax;
}

void CVelGraph::EnableAxisRecalculate(eGraphAxisType eType, plat::BOOL b)
{
    AxisRef(eType).bRecalculate = b;
}

void CVelGraph::SetAxisMaxRange(eGraphAxisType eType, double dMin, double dMax)
{
    AxisRef(eType).dMaxRangeMin = dMin;
    AxisRef(eType).dMaxRangeMax = dMax;
}

void CVelGraph::SetAxisExtendValue(eGraphAxisType eType, double dValue)
{
    AxisRef(eType).dExtendValue = dValue;
    AxisRef(eType).bExtend = 1;
}

void CVelGraph::EnableAxisAheadExtend(eGraphAxisType eType, plat::BOOL bEnable, int nPart)
{
    AxisRef(eType).bAheadExtend = bEnable;
    AxisRef(eType).nAheadPart = nPart;
}

void CVelGraph::SetAxisValueType(eGraphAxisType eType, eAxisValueType eValueType)
{
    AxisRef(eType).eValueType = eValueType;
}

void CVelGraph::SetAxisLogarithm(eGraphAxisType eType, plat::BOOL b)
{
    AxisRef(eType).bLogarithm = b;
}

void CVelGraph::EnableAxisLogarithm(eGraphAxisType eType, plat::BOOL b)
{
    AxisRef(eType).bEnableLogarithm = b;
}

void CVelGraph::SetAxisGrid(eGraphAxisType eType, plat::BOOL bMajor, plat::BOOL bMinor)
{
    AxisRef(eType).bMajorGrid = bMajor;
    AxisRef(eType).bMinorGrid = bMinor;
}

void CVelGraph::SetAxisPrecision(eGraphAxisType eType, int nPrecision)
{
    AxisRef(eType).nPrecision = nPrecision;
}

plat::CRect CVelGraph::GetInlineRect() const
{
    return {m_XAxis.rcArea.left, m_rcPlot.top, m_XAxis.rcArea.right, m_XAxis.rcArea.top};
}

plat::BOOL CVelGraph::OnLegendProperty()
{
    return m_Legend.CanShow() ? m_Legend.OnProperty(this) : 0;
}

// ---- value and position --------------------------------------------------

int CVelGraph::GetPositionByValue(eGraphAxisType eType, double dValue) const
{
    int bValid = 0;  // a position is given either way
    if (eType == GRAPH_AXIS_X) return m_XAxis.rcArea.left + m_pDrawer->GetAxisPosition(dValue, &m_XAxis, bValid);
    return m_XAxis.rcArea.top - m_pDrawer->GetAxisPosition(dValue, &m_YAxis, bValid);
}

double CVelGraph::GetValueByPosition(eGraphAxisType eType, int nPos) const
{
    if (eType == GRAPH_AXIS_X) return m_pDrawer->GetAxisValue(nPos - m_XAxis.rcArea.left, &m_XAxis);
    return m_pDrawer->GetAxisValue(m_XAxis.rcArea.top - nPos, &m_YAxis);
}

plat::CString CVelGraph::GetValueStringByPosition(eGraphAxisType eType, int nPos) const
{
    const tagGraphAxis& axis = AxisRef(eType);
    return CVelGraphDrawer::GetValueString(GetValueByPosition(eType, nPos), axis.nPrecision, axis.eValueType,
                                           axis.bLogarithm, 0);
}

double CVelGraph::CorrectValueByPrecision(double dValue, int nPrecision)
{
    return CAxisRangeRule::CorrectValueByPrecision(dValue, nPrecision);
}

// ---- axis ranges ---------------------------------------------------------

plat::BOOL CVelGraph::CalculateAxisRange(eGraphAxisType eType, double& dMin, double& dMax) const
{
    return CAxisRangeRule::DataRange(m_arSeries, eType, AxisRef(eType), dMin, dMax);
}

void CVelGraph::CorrectAxisRange(const tagGraphAxis* pAxis, double& dMin, double& dMax, plat::BOOL bLogarithm) const
{
    CAxisRangeRule::CorrectRange(*pAxis, dMin, dMax, bLogarithm);
}

void CVelGraph::CorrectAxisRange(tagGraphAxis* pAxis, double dMin, double dMax)
{
    CAxisRangeRule::CorrectRange(*pAxis, dMin, dMax, pAxis->bLogarithm);
    pAxis->dMin = dMin;
    pAxis->dMax = dMax;
}

void CVelGraph::RecalculateAxisRange()
{
    for (eGraphAxisType eType : {GRAPH_AXIS_X, GRAPH_AXIS_Y}) {
        tagGraphAxis& axis = AxisRef(eType);
        if (!axis.bRecalculate) continue;
        double dMin = axis.dMin;
        double dMax = axis.dMax;
        if (!CalculateAxisRange(eType, dMin, dMax)) continue;
        CorrectAxisRange(&axis, dMin, dMax, axis.bLogarithm);
        axis.dMax = dMax;
        axis.dMin = dMin;
    }
}

void CVelGraph::CalculateActualAxisRange(eGraphAxisType eType, double& dMin, double& dMax,
                                         plat::BOOL bLogarithm) const
{
    const tagGraphAxis& axis = AxisRef(eType);
    dMin = axis.dMin;
    dMax = axis.dMax;
    if (CalculateAxisRange(eType, dMin, dMax)) CorrectAxisRange(&axis, dMin, dMax, bLogarithm);
}

// ---- mouse ---------------------------------------------------------------

void CVelGraph::InvalidateHost(const plat::CRect& rc) const
{
    if (m_pWnd) m_pWnd->update(rc.toQRect());
}

void CVelGraph::InvalidateHost() const
{
    if (m_pWnd) m_pWnd->update();
}

plat::CRect CVelGraph::GetActivationRect() const
{
    return {m_YAxis.rcArea.right, m_rcPlot.top, m_rcPlot.right, m_XAxis.rcArea.top};
}

void CVelGraph::OnMouseMove(plat::UINT, plat::CPoint pt)
{
    if (!m_bSeriesActivate || m_arSeries.empty()) return;
    const plat::CRect rcTest = GetActivationRect();
    std::vector<int> arActive(m_arSeries.size());
    const int nActive = GetSelectedSeries(arActive.data());

    int nHit = rcTest.PtInRect(pt) ? m_pDrawer->FindSeriesByPoint(rcTest, pt) : -1;
    if (nHit >= GetSeriesCount()) nHit = -1;  // a program's drawer may answer nonsense
    if (nActive == 0 && nHit == -1) return;

    // A receiver of the signal may change the series; indexes are checked
    // against the current count before each use.
    bool bChanged = false;
    bool bHitWasActive = false;
    for (int k = 0; k < nActive; ++k) {
        const int nIndex = arActive[k];
        if (nIndex == nHit) {
            bHitWasActive = true;
            continue;
        }
        if (nIndex >= GetSeriesCount()) continue;
        m_arSeries[nIndex]->bActivate = 0;
        bChanged = true;
        if (m_bSendActivateMsg) emit seriesActivated(nIndex, false);
    }
    if (nHit >= 0 && !bHitWasActive && nHit < GetSeriesCount()) {
        m_arSeries[nHit]->bActivate = 1;
        bChanged = true;
        if (m_bSendActivateMsg) emit seriesActivated(nHit, true);
    }
    if (bChanged) InvalidateHost(rcTest);
}

plat::BOOL CVelGraph::OnLButtonDown(plat::UINT nFlags, plat::CPoint pt)
{
    if (!m_Legend.CanShow() || !m_Legend.GetBound().PtInRect(pt)) return plat::FALSE;
    m_Legend.OnLButtonDown(nFlags, pt);
    InvalidateHost(m_Legend.GetBound());
    return plat::TRUE;
}

plat::BOOL CVelGraph::OnLButtonDblClk(plat::UINT, plat::CPoint pt)
{
    if (!m_Legend.CanShow() || !m_Legend.GetBound().PtInRect(pt)) return plat::FALSE;
    if (m_Legend.OnProperty(this)) InvalidateHost();
    return plat::TRUE;
}
