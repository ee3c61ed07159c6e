// Publishing to the laboratory's broker. Goals: under 0.2 ms of CPU per
// sample on the sampling path (BM_PublishSampleOnTheSamplingPath: the
// caller's cost of formatting and queueing, the network thread not
// counted), and 50 stirrers' worth of samples (50 messages a second) through
// one broker from one process without loss (BM_FiftyStirrersThroughOneBroker,
// counter "lost" must be 0). Needs the mosquitto program (Debian's
// mosquitto package).
#include "../tests/net/MosquittoBroker.h"
#include "net/MqttPublisher.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <ctime>
#include <memory>

using namespace broker_test;

namespace {

CBroker* g_broker = nullptr;

CMqttPublisher::SConfig Config(const QString& prefix)
{
    CMqttPublisher::SConfig config;
    config.url = {false, QStringLiteral("127.0.0.1"), g_broker->Port()};
    config.strPrefix = prefix;
    return config;
}

double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

bool WaitConnected(const CMqttPublisher& publisher)
{
    for (int i = 0; i < 500 && publisher.Link() != CMqttPublisher::ELink::Connected; ++i) QThread::msleep(10);
    return publisher.Link() == CMqttPublisher::ELink::Connected;
}

void BM_PublishSampleOnTheSamplingPath(benchmark::State& state)
{
    CMqttPublisher publisher(Config("bench/one"));
    publisher.Start();
    if (!WaitConnected(publisher)) {
        state.SkipWithError("broker not reached");
        return;
    }
    int n = 0;
    const double cpu0 = ThreadCpuSeconds();
    for (auto _ : state) {
        ++n;
        publisher.PublishSample({n, QDateTime::currentDateTimeUtc(), n * 1.0, 500, 480 + n % 40, 12});
        // One sample a second in a run: give the network thread its turn
        // so the queue stays as short as in a run.
        if (n % 100 == 0) {
            state.PauseTiming();
            while (publisher.QueuedCount() > 0) QThread::usleep(100);
            state.ResumeTiming();
        }
    }
    state.counters["cpu_ms_per_sample"] = (ThreadCpuSeconds() - cpu0) * 1000.0 / std::max(1, n);
    publisher.Stop(2000);
}
BENCHMARK(BM_PublishSampleOnTheSamplingPath);

void BM_FiftyStirrersThroughOneBroker(benchmark::State& state)
{
    constexpr int kStirrers = 50;
    constexpr int kSeconds = 3;
    int lost = 0;
    for (auto _ : state) {
        CSubscriber sub(g_broker->Port(), "bench/fifty/#");
        if (!sub.WaitSubscribed()) {
            state.SkipWithError("subscriber not subscribed");
            return;
        }
        std::vector<std::unique_ptr<CMqttPublisher>> publishers;
        for (int i = 0; i < kStirrers; ++i) {
            publishers.push_back(std::make_unique<CMqttPublisher>(Config(QStringLiteral("bench/fifty/%1").arg(i))));
            publishers.back()->Start();
        }
        for (auto& p : publishers)
            if (!WaitConnected(*p)) {
                state.SkipWithError("publisher not connected");
                return;
            }
        // One sample per stirrer per second, as fifty runs would send them.
        for (int s = 1; s <= kSeconds; ++s) {
            for (auto& p : publishers) p->PublishSample({s, QDateTime::currentDateTimeUtc(), s * 1.0, 500, 500, 12});
            QThread::msleep(1000);
        }
        const int expected = kStirrers * kSeconds;
        sub.WaitFor([&](const std::vector<SReceived>& r) { return int(r.size()) >= expected; }, 10000);
        lost += expected - int(sub.Received().size());
        for (auto& p : publishers) p->Stop(2000);
    }
    state.counters["lost"] = lost;
}
BENCHMARK(BM_FiftyStirrersThroughOneBroker)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CBroker broker;
    if (!broker.Start()) {
        std::fprintf(stderr, "mosquitto could not be started (is the mosquitto package installed?)\n");
        return 1;
    }
    g_broker = &broker;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
