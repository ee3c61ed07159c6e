#include "run/JournalFormat.h"

#include <gtest/gtest.h>

namespace {

TEST(JournalFormatTest, WallTimeAndFileStem)
{
    struct Case {
        qint64 ms;
        int offset;
        const char* text;
        const char* stem;
    };
    const Case cases[] = {
        {1796649405123, 0, "2026-12-07T13:16:45.123+00:00", "20261207-131645"},
        {1796649405123, 3600, "2026-12-07T14:16:45.123+01:00", "20261207-141645"},
        {1796649405123, -19800, "2026-12-07T07:46:45.123-05:30", "20261207-074645"},
        {1796649405123, 11 * 3600, "2026-12-08T00:16:45.123+11:00", "20261208-001645"},
        {951825600000, 0, "2000-02-29T12:00:00.000+00:00", "20000229-120000"},
        {0, 0, "1970-01-01T00:00:00.000+00:00", "19700101-000000"},
        {-1, 0, "1969-12-31T23:59:59.999+00:00", "19691231-235959"},
    };
    for (const Case& c : cases) {
        const SWallTime t{c.ms, c.offset};
        EXPECT_EQ(CJournalFormat::WallTime(t), QByteArray(c.text)) << c.ms << " " << c.offset;
        EXPECT_EQ(CJournalFormat::FileStem(t), QString::fromLatin1(c.stem));
        SWallTime back;
        ASSERT_TRUE(CJournalFormat::ParseWallTime(c.text, int(strlen(c.text)), &back)) << c.text;
        EXPECT_EQ(back.nMsSinceEpoch, c.ms);
        EXPECT_EQ(back.nUtcOffsetS, c.offset);
    }
}

TEST(JournalFormatTest, WallTimeParsingRefusesWhatIsNotPrintedSo)
{
    for (const char* text : {"2026-02-30T10:00:00.000+00:00", "2026-13-01T10:00:00.000+00:00",
                             "2026-12-07T24:00:00.000+00:00", "2026-12-07T13:16:45.123Z", "2026-12-07 13:16:45.123+00:00",
                             "2026-12-07T13:16:45.12+00:00", "2026-12-07T13:16:45.123+25:00", "2026-1x-07T13:16:45.123+00:00"}) {
        SWallTime t;
        EXPECT_FALSE(CJournalFormat::ParseWallTime(text, int(strlen(text)), &t)) << text;
    }
}

TEST(JournalFormatTest, RowsAsWritten)
{
    const SWallTime wall{1796649405123, 3600};
    char buf[CJournalFormat::kMaxLine];
    const int n = CJournalFormat::SampleLine(buf, 7, 6012, wall, 300, 298, 12);
    EXPECT_EQ(QByteArray(buf, n), "7\t6.012\t2026-12-07T14:16:45.123+01:00\t300\t298\t12\t\n");
    EXPECT_EQ(CJournalFormat::EventLine(61, wall, 300, "Start"),
              "\t0.061\t2026-12-07T14:16:45.123+01:00\t300\t\t\tStart\n");
    // A note cannot break the row or turn into a comment.
    EXPECT_EQ(CJournalFormat::EventLine(0, wall, 0, "a\tb\nc #4"),
              QByteArray("\t0.000\t2026-12-07T14:16:45.123+01:00\t0\t\t\ta b c ") + "\xEF\xBC\x83" + "4\n");
    EXPECT_EQ(CJournalFormat::EndLine(wall, "stopped"), "# end: 2026-12-07T14:16:45.123+01:00 stopped\n");
    EXPECT_EQ(CJournalFormat::CleanText(QString(300, QLatin1Char('x'))).size(), CJournalFormat::kMaxEventChars);
}

TEST(JournalFormatTest, HeaderIsCommentsThenTheColumnLine)
{
    SJournalHeader h;
    h.strProgram = "vantoc 1.0.0";
    h.strHost = "lab";
    h.strUser = "ana";
    h.strPort = "/dev/ttyUSB0";
    h.nBaud = 9600;
    h.nSetPoint = 300;
    h.strOperator = "Ana";
    h.strNote = "line\nbreak";
    EXPECT_EQ(CJournalFormat::HeaderLines(h, {1796649405123, 0}),
              "# format: vantoc-journal 1\n# program: vantoc 1.0.0\n# start: 2026-12-07T13:16:45.123+00:00\n"
              "# host: lab\n# user: ana\n# port: /dev/ttyUSB0\n# baud: 9600\n# setpoint_rpm: 300\n"
              "# operator: Ana\n# sample: \n# note: line break\n"
              "sample\telapsed_s\ttime\tsetpoint_rpm\tspeed_rpm\ttorque_Ncm\tevent\n");
}

TEST(JournalFormatTest, ParseAcceptsExactlyTheWrittenRows)
{
    const SWallTime wall{1796649405123, -18000};
    char buf[CJournalFormat::kMaxLine];
    const int n = CJournalFormat::SampleLine(buf, 12, 11000, wall, 2199, -3, 65535);
    const SJournalLine s = CJournalFormat::ParseRow(buf, n - 1);
    ASSERT_EQ(s.eKind, SJournalLine::EKind::Sample);
    EXPECT_EQ(s.nNumber, 12);
    EXPECT_EQ(s.nElapsedMs, 11000);
    EXPECT_EQ(s.wall.nMsSinceEpoch, wall.nMsSinceEpoch);
    EXPECT_EQ(s.wall.nUtcOffsetS, wall.nUtcOffsetS);
    EXPECT_EQ(s.nSetPoint, 2199);
    EXPECT_EQ(s.nSpeed, -3);
    EXPECT_EQ(s.nTorque, 65535);

    const QByteArray ev = CJournalFormat::EventLine(500, wall, 300, QString::fromUtf8("Mark 1 – Zugabe"));
    const SJournalLine e = CJournalFormat::ParseRow(ev.constData(), int(ev.size()) - 1);
    ASSERT_EQ(e.eKind, SJournalLine::EKind::Event);
    EXPECT_EQ(e.strEvent, QString::fromUtf8("Mark 1 – Zugabe"));
    EXPECT_EQ(e.nElapsedMs, 500);

    const char* bad[] = {
        "",
        "garbage",
        "1\t0.000\t2026-12-07T13:16:45.123+00:00\t300\t298\t12",             // six cells
        "1\t0.000\t2026-12-07T13:16:45.123+00:00\t300\t298\t12\t\t",         // eight cells
        "01\t0.000\t2026-12-07T13:16:45.123+00:00\t300\t298\t12\t",          // leading zero
        "0\t0.000\t2026-12-07T13:16:45.123+00:00\t300\t298\t12\t",           // numbers start at 1
        "1\t0.00\t2026-12-07T13:16:45.123+00:00\t300\t298\t12\t",            // two decimals
        "1\t0.000\t2026-12-07T13:16:45.123+00:00\t300\t2x8\t12\t",
        "1\t0.000\t2026-12-07T13:16:45.123+00:00\t300\t99999999999\t12\t",   // beyond int
        "1\t0.000\t2026-12-07T13:16:45.123+00:00\t300\t298\t12\tStart",      // sample with text
        "\t0.000\t2026-12-07T13:16:45.123+00:00\t300\t\t\t",                 // event without text
        "\t0.000\t2026-12-07T13:16:45.123+00:00\t300\t5\t\tStart",           // event with a value
        "1\t-0.000\t2026-12-07T13:16:45.123+00:00\t300\t298\t12\t",
    };
    for (const char* line : bad)
        EXPECT_EQ(CJournalFormat::ParseRow(line, int(strlen(line))).eKind, SJournalLine::EKind::Invalid) << line;
}

}  // namespace
