#include "input/TarnMenu.h"

#include "input/TarnMenuStyle.h"

#include "platform/DC.h"
#include "platform/Font.h"
#include "platform/InvalidArgException.h"
#include "platform/SysColor.h"

#include <QEvent>
#include <QKeySequence>
#include <QToolBar>
#include <algorithm>
#include <atomic>

using namespace plat;

namespace {

constexpr const char* kCommandIdProperty = "commandId";
constexpr COLORREF kEtchDark = 0x800040;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kGrey = 0x7F7F7F;
constexpr UINT kCenterTabs = DT_CENTER | DT_VCENTER | DT_EXPANDTABS;
constexpr int kBarGap = 14;

UINT NextCommandId()
{
    static std::atomic<UINT> next{0x8000};
    return next++;
}

tagTarnMenuItem* ItemOf(std::uintptr_t data)
{
    return reinterpret_cast<tagTarnMenuItem*>(data);
}

}  // namespace

CTarnMenu::CTarnMenu(QWidget* parent) : QMenu(parent), m_pStyle(std::make_unique<CTarnMenuStyle>(this)) {}

CTarnMenu::CTarnMenu(const QString& title, QWidget* parent)
    : QMenu(title, parent), m_pStyle(std::make_unique<CTarnMenuStyle>(this))
{
}

CTarnMenu::~CTarnMenu()
{
    // Menus that live on get their ordinary look back before the style goes.
    for (const QPointer<QMenu>& menu : m_converted)
        if (menu) Detach(menu);
    m_itemData.clear();
    m_arrItems.clear();
}

void CTarnMenu::SetColor(COLORREF& field, COLORREF cr)
{
    if (field == cr) return;
    field = cr;
    for (const QPointer<QMenu>& menu : m_converted)
        if (menu) menu->update();
}

void CTarnMenu::InitMenu(QWidget* pMenuBar, UINT, QToolBar* pToolBar)
{
    if (m_bInitialized || !pMenuBar) return;
    for (QAction* action : pMenuBar->actions())
        if (QMenu* sub = action->menu()) ChangeStyle(sub, pToolBar);
    m_bInitialized = TRUE;
}

void CTarnMenu::InitPopupMenu(QMenu* pPopup, UINT, QToolBar* pToolBar)
{
    if (m_bInitialized || !pPopup) return;
    ChangeStyle(pPopup, pToolBar);
    m_bInitialized = TRUE;
}

void CTarnMenu::ChangeStyle(QMenu* pMenu, QToolBar* pToolBar, int)
{
    if (!pMenu) return;
    const QList<QAction*> actions = pMenu->actions();
    for (qsizetype i = actions.size() - 1; i >= 0; --i) {
        QAction* action = actions[i];
        if (!action->isSeparator() && !action->menu() && CommandId(action) == 0)
            SetCommandId(action, NextCommandId());
        auto item = std::make_unique<tagTarnMenuItem>();
        item->nID = CommandId(action);
        if (item->nID != 0) {
            item->strText = ItemText(action);
            item->nImage = ToolBarImage(action, item->nID, pToolBar);
        }
        if (QMenu* sub = action->menu(); sub && sub != pMenu) ChangeStyle(sub, pToolBar);
        if (!m_itemData.contains(action))
            connect(action, &QObject::destroyed, this, [this, action] { m_itemData.remove(action); });
        m_itemData.insert(action, item.get());
        m_arrItems.push_back(std::move(item));
    }
    Attach(pMenu);
}

int CTarnMenu::ToolBarImage(const QAction* pAction, UINT nID, QToolBar* pToolBar) const
{
    if (!pToolBar) return -1;
    // A toolbar's images are its buttons' pictures in button order.
    int nImage = 0;
    for (const QAction* button : pToolBar->actions()) {
        if (button->isSeparator()) continue;
        if (button == pAction || (nID != kSubMenuID && CommandId(button) == nID)) return nImage;
        ++nImage;
    }
    return -1;
}

void CTarnMenu::Attach(QMenu* pMenu)
{
    if (IsConverted(pMenu)) return;
    m_converted.emplace_back(pMenu);
    pMenu->setStyle(m_pStyle.get());
    pMenu->installEventFilter(this);
    pMenu->update();
}

