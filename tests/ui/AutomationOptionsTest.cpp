#include "ui/CommandLine.h"
#include "ui/HeadlessRun.h"

#include <gtest/gtest.h>

namespace {

TEST(AutomationOptionsTest, ProgramLimitsAndRulesAreRead)
{
    const CCommandLine cl = CCommandLine::Parse({"--headless", "--program", "recipe.txt", "--max-torque", "45.5",
                                                 "--link-timeout", "3", "--max-speed", "1500", "--tare",
                                                 "--end-on-plateau", "0.5:5m", "--end-on-torque", "23",
                                                 "--min-time", "1:30:00", "--trend-window", "2m"});
    ASSERT_TRUE(cl.IsValid()) << cl.Error().toStdString();
    const CAutomationOptions& a = cl.m_automation;
    EXPECT_EQ(a.strProgram, "recipe.txt");
    EXPECT_DOUBLE_EQ(a.dMaxTorqueNcm, 45.5);
    EXPECT_DOUBLE_EQ(a.dLinkTimeoutS, 3);
    EXPECT_EQ(a.nMaxSpeed, 1500);
    EXPECT_TRUE(a.bTare);
    EXPECT_TRUE(a.bPlateau);
    EXPECT_DOUBLE_EQ(a.dPlateauRate, 0.5);
    EXPECT_DOUBLE_EQ(a.dPlateauS, 300);
    EXPECT_DOUBLE_EQ(a.dEndTorqueNcm, 23);
    EXPECT_DOUBLE_EQ(a.dMinTimeS, 5400);
    EXPECT_DOUBLE_EQ(a.dTrendWindowS, 120);
    // A program needs no end of its own; either end may still cut it short.
    EXPECT_EQ(cl.m_nSamples, 0);
    EXPECT_EQ(cl.m_nDurationMs, 0);
    EXPECT_TRUE(CCommandLine::Parse({"--headless", "--program", "p", "--samples", "5"}).IsValid());
    EXPECT_TRUE(CCommandLine::Parse({"--headless", "--program", "p", "--duration", "60"}).IsValid());
    // The limits serve a plain run as well.
    const CCommandLine plain =
        CCommandLine::Parse({"--headless", "--speed", "300", "--samples", "9", "--max-torque", "20", "--tare"});
    ASSERT_TRUE(plain.IsValid()) << plain.Error().toStdString();
    EXPECT_TRUE(plain.m_automation.strProgram.isEmpty());
    EXPECT_EQ(CHeadlessRun::FromCommandLine(plain).automation.dMaxTorqueNcm, 20);
}

TEST(AutomationOptionsTest, WrongValuesAndCombinationsAreRefusedWithTheirReason)
{
    struct SCase {
        QStringList args;
        const char* error;
    };
    const QStringList run = {"--headless", "--speed", "300", "--samples", "5"};
    const SCase cases[] = {
        {{"--headless", "--program", "p", "--speed", "300"}, "--program and --speed do not go together"},
        {{"--headless", "--program", "p", "--samples", "3", "--duration", "5"}, "--duration and --samples do not go together"},
        {{"--headless", "--samples", "3"}, "--headless needs --speed RPM or --program FILE"},
        {{"--headless", "--program", ""}, "--program needs a file name"},
        {{"--headless", "--program"}, "--program needs a value"},
        {{"--program", "p"}, "--program belongs to a headless run: add --headless"},
        {{"--tare"}, "--tare belongs to a headless run: add --headless"},
        {run + QStringList{"--max-torque", "0"}, "--max-torque needs a torque in Ncm above 0, not \"0\""},
        {run + QStringList{"--max-torque", "-3"}, "--max-torque needs a torque in Ncm above 0, not \"-3\""},
        {run + QStringList{"--max-torque", "nan"}, "--max-torque needs a torque in Ncm above 0, not \"nan\""},
        {run + QStringList{"--max-torque", "1e9"}, "--max-torque needs a torque in Ncm above 0, not \"1e9\""},
        {run + QStringList{"--end-on-torque", "lots"}, "--end-on-torque needs a torque in Ncm above 0, not \"lots\""},
        {run + QStringList{"--link-timeout", "0"}, "--link-timeout needs a number of seconds from 2 to 86400, not \"0\""},
        {run + QStringList{"--link-timeout", "1.5"}, "--link-timeout needs a number of seconds from 2 to 86400, not \"1.5\""},
        {run + QStringList{"--link-timeout", "soon"}, "--link-timeout needs a number of seconds from 2 to 86400, not \"soon\""},
        {run + QStringList{"--max-speed", "49"}, "--max-speed needs a whole number of rpm from 50 to 2200, not \"49\""},
        {run + QStringList{"--max-speed", "2201"}, "--max-speed needs a whole number of rpm from 50 to 2200, not \"2201\""},
        {run + QStringList{"--max-speed", "1000.5"}, "--max-speed needs a whole number of rpm from 50 to 2200, not \"1000.5\""},
        {run + QStringList{"--end-on-plateau", "0.5"}, "--end-on-plateau needs RATE:WINDOW"},
        {run + QStringList{"--end-on-plateau", "0.5:0"}, "--end-on-plateau needs RATE:WINDOW"},
        {run + QStringList{"--end-on-plateau", "-1:5m"}, "--end-on-plateau needs RATE:WINDOW"},
        {run + QStringList{"--min-time", "a while"}, "--min-time needs a duration"},
        {run + QStringList{"--min-time", "5m"}, "--min-time holds back an end-point rule"},
        {run + QStringList{"--trend-window", "30"}, "--trend-window belongs to --end-on-plateau"},
        {run + QStringList{"--end-on-plateau", "1:5m", "--trend-window", "0"}, "--trend-window needs a duration above 0"},
        {run + QStringList{"--end-on-plateau", "1:5m", "--trend-window", "2h"}, "--trend-window needs a duration above 0"},
        {run + QStringList{"--tare", "--tare"}, "--tare is given twice"},
        {run + QStringList{"--max-torque", "5", "--max-torque", "6"}, "--max-torque is given twice"},
    };
    for (const SCase& c : cases) {
        const CCommandLine cl = CCommandLine::Parse(c.args);
        EXPECT_FALSE(cl.IsValid()) << c.args.join(' ').toStdString();
        EXPECT_TRUE(cl.Error().startsWith(QString::fromUtf8(c.error)))
            << c.args.join(' ').toStdString() << ": " << cl.Error().toStdString();
    }
}

TEST(AutomationOptionsTest, HelpDocumentsTheOptionsAndTheirStatuses)
{
    const QString usage = CCommandLine::Usage();
    for (const char* option : {"--program FILE", "--max-torque NCM", "--link-timeout SECONDS", "--max-speed RPM",
                               "--tare", "--end-on-plateau RATE:WINDOW", "--end-on-torque NCM", "--min-time DURATION",
                               "--trend-window DURATION"})
        EXPECT_TRUE(usage.contains(option)) << option;
    for (const char* status : {"\n  6    headless: --max-torque", "\n  7    headless: no valid reply",
                               "headless: the --program file", "\n  78 "})
        EXPECT_TRUE(usage.contains(status)) << status;
    EXPECT_FALSE(usage.contains("%1"));
}

}  // namespace
