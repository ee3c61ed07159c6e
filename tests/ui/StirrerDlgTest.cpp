#include "display/VelDigit.h"
#include "platform/SpinButtonCtrl.h"
#include "ui/AboutDlg.h"
#include "ui/InfoDlg.h"
#include "ui/PortSettingDlg.h"
#include "ui/ResourceIds.h"
#include "ui/StateEndpoint.h"
#include "ui/StirrerDlg.h"

#include "support/ModalAnswer.h"
#include "support/SimulatedStirrer.h"
#include "UiTestSupport.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <future>

using namespace std::chrono_literals;

namespace {

using Bytes = std::array<std::uint8_t, 6>;
const Bytes kHandshake = {0xFE, 0xA0, 0x00, 0x00, 0x00, 0xA0};
const Bytes kSpeed2199 = {0xFE, 0xB1, 0x08, 0x97, 0x00, 0x50};
const Bytes kSpeed0 = {0xFE, 0xB1, 0x00, 0x00, 0x00, 0xB1};
const Bytes kStatus = {0xFE, 0xA2, 0x00, 0x00, 0x00, 0xA2};

// The main window against the simulated stirrer: the window opens the port
// itself after its port dialog was answered with OK.
class StirrerDlgTest : public SimulatedStirrerTest {
protected:
    bool OpenPortInSetUp() const override { return false; }

    void SetUp() override
    {
        SimulatedStirrerTest::SetUp();
        vantoc::RegisterResources();
    }
    void TearDown() override
    {
        dlg.reset();
        SimulatedStirrerTest::TearDown();
    }

    // Creates the window; the port dialog gets the simulator's path and OK.
    void Open(const std::function<void()>& beforeOk = {})
    {
        dlg = std::make_unique<CStirrerDlg>();
        dlg->SetPortPreselection(QString::fromStdString(sim->SlavePath()), "9600");
        ModalAnswer<CPortSettingDlg> answer([&](CPortSettingDlg* shown) {
            if (beforeOk) beforeOk();
            Click(shown->GetDlgItem(plat::IDOK));
        });
        ASSERT_TRUE(dlg->Create());
        ASSERT_TRUE(answer.answered());
        dlg->show();
    }

    // Presses a button; an information dialog that comes up is read and
    // closed. Its text, or empty when none came.
    QString PressExpectingInfo(int id)
    {
        QString shown;
        ModalAnswer<CInfoDlg> answer([&](CInfoDlg* info) {
            shown = info->m_strMessage;
            Click(info->GetDlgItem(plat::IDOK));
        });
        Click(dlg->GetDlgItem(id));
        EXPECT_TRUE(answer.answered());
        return shown;
    }

    void SetSpeedText(const QString& text) { dlg->GetDlgItem<QLineEdit>(1004)->setText(text); }
    bool IsEnabled(int id) const { return dlg->GetDlgItem(id)->isEnabled(); }
    int FramesLike(const Bytes& bytes) const
    {
        int n = 0;
        for (const SimFrame& f : sim->Frames()) n += f.bytes == bytes;
        return n;
    }
    int Samples() const { return dlg->Run().Record().GetCount(); }

    std::unique_ptr<CStirrerDlg> dlg;
};

}  // namespace

TEST_F(StirrerDlgTest, StartUpConnectsAndHandshakes)
{
    Open();
    ASSERT_TRUE(sim->WaitForFrames(1, 5s));
    EXPECT_EQ(sim->Frames()[0].bytes, kHandshake);
    EXPECT_FALSE(dlg->Run().IsConnectionFailed());
    EXPECT_EQ(dlg->ProblemLine(), nullptr);
    EXPECT_EQ(CCommPort::Instance()->PortName(), QString::fromStdString(sim->SlavePath()));
    EXPECT_EQ(CCommPort::Instance()->BaudRate(), 9600);
    EXPECT_EQ(dlg->windowTitle(), "Overhead Rotaque");
    EXPECT_TRUE(IsEnabled(1006));
    EXPECT_FALSE(IsEnabled(1009));
    EXPECT_EQ(dlg->SpeedDisplay()->GetValue(), 500.0f);
    EXPECT_EQ(dlg->TorqueDisplay()->GetValue(), 0.0f);
    EXPECT_EQ(dlg->GetDlgItem<QLineEdit>(1004)->text(), "200");
    EXPECT_TRUE(dlg->GetDlgItem(1002)->isHidden());
}

