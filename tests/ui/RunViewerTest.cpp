#include "graph/VelGraphWnd.h"
#include "run/JournalWriter.h"
#include "run/SystemClock.h"
#include "ui/LiveCharts.h"
#include "ui/MainMenuBar.h"
#include "ui/PortSettingDlg.h"
#include "ui/ResourceIds.h"
#include "ui/RunViewer.h"
#include "ui/StirrerDlg.h"

#include "support/ModalAnswer.h"
#include "support/SimulatedStirrer.h"
#include "UiTestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QTemporaryDir>

namespace {

const QByteArray kTitles = "Time(S)\tSpeed(rpm)\tTorque(Ncm)\r\n";

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    return path;
}

// A Save file of n rows: speed base + i, torque i.
QString SaveFile(const QTemporaryDir& dir, const QString& name, int n, int base)
{
    QByteArray bytes = kTitles;
    for (int i = 1; i <= n; ++i) bytes += QByteArray::number(i) + '\t' + QByteArray::number(base + i) + '\t'
            + QByteArray::number(i) + "\r\n";
    return WriteFile(dir, name, bytes);
}

std::vector<double> Ys(const CVelGraphWnd* chart, int series)
{
    std::vector<double> ys;
    const CVelGraphSeries* s = chart->GetSeries(series);
    if (!s) return ys;
    for (int i = 0; i < s->GetSize(); ++i) ys.push_back(s->arPoints.GetAt(i).y);
    return ys;
}

QString LegendLabel(const CVelGraphWnd* chart, int index)
{
    const CVelLegendItem* item = chart->m_pGraph->GetLegend().GetItem(index);
    return item ? item->GetLabel() : QStringLiteral("<none>");
}

// The main window against the simulated stirrer, journal in a folder of
// the test's own.
class RunViewerWindowTest : public SimulatedStirrerTest
{
protected:
    SimSettings Settings() const override { return ExactSettings(); }
    bool OpenPortInSetUp() const override { return false; }

    void SetUp() override
    {
        SimulatedStirrerTest::SetUp();
        vantoc::RegisterResources();
        dlg = std::make_unique<CStirrerDlg>();
        dlg->SetPortPreselection(QString::fromStdString(sim->SlavePath()), "9600");
        CRunControl::SJournalOptions options;
        options.bEnabled = true;
        options.strDir = dir.path();
        dlg->SetJournalOptions(options);
        ModalAnswer<CPortSettingDlg> port([&](CPortSettingDlg* shown) { Click(shown->GetDlgItem(plat::IDOK)); });
        ASSERT_TRUE(dlg->Create());
        ASSERT_TRUE(port.answered());
        dlg->show();
    }
    void TearDown() override
    {
        dlg.reset();
        SimulatedStirrerTest::TearDown();
    }

    // Runs action and answers the one message box it shows; its text.
    QString MessageOf(const std::function<void()>& action)
    {
        QString text;
        ModalAnswer<QMessageBox> answer([&](QMessageBox* box) {
            text = box->text();
            box->accept();
        });
        action();
        EXPECT_TRUE(answer.answered());
        return text;
    }

    const CVelGraphWnd* Speed() const { return dlg->Charts()->SpeedChart(); }
    const CVelGraphWnd* Torque() const { return dlg->Charts()->TorqueChart(); }

    QTemporaryDir dir;
    QTemporaryDir files;
    std::unique_ptr<CStirrerDlg> dlg;
};