void CTarnMenu::Detach(QMenu* pMenu)
{
    pMenu->removeEventFilter(this);
    if (pMenu->style() == m_pStyle.get()) pMenu->setStyle(nullptr);
}

bool CTarnMenu::IsConverted(const QMenu* pMenu) const
{
    return std::any_of(m_converted.begin(), m_converted.end(),
                       [pMenu](const QPointer<QMenu>& m) { return m.data() == pMenu; });
}

bool CTarnMenu::eventFilter(QObject* watched, QEvent* event)
{
    auto* menu = qobject_cast<QMenu*>(watched);
    if (menu && IsConverted(menu)) {
        if (event->type() == QEvent::Show) MeasureMenu(menu);
        if (event->type() == QEvent::Paint) {
            PaintMenu(menu);
            return true;
        }
    }
    return QMenu::eventFilter(watched, event);
}

void CTarnMenu::MeasureMenu(QMenu* pMenu)
{
    CFont font;
    font.CreateFromQFont(pMenu->font());
    for (QAction* action : pMenu->actions()) {
        tagTarnMenuItem* item = m_itemData.value(action);
        if (!item) continue;
        MEASUREITEMSTRUCT mis;
        mis.itemID = item->nID;
        mis.itemData = reinterpret_cast<std::uintptr_t>(item);
        mis.font = &font;
        MeasureItem(&mis);
    }
}

QSize CTarnMenu::ItemSize(const QWidget* pMenu, const QString& strText, bool bSeparator)
{
    // The layout asks by text alone; a scratch record answers for it.
    tagTarnMenuItem item;
    item.nID = bSeparator ? 0 : kSubMenuID;
    item.strText = bSeparator ? QString() : strText;
    CFont font;
    font.CreateFromQFont(pMenu ? pMenu->font() : QMenu::font());
    MEASUREITEMSTRUCT mis;
    mis.itemID = item.nID;
    mis.itemData = reinterpret_cast<std::uintptr_t>(&item);
    mis.font = &font;
    MeasureItem(&mis);
    // A menu leaves out items without width: a separator spans the menu anyway.
    return {std::max(1, int(mis.itemWidth)), int(mis.itemHeight)};
}

void CTarnMenu::MeasureItem(MEASUREITEMSTRUCT* lpMIS)
{
    tagTarnMenuItem* item = lpMIS ? ItemOf(lpMIS->itemData) : nullptr;
    if (!item) return;
    if (item->nID == 0) {
        lpMIS->itemHeight = UINT(m_nSeparatorHeight);
        return;
    }
    CDC dc;
    CFont fallback;
    const CFont* font = lpMIS->font;
    if (!font) {
        fallback.CreateFromQFont(QMenu::font());
        font = &fallback;
    }
    dc.SelectObject(const_cast<CFont*>(font));
    const CSize size = dc.GetTextExtent(item->strText);
    lpMIS->itemWidth = UINT(size.cx + kTileMargin);
    lpMIS->itemHeight = UINT(size.cy + kTileMargin);
    item->nWidth = size.cx + kTileMargin;
}

void CTarnMenu::PaintMenu(QMenu* pMenu)
{
    CDC dc(pMenu);
    CFont font;
    font.CreateFromQFont(pMenu->font());
    CFont* pOldFont = dc.SelectObject(&font);
    const CRect rcMenu(pMenu->rect());
    dc.FillSolidRect(rcMenu, m_crMenu);
    dc.Draw3dRect(rcMenu, kWhite, kGrey);
    for (QAction* action : pMenu->actions()) {
        const QRect geometry = pMenu->actionGeometry(action);
        if (!action->isVisible() || geometry.isEmpty()) continue;
        // An action added after the conversion is drawn alike from a scratch record.
        tagTarnMenuItem scratch{action->isSeparator() ? QString() : ItemText(action), CommandId(action), -1, 0};
        if (!action->isSeparator() && scratch.nID == 0) scratch.nID = kSubMenuID;
        tagTarnMenuItem* item = m_itemData.value(action, &scratch);
        DRAWITEMSTRUCT dis;
        dis.itemID = item->nID;
        dis.pDC = &dc;
        dis.rcItem = CRect(geometry);
        dis.itemData = reinterpret_cast<std::uintptr_t>(item);
        if (pMenu->activeAction() == action) dis.itemState |= ODS_SELECTED;
        if (!action->isEnabled()) dis.itemState |= ODS_GRAYED | ODS_DISABLED;
        DrawItem(&dis);
    }
    dc.SelectObject(pOldFont);
}

