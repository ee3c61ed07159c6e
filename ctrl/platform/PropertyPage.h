#pragma once

#include "platform/Dialog.h"
#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

namespace plat {

class CPropertySheet;

// One page of a property sheet, on a child dialog template. The page is
// built and initialised when it is first shown; the sheet then reads its
// controls when the user leaves it and asks it for acceptance on OK.
class QUINDLE_EXPORT CPropertyPage : public CDialog {
    Q_OBJECT
public:
    explicit CPropertyPage(CDialogTemplate tmpl, QWidget* parent = nullptr);

    // The tab's text: the template's caption.
    CString GetCaption() const { return Template().strCaption; }
    // Whether the page has been shown (built and initialised) yet.
    bool IsVisited() const { return IsCreated(); }

    // Becoming the current page; the first time builds it. FALSE keeps the
    // sheet where it was.
    virtual BOOL OnSetActive();
    // Leaving the page: the controls are read back. FALSE keeps it current.
    virtual BOOL OnKillActive();
    // The user confirmed the sheet; FALSE refuses, and the sheet stays open
    // on this page.
    virtual BOOL OnApply();

    CPropertySheet* GetSheet() const { return m_pSheet; }

protected:
    friend class CPropertySheet;
    // Enter and Escape belong to the sheet, not to the page.
    void keyPressEvent(QKeyEvent* e) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    CPropertySheet* m_pSheet = nullptr;
};

}  // namespace plat
