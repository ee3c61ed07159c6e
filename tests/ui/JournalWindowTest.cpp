#include "graph/VelGraphWnd.h"
#include "run/JournalStore.h"
#include "run/JournalWriter.h"
#include "run/RunJournal.h"
#include "run/SystemClock.h"
#include "ui/LiveCharts.h"
#include "ui/PortSettingDlg.h"
#include "ui/RecoveryDlg.h"
#include "ui/RunDetailsDlg.h"
#include "ui/ResourceIds.h"
#include "ui/RunStatusStrip.h"
#include "ui/RunViewer.h"
#include "ui/StirrerDlg.h"

#include "support/ModalAnswer.h"
#include "support/SimulatedStirrer.h"
#include "UiTestSupport.h"

#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QTest>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

class JournalWindowTest : public SimulatedStirrerTest
{
protected:
    SimSettings Settings() const override { return ExactSettings(); }
    bool OpenPortInSetUp() const override { return false; }

    void SetUp() override
    {
        SimulatedStirrerTest::SetUp();
        vantoc::RegisterResources();
    }
    void TearDown() override
    {
        dlg.reset();
        SimulatedStirrerTest::TearDown();
    }

    // The window with a journal in dir; answer gets the recovery question
    // when one comes (and must close it).
    void Open(const std::function<void(CRecoveryDlg*)>& answer = {})
    {
        dlg = std::make_unique<CStirrerDlg>();
        dlg->SetPortPreselection(QString::fromStdString(sim->SlavePath()), "9600");
        CRunControl::SJournalOptions options;
        options.bEnabled = true;
        options.strDir = dir.path();
        dlg->SetJournalOptions(options);
        ModalAnswer<CPortSettingDlg> port([&](CPortSettingDlg* shown) { Click(shown->GetDlgItem(plat::IDOK)); });
        std::unique_ptr<ModalAnswer<CRecoveryDlg>> recovery;
        if (answer) recovery = std::make_unique<ModalAnswer<CRecoveryDlg>>(answer);
        ASSERT_TRUE(dlg->Create());
        ASSERT_TRUE(port.answered());
        if (recovery) {
            EXPECT_TRUE(recovery->answered());
        }
        dlg->show();
    }

    // A journal of n samples in dir: finished, abandoned or still held.
    QString MakeJournal(int n, bool finish, std::unique_ptr<CJournalWriter>* keepOpen = nullptr)
    {
        auto writer = std::make_unique<CJournalWriter>(clock);
        EXPECT_TRUE(writer->Open(dir.path(), SJournalHeader(), nullptr));
        for (int i = 1; i <= n; ++i) writer->AppendSample(i, 300, 280 + i, 5);
        const QString path = writer->Path();
        if (finish) writer->Finish("stopped");
        else if (keepOpen) *keepOpen = std::move(writer);
        else writer->Abandon();
        return path;
    }

    QTemporaryDir dir;
    CSystemClock clock;
    std::unique_ptr<CStirrerDlg> dlg;
};

TEST_F(JournalWindowTest, OffersTheUnfinishedJournalOnlyAndDiscardMovesIt)
{
    MakeJournal(3, true);
    const QString lost = MakeJournal(4, false);
    std::unique_ptr<CJournalWriter> running;
    MakeJournal(2, false, &running);

    QStringList offered;
    Open([&](CRecoveryDlg* box) {
        for (int i = 0; i < box->List()->count(); ++i) offered << box->List()->item(i)->text();
        box->findChild<QPushButton*>("discard")->click();
    });
    ASSERT_EQ(offered.size(), 1);
    EXPECT_TRUE(offered[0].startsWith("A run started ")) << offered[0].toStdString();
    EXPECT_TRUE(offered[0].endsWith(" with 4 samples was not finished.")) << offered[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(lost));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("discarded/" + QFileInfo(lost).fileName())));
}

TEST_F(JournalWindowTest, OpenShowsTheJournalInTheChartsAndNothingIsAskedWithoutOne)
{
    const QString lost = MakeJournal(6, false);
    Open([&](CRecoveryDlg* box) { box->findChild<QPushButton*>("open")->click(); });
    EXPECT_TRUE(QFileInfo::exists(lost)) << "Open keeps the journal";
    const CVelGraph* speed = dlg->Charts()->SpeedChart()->GetGraph();
    ASSERT_EQ(speed->GetSeriesCount(), 1);
    EXPECT_EQ(speed->GetSeries(0)->GetSize(), 6);
    EXPECT_EQ(dlg->Charts()->SpeedMax(), 286.0f);
    // As an opened run: named in the title, and what Save writes.
    EXPECT_TRUE(dlg->windowTitle().contains(QFileInfo(lost).fileName())) << dlg->windowTitle().toStdString();
    ASSERT_TRUE(dlg->Viewer()->IsShowingOpenedRun());
    const QString saved = dir.filePath("recovered.xls");
    ASSERT_TRUE(dlg->SaveTo(saved));
    QFile table(saved);
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    EXPECT_EQ(table.readAll().count("\r\n"), 7);

    // Finished journals only: no question at all (an unexpected one would
    // block Create and fail the port answer's deadline).
    dlg.reset();
    CJournalStore(dir.path()).Discard(lost, nullptr);
    MakeJournal(2, true);
    Open();
    EXPECT_EQ(dlg->Charts()->SpeedChart()->GetSeriesCount(), 0);
}

