// CVelGraph: the property sheet.

#include "graph/VelGraph.h"

#include "graph/VelGraphGeneralPage.h"
#include "graph/VelGraphPageIds.h"
#include "graph/VelGraphXAxisPage.h"
#include "graph/VelGraphYAxisPage.h"
#include "platform/Dialog.h"
#include "platform/PropertySheet.h"
#include "platform/ResourceModule.h"

namespace {

void FillAxisPage(CVelGraphAxisPage& page, CVelGraph* pGraph, CVelGraphTitle& title, const tagGraphAxis& axis,
                  int bAutoCalc)
{
    page.m_pGraph = pGraph;
    page.m_strTitle = title.m_strText;
    page.m_crTitle = title.m_crText;
    page.m_pTitleFont = &title.m_lfFont;
    page.m_bMajorGrid = axis.bMajorGrid;
    page.m_bMinorGrid = axis.bMinorGrid;
    page.m_dMin = axis.dMin;
    page.m_dMax = axis.dMax;
    page.m_bLogarithm = axis.bLogarithm;
    page.m_bAutoCalc = bAutoCalc;
}

void CopyBackAxisPage(const CVelGraphAxisPage& page, CVelGraphTitle& title, tagGraphAxis& axis, int& bAutoCalc)
{
    title.m_strText = page.m_strTitle;
    title.m_crText = page.m_crTitle;
    axis.dMax = page.m_dMax;
    axis.dMin = page.m_dMin;
    axis.bMinorGrid = page.m_bMinorGrid;
    axis.bMajorGrid = page.m_bMajorGrid;
    axis.bLogarithm = page.m_bLogarithm;
    axis.bDirty = 1;
    // The confirmed range stays as the user left it.
    axis.bRecalculate = 0;
    bAutoCalc = page.m_bAutoCalc;
}

}  // namespace

plat::BOOL CVelGraph::OnProperty()
{
    // Without its titles (after RemoveAll(FALSE)) the chart has nothing to
    // fill the pages from.
    if (!m_pTitle || !m_pXTitle || !m_pYTitle) return plat::FALSE;

    const plat::CString strCaption =
        plat::CResourceModule::Library().LoadString(VelGraphPageIds::IDS_SHEET_CAPTION);
    CVelGraphGeneralPage general;
    CVelGraphXAxisPage xPage;
    CVelGraphYAxisPage yPage;
    plat::CPropertySheet sheet(strCaption, nullptr, 0);

    general.m_strTitle = m_pTitle->m_strText;
    general.m_bEnableLegend = m_bEnableLegend;
    general.m_bShowLegend = m_Legend.CanShow();
    general.m_bEnableShowMarks = m_bEnableShowMarks;
    general.m_bShowMarks = m_bShowMarks;
    general.m_bShowTip = m_bShowTip;
    general.m_nLegendPos = m_Legend.GetPosition();
    general.m_bMultiline = m_Legend.CanMultiline();
    general.m_crTitle = m_pTitle->m_crText;
    general.m_pTitleFont = &m_pTitle->m_lfFont;
    sheet.AddPage(&general);

    FillAxisPage(xPage, this, *m_pXTitle, m_XAxis, m_bXAutoCalc);
    xPage.m_bEnableLogarithm = m_XAxis.bEnableLogarithm && m_XAxis.eValueType != AXIS_VALUE_TIME && m_eStyle != GRAPH_BAR;
    xPage.m_bBarGraph = m_eStyle == GRAPH_BAR;
    sheet.AddPage(&xPage);

    FillAxisPage(yPage, this, *m_pYTitle, m_YAxis, m_bYAutoCalc);
    yPage.m_bEnableLogarithm = m_YAxis.bEnableLogarithm && m_YAxis.eValueType != AXIS_VALUE_TIME;
    sheet.AddPage(&yPage);

    if (sheet.DoModal() != plat::IDOK) return plat::FALSE;

    m_pTitle->m_strText = general.m_strTitle;
    m_pTitle->m_crText = general.m_crTitle;
    m_Legend.EnableShow(general.m_bShowLegend);
    if (general.m_nLegendPos >= LEGEND_LEFT && general.m_nLegendPos <= LEGEND_BOTTOM)
        m_Legend.SetPosition(static_cast<eLegendPosition>(general.m_nLegendPos));
    m_Legend.EnableMultiline(general.m_bMultiline);
    m_bShowMarks = general.m_bShowMarks;
    m_bShowTip = general.m_bShowTip;

    CopyBackAxisPage(xPage, *m_pXTitle, m_XAxis, m_bXAutoCalc);
    CopyBackAxisPage(yPage, *m_pYTitle, m_YAxis, m_bYAutoCalc);
    SaveProperty(m_strPropertyFile);
    return plat::TRUE;
}