TEST_F(RunViewerWindowTest, OpenedSaveFileFillsBothChartsAndTheTitleUntilStart)
{
    const QString liveTitle = dlg->windowTitle();
    const QString path = SaveFile(files, "bench-7.xls", 40, 200);
    ASSERT_TRUE(dlg->Viewer()->Open(path));
    EXPECT_TRUE(dlg->windowTitle().contains("bench-7.xls")) << dlg->windowTitle().toStdString();
    const std::vector<double> speeds = Ys(Speed(), 0);
    ASSERT_EQ(speeds.size(), 40u);
    EXPECT_EQ(speeds.front(), 201);
    EXPECT_EQ(speeds.back(), 240);
    EXPECT_EQ(Ys(Torque(), 0).back(), 40);
    double dMin = 0, dMax = 0;
    Speed()->m_pGraph->GetAxisRange(GRAPH_AXIS_X, dMin, dMax);
    EXPECT_EQ(dMax, 41);

    // Start: live again, the opened run is gone from the charts.
    Click(dlg->GetDlgItem(1006));
    ASSERT_TRUE(WaitFor([&] { return dlg->Run().Record().GetCount() >= 2; }, 30000));
    Click(dlg->GetDlgItem(1009));
    EXPECT_EQ(dlg->windowTitle(), liveTitle);
    EXPECT_FALSE(dlg->Viewer()->IsShowingOpenedRun());
    EXPECT_EQ(int(Ys(Speed(), 0).size()), dlg->Run().Record().GetCount());
}

// Save writes what the charts show: the opened run while it is shown, the
// run recorded since the next Start after that.
TEST_F(RunViewerWindowTest, SaveWritesTheRunTheChartsShow)
{
    Click(dlg->GetDlgItem(1006));
    ASSERT_TRUE(WaitFor([&] { return dlg->Run().Record().GetCount() >= 2; }, 30000));
    Click(dlg->GetDlgItem(1009));
    const QString opened = SaveFile(files, "earlier.xls", 25, 300);
    ASSERT_TRUE(dlg->Viewer()->Open(opened));

    auto Bytes = [](const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return file.readAll();
    };
    const QString copy = files.filePath("copy.xls");
    ASSERT_TRUE(dlg->SaveTo(copy));
    EXPECT_EQ(Bytes(copy), Bytes(opened));

    Click(dlg->GetDlgItem(1006));
    ASSERT_TRUE(WaitFor([&] { return dlg->Run().Record().GetCount() >= 2; }, 30000));
    Click(dlg->GetDlgItem(1009));
    const QString live = files.filePath("live.xls");
    ASSERT_TRUE(dlg->SaveTo(live));
    EXPECT_EQ(Bytes(live).count("\r\n"), dlg->Run().Record().GetCount() + 1);
}

TEST_F(RunViewerWindowTest, OpenedJournalShowsItsSamplesAndMarks)
{
    CSystemClock clock;
    CJournalWriter writer(clock);
    ASSERT_TRUE(writer.Open(files.path(), SJournalHeader(), nullptr));
    for (int i = 1; i <= 12; ++i) {
        writer.AppendSample(i, 300, 280 + i, 3 * i);
        if (i == 6) writer.AppendEvent("added catalyst", 300);
    }
    writer.Finish("stopped");
    ASSERT_TRUE(dlg->Viewer()->Open(writer.Path()));
    EXPECT_TRUE(dlg->windowTitle().contains(QFileInfo(writer.Path()).fileName()));
    EXPECT_EQ(Ys(Torque(), 0).size(), 12u);
    EXPECT_EQ(Ys(Torque(), 0)[4], 15);
    ASSERT_EQ(Torque()->m_pGraph->GetMarkers().size(), 1u);
    EXPECT_EQ(Torque()->m_pGraph->GetMarkers()[0].x, 6);
    EXPECT_EQ(Speed()->m_pGraph->GetMarkers()[0].strLabel, QStringLiteral("added catalyst"));
}

TEST_F(RunViewerWindowTest, BadLinesAreReportedOnceWithTheirNumbers)
{
    const QString path = WriteFile(files, "torn.xls", kTitles + "1\t10\t1\r\n2\t20\t2\r\nxx\r\n4\t40\t4\r\n5\t5");
    const QString text = MessageOf([&] { EXPECT_TRUE(dlg->Viewer()->Open(path)); });
    EXPECT_EQ(text, QStringLiteral("torn.xls: 2 lines could not be read: 4, 6"));
    EXPECT_EQ(Ys(Speed(), 0), (std::vector<double>{10, 20, 40}));
}

