#include "ui/RunViewer.h"

#include "ui/LiveCharts.h"
#include "ui/ResourceIds.h"
#include "ui/RunControl.h"
#include "ui/RunRecord.h"
#include "ui/RunReport.h"

#include "run/JournalStore.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QWidget>

namespace {
const char* const kRunFilter = "Runs (*.vrun *.xls);;Journals (*.vrun);;Saved runs (*.xls);;All files (*)";
const char* const kReportFilter = "PDF (*.pdf);;PNG picture (*.png)";
}  // namespace

CRunViewer::CRunViewer(CLiveCharts* pCharts, const CRunControl& run, QWidget* pWindow)
    : QObject(pWindow), m_pCharts(pCharts), m_run(run), m_pWindow(pWindow)
{
    connect(&run, &CRunControl::runReset, this, &CRunViewer::BackToLive);
    connect(&run, &CRunControl::journalChanged, this, [this](const QString& path) {
        if (!path.isEmpty()) m_strJournal = path;
    });
}

QString CRunViewer::TooManyComparisonsText()
{
    return QStringLiteral("At most %1 runs can be compared at a time. Remove one first.")
        .arg(CChartOverlays::kMaxOverlays);
}

QString CRunViewer::RecordingText()
{
    return QStringLiteral("A run is being recorded. Stop it before opening another run.");
}

QString CRunViewer::NothingToReportText()
{
    return QStringLiteral("There is no run to report yet: open one or record one.");
}

void CRunViewer::Warn(const QString& text) const
{
    QMessageBox box(QMessageBox::Warning, vantoc::String(vantoc::IDS_PRODUCT_NAME), text, QMessageBox::Ok, m_pWindow);
    box.exec();
}

std::optional<COpenedRun> CRunViewer::Load(const QString& path)
{
    try {
        return COpenedRun::Load(path);
    } catch (const CRunFileError& e) {
        Warn(QString::fromUtf8(e.what()));
        return std::nullopt;
    }
}

bool CRunViewer::Open(const QString& path)
{
    if (m_run.IsRunning()) {
        Warn(RecordingText());
        return false;
    }
    std::optional<COpenedRun> run = Load(path);
    if (!run) return false;
    m_pCharts->ShowRun(*run);
    m_opened = std::move(run);
    if (m_strLiveTitle.isEmpty()) m_strLiveTitle = m_pWindow->windowTitle();
    m_pWindow->setWindowTitle(QStringLiteral("%1 - %2").arg(m_opened->FileName(), m_strLiveTitle));
    if (!m_opened->BadLines().IsEmpty()) Warn(QStringLiteral("%1: %2").arg(m_opened->FileName(), m_opened->BadLines().Text()));
    return true;
}

bool CRunViewer::Compare(const QString& path)
{
    if (m_pCharts->Overlays().Count() >= CChartOverlays::kMaxOverlays) {
        Warn(TooManyComparisonsText());
        return false;
    }
    const std::optional<COpenedRun> run = Load(path);
    if (!run) return false;
    m_pCharts->AddOverlay(run->FileName(), *run);
    if (!run->BadLines().IsEmpty()) Warn(QStringLiteral("%1: %2").arg(run->FileName(), run->BadLines().Text()));
    return true;
}

void CRunViewer::RemoveComparison(int index)
{
    m_pCharts->RemoveOverlay(index);
}

bool CRunViewer::WriteReport(const QString& path)
{
    std::optional<COpenedRun> current;
    if (!m_opened && !m_strJournal.isEmpty()) {
        current = Load(m_strJournal);
        if (!current) return false;
    } else if (!m_opened && m_run.Record().GetCount() > 0) {
        std::vector<SRunSample> samples;
        const CRunRecord& record = m_run.Record();
        for (int i = 0; i < record.GetCount(); ++i)
            samples.push_back({int(record.SpeedSamples()[size_t(i)]), int(record.TorqueSamples()[size_t(i)]), -1});
        current = COpenedRun::FromSamples(m_pCharts->CurrentName(), std::move(samples));
    }
    const COpenedRun* pRun = m_opened ? &*m_opened : current ? &*current : nullptr;
    if (!pRun) {
        Warn(NothingToReportText());
        return false;
    }
    QString error;
    if (CRunReport(*pRun).Save(path, &error)) return true;
    Warn(QStringLiteral("The report could not be written: %1").arg(error));
    return false;
}

void CRunViewer::BackToLive()
{
    if (!m_opened) return;
    m_opened.reset();
    m_pWindow->setWindowTitle(m_strLiveTitle);
}

QString CRunViewer::AskFile(const QString& title, bool save, const QString& filter, const QString& suffix) const
{
    QFileDialog dialog(m_pWindow, title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(filter);
    if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    if (!save) dialog.setDirectory(CJournalStore::DefaultDir());
    if (save)
        connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
            dialog.setDefaultSuffix(f.startsWith(QLatin1String("PNG")) ? QStringLiteral("png") : QStringLiteral("pdf"));
        });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

void CRunViewer::AskOpen()
{
    const QString path = AskFile(QStringLiteral("Open run"), false, QString::fromLatin1(kRunFilter), {});
    if (!path.isEmpty()) Open(path);
}

void CRunViewer::AskCompare()
{
    const QString path = AskFile(QStringLiteral("Compare with"), false, QString::fromLatin1(kRunFilter), {});
    if (!path.isEmpty()) Compare(path);
}

void CRunViewer::AskReport()
{
    const QString path = AskFile(QStringLiteral("Report"), true, QString::fromLatin1(kReportFilter), QStringLiteral("pdf"));
    if (!path.isEmpty()) WriteReport(path);
}

void CRunViewer::AskRemove()
{
    const QStringList names = m_pCharts->Overlays().Names();
    if (names.isEmpty()) return;
    bool ok = false;
    const QString name = QInputDialog::getItem(m_pWindow, QStringLiteral("Remove comparison"),
                                               QStringLiteral("Compared run:"), names, 0, false, &ok);
    if (ok && names.contains(name)) RemoveComparison(int(names.indexOf(name)));
}

void CRunViewer::AddEntries(QMenu* menu, QAction* before)
{
    auto* open = new QAction(QStringLiteral("Open run…"), menu);
    auto* compare = new QAction(QStringLiteral("Compare with…"), menu);
    auto* remove = new QAction(QStringLiteral("Remove comparison…"), menu);
    auto* report = new QAction(QStringLiteral("Report…"), menu);
    for (QAction* action : {open, compare, remove, report}) menu->insertAction(before, action);
    menu->insertSeparator(before);
    connect(open, &QAction::triggered, this, &CRunViewer::AskOpen);
    connect(compare, &QAction::triggered, this, &CRunViewer::AskCompare);
    connect(remove, &QAction::triggered, this, &CRunViewer::AskRemove);
    connect(report, &QAction::triggered, this, &CRunViewer::AskReport);
    connect(menu, &QMenu::aboutToShow, remove, [this, remove] { remove->setEnabled(m_pCharts->Overlays().Count() > 0); });
}
