#include "ui/MainMenuBar.h"

#include "UiTestSupport.h"

#include <QDialog>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using EMenu = CMainMenuBar::EMenu;

QColor FromRef(plat::COLORREF cr)
{
    return QColor(int(cr & 0xFF), int((cr >> 8) & 0xFF), int((cr >> 16) & 0xFF));
}

struct MenuBarWindow {
    QDialog window;
    CMainMenuBar* bar = new CMainMenuBar(&window);
    MenuBarWindow()
    {
        bar->setGeometry(0, 0, 400, bar->sizeHint().height());
        window.resize(400, 200);
    }
};

}  // namespace

TEST(MainMenuBarTest, TheBarsMenusInOrderFileOnlyOnceItHoldsAnEntry)
{
    MenuBarWindow w;
    QStringList shown;
    for (QAction* a : w.bar->actions())
        if (a->isVisible()) shown << a->text();
    EXPECT_EQ(shown, QStringList({"&Run", "&Settings", "&Help"}));

    w.bar->AddEntry(EMenu::File, "Open run…");
    shown.clear();
    for (QAction* a : w.bar->actions())
        if (a->isVisible()) shown << a->text();
    EXPECT_EQ(shown, QStringList({"&File", "&Run", "&Settings", "&Help"}));
}

TEST(MainMenuBarTest, EntriesGoToTheirMenuAndReachTheirReceiver)
{
    MenuBarWindow w;
    int started = 0, about = 0;
    QObject receiver;
    w.bar->AddEntry(EMenu::Run, "Start", &receiver, [&] { ++started; });
    w.bar->AddSeparator(EMenu::Run);
    w.bar->AddEntry(EMenu::Help, "About…", &receiver, [&] { ++about; });

    const struct {
        EMenu menu;
        QString text;
        int* counter;
    } cases[] = {{EMenu::Run, "Start", &started}, {EMenu::Help, "About…", &about}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        QAction* entry = w.bar->Entry(c.text);
        ASSERT_NE(entry, nullptr);
        EXPECT_TRUE(w.bar->Menu(c.menu)->actions().contains(entry));
        const int before = *c.counter;
        entry->trigger();
        EXPECT_EQ(*c.counter, before + 1);
    }
    EXPECT_EQ(w.bar->Menu(EMenu::Run)->actions().size(), 2);
    EXPECT_EQ(w.bar->Entry("Stop"), nullptr);
}

TEST(MainMenuBarTest, AShortcutWorksWithTheMenuClosed)
{
    MenuBarWindow w;
    int tared = 0;
    QObject receiver;
    QAction* entry = w.bar->AddEntry(EMenu::Run, "Tare torque", &receiver, [&] { ++tared; }, Qt::Key_F3);
    EXPECT_EQ(CTarnMenu::ItemText(entry), "Tare torque\tF3");
    w.window.show();
    w.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    QTest::keyClick(&w.window, Qt::Key_F3);
    EXPECT_EQ(tared, 1);
}

// The drop-downs are converted when shown, entries added after the bar was
// made included, so the painter has a record of every entry.
TEST(MainMenuBarTest, ADropDownShowsEveryEntryThroughThePainter)
{
    MenuBarWindow w;
    w.bar->AddEntry(EMenu::Settings, "Port…");
    w.window.show();
    QMenu* settings = w.bar->Menu(EMenu::Settings);
    settings->popup(w.window.mapToGlobal(QPoint(0, 30)));
    ASSERT_TRUE(WaitFor([&] { return settings->isVisible(); }, 5000));
    EXPECT_NE(w.bar->Painter().FindItem(w.bar->Entry("Port…")), nullptr);
    settings->hide();

    w.bar->AddEntry(EMenu::Settings, "Limits…");
    settings->popup(w.window.mapToGlobal(QPoint(0, 30)));
    ASSERT_TRUE(WaitFor([&] { return settings->isVisible(); }, 5000));
    const tagTarnMenuItem* limits = w.bar->Painter().FindItem(w.bar->Entry("Limits…"));
    ASSERT_NE(limits, nullptr);
    EXPECT_EQ(limits->strText, "Limits…");
    EXPECT_GT(limits->nWidth, 0) << "measured when shown";
    settings->hide();
}

// The bar's own items are the painter's tiles: item colour inside a tile,
// menu colour between them, the selected colour under an open menu.
TEST(MainMenuBarTest, TheBarPaintsItsItemsAsTiles)
{
    MenuBarWindow w;
    w.window.show();
    const QRect run = w.bar->actionGeometry(w.bar->Menu(EMenu::Run)->menuAction());
    ASSERT_FALSE(run.isEmpty());
    QImage image = w.bar->grab().toImage();
    const QColor item = FromRef(w.bar->Painter().GetMenuItemColor());
    const QColor ground = FromRef(w.bar->Painter().GetMenuColor());
    EXPECT_EQ(image.pixelColor(run.left() + 4, run.top() + 4), item);
    EXPECT_EQ(image.pixelColor(run.left(), run.top()), ground);
    EXPECT_EQ(image.pixelColor(w.bar->width() - 2, run.center().y()), ground) << "right of the last item";
    EXPECT_EQ(ground, QColor(0x49, 0x56, 0x77));
}
