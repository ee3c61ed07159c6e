// stirrer-sim: a simulated overhead stirrer on a pseudo-terminal.
#include "StirrerSimulator.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kUsage[] =
    "Usage: stirrer-sim [options]\n"
    "\n"
    "Simulates the overhead stirrer on a pseudo-terminal. Prints the device\n"
    "path on the first line of standard output, then answers handshake (A0),\n"
    "set speed (B1) and status (A2) until interrupted (Ctrl-C).\n"
    "\n"
    "Line:\n"
    "  --link PATH            also put a symbolic link to the device at PATH\n"
    "                         (an existing link there is replaced, a file is not)\n"
    "  --verbose              print every request frame received\n"
    "\n"
    "Motor:\n"
    "  --tau SECONDS          time constant of the speed's first-order lag (1.0)\n"
    "  --viscosity NCM        torque in Ncm per 1000 rpm (10)\n"
    "  --noise RPM            standard deviation of the measured speed (2)\n"
    "  --torque-noise NCM     standard deviation of the torque (default: the\n"
    "                         speed noise carried through the viscosity)\n"
    "  --thicken FROM:TO:TAU  the medium thickens: the viscosity rises from FROM\n"
    "                         to TO (Ncm per 1000 rpm) with time constant TAU\n"
    "                         seconds, counted from the first start of the motor;\n"
    "                         replaces --viscosity\n"
    "  --reply-delay MS       delay from a request to its reply (20)\n"
    "\n"
    "Faults (SHARE is 0 to 1, the part of replies affected):\n"
    "  --seed N               seed of noise and faults; same seed, same run (1)\n"
    "  --drop SHARE           send no reply\n"
    "  --corrupt SHARE        send a wrong checksum\n"
    "  --refuse SHARE         refuse acknowledgements (result byte 01)\n"
    "  --late SHARE           reply late, after --late-ms\n"
    "  --late-ms MS           how late a late reply comes (6000: past both limits)\n"
    "  --garbage SHARE        send 1 to 4 random bytes shortly after the reply\n"
    "  --disconnect-after S   close the line after S seconds, as if unplugged,\n"
    "                         and exit\n"
    "  --help                 show this text\n";

bool ParseNumber(const char* text, double& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return errno == 0 && end != text && *end == '\0';
}

template <typename Int>
bool ParseWhole(const char* text, double low, double high, Int& value)
{
    double v = 0;
    if (!ParseNumber(text, v) || v < low || v > high || v != double(std::int64_t(v)))
        return false;
    value = Int(v);
    return true;
}

bool ParseShare(const char* text, double& value)
{
    return ParseNumber(text, value) && value >= 0 && value <= 1;
}

struct Options
{
    SimSettings settings;
    std::string link;
    bool verbose = false;
};

