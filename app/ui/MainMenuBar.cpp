#include "ui/MainMenuBar.h"

#include "platform/DC.h"
#include "platform/Font.h"
#include "platform/OwnerDrawItem.h"
#include "ui/Palette.h"

#include <QPaintEvent>
#include <QProxyStyle>
#include <algorithm>

namespace {
// The window's slate blue as the menu ground, tiles a shade lighter.
constexpr plat::COLORREF kItem = 0x8F6E5E;
constexpr plat::COLORREF kItemSelected = 0x6EC8FA;
constexpr int kBarItemMargin = 2 * CTarnMenu::kTileMargin;

QString BarText(const QAction* action)
{
    QString text = action->text();
    return text.remove(u'&');
}

// Room around the bar's texts for the tiles' frames, as the drop-downs give it.
class BarItemStyle : public QProxyStyle
{
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override
    {
        const QSize base = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type != CT_MenuBarItem) return base;
        return base + QSize(kBarItemMargin, CTarnMenu::kTileMargin / 2);
    }
};
}  // namespace

CMainMenuBar::CMainMenuBar(QWidget* parent) : QMenuBar(parent)
{
    setNativeMenuBar(false);
    // Only the bar: its menus keep the painter's style.
    m_pItemStyle = std::make_unique<BarItemStyle>();
    setStyle(m_pItemStyle.get());
    m_painter.SetMenuColor(vantoc::kBackground);
    m_painter.SetMenuItemColor(kItem);
    m_painter.SetMenuItemSelColor(kItemSelected);
    m_painter.SetTextColor(vantoc::kLightText);
    m_menus[size_t(EMenu::File)] = AddMenu(QStringLiteral("&File"));
    m_menus[size_t(EMenu::Run)] = AddMenu(QStringLiteral("&Run"));
    m_menus[size_t(EMenu::Settings)] = AddMenu(QStringLiteral("&Settings"));
    m_menus[size_t(EMenu::Help)] = AddMenu(QStringLiteral("&Help"));
    Menu(EMenu::File)->menuAction()->setVisible(false);
    m_painter.InitMenu(this, 0, nullptr);
}

CMainMenuBar::~CMainMenuBar()
{
    // The menus are children of the bar and would outlive the painter's
    // style by a moment; they go first.
    for (QMenu*& menu : m_menus) {
        delete menu;
        menu = nullptr;
    }
    setStyle(nullptr);
}

QMenu* CMainMenuBar::AddMenu(const QString& title)
{
    auto* menu = new QMenu(title, this);
    addMenu(menu);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { ConvertNewEntries(menu); });
    return menu;
}

// Entries come after the bar was made (other parts of the window add
// theirs); a menu is converted again when it shows an entry the painter
// has no record of, so every shown entry is measured and drawn from one.
void CMainMenuBar::ConvertNewEntries(QMenu* menu)
{
    const QList<QAction*> actions = menu->actions();
    const bool bNew = std::any_of(actions.begin(), actions.end(),
                                  [this](const QAction* a) { return !m_painter.FindItem(a); });
    if (bNew) m_painter.ChangeStyle(menu, nullptr);
}

QAction* CMainMenuBar::AddEntry(EMenu menu, const QString& text, const QKeySequence& shortcut)
{
    QMenu* target = Menu(menu);
    QAction* action = target->addAction(text);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    if (menu == EMenu::File) target->menuAction()->setVisible(true);
    // The window, not only the closed drop-down, must see the shortcut.
    if (parentWidget() && !shortcut.isEmpty()) parentWidget()->addAction(action);
    return action;
}

void CMainMenuBar::AddSeparator(EMenu menu)
{
    Menu(menu)->addSeparator();
}

QAction* CMainMenuBar::Entry(const QString& text) const
{
    for (QMenu* menu : m_menus)
        for (QAction* action : menu->actions())
            if (!action->isSeparator() && action->text() == text) return action;
    return nullptr;
}

QSize CMainMenuBar::sizeHint() const
{
    QSize hint = QMenuBar::sizeHint();
    hint.setHeight(std::max(hint.height(), fontMetrics().height() + CTarnMenu::kTileMargin + 4));
    return hint;
}

// The bar's items as the drop-downs' tiles: the same painter, the same colours.
void CMainMenuBar::paintEvent(QPaintEvent*)
{
    plat::CDC dc(this);
    plat::CFont font;
    font.CreateFromQFont(this->font());
    plat::CFont* pOldFont = dc.SelectObject(&font);
    dc.FillSolidRect(plat::CRect(rect()), m_painter.GetMenuColor());
    for (QAction* action : actions()) {
        const QRect geometry = actionGeometry(action);
        if (!action->isVisible() || geometry.isEmpty()) continue;
        tagTarnMenuItem item{BarText(action), CTarnMenu::kSubMenuID, -1, 0};
        plat::DRAWITEMSTRUCT dis;
        dis.itemID = item.nID;
        dis.pDC = &dc;
        dis.rcItem = plat::CRect(geometry);
        dis.itemData = reinterpret_cast<std::uintptr_t>(&item);
        if (activeAction() == action) dis.itemState |= plat::ODS_SELECTED;
        if (!action->isEnabled()) dis.itemState |= plat::ODS_GRAYED | plat::ODS_DISABLED;
        m_painter.DrawItem(&dis);
    }
    dc.SelectObject(pOldFont);
}