TEST_F(JournalWindowTest, AMarkAtSampleFiveIsDrawnAtThatPixelOnBothChartsAndJournaled)
{
    Open();
    QString marked;
    QObject::connect(&dlg->Run(), &CRunControl::sampleArrived, dlg.get(), [&] {
        if (dlg->Run().Record().GetCount() == 5 && marked.isEmpty()) marked = dlg->MarkEvent("");
    });
    Click(dlg->GetDlgItem(1006));
    ASSERT_TRUE(WaitFor([&] { return dlg->Run().Record().GetCount() >= 6; }, 30000));
    EXPECT_EQ(marked, "Mark 1");
    for (CVelGraphWnd* chart : {dlg->Charts()->SpeedChart(), dlg->Charts()->TorqueChart()}) {
        const CVelGraph* graph = chart->GetGraph();
        ASSERT_EQ(graph->GetMarkers().size(), 1u);
        EXPECT_EQ(graph->GetMarkers()[0].x, 5.0);
        const QImage image = chart->grab().toImage();
        int valid = 0;
        const int x = graph->GetInlineRect().left
            + graph->GetDrawer()->GetAxisPosition(5, graph->GetAxis(GRAPH_AXIS_X), valid);
        ASSERT_TRUE(valid);
        // The marker's column is the column of the point of sample 5: the
        // tip of its diamond or triangle, the topmost series pixel near x.
        const QColor series = chart == dlg->Charts()->SpeedChart() ? QColor(0, 0, 128) : QColor(0, 128, 0);
        int tipY = image.height(), tipX = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int xx = x - 8; xx <= x + 8; ++xx)
                if (image.pixelColor(xx, y) == series && y < tipY) {
                    tipY = y;
                    tipX = xx;
                }
        ASSERT_GE(tipX, 0);
        const QColor mark(255, 191, 0);
        int column = 0;
        for (int y = graph->GetInlineRect().top; y < graph->GetInlineRect().bottom; ++y)
            column += image.pixelColor(tipX, y) == mark;
        EXPECT_GT(column, graph->GetInlineRect().Height() / 2);
    }
    const QString path = dlg->Run().Journal().Path();
    const CRunStatusStrip* strip = dlg->Strip();
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->FileShown(), QFileInfo(path).fileName());
    EXPECT_EQ(strip->SamplesShown(), QString("%1 samples").arg(dlg->Run().Record().GetCount()));
    EXPECT_TRUE(strip->RunTimeShown().startsWith("Run 0:00:")) << strip->RunTimeShown().toStdString();
    EXPECT_EQ(strip->AgeLevel(), CRunStatusStrip::EAge::Fresh);
    Click(dlg->GetDlgItem(1009));
    dlg->OnDestroy();

    const CRunJournal journal = CRunJournal::Load(path);
    ASSERT_EQ(journal.Events().size(), 3u);
    EXPECT_EQ(journal.Events()[1].strText, "Mark 1");
    EXPECT_EQ(journal.Events()[1].nAfterSamples, 5);
}

TEST_F(JournalWindowTest, TheStripGrowsTheWindowBelowTheTemplateOnly)
{
    Open();
    const CRunStatusStrip* strip = dlg->Strip();
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->y() + strip->height(), dlg->height());
    for (int id : {1010, 1007, 1012, 1001, 1013, 1000, 1015, 1004, 1017, 1005, 1006, 1009, 1008, 2})
        EXPECT_LE(dlg->GetDlgItem(id)->geometry().bottom(), strip->y()) << id;
    EXPECT_EQ(strip->RunTimeShown(), "No run yet");
}

TEST(RunStatusStripTest, TimesAndAges)
{
    struct Case {
        qint64 ms;
        const char* text;
    };
    for (const Case& c : {Case{0, "0:00:00"}, Case{999, "0:00:00"}, Case{61'000, "0:01:01"},
                          Case{3'599'999, "0:59:59"}, Case{36'000'000, "10:00:00"}, Case{604'800'000, "168:00:00"},
                          Case{-5, "0:00:00"}})
        EXPECT_EQ(CRunStatusStrip::RunTimeText(c.ms), c.text) << c.ms;
    using E = CRunStatusStrip::EAge;
    EXPECT_EQ(CRunStatusStrip::AgeOf(-1), E::None);
    EXPECT_EQ(CRunStatusStrip::AgeOf(3000), E::Fresh);
    EXPECT_EQ(CRunStatusStrip::AgeOf(3001), E::Late);
    EXPECT_EQ(CRunStatusStrip::AgeOf(10000), E::Late);
    EXPECT_EQ(CRunStatusStrip::AgeOf(10001), E::Silent);
    EXPECT_EQ(CRunStatusStrip::AgeText(1240), "last sample 1.2 s ago");
    EXPECT_EQ(CRunStatusStrip::AgeText(12000), "No reply from the stirrer (12 s)");
    EXPECT_EQ(CRunStatusStrip::AgeText(-1), "");
}

}  // namespace

