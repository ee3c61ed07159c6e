#include "ui/CommandLine.h"

#include <gtest/gtest.h>

TEST(CommandLineTest, PortAndBaudPreselect)
{
    const CCommandLine cl = CCommandLine::Parse({"--port", "/tmp/stirrer", "--baud", "19200"});
    ASSERT_TRUE(cl.IsValid()) << cl.Error().toStdString();
    EXPECT_EQ(cl.m_strPort, "/tmp/stirrer");
    EXPECT_EQ(cl.m_strBaud, "19200");
    EXPECT_FALSE(cl.m_bSendState);
    EXPECT_TRUE(CCommandLine::Parse({}).m_strPort.isEmpty());
}

TEST(CommandLineTest, SendStateTakesTwoNumbers)
{
    const CCommandLine cl = CCommandLine::Parse({"--send-state", "0", "-3"});
    ASSERT_TRUE(cl.IsValid());
    EXPECT_TRUE(cl.m_bSendState);
    EXPECT_EQ(cl.m_nMotor, 0);
    EXPECT_EQ(cl.m_nStatus, -3);
}

TEST(CommandLineTest, WrongOptionsAreRefused)
{
    const QStringList cases[] = {
        {"--port"},
        {"--baud", "fast"},
        {"--baud", "0"},
        {"--send-state", "1"},
        {"--send-state", "x", "0"},
        {"--send-state", "0", "0", "--port", "COM1"},
        {"--colour"},
        {"COM1"},
    };
    for (const QStringList& args : cases) {
        const CCommandLine cl = CCommandLine::Parse(args);
        EXPECT_FALSE(cl.IsValid()) << args.join(' ').toStdString();
        EXPECT_FALSE(cl.Error().isEmpty());
    }
    EXPECT_TRUE(CCommandLine::Parse({"--help"}).m_bHelp);
    EXPECT_TRUE(CCommandLine::Parse({"--version"}).m_bVersion);
    EXPECT_TRUE(CCommandLine::Usage().contains("--send-state MOTOR STATUS"));
}
