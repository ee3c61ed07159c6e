#include "FakeClock.h"
#include "run/BadLines.h"
#include "run/JournalWriter.h"
#include "run/OpenedRun.h"
#include "run/RunSummary.h"
#include "run/SaveFileReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class OpenedRunTest : public ::testing::Test
{
protected:
    QString WriteFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }

    // A finished journal: Start, samples 1..n (speed 100 + i, torque i),
    // an event after sample eventAfter, Stop.
    QString MakeJournal(int n, int eventAfter = -1, const QString& eventText = QString())
    {
        CJournalWriter writer(clock);
        SJournalHeader h;
        h.strProgram = "vantoc 1.0.0";
        h.strOperator = "Ana";
        h.strPort = "/dev/ttyUSB0";
        h.nSetPoint = 300;
        EXPECT_TRUE(writer.Open(dir.path(), h, nullptr));
        writer.AppendEvent("Start", 300);
        for (int i = 1; i <= n; ++i) {
            clock.Advance(1000);
            writer.AppendSample(i, 300, 100 + i, i);
            if (i == eventAfter) writer.AppendEvent(eventText, 300);
        }
        clock.Advance(500);
        writer.AppendEvent("Stop", 300);
        writer.Finish("stopped");
        return writer.Path();
    }

    static const char* const kTitles;
    CFakeClock clock;
    QTemporaryDir dir;
};

const char* const OpenedRunTest::kTitles = "Time(S)\tSpeed(rpm)\tTorque(Ncm)\r\n";

TEST_F(OpenedRunTest, SaveFileGivesItsRowsInOrder)
{
    const QString path =
        WriteFile("run.xls", QByteArray(kTitles) + "1\t290\t3\r\n2\t300\t-4\r\n3\t2199\t12\r\n");
    const COpenedRun run = COpenedRun::Load(path);
    EXPECT_EQ(run.Kind(), COpenedRun::EKind::SaveFile);
    EXPECT_EQ(run.FileName(), QStringLiteral("run.xls"));
    ASSERT_EQ(run.Samples().size(), 3u);
    EXPECT_EQ(run.Samples()[0].nSpeed, 290);
    EXPECT_EQ(run.Samples()[1].nTorque, -4);
    EXPECT_EQ(run.Samples()[2].nSpeed, 2199);
    EXPECT_EQ(run.Samples()[2].nTorque, 12);
    EXPECT_TRUE(run.BadLines().IsEmpty());
    EXPECT_LT(run.DurationSeconds(), 0) << "a Save file keeps no times";
}

TEST_F(OpenedRunTest, SaveFileBadLinesAreSkippedAndNamedByLineNumber)
{
    // Line 1 titles; 3 letters, 4 two fields, 5 overlong, 7 a float, last line torn.
    QByteArray bytes = QByteArray(kTitles) + "1\t10\t1\r\n" + "x\ty\tz\r\n" + "2\t20\r\n"
        + QByteArray(400, '7') + "\r\n" + "3\t30\t3\n" + "4\t40\t4.5\r\n" + "5\t50\t5\r\n" + "6\t6";
    const COpenedRun run = COpenedRun::Load(WriteFile("bad.xls", bytes));
    ASSERT_EQ(run.Samples().size(), 3u);
    EXPECT_EQ(run.Samples()[1].nSpeed, 30) << "a bare LF line end is taken";
    EXPECT_EQ(run.Samples()[2].nSpeed, 50);
    EXPECT_EQ(run.BadLines().Count(), 5);
    EXPECT_EQ(run.BadLines().Numbers(), (std::vector<qint64>{3, 4, 5, 7, 9}));
    EXPECT_EQ(run.BadLines().Text(), QStringLiteral("5 lines could not be read: 3, 4, 5, 7, 9"));
}

TEST_F(OpenedRunTest, FilesWithoutARunAreRefusedWithTheirName)
{
    const struct {
        const char* name;
        QByteArray bytes;
    } rows[] = {
        {"empty.xls", QByteArray()},
        {"numbers.xls", "1\t2\t3\r\n4\t5\t6\r\n"},
        {"text.txt", "hello world\n"},
        {"binary.bin", QByteArray("\x00\x01\x02\xff\xfe", 5)},
        {"journal2.vrun", "# format: vantoc-journal 2\nsample\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = WriteFile(row.name, row.bytes);
        try {
            COpenedRun::Load(path);
            ADD_FAILURE() << "opened";
        } catch (const CRunFileError& e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(path)) << e.what();
        }
    }
    EXPECT_THROW(COpenedRun::Load(dir.filePath("missing.xls")), CRunFileError);
    EXPECT_THROW(COpenedRun::Load(dir.path()), CRunFileError);
}

