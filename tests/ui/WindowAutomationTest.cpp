// Programs, "Stop after", limits and live speed changes in the main window,
// checked on the simulated stirrer's frames.
#include "run/SafetyLimits.h"
#include "run/SpeedProgram.h"
#include "graph/VelGraphWnd.h"
#include "graph/VelGraph.h"
#include "input/VelEdit.h"
#include "graph/VelGraphSeries.h"
#include "platform/SpinButtonCtrl.h"
#include "ui/AlarmBanner.h"
#include "ui/MainMenuBar.h"
#include "ui/InfoDlg.h"
#include "ui/LimitsDlg.h"
#include "ui/NumberField.h"
#include "ui/ProgramEditorDlg.h"
#include "ui/LiveCharts.h"
#include "ui/LiveSpeedField.h"
#include "ui/RunStatusStrip.h"
#include "ui/WindowAutomation.h"

#include "MainWindowFixture.h"

#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <vector>

using namespace main_window_test;
using namespace std::chrono_literals;

namespace {

class WindowAutomationTest : public MainWindowTest {
protected:
    QLineEdit* SpeedEdit() const { return dlg->GetDlgItem<QLineEdit>(1004); }
    CLiveSpeedField* Field() const { return dlg->findChild<CLiveSpeedField*>(); }

    void StartAt(const QString& rpm)
    {
        SetSpeedText(rpm);
        Click(dlg->GetDlgItem(1006));
        ASSERT_TRUE(dlg->Run().IsRunning());
        ASSERT_TRUE(WaitFor([&] { return Samples() >= 1; }));
    }
    // Types a speed and presses Enter in the field; an information or
    // message box that comes up is read and closed. Its text, empty when none.
    QString EnterSpeed(const QString& rpm)
    {
        SetSpeedText(rpm);
        QString shown;
        // Either box may come, or none: answered from inside its own loop.
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* info = qobject_cast<CInfoDlg*>(modal); info && info->isVisible()) {
                shown = info->m_strMessage;
                Click(info->GetDlgItem(plat::IDOK));
            } else if (auto* box = qobject_cast<QMessageBox*>(modal); box && box->isVisible()) {
                shown = box->text();
                box->accept();
            }
        });
        poll.start();
        QTest::keyClick(SpeedEdit(), Qt::Key_Return);
        poll.stop();
        return shown;
    }
    int SpeedFrames(int rpm) const { return FramesLike(SpeedFrame(rpm)); }
    // Start pressed with a message box expected; its text.
    QString StartExpectingBox(QMessageBox::StandardButton answer)
    {
        QString shown;
        ModalAnswer<QMessageBox> box([&](QMessageBox* b) {
            shown = b->text();
            b->button(answer) ? b->button(answer)->click() : b->accept();
        });
        Click(dlg->GetDlgItem(1006));
        EXPECT_TRUE(box.answered());
        return shown;
    }
};

}  // namespace

