#pragma once

#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

#include <QDialog>
#include <vector>

class QDialogButtonBox;
class QStackedWidget;
class QTabBar;

namespace plat {

class CPropertyPage;

// A modal dialog of tabbed pages with OK and Cancel. Leaving a page reads
// its controls (and stays on a refusal); OK reads the current page, then
// asks every page shown so far to accept, and stays open on the first that
// refuses. The pages are not owned and must outlive the sheet's use.
class QUINDLE_EXPORT CPropertySheet : public QDialog {
    Q_OBJECT
public:
    explicit CPropertySheet(const CString& strCaption, QWidget* pParent = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;

    void AddPage(CPropertyPage* pPage);
    int GetPageCount() const { return static_cast<int>(m_arPages.size()); }
    CPropertyPage* GetPage(int nIndex) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const { return m_nActive; }
    // Makes a page current as a tab click would; FALSE when the current
    // page refused to be left or the new one to become current.
    BOOL SetActivePage(int nIndex);

    // IDOK (1) or IDCANCEL (2).
    int DoModal();

    void accept() override;
    void reject() override;

    QTabBar* TabBar() const { return m_pTabs; }
    QDialogButtonBox* Buttons() const { return m_pButtons; }

private:
    void OnTabChanged(int nIndex);
    void FitToPages();

    std::vector<CPropertyPage*> m_arPages;
    QTabBar* m_pTabs;
    QStackedWidget* m_pStack;
    QDialogButtonBox* m_pButtons;
    int m_nActive = -1;
    UINT m_iSelectPage;
    bool m_bSwitching = false;  // the tab bar is being set back or forth by the sheet
};

}  // namespace plat