TEST_F(RunViewerWindowTest, UnreadableFilesAreRefusedAndTheChartsStay)
{
    const QString good = SaveFile(files, "good.xls", 5, 100);
    ASSERT_TRUE(dlg->Viewer()->Open(good));
    for (const QString& bad : {files.filePath("missing.xls"), WriteFile(files, "notes.txt", "just text\n"), files.path()}) {
        const QString text = MessageOf([&] { EXPECT_FALSE(dlg->Viewer()->Open(bad)); });
        EXPECT_TRUE(text.contains(bad)) << text.toStdString();
        const QString compared = MessageOf([&] { EXPECT_FALSE(dlg->Viewer()->Compare(bad)); });
        EXPECT_TRUE(compared.contains(bad)) << compared.toStdString();
    }
    EXPECT_EQ(Ys(Speed(), 0).size(), 5u);
    EXPECT_EQ(dlg->Charts()->Overlays().Count(), 0);
    EXPECT_TRUE(dlg->windowTitle().contains("good.xls"));
}

TEST_F(RunViewerWindowTest, ReportOfTheOpenedRunIsWritten)
{
    ASSERT_TRUE(dlg->Viewer()->Open(SaveFile(files, "r.xls", 30, 100)));
    const QString out = files.filePath("r.pdf");
    ASSERT_TRUE(dlg->Viewer()->WriteReport(out));
    QFile pdf(out);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    const QString refused = MessageOf([&] { EXPECT_FALSE(dlg->Viewer()->WriteReport(files.filePath("r.txt"))); });
    EXPECT_TRUE(refused.contains(".pdf or .png")) << refused.toStdString();
}

TEST_F(RunViewerWindowTest, FileMenuHoldsTheEntriesAndRemoveAsksWhichRun)
{
    for (const char* text : {"Open run…", "Compare with…", "Remove comparison…", "Report…"})
        EXPECT_NE(dlg->MenuBar()->Entry(QString::fromUtf8(text)), nullptr) << text;
    ASSERT_TRUE(dlg->Viewer()->Compare(SaveFile(files, "a.xls", 5, 100)));
    ASSERT_TRUE(dlg->Viewer()->Compare(SaveFile(files, "b.xls", 6, 200)));
    EXPECT_EQ(Speed()->GetSeriesCount(), 2);
    ModalAnswer<QInputDialog> pick([](QInputDialog* box) {
        box->setTextValue("b.xls");
        box->accept();
    });
    dlg->MenuBar()->Entry(QStringLiteral("Remove comparison…"))->trigger();
    EXPECT_TRUE(pick.answered());
    EXPECT_EQ(dlg->Charts()->Overlays().Names(), QStringList{"a.xls"});
    EXPECT_EQ(Speed()->GetSeriesCount(), 1);
    EXPECT_EQ(LegendLabel(Speed(), 0), QStringLiteral("a.xls"));
}

// The two charts without a window around them.
class OverlayTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        vantoc::RegisterResources();
        speed.resize(560, 260);
        torque.resize(560, 260);
        charts.SetUp();
    }
    COpenedRun Run(const QString& name, int n, int base) { return COpenedRun::Load(SaveFile(files, name, n, base)); }

    QTemporaryDir files;
    CVelGraphWnd speed;
    CVelGraphWnd torque;
    CLiveCharts charts{&speed, &torque};
};

