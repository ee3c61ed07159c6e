#include "ui/ProgramEditorDlg.h"

#include "graph/VelGraphWnd.h"
#include "input/VelInComboBox.h"
#include "input/VelInEdit.h"
#include "input/VelListCtrl.h"
#include "run/DurationText.h"
#include "run/ProgramFile.h"
#include "ui/Palette.h"
#include "ui/ResourceIds.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

const QString kHold = QStringLiteral("hold");
const QString kRamp = QStringLiteral("ramp");
const QString kFileFilter = QStringLiteral("Speed programs (*.prog *.txt);;All files (*)");
constexpr plat::COLORREF kTraceColor = 0x800000;  // dark blue, as the speed chart
// The number cell only filters keystrokes; its range is wide enough that
// the typed value reaches the check below and is refused there, not clamped.
constexpr int kCellMaxNumber = 99999;

QString KindText(ProgramStep::Kind kind)
{
    return kind == ProgramStep::Hold ? kHold : kRamp;
}

QString NoStepsReason()
{
    return QStringLiteral("the program has no steps");
}

}  // namespace

CProgramEditorDlg::CProgramEditorDlg(const CSpeedProgram& current, const QString& path, int maxRpm, QWidget* parent)
    : QDialog(parent),
      m_steps(current.Steps()),
      m_nMaxRpm(std::clamp(maxRpm, CSpeedProgram::kMinRpm, CSpeedProgram::kMaxRpm)),
      m_strPath(path),
      m_strSavedText(current.ToText()),
      m_result(current),
      m_strResultPath(current.IsEmpty() ? QString() : path)
{
    setWindowTitle(QStringLiteral("Program"));
    auto* layout = new QVBoxLayout(this);
    m_pFile = new QLabel(this);
    m_pFile->setObjectName(QStringLiteral("file"));
    layout->addWidget(m_pFile);

    m_pList = new CVelListCtrl(this);
    SetUpList();
    auto* middle = new QHBoxLayout;
    middle->addWidget(m_pList, 1);
    middle->addWidget(CreateButtons());
    layout->addLayout(middle, 1);

    m_pTotal = new QLabel(this);
    m_pTotal->setObjectName(QStringLiteral("total"));
    layout->addWidget(m_pTotal);
    m_pPreview = new CVelGraphWnd(this);
    m_pPreview->setMinimumHeight(200);
    SetUpPreview();
    layout->addWidget(m_pPreview, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* use = buttons->addButton(QStringLiteral("Use program"), QDialogButtonBox::AcceptRole);
    QPushButton* unload = buttons->addButton(QStringLiteral("Unload"), QDialogButtonBox::ResetRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    use->setObjectName(QStringLiteral("use"));
    unload->setObjectName(QStringLiteral("unload"));
    unload->setToolTip(QStringLiteral("Start runs the single speed again"));
    connect(use, &QPushButton::clicked, this, &CProgramEditorDlg::UseProgram);
    connect(unload, &QPushButton::clicked, this, &CProgramEditorDlg::Unload);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    Refresh(0);
    resize(620, 560);
}

QWidget* CProgramEditorDlg::CreateButtons()
{
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    const auto add = [&](const QString& text, const char* name, auto slot) {
        auto* button = new QPushButton(text, box);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
        column->addWidget(button);
    };
    add(QStringLiteral("Add step"), "add", [this] { AddStep(); });
    add(QStringLiteral("Remove step"), "remove", [this] { RemoveStep(); });
    add(QStringLiteral("Move up"), "up", [this] { MoveStep(-1); });
    add(QStringLiteral("Move down"), "down", [this] { MoveStep(1); });
    column->addSpacing(12);
    add(QStringLiteral("Load…"), "load", [this] { BrowseLoad(); });
    add(QStringLiteral("Save…"), "save", [this] { BrowseSave(); });
    column->addStretch(1);
    return box;
}

void CProgramEditorDlg::SetUpList()
{
    m_pList->InitListControl();
    m_pList->InsertColumn(kColKind, QStringLiteral("Step"), CVelListCtrl::LVCFMT_LEFT, 90);
    m_pList->InsertColumn(kColRpm, QStringLiteral("Speed (rpm)"), CVelListCtrl::LVCFMT_RIGHT, 110);
    m_pList->InsertColumn(kColDuration, QStringLiteral("Duration"), CVelListCtrl::LVCFMT_RIGHT, 110);
    m_pList->SetComboColText(kColKind, -1, {kHold, kRamp});
    m_pList->SetNumEdit(kColRpm, -1, 0, kCellMaxNumber);
    connect(m_pList, &CVelListCtrl::editCommitted, this, &CProgramEditorDlg::OnEditCommitted);
}

void CProgramEditorDlg::SetUpPreview()
{
    CVelGraph* graph = m_pPreview->GetGraph();
    // The live charts' colours: the chart's scale texts are drawn for them.
    m_pPreview->SetBkgColor(vantoc::kBackground);
    m_pPreview->SetXTitleColor(vantoc::kLightText);
    m_pPreview->SetYTitleColor(vantoc::kLightText);
    m_pPreview->ShowButtons(plat::FALSE);
    graph->EnableShowLegend(plat::FALSE);
    graph->EnableSeriesActivate(plat::FALSE);
    graph->EnableShowTitle(plat::FALSE);
    graph->EnableShowXTitle(plat::TRUE);
    graph->EnableShowYTitle(plat::TRUE);
    graph->SetAxisValueType(GRAPH_AXIS_X, AXIS_VALUE_TIME);
    graph->SetAxisValueType(GRAPH_AXIS_Y, AXIS_VALUE_INTEGER);
    graph->EnableAxisRecalculate(GRAPH_AXIS_X, plat::FALSE);
    graph->EnableAxisRecalculate(GRAPH_AXIS_Y, plat::FALSE);
    graph->SetAxisGrid(GRAPH_AXIS_X, plat::TRUE, plat::FALSE);
    graph->SetAxisGrid(GRAPH_AXIS_Y, plat::TRUE, plat::FALSE);
    m_pPreview->SetGraphType(GRAPH_LINE);
    m_pPreview->SetXTitle(QStringLiteral("Time"));
    m_pPreview->SetYTitle(QStringLiteral("Set-point (rpm)"));
}

void CProgramEditorDlg::Refresh(int currentRow)
{
    m_pList->DeleteAllItems();
    for (int row = 0; row < int(m_steps.size()); ++row) {
        m_pList->InsertItem(row, KindText(m_steps[row].kind));
        FillRow(row);
    }
    if (!m_steps.empty())
        m_pList->setCurrentCell(std::clamp(currentRow, 0, int(m_steps.size()) - 1), 0);
    UpdatePreview();
    UpdateCaption();
}

void CProgramEditorDlg::FillRow(int row)
{
    const ProgramStep& step = m_steps[row];
    m_pList->SetItemText(row, kColKind, KindText(step.kind));
    m_pList->SetItemText(row, kColRpm, QString::number(step.rpm));
    m_pList->SetItemText(row, kColDuration, DurationCellText(step.seconds));
}

void CProgramEditorDlg::UpdateCaption()
{
    const QString file = m_strPath.isEmpty() ? QStringLiteral("(not saved)") : QFileInfo(m_strPath).fileName();
    const QString changed = IsModified() ? QStringLiteral(" (changed)") : QString();
    m_pFile->setText(QStringLiteral("Program file: %1%2").arg(file, changed));
    m_pFile->setToolTip(m_strPath);
    m_pTotal->setText(QStringLiteral("Total duration: %1").arg(CDurationText::Format(EditedProgram().TotalSeconds())));
}

void CProgramEditorDlg::UpdatePreview()
{
    m_pPreview->RemoveAll(plat::TRUE);
    const std::vector<SetPointVertex> trace = EditedProgram().Trace();
    if (trace.empty()) {
        m_pPreview->SetAxisRange(GRAPH_AXIS_X, 0, 60, plat::TRUE);
        m_pPreview->SetAxisRange(GRAPH_AXIS_Y, 0, CSpeedProgram::kMaxRpm, plat::TRUE);
        return;
    }
    std::vector<double> x;
    std::vector<double> y;
    double top = 0;
    for (const SetPointVertex& v : trace) {
        x.push_back(v.seconds);
        y.push_back(v.rpm);
        top = std::max(top, v.rpm);
    }
    m_pPreview->AddSeries(plat::UINT(x.size()), x.data(), y.data());
    CVelGraphSeries* series = m_pPreview->GetSeries(0);
    series->SetColor(kTraceColor);
    series->SetPointStyle(POINT_NONE);
    series->SetWidth(2);
    // A little room above the highest step, so its line is not on the frame.
    m_pPreview->SetAxisRange(GRAPH_AXIS_Y, 0, std::ceil(top * 1.1 / 100) * 100, plat::TRUE);
    // Room after the end, so the drop to 0 rpm is not hidden by the frame.
    m_pPreview->SetAxisRange(GRAPH_AXIS_X, 0, std::max(trace.back().seconds * 1.05, 1.0), plat::TRUE);
}

QString CProgramEditorDlg::DurationCellText(double seconds)
{
    if (seconds == std::floor(seconds))
        return CDurationText::Format(seconds);
    return QString::number(seconds, 'g', 15) + QLatin1Char('s');
}

QString CProgramEditorDlg::ApplyCell(ProgramStep& step, int column, const QString& text) const
{
    const QString typed = text.trimmed();
    if (column == kColKind) {
        if (typed != kHold && typed != kRamp)
            return QStringLiteral("unknown step \"%1\" (hold or ramp)").arg(typed);
        step.kind = typed == kHold ? ProgramStep::Hold : ProgramStep::Ramp;
        return QString();
    }
    // The file's own rules judge the cell, so the editor refuses exactly
    // what Load would refuse, with the same words.
    QString rpm = QString::number(step.rpm);
    QString duration = QString::number(step.seconds, 'g', 15);
    if (column == kColRpm)
        rpm = typed;
    else
        duration = typed;
    const bool oneWord = std::none_of(typed.begin(), typed.end(), [](QChar c) { return c.isSpace() || c == u'#'; });
    if (typed.isEmpty() || !oneWord)
        return column == kColRpm ? QStringLiteral("speed \"%1\" is not a whole number").arg(typed)
                                 : QStringLiteral("duration \"%1\" is not seconds, m:ss or h:mm:ss").arg(typed);
    CSpeedProgram::Error error;
    const CSpeedProgram one =
        CSpeedProgram::Parse(QStringLiteral("%1 %2 %3").arg(KindText(step.kind), rpm, duration), m_nMaxRpm, &error);
    if (one.IsEmpty())
        return error.reason;
    step = one.Steps().front();
    return QString();
}

void CProgramEditorDlg::OnEditCommitted(int row, int column, const QString& text)
{
    if (row < 0 || row >= int(m_steps.size()))
        return;
    const QString reason = ApplyCell(m_steps[row], column, text);
    FillRow(row);
    UpdatePreview();
    UpdateCaption();
    if (!reason.isEmpty())
        WarnLater(CSpeedProgram::Error{row + 1, reason}.Message());
}

void CProgramEditorDlg::AddStep()
{
    CommitEditors();
    const int current = m_pList->currentRow();
    const int at = current >= 0 && current < int(m_steps.size()) ? current + 1 : int(m_steps.size());
    if (int(m_steps.size()) >= CSpeedProgram::kMaxSteps) {
        Warn(QStringLiteral("A program has at most %1 steps.").arg(CSpeedProgram::kMaxSteps));
        return;
    }
    ProgramStep step{ProgramStep::Hold, std::min(200, m_nMaxRpm), 60};
    if (at > 0)
        step.rpm = m_steps[at - 1].rpm;
    m_steps.insert(m_steps.begin() + at, step);
    Refresh(at);
}

void CProgramEditorDlg::RemoveStep()
{
    CommitEditors();
    const int current = m_pList->currentRow();
    if (current < 0 || current >= int(m_steps.size()))
        return;
    m_steps.erase(m_steps.begin() + current);
    Refresh(current);
}

void CProgramEditorDlg::MoveStep(int delta)
{
    CommitEditors();
    const int current = m_pList->currentRow();
    const int target = current + delta;
    if (current < 0 || current >= int(m_steps.size()) || target < 0 || target >= int(m_steps.size()))
        return;
    std::swap(m_steps[current], m_steps[target]);
    Refresh(target);
}

bool CProgramEditorDlg::LoadFrom(const QString& path)
{
    CommitEditors();
    CSpeedProgram::Error error;
    const CSpeedProgram program = CProgramFile::Load(path, m_nMaxRpm, &error);
    if (program.IsEmpty()) {
        Warn(QStringLiteral("The program %1 was not loaded:\n%2").arg(QFileInfo(path).fileName(), error.Message()));
        return false;
    }
    m_steps = program.Steps();
    m_strPath = path;
    m_strSavedText = program.ToText();
    Refresh(0);
    return true;
}

bool CProgramEditorDlg::SaveTo(const QString& path)
{
    CommitEditors();
    if (m_steps.empty()) {
        Warn(QStringLiteral("The program was not saved: %1.").arg(NoStepsReason()));
        return false;
    }
    QString error;
    if (!CProgramFile::Save(path, EditedProgram(), &error)) {
        Warn(QStringLiteral("The program was not saved: %1").arg(error));
        return false;
    }
    m_strPath = path;
    m_strSavedText = EditedProgram().ToText();
    UpdateCaption();
    return true;
}

void CProgramEditorDlg::CommitEditors()
{
    if (auto* edit = m_pList->GetInEdit())
        edit->EndEdit();
    if (auto* combo = m_pList->GetInComboBox())
        combo->EndEdit();
}

void CProgramEditorDlg::UseProgram()
{
    CommitEditors();
    // The same check as a file gets, so a limit lowered since the program
    // was loaded is caught here too.
    CSpeedProgram::Error error;
    const CSpeedProgram program = CSpeedProgram::Parse(EditedProgram().ToText(), m_nMaxRpm, &error);
    if (program.IsEmpty()) {
        Warn(QStringLiteral("The program cannot be used: %1").arg(error.Message()));
        return;
    }
    m_result = program;
    m_strResultPath = m_strPath;
    accept();
}

void CProgramEditorDlg::Unload()
{
    m_result = CSpeedProgram();
    m_strResultPath.clear();
    accept();
}

bool CProgramEditorDlg::IsModified() const
{
    return EditedProgram().ToText() != m_strSavedText;
}

void CProgramEditorDlg::BrowseLoad()
{
    CommitEditors();
    if (IsModified() &&
        QMessageBox::question(this, vantoc::String(vantoc::IDS_PRODUCT_NAME),
                              QStringLiteral("The program has changes that are not saved. Discard them and load "
                                             "another program?"),
                              QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Cancel) != QMessageBox::Discard)
        return;
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Load program"),
                                                      QFileInfo(m_strPath).path(), kFileFilter);
    if (!path.isEmpty())
        LoadFrom(path);
}

void CProgramEditorDlg::BrowseSave()
{
    QFileDialog dialog(this, QStringLiteral("Save program"), m_strPath, kFileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("prog"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    SaveTo(dialog.selectedFiles().constFirst());
}

void CProgramEditorDlg::keyPressEvent(QKeyEvent* e)
{
    // Enter confirms a cell; it must never take the program as well.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void CProgramEditorDlg::WarnLater(const QString& text)
{
    QMetaObject::invokeMethod(this, [this, text] { Warn(text); }, Qt::QueuedConnection);
}

void CProgramEditorDlg::Warn(const QString& text)
{
    QMessageBox::warning(this, vantoc::String(vantoc::IDS_PRODUCT_NAME), text);
}
