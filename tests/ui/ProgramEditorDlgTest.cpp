#include "graph/VelGraphWnd.h"
#include "input/VelInComboBox.h"
#include "input/VelInEdit.h"
#include "input/VelListCtrl.h"
#include "run/SpeedProgram.h"
#include "ui/ProgramEditorDlg.h"
#include "ui/ResourceIds.h"

#include "support/ModalAnswer.h"
#include "UiTestSupport.h"

#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

const char* const kThreeSteps = "hold 200 30\nramp 1500 60\nhold 1500 10\n";

CSpeedProgram Program(const char* text)
{
    return CSpeedProgram::Parse(QString::fromUtf8(text));
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A shown, active editor, so that clicks open the list's cell editors.
class ProgramEditorDlgTest : public ::testing::Test {
protected:
    void SetUp() override { vantoc::RegisterResources(); }

    void Open(const CSpeedProgram& program, const QString& path = {}, int maxRpm = 2200)
    {
        dlg = std::make_unique<CProgramEditorDlg>(program, path, maxRpm);
        dlg->show();
        QApplication::setActiveWindow(dlg.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    }

    CVelListCtrl* List() const { return dlg->List(); }

    void ClickCell(int row, int column)
    {
        const QRect cell = List()->visualRect(List()->model()->index(row, column));
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, cell.center());
    }

    // Types text into a text or number cell and ends the edit.
    void TypeInCell(int row, int column, const QString& text)
    {
        ClickCell(row, column);
        CVelInEdit* edit = List()->GetInEdit();
        ASSERT_NE(edit, nullptr) << "no editor on " << row << "," << column;
        edit->clear();
        QTest::keyClicks(edit, text);
        edit->EndEdit();
    }

    void ChooseKind(int row, const QString& kind)
    {
        ClickCell(row, CProgramEditorDlg::kColKind);
        CVelInComboBox* combo = List()->GetInComboBox();
        ASSERT_NE(combo, nullptr);
        combo->setCurrentIndex(combo->findText(kind));
        combo->EndEdit();
    }

    // Runs action, expecting one warning box; returns its text.
    static QString WarningOf(const std::function<void()>& action)
    {
        QString text;
        ModalAnswer<QMessageBox> answer([&](QMessageBox* box) {
            text = box->text();
            box->accept();
        });
        action();
        EXPECT_TRUE(answer.wait());
        return text;
    }

    QStringList Row(int row) const
    {
        return {List()->GetItemText(row, 0), List()->GetItemText(row, 1), List()->GetItemText(row, 2)};
    }

    QTemporaryDir dir;
    std::unique_ptr<CProgramEditorDlg> dlg;
};

}  // namespace

TEST_F(ProgramEditorDlgTest, ShowsTheStepsTheTotalAndThePreview)
{
    Open(Program(kThreeSteps), QStringLiteral("/labs/polymer.prog"));
    ASSERT_EQ(List()->GetItemCount(), 3);
    EXPECT_EQ(Row(0), QStringList({"hold", "200", "0:00:30"}));
    EXPECT_EQ(Row(1), QStringList({"ramp", "1500", "0:01:00"}));
    EXPECT_EQ(Row(2), QStringList({"hold", "1500", "0:00:10"}));
    EXPECT_EQ(dlg->TotalLabel()->text(), "Total duration: 0:01:40");

    // The preview draws the program's set-point trace point for point.
    const std::vector<SetPointVertex> trace = Program(kThreeSteps).Trace();
    ASSERT_EQ(dlg->Preview()->GetSeriesCount(), 1);
    CVelGraphSeries* series = dlg->Preview()->GetSeries(0);
    ASSERT_EQ(series->GetSize(), int(trace.size()));
    for (int i = 0; i < series->GetSize(); ++i) {
        double x = -1, y = -1;
        series->GetAt(i, x, y);
        EXPECT_DOUBLE_EQ(x, trace[i].seconds) << "point " << i;
        EXPECT_DOUBLE_EQ(y, trace[i].rpm) << "point " << i;
    }
}

