#include "ui/SignalPipe.h"

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The write end for the handler; -1 while no instance is active.
std::atomic<int> g_writeFd{-1};

extern "C" void WriteSignalNumber(int signalNumber)
{
    const int savedErrno = errno;
    const int fd = g_writeFd.load();
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(signalNumber);
        // A full pipe drops the number: enough of them are already waiting.
        [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

}  // namespace

CSignalPipe::CSignalPipe(const std::vector<int>& signalNumbers, QObject* parent) : QObject(parent)
{
    if (g_writeFd.load() >= 0 || pipe2(m_fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    m_notifier = std::make_unique<QSocketNotifier>(m_fds[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &CSignalPipe::OnReadable);
    g_writeFd.store(m_fds[1]);

    struct sigaction action {};
    action.sa_handler = WriteSignalNumber;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls resume; the serial layer retries those that do not.
    action.sa_flags = SA_RESTART;
    for (int number : signalNumbers) {
        struct sigaction previous {};
        if (sigaction(number, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) continue;
        if (sigaction(number, &action, nullptr) == 0) m_previous.emplace_back(number, previous);
    }
    m_bValid = true;
}

CSignalPipe::~CSignalPipe()
{
    for (const auto& [number, previous] : m_previous) sigaction(number, &previous, nullptr);
    if (m_bValid) g_writeFd.store(-1);
    m_notifier.reset();
    for (int fd : m_fds)
        if (fd >= 0) ::close(fd);
}

std::vector<int> CSignalPipe::Signals() const
{
    std::vector<int> numbers;
    for (const auto& entry : m_previous) numbers.push_back(entry.first);
    return numbers;
}

void CSignalPipe::OnReadable()
{
    unsigned char numbers[64];
    ssize_t n = 0;
    while ((n = ::read(m_fds[0], numbers, sizeof numbers)) > 0 || (n < 0 && errno == EINTR)) {
        for (ssize_t i = 0; i < n; ++i) emit signalled(numbers[i]);
    }
}
