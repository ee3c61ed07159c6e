#include "ui/AboutDlg.h"

#include "platform/Icon.h"
#include "platform/ResourceModule.h"
#include "ui/BuildVersion.h"
#include "ui/ResourceIds.h"

#include <QLabel>
#include <QPixmap>

namespace {
const int kIdVersionLine = 1021;
}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : plat::CDialog(plat::CDialogTemplate::Load(vantoc::DialogTemplatePath(vantoc::IDD_ABOUTBOX)), parent)
{
}

plat::BOOL CAboutDlg::OnInitDialog()
{
    plat::CDialog::OnInitDialog();
    if (auto* icon = GetDlgItem<QLabel>(vantoc::IDR_MAINFRAME)) {
        const plat::CIconPtr hIcon(plat::LoadIcon(vantoc::IDR_MAINFRAME));
        if (hIcon) {
            icon->setPixmap(QPixmap::fromImage(plat::IconImage(hIcon.get())));
            icon->adjustSize();
        }
    }
    // The second line is the program's own: the version this build came from.
    if (auto* version = GetDlgItem<QLabel>(kIdVersionLine))
        version->setText(QStringLiteral("Vantoc %1").arg(QString::fromUtf8(vantoc::BuildVersion())));
    return plat::TRUE;
}