void CTarnMenu::DrawItem(DRAWITEMSTRUCT* lpDIS)
{
    tagTarnMenuItem* item = lpDIS ? ItemOf(lpDIS->itemData) : nullptr;
    if (!item || !lpDIS->pDC) return;
    CDC* pDC = lpDIS->pDC;
    CRect rc = lpDIS->rcItem;
    pDC->FillSolidRect(rc, m_crMenu);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);

    if (item->nID == 0) {
        rc.left += 2;
        rc.right -= 2;
        rc.top += (rc.bottom - rc.top) / 2;
        rc.bottom = rc.top + 2;
        pDC->Draw3dRect(rc, kEtchDark, kWhite);
        pDC->SetBkMode(nOldMode);
        return;
    }

    rc.DeflateRect(2, 2);
    pDC->Draw3dRect(rc, kWhite, kGrey);
    rc.DeflateRect(1, 1);
    COLORREF crText = m_crText;
    if (lpDIS->itemState & ODS_SELECTED) {
        pDC->FillSolidRect(rc, m_crItemSel);
        crText = m_crTextSel;
    } else {
        pDC->FillSolidRect(rc, m_crItem);
    }
    if (lpDIS->itemState & (ODS_GRAYED | ODS_DISABLED)) crText = kGrey;

    const CSize size = pDC->GetTextExtent(item->strText);
    rc.top = (rc.top + rc.bottom) / 2 - size.cy / 2;
    rc.bottom = rc.top + size.cy;
    const COLORREF crOld = pDC->SetTextColor(crText);
    pDC->DrawText(item->strText, &rc, kCenterTabs);
    pDC->SetTextColor(crOld);
    pDC->SetBkMode(nOldMode);
}

int CTarnMenu::GetMenuWidth(const QWidget* pMenu) const
{
    const QList<QAction*> actions = (pMenu ? pMenu : this)->actions();
    int nWidth = 0;
    for (const QAction* action : actions) {
        const UINT nID = CommandId(action);
        const QString strText = action->isSeparator() ? QString() : ItemText(action);
        const auto found = std::find_if(m_arrItems.begin(), m_arrItems.end(), [&](const auto& item) {
            return item->nID == nID && item->strText == strText;
        });
        if (found != m_arrItems.end()) nWidth += (*found)->nWidth;
    }
    // No gap without a second item: an empty bar is just its frame.
    const int nGaps = std::max<int>(0, int(actions.size()) - 1);
    return nWidth + GetSystemMetrics(SM_CXFIXEDFRAME) + kBarGap * nGaps;
}

const tagTarnMenuItem& CTarnMenu::GetItem(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetItemCount())
        throw CInvalidArgException("CTarnMenu: item index out of range");
    return *m_arrItems[size_t(nIndex)];
}

const tagTarnMenuItem* CTarnMenu::FindItem(const QAction* pAction) const
{
    return m_itemData.value(pAction, nullptr);
}

void CTarnMenu::SetCommandId(QAction* pAction, UINT nID)
{
    if (pAction) pAction->setProperty(kCommandIdProperty, nID);
}

UINT CTarnMenu::CommandId(const QAction* pAction)
{
    if (!pAction || pAction->isSeparator()) return 0;
    if (pAction->menu()) return kSubMenuID;
    return pAction->property(kCommandIdProperty).toUInt();
}

CString CTarnMenu::ItemText(const QAction* pAction)
{
    if (!pAction) return {};
    QString text = pAction->text();
    if (!pAction->shortcut().isEmpty())
        text += u'\t' + pAction->shortcut().toString(QKeySequence::NativeText);
    return text;
}
