#pragma once

#include "input/InPlaceNotify.h"
#include "platform/Font.h"
#include "platform/LogFont.h"
#include "platform/QuindleExport.h"
#include "platform/Rect.h"

#include <QLineEdit>
#include <memory>

// The in-place edit of an editable list (or a tree): opened over one cell with
// its text selected, it ends on Enter, Tab, Escape or any loss of the focus and
// then reports its text once through endLabelEdit. Escape reports the initial
// text. In number mode only digits, backspace and space (and the full stop or
// minus sign when allowed) can be typed; at the end the text is read as a
// number, clamped to the range and printed with the set number of decimals.
class QUINDLE_EXPORT CVelInEdit : public QLineEdit {
    Q_OBJECT

public:
    // Window style bits Create understands.
    static constexpr plat::DWORD kStyleVisible = 0x10000000;
    static constexpr plat::DWORD kStyleBorder = 0x00800000;
    // The style the list creates its edit with: child, visible, border,
    // automatic horizontal scrolling.
    static constexpr plat::DWORD kListStyle = 0x50800280;

    // List form: the row, column and text of the cell being edited.
    CVelInEdit(int nItem, int nSubItem, const plat::CString& strInitText);
    // Tree form: the item and a value handed back in the notification.
    CVelInEdit(plat::HTREEITEM hItem, int nParam, const plat::CString& strInitText);
    ~CVelInEdit() override;

    // Places the edit in pParent (the parent takes ownership), with the
    // control identifier nID, and starts the edit: font, text, focus, all
    // text selected.
    plat::BOOL Create(plat::DWORD dwStyle, const plat::CRect& rect, QWidget* pParent, int nID);
    plat::DWORD GetStyle() const { return m_dwStyle; }

    // Number mode with the range [dMin, dMax].
    void EnableNumEdit(double dMin, double dMax);
    void EnableMinus() { m_bMinus = plat::TRUE; }
    void SetPrecision(unsigned int nDecimals) { m_nPrecision = nDecimals; }
    // The edit's own font; call it before Create, which applies it.
    void SetUserFont(const plat::LOGFONT& lf);

    plat::CString GetInitText() const { return m_strInitText; }
    plat::BOOL IsTabDown() const { return m_bTabDown; }
    plat::BOOL IsNumEdit() const { return m_bNumEdit; }
    plat::BOOL IsEscaped() const { return m_bEscaped; }
    double GetMinimum() const { return m_dMin; }
    double GetMaximum() const { return m_dMax; }
    unsigned int GetPrecision() const { return m_nPrecision; }
    // Whether the edit has reported its end already.
    bool IsEnded() const { return m_bEnded; }

    // Ends the edit now, as a loss of focus would; only the first end reports.
    void EndEdit();

    // The committed text of a number edit: the leading decimal number of
    // strText (0 when there is none), clamped to [dMin, dMax], printed with
    // nPrecision decimals (at most kMaxPrecision).
    static plat::CString NumberText(const plat::CString& strText, double dMin, double dMax, unsigned int nPrecision);
    static constexpr unsigned int kMaxPrecision = 30;

signals:
    // Sent once, when the edit ends (code LVN_ENDLABELEDITA or TVN_ENDLABELEDITA).
    void endLabelEdit(sInPlaceNotify& info);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void OnCreate();
    // Whether the typed character may go in, in number mode.
    bool AcceptsNumberChar(QChar c) const;
    void FocusParent();

    plat::BOOL m_bTree;
    int m_nItem;
    int m_nSubItem;
    plat::CString m_strInitText;
    plat::HTREEITEM m_hItem = nullptr;
    plat::BOOL m_bNumEdit = plat::FALSE;
    plat::BOOL m_bEscaped = plat::FALSE;
    plat::BOOL m_bMinus = plat::FALSE;
    double m_dMin;
    double m_dMax;
    unsigned int m_nPrecision = 0;
    std::unique_ptr<plat::CFont> m_pFont;
    plat::BOOL m_bTabDown = plat::FALSE;
    plat::DWORD m_dwStyle = 0;
    bool m_bEnded = false;
};