TEST_F(ProgramEditorDlgTest, LoadEditSaveRoundTripsAProgramFile)
{
    Open(CSpeedProgram());
    const QString in = dir.filePath("in.prog");
    const QString out = dir.filePath("out.prog");
    ASSERT_TRUE(WriteAll(in, "# warm-up\nhold 200 30\n\nramp 1500 1:00\nhold 1500 0:00:10  # end\n"));
    ASSERT_TRUE(dlg->LoadFrom(in));
    ASSERT_EQ(List()->GetItemCount(), 3);
    EXPECT_FALSE(dlg->IsModified());
    EXPECT_EQ(dlg->findChild<QLabel*>("file")->text(), "Program file: in.prog");

    TypeInCell(1, CProgramEditorDlg::kColRpm, "1200");
    TypeInCell(2, CProgramEditorDlg::kColRpm, "1200");
    TypeInCell(2, CProgramEditorDlg::kColDuration, "1:30:00");
    ChooseKind(0, "ramp");
    List()->setCurrentCell(2, 0);
    dlg->AddStep();    // after the last: copies its speed, holds for a minute
    dlg->MoveStep(-1); // the new step goes before the old last one
    TypeInCell(2, CProgramEditorDlg::kColDuration, "2.5");
    EXPECT_TRUE(dlg->IsModified());
    EXPECT_EQ(dlg->findChild<QLabel*>("file")->text(), "Program file: in.prog (changed)");
    ASSERT_TRUE(dlg->SaveTo(out));
    EXPECT_FALSE(dlg->IsModified());
    EXPECT_EQ(dlg->findChild<QLabel*>("file")->text(), "Program file: out.prog");

    EXPECT_EQ(ReadAll(out), QByteArray("ramp 200 30\nramp 1200 60\nhold 1200 2.5\nhold 1200 5400\n"));
    EXPECT_EQ(Row(2), QStringList({"hold", "1200", "2.5s"}));
    EXPECT_EQ(dlg->TotalLabel()->text(), "Total duration: 1:31:33");
    EXPECT_EQ(dlg->EditedPath(), out);
    // The saved file loads back to the same steps.
    CSpeedProgram::Error error;
    EXPECT_EQ(CSpeedProgram::Parse(QString::fromUtf8(ReadAll(out)), 2200, &error).ToText(), dlg->EditedProgram().ToText());
}

TEST_F(ProgramEditorDlgTest, RefusesInvalidCellsAndKeepsTheStep)
{
    struct Case {
        int row;
        int column;
        const char* typed;
        const char* message;
    };
    const Case cases[] = {
        {1, CProgramEditorDlg::kColRpm, "2500", "line 2: speed 2500 is above 2200"},
        {0, CProgramEditorDlg::kColRpm, "1700", "line 1: speed 1700 is above the maximum speed of 1600 rpm set in the limits"},
        {2, CProgramEditorDlg::kColRpm, "49", "line 3: speed 49 is below 50"},
        {2, CProgramEditorDlg::kColDuration, "soon", "line 3: duration \"soon\" is not seconds, m:ss or h:mm:ss"},
        {0, CProgramEditorDlg::kColDuration, "0", "line 1: duration 0 is not longer than 0"},
        {1, CProgramEditorDlg::kColDuration, "1:75", "line 2: duration \"1:75\" is not seconds, m:ss or h:mm:ss"},
        {1, CProgramEditorDlg::kColDuration, "", "line 2: duration \"\" is not seconds, m:ss or h:mm:ss"},
        {1, CProgramEditorDlg::kColDuration, "5 # min", "line 2: duration \"5 # min\" is not seconds, m:ss or h:mm:ss"},
    };
    Open(Program("hold 200 30\nramp 1500 60\nhold 1500 10\n"), {}, 1600);
    const QString before = dlg->EditedProgram().ToText();
    const QStringList rowsBefore[] = {Row(0), Row(1), Row(2)};
    for (const Case& c : cases) {
        const QString message = WarningOf([&] { TypeInCell(c.row, c.column, QString::fromUtf8(c.typed)); });
        EXPECT_EQ(message, QString::fromUtf8(c.message)) << c.typed;
        EXPECT_EQ(dlg->EditedProgram().ToText(), before) << c.typed;
        EXPECT_EQ(Row(c.row), rowsBefore[c.row]) << c.typed;
    }
    EXPECT_EQ(dlg->TotalLabel()->text(), "Total duration: 0:01:40");
}