TEST_F(WindowAutomationTest, EnterDuringARunSendsTheSpeedAtOnceAsAnEvent)
{
    Open();
    QSignalSpy events(&dlg->Run(), &CRunControl::eventRecorded);
    StartAt("300");
    ASSERT_NE(Field(), nullptr);
    EXPECT_EQ(Field()->State(), CLiveSpeedField::EState::InEffect);

    SetSpeedText("500");
    EXPECT_EQ(Field()->State(), CLiveSpeedField::EState::Pending) << "typed, not sent";
    EXPECT_EQ(SpeedFrames(500), 0);
    EXPECT_EQ(EnterSpeed("500"), "");
    EXPECT_EQ(SpeedFrames(500), 1);
    EXPECT_EQ(sim->SetPoint(), 500);
    EXPECT_EQ(dlg->Run().SetPoint(), 500);
    EXPECT_EQ(Field()->State(), CLiveSpeedField::EState::InEffect);
    EXPECT_TRUE(dlg->Run().IsRunning()) << "Enter reached no button";
    bool recorded = false;
    for (const QList<QVariant>& e : events)
        recorded |= e.at(1).value<CRunControl::EEvent>() == CRunControl::EEvent::SetPoint &&
                    e.at(2).toString() == "set-point 500 rpm";
    EXPECT_TRUE(recorded);

    // Validated like Start: out of range shows string 109 and sends nothing.
    const size_t before = sim->Frames().size();
    EXPECT_EQ(EnterSpeed("49"), vantoc::String(vantoc::IDS_SPEED_RANGE));
    EXPECT_EQ(EnterSpeed("2201"), vantoc::String(vantoc::IDS_SPEED_RANGE));
    for (size_t i = before; i < sim->Frames().size(); ++i) EXPECT_EQ(sim->Frames()[i].bytes, kStatus);
    EXPECT_EQ(Field()->State(), CLiveSpeedField::EState::Pending);

    // 2200 goes out as 2199 and the field shows what is in effect.
    EXPECT_EQ(EnterSpeed("2200"), "");
    EXPECT_EQ(sim->SetPoint(), 2199);
    EXPECT_EQ(SpeedEdit()->text(), "2199");

    // The spin sends at once too.
    SetSpeedText("600");
    EnterSpeed("600");
    emit dlg->GetDlgItem<plat::CSpinButtonCtrl>(1005)->deltaPos(-1);
    EXPECT_EQ(sim->SetPoint(), 610);
    Click(dlg->GetDlgItem(1009));
    EXPECT_EQ(LastFrame().bytes, kSpeed0);
    EXPECT_EQ(Field()->State(), CLiveSpeedField::EState::Idle);
}

TEST_F(WindowAutomationTest, TheLaboratorysMaximumRefusesStartsAndChangesNamingIt)
{
    Open();
    CSafetyLimits limits;
    limits.maxRpm = 1000;
    dlg->SetLimits(limits);
    SetSpeedText("1500");
    const QString refused = StartExpectingBox(QMessageBox::Ok);
    EXPECT_TRUE(refused.contains("1000")) << refused.toStdString();
    EXPECT_FALSE(dlg->Run().IsRunning());
    EXPECT_EQ(SpeedFrames(1500), 0);

    StartAt("800");
    const QString change = EnterSpeed("1200");
    EXPECT_TRUE(change.contains("1000")) << change.toStdString();
    EXPECT_EQ(SpeedFrames(1200), 0);
    EXPECT_EQ(sim->SetPoint(), 800);
    Click(dlg->GetDlgItem(1009));
}

TEST_F(WindowAutomationTest, ConfirmBeforeStartAsksAndNoSendsNothing)
{
    Open();
    CSafetyLimits limits;
    limits.confirmBeforeStart = true;
    dlg->SetLimits(limits);
    SetSpeedText("450");
    const QString question = StartExpectingBox(QMessageBox::No);
    EXPECT_TRUE(question.contains("450")) << question.toStdString();
    EXPECT_EQ(SpeedFrames(450), 0);
    EXPECT_FALSE(dlg->Run().IsRunning());

    StartExpectingBox(QMessageBox::Yes);
    EXPECT_TRUE(dlg->Run().IsRunning());
    EXPECT_EQ(SpeedFrames(450), 1);
    Click(dlg->GetDlgItem(1009));
}

