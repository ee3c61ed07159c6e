// The publisher against a real mosquitto broker: delivery, the state, the
// queue while the broker is away, refused credentials and the waits.

#include "MosquittoBroker.h"
#include "net/MqttPublisher.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <atomic>
#include <gtest/gtest.h>
#include <numeric>

using namespace broker_test;

namespace {

CMqttPublisher::SConfig Config(const CBroker& broker, const QString& prefix)
{
    CMqttPublisher::SConfig config;
    config.url = {false, QStringLiteral("127.0.0.1"), broker.Port()};
    config.strPrefix = prefix;
    return config;
}

mqtt_messages::SSample Sample(int n)
{
    return {n, QDateTime::currentDateTimeUtc(), n * 1.0, 500, 400 + n, n % 50};
}

bool WaitLink(const CMqttPublisher& publisher, CMqttPublisher::ELink link, int ms = 15000)
{
    const QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        if (publisher.Link() == link) return true;
        QThread::msleep(10);
    }
    return publisher.Link() == link;
}

std::vector<int> Numbers(const std::vector<QJsonObject>& samples)
{
    std::vector<int> numbers;
    for (const QJsonObject& o : samples) numbers.push_back(o["n"].toInt());
    return numbers;
}

TEST(MqttPublisherTest, SamplesStateAndEventsReachASubscriberInOrder)
{
    CBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log().toStdString();
    CSubscriber sub(broker.Port(), "t1/#");
    ASSERT_TRUE(sub.WaitSubscribed());

    CMqttPublisher publisher(Config(broker, "t1"));
    publisher.PublishState({mqtt_messages::EState::Running, QDateTime::currentDateTimeUtc(), 500, "P"});
    for (int n = 1; n <= 50; ++n) publisher.PublishSample(Sample(n));
    publisher.PublishEvent("stop", "Stopped");
    publisher.Start();
    ASSERT_TRUE(sub.WaitFor([](const auto& r) { return CountTopic(r, "t1/sample") == 50 && CountTopic(r, "t1/event") == 1; }));
    publisher.Stop(2000);

    const auto samples = sub.Json("t1/sample");
    std::vector<int> expected(50);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(Numbers(samples), expected);
    EXPECT_EQ(samples[9]["speed"].toInt(), 410);
    const auto states = sub.Json("t1/state");
    ASSERT_EQ(states.size(), 1u);
    EXPECT_EQ(states[0]["state"].toString(), "running");
    EXPECT_EQ(states[0]["set"].toInt(), 500);
    EXPECT_EQ(sub.Json("t1/event")[0]["kind"].toString(), "stop");

    // Retained for a dashboard that comes later; a clean stop sends no will.
    CSubscriber late(broker.Port(), "t1/state");
    ASSERT_TRUE(late.WaitFor([](const auto& r) { return !r.empty(); }));
    EXPECT_TRUE(late.Received()[0].bRetain);
    EXPECT_EQ(late.Json("t1/state")[0]["state"].toString(), "running");
    EXPECT_EQ(publisher.Link(), CMqttPublisher::ELink::Off);
}

TEST(MqttPublisherTest, BrokerStoppedAndRestartedMidRunDeliversTheGapInOrderAndTheStateAgain)
{
    CBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log().toStdString();
    CSubscriber sub(broker.Port(), "t2/#");
    ASSERT_TRUE(sub.WaitSubscribed());

    CMqttPublisher publisher(Config(broker, "t2"));
    publisher.PublishState({mqtt_messages::EState::Running, QDateTime::currentDateTimeUtc(), 300, ""});
    publisher.Start();
    for (int n = 1; n <= 5; ++n) publisher.PublishSample(Sample(n));
    ASSERT_TRUE(sub.WaitFor([](const auto& r) { return CountTopic(r, "t2/sample") == 5; }));

    broker.Stop();
    ASSERT_TRUE(WaitLink(publisher, CMqttPublisher::ELink::Unreachable));
    for (int n = 6; n <= 20; ++n) publisher.PublishSample(Sample(n));
    EXPECT_EQ(publisher.QueuedCount(), 15);

    ASSERT_TRUE(broker.Start()) << broker.Log().toStdString();
    ASSERT_TRUE(WaitLink(publisher, CMqttPublisher::ELink::Connected, 20000));
    for (int n = 21; n <= 22; ++n) publisher.PublishSample(Sample(n));
    ASSERT_TRUE(sub.WaitFor([](const auto& r) { return CountTopic(r, "t2/sample") == 22; }, 20000))
        << CountTopic(sub.Received(), "t2/sample");
    publisher.Stop(2000);

    std::vector<int> expected(22);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(Numbers(sub.Json("t2/sample")), expected);
    // The state is published again after the reconnection.
    EXPECT_GE(sub.Json("t2/state").size(), 2u);
    EXPECT_EQ(sub.Json("t2/state").back()["state"].toString(), "running");
}

