#include "input/TarnMenu.h"
#include "InputFixtures.h"

#include "platform/DC.h"
#include "platform/Font.h"
#include "platform/InvalidArgException.h"
#include "platform/SysColor.h"

#include <QMenuBar>
#include <QToolBar>
#include <gtest/gtest.h>
#include <memory>

using namespace plat;

namespace {

constexpr COLORREF kMenu = 0x64780A, kItem = 0xAAC814, kItemSel = 0x6EC8FA;

// A popup with A, a separator and B.
struct ThreeItems {
    QMenu popup;
    QAction* a;
    QAction* sep;
    QAction* b;
    ThreeItems()
    {
        a = popup.addAction(QStringLiteral("Alpha"));
        sep = popup.addSeparator();
        b = popup.addAction(QStringLiteral("Bravo"));
    }
};

// Draws one item through DrawItem into an image of the item's size.
QImage DrawOne(CTarnMenu& menu, const tagTarnMenuItem& item, QSize size, UINT state)
{
    QImage image = Canvas(size.width(), size.height());
    {
        CDC dc(&image);
        CFont font;
        font.CreateFromQFont(QFont());
        dc.SelectObject(&font);
        DRAWITEMSTRUCT dis;
        dis.pDC = &dc;
        dis.rcItem = CRect(0, 0, size.width(), size.height());
        dis.itemState = state;
        dis.itemData = reinterpret_cast<std::uintptr_t>(&item);
        menu.DrawItem(&dis);
    }
    return image;
}

// Shows a converted menu offscreen and returns its picture.
QImage ShowAndGrab(QMenu& menu)
{
    menu.popup(QPoint(10, 10));
    return menu.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(TarnMenu, ConvertsEveryItemOfAPopup)
{
    ThreeItems m;
    CTarnMenu tarn;
    tarn.InitPopupMenu(&m.popup, 0, nullptr);
    EXPECT_TRUE(tarn.IsInitialized());
    EXPECT_TRUE(tarn.IsConverted(&m.popup));
    ASSERT_EQ(tarn.GetItemCount(), 3);
    // Walked from the last position to the first.
    EXPECT_EQ(tarn.GetItem(0).strText, QStringLiteral("Bravo"));
    EXPECT_EQ(tarn.GetItem(1).nID, 0u);
    EXPECT_TRUE(tarn.GetItem(1).strText.isEmpty());
    EXPECT_EQ(tarn.GetItem(2).strText, QStringLiteral("Alpha"));
    for (QAction* action : {m.a, m.sep, m.b}) {
        const tagTarnMenuItem* item = tarn.FindItem(action);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->nWidth, 0);
        EXPECT_EQ(item->nImage, -1);
    }
    // Commands get distinct identifiers that are never a separator's 0.
    EXPECT_NE(tarn.FindItem(m.a)->nID, 0u);
    EXPECT_NE(tarn.FindItem(m.b)->nID, 0u);
    EXPECT_NE(tarn.FindItem(m.a)->nID, tarn.FindItem(m.b)->nID);
    EXPECT_THROW(tarn.GetItem(3), CInvalidArgException);
    EXPECT_THROW(tarn.GetItem(-1), CInvalidArgException);
}

TEST(TarnMenu, ShownMenuHasTenPixelSeparatorDrawnAsEtchedLine)
{
    ThreeItems m;
    CTarnMenu tarn;
    tarn.InitPopupMenu(&m.popup, 0, nullptr);
    const QImage shot = ShowAndGrab(m.popup);
    m.popup.hide();

    const QRect sep = m.popup.actionGeometry(m.sep);
    ASSERT_EQ(sep.height(), 10);
    const int mid = sep.top() + 5, x = sep.left() + sep.width() / 2;
    EXPECT_EQ(shot.pixel(x, mid), PixelOf(0x800040));
    EXPECT_EQ(shot.pixel(x, mid + 1), PixelOf(0xFFFFFF));
    EXPECT_EQ(shot.pixel(x, mid - 1), PixelOf(kMenu));
    EXPECT_EQ(shot.pixel(x, mid + 2), PixelOf(kMenu));
    // The line leaves 2 pixels of menu colour at each end.
    EXPECT_EQ(shot.pixel(sep.left() + 1, mid), PixelOf(kMenu));
    EXPECT_EQ(shot.pixel(sep.left() + 2, mid), PixelOf(0x800040));
    EXPECT_EQ(shot.pixel(sep.right() - 1, mid), PixelOf(kMenu));

    // A command is a tile: menu colour, white and grey edges, item colour.
    const QRect a = m.popup.actionGeometry(m.a);
    const QFontMetrics fm(m.popup.font());
    EXPECT_EQ(a.height(), fm.height() + 10);
    const int ay = a.top() + a.height() / 2;
    EXPECT_EQ(shot.pixel(a.left() + 1, ay), PixelOf(kMenu));
    EXPECT_EQ(shot.pixel(a.left() + 2, ay), PixelOf(0xFFFFFF));
    EXPECT_EQ(shot.pixel(a.right() - 2, ay), PixelOf(0x7F7F7F));
    EXPECT_EQ(shot.pixel(a.left() + 4, ay), PixelOf(kItem));
    // White text on the tile.
    EXPECT_GT(CountNear(shot, a.adjusted(3, 3, -3, -3), qRgb(255, 255, 255)), 5);
}

TEST(TarnMenu, ItemStatesPickTileAndTextColours)
{
    CTarnMenu tarn;
    tarn.SetTextSelColor(0x0000C0);
    const tagTarnMenuItem item{QStringLiteral("Run"), 0x8100, -1, 0};
    const QSize size(90, 30);
    const QRect inner(3, 3, 84, 24);
    struct Case {
        UINT state;
        COLORREF tile, text;
        const char* what;
    };
    const Case cases[] = {
        {0, kItem, 0xFFFFFF, "normal"},
        {ODS_SELECTED, kItemSel, 0x0000C0, "selected"},
        {ODS_GRAYED, kItem, 0x7F7F7F, "grayed"},
        {ODS_DISABLED, kItem, 0x7F7F7F, "disabled"},
        {ODS_SELECTED | ODS_DISABLED, kItemSel, 0x7F7F7F, "selected and disabled"},
    };
    for (const Case& c : cases) {
        const QImage image = DrawOne(tarn, item, size, c.state);
        EXPECT_EQ(image.pixel(4, 4), PixelOf(c.tile)) << c.what;
        EXPECT_GT(CountNear(image, inner, PixelOf(c.text)), 5) << c.what;
        for (COLORREF other : {COLORREF(0xFFFFFF), COLORREF(0x0000C0), COLORREF(0x7F7F7F)}) {
            if (other != c.text) {
                EXPECT_EQ(CountNear(image, inner, PixelOf(other), 20), 0) << c.what;
            }
        }
    }
}

TEST(TarnMenu, TextIsCentredInTheTile)
{
    CTarnMenu tarn;
    const tagTarnMenuItem item{QStringLiteral("Stop"), 0x8101, -1, 0};
    const QImage image = DrawOne(tarn, item, {120, 40}, 0);
    const QRect ink = InkBox(image, QRect(3, 3, 114, 34), PixelOf(kItem));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LT(ink.width(), 60);
    EXPECT_NEAR(ink.center().x(), 60, 3);
    EXPECT_NEAR(ink.center().y(), 20, 4);
}

TEST(TarnMenu, ColourSettersReachTheShownMenu)
{
    ThreeItems m;
    CTarnMenu tarn;
    tarn.SetMenuColor(0x102030);
    tarn.SetMenuItemColor(0x405060);
    tarn.SetTextColor(0x0000FF);
    tarn.InitPopupMenu(&m.popup, 0, nullptr);
    const QImage shot = ShowAndGrab(m.popup);
    m.popup.hide();
    const QRect a = m.popup.actionGeometry(m.a);
    EXPECT_EQ(shot.pixel(a.left() + 1, a.top() + 1), PixelOf(0x102030));
    EXPECT_EQ(shot.pixel(a.left() + 4, a.top() + 4), PixelOf(0x405060));
    EXPECT_GT(CountNear(shot, a, PixelOf(0x0000FF)), 5);
}

TEST(TarnMenu, MeasuringStoresTextWidthPlusTen)
{
    CTarnMenu tarn;
    tagTarnMenuItem item{QStringLiteral("Speed"), 0x8102, -1, 0};
    CFont font;
    font.CreateFromQFont(QFont());
    MEASUREITEMSTRUCT mis;
    mis.itemData = reinterpret_cast<std::uintptr_t>(&item);
    mis.font = &font;
    tarn.MeasureItem(&mis);
    CDC dc;
    dc.SelectObject(&font);
    const CSize text = dc.GetTextExtent(QStringLiteral("Speed"));
    EXPECT_EQ(mis.itemWidth, UINT(text.cx + 10));
    EXPECT_EQ(mis.itemHeight, UINT(text.cy + 10));
    EXPECT_EQ(item.nWidth, text.cx + 10);

    tagTarnMenuItem separator;
    MEASUREITEMSTRUCT sep;
    sep.itemData = reinterpret_cast<std::uintptr_t>(&separator);
    tarn.MeasureItem(&sep);
    EXPECT_EQ(sep.itemHeight, 10u);
    EXPECT_EQ(sep.itemWidth, 0u);
    EXPECT_EQ(separator.nWidth, 0);
}

TEST(TarnMenu, MenuWidthIsFramePlusGapsUntilMeasured)
{
    ThreeItems m;
    CTarnMenu tarn;
    tarn.InitPopupMenu(&m.popup, 0, nullptr);
    const int frame = GetSystemMetrics(SM_CXFIXEDFRAME);
    EXPECT_EQ(frame, 3);
    EXPECT_EQ(tarn.GetMenuWidth(&m.popup), frame + 14 * 2);

    ShowAndGrab(m.popup);
    m.popup.hide();
    const int wa = tarn.FindItem(m.a)->nWidth, wb = tarn.FindItem(m.b)->nWidth;
    const QFontMetrics fm(m.popup.font());
    EXPECT_EQ(wa, fm.horizontalAdvance(QStringLiteral("Alpha")) + 10);
    EXPECT_EQ(tarn.GetMenuWidth(&m.popup), wa + wb + frame + 14 * 2);

    // Items without a record add nothing; an empty menu is its frame alone.
    m.popup.addAction(QStringLiteral("Charlie"));
    EXPECT_EQ(tarn.GetMenuWidth(&m.popup), wa + wb + frame + 14 * 3);
    QMenu empty;
    EXPECT_EQ(tarn.GetMenuWidth(&empty), frame);
}

TEST(TarnMenu, InitMenuConvertsEachSubMenuOnce)
{
    QMenuBar bar;
    QMenu* file = bar.addMenu(QStringLiteral("File"));
    file->addAction(QStringLiteral("Open"));
    QMenu* recent = file->addMenu(QStringLiteral("Recent"));
    recent->addAction(QStringLiteral("run1.xls"));
    bar.addAction(QStringLiteral("Help"));  // opens nothing: skipped
    QMenu* run = bar.addMenu(QStringLiteral("Run"));
    run->addAction(QStringLiteral("Start"));

    CTarnMenu tarn;
    tarn.InitMenu(&bar, 0, nullptr);
    EXPECT_TRUE(tarn.IsConverted(file));
    EXPECT_TRUE(tarn.IsConverted(recent));
    EXPECT_TRUE(tarn.IsConverted(run));
    ASSERT_EQ(tarn.GetItemCount(), 4);
    EXPECT_EQ(tarn.GetItem(0).strText, QStringLiteral("run1.xls"));  // the nested menu first
    EXPECT_EQ(tarn.GetItem(1).strText, QStringLiteral("Recent"));
    EXPECT_EQ(tarn.GetItem(1).nID, CTarnMenu::kSubMenuID);
    EXPECT_EQ(tarn.GetItem(2).strText, QStringLiteral("Open"));
    EXPECT_EQ(tarn.GetItem(3).strText, QStringLiteral("Start"));

    QMenu* later = bar.addMenu(QStringLiteral("Later"));
    later->addAction(QStringLiteral("X"));
    tarn.InitMenu(&bar, 0, nullptr);
    tarn.InitPopupMenu(later, 0, nullptr);
    EXPECT_EQ(tarn.GetItemCount(), 4);
    EXPECT_FALSE(tarn.IsConverted(later));

    // ChangeStyle itself may run again: records accumulate.
    tarn.ChangeStyle(run, nullptr);
    EXPECT_EQ(tarn.GetItemCount(), 5);
}

TEST(TarnMenu, ImageIndexComesFromTheToolbar)
{
    QToolBar toolbar;
    QAction* open = toolbar.addAction(QStringLiteral("Open"));
    toolbar.addSeparator();
    QAction* save = toolbar.addAction(QStringLiteral("Save"));
    CTarnMenu::SetCommandId(open, 57601);
    CTarnMenu::SetCommandId(save, 57603);

    QMenu popup;
    QAction* menuSave = popup.addAction(QStringLiteral("Save"));
    CTarnMenu::SetCommandId(menuSave, 57603);
    popup.addAction(open);  // the toolbar's own action
    QAction* other = popup.addAction(QStringLiteral("Quit"));
    CTarnMenu::SetCommandId(other, 57665);

    CTarnMenu tarn;
    tarn.InitPopupMenu(&popup, 0, &toolbar);
    EXPECT_EQ(tarn.FindItem(menuSave)->nImage, 1);
    EXPECT_EQ(tarn.FindItem(open)->nImage, 0);
    EXPECT_EQ(tarn.FindItem(other)->nImage, -1);
    EXPECT_EQ(tarn.FindItem(menuSave)->nID, 57603u);
}

TEST(TarnMenu, MenusOutlivingTheObjectGetTheirOwnLookBack)
{
    ThreeItems m;
    QStyle* before = m.popup.style();
    {
        CTarnMenu tarn;
        tarn.InitPopupMenu(&m.popup, 0, nullptr);
        EXPECT_NE(m.popup.style(), before);
    }
    EXPECT_EQ(m.popup.style(), before);
    const QImage shot = ShowAndGrab(m.popup);
    m.popup.hide();
    EXPECT_EQ(CountColour(shot, shot.rect(), PixelOf(kMenu)), 0);
}

TEST(TarnMenu, ItsOwnItemsCanBeConverted)
{
    CTarnMenu tarn(QStringLiteral("Run"));
    QAction* start = tarn.addAction(QStringLiteral("Start"));
    QAction* stop = tarn.addAction(QStringLiteral("Stop"));
    stop->setEnabled(false);
    tarn.InitPopupMenu(&tarn, 0, nullptr);
    const QImage shot = ShowAndGrab(tarn);
    tarn.hide();
    const QRect rs = tarn.actionGeometry(stop);
    EXPECT_GT(CountNear(shot, rs.adjusted(3, 3, -3, -3), PixelOf(0x7F7F7F)), 5);
    EXPECT_EQ(CountNear(shot, rs.adjusted(3, 3, -3, -3), qRgb(255, 255, 255), 20), 0);
    EXPECT_GT(CountNear(shot, tarn.actionGeometry(start).adjusted(3, 3, -3, -3), qRgb(255, 255, 255)), 5);
    EXPECT_GT(tarn.FindItem(start)->nWidth, 10);
}

}  // namespace
