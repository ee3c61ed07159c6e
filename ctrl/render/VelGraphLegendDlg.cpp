#include "render/VelGraphLegendDlg.h"

#include "display/VelButton.h"
#include "platform/ColorRef.h"
#include "platform/DataExchange.h"
#include "platform/DialogTemplate.h"
#include "platform/ResourceModule.h"
#include "platform/SpinButtonCtrl.h"

#include <QColorDialog>
#include <QLineEdit>
#include <algorithm>

namespace {

constexpr plat::UINT kFirstStyleIcon = 4005;  // point styles 1 to 6: icons 4005 to 4010

QString TemplatePath()
{
    return QStringLiteral(":/quindle/dialogs/%1.json").arg(CVelGraphLegendDlg::IDD);
}

}  // namespace

CVelGraphLegendDlg::CVelGraphLegendDlg(QWidget* parent)
    : plat::CDialog(plat::CDialogTemplate::Load(TemplatePath()), parent)
{
}

CVelButton* CVelGraphLegendDlg::GetStyleButton(int k) const
{
    return k >= 0 && k < kStyleCount ? m_pStyles[k] : nullptr;
}

QWidget* CVelGraphLegendDlg::CreateControl(const plat::CDialogItemTemplate& item, QWidget* parent)
{
    if (item.nId == kIdColor) return m_pColor = new CVelButton(parent);
    const int k = item.nId - kIdFirstStyle;
    if (k >= 0 && k < kStyleCount) return m_pStyles[k] = new CVelButton(parent);
    return nullptr;
}

void CVelGraphLegendDlg::DoDataExchange(plat::CDataExchange* pDX)
{
    plat::DDX_Text(pDX, kIdLabel, m_strLabel);
    plat::DDX_Text(pDX, kIdWidth, m_nWidth);
    plat::DDV_MinMaxInt(pDX, m_nWidth, kMinWidth, kMaxWidth);
}

plat::BOOL CVelGraphLegendDlg::OnInitDialog()
{
    plat::CDialog::OnInitDialog();

    if (m_pColor) {
        m_pColor->SetButtonSemiflat(plat::FALSE);
        m_pColor->SetTransparent(plat::FALSE);
        SetSwatch(m_crColor);
        connect(m_pColor, &QAbstractButton::clicked, this, &CVelGraphLegendDlg::OnColorButton);
    }

    auto* pEdit = GetDlgItem<QLineEdit>(kIdWidth);
    if (auto* pSpin = GetDlgItem<plat::CSpinButtonCtrl>(kIdSpin); pSpin && pEdit) {
        // Aligned right: the arrows take the right end of the width field.
        QRect rcEdit = pEdit->geometry();
        const int nSpin = std::min(pSpin->width(), rcEdit.width() / 2);
        rcEdit.setWidth(rcEdit.width() - nSpin);
        pEdit->setGeometry(rcEdit);
        pSpin->setGeometry(rcEdit.right() + 1, rcEdit.top(), nSpin, rcEdit.height());
        connect(pSpin, &plat::CSpinButtonCtrl::deltaPos, this, &CVelGraphLegendDlg::StepWidth);
    }

    const plat::CResourceModule& lib = plat::CResourceModule::Library();
    for (int k = 0; k < kStyleCount; ++k) {
        CVelButton* pButton = m_pStyles[k];
        if (!pButton) continue;
        pButton->SetButtonSemiflat(plat::FALSE);
        if (k > 0) {
            const plat::UINT nIcon = kFirstStyleIcon + plat::UINT(k - 1);
            pButton->SetIcon(plat::CSize(16, 16), lib.LoadIcon(nIcon, plat::CSize(16, 16)), nullptr, nullptr);
        }
        connect(pButton, &QAbstractButton::clicked, this, [this, k] { OnStyleButton(k); });
    }
    if (CVelButton* pSelected = GetStyleButton(m_nPointStyle)) pSelected->SetButtonChecked(plat::TRUE);
    return plat::TRUE;
}

void CVelGraphLegendDlg::OnStyleButton(int k)
{
    if (k < 0 || k >= kStyleCount) return;
    m_nPointStyle = k;
    for (int i = 0; i < kStyleCount; ++i)
        if (m_pStyles[i]) m_pStyles[i]->SetButtonChecked(i == k ? plat::TRUE : plat::FALSE, plat::TRUE);
}

void CVelGraphLegendDlg::OnColorButton()
{
    plat::COLORREF cr = m_crColor;
    if (!ChooseColor(cr)) return;
    m_crColor = cr;
    SetSwatch(cr);
    if (m_pColor) m_pColor->update();
}

bool CVelGraphLegendDlg::ChooseColor(plat::COLORREF& cr)
{
    QColorDialog dlg(plat::ToQColor(cr), this);
    dlg.setOption(QColorDialog::DontUseNativeDialog);
    if (dlg.exec() != QDialog::Accepted) return false;
    cr = plat::FromQColor(dlg.selectedColor());
    return true;
}

void CVelGraphLegendDlg::SetSwatch(plat::COLORREF cr)
{
    if (!m_pColor) return;
    m_pColor->SetBkgInColor(cr);
    m_pColor->SetBkgOutColor(cr);
    m_pColor->SetBkgFocusColor(cr);
}

void CVelGraphLegendDlg::StepWidth(int iDelta)
{
    auto* pEdit = GetDlgItem<QLineEdit>(kIdWidth);
    if (!pEdit) return;
    bool bOk = false;
    const int nCurrent = pEdit->text().trimmed().toInt(&bOk);
    // The range runs upward: the up arrow (a negative delta) adds one.
    const int nNext = bOk ? std::clamp(nCurrent - iDelta, kMinWidth, kMaxWidth) : kMinWidth;
    pEdit->setText(QString::number(nNext));
}
