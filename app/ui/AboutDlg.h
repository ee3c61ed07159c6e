#pragma once

#include "platform/Dialog.h"

// The About box: icon, program name and version.
class CAboutDlg : public plat::CDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

protected:
    plat::BOOL OnInitDialog() override;
};