TEST_F(ProgramEditorDlgTest, RefusedFilesLeaveTheListAsItWas)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"fast.prog", "hold 200 30\nramp 1500 60\nhold 2500 10\n", "line 3: speed 2500 is above 2200"},
        {"typo.prog", "hold 200 30\nhodl 300 10\n", "line 2: unknown step \"hodl\" (hold or ramp)"},
        {"empty.prog", "# nothing yet\n", "the program has no steps"},
    };
    Open(Program(kThreeSteps), QStringLiteral("/labs/a.prog"));
    for (const Case& c : cases) {
        const QString path = dir.filePath(QLatin1String(c.name));
        ASSERT_TRUE(WriteAll(path, c.bytes));
        bool loaded = true;
        const QString message = WarningOf([&] { loaded = dlg->LoadFrom(path); });
        EXPECT_FALSE(loaded) << c.name;
        EXPECT_TRUE(message.endsWith(QString::fromUtf8(c.reason))) << message.toStdString();
        EXPECT_TRUE(message.contains(QLatin1String(c.name))) << message.toStdString();
        EXPECT_EQ(dlg->EditedProgram().ToText(), QString::fromUtf8(kThreeSteps)) << c.name;
        EXPECT_EQ(dlg->EditedPath(), "/labs/a.prog");
    }
    const QString missing = WarningOf([&] { dlg->LoadFrom(dir.filePath("none.prog")); });
    EXPECT_TRUE(missing.contains("cannot read")) << missing.toStdString();
}

TEST_F(ProgramEditorDlgTest, SavingNeverReplacesAGoodFileWithABadOne)
{
    Open(Program(kThreeSteps));
    const QString path = dir.filePath("keep.prog");
    ASSERT_TRUE(WriteAll(path, "hold 300 60\n"));
    for (int i = 0; i < 3; ++i) dlg->RemoveStep();
    EXPECT_EQ(List()->GetItemCount(), 0);
    bool saved = true;
    const QString message = WarningOf([&] { saved = dlg->SaveTo(path); });
    EXPECT_FALSE(saved);
    EXPECT_EQ(message, "The program was not saved: the program has no steps.");
    EXPECT_EQ(ReadAll(path), QByteArray("hold 300 60\n"));

    dlg->AddStep();
    const QString noDir = WarningOf([&] { saved = dlg->SaveTo(dir.filePath("missing/dir/x.prog")); });
    EXPECT_FALSE(saved);
    EXPECT_TRUE(noDir.contains("cannot write")) << noDir.toStdString();
}

TEST_F(ProgramEditorDlgTest, RowsAreAddedRemovedAndMoved)
{
    Open(Program("hold 100 10\nhold 200 20\nhold 300 30\n"));
    List()->setCurrentCell(0, 0);
    dlg->MoveStep(-1);  // the first row cannot go higher
    EXPECT_EQ(dlg->EditedProgram().ToText(), "hold 100 10\nhold 200 20\nhold 300 30\n");
    dlg->MoveStep(1);
    EXPECT_EQ(dlg->EditedProgram().ToText(), "hold 200 20\nhold 100 10\nhold 300 30\n");
    EXPECT_EQ(List()->currentRow(), 1);
    List()->setCurrentCell(2, 0);
    dlg->MoveStep(1);  // nor the last one lower
    dlg->RemoveStep();
    EXPECT_EQ(dlg->EditedProgram().ToText(), "hold 200 20\nhold 100 10\n");
    EXPECT_EQ(List()->currentRow(), 1);
    List()->setCurrentCell(0, 0);
    dlg->AddStep();
    EXPECT_EQ(dlg->EditedProgram().ToText(), "hold 200 20\nhold 200 60\nhold 100 10\n");
    EXPECT_EQ(dlg->TotalLabel()->text(), "Total duration: 0:01:30");
    EXPECT_EQ(dlg->Preview()->GetSeries(0)->GetSize(), 7);
}

TEST_F(ProgramEditorDlgTest, AddedStepsStayWithinTheLaboratoryLimit)
{
    Open(CSpeedProgram(), {}, 120);
    dlg->AddStep();
    EXPECT_EQ(dlg->EditedProgram().ToText(), "hold 120 60\n");
}

