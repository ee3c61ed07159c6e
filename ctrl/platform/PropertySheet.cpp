#include "platform/PropertySheet.h"

#include "platform/DialogBuilder.h"
#include "platform/PropertyPage.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

namespace plat {

CPropertySheet::CPropertySheet(const CString& strCaption, QWidget* pParent, UINT iSelectPage)
    : QDialog(pParent)
    , m_pTabs(new QTabBar(this))
    , m_pStack(new QStackedWidget(this))
    , m_pButtons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
    , m_iSelectPage(iSelectPage)
{
    setWindowTitle(strCaption);
    m_pTabs->setExpanding(false);
    m_pTabs->setDrawBase(false);
    m_pStack->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setSpacing(0);
    layout->addWidget(m_pTabs);
    layout->addWidget(m_pStack);
    layout->addSpacing(8);
    layout->addWidget(m_pButtons);
    m_pButtons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(m_pButtons, &QDialogButtonBox::accepted, this, &CPropertySheet::accept);
    connect(m_pButtons, &QDialogButtonBox::rejected, this, &CPropertySheet::reject);
    connect(m_pTabs, &QTabBar::currentChanged, this, &CPropertySheet::OnTabChanged);
}

CPropertySheet::~CPropertySheet()
{
    // The pages belong to the caller: hand them back before the stack goes.
    for (CPropertyPage* pPage : m_arPages) {
        m_pStack->removeWidget(pPage);
        pPage->setParent(nullptr);
        pPage->m_pSheet = nullptr;
    }
}

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    if (!pPage) return;
    pPage->m_pSheet = this;
    m_arPages.push_back(pPage);
    const QSignalBlocker blocker(m_pTabs);
    m_pTabs->addTab(pPage->GetCaption());
    m_pStack->addWidget(pPage);
    FitToPages();
}

CPropertyPage* CPropertySheet::GetPage(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetPageCount() ? m_arPages[static_cast<std::size_t>(nIndex)] : nullptr;
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    return GetPage(m_nActive);
}

void CPropertySheet::FitToPages()
{
    QSize size;
    for (CPropertyPage* pPage : m_arPages) {
        const CDialogTemplate& tmpl = pPage->Template();
        size = size.expandedTo(CDialogBuilder(tmpl).MapDialogSize(tmpl.cx, tmpl.cy).toQSize());
    }
    const int nFrame = 2 * m_pStack->frameWidth();
    m_pStack->setFixedSize(size + QSize(nFrame, nFrame));
}

BOOL CPropertySheet::SetActivePage(int nIndex)
{
    if (!GetPage(nIndex)) return FALSE;
    if (nIndex == m_nActive) return TRUE;
    if (m_pTabs->currentIndex() == nIndex) OnTabChanged(nIndex);
    else m_pTabs->setCurrentIndex(nIndex);
    return m_nActive == nIndex;
}

void CPropertySheet::OnTabChanged(int nIndex)
{
    if (m_bSwitching || nIndex == m_nActive) return;
    CPropertyPage* pOld = GetActivePage();
    CPropertyPage* pNew = GetPage(nIndex);
    const bool bLeft = !pOld || pOld->OnKillActive();
    if (!bLeft || !pNew || !pNew->OnSetActive()) {
        m_bSwitching = true;
        m_pTabs->setCurrentIndex(m_nActive);
        m_bSwitching = false;
        return;
    }
    m_nActive = nIndex;
    m_pStack->setCurrentWidget(pNew);
    pNew->show();
}

int CPropertySheet::DoModal()
{
    if (m_nActive < 0 && !m_arPages.empty()) {
        const int nFirst = m_iSelectPage < m_arPages.size() ? static_cast<int>(m_iSelectPage) : 0;
        if (!SetActivePage(nFirst)) SetActivePage(0);
    }
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CPropertySheet::accept()
{
    CPropertyPage* pActive = GetActivePage();
    if (pActive && !pActive->OnKillActive()) return;
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* pPage = GetPage(i);
        if (!pPage->IsVisited() || pPage->OnApply()) continue;
        // Show the page that refused, without asking the current one again.
        m_bSwitching = true;
        m_pTabs->setCurrentIndex(i);
        m_bSwitching = false;
        m_nActive = i;
        m_pStack->setCurrentWidget(pPage);
        return;
    }
    QDialog::accept();
}

void CPropertySheet::reject()
{
    QDialog::reject();
}

}  // namespace plat