TEST_F(StirrerDlgTest, RunFromStartToStopAndSave)
{
    Open();
    SetSpeedText("2200");
    Click(dlg->GetDlgItem(1006));
    EXPECT_EQ(dlg->m_nSpeed, 2199);
    ASSERT_GE(sim->Frames().size(), 2u);
    EXPECT_EQ(sim->Frames()[1].bytes, kSpeed2199);
    EXPECT_FALSE(IsEnabled(1006));
    EXPECT_TRUE(IsEnabled(1009));

    ASSERT_TRUE(WaitFor([&] { return Samples() >= 3; }));
    EXPECT_GE(FramesLike(kStatus), 3);
    const CRunRecord& record = dlg->Run().Record();
    EXPECT_EQ(record.SpeedSamples().size(), record.TorqueSamples().size());
    EXPECT_EQ(dlg->SpeedDisplay()->GetValue(), float(record.SpeedSamples().back()));
    EXPECT_EQ(dlg->TorqueDisplay()->GetValue(), record.TorqueSamples().back());
    EXPECT_GT(record.SpeedSamples().back(), 0u);

    Click(dlg->GetDlgItem(1009));
    EXPECT_EQ(FramesLike(kSpeed0), 1);
    EXPECT_TRUE(IsEnabled(1006));
    EXPECT_FALSE(IsEnabled(1009));
    EXPECT_FALSE(dlg->Run().IsMotorRunning());

    // Nothing more arrives once the stop went through.
    const int frames = int(sim->Frames().size());
    const int samples = Samples();
    QElapsedTimer quiet;
    quiet.start();
    WaitFor([&] { return quiet.elapsed() > 1500; });
    EXPECT_EQ(int(sim->Frames().size()), frames);
    EXPECT_EQ(Samples(), samples);

    QTemporaryDir dir;
    ModalAnswer<QFileDialog> chooser([&](QFileDialog* files) {
        files->selectFile(dir.filePath("run"));
        QMetaObject::invokeMethod(files, "accept");
    });
    dlg->OnSave();
    QFile file(dir.filePath("run.xls"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the default extension is added";
    QByteArray expected = "Time(S)\tSpeed(rpm)\tTorque(Ncm)\r\n";
    for (int i = 0; i < record.GetCount(); ++i)
        expected += QString::asprintf("%d\t%d\t%d\r\n", i + 1, int(record.SpeedSamples()[i]),
                                      int(record.TorqueSamples()[i]))
                        .toLatin1();
    const QByteArray bytes = file.readAll();
    ASSERT_EQ(bytes.size(), expected.size());
    for (int i = 0; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], expected[i]) << "byte " << i;
}

TEST_F(StirrerDlgTest, SecondStartEmptiesTheRecordBeforeItsFirstSample)
{
    Open();
    SetSpeedText("600");
    Click(dlg->GetDlgItem(1006));
    ASSERT_TRUE(WaitFor([&] { return Samples() >= 2; }));
    Click(dlg->GetDlgItem(1009));
    ASSERT_GE(Samples(), 2);

    std::vector<int> countsSeen;
    QObject::connect(&dlg->Run(), &CRunControl::sampleArrived, dlg.get(), [&] { countsSeen.push_back(Samples()); });
    Click(dlg->GetDlgItem(1006));
    EXPECT_EQ(Samples(), 0);
    ASSERT_TRUE(WaitFor([&] { return countsSeen.size() >= 2; }));
    EXPECT_EQ(countsSeen[0], 1);
    EXPECT_EQ(countsSeen[1], 2);
    Click(dlg->GetDlgItem(1009));
}

TEST_F(StirrerDlgTest, SpeedsOutsideTheRangeAreRefusedWithNothingSent)
{
    Open();
    ASSERT_TRUE(sim->WaitForFrames(1, 5s));
    for (const char* speed : {"49", "2201"}) {
        SetSpeedText(speed);
        EXPECT_EQ(PressExpectingInfo(1006), vantoc::String(109)) << speed;
    }
    // Past the validation range: the standard message, not 109.
    SetSpeedText("20001");
    QString shown;
    {
        ModalAnswer<QMessageBox> answer([&](QMessageBox* box) {
            shown = box->text();
            box->accept();
        });
        Click(dlg->GetDlgItem(1006));
    }
    EXPECT_EQ(shown, "Please enter an integer between 0 and 20000.");
    EXPECT_EQ(sim->Frames().size(), 1u);
    EXPECT_TRUE(IsEnabled(1006));
}

TEST_F(StirrerDlgTest, RefusedSpeedCommandChangesNothingVisible)
{
    Open();
    ASSERT_TRUE(sim->WaitForFrames(1, 5s));
    sim->InjectNext(kFaultRefuse);
    SetSpeedText("800");
    Click(dlg->GetDlgItem(1006));
    EXPECT_EQ(sim->Frames().size(), 2u);
    EXPECT_TRUE(IsEnabled(1006));
    EXPECT_FALSE(IsEnabled(1009));
    EXPECT_FALSE(dlg->Run().IsRunning());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    QElapsedTimer quiet;
    quiet.start();
    WaitFor([&] { return quiet.elapsed() > 1500; });
    EXPECT_EQ(FramesLike(kStatus), 0) << "no worker after a refusal";
}

TEST_F(StirrerDlgTest, StopRetriesSpeedZeroFourTimes)
{
    Open();
    SetSpeedText("300");
    Click(dlg->GetDlgItem(1006));
    ASSERT_TRUE(dlg->Run().IsRunning());
    sim->InjectNext(kFaultRefuse, 20);
    Click(dlg->GetDlgItem(1009));
    EXPECT_EQ(FramesLike(kSpeed0), 4);
    EXPECT_TRUE(dlg->Run().IsMotorRunning());
    EXPECT_TRUE(IsEnabled(1006));
    EXPECT_FALSE(IsEnabled(1009));
}

TEST_F(StirrerDlgTest, StopWithARefusedFieldStopsBeforeTheMessage)
{
    Open();
    SetSpeedText("300");
    Click(dlg->GetDlgItem(1006));
    ASSERT_TRUE(dlg->Run().IsRunning());
    SetSpeedText("20001");
    int stopsBeforeMessage = -1;
    QString shown;
    {
        ModalAnswer<QMessageBox> answer([&](QMessageBox* box) {
            stopsBeforeMessage = FramesLike(kSpeed0);
            shown = box->text();
            box->accept();
        });
        Click(dlg->GetDlgItem(1009));
        EXPECT_TRUE(answer.answered());
    }
    EXPECT_EQ(shown, "Please enter an integer between 0 and 20000.");
    EXPECT_EQ(stopsBeforeMessage, 1) << "the motor must not wait for the operator";
    EXPECT_FALSE(dlg->Run().IsMotorRunning());
    EXPECT_TRUE(IsEnabled(1006));
    EXPECT_FALSE(IsEnabled(1009));
}

TEST_F(StirrerDlgTest, FailedConnectionShows102AndEveryStartShows103)
{
    QString shown;
    ModalAnswer<CInfoDlg> failure([&](CInfoDlg* info) {
        shown = info->m_strMessage;
        Click(info->GetDlgItem(plat::IDOK));
    });
    Open([&] { sim->InjectNext(kFaultRefuse); });
    EXPECT_TRUE(failure.answered());
    EXPECT_EQ(shown, vantoc::String(102));
    EXPECT_TRUE(dlg->Run().IsConnectionFailed());
    ASSERT_NE(dlg->ProblemLine(), nullptr);
    EXPECT_TRUE(dlg->ProblemLine()->text().contains("a wrong reply to the handshake"));
    const auto sent = sim->Frames().size();
    for (int i = 0; i < 2; ++i) EXPECT_EQ(PressExpectingInfo(1006), vantoc::String(103));
    EXPECT_EQ(sim->Frames().size(), sent);
    EXPECT_TRUE(IsEnabled(1006));
}

TEST_F(StirrerDlgTest, MissingDeviceIsAFailedConnection)
{
    dlg = std::make_unique<CStirrerDlg>();
    dlg->SetPortPreselection("/nonexistent/tty", "9600");
    QString shown;
    ModalAnswer<CPortSettingDlg> port([](CPortSettingDlg* shownDlg) { Click(shownDlg->GetDlgItem(plat::IDOK)); });
    ModalAnswer<CInfoDlg> failure([&](CInfoDlg* info) {
        shown = info->m_strMessage;
        Click(info->GetDlgItem(plat::IDOK));
    });
    ASSERT_TRUE(dlg->Create());
    EXPECT_EQ(shown, vantoc::String(102));
    EXPECT_TRUE(dlg->Run().IsConnectionFailed());
    // Why, below the controls: the window grew by the line, which is visible.
    ASSERT_NE(dlg->ProblemLine(), nullptr);
    EXPECT_EQ(dlg->ProblemLine()->text(), dlg->Run().ConnectionProblem());
    EXPECT_TRUE(dlg->ProblemLine()->text().startsWith("/nonexistent/tty: no such device."));
    dlg->show();
    EXPECT_TRUE(dlg->ProblemLine()->isVisible());
    const QRect line = dlg->ProblemLine()->geometry();
    EXPECT_GT(line.top(), dlg->GetDlgItem(plat::IDCANCEL)->geometry().bottom());
    EXPECT_GT(line.top(), dlg->GetDlgItem(1007)->geometry().bottom());
    EXPECT_LT(line.bottom(), dlg->height());
    EXPECT_GT(line.height(), 0);
}

TEST_F(StirrerDlgTest, SpinStepsTenWithoutLimit)
{
    Open();
    auto* spin = dlg->GetDlgItem<plat::CSpinButtonCtrl>(1005);
    ASSERT_NE(spin, nullptr);
    emit spin->deltaPos(-1);
    EXPECT_EQ(dlg->GetDlgItem<QLineEdit>(1004)->text(), "210");
    SetSpeedText("2200");
    emit spin->deltaPos(-1);
    EXPECT_EQ(dlg->m_nSpeed, 2210);
    dlg->OnDeltaposTempSpin(-1);
    EXPECT_FLOAT_EQ(dlg->m_fTemperature, 100.1f);
    SetSpeedText("0");
    emit spin->deltaPos(1);
    EXPECT_EQ(dlg->GetDlgItem<QLineEdit>(1004)->text(), "-10");
}

TEST_F(StirrerDlgTest, RunStateMessageThroughTheSocketEndsTheRun)
{
    Open();
    QTemporaryDir runtime;
    CStateEndpoint endpoint;
    ASSERT_TRUE(endpoint.Listen(runtime.filePath("vantoc-state")));
    QObject::connect(&endpoint, &CStateEndpoint::stateReceived, dlg.get(), &CStirrerDlg::OnStirrerState);
    SetSpeedText("500");
    Click(dlg->GetDlgItem(1006));
    ASSERT_TRUE(WaitFor([&] { return Samples() >= 1; }));

    // A malformed line and another user's message change nothing.
    endpoint.SetAcceptedUid(getuid() + 1);
    auto foreign = std::async(std::launch::async, [&] { return CStateEndpoint::Send(endpoint.Path(), 0, 0); });
    ASSERT_TRUE(WaitFor([&] { return foreign.wait_for(0s) == std::future_status::ready; }));
    EXPECT_FALSE(foreign.get());
    endpoint.SetAcceptedUid(getuid());
    EXPECT_TRUE(dlg->Run().IsRunning());
    EXPECT_FALSE(IsEnabled(1006));

    auto own = std::async(std::launch::async, [&] { return CStateEndpoint::Send(endpoint.Path(), 0, 0); });
    ASSERT_TRUE(WaitFor([&] { return own.wait_for(0s) == std::future_status::ready; }));
    EXPECT_TRUE(own.get());
    EXPECT_FALSE(dlg->Run().IsRunning());
    EXPECT_FALSE(dlg->Run().IsMotorRunning());
    EXPECT_TRUE(IsEnabled(1006));
    EXPECT_FALSE(IsEnabled(1009));
    // The worker ends: at most one more sample, then the polls stop.
    const int samples = Samples();
    QElapsedTimer quiet;
    quiet.start();
    WaitFor([&] { return quiet.elapsed() > 3000; });
    EXPECT_LE(Samples(), samples + 1);
    EXPECT_EQ(FramesLike(kSpeed0), 0) << "the message itself sends no stop";
}

TEST_F(StirrerDlgTest, UnwritableFolderShowsAnErrorAndLeavesNoFile)
{
    Open();
    QTemporaryDir dir;
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    QString shown;
    ModalAnswer<QMessageBox> error([&](QMessageBox* box) {
        shown = box->text();
        box->accept();
    });
    EXPECT_FALSE(dlg->SaveTo(dir.filePath("plain/run.xls")));
    EXPECT_TRUE(shown.contains("run.xls")) << shown.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"plain"}));
}

