// The line itself as another program on the same terminal sees it: settings
// and exclusive use.
#include "support/SimulatedStirrer.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A second descriptor on the port's terminal, as another program would hold.
class CommPortLine : public SimulatedStirrerTest {
protected:
    bool OpenPortInSetUp() const override { return false; }
    void SetUp() override
    {
        SimulatedStirrerTest::SetUp();
        other = ::open(sim->SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(other, 0);
    }
    void TearDown() override
    {
        if (other >= 0) ::close(other);
        SimulatedStirrerTest::TearDown();
    }
    int Exclusive() const
    {
        int exclusive = -1;
        EXPECT_EQ(ioctl(other, TIOCGEXCL, &exclusive), 0);
        return exclusive;
    }
    int other = -1;
};

}  // namespace

TEST_F(CommPortLine, ExclusiveUseEndsWithClose)
{
    ASSERT_EQ(Exclusive(), 0);
    ASSERT_TRUE(port->Open());
    EXPECT_EQ(Exclusive(), 1) << "nobody else may open the line while the program uses it";
    port->Close();
    EXPECT_EQ(Exclusive(), 0) << "the next program would be locked out";
    // Also when the instance goes away without an explicit Close.
    ASSERT_TRUE(port->Open());
    CCommPort::ReleaseInstance();
    port = nullptr;
    EXPECT_EQ(Exclusive(), 0);
}

TEST_F(CommPortLine, LineIsEightDataBitsNoParityOneStopBitAtTheRate)
{
    for (int baud : {9600, 19200, 1200}) {
        port->SetBaudRate(baud);
        ASSERT_TRUE(port->Open()) << baud;
        termios tio{};
        ASSERT_EQ(tcgetattr(other, &tio), 0);
        EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8)) << baud;
        EXPECT_EQ(tio.c_cflag & PARENB, 0u) << baud;
        EXPECT_EQ(tio.c_cflag & CSTOPB, 0u) << baud;
        EXPECT_EQ(tio.c_cflag & CRTSCTS, 0u) << baud;
        EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u) << baud;
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0u) << "raw: no line editing";
        const speed_t expected = baud == 9600 ? B9600 : baud == 19200 ? B19200 : B1200;
        EXPECT_EQ(cfgetospeed(&tio), expected) << baud;
        EXPECT_EQ(cfgetispeed(&tio), expected) << baud;
        port->Close();
    }
}
