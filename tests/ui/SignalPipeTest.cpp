#include "ui/SignalPipe.h"

#include <QSignalSpy>
#include <csignal>
#include <gtest/gtest.h>
#include <set>
#include <unistd.h>

namespace {

sighandler_t Handler(int number)
{
    struct sigaction current {};
    sigaction(number, nullptr, &current);
    return current.sa_handler;
}

TEST(SignalPipeTest, SignalsArriveInTheEventLoopAndHandlersComeBack)
{
    const sighandler_t before = std::signal(SIGUSR1, SIG_DFL);
    {
        CSignalPipe pipe({SIGUSR1, SIGUSR2});
        ASSERT_TRUE(pipe.IsValid());
        EXPECT_FALSE(CSignalPipe({SIGUSR1}).IsValid()) << "a second instance must not steal the handlers";
        QSignalSpy spy(&pipe, &CSignalPipe::signalled);
        kill(getpid(), SIGUSR2);
        std::raise(SIGUSR1);
        std::raise(SIGUSR1);
        while (spy.count() < 3 && spy.wait(5000)) {}
        ASSERT_EQ(spy.count(), 3);
        std::multiset<int> numbers;
        for (const QList<QVariant>& args : spy) numbers.insert(args[0].toInt());
        EXPECT_EQ(numbers, (std::multiset<int>{SIGUSR1, SIGUSR1, SIGUSR2}));
    }
    EXPECT_EQ(Handler(SIGUSR1), SIG_DFL);
    EXPECT_EQ(Handler(SIGUSR2), SIG_DFL);
    std::signal(SIGUSR1, before);
}

TEST(SignalPipeTest, IgnoredSignalStaysIgnored)
{
    const sighandler_t before = std::signal(SIGHUP, SIG_IGN);
    {
        CSignalPipe pipe({SIGHUP, SIGUSR2});
        EXPECT_EQ(pipe.Signals(), std::vector<int>{SIGUSR2});
        EXPECT_EQ(Handler(SIGHUP), SIG_IGN);
    }
    std::signal(SIGHUP, before);
}

}  // namespace
