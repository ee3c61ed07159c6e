// The main window's menu bar: its place above the template's controls and
// what each entry reaches.
#include "ui/AboutDlg.h"
#include "ui/MainMenuBar.h"
#include "ui/RunDetailsDlg.h"
#include "ui/RunStatusStrip.h"

#include "MainWindowFixture.h"

#include <QInputDialog>
#include <QTest>

using namespace main_window_test;
using namespace std::chrono_literals;
using EMenu = CMainMenuBar::EMenu;

namespace {

class MainMenuWindowTest : public MainWindowTest {
protected:
    QAction* Entry(const QString& text) const
    {
        QAction* entry = dlg->MenuBar()->Entry(text);
        EXPECT_NE(entry, nullptr) << text.toStdString();
        return entry;
    }
};

}  // namespace

TEST_F(MainMenuWindowTest, TheBarSitsAboveTheTemplatesControlsWhichKeepTheirPlaces)
{
    // The template's places, from a window that has no bar: the first
    // control's offset is the bar's height for every control.
    Open();
    const CMainMenuBar* bar = dlg->MenuBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(bar->width(), dlg->width());
    EXPECT_EQ(dlg->TemplateArea().top(), bar->height());
    EXPECT_EQ(dlg->Strip()->y(), dlg->TemplateArea().bottom() + 1);
    EXPECT_EQ(dlg->height(), bar->height() + dlg->TemplateArea().height() + CRunStatusStrip::kHeight);

    // Relative places from the template (dialog units to pixels of this
    // font): the speed chart at the area's origin plus its margin, the
    // torque chart right below it.
    const QRect speedChart = dlg->GetDlgItem(1010)->geometry();
    const QRect torqueChart = dlg->GetDlgItem(1007)->geometry();
    EXPECT_GT(speedChart.top(), bar->geometry().bottom());
    EXPECT_EQ(speedChart.left(), torqueChart.left());
    for (int id : {1010, 1007, 1012, 1001, 1013, 1000, 1015, 1004, 1017, 1005, 1006, 1009, 1008, 2}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(dlg->TemplateArea().contains(dlg->GetDlgItem(id)->geometry()));
    }
}

TEST_F(MainMenuWindowTest, RunEntriesStartStopAndFollowTheButtons)
{
    Open();
    QAction* start = Entry("Start");
    QAction* stop = Entry("Stop");
    ASSERT_TRUE(start && stop);
    EXPECT_TRUE(start->isEnabled());
    EXPECT_FALSE(stop->isEnabled());

    SetSpeedText("300");
    start->trigger();
    ASSERT_TRUE(dlg->Run().IsRunning());
    EXPECT_EQ(sim->SetPoint(), 300);
    EXPECT_EQ(FramesLike(SpeedFrame(300)), 1);
    EXPECT_FALSE(start->isEnabled());
    EXPECT_TRUE(stop->isEnabled());
    EXPECT_FALSE(Entry("Port…")->isEnabled()) << "no port change during a run";

    ASSERT_TRUE(WaitFor([&] { return Samples() >= 1; }));
    stop->trigger();
    EXPECT_FALSE(dlg->Run().IsRunning());
    EXPECT_EQ(LastFrame().bytes, kSpeed0);
    EXPECT_TRUE(start->isEnabled());
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_TRUE(Entry("Port…")->isEnabled());
}

TEST_F(MainMenuWindowTest, DialogEntriesOpenTheirDialogs)
{
    Open();
    {
        ModalAnswer<CAboutDlg> about([](CAboutDlg* shown) { shown->reject(); });
        Entry("About…")->trigger();
        EXPECT_TRUE(about.answered());
    }
    {
        ModalAnswer<CRunDetailsDlg> details([](CRunDetailsDlg* shown) { shown->reject(); });
        Entry("Run details…")->trigger();
        EXPECT_TRUE(details.answered());
    }
    {
        // Port… asks again and connects anew: the handshake goes out again.
        const int before = int(sim->Frames().size());
        ModalAnswer<CPortSettingDlg> port([](CPortSettingDlg* shown) { Click(shown->GetDlgItem(plat::IDOK)); });
        Entry("Port…")->trigger();
        EXPECT_TRUE(port.answered());
        ASSERT_TRUE(sim->WaitForFrames(before + 1, 5s));
        EXPECT_EQ(sim->Frames()[size_t(before)].bytes, (Bytes{0xFE, 0xA0, 0x00, 0x00, 0x00, 0xA0}));
        EXPECT_FALSE(dlg->Run().IsConnectionFailed());
    }
    // The connection made by Port… runs the motor.
    Entry("Start")->trigger();
    EXPECT_TRUE(dlg->Run().IsRunning());
    Entry("Stop")->trigger();
}

TEST_F(MainMenuWindowTest, MarkEventFromTheMenuAndItsShortcut)
{
    Open();
    EXPECT_EQ(CTarnMenu::ItemText(Entry("Mark event…")), "Mark event…\tF2");
    Entry("Start")->trigger();
    ASSERT_TRUE(WaitFor([&] { return Samples() >= 1; }));
    {
        ModalAnswer<QInputDialog> note([](QInputDialog* box) {
            box->setTextValue("from the menu");
            box->accept();
        });
        Entry("Mark event…")->trigger();
        EXPECT_TRUE(note.answered());
    }
    {
        ModalAnswer<QInputDialog> note([](QInputDialog* box) {
            box->setTextValue("from F2");
            box->accept();
        });
        dlg->activateWindow();
        QApplication::setActiveWindow(dlg.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dlg.get(), Qt::Key_F2);
        EXPECT_TRUE(note.wait());
    }
    EXPECT_EQ(dlg->Run().NextMarkText(), "Mark 3");
    Entry("Stop")->trigger();
}
