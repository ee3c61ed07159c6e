// The main window publishing its runs to a real mosquitto broker: the
// broker cell, the state and samples, settings applied during a run, the
// remote stop and unusable settings.

#include "net/MosquittoBroker.h"
#include "support/ModalAnswer.h"
#include "support/SimulatedStirrer.h"
#include "HeadlessTestSupport.h"
#include "UiTestSupport.h"
#include "ui/AlarmBanner.h"
#include "ui/BrokerLinkCell.h"
#include "ui/RunStatusStrip.h"
#include "ui/PortSettingDlg.h"
#include "ui/ResourceIds.h"
#include "ui/RunPublishing.h"
#include "ui/StirrerDlg.h"
#include "ui/WindowPublishing.h"

#include <QDateTime>
#include <QMessageBox>
#include <QTemporaryDir>

using namespace broker_test;

namespace {

constexpr int kStartId = 1006;
constexpr int kStopId = 1009;

class WindowNetworkTest : public SimulatedStirrerTest
{
protected:
    SimSettings Settings() const override { return ExactSettings(); }
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

    static SMqttSettings Network(const QString& url, const QString& prefix, bool acceptStop = false)
    {
        SMqttSettings s;
        s.strUrl = url;
        s.strPrefix = prefix;
        s.bAcceptStop = acceptStop;
        return s;
    }

    void Open(const SMqttSettings& network)
    {
        dlg = std::make_unique<CStirrerDlg>();
        dlg->SetPortPreselection(QString::fromStdString(sim->SlavePath()), "9600");
        dlg->SetNetworkSettings(network);
        ModalAnswer<CPortSettingDlg> port([&](CPortSettingDlg* shown) { Click(shown->GetDlgItem(plat::IDOK)); });
        ASSERT_TRUE(dlg->Create());
        ASSERT_TRUE(port.answered());
        dlg->show();
    }

    bool WaitSamples(int n) { return WaitFor([&] { return dlg->Run().Record().GetCount() >= n; }, 30000); }
    QString CellText() const { return dlg->BrokerCell()->text(); }

    static std::vector<QString> States(CSubscriber& sub, const QByteArray& topic)
    {
        std::vector<QString> states;
        for (const QJsonObject& o : sub.Json(topic)) states.push_back(o["state"].toString());
        return states;
    }

    std::unique_ptr<CStirrerDlg> dlg;
};

TEST_F(WindowNetworkTest, TheCellShowsConnectedAndTheRunIsPublishedAsTheWindowShowsIt)
{
    CBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log().toStdString();
    CSubscriber sub(broker.Port(), "win/a/#");
    ASSERT_TRUE(sub.WaitSubscribed());

    Open(Network(broker.Url(), "win/a"));
    ASSERT_TRUE(WaitFor([&] { return CellText() == "Broker: connected"; })) << CellText().toStdString();
    EXPECT_EQ(dlg->BrokerCell()->Level(), CBrokerLinkCell::ELevel::Good);
    Click(dlg->GetDlgItem(kStartId));
    ASSERT_TRUE(WaitSamples(3));
    Click(dlg->GetDlgItem(kStopId));
    // The stopping worker's last sample may still come in.
    ASSERT_TRUE(WaitFor([&] {
        return CountTopic(sub.Received(), "win/a/sample") == dlg->Run().Record().GetCount()
            && States(sub, "win/a/state").back() == "idle";
    })) << CountTopic(sub.Received(), "win/a/sample");
    const int count = dlg->Run().Record().GetCount();
    const auto samples = sub.Json("win/a/sample");
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(samples[i]["n"].toInt(), i + 1);
        EXPECT_EQ(samples[i]["speed"].toInt(), int(dlg->Run().Record().SpeedSamples()[i]));
        EXPECT_EQ(samples[i]["torque"].toInt(), int(dlg->Run().Record().TorqueSamples()[i]));
        EXPECT_EQ(samples[i]["set"].toInt(), 200);
    }
    EXPECT_EQ(States(sub, "win/a/state"), (std::vector<QString>{"idle", "running", "idle"}));
    EXPECT_EQ(sub.Json("win/a/state")[1]["set"].toInt(), 200);

