#pragma once

#include "input/InPlaceNotify.h"
#include "platform/Font.h"
#include "platform/LogFont.h"
#include "platform/QuindleExport.h"
#include "platform/Rect.h"

#include <QComboBox>
#include <QStringList>
#include <memory>

// The in-place drop-down list of an editable list (or a tree): opened over one
// cell with the fixed choices, the first one beginning with the cell's text
// selected. It ends on Enter, Tab or any loss of the focus (opening its own
// list does not count) and then reports the selected text once through
// endLabelEdit (empty when nothing is selected).
class QUINDLE_EXPORT CVelInComboBox : public QComboBox {
    Q_OBJECT

public:
    static constexpr plat::DWORD kStyleVisible = 0x10000000;
    // The style the list creates its drop-down with: child, visible, vertical
    // scroll bar, drop-down list, automatic horizontal scrolling.
    static constexpr plat::DWORD kListStyle = 0x50200043;

    // pStrings: the choices, read once by Create; not owned.
    CVelInComboBox(int nItem, int nSubItem, const plat::CString& strInitText, const QStringList* pStrings);
    CVelInComboBox(plat::HTREEITEM hItem, int nParam, const plat::CString& strInitText, const QStringList* pStrings);
    ~CVelInComboBox() override;

    // rect is the box with its open list: the closed box takes the font's
    // height at the top, the open list the rest of the rectangle.
    plat::BOOL Create(plat::DWORD dwStyle, const plat::CRect& rect, QWidget* pParent, int nID);
    plat::DWORD GetStyle() const { return m_dwStyle; }
    // The rectangle of the box with its list open, in the parent's coordinates.
    plat::CRect GetDroppedControlRect() const;

    void SetUserFont(const plat::LOGFONT& lf);
    plat::CString GetInitText() const { return m_strInitText; }
    plat::BOOL IsTabDown() const { return m_bTabDown; }
    bool IsEnded() const { return m_bEnded; }

    // Ends the edit now, as a loss of focus would; only the first end reports.
    void EndEdit();

    void showPopup() override;

signals:
    void endLabelEdit(sInPlaceNotify& info);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void OnCreate();
    void FocusParent();

    plat::BOOL m_bTree;
    int m_nItem;
    int m_nSubItem;
    plat::CString m_strInitText;
    const QStringList* m_pStrings;
    plat::HTREEITEM m_hItem = nullptr;
    std::unique_ptr<plat::CFont> m_pFont;
    plat::BOOL m_bTabDown = plat::FALSE;
    plat::DWORD m_dwStyle = 0;
    int m_nDroppedHeight = 0;
    bool m_bEnded = false;
};
