// The real program in headless mode publishing to a real broker, with the
// simulated stirrer in this process (so the frames it got can be checked).
#ifdef VANTOC_PROGRAM

#include "../ui/HeadlessTestSupport.h"
#include "MosquittoBroker.h"
#include "support/SimulatedStirrer.h"

#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

using namespace broker_test;
using namespace headless_test;

namespace {

class MqttHeadlessTest : public SimulatedStirrerTest
{
protected:
    bool OpenPortInSetUp() const override { return false; }
    SimSettings Settings() const override { return ExactSettings(); }

    void Prepare(QProcess& process, const QStringList& mqttArgs, int samples) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.insert("VANTOC_LOG_DIR", logDir.path());
        process.setProcessEnvironment(env);
        process.setProgram(QStringLiteral(VANTOC_PROGRAM));
        process.setArguments(QStringList{"--headless", "--port", QString::fromStdString(sim->SlavePath()), "--speed",
                                         "500", "--samples", QString::number(samples)}
                             + mqttArgs);
    }

    struct SResult {
        int nExit = -1;
        QByteArray out, err;
    };
    SResult Finish(QProcess& process) const
    {
        SResult result;
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) return result;
        result.nExit = process.exitCode();
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }
    SResult Run(const QStringList& mqttArgs, int samples) const
    {
        QProcess process;
        Prepare(process, mqttArgs, samples);
        process.start();
        return Finish(process);
    }

    QString CredentialsFile(const QByteArray& text, QFile::Permissions permissions) const
    {
        const QString path = files.filePath("credentials");
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text);
        file.close();
        QFile::setPermissions(path, permissions);
        return path;
    }

    QTemporaryDir files;
};

std::vector<QString> States(CSubscriber& sub, const QByteArray& topic)
{
    std::vector<QString> states;
    for (const QJsonObject& o : sub.Json(topic)) states.push_back(o["state"].toString());
    return states;
}

TEST_F(MqttHeadlessTest, FiveSamplesReachTheSubscriberAsPrintedAndTheStateGoesRunningThenIdle)
{
    CBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log().toStdString();
    CSubscriber sub(broker.Port(), "lab/s1/#");
    ASSERT_TRUE(sub.WaitSubscribed());

    const SResult r = Run({"--mqtt", broker.Url(), "--mqtt-prefix", "lab/s1"}, 5);
    ASSERT_EQ(r.nExit, 0) << r.err.toStdString();
    const QList<SRow> rows = ParseRows(r.out);
    ASSERT_EQ(rows.size(), 5) << r.out.toStdString();

    ASSERT_TRUE(sub.WaitFor([](const auto& rec) { return CountTopic(rec, "lab/s1/sample") == 5; }));
    const auto samples = sub.Json("lab/s1/sample");
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(samples[i]["n"].toInt(), rows[i].nNumber);
        EXPECT_EQ(samples[i]["speed"].toInt(), rows[i].nSpeed);
        EXPECT_EQ(samples[i]["torque"].toInt(), rows[i].nTorque);
        EXPECT_EQ(samples[i]["set"].toInt(), 500);
        EXPECT_FALSE(samples[i]["t"].toString().isEmpty());
    }
    EXPECT_LT(samples[0]["elapsed"].toDouble(), samples[4]["elapsed"].toDouble());

    const std::vector<QString> states = States(sub, "lab/s1/state");
    const std::vector<QString> expected{"idle", "running", "idle"};
    EXPECT_EQ(states, expected);
    EXPECT_EQ(sub.Json("lab/s1/state")[1]["set"].toInt(), 500);
    std::vector<QString> kinds;
    for (const QJsonObject& o : sub.Json("lab/s1/event")) kinds.push_back(o["kind"].toString());
    EXPECT_EQ(kinds, (std::vector<QString>{"start", "stop"}));
}

