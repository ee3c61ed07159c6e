#include "ui/CommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(JournalCommandLineTest, JournalOptionsAreTaken)
{
    const CCommandLine window = CCommandLine::Parse({"--journal-dir", "/srv/runs", "--note", "batch 7"});
    ASSERT_TRUE(window.IsValid()) << window.Error().toStdString();
    EXPECT_EQ(window.m_strJournalDir, "/srv/runs");
    EXPECT_EQ(window.m_strNote, "batch 7");
    EXPECT_FALSE(window.m_bNoJournal);

    const CCommandLine headless =
        CCommandLine::Parse({"--headless", "--speed", "300", "--samples", "3", "--no-journal", "--note", ""});
    ASSERT_TRUE(headless.IsValid()) << headless.Error().toStdString();
    EXPECT_TRUE(headless.m_bNoJournal);

    const CCommandLine list = CCommandLine::Parse({"--journals", "--journal-dir", "/srv/runs"});
    ASSERT_TRUE(list.IsValid()) << list.Error().toStdString();
    EXPECT_TRUE(list.m_bJournals);

    const CCommandLine exp = CCommandLine::Parse({"--export-journal", "a.vrun", "--out", "a.xls"});
    ASSERT_TRUE(exp.IsValid()) << exp.Error().toStdString();
    EXPECT_EQ(exp.m_strExportJournal, "a.vrun");
    EXPECT_EQ(exp.m_strOut, "a.xls");
}

TEST(JournalCommandLineTest, CombinationsThatMakeNoSenseAreRefused)
{
    const QList<QStringList> wrong = {
        {"--no-journal", "--journal-dir", "/tmp"},
        {"--export-journal", "a.vrun"},
        {"--out", "a.xls"},
        {"--journals", "--export-journal", "a.vrun", "--out", "a.xls"},
        {"--journals", "--headless", "--speed", "300", "--samples", "2"},
        {"--journals", "--port", "COM1"},
        {"--export-journal", "a.vrun", "--out", "a.xls", "--note", "x"},
        {"--journal-dir"},
        {"--journal-dir", ""},
        {"--export-journal", "", "--out", "a.xls"},
        {"--journals", "--journals"},
    };
    for (const QStringList& args : wrong) {
        const CCommandLine cl = CCommandLine::Parse(args);
        EXPECT_FALSE(cl.IsValid()) << args.join(' ').toStdString();
        EXPECT_FALSE(cl.Error().isEmpty());
    }
}

TEST(JournalCommandLineTest, HelpDocumentsTheJournalOptionsAndExit65)
{
    const QString usage = CCommandLine::Usage();
    for (const char* text : {"--journal-dir DIR", "--no-journal", "--note TEXT", "--journals",
                             "--export-journal FILE --out RUN.xls", "SIGUSR1", "\n  65 "})
        EXPECT_TRUE(usage.contains(text)) << text;
    EXPECT_EQ(CCommandLine::kDataExit, 65);
}

}  // namespace