TEST_F(ProgramEditorDlgTest, UseUnloadAndCancelReturnWhatTheOperatorChose)
{
    const QString path = QStringLiteral("/labs/b.prog");
    {
        Open(Program(kThreeSteps), path);
        TypeInCell(0, CProgramEditorDlg::kColRpm, "250");
        Click(dlg->findChild<QPushButton*>("use"));
        EXPECT_EQ(dlg->result(), QDialog::Accepted);
        EXPECT_TRUE(dlg->IsProgramLoaded());
        EXPECT_EQ(dlg->Program().ToText(), "hold 250 30\nramp 1500 60\nhold 1500 10\n");
        EXPECT_EQ(dlg->ProgramPath(), path);
    }
    {
        Open(Program(kThreeSteps), path);
        Click(dlg->findChild<QPushButton*>("unload"));
        EXPECT_EQ(dlg->result(), QDialog::Accepted);
        EXPECT_FALSE(dlg->IsProgramLoaded());
        EXPECT_TRUE(dlg->Program().IsEmpty());
        EXPECT_TRUE(dlg->ProgramPath().isEmpty());
    }
    {
        Open(Program(kThreeSteps), path);
        TypeInCell(0, CProgramEditorDlg::kColRpm, "250");
        dlg->reject();
        EXPECT_TRUE(dlg->IsProgramLoaded());
        EXPECT_EQ(dlg->Program().ToText(), QString::fromUtf8(kThreeSteps));
        EXPECT_EQ(dlg->ProgramPath(), path);
    }
}

TEST_F(ProgramEditorDlgTest, UseRefusesAProgramAboveALoweredLimitOrWithoutSteps)
{
    Open(Program(kThreeSteps), {}, 1000);  // loaded before the limit was lowered
    const QString message = WarningOf([&] { dlg->UseProgram(); });
    EXPECT_EQ(message,
              "The program cannot be used: line 2: speed 1500 is above the maximum speed of 1000 rpm set in the limits");
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->Program().ToText(), QString::fromUtf8(kThreeSteps));  // still the one given

    for (int i = 0; i < 3; ++i) dlg->RemoveStep();
    const QString empty = WarningOf([&] { dlg->UseProgram(); });
    EXPECT_EQ(empty, "The program cannot be used: the program has no steps");
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(ProgramEditorDlgTest, AnOpenCellEditorIsCommittedBeforeUse)
{
    Open(Program(kThreeSteps));
    ClickCell(2, CProgramEditorDlg::kColRpm);
    ASSERT_NE(List()->GetInEdit(), nullptr);
    List()->GetInEdit()->selectAll();
    QTest::keyClicks(List()->GetInEdit(), "900");
    dlg->UseProgram();
    EXPECT_EQ(dlg->Program().ToText(), "hold 200 30\nramp 1500 60\nhold 900 10\n");
}

TEST_F(ProgramEditorDlgTest, DurationCellsShowWholeSecondsAsClockTimes)
{
    struct Case {
        double seconds;
        const char* text;
    } cases[] = {{30, "0:00:30"}, {5400, "1:30:00"}, {2.5, "2.5s"}, {360000, "100:00:00"}};
    for (const Case& c : cases) EXPECT_EQ(CProgramEditorDlg::DurationCellText(c.seconds), c.text) << c.seconds;
}

TEST_F(ProgramEditorDlgTest, EnterOrEscapeEndsACellEditWithoutClosingTheDialog)
{
    Open(Program(kThreeSteps));
    ClickCell(1, CProgramEditorDlg::kColDuration);
    ASSERT_NE(List()->GetInEdit(), nullptr);
    QTest::keyClicks(List()->GetInEdit(), "9");
    QTest::keyClick(List()->GetInEdit(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->EditedProgram().ToText(), QString::fromUtf8(kThreeSteps));

    ClickCell(0, CProgramEditorDlg::kColRpm);
    ASSERT_NE(List()->GetInEdit(), nullptr);
    List()->GetInEdit()->clear();
    QTest::keyClicks(List()->GetInEdit(), "300");
    QTest::keyClick(List()->GetInEdit(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(dlg->EditedProgram().Steps()[0].rpm, 300);
    // A second Enter, now on the list, must not take the program either.
    QTest::keyClick(List(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->Program().ToText(), QString::fromUtf8(kThreeSteps));
}

TEST_F(ProgramEditorDlgTest, LoadAsksBeforeDiscardingChanges)
{
    Open(Program(kThreeSteps));
    TypeInCell(0, CProgramEditorDlg::kColRpm, "250");
    const QString changed = dlg->EditedProgram().ToText();
    QString question;
    ModalAnswer<QMessageBox> answer([&](QMessageBox* box) {
        question = box->text();
        box->button(QMessageBox::Cancel)->click();
    });
    Click(dlg->findChild<QPushButton*>("load"));
    EXPECT_TRUE(answer.wait());
    EXPECT_TRUE(question.contains("changes that are not saved")) << question.toStdString();
    EXPECT_EQ(dlg->EditedProgram().ToText(), changed);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);  // no file dialog followed
}