TEST_F(StirrerDlgTest, ShutdownDuringARunJoinsTheWorker)
{
    Open();
    SetSpeedText("400");
    Click(dlg->GetDlgItem(1006));
    ASSERT_TRUE(WaitFor([&] { return Samples() >= 1; }));
    // Closing during a run asks first; leaving the motor running closes
    // without a stop command, as the window always did.
    ModalAnswer<QMessageBox> question([](QMessageBox* box) {
        for (QAbstractButton* button : box->buttons())
            if (button->text() == "Leave the motor running and close") button->click();
    });
    dlg->reject();
    EXPECT_TRUE(question.answered());
    EXPECT_FALSE(dlg->isVisible());
    dlg->OnDestroy();
    const auto frames = sim->Frames().size();
    QElapsedTimer quiet;
    quiet.start();
    WaitFor([&] { return quiet.elapsed() > 1500; });
    EXPECT_EQ(sim->Frames().size(), frames);
    EXPECT_EQ(FramesLike(kSpeed0), 0);
}

TEST_F(StirrerDlgTest, WindowKeepsPaintingWhileASpeedCommandWaits)
{
    Open();
    ASSERT_TRUE(sim->WaitForFrames(1, 5s));
    // The reply never comes: the command waits out its two to three seconds.
    sim->InjectNext(kFaultDrop);
    SetSpeedText("700");

    class PaintCounter : public QObject {
    public:
        int paints = 0;
        bool busyCursor = false;

    protected:
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint) {
                ++paints;
                busyCursor |= QApplication::overrideCursor() != nullptr;
            }
            return false;
        }
    } counter;
    dlg->installEventFilter(&counter);
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, dlg.get(), [&] { dlg->repaint(); });
    repaint.start(100);
    QElapsedTimer clock;
    clock.start();
    Click(dlg->GetDlgItem(1006));
    repaint.stop();
    dlg->removeEventFilter(&counter);

    EXPECT_GE(clock.elapsed(), 1500);
    EXPECT_GE(counter.paints, 10) << "the window went on painting during the exchange";
    EXPECT_TRUE(counter.busyCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(IsEnabled(1006)) << "an unanswered command is a refusal";
    EXPECT_FALSE(dlg->Run().IsRunning());
}

TEST_F(StirrerDlgTest, AboutEntryOpensTheAboutBox)
{
    Open();
    QStringList entries;
    for (QAction* action : dlg->findChildren<QAction*>()) entries << action->text();
    EXPECT_TRUE(entries.contains(vantoc::String(vantoc::IDS_ABOUTBOX)));
    QString title;
    ModalAnswer<CAboutDlg> about([&](CAboutDlg* box) {
        title = box->windowTitle();
        Click(box->GetDlgItem(plat::IDOK));
    });
    dlg->OnSysCommand(CStirrerDlg::IDM_ABOUTBOX | 0x2);
    EXPECT_EQ(title, "About Rotaque");
}
