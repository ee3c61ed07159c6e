// Closing the main window during a run, and the troubles the status strip
// tells without a dialog.
#include "ui/CloseQuestion.h"
#include "ui/RunStatusStrip.h"

#include "MainWindowFixture.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace main_window_test;
using namespace std::chrono_literals;

namespace {

// How the operator tries to close the window.
enum class EClose { CloseButton, Escape, CloseBox };

class OperatorSafetyTest : public MainWindowTest {
protected:
    void StartRun()
    {
        SetSpeedText("400");
        Click(dlg->GetDlgItem(1006));
        ASSERT_TRUE(dlg->Run().IsRunning());
        ASSERT_TRUE(WaitFor([&] { return Samples() >= 1; }));
    }

    // Tries to close the window and answers the question with the button
    // of that text (Escape when the text is empty). Whether it was asked.
    bool CloseAnswering(EClose how, const QString& answer)
    {
        ModalAnswer<QMessageBox> question([&](QMessageBox* box) {
            asked = box->text();
            if (answer.isEmpty()) {
                QTest::keyClick(box, Qt::Key_Escape);
                return;
            }
            for (QAbstractButton* button : box->buttons())
                if (button->text() == answer) button->click();
        });
        switch (how) {
        case EClose::CloseButton:
            Click(dlg->GetDlgItem(plat::IDCANCEL));
            break;
        case EClose::Escape:
            QTest::keyClick(dlg.get(), Qt::Key_Escape);
            break;
        case EClose::CloseBox:
            dlg->close();
            break;
        }
        const bool answered = question.answered();
        question.cancel();
        return answered;
    }

    // Every acknowledgement refused (status replies stay good), or none.
    void RefuseCommands(bool refuse)
    {
        SimFaults faults;
        faults.refuseShare = refuse ? 1.0 : 0.0;
        sim->SetFaults(faults);
    }

    QString asked;
};

}  // namespace

TEST_F(OperatorSafetyTest, EveryWayOfClosingDuringARunAsksAndCancelKeepsTheRun)
{
    Open();
    StartRun();
    const struct {
        EClose how;
        QString answer;  // empty: Escape in the question
    } cases[] = {
        {EClose::CloseButton, "Cancel"},
        {EClose::Escape, ""},
        {EClose::CloseBox, "Cancel"},
        {EClose::Escape, "Cancel"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.how));
        EXPECT_TRUE(CloseAnswering(c.how, c.answer));
        EXPECT_TRUE(dlg->isVisible()) << "the window stays";
        EXPECT_TRUE(dlg->Run().IsRunning()) << "the run goes on";
    }
    EXPECT_EQ(FramesLike(kSpeed0), 0) << "no stop was sent";
    const int samples = Samples();
    EXPECT_TRUE(WaitFor([&] { return Samples() > samples; })) << "polling goes on";
    EXPECT_TRUE(asked.contains("motor")) << asked.toStdString();
}

TEST_F(OperatorSafetyTest, StopTheMotorAndCloseSendsTheStopThenCloses)
{
    Open();
    StartRun();
    EXPECT_TRUE(CloseAnswering(EClose::CloseButton, CCloseQuestion::kStopText));
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), plat::IDCANCEL);
    EXPECT_EQ(LastFrame().bytes, kSpeed0);
    EXPECT_EQ(sim->SetPoint(), 0);
    EXPECT_FALSE(dlg->Run().IsMotorRunning());
}

TEST_F(OperatorSafetyTest, LeaveTheMotorRunningClosesWithoutAStop)
{
    Open();
    StartRun();
    EXPECT_TRUE(CloseAnswering(EClose::Escape, CCloseQuestion::kLeaveText));
    EXPECT_FALSE(dlg->isVisible());
    dlg->OnDestroy();
    EXPECT_EQ(FramesLike(kSpeed0), 0);
    EXPECT_EQ(sim->SetPoint(), 400) << "the motor turns on";
}

TEST_F(OperatorSafetyTest, AnUnacknowledgedStopKeepsTheWindowOpenAndSaysSo)
{
    Open();
    StartRun();
    RefuseCommands(true);
    EXPECT_TRUE(CloseAnswering(EClose::CloseButton, CCloseQuestion::kStopText));
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(FramesLike(kSpeed0), CRunControl::kStopAttempts);
    EXPECT_TRUE(dlg->Run().IsMotorRunning());
    EXPECT_TRUE(dlg->Strip()->NoticeShown().contains("Stop not acknowledged")) << dlg->Strip()->NoticeShown().toStdString();

    // Asked again, since the motor may turn; this time the stop goes through.
    RefuseCommands(false);
    EXPECT_TRUE(CloseAnswering(EClose::CloseBox, CCloseQuestion::kStopText));
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(LastFrame().bytes, kSpeed0);
    EXPECT_FALSE(dlg->Run().IsMotorRunning());
}

TEST_F(OperatorSafetyTest, NoQuestionWithoutARun)
{
    Open();
    ModalAnswer<QMessageBox> question([](QMessageBox* box) { box->reject(); }, 500);
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_FALSE(dlg->isVisible());
    question.cancel();
    EXPECT_FALSE(question.answered());
}

TEST_F(OperatorSafetyTest, TheStripTellsARefusedStartAndAStopNeverAcknowledgedWithTheTime)
{
    Open();
    const QTime before = QTime::currentTime().addSecs(-1);
    RefuseCommands(true);
    Click(dlg->GetDlgItem(1006));
    RefuseCommands(false);
    EXPECT_FALSE(dlg->Run().IsRunning());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "no dialog";
    QString notice = dlg->Strip()->NoticeShown();
    EXPECT_TRUE(notice.contains("Start refused")) << notice.toStdString();
    const QTime shown = QTime::fromString(notice.left(8), "HH:mm:ss");
    ASSERT_TRUE(shown.isValid()) << notice.toStdString();
    EXPECT_GE(shown, before);

    // The next Start clears it; an unacknowledged Stop sets another.
    StartRun();
    EXPECT_EQ(dlg->Strip()->NoticeShown(), "");
    RefuseCommands(true);
    Click(dlg->GetDlgItem(1009));
    RefuseCommands(false);
    notice = dlg->Strip()->NoticeShown();
    EXPECT_TRUE(notice.contains("Stop not acknowledged")) << notice.toStdString();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(QTime::fromString(notice.left(8), "HH:mm:ss").isValid());
}

TEST_F(OperatorSafetyTest, TheStripTellsALineThatStoppedAnswering)
{
    Open();
    StartRun();
    sim->Disconnect();
    ASSERT_TRUE(WaitFor([&] { return dlg->Strip()->NoticeShown().contains("no valid reply"); }, 15000))
        << dlg->Strip()->NoticeShown().toStdString();
    EXPECT_TRUE(QTime::fromString(dlg->Strip()->NoticeShown().left(8), "HH:mm:ss").isValid());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ModalAnswer<QMessageBox> question([](QMessageBox* box) {
        for (QAbstractButton* button : box->buttons())
            if (button->text() == CCloseQuestion::kLeaveText) button->click();
    });
    dlg->close();
}
