#include "graph/VelGraphAxisPage.h"

#include "graph/TitleFontChooser.h"
#include "graph/VelGraph.h"
#include "graph/VelGraphPageIds.h"
#include "platform/DataExchange.h"
#include "platform/ResourceModule.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

using namespace VelGraphPageIds;

namespace {
// Below this a logarithmic range edge counts as zero.
constexpr double kLogFloor = 0.0001;
}  // namespace

CVelGraphAxisPage::CVelGraphAxisPage(int nIDD, QWidget* parent) : plat::CPropertyPage(LoadPageTemplate(nIDD), parent)
{
}

QWidget* CVelGraphAxisPage::CreateControl(const plat::CDialogItemTemplate& item, QWidget* parent)
{
    CVelEdit* pEdit = item.nId == IDC_AXIS_MIN ? &m_editMin : item.nId == IDC_AXIS_MAX ? &m_editMax : nullptr;
    if (!pEdit) return nullptr;
    pEdit->setParent(parent);
    return pEdit;
}

void CVelGraphAxisPage::DoDataExchange(plat::CDataExchange* pDX)
{
    plat::DDX_Text(pDX, IDC_TITLE, m_strTitle);
    plat::DDX_Check(pDX, IDC_MAJOR_GRID, m_bMajorGrid);
    plat::DDX_Check(pDX, IDC_MINOR_GRID, m_bMinorGrid);
    plat::DDX_Text(pDX, IDC_AXIS_MIN, m_dMin);
    plat::DDX_Text(pDX, IDC_AXIS_MAX, m_dMax);
    plat::DDX_Check(pDX, IDC_LOGARITHM, m_bLogarithm);
    plat::DDX_Check(pDX, IDC_AUTO_CALC, m_bAutoCalc);
}

plat::BOOL CVelGraphAxisPage::OnInitDialog()
{
    plat::CPropertyPage::OnInitDialog();
    for (CVelEdit* pEdit : {&m_editMin, &m_editMax}) {
        pEdit->EnableNumberEdit();
        pEdit->SetPrecision(2);
        pEdit->EnableMinus();
        pEdit->EnableAutoCheck(plat::FALSE);
    }
    UpdateData(plat::TRUE);
    if (QWidget* w = GetDlgItem(IDC_LOGARITHM)) w->setEnabled(m_bEnableLogarithm != 0);
    EnableMinorGrid();
    m_editMin.setEnabled(IsRangeEditable());
    m_editMax.setEnabled(IsRangeEditable());
    const struct {
        int id;
        void (CVelGraphAxisPage::*handler)();
    } clicks[] = {{IDC_MAJOR_GRID, &CVelGraphAxisPage::OnClickMajorGrid},
                  {IDC_AUTO_CALC, &CVelGraphAxisPage::OnClickAutoCalc},
                  {IDC_LOGARITHM, &CVelGraphAxisPage::OnClickLogarithm},
                  {IDC_FONT, &CVelGraphAxisPage::OnClickFont}};
    for (const auto& click : clicks)
        if (auto* b = GetDlgItem<QAbstractButton>(click.id)) connect(b, &QAbstractButton::clicked, this, click.handler);
    return plat::TRUE;
}

void CVelGraphAxisPage::EnableMinorGrid()
{
    if (QWidget* w = GetDlgItem(IDC_MINOR_GRID)) w->setEnabled(m_bMajorGrid && IsRangeEditable());
}

void CVelGraphAxisPage::OnClickMajorGrid()
{
    UpdateData(plat::TRUE);
    EnableMinorGrid();
}

void CVelGraphAxisPage::ProposeRange()
{
    m_pGraph->CalculateActualAxisRange(AxisType(), m_dMin, m_dMax, m_bLogarithm);
    UpdateData(plat::FALSE);
}

void CVelGraphAxisPage::OnClickAutoCalc()
{
    if (!UpdateData(plat::TRUE)) return;
    if (m_bAutoCalc && m_pGraph) ProposeRange();
}

void CVelGraphAxisPage::OnClickLogarithm()
{
    if (!UpdateData(plat::TRUE)) return;
    if (m_bAutoCalc && m_pGraph) {
        ProposeRange();
        return;
    }
    if (!m_bLogarithm) return;
    if (m_dMin < kLogFloor) m_dMin = 1.0;
    if (m_dMax < kLogFloor) m_dMax = 1.0;
    UpdateData(plat::FALSE);
}

void CVelGraphAxisPage::OnClickFont()
{
    CTitleFontChooser::Choose(this, m_pTitleFont, m_crTitle, AxisType() != GRAPH_AXIS_X);
}

plat::BOOL CVelGraphAxisPage::OnApply()
{
    if (!UpdateData(plat::TRUE)) return plat::FALSE;
    if (m_bLogarithm && (m_dMin <= 0.0 || m_dMax <= 0.0)) {
        ShowMessage(plat::CResourceModule::Library().LoadString(IDS_LOG_NOT_POSITIVE));
        return plat::FALSE;
    }
    if (m_dMin < m_dMax) return plat::TRUE;
    ShowMessage(plat::CResourceModule::Library().LoadString(IDS_RANGE_INVALID));
    return plat::FALSE;
}

void CVelGraphAxisPage::ShowMessage(const plat::CString& strText)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), strText, QMessageBox::Ok, this);
    box.exec();
}
