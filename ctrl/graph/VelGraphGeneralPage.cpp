#include "graph/VelGraphGeneralPage.h"

#include "graph/TitleFontChooser.h"
#include "graph/VelGraphPageIds.h"
#include "platform/DataExchange.h"

#include <QAbstractButton>
#include <QRadioButton>

using namespace VelGraphPageIds;

CVelGraphGeneralPage::CVelGraphGeneralPage(QWidget* parent) : plat::CPropertyPage(LoadPageTemplate(IDD), parent)
{
}

void CVelGraphGeneralPage::DoDataExchange(plat::CDataExchange* pDX)
{
    plat::DDX_Text(pDX, IDC_TITLE, m_strTitle);
    plat::DDX_Check(pDX, IDC_SHOW_LEGEND, m_bShowLegend);
    plat::DDX_Check(pDX, IDC_SHOW_MARKS, m_bShowMarks);
    plat::DDX_Radio(pDX, IDC_LEGEND_LEFT, m_nLegendPos);
    plat::DDX_Check(pDX, IDC_MULTILINE, m_bMultiline);
    plat::DDX_Check(pDX, IDC_SHOW_TIP, m_bShowTip);
}

plat::BOOL CVelGraphGeneralPage::OnInitDialog()
{
    // The four position buttons form one group: a click on one clears the others.
    const int positions[] = {IDC_LEGEND_LEFT, IDC_LEGEND_TOP, IDC_LEGEND_RIGHT, IDC_LEGEND_BOTTOM};
    for (int id : positions) {
        auto* radio = GetDlgItem<QRadioButton>(id);
        if (!radio) continue;
        connect(radio, &QRadioButton::clicked, this, [this, radio, positions] {
            for (int other : positions)
                if (auto* r = GetDlgItem<QRadioButton>(other); r && r != radio) r->setChecked(false);
            radio->setChecked(true);
        });
    }
    plat::CPropertyPage::OnInitDialog();
    if (QWidget* w = GetDlgItem(IDC_SHOW_LEGEND)) w->setEnabled(m_bEnableLegend != 0);
    if (QWidget* w = GetDlgItem(IDC_SHOW_MARKS)) w->setEnabled(m_bEnableShowMarks != 0);
    if (QWidget* w = GetDlgItem(IDC_SHOW_TIP)) w->setEnabled(m_bShowMarks != 0);
    EnableLegendOptions(m_bShowLegend != 0);
    if (auto* b = GetDlgItem<QAbstractButton>(IDC_SHOW_LEGEND))
        connect(b, &QAbstractButton::clicked, this, &CVelGraphGeneralPage::OnClickShowLegend);
    if (auto* b = GetDlgItem<QAbstractButton>(IDC_SHOW_MARKS))
        connect(b, &QAbstractButton::clicked, this, &CVelGraphGeneralPage::OnClickShowMarks);
    if (auto* b = GetDlgItem<QAbstractButton>(IDC_FONT))
        connect(b, &QAbstractButton::clicked, this, &CVelGraphGeneralPage::OnClickFont);
    return plat::TRUE;
}

void CVelGraphGeneralPage::EnableLegendOptions(bool bEnable)
{
    for (int id : {IDC_LEGEND_LEFT, IDC_LEGEND_TOP, IDC_LEGEND_RIGHT, IDC_LEGEND_BOTTOM, IDC_MULTILINE})
        if (QWidget* w = GetDlgItem(id)) w->setEnabled(bEnable);
}

void CVelGraphGeneralPage::OnClickShowLegend()
{
    UpdateData(plat::TRUE);
    EnableLegendOptions(m_bShowLegend != 0);
}

void CVelGraphGeneralPage::OnClickShowMarks()
{
    UpdateData(plat::TRUE);
    if (QWidget* w = GetDlgItem(IDC_SHOW_TIP)) w->setEnabled(m_bShowMarks != 0);
}

void CVelGraphGeneralPage::OnClickFont()
{
    CTitleFontChooser::Choose(this, m_pTitleFont, m_crTitle, false);
}