TEST(MqttPublisherTest, QueueKeepsTheNewestTenThousandAndSaysHowManyWereDropped)
{
    // The dashboard's durable session exists before the broker goes away.
    CBroker broker;
    ASSERT_TRUE(broker.Start());
    const int port = broker.Port();
    CSubscriber sub(port, "t3/#");
    ASSERT_TRUE(sub.WaitSubscribed());
    broker.Stop();

    CMqttPublisher publisher(Config(broker, "t3"));
    publisher.Start();
    ASSERT_TRUE(WaitLink(publisher, CMqttPublisher::ELink::Unreachable));
    const int total = CMqttPublisher::kQueueBound + 25;
    for (int n = 1; n <= total; ++n) publisher.PublishSample(Sample(n));
    EXPECT_EQ(publisher.QueuedCount(), CMqttPublisher::kQueueBound);

    ASSERT_TRUE(broker.Start());
    ASSERT_TRUE(sub.WaitFor([](const auto& r) { return CountTopic(r, "t3/sample") == CMqttPublisher::kQueueBound; },
                            30000))
        << CountTopic(sub.Received(), "t3/sample");
    const auto numbers = Numbers(sub.Json("t3/sample"));
    EXPECT_EQ(numbers.front(), 26);
    EXPECT_EQ(numbers.back(), total);
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    ASSERT_TRUE(sub.WaitFor([](const auto& r) { return CountTopic(r, "t3/event") >= 1; }));
    const auto events = sub.Json("t3/event");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0]["kind"].toString(), "dropped");
    EXPECT_TRUE(events[0]["text"].toString().startsWith("25 samples")) << events[0]["text"].toString().toStdString();
    publisher.Stop(0);
}

TEST(MqttPublisherTest, WrongPasswordIsSaidOnceAndRetriedWithGrowingWaits)
{
    CBroker::SOptions options;
    options.bPasswords = true;
    CBroker broker(options);
    ASSERT_TRUE(broker.Start()) << broker.Log().toStdString();

    CMqttPublisher::SConfig config = Config(broker, "t4");
    config.bCredentials = true;
    config.credentials = {"lab", "wrong"};
    CMqttPublisher publisher(config);
    std::atomic<int> problems{0};
    QString said;
    std::mutex saidMutex;
    QObject::connect(&publisher, &CMqttPublisher::problem, [&](const QString& text) {
        std::lock_guard lock(saidMutex);
        said = text;
        ++problems;
    });
    publisher.Start();
    for (int n = 1; n <= 3; ++n) publisher.PublishSample(Sample(n));

    // Attempts at 0, +1 s, +2 s, +4 s: four within about 7 s, not a storm.
    const QDeadlineTimer deadline(20000);
    while (publisher.Attempts().size() < 4 && !deadline.hasExpired()) QThread::msleep(20);
    const auto attempts = publisher.Attempts();
    ASSERT_GE(attempts.size(), 4u);
    using std::chrono::milliseconds;
    const int expectedMs[] = {1000, 2000, 4000};
    for (int i = 0; i < 3; ++i)
        EXPECT_GE(std::chrono::duration_cast<milliseconds>(attempts[i + 1] - attempts[i]).count(), expectedMs[i] - 50)
            << "wait " << i;
    EXPECT_EQ(publisher.Link(), CMqttPublisher::ELink::Refused);
    // The reason stays through the waits between attempts, for the window's
    // broker cell.
    EXPECT_TRUE(publisher.LinkReason().contains("not authorised")) << publisher.LinkReason().toStdString();
    EXPECT_EQ(problems.load(), 1);
    {
        std::lock_guard lock(saidMutex);
        EXPECT_TRUE(said.contains("refused")) << said.toStdString();
        EXPECT_FALSE(said.contains("wrong"));
    }
    // Nothing was lost meanwhile.
    EXPECT_EQ(publisher.QueuedCount(), 3);
    publisher.Stop(0);
}

}  // namespace

