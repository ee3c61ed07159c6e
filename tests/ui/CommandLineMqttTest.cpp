// The broker options of a headless run.

#include "ui/CommandLine.h"

#include <gtest/gtest.h>

namespace {

const QStringList kRun = {"--headless", "--speed", "500", "--samples", "5"};

TEST(CommandLineMqttTest, OptionsFillTheBrokerSettings)
{
    const CCommandLine cl = CCommandLine::Parse(kRun + QStringList{"--mqtt", "mqtts://lab:8883", "--mqtt-prefix",
                                                                   "lab/s1", "--mqtt-credentials", "/etc/v/cred",
                                                                   "--mqtt-cafile", "/etc/v/ca.pem",
                                                                   "--mqtt-accept-stop"});
    ASSERT_TRUE(cl.IsValid()) << cl.Error().toStdString();
    EXPECT_EQ(cl.m_mqtt.strUrl, "mqtts://lab:8883");
    EXPECT_EQ(cl.m_mqtt.strPrefix, "lab/s1");
    EXPECT_EQ(cl.m_mqtt.strCredentialsPath, "/etc/v/cred");
    EXPECT_EQ(cl.m_mqtt.strCaFile, "/etc/v/ca.pem");
    EXPECT_TRUE(cl.m_mqtt.bAcceptStop);

    const CCommandLine plain = CCommandLine::Parse(kRun);
    ASSERT_TRUE(plain.IsValid());
    EXPECT_FALSE(plain.m_mqtt.IsEnabled());
    EXPECT_FALSE(plain.m_mqtt.bAcceptStop);
}

TEST(CommandLineMqttTest, WrongCombinationsAreUsageErrors)
{
    const std::pair<QStringList, const char*> cases[] = {
        {{"--mqtt", "mqtt://lab"}, "headless"},
        {kRun + QStringList{"--mqtt"}, "needs a value"},
        {kRun + QStringList{"--mqtt", ""}, "needs a value"},
        {kRun + QStringList{"--mqtt-prefix", "lab/s1"}, "needs --mqtt"},
        {kRun + QStringList{"--mqtt-accept-stop"}, "needs --mqtt"},
        {kRun + QStringList{"--mqtt-credentials", "f"}, "needs --mqtt"},
        {kRun + QStringList{"--mqtt", "mqtt://a", "--mqtt", "mqtt://b"}, "twice"},
        {QStringList{"--mqtt-accept-stop"}, "headless"},
    };
    for (const auto& [args, reason] : cases) {
        const CCommandLine cl = CCommandLine::Parse(args);
        EXPECT_FALSE(cl.IsValid()) << args.join(' ').toStdString();
        EXPECT_TRUE(cl.Error().contains(reason)) << args.join(' ').toStdString() << ": " << cl.Error().toStdString();
    }
}

TEST(CommandLineMqttTest, HelpNamesEveryBrokerOptionAndItsExitStatus)
{
    const QString usage = CCommandLine::Usage();
    for (const char* option : {"--mqtt URL", "--mqtt-prefix PREFIX", "--mqtt-credentials FILE", "--mqtt-cafile FILE",
                               "--mqtt-accept-stop", "cmd/stop", "chmod 600"})
        EXPECT_TRUE(usage.contains(option)) << option;
    EXPECT_TRUE(usage.contains("\n  78   headless: the --mqtt settings"));
}

}  // namespace
