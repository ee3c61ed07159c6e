#include "graph/VelGraph.h"
#include "run/JournalWriter.h"
#include "run/SystemClock.h"
#include "ui/ReportChartDrawer.h"
#include "ui/ResourceIds.h"
#include "ui/RunReport.h"

#include "platform/DC.h"

#include <QFile>
#include <QFileInfo>
#include <map>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Runs a poppler tool on a file; its standard output, empty when it failed.
QString Poppler(const QString& tool, const QStringList& args)
{
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

class RunReportTest : public ::testing::Test
{
protected:
    void SetUp() override { vantoc::RegisterResources(); }

    // A journal: speed 100 + i, torque i for i = 1..n, a tare of 2 Ncm after
    // sample 4 and a mark after sample 6.
    QString Journal(int n)
    {
        CJournalWriter writer(clock);
        SJournalHeader h;
        h.strProgram = "vantoc 1.0.0";
        h.strOperator = "Ana Lima";
        h.strSample = "PVA 4 %";
        h.strPort = "/dev/ttyUSB0";
        h.nBaud = 9600;
        h.nSetPoint = 300;
        EXPECT_TRUE(writer.Open(dir.path(), h, nullptr));
        writer.AppendEvent("Start", 300);
        for (int i = 1; i <= n; ++i) {
            writer.AppendSample(i, 300, 100 + i, i);
            if (i == 4) writer.AppendEvent("Tare 2 Ncm", 300);
            if (i == 6) writer.AppendEvent("catalyst added", 300);
        }
        writer.Finish("stopped");
        return writer.Path();
    }

    CSystemClock clock;
    QTemporaryDir dir;
};

TEST_F(RunReportTest, PdfIsOnePageWhoseTextHoldsStartAndSummary)
{
    const COpenedRun run = COpenedRun::Load(Journal(20));
    const QString out = dir.filePath("report.pdf");
    QString error;
    ASSERT_TRUE(CRunReport(run).Save(out, &error)) << error.toStdString();

    const QString info = Poppler("pdfinfo", {out});
    ASSERT_FALSE(info.isEmpty()) << "pdfinfo failed";
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\n"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)"))) << info.toStdString();

    const QString text = Poppler("pdftotext", {"-layout", out, "-"});
    ASSERT_FALSE(text.isEmpty());
    const QStringList expected = {
        run.Header("start"),        // the start time as recorded
        "Ana Lima", "PVA 4 %", "/dev/ttyUSB0", "300 rpm",
        "101", "110.5", "120",      // speed min, mean, max
        "10.5",                     // torque mean (1..20)
        "+18.0",                    // Δtorque since the tare: 20 - 2
        "catalyst added", QFileInfo(run.Path()).absoluteFilePath(),
    };
    for (const QString& s : expected) EXPECT_TRUE(text.contains(s)) << s.toStdString() << "\n" << text.toStdString();
    // The charts are lines, not pictures.
    const QString images = Poppler("pdfimages", {"-list", out});
    EXPECT_EQ(images.split('\n', Qt::SkipEmptyParts).size(), 2) << images.toStdString();
}

TEST_F(RunReportTest, PngHasThePagesPixelSizeAndShowsBothSeries)
{
    const QString out = dir.filePath("report.png");
    QString error;
    const COpenedRun run = COpenedRun::Load(Journal(50));
    ASSERT_TRUE(CRunReport(run).Save(out, &error)) << error.toStdString();
    const QImage image(out);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(794, 1123));
    EXPECT_EQ(image.size(), CRunReport::PageSize());
    int blue = 0;
    int green = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            blue += p == qRgb(0, 0, 0x80);
            green += p == qRgb(0, 0x80, 0);
        }
    EXPECT_GT(blue, 50) << "speed series";
    EXPECT_GT(green, 50) << "torque series";
}

TEST_F(RunReportTest, AFailedWriteKeepsTheOldFileAndSaysWhy)
{
    const COpenedRun run = COpenedRun::Load(Journal(5));
    const struct {
        QString path;
        const char* why;
    } rows[] = {
        {dir.filePath("report.txt"), ".pdf or .png"},
        {dir.filePath("no/such/folder/report.pdf"), "report.pdf"},
        {dir.filePath("no/such/folder/report.png"), "report.png"},
    };
    for (const auto& row : rows) {
        QString error;
        EXPECT_FALSE(CRunReport(run).Save(row.path, &error));
        EXPECT_TRUE(error.contains(row.why)) << error.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("report.txt")));
}