TEST_F(WindowAutomationTest, StartWithALoadedProgramRunsItToItsEnd)
{
    Open();
    CSpeedProgram::Error error;
    const CSpeedProgram program = CSpeedProgram::Parse("hold 200 2\nhold 400 4\n", CSpeedProgram::kMaxRpm, &error);
    ASSERT_FALSE(program.IsEmpty()) << error.Message().toStdString();
    dlg->Automation()->SetProgram(program, "two steps");
    EXPECT_EQ(dlg->Strip()->CountdownShown(), "Program two steps loaded");
    SetSpeedText("900");  // the field's speed is not the program's

    Click(dlg->GetDlgItem(1006));
    ASSERT_TRUE(dlg->Run().IsRunning());
    EXPECT_EQ(sim->SetPoint(), 200);
    EXPECT_EQ(SpeedFrames(900), 0);
    EXPECT_TRUE(SpeedEdit()->isReadOnly()) << "the program drives the speed";
    EXPECT_EQ(SpeedEdit()->text(), "200");
    EXPECT_TRUE(dlg->Strip()->CountdownShown().startsWith("Program two steps: 0:00:0"))
        << dlg->Strip()->CountdownShown().toStdString();

    ASSERT_TRUE(WaitFor([&] { return sim->SetPoint() == 400; }, 15000));
    ASSERT_TRUE(WaitFor([&] { return !dlg->Run().IsRunning(); }, 15000)) << "the program ends the run";
    EXPECT_EQ(LastFrame().bytes, kSpeed0);
    EXPECT_FALSE(dlg->Run().IsMotorRunning());
    EXPECT_TRUE(dlg->GetDlgItem(1006)->isEnabled());
    EXPECT_FALSE(SpeedEdit()->isReadOnly());
    EXPECT_FALSE(dlg->Strip()->NoticeShown().isEmpty()) << "the strip says why the run ended";

    // The speed chart carried the set-point as a dashed second series.
    const CVelGraphWnd* speed = dlg->Charts()->SpeedChart();
    ASSERT_EQ(speed->GetSeriesCount(), 2);
    EXPECT_EQ(speed->m_pGraph->GetSeries(1)->GetPenStyle(), plat::PS_DASH);
    const CVelGraphSeries* setPoint = speed->m_pGraph->GetSeries(1);
    const int points = setPoint->GetSize();
    ASSERT_GE(points, 2);
    std::vector<double> ys;
    for (int i = 0; i < points; ++i) {
        double x = 0, y = 0;
        setPoint->GetAt(i, x, y);
        ys.push_back(y);
    }
    EXPECT_EQ(ys.front(), 200.0);
    EXPECT_EQ(ys.back(), 400.0);
    EXPECT_TRUE(std::is_sorted(ys.begin(), ys.end())) << "200 until the step, then 400";
}

TEST_F(WindowAutomationTest, StopAfterCountsDownAndStopsAsStopDoes)
{
    Open();
    {
        ModalAnswer<QInputDialog> ask([](QInputDialog* box) {
            box->setTextValue("soon");
            box->accept();
        });
        ModalAnswer<QMessageBox> bad([](QMessageBox* box) { box->accept(); });
        dlg->OnStopAfter();
        EXPECT_TRUE(bad.answered()) << "not a duration";
    }
    EXPECT_EQ(dlg->Strip()->CountdownShown(), "");
    {
        ModalAnswer<QInputDialog> ask([](QInputDialog* box) {
            box->setTextValue("0:00:02");
            box->accept();
        });
        dlg->OnStopAfter();
    }
    EXPECT_EQ(dlg->Strip()->CountdownShown(), "Stop after 0:00:02");
    StartAt("300");
    EXPECT_FALSE(dlg->MenuBar()->Entry("Stop after…")->isEnabled());
    ASSERT_TRUE(WaitFor([&] { return dlg->Strip()->CountdownShown().startsWith("Stops in 0:00:0"); }, 5000))
        << dlg->Strip()->CountdownShown().toStdString();
    ASSERT_TRUE(WaitFor([&] { return !dlg->Run().IsRunning(); }, 15000));
    EXPECT_EQ(LastFrame().bytes, kSpeed0);
    EXPECT_FALSE(dlg->Run().IsMotorRunning());
    EXPECT_TRUE(dlg->GetDlgItem(1006)->isEnabled());
    EXPECT_FALSE(dlg->GetDlgItem(1009)->isEnabled());
}

