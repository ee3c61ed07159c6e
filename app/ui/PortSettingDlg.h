#pragma once

#include "platform/Dialog.h"

class CTarnStatic;
class CVelButton;

// Asks at every program start for the serial port and the baud rate. The
// port list holds "COM1" to "COM10" and then the serial devices present;
// nothing is remembered between runs.
class CPortSettingDlg : public plat::CDialog
{
    Q_OBJECT
public:
    explicit CPortSettingDlg(QWidget* parent = nullptr);

    // Preselected on opening, the choice after OK. A name that is not in the
    // list (a device path given on the command line) is added to it.
    plat::CString m_strPortName = QStringLiteral("com1");
    plat::CString m_strBaudRate = QStringLiteral("9600");

    // Device paths of the serial ports present, other than COM1 to COM10.
    static QStringList PresentDevices();

protected:
    plat::BOOL OnInitDialog() override;
    void DoDataExchange(plat::CDataExchange* pDX) override;
    QWidget* CreateControl(const plat::CDialogItemTemplate& item, QWidget* parent) override;

private:
    void AddPortItems();

    CVelButton* m_btnOK = nullptr;
    CVelButton* m_btnCancel = nullptr;
    CTarnStatic* m_stcPort = nullptr;
    CTarnStatic* m_stcBaud = nullptr;
};