// Returns 0 to run, 1 after --help, 2 on a bad command line.
int ParseOptions(int argc, char** argv, Options& options)
{
    SimSettings& s = options.settings;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--help" || name == "-h") {
            std::fputs(kUsage, stdout);
            return 1;
        }
        if (name == "--verbose") {
            options.verbose = true;
            continue;
        }
        static const char* const valued[] = {
            "--link", "--tau", "--viscosity", "--noise", "--torque-noise", "--thicken", "--reply-delay", "--seed", "--drop",
            "--corrupt", "--refuse", "--late", "--late-ms", "--garbage", "--disconnect-after"};
        if (std::find(std::begin(valued), std::end(valued), name) == std::end(valued)) {
            std::fprintf(stderr, "stirrer-sim: unknown option %s (see --help)\n", name.c_str());
            return 2;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "stirrer-sim: %s needs a value (see --help)\n", name.c_str());
            return 2;
        }
        const char* value = argv[++i];
        bool ok = true;
        if (name == "--link")
            options.link = value;
        else if (name == "--tau")
            ok = ParseNumber(value, s.timeConstantS) && s.timeConstantS >= 0;
        else if (name == "--viscosity")
            ok = ParseNumber(value, s.viscosity) && s.viscosity >= 0;
        else if (name == "--noise")
            ok = ParseNumber(value, s.noiseRpm) && s.noiseRpm >= 0;
        else if (name == "--torque-noise")
            ok = ParseNumber(value, s.torqueNoiseNcm) && std::isfinite(s.torqueNoiseNcm) && s.torqueNoiseNcm >= 0;
        else if (name == "--thicken")
            ok = SimThickening::Parse(value, s.thickening);
        else if (name == "--reply-delay")
            ok = ParseWhole(value, 0, INT_MAX, s.replyDelayMs);
        else if (name == "--seed")
            ok = ParseWhole(value, 0, 4294967295.0, s.seed);
        else if (name == "--drop")
            ok = ParseShare(value, s.faults.dropShare);
        else if (name == "--corrupt")
            ok = ParseShare(value, s.faults.corruptShare);
        else if (name == "--refuse")
            ok = ParseShare(value, s.faults.refuseShare);
        else if (name == "--late")
            ok = ParseShare(value, s.faults.lateShare);
        else if (name == "--late-ms")
            ok = ParseWhole(value, 0, INT_MAX, s.faults.lateMs);
        else if (name == "--garbage")
            ok = ParseShare(value, s.faults.garbageShare);
        else if (name == "--disconnect-after")
            ok = ParseNumber(value, s.faults.disconnectAfterS) && s.faults.disconnectAfterS >= 0;
        if (!ok) {
            std::fprintf(stderr, "stirrer-sim: bad value for %s: %s\n", name.c_str(), value);
            return 2;
        }
    }
    return 0;
}

bool PlaceLink(const std::string& link, const std::string& target)
{
    struct stat st{};
    if (lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            std::fprintf(stderr, "stirrer-sim: %s exists and is not a link; not replaced\n", link.c_str());
            return false;
        }
        unlink(link.c_str());
    }
    if (symlink(target.c_str(), link.c_str()) != 0) {
        std::fprintf(stderr, "stirrer-sim: cannot link %s: %s\n", link.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

void RemoveLink(const std::string& link, const std::string& target)
{
    char buffer[PATH_MAX];
    const ssize_t n = readlink(link.c_str(), buffer, sizeof buffer - 1);
    if (n > 0 && std::string(buffer, size_t(n)) == target)
        unlink(link.c_str());
}

void PrintFrames(const CStirrerSimulator& sim, size_t& printed)
{
    const std::vector<SimFrame> frames = sim.Frames();
    for (; printed < frames.size(); ++printed) {
        const SimFrame& f = frames[printed];
        std::printf("%s", f.valid ? "request:" : "bad frame:");
        for (auto b : f.bytes)
            std::printf(" %02X", b);
        std::printf("\n");
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    const int parsed = ParseOptions(argc, argv, options);
    if (parsed != 0)
        return parsed == 1 ? 0 : 2;

    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    CStirrerSimulator sim(options.settings);
    if (!sim.Start()) {
        std::fprintf(stderr, "stirrer-sim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    const std::string device = sim.SlavePath();
    if (!options.link.empty() && !PlaceLink(options.link, device))
        return 1;
    std::printf("%s\n", device.c_str());
    std::fflush(stdout);

    size_t printed = 0;
    int exitCode = 0;
    const timespec step{0, 200 * 1000 * 1000};
    for (;;) {
        if (sigtimedwait(&signals, nullptr, &step) > 0)
            break;
        if (options.verbose)
            PrintFrames(sim, printed);
        if (!sim.IsConnected()) {
            std::fprintf(stderr, "stirrer-sim: line disconnected\n");
            exitCode = 3;
            break;
        }
    }
    sim.Stop();
    // The frames of the last moments too: a stop sent just before the end.
    if (options.verbose)
        PrintFrames(sim, printed);
    if (!options.link.empty())
        RemoveLink(options.link, device);
    return exitCode;
}