TEST_F(WindowAutomationTest, ATorqueAlarmStaysOnTheBannerUntilAcknowledged)
{
    Open();
    CSafetyLimits limits;
    limits.torqueLimitNcm = 5;  // 25 Ncm per 1000 rpm: 10 Ncm at 400 rpm
    limits.torqueAction = CSafetyLimits::TorqueAction::AlarmOnly;
    dlg->SetLimits(limits);
    CAlarmBanner* banner = dlg->Strip()->Banner();
    StartAt("400");
    ASSERT_TRUE(WaitFor([&] { return banner->IsRaised(); }, 10000));
    EXPECT_TRUE(banner->Text().contains("torque limit reached")) << banner->Text().toStdString();
    EXPECT_TRUE(dlg->Run().IsRunning()) << "alarm only";
    // Readable in the window as it opens: the whole line and the whole
    // button, inside the strip.
    QApplication::processEvents();
    const QLabel* line = banner->findChild<QLabel*>();
    ASSERT_NE(line, nullptr);
    EXPECT_GE(line->width(), line->sizeHint().width()) << banner->Text().toStdString();
    EXPECT_GE(banner->AcknowledgeButton()->width(), banner->AcknowledgeButton()->sizeHint().width());
    EXPECT_LE(banner->mapTo(dlg->Strip(), QPoint(banner->width(), 0)).x(), dlg->Strip()->width());
    const int samples = Samples();
    ASSERT_TRUE(WaitFor([&] { return Samples() >= samples + 2; }));
    EXPECT_TRUE(banner->IsRaised()) << "stays while the run goes on";
    Click(dlg->GetDlgItem(1009));
    EXPECT_TRUE(banner->IsRaised()) << "and after Stop";
    banner->AcknowledgeButton()->click();
    EXPECT_FALSE(banner->IsRaised());
    EXPECT_FALSE(dlg->Automation()->Automation().IsAlarmStanding());
}

TEST_F(WindowAutomationTest, ATorqueLimitWithStopStopsTheMotor)
{
    Open();
    CSafetyLimits limits;
    limits.torqueLimitNcm = 5;
    limits.torqueAction = CSafetyLimits::TorqueAction::StopMotor;
    dlg->SetLimits(limits);
    StartAt("400");
    ASSERT_TRUE(WaitFor([&] { return !dlg->Run().IsRunning(); }, 10000));
    EXPECT_EQ(LastFrame().bytes, kSpeed0);
    EXPECT_TRUE(dlg->Strip()->Banner()->IsRaised());
    EXPECT_TRUE(dlg->GetDlgItem(1006)->isEnabled());
}

// The menu's Program… and Limits… reach their dialogs, and what the
// dialogs end with governs the next Start.
TEST_F(WindowAutomationTest, ProgramAndLimitsEntriesReachTheirDialogs)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("config"));
    const QString path = dir.filePath("slow.txt");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("# slow start\nhold 150 30\n");
    }
    Open();
    {
        ModalAnswer<CLimitsDlg> limits([](CLimitsDlg* shown) {
            shown->MaxRpmField().Edit()->setText("1000");
            shown->accept();
        });
        dlg->MenuBar()->Entry("Limits…")->trigger();
        EXPECT_TRUE(limits.answered());
    }
    EXPECT_EQ(dlg->Automation()->Automation().Limits().maxRpm, 1000);
    {
        QSettings settings;
        EXPECT_EQ(CSafetyLimits::Load(settings).maxRpm, 1000) << "remembered";
    }
    {
        ModalAnswer<CProgramEditorDlg> editor([&](CProgramEditorDlg* shown) {
            EXPECT_TRUE(shown->LoadFrom(path));
            shown->UseProgram();
        });
        dlg->MenuBar()->Entry("Program…")->trigger();
        EXPECT_TRUE(editor.answered());
    }
    EXPECT_EQ(dlg->Strip()->CountdownShown(), "Program slow loaded");
    SetSpeedText("1500");  // above the limit, but the program's speed counts
    Click(dlg->GetDlgItem(1006));
    ASSERT_TRUE(dlg->Run().IsRunning());
    EXPECT_EQ(sim->SetPoint(), 150);
    EXPECT_FALSE(dlg->MenuBar()->Entry("Program…")->isEnabled());
    EXPECT_FALSE(dlg->MenuBar()->Entry("Limits…")->isEnabled());
    Click(dlg->GetDlgItem(1009));
    EXPECT_EQ(LastFrame().bytes, kSpeed0);
}