    // Closing the window says nobody publishes for this stirrer any more.
    dlg->OnDestroy();
    EXPECT_EQ(dlg->BrokerCell()->isVisibleTo(dlg.get()), false);
    ASSERT_TRUE(WaitFor([&] { return States(sub, "win/a/state").back() == "offline"; }));
}

TEST_F(WindowNetworkTest, TheStateIsAlarmWhileTheBannerStandsAlsoUnderNewSettings)
{
    CBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log().toStdString();
    CSubscriber sub(broker.Port(), "win/f/#");
    ASSERT_TRUE(sub.WaitSubscribed());
    Open(Network(broker.Url(), "win/f"));
    Click(dlg->GetDlgItem(kStartId));
    ASSERT_TRUE(WaitSamples(1));
    CAlarmBanner* banner = dlg->Strip()->Banner();
    banner->Raise("Torque limit 40 Ncm reached");
    ASSERT_TRUE(WaitFor([&] { return States(sub, "win/f/state").back() == "alarm"; }));
    EXPECT_EQ(sub.Json("win/f/state").back()["set"].toInt(), 200);

    // A publisher made while the alarm stands says so from the start.
    ASSERT_TRUE(dlg->ApplyNetworkSettings(Network(broker.Url(), "win/f/2")));
    ASSERT_TRUE(WaitFor([&] {
        const auto states = States(sub, "win/f/2/state");
        return !states.empty() && states.back() == "alarm";
    }));
    banner->Acknowledge();
    ASSERT_TRUE(WaitFor([&] { return States(sub, "win/f/2/state").back() == "running"; }));
    Click(dlg->GetDlgItem(kStopId));
    ASSERT_TRUE(WaitFor([&] { return States(sub, "win/f/2/state").back() == "idle"; }));
}

TEST_F(WindowNetworkTest, WithoutABrokerTheCellSaysNotConnectedAndTheRunGoesOn)
{
    const int port = FreePort();
    ASSERT_NE(port, 0);
    Open(Network(QStringLiteral("mqtt://127.0.0.1:%1").arg(port), "win/b"));
    ASSERT_TRUE(WaitFor([&] { return CellText().startsWith("Broker: not connected"); })) << CellText().toStdString();
    EXPECT_EQ(dlg->BrokerCell()->Level(), CBrokerLinkCell::ELevel::Waiting);
    EXPECT_TRUE(CellText().contains("(")) << "with the reason: " << CellText().toStdString();
    Click(dlg->GetDlgItem(kStartId));
    ASSERT_TRUE(WaitSamples(2));
    EXPECT_TRUE(dlg->Run().IsRunning());
    EXPECT_TRUE(CellText().startsWith("Broker: not connected")) << CellText().toStdString();
    Click(dlg->GetDlgItem(kStopId));
    EXPECT_FALSE(dlg->Run().IsMotorRunning());
}

TEST_F(WindowNetworkTest, NewSettingsDuringARunPublishTheRunUnderTheNewPrefixAtOnce)
{
    CBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log().toStdString();
    CSubscriber sub(broker.Port(), "win/#");
    ASSERT_TRUE(sub.WaitSubscribed());

    Open(Network(broker.Url(), "win/c1"));
    Click(dlg->GetDlgItem(kStartId));
    ASSERT_TRUE(WaitSamples(2));
    ASSERT_TRUE(WaitFor([&] { return CountTopic(sub.Received(), "win/c1/sample") >= 2; }));
    const QString start = sub.Json("win/c1/state").back()["start"].toString();
    ASSERT_FALSE(start.isEmpty());

    ASSERT_TRUE(dlg->ApplyNetworkSettings(Network(broker.Url(), "win/c2")));
    const int from = dlg->Run().Record().GetCount() + 1;
    ASSERT_TRUE(WaitSamples(from + 1));
    ASSERT_TRUE(WaitFor([&] { return CountTopic(sub.Received(), "win/c2/sample") >= 2; }));
    EXPECT_EQ(States(sub, "win/c1/state").back(), "offline");
    const QJsonObject state = sub.Json("win/c2/state").front();
    EXPECT_EQ(state["state"].toString(), "running") << "the run under way, not idle";
    EXPECT_EQ(state["start"].toString(), start);
    EXPECT_EQ(state["set"].toInt(), 200);
    const auto samples = sub.Json("win/c2/sample");
    EXPECT_EQ(samples[0]["n"].toInt(), from) << "numbering goes on";
    EXPECT_GT(samples[0]["elapsed"].toDouble(), 1.0) << "elapsed counts from the run's start";
    Click(dlg->GetDlgItem(kStopId));
}