TEST_F(OpenedRunTest, JournalGivesSamplesHeaderEventsAndDuration)
{
    const COpenedRun run = COpenedRun::Load(MakeJournal(10, 4, "Mark 1"));
    EXPECT_EQ(run.Kind(), COpenedRun::EKind::Journal);
    ASSERT_EQ(run.Samples().size(), 10u);
    EXPECT_EQ(run.Samples()[3].nSpeed, 104);
    EXPECT_EQ(run.Samples()[3].nElapsedMs, 4000);
    EXPECT_EQ(run.Header("operator"), QStringLiteral("Ana"));
    EXPECT_EQ(run.Header("port"), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_TRUE(run.Header("start").startsWith("2026-12-07T14:16:45.123"));
    ASSERT_EQ(run.Events().size(), 3u);
    EXPECT_EQ(run.Events()[1].strText, QStringLiteral("Mark 1"));
    EXPECT_EQ(run.Events()[1].nAfterSamples, 4);
    EXPECT_DOUBLE_EQ(run.DurationSeconds(), 10.5);
    EXPECT_TRUE(run.EndText().endsWith("stopped"));
}

TEST_F(OpenedRunTest, JournalBadLinesCarryTheirLineNumbers)
{
    const QString path = MakeJournal(3);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    // Garbage in place of the first sample row, one more before the end line.
    const int firstSample = int(lines.indexOf(QByteArray("sample\telapsed_s\ttime\tsetpoint_rpm\tspeed_rpm\ttorque_Ncm\tevent"))) + 2;
    ASSERT_GT(firstSample, 2);
    lines[firstSample] = "garbage";
    lines.insert(lines.size() - 2, "1\t2\t3");
    WriteFile(QFileInfo(path).fileName(), lines.join('\n'));
    const COpenedRun run = COpenedRun::Load(path);
    EXPECT_EQ(run.Samples().size(), 2u);
    EXPECT_EQ(run.BadLines().Numbers(), (std::vector<qint64>{firstSample + 1, qint64(lines.size()) - 2}));
}

TEST(BadLinesText, NamesFewAndCountsTheRest)
{
    const struct {
        std::vector<qint64> numbers;
        const char* text;
    } rows[] = {
        {{}, ""},
        {{17}, "1 line could not be read: 17"},
        {{17, 18, 244}, "3 lines could not be read: 17, 18, 244"},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, "12 lines could not be read: 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 and 2 more"},
    };
    for (const auto& row : rows) {
        CBadLines bad;
        for (qint64 n : row.numbers) bad.Add(n);
        EXPECT_EQ(bad.Text(), QString::fromUtf8(row.text));
    }
}

TEST(BadLinesText, KeepsFewNumbersOfAMillionBadLines)
{
    CBadLines bad;
    for (qint64 n = 1; n <= 1'000'000; ++n) bad.Add(n);
    EXPECT_EQ(bad.Count(), 1'000'000);
    EXPECT_EQ(int(bad.Numbers().size()), CBadLines::kKept);
    EXPECT_TRUE(bad.Text().endsWith("and 999990 more"));
}

TEST(SaveFileRows, OnlyThreeWholeNumbersAreARow)
{
    const struct {
        const char* line;
        bool ok;
    } rows[] = {
        {"1\t2\t3", true},   {"12\t-5\t-7", true}, {"1\t2\t", false},  {"1\t2", false},
        {"1\t2\t3\t4", false}, {" 1\t2\t3", false}, {"1\t2\t3x", false}, {"\t2\t3", false},
        {"1\t99999999999\t3", false}, {"", false},
    };
    for (const auto& row : rows) {
        long long n = 0;
        int speed = 0, torque = 0;
        EXPECT_EQ(CSaveFileReader::ParseRow(row.line, int(strlen(row.line)), &n, &speed, &torque), row.ok) << row.line;
    }
}

TEST_F(OpenedRunTest, SummaryGivesStatsAndTheTorqueChangeSinceTheLastTare)
{
    // Torques 1..10; a tare of 2.5 Ncm after sample 4: Δ at the end 10 - 2.5.
    const CRunSummary named = CRunSummary::Of(COpenedRun::Load(MakeJournal(10, 4, "Tare 2.5 Ncm")));
    EXPECT_EQ(named.Samples(), 10);
    ASSERT_TRUE(named.Speed() && named.Torque());
    EXPECT_DOUBLE_EQ(named.Speed()->dMin, 101);
    EXPECT_DOUBLE_EQ(named.Speed()->dMean, 105.5);
    EXPECT_DOUBLE_EQ(named.Speed()->dMax, 110);
    EXPECT_DOUBLE_EQ(named.Torque()->dMean, 5.5);
    ASSERT_TRUE(named.DeltaTorque());
    EXPECT_DOUBLE_EQ(*named.DeltaTorque(), 7.5);

    // Without a value: the mean of the five samples before it (2..6 → 4).
    const CRunSummary unnamed = CRunSummary::Of(COpenedRun::Load(MakeJournal(10, 6, "tare")));
    ASSERT_TRUE(unnamed.Tare());
    EXPECT_DOUBLE_EQ(*unnamed.Tare(), 4);
    EXPECT_DOUBLE_EQ(*unnamed.DeltaTorque(), 6);

    const CRunSummary none = CRunSummary::Of(COpenedRun::Load(MakeJournal(10, 6, "Mark tare later")));
    EXPECT_FALSE(none.DeltaTorque());
}

TEST(RunSummaryTare, EventTextsAndTheirValues)
{
    EXPECT_TRUE(CRunSummary::IsTareEvent("Tare"));
    EXPECT_TRUE(CRunSummary::IsTareEvent("tare 3 Ncm"));
    EXPECT_FALSE(CRunSummary::IsTareEvent("Mark 1"));
    EXPECT_FALSE(CRunSummary::IsTareEvent("Taret"));
    EXPECT_EQ(CRunSummary::TareValue("Tare 12.4 Ncm"), 12.4);
    EXPECT_EQ(CRunSummary::TareValue("Tare (mean of 5): -3 Ncm"), -3.0);
    EXPECT_FALSE(CRunSummary::TareValue("Tare of 5 samples"));
}

TEST_F(OpenedRunTest, EmptyRunHasNoStats)
{
    const CRunSummary summary = CRunSummary::Of(COpenedRun::Load(WriteFile("none.xls", kTitles)));
    EXPECT_EQ(summary.Samples(), 0);
    EXPECT_FALSE(summary.Speed());
    EXPECT_FALSE(summary.DeltaTorque());
}

}  // namespace