TEST_F(RunReportTest, DetailsListWhatTheFileHasAndNothingItLacks)
{
    QFile file(dir.filePath("plain.xls"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Time(S)\tSpeed(rpm)\tTorque(Ncm)\r\n1\t5\t6\r\nbad\r\n");
    file.close();
    const COpenedRun saved = COpenedRun::Load(file.fileName());
    QStringList labels;
    for (const auto& [label, value] : CRunReport(saved).Details()) labels << label;
    EXPECT_EQ(labels, (QStringList{"Start", "Duration", "Unreadable"}));

    const COpenedRun journal = COpenedRun::Load(Journal(3));
    const auto details = CRunReport(journal).Details();
    QStringList journalLabels;
    for (const auto& [label, value] : details) journalLabels << label;
    for (const char* label : {"Start", "Duration", "End", "Operator", "Sample", "Port", "Set-point", "Recorded by"})
        EXPECT_TRUE(journalLabels.contains(label)) << label;
    EXPECT_FALSE(journalLabels.contains("Note"));
}

TEST(ReportChartDrawer, AMillionPointsBecomeAFewPerColumnKeepingEachColumnsExtremes)
{
    CVelGraph graph(nullptr, GRAPH_LINE);
    auto drawer = std::make_unique<CReportChartDrawer>(&graph);
    CReportChartDrawer* pDrawer = drawer.get();
    graph.SetDrawer(std::move(drawer));
    constexpr int n = 1'000'000;
    std::vector<double> xs(n), ys(n);
    for (int i = 0; i < n; ++i) {
        xs[size_t(i)] = i + 1;
        ys[size_t(i)] = (i % 1000 == 500) ? 100 : (i % 7);  // a spike every 1000 points
    }
    graph.AddSeries(n, xs.data(), ys.data());
    graph.EnableAxisRecalculate(GRAPH_AXIS_X, plat::FALSE);
    graph.EnableAxisRecalculate(GRAPH_AXIS_Y, plat::FALSE);
    graph.SetAxisMaxRange(GRAPH_AXIS_X, 0, 1e7);
    graph.SetAxisRange(GRAPH_AXIS_X, 0, n + 1, plat::TRUE);
    graph.SetAxisRange(GRAPH_AXIS_Y, 0, 110, plat::TRUE);
    QImage image(600, 300, QImage::Format_RGB32);
    plat::CDC dc(&image);
    graph.AdjustLayout(plat::CRect(0, 0, 600, 300), &dc);
    graph.OnDraw(&dc, plat::CRect(0, 0, 600, 300));
    const plat::CRect rcPlot = pDrawer->GetLastPlotRect();
    ASSERT_FALSE(rcPlot.IsRectEmpty());
    const std::vector<plat::CPoint> path = pDrawer->ReducedPath(rcPlot, *graph.GetSeries(0));
    EXPECT_LE(int(path.size()), 4 * (rcPlot.Width() + 1));
    // Every column keeps its spike (the highest point: smallest y) and its floor.
    int valid = 0;
    const int top = rcPlot.bottom - pDrawer->GetAxisPosition(100, graph.GetAxis(GRAPH_AXIS_Y), valid);
    const int floor = rcPlot.bottom - pDrawer->GetAxisPosition(0, graph.GetAxis(GRAPH_AXIS_Y), valid);
    std::map<int, std::pair<int, int>> columns;
    for (const plat::CPoint& p : path) {
        auto [it, added] = columns.try_emplace(p.x, p.y, p.y);
        it->second.first = std::min(it->second.first, p.y);
        it->second.second = std::max(it->second.second, p.y);
    }
    for (const auto& [x, range] : columns) {
        EXPECT_EQ(range.first, top) << "column " << x;
        EXPECT_EQ(range.second, floor) << "column " << x;
    }
    // Consecutive points never repeat.
    for (size_t i = 1; i < path.size(); ++i) ASSERT_FALSE(path[i] == path[i - 1]) << i;
}

#ifdef VANTOC_PROGRAM
class ReportProgramTest : public RunReportTest
{
protected:
    struct SResult {
        int nExit = -1;
        QByteArray err;
    };
    SResult Run(const QStringList& args) const
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");  // the program needs no display for a report
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(VANTOC_PROGRAM), args);
        SResult result;
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) return result;
        result.nExit = process.exitCode();
        result.err = process.readAllStandardError();
        return result;
    }
};

TEST_F(ReportProgramTest, WritesPdfAndPngWithoutADisplay)
{
    const QString journal = Journal(8);
    for (const char* name : {"r.pdf", "r.png"}) {
        const QString out = dir.filePath(name);
        const SResult r = Run({"--report", journal, "--out", out});
        EXPECT_EQ(r.nExit, 0) << name << r.err.toStdString();
        EXPECT_GT(QFileInfo(out).size(), 1000) << name;
    }
    EXPECT_EQ(QImage(dir.filePath("r.png")).size(), CRunReport::PageSize());
    EXPECT_TRUE(Poppler("pdftotext", {dir.filePath("r.pdf"), "-"}).contains("108"));
}

TEST_F(ReportProgramTest, ExitStatusesSayWhatWentWrong)
{
    QFile text(dir.filePath("notes.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("hello\n");
    text.close();
    const QString journal = Journal(3);
    const struct {
        QStringList args;
        int nExit;
        const char* message;
    } rows[] = {
        {{"--report", text.fileName(), "--out", dir.filePath("a.pdf")}, 65, "neither a Vantoc run journal nor a saved run"},
        {{"--report", dir.filePath("missing.vrun"), "--out", dir.filePath("a.pdf")}, 65, "missing.vrun"},
        {{"--report", journal, "--out", dir.filePath("a.doc")}, 64, ".pdf or a .png"},
        {{"--report", journal}, 64, "--out"},
        {{"--report", journal, "--out", dir.filePath("none/a.pdf")}, 5, "could not be written"},
    };
    for (const auto& row : rows) {
        const SResult r = Run(row.args);
        EXPECT_EQ(r.nExit, row.nExit) << row.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(row.message)) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("a.pdf")));
}
#endif

}  // namespace
