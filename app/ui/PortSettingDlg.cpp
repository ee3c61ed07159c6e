#include "ui/PortSettingDlg.h"

#include "display/TarnStatic.h"
#include "display/VelButton.h"
#include "link/CommPort.h"
#include "platform/DataExchange.h"
#include "ui/Palette.h"
#include "ui/PortComboBox.h"
#include "ui/PortList.h"
#include "ui/ResourceIds.h"

#include <QComboBox>

namespace {
const int kIdPortLabel = 1009;
const int kIdBaudLabel = 1010;
const int kIdPort = 1012;
const int kIdBaud = 1013;
const int kTemplatePorts = 10;
}  // namespace

CPortSettingDlg::CPortSettingDlg(QWidget* parent)
    : plat::CDialog(plat::CDialogTemplate::Load(vantoc::DialogTemplatePath(vantoc::IDD_PORT_SETTING)), parent)
{
}

QStringList CPortSettingDlg::PresentDevices()
{
    QStringList named;
    for (int n = 1; n <= kTemplatePorts; ++n) named << CCommPort::DevicePath(QStringLiteral("COM%1").arg(n));
    QStringList devices;
    for (const CPortList::SEntry& entry : CPortList::Present())
        if (!named.contains(entry.strPath) && !devices.contains(entry.strPath)) devices << entry.strPath;
    return devices;
}

QWidget* CPortSettingDlg::CreateControl(const plat::CDialogItemTemplate& item, QWidget* parent)
{
    switch (item.nId) {
    case plat::IDOK:
        return m_btnOK = new CVelButton(parent);
    case plat::IDCANCEL:
        return m_btnCancel = new CVelButton(parent);
    case kIdPortLabel:
        return m_stcPort = new CTarnStatic(parent);
    case kIdBaudLabel:
        return m_stcBaud = new CTarnStatic(parent);
    case kIdPort:
        return new CPortComboBox(item.items, &CPortSettingDlg::PresentDevices, parent);
    default:
        return nullptr;
    }
}

void CPortSettingDlg::DoDataExchange(plat::CDataExchange* pDX)
{
    plat::DDX_CBString(pDX, kIdPort, m_strPortName);
    plat::DDX_CBString(pDX, kIdBaud, m_strBaudRate);
}

void CPortSettingDlg::AddPortItems()
{
    auto* ports = GetDlgItem<QComboBox>(kIdPort);
    ports->addItems(PresentDevices());
    for (int i = 0; i < ports->count(); ++i)
        if (ports->itemText(i).startsWith(m_strPortName, Qt::CaseInsensitive)) return;
    if (!m_strPortName.isEmpty()) ports->addItem(m_strPortName);
}

plat::BOOL CPortSettingDlg::OnInitDialog()
{
    AddPortItems();
    plat::CDialog::OnInitDialog();
    SetBackgroundColor(vantoc::kBackground, plat::TRUE);

    for (CVelButton* button : {m_btnCancel, m_btnOK}) {
        button->SetButtonSemiflat(plat::TRUE);
        button->SetBkgInColor(vantoc::kBackground);
        button->SetTextColor(vantoc::kWhite, 0, 0);
        button->SetTextInColor(vantoc::kWhite);
        button->SetFontSize(vantoc::kButtonFontHeight, vantoc::kButtonFontWeight);
    }
    m_stcPort->SetTextColor(vantoc::kWhite);
    m_stcBaud->SetTextColor(vantoc::kWhite);
    return plat::TRUE;
}
