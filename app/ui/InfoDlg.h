#pragma once

#include "platform/Dialog.h"

class CTarnStatic;
class CVelButton;

// One message for the operator (connection failures, the speed range) in a
// small dialog that sizes itself to the text: label = text width + 10,
// window = label + 30, OK centred.
class CInfoDlg : public plat::CDialog
{
    Q_OBJECT
public:
    explicit CInfoDlg(QWidget* parent = nullptr);

    plat::CString m_strMessage;

    // Shows string id of the resource chain modally.
    static int ShowString(unsigned id, QWidget* parent = nullptr);

protected:
    plat::BOOL OnInitDialog() override;
    void DoDataExchange(plat::CDataExchange* pDX) override;
    QWidget* CreateControl(const plat::CDialogItemTemplate& item, QWidget* parent) override;

private:
    void FitToMessage(const QFont& font);

    CTarnStatic* m_stcMessage = nullptr;
    CVelButton* m_btnOK = nullptr;
};
