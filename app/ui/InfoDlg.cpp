#include "ui/InfoDlg.h"

#include "display/TarnStatic.h"
#include "display/VelButton.h"
#include "platform/DataExchange.h"
#include "platform/Font.h"
#include "ui/Palette.h"
#include "ui/ResourceIds.h"

#include <QFontMetrics>

namespace {
const int kIdMessage = 1011;
}

CInfoDlg::CInfoDlg(QWidget* parent)
    : plat::CDialog(plat::CDialogTemplate::Load(vantoc::DialogTemplatePath(vantoc::IDD_INFO)), parent)
{
}

int CInfoDlg::ShowString(unsigned id, QWidget* parent)
{
    CInfoDlg dlg(parent);
    dlg.m_strMessage = vantoc::String(id);
    return dlg.DoModal();
}

QWidget* CInfoDlg::CreateControl(const plat::CDialogItemTemplate& item, QWidget* parent)
{
    if (item.nId == kIdMessage) return m_stcMessage = new CTarnStatic(parent);
    if (item.nId == plat::IDOK) return m_btnOK = new CVelButton(parent);
    return nullptr;
}

void CInfoDlg::DoDataExchange(plat::CDataExchange* pDX)
{
    plat::DDX_Text(pDX, kIdMessage, m_strMessage);
}

plat::BOOL CInfoDlg::OnInitDialog()
{
    plat::CDialog::OnInitDialog();
    SetBackgroundColor(vantoc::kBackground, plat::TRUE);

    m_btnOK->SetButtonSemiflat(plat::TRUE);
    m_btnOK->SetBkgInColor(vantoc::kBackground);
    m_btnOK->SetTextColor(vantoc::kLightText, 0, 0);
    m_btnOK->SetTextInColor(vantoc::kWhite);
    m_btnOK->SetFontSize(vantoc::kButtonFontHeight, vantoc::kButtonFontWeight);

    auto* pFont = new plat::CFont;
    const plat::LOGFONT lf = vantoc::LabelLogFont();
    pFont->CreateFontIndirect(&lf);
    const QFont font = pFont->GetQFont();
    m_stcMessage->SetTextColor(vantoc::kLightText);
    m_stcMessage->SetFont(pFont);

    FitToMessage(font);
    return plat::TRUE;
}

void CInfoDlg::FitToMessage(const QFont& font)
{
    const int textWidth = QFontMetrics(font).horizontalAdvance(m_strMessage);
    QRect label = m_stcMessage->geometry();
    label.setWidth(textWidth + 10);
    m_stcMessage->setGeometry(label);

    const int windowWidth = label.width() + 30;
    QRect button = m_btnOK->geometry();
    button.moveLeft((windowWidth - button.width()) / 2);
    m_btnOK->setGeometry(button);
    setFixedWidth(windowWidth);
}
