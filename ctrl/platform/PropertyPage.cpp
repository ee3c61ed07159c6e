#include "platform/PropertyPage.h"

#include <QKeyEvent>

namespace plat {

CPropertyPage::CPropertyPage(CDialogTemplate tmpl, QWidget* parent) : CDialog(std::move(tmpl), parent)
{
}

BOOL CPropertyPage::OnSetActive()
{
    return IsCreated() ? TRUE : Create();
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}

BOOL CPropertyPage::OnApply()
{
    return TRUE;
}

void CPropertyPage::keyPressEvent(QKeyEvent* e)
{
    e->ignore();
}

}  // namespace plat