TEST_F(MqttHeadlessTest, BrokerRestartedMidRunLeavesTheRunWholeAndDeliversTheGapInOrder)
{
    CBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log().toStdString();
    CSubscriber sub(broker.Port(), "lab/s7/#");
    ASSERT_TRUE(sub.WaitSubscribed());
    const QString save = files.filePath("run.xls");

    QProcess process;
    Prepare(process, {"--mqtt", broker.Url(), "--mqtt-prefix", "lab/s7", "--save", save}, 7);
    process.start();
    // Right after a sample, so that the next one finds the link down.
    ASSERT_TRUE(sub.WaitFor([](const auto& rec) { return CountTopic(rec, "lab/s7/sample") >= 2; }));
    broker.Stop();
    QByteArray out;
    while (ParseRows(out).size() < 4 && process.waitForReadyRead(15000)) out += process.readAllStandardOutput();
    ASSERT_TRUE(broker.Start()) << broker.Log().toStdString();
    const SResult r = Finish(process);
    out += r.out;

    EXPECT_EQ(r.nExit, 0) << r.err.toStdString();
    ASSERT_EQ(ParseRows(out).size(), 7) << out.toStdString();
    EXPECT_EQ(ReadFile(save), kHeader + out);
    ASSERT_TRUE(sub.WaitFor([](const auto& rec) { return CountTopic(rec, "lab/s7/sample") == 7; }, 20000))
        << CountTopic(sub.Received(), "lab/s7/sample") << r.err.toStdString();
    std::vector<int> numbers;
    for (const QJsonObject& o : sub.Json("lab/s7/sample")) numbers.push_back(o["n"].toInt());
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(States(sub, "lab/s7/state").back(), "idle");
}

TEST_F(MqttHeadlessTest, SigkillLeavesTheRetainedStateOffline)
{
    CBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log().toStdString();
    CSubscriber sub(broker.Port(), "lab/s2/#");
    ASSERT_TRUE(sub.WaitSubscribed());

    QProcess process;
    Prepare(process, {"--mqtt", broker.Url(), "--mqtt-prefix", "lab/s2"}, 1000);
    process.start();
    ASSERT_TRUE(sub.WaitFor([](const auto& rec) { return CountTopic(rec, "lab/s2/sample") >= 2; }))
        << process.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
    ASSERT_TRUE(process.waitForFinished(10000));

    ASSERT_TRUE(sub.WaitFor([](const std::vector<SReceived>& rec) {
        return !rec.empty() && rec.back().topic == "lab/s2/state" && rec.back().payload.contains("offline");
    }));
    CSubscriber dashboard(broker.Port(), "lab/s2/state");
    ASSERT_TRUE(dashboard.WaitFor([](const auto& rec) { return !rec.empty(); }));
    EXPECT_TRUE(dashboard.Received()[0].bRetain);
    EXPECT_EQ(States(dashboard, "lab/s2/state"), std::vector<QString>{"offline"});
}

TEST_F(MqttHeadlessTest, RemoteStopIsIgnoredWithoutAcceptStop)
{
    CBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log().toStdString();
    CSubscriber sub(broker.Port(), "lab/s3/#");
    ASSERT_TRUE(sub.WaitSubscribed());

    QProcess process;
    Prepare(process, {"--mqtt", broker.Url(), "--mqtt-prefix", "lab/s3"}, 5);
    process.start();
    ASSERT_TRUE(sub.WaitFor([](const auto& rec) { return CountTopic(rec, "lab/s3/sample") >= 2; }));
    ASSERT_TRUE(PublishOnce(broker.Port(), "lab/s3/cmd/stop", "end of shift"));
    const SResult r = Finish(process);
    EXPECT_EQ(r.nExit, 0) << r.err.toStdString();
    EXPECT_EQ(ParseRows(r.out).size(), 5);
    EXPECT_FALSE(r.err.contains("end of shift")) << r.err.toStdString();
}

TEST_F(MqttHeadlessTest, RemoteStopWithAcceptStopStopsTheMotorAsStopDoes)
{
    CBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log().toStdString();
    CSubscriber sub(broker.Port(), "lab/s4/#");
    ASSERT_TRUE(sub.WaitSubscribed());
    const QString save = files.filePath("run.xls");

    QProcess process;
    Prepare(process, {"--mqtt", broker.Url(), "--mqtt-prefix", "lab/s4", "--mqtt-accept-stop", "--save", save},
            1000);
    process.start();
    ASSERT_TRUE(sub.WaitFor([](const auto& rec) { return CountTopic(rec, "lab/s4/sample") >= 2; }));
    ASSERT_TRUE(PublishOnce(broker.Port(), "lab/s4/cmd/stop", "end of shift"));
    const SResult r = Finish(process);
    EXPECT_EQ(r.nExit, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("end of shift")) << r.err.toStdString();
    const QList<SRow> rows = ParseRows(r.out);
    EXPECT_GE(rows.size(), 2);
    EXPECT_LT(rows.size(), 20);
    EXPECT_EQ(ReadFile(save), kHeader + r.out);
    const std::vector<Frame> frames = FrameBytes(*sim);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back(), kSpeedZero);

    ASSERT_TRUE(sub.WaitFor([](const auto& rec) { return CountTopic(rec, "lab/s4/event") >= 3; }));
    const auto events = sub.Json("lab/s4/event");
    const auto remote = std::find_if(events.begin(), events.end(),
                                     [](const QJsonObject& o) { return o["kind"].toString() == "remote-stop"; });
    ASSERT_NE(remote, events.end());
    EXPECT_EQ((*remote)["text"].toString(), "end of shift");
    // Said once: no second event of the journal's line.
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                            [](const QJsonObject& o) { return o["text"].toString().contains("end of shift"); }),
              1);
    EXPECT_EQ(States(sub, "lab/s4/state").back(), "idle");
}