namespace {

// A process with several publishers (several stirrers, or a benchmark) must
// not have them take each other's place at the broker.
TEST(MqttPublisherTest, PublishersOfOneProcessStayConnectedSideBySide)
{
    CBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log().toStdString();
    CSubscriber sub(broker.Port(), "t5/#");
    ASSERT_TRUE(sub.WaitSubscribed());
    CMqttPublisher first(Config(broker, "t5/a"));
    CMqttPublisher second(Config(broker, "t5/b"));
    first.Start();
    second.Start();
    ASSERT_TRUE(WaitLink(first, CMqttPublisher::ELink::Connected));
    ASSERT_TRUE(WaitLink(second, CMqttPublisher::ELink::Connected));
    for (int n = 1; n <= 3; ++n) {
        first.PublishSample(Sample(n));
        second.PublishSample(Sample(n));
    }
    ASSERT_TRUE(sub.WaitFor([](const auto& r) {
        return CountTopic(r, "t5/a/sample") == 3 && CountTopic(r, "t5/b/sample") == 3;
    }));
    EXPECT_EQ(first.Link(), CMqttPublisher::ELink::Connected);
    EXPECT_EQ(second.Link(), CMqttPublisher::ELink::Connected);
    EXPECT_EQ(first.Attempts().size(), 1u);
    EXPECT_EQ(second.Attempts().size(), 1u);
}

}  // namespace

namespace {

TEST(MqttPublisherTest, TlsBrokerIsReachedWithItsCaFileAndRefusedWithoutIt)
{
    CBroker::SOptions options;
    options.bTls = true;
    CBroker broker(options);
    ASSERT_TRUE(broker.Start()) << broker.Log().toStdString();
    CSubscriber sub(broker.Port(), "t6/#");
    ASSERT_TRUE(sub.WaitSubscribed());

    SMqttSettings settings;
    settings.strUrl = QStringLiteral("mqtts://127.0.0.1:%1").arg(broker.TlsPort());
    settings.strPrefix = "t6/ca";
    settings.strCaFile = broker.CaFile();
    CMqttPublisher::SConfig config;
    QString error;
    ASSERT_TRUE(CMqttPublisher::Prepare(settings, "/dev/ttyUSB0", &config, &error)) << error.toStdString();
    CMqttPublisher trusted(config);
    trusted.Start();
    trusted.PublishSample(Sample(1));
    ASSERT_TRUE(sub.WaitFor([](const auto& r) { return CountTopic(r, "t6/ca/sample") == 1; }))
        << broker.Log().toStdString();
    trusted.Stop(2000);

    // The system's CA store does not know the test CA: never connected.
    settings.strPrefix = "t6/system";
    settings.strCaFile.clear();
    ASSERT_TRUE(CMqttPublisher::Prepare(settings, "/dev/ttyUSB0", &config, &error)) << error.toStdString();
    CMqttPublisher untrusted(config);
    untrusted.Start();
    untrusted.PublishSample(Sample(1));
    const QDeadlineTimer deadline(15000);
    while (untrusted.Attempts().size() < 2 && !deadline.hasExpired()) QThread::msleep(20);
    EXPECT_GE(untrusted.Attempts().size(), 2u);
    EXPECT_NE(untrusted.Link(), CMqttPublisher::ELink::Connected);
    EXPECT_EQ(untrusted.QueuedCount(), 1);
    untrusted.Stop(0);
    EXPECT_EQ(CountTopic(sub.Received(), "t6/system/sample"), 0);
}

}  // namespace