namespace {

TEST_F(JournalWindowTest, SaveAsWritesSavesFormatAndKeepLeavesTheJournal)
{
    const QString lost = MakeJournal(3, false);
    const QString xls = dir.filePath("recovered.xls");
    bool saved = false;
    Open([&](CRecoveryDlg* box) {
        saved = box->SaveSelectedTo(xls);
        box->findChild<QPushButton*>("keep")->click();
    });
    EXPECT_TRUE(saved);
    QFile file(xls);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "Time(S)\tSpeed(rpm)\tTorque(Ncm)\r\n1\t281\t5\r\n2\t282\t5\r\n3\t283\t5\r\n");
    EXPECT_TRUE(QFileInfo::exists(lost));
    EXPECT_EQ(CJournalStore(dir.path()).Unfinished(), QStringList{lost}) << "kept for the next start";
}

TEST_F(JournalWindowTest, F2AsksForANoteAndRunDetailsGoIntoTheNextHeader)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("config"));
    Open();
    ModalAnswer<CRunDetailsDlg> details([](CRunDetailsDlg* box) {
        box->OperatorEdit()->setText("Ana");
        box->SampleEdit()->setText("PVA 4 %");
        box->NoteEdit()->setText("batch #7");
        box->accept();
    });
    dlg->OnRunDetails();
    ASSERT_TRUE(details.answered());
    EXPECT_EQ(CRunDetailsDlg::RememberedOperator(), "Ana");

    Click(dlg->GetDlgItem(1006));
    ASSERT_TRUE(WaitFor([&] { return dlg->Run().Record().GetCount() >= 1; }, 30000));
    QString offered;
    ModalAnswer<QInputDialog> note([&](QInputDialog* box) {
        offered = box->textValue();
        box->setTextValue("added salt");
        box->accept();
    });
    // Shortcuts go to the active window.
    dlg->activateWindow();
    QApplication::setActiveWindow(dlg.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dlg.get(), Qt::Key_F2);
    ASSERT_TRUE(note.wait());
    EXPECT_EQ(offered, "Mark 1");
    Click(dlg->GetDlgItem(1009));
    const QString path = dlg->Run().Journal().Path();
    dlg->OnDestroy();

    const CRunJournal journal = CRunJournal::Load(path);
    EXPECT_EQ(journal.Header("operator"), "Ana");
    EXPECT_EQ(journal.Header("sample"), "PVA 4 %");
    EXPECT_EQ(journal.Header("note"), QString::fromUtf8("batch \xEF\xBC\x83" "7"));
    QStringList texts;
    for (const SJournalEvent& e : journal.Events()) texts << e.strText;
    EXPECT_EQ(texts, (QStringList{"Start", "added salt", "Stop"}));
}

}  // namespace

namespace {

TEST_F(JournalWindowTest, AJournalProblemShowsOneWarningThatDoesNotStopTheRun)
{
    dlg = std::make_unique<CStirrerDlg>();
    dlg->SetPortPreselection(QString::fromStdString(sim->SlavePath()), "9600");
    CRunControl::SJournalOptions options;
    options.bEnabled = true;
    options.strDir = "/proc/no-such-place/runs";
    dlg->SetJournalOptions(options);
    ModalAnswer<CPortSettingDlg> port([&](CPortSettingDlg* shown) { Click(shown->GetDlgItem(plat::IDOK)); });
    ASSERT_TRUE(dlg->Create());
    dlg->show();
    Click(dlg->GetDlgItem(1006));
    ASSERT_TRUE(WaitFor([&] { return dlg->Run().Record().GetCount() >= 2; }, 30000));
    const QList<QMessageBox*> boxes = dlg->findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0]->isVisible());
    EXPECT_FALSE(boxes[0]->isModal());
    EXPECT_TRUE(boxes[0]->text().contains("could not be opened")) << boxes[0]->text().toStdString();
    Click(dlg->GetDlgItem(1009));
    // Stop and a second run bring no second box while the first is open.
    Click(dlg->GetDlgItem(1006));
    ASSERT_TRUE(WaitFor([&] { return dlg->Run().Record().GetCount() >= 1; }, 30000));
    EXPECT_EQ(dlg->findChildren<QMessageBox*>().size(), 1);
    boxes[0]->close();
    Click(dlg->GetDlgItem(1009));
}

}  // namespace