TEST_F(OverlayTest, TwoComparedRunsGoBehindTheCurrentOneWithTheirNames)
{
    charts.ShowRun(Run("current.xls", 20, 500));
    ASSERT_TRUE(charts.AddOverlay("monday.xls", Run("monday.xls", 30, 100)));
    ASSERT_TRUE(charts.AddOverlay("tuesday.xls", Run("tuesday.xls", 10, 300)));
    for (const CVelGraphWnd* chart : {&speed, &torque}) {
        ASSERT_EQ(chart->GetSeriesCount(), 3);
        EXPECT_EQ(LegendLabel(chart, 0), QStringLiteral("monday.xls"));
        EXPECT_EQ(LegendLabel(chart, 1), QStringLiteral("tuesday.xls"));
        EXPECT_EQ(LegendLabel(chart, 2), QStringLiteral("current.xls"));
        EXPECT_TRUE(chart->m_pGraph->GetLegend().CanShow());
    }
    // The current run is the last series: drawn last, on top.
    EXPECT_EQ(charts.CurrentSeries(), 2);
    EXPECT_EQ(Ys(&speed, 2).front(), 501);
    EXPECT_EQ(Ys(&speed, 0).size(), 30u);
    EXPECT_EQ(speed.GetSeries(2)->GetColor(), plat::COLORREF(0x800000));
    EXPECT_NE(speed.GetSeries(0)->GetColor(), speed.GetSeries(1)->GetColor());
    // Ranges take in the compared runs: the longest has 30 samples, the lowest speed 101.
    double dMin = 0, dMax = 0;
    speed.m_pGraph->GetAxisRange(GRAPH_AXIS_X, dMin, dMax);
    EXPECT_EQ(dMax, 31);
    speed.m_pGraph->GetAxisRange(GRAPH_AXIS_Y, dMin, dMax);
    EXPECT_GE(dMax, 520);
}

TEST_F(OverlayTest, RemovingOneKeepsTheOthersAndTheCurrentRun)
{
    charts.ShowRun(Run("current.xls", 20, 500));
    charts.AddMarker(7, "stir", CLiveCharts::kMarkColor, 0);
    charts.AddOverlay("a.xls", Run("a.xls", 30, 100));
    charts.AddOverlay("b.xls", Run("b.xls", 10, 300));
    charts.RemoveOverlay(0);
    EXPECT_EQ(charts.Overlays().Names(), QStringList{"b.xls"});
    for (const CVelGraphWnd* chart : {&speed, &torque}) {
        ASSERT_EQ(chart->GetSeriesCount(), 2);
        EXPECT_EQ(LegendLabel(chart, 0), QStringLiteral("b.xls"));
        EXPECT_EQ(LegendLabel(chart, 1), QStringLiteral("current.xls"));
        EXPECT_EQ(chart->m_pGraph->GetMarkers().size(), 1u);
    }
    EXPECT_EQ(Ys(&speed, 0).front(), 301);
    EXPECT_EQ(Ys(&speed, 1).size(), 20u);
    charts.RemoveOverlay(0);
    EXPECT_EQ(speed.GetSeriesCount(), 1);
    EXPECT_FALSE(speed.m_pGraph->GetLegend().CanShow()) << "no legend without comparisons";
    charts.RemoveOverlay(5);
    EXPECT_EQ(speed.GetSeriesCount(), 1);
}

TEST_F(OverlayTest, ComparedRunsStayThroughANewRunWhoseSamplesGoOnTop)
{
    charts.AddOverlay("a.xls", Run("a.xls", 8, 100));
    charts.Reset();
    charts.UpdateSpeed(1, 700);
    charts.UpdateTorque(1, 9);
    charts.UpdateSpeed(2, 710);
    charts.UpdateTorque(2, 10);
    ASSERT_EQ(speed.GetSeriesCount(), 2);
    EXPECT_EQ(Ys(&speed, 0).size(), 8u);
    EXPECT_EQ(Ys(&speed, 1), (std::vector<double>{700, 710}));
    EXPECT_EQ(LegendLabel(&speed, 1), QStringLiteral("Current run"));
    // A comparison added mid-run keeps the run's points.
    charts.AddOverlay("b.xls", Run("b.xls", 3, 100));
    EXPECT_EQ(Ys(&torque, 2), (std::vector<double>{9, 10}));
    charts.UpdateTorque(3, 11);
    EXPECT_EQ(Ys(&torque, 2).back(), 11);
}

TEST_F(OverlayTest, AtMostFiveComparisons)
{
    for (int i = 0; i < CChartOverlays::kMaxOverlays; ++i)
        EXPECT_TRUE(charts.AddOverlay(QString::number(i), Run(QString("%1.xls").arg(i), 3, 10 * i)));
    EXPECT_FALSE(charts.AddOverlay("six", Run("six.xls", 3, 0)));
    EXPECT_EQ(charts.Overlays().Count(), 5);
    EXPECT_EQ(speed.GetSeriesCount(), 5);
}

}  // namespace
