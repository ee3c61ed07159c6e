#include "ui/BuildVersion.h"
#include "ui/CommandLine.h"

#include <climits>
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

TEST(CommandLineTest, HeadlessRunOptions)
{
    const CCommandLine cl = CCommandLine::Parse(
        {"--headless", "--port", "/tmp/stirrer", "--speed", "2200", "--duration", "1.5", "--save", "run.xls"});
    ASSERT_TRUE(cl.IsValid()) << cl.Error().toStdString();
    EXPECT_TRUE(cl.m_bHeadless);
    EXPECT_EQ(cl.m_nSpeed, 2200);
    EXPECT_EQ(cl.m_nDurationMs, 1500);
    EXPECT_EQ(cl.m_nSamples, 0);
    EXPECT_EQ(cl.m_strSave, "run.xls");
    EXPECT_EQ(cl.m_strPort, "/tmp/stirrer");

    const CCommandLine bySamples = CCommandLine::Parse({"--samples", "12", "--speed", "49", "--headless"});
    ASSERT_TRUE(bySamples.IsValid()) << bySamples.Error().toStdString();
    EXPECT_EQ(bySamples.m_nSamples, 12);
    EXPECT_EQ(bySamples.m_nDurationMs, 0);
    // Out-of-range speeds are the run's to refuse (string 109), even huge ones.
    EXPECT_EQ(bySamples.m_nSpeed, 49);
    EXPECT_EQ(CCommandLine::Parse({"--headless", "--speed", "99999999999", "--samples", "1"}).m_nSpeed, INT_MAX);
    EXPECT_EQ(CCommandLine::Parse({"--headless", "--speed", "-99999999999", "--samples", "1"}).m_nSpeed, INT_MIN);
}

TEST(CommandLineTest, HeadlessOptionsThatDoNotFitAreRefused)
{
    const QStringList cases[] = {
        {"--headless", "--samples", "3"},                                  // no speed
        {"--headless", "--speed", "200"},                                  // neither end
        {"--headless", "--speed", "200", "--samples", "3", "--duration", "5"},
        {"--speed", "200", "--samples", "3"},                              // not headless
        {"--save", "run.xls"},
        {"--headless", "--speed", "fast", "--samples", "3"},
        {"--headless", "--speed", "", "--samples", "3"},
        {"--headless", "--speed", "20.5", "--samples", "3"},
        {"--headless", "--speed", "200", "--samples", "0"},
        {"--headless", "--speed", "200", "--samples", "-1"},
        {"--headless", "--speed", "200", "--duration", "0"},
        {"--headless", "--speed", "200", "--duration", "-5"},
        {"--headless", "--speed", "200", "--duration", "inf"},
        {"--headless", "--speed", "200", "--duration", "nan"},
        {"--headless", "--speed", "200", "--duration", "1e12"},
        {"--headless", "--speed", "200", "--duration", "soon"},
        {"--headless", "--speed", "200", "--samples", "3", "--save", ""},
        {"--headless", "--speed", "200", "--samples", "3", "--save"},
        {"--headless", "--speed", "200", "--speed", "300", "--samples", "3"},
        {"--headless", "--speed", "200", "--samples", "3", "--send-state", "0", "0"},
    };
    for (const QStringList& args : cases) {
        const CCommandLine cl = CCommandLine::Parse(args);
        EXPECT_FALSE(cl.IsValid()) << args.join(' ').toStdString();
        EXPECT_FALSE(cl.Error().isEmpty());
    }
    EXPECT_TRUE(CCommandLine::Parse({"--headless", "--help"}).m_bHelp);
    EXPECT_TRUE(CCommandLine::Parse({"--speed", "200", "--version"}).m_bVersion);
}

TEST(CommandLineTest, HelpDocumentsEveryOptionAndExitStatus)
{
    const QString usage = CCommandLine::Usage();
    for (const char* option : {"--port NAME", "--baud N", "--send-state MOTOR STATUS", "--help", "--version", "--list-ports",
                               "--headless", "--speed RPM", "--duration SECONDS", "--samples N", "--save FILE"})
        EXPECT_TRUE(usage.contains(option)) << option;
    for (const char* status : {"\n  0 ", "\n  1 ", "\n  2 ", "\n  3 ", "\n  4 ", "\n  5 ", "\n  64 ", "130, 143"})
        EXPECT_TRUE(usage.contains(status)) << status;
}

TEST(CommandLineTest, ListPortsStandsAlone)
{
    EXPECT_TRUE(CCommandLine::Parse({"--list-ports"}).m_bListPorts);
    EXPECT_TRUE(CCommandLine::Parse({"--list-ports"}).IsValid());
    EXPECT_FALSE(CCommandLine::Parse({}).m_bListPorts);
    for (const QStringList& args : {QStringList{"--list-ports", "--send-state", "0", "0"},
                                    QStringList{"--list-ports", "--headless", "--speed", "100", "--samples", "1"},
                                    QStringList{"--list-ports", "--list-ports"}})
        EXPECT_FALSE(CCommandLine::Parse(args).IsValid()) << args.join(' ').toStdString();
}

TEST(CommandLineTest, VersionIsTheBuildsVersion)
{
    const QString version = CCommandLine::Version();
    EXPECT_EQ(version, QStringLiteral("vantoc ") + QString::fromUtf8(vantoc::BuildVersion()));
    // Whatever git says, the project's major version leads.
    EXPECT_TRUE(version.startsWith("vantoc 1.")) << version.toStdString();
}