TEST_F(WindowNetworkTest, RemoteStopIsIgnoredUntilTheSettingsAcceptItThenStopsTheMotor)
{
    CBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log().toStdString();
    CSubscriber sub(broker.Port(), "win/d/event");
    ASSERT_TRUE(sub.WaitSubscribed());
    Open(Network(broker.Url(), "win/d"));
    ASSERT_TRUE(WaitFor([&] { return CellText() == "Broker: connected"; }));
    Click(dlg->GetDlgItem(kStartId));
    ASSERT_TRUE(WaitSamples(1));
    ASSERT_TRUE(PublishOnce(broker.Port(), "win/d/cmd/stop", "ignored"));
    const int after = dlg->Run().Record().GetCount();
    ASSERT_TRUE(WaitSamples(after + 2));
    EXPECT_TRUE(dlg->Run().IsRunning());

    ASSERT_TRUE(dlg->ApplyNetworkSettings(Network(broker.Url(), "win/d", true)));
    ASSERT_TRUE(WaitFor([&] { return CellText() == "Broker: connected"; }));
    // The subscription follows the connection: retried until it is in place.
    ASSERT_TRUE(WaitFor([&] {
        if (!dlg->Run().IsRunning()) return true;
        PublishOnce(broker.Port(), "win/d/cmd/stop", "end of shift");
        return WaitFor([&] { return !dlg->Run().IsRunning(); }, 1000);
    }));
    EXPECT_FALSE(dlg->Run().IsMotorRunning());
    const std::vector<headless_test::Frame> frames = headless_test::FrameBytes(*sim);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back(), headless_test::kSpeedZero);

    // One event says it, as the headless run says it.
    ASSERT_TRUE(sub.WaitFor([](const auto& rec) {
        return std::any_of(rec.begin(), rec.end(), [](const auto& r) { return r.payload.contains("\"stop\""); });
    }));
    const auto events = sub.Json("win/d/event");
    std::vector<QString> said;
    for (const QJsonObject& o : events)
        if (o["text"].toString().contains("end of shift")) said.push_back(o["kind"].toString());
    EXPECT_EQ(said, std::vector<QString>{"remote-stop"});
}

TEST_F(WindowNetworkTest, UnusableSettingsAreShownAndNothingIsPublished)
{
    QTemporaryDir dir;
    const QString credentials = dir.filePath("credentials");
    QFile file(credentials);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("lab\ns3cret\n");
    file.close();
    QFile::setPermissions(credentials, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    Open(SMqttSettings());
    EXPECT_FALSE(dlg->Publishing()->IsPublishing());

    SMqttSettings network = Network("mqtt://127.0.0.1:1", "win/e");
    network.strCredentialsPath = credentials;
    QString shown;
    ModalAnswer<QMessageBox> box([&](QMessageBox* b) {
        shown = b->text();
        b->accept();
    });
    EXPECT_FALSE(dlg->ApplyNetworkSettings(network));
    EXPECT_TRUE(box.answered());
    EXPECT_TRUE(shown.contains(credentials)) << shown.toStdString();
    EXPECT_FALSE(shown.contains("s3cret"));
    EXPECT_FALSE(dlg->Publishing()->IsPublishing());
    EXPECT_FALSE(dlg->BrokerCell()->isVisibleTo(dlg.get()));

    ASSERT_TRUE(dlg->ApplyNetworkSettings(Network("mqtt://127.0.0.1:1", "win/e")));
    EXPECT_TRUE(dlg->Publishing()->IsPublishing());
    EXPECT_TRUE(dlg->BrokerCell()->isVisibleTo(dlg.get()));
}

}  // namespace
