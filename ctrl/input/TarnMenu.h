#pragma once

#include "platform/OwnerDrawItem.h"
#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

#include <QHash>
#include <QMenu>
#include <QPointer>
#include <memory>
#include <vector>

class QToolBar;
class CTarnMenuStyle;

// One converted menu item.
struct tagTarnMenuItem {
    plat::CString strText;  // the item's text, tab and shortcut included; empty for separators
    plat::UINT nID = 0;     // 0 separator, CTarnMenu::kSubMenuID opener of a sub-menu, else the command
    int nImage = -1;        // index of the command's image in the toolbar given at conversion
    int nWidth = 0;         // last measured width in pixels, 0 until measured
};

// A menu whose items are painted in its own colours: a coloured menu ground,
// each command a raised tile with centred text, separators an etched line.
//
// Converting a menu (InitMenu, InitPopupMenu, ChangeStyle) records every item
// and makes the menu draw through this object's MeasureItem and DrawItem; the
// menu may be this object or any other QMenu, which then needs this object
// for as long as it is shown (the destructor gives the others back their
// ordinary look). A menu bar is any widget whose actions open the menus:
// a QMenuBar, or a QMenu holding the bar's items, e.g.
//
//   CTarnMenu bar;                       // the bar's items, each with a sub-menu
//   bar.addMenu(&fileMenu); bar.addMenu(&runMenu);
//   bar.InitMenu(&bar, 0, toolBar);      // draws fileMenu and runMenu
//   for (QAction* a : bar.actions()) window->menuBar()->addAction(a);
//   bar.GetMenuWidth();                  // the bar's width once its menus were shown
//
// Commands are told apart by the action property "commandId" (an unsigned
// number, see SetCommandId); a command without one gets a fresh number from
// 0x8000 on when it is converted, so it is never taken for a separator.
class QUINDLE_EXPORT CTarnMenu : public QMenu {
    Q_OBJECT

public:
    static constexpr plat::UINT kSubMenuID = 0xFFFFFFFF;
    static constexpr int kTileMargin = 10;  // added to a text's width and height

    explicit CTarnMenu(QWidget* parent = nullptr);
    explicit CTarnMenu(const QString& title, QWidget* parent = nullptr);
    ~CTarnMenu() override;

    void SetTextColor(plat::COLORREF cr) { SetColor(m_crText, cr); }
    // The text colour of the selected item (black until set).
    void SetTextSelColor(plat::COLORREF cr) { SetColor(m_crTextSel, cr); }
    void SetMenuColor(plat::COLORREF cr) { SetColor(m_crMenu, cr); }
    void SetMenuItemColor(plat::COLORREF cr) { SetColor(m_crItem, cr); }
    void SetMenuItemSelColor(plat::COLORREF cr) { SetColor(m_crItemSel, cr); }
    plat::COLORREF GetTextColor() const { return m_crText; }
    plat::COLORREF GetTextSelColor() const { return m_crTextSel; }
    plat::COLORREF GetMenuColor() const { return m_crMenu; }
    plat::COLORREF GetMenuItemColor() const { return m_crItem; }
    plat::COLORREF GetMenuItemSelColor() const { return m_crItemSel; }
    int GetSeparatorHeight() const { return m_nSeparatorHeight; }

    // Converts every menu that an item of pMenuBar opens (a QMenuBar or a
    // QMenu); nIndex is not used. Only the first InitMenu or InitPopupMenu
    // of an object converts anything.
    void InitMenu(QWidget* pMenuBar, plat::UINT nIndex, QToolBar* pToolBar);
    void InitPopupMenu(QMenu* pPopup, plat::UINT nIndex, QToolBar* pToolBar);
    plat::BOOL IsInitialized() const { return m_bInitialized; }

    // Converts the items of one menu and of the menus they open; may run
    // again, records accumulate. The int is not used.
    void ChangeStyle(QMenu* pMenu, QToolBar* pToolBar, int nUnused = 0);

    // The owner-draw callbacks; itemData is a tagTarnMenuItem*.
    virtual void MeasureItem(plat::MEASUREITEMSTRUCT* lpMIS);
    virtual void DrawItem(plat::DRAWITEMSTRUCT* lpDIS);

    // Width of a bar of pMenu's items (this menu when null): the measured
    // widths of its recorded items, the window frame and 14 pixels per gap.
    int GetMenuWidth(const QWidget* pMenu = nullptr) const;

    // Kept for callers of the original interface: the items of a menu bar
    // are drawn by the bar itself, so there is nothing to draw here.
    void DrawMainItem() {}

    int GetItemCount() const { return int(m_arrItems.size()); }
    // Record nIndex in creation order; CInvalidArgException when out of range.
    const tagTarnMenuItem& GetItem(int nIndex) const;
    // The record an action draws from, null for an action never converted.
    const tagTarnMenuItem* FindItem(const QAction* pAction) const;
    bool IsConverted(const QMenu* pMenu) const;

    static void SetCommandId(QAction* pAction, plat::UINT nID);
    // 0 for separators, kSubMenuID for sub-menu openers, else "commandId" (0 when unset).
    static plat::UINT CommandId(const QAction* pAction);
    // The item's text as its menu shows it: the action's text, then a tab
    // and the shortcut when it has one.
    static plat::CString ItemText(const QAction* pAction);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class CTarnMenuStyle;

    void SetColor(plat::COLORREF& field, plat::COLORREF cr);
    void Attach(QMenu* pMenu);
    void Detach(QMenu* pMenu);
    int ToolBarImage(const QAction* pAction, plat::UINT nID, QToolBar* pToolBar) const;
    void MeasureMenu(QMenu* pMenu);
    void PaintMenu(QMenu* pMenu);
    // Size of an item of this text in pMenu's font, through MeasureItem.
    QSize ItemSize(const QWidget* pMenu, const QString& strText, bool bSeparator);

    std::vector<std::unique_ptr<tagTarnMenuItem>> m_arrItems;
    plat::BOOL m_bInitialized = plat::FALSE;
    plat::COLORREF m_crText = 0xFFFFFF;
    plat::COLORREF m_crTextSel = 0x000000;
    plat::COLORREF m_crMenu = 0x64780A;
    plat::COLORREF m_crItem = 0xAAC814;
    plat::COLORREF m_crItemSel = 0x6EC8FA;
    int m_nSeparatorHeight = 10;

    // The record each owner-drawn action draws from (its item data).
    QHash<const QAction*, tagTarnMenuItem*> m_itemData;
    std::vector<QPointer<QMenu>> m_converted;
    std::unique_ptr<CTarnMenuStyle> m_pStyle;
};