TEST_F(MqttHeadlessTest, CredentialsFileReadableByOthersIsRefusedBeforeAnythingIsSent)
{
    CBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log().toStdString();
    CSubscriber sub(broker.Port(), "lab/s5/#");
    ASSERT_TRUE(sub.WaitSubscribed());
    const QString path =
        CredentialsFile("lab\ns3cret\n", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);

    const SResult r = Run({"--mqtt", broker.Url(), "--mqtt-prefix", "lab/s5", "--mqtt-credentials", path}, 3);
    EXPECT_EQ(r.nExit, 78);
    EXPECT_TRUE(r.err.contains("chmod 600")) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("s3cret"));
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(sim->Frames().empty());
    // A marker published now arrives after anything the program could have sent.
    ASSERT_TRUE(PublishOnce(broker.Port(), "lab/s5/marker", "x"));
    ASSERT_TRUE(sub.WaitFor([](const auto& rec) { return !rec.empty(); }));
    EXPECT_EQ(sub.Received().size(), 1u);
    EXPECT_EQ(sub.Received()[0].topic, "lab/s5/marker");
}

TEST_F(MqttHeadlessTest, WrongPasswordLeavesTheRunUntouchedAndIsSaidOnce)
{
    CBroker::SOptions options;
    options.bPasswords = true;
    CBroker broker(options);
    ASSERT_TRUE(broker.Start()) << broker.Log().toStdString();
    const QString path = CredentialsFile("lab\nwrong\n", QFile::ReadOwner | QFile::WriteOwner);

    const SResult r = Run({"--mqtt", broker.Url(), "--mqtt-prefix", "lab/s6", "--mqtt-credentials", path}, 4);
    EXPECT_EQ(r.nExit, 0) << r.err.toStdString();
    EXPECT_EQ(ParseRows(r.out).size(), 4);
    EXPECT_EQ(r.err.count("refused the connection"), 1) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("wrong"));
    EXPECT_EQ(FrameBytes(*sim).back(), kSpeedZero);
}

// 500 rpm gives 12.5 Ncm here: the torque limit is crossed at the first sample.
TEST_F(MqttHeadlessTest, TorqueAlarmShowsInTheRetainedStateUntilTheRunEnds)
{
    CBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log().toStdString();
    CSubscriber sub(broker.Port(), "lab/s8/#");
    ASSERT_TRUE(sub.WaitSubscribed());

    const SResult r = Run({"--mqtt", broker.Url(), "--mqtt-prefix", "lab/s8", "--max-torque", "5"}, 30);
    ASSERT_EQ(r.nExit, 6) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("torque limit reached: ")) << r.err.toStdString();
    ASSERT_TRUE(sub.WaitFor([](const auto& rec) { return CountTopic(rec, "lab/s8/state") == 4; }));
    EXPECT_EQ(States(sub, "lab/s8/state"), (std::vector<QString>{"idle", "running", "alarm", "idle"}));
    EXPECT_EQ(sub.Json("lab/s8/state")[2]["set"].toInt(), 500);
    std::vector<QString> kinds;
    for (const QJsonObject& o : sub.Json("lab/s8/event")) kinds.push_back(o["kind"].toString());
    EXPECT_EQ(kinds, (std::vector<QString>{"start", "alarm", "stop"}));
    EXPECT_EQ(FrameBytes(*sim).back(), kSpeedZero);
}

}  // namespace

#endif
