// CPU the acquisition worker and the serial port use per polling second,
// against the simulated stirrer in a child process (so its CPU is not
// counted). Target: well under 1 % of one core.
#include "StirrerSimulator.h"
#include "link/AcquisitionWorker.h"
#include "link/CommLog.h"
#include "link/CommPort.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::string g_device;

double ProcessCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class CountingSink : public ISampleSink
{
public:
    void OnSample(int, int) override { ++samples; }
    std::atomic<int> samples{0};
};

CCommPort* OpenPort()
{
    CCommPort* port = CCommPort::Instance();
    port->SetPortName(QString::fromStdString(g_device));
    if (!port->Open())
        return nullptr;
    return port;
}

void BM_WorkerCpuPerPollingSecond(benchmark::State& state)
{
    CCommPort* port = OpenPort();
    if (port == nullptr || !port->SetSpeed(800)) {
        state.SkipWithError("no simulated stirrer");
        return;
    }
    const auto seconds = std::chrono::seconds(state.range(0));
    for (auto _ : state) {
        CountingSink sink;
        CAcquisitionWorker worker;
        worker.SetOwner(&sink);
        const double cpuBefore = ProcessCpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        worker.Start();
        std::this_thread::sleep_for(seconds);
        worker.RequestStop();
        worker.WaitForEnd();
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        const double cpu = ProcessCpuSeconds() - cpuBefore;
        state.SetIterationTime(cpu);
        state.counters["cpu_ms_per_s"] = 1000.0 * cpu / wall;
        state.counters["core_percent"] = 100.0 * cpu / wall;
        state.counters["samples_per_s"] = sink.samples / wall;
    }
    port->Close();
    CCommPort::ReleaseInstance();
}
BENCHMARK(BM_WorkerCpuPerPollingSecond)->Arg(10)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_StatusExchangeCpu(benchmark::State& state)
{
    CCommPort* port = OpenPort();
    if (port == nullptr) {
        state.SkipWithError("no simulated stirrer");
        return;
    }
    int failures = 0;
    for (auto _ : state) {
        const double cpuBefore = ProcessCpuSeconds();
        std::unique_ptr<CCommPort::BYTE[]> reply;
        int length = 0;
        failures += !port->QueryStatus(reply, length);
        state.SetIterationTime(ProcessCpuSeconds() - cpuBefore);
    }
    state.counters["failures"] = failures;
    port->Close();
    CCommPort::ReleaseInstance();
}
BENCHMARK(BM_StatusExchangeCpu)->Iterations(5)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Runs the simulator in a child until the parent closes the pipe.
pid_t StartSimulatorProcess(std::string& device)
{
    int toParent[2];
    int fromParent[2];
    if (pipe(toParent) != 0 || pipe(fromParent) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(toParent[0]);
        close(fromParent[1]);
        CStirrerSimulator sim;
        if (!sim.Start())
            _exit(1);
        const std::string path = sim.SlavePath() + "\n";
        if (write(toParent[1], path.data(), path.size()) < 0)
            _exit(1);
        close(toParent[1]);
        char c;
        while (read(fromParent[0], &c, 1) > 0) {
        }
        sim.Stop();
        _exit(0);
    }
    close(toParent[1]);
    close(fromParent[0]);
    char buffer[256] = {};
    const ssize_t n = read(toParent[0], buffer, sizeof buffer - 1);
    close(toParent[0]);
    if (n <= 1)
        return -1;
    device.assign(buffer, size_t(n - 1));
    // fromParent[1] stays open for the run; the child ends when we exit.
    return child;
}

}  // namespace

int main(int argc, char** argv)
{
    const pid_t sim = StartSimulatorProcess(g_device);
    if (sim < 0) {
        std::fprintf(stderr, "cannot start the simulated stirrer\n");
        return 1;
    }
    char logDir[] = "/tmp/vantoc-bench-XXXXXX";
    if (mkdtemp(logDir) != nullptr)
        CCommLog::SetDirectory(QString::fromLocal8Bit(logDir));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    kill(sim, SIGTERM);
    waitpid(sim, nullptr, 0);
    return 0;
}
