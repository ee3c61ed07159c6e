#include "ui/RecoveryDlg.h"

#include "run/JournalStore.h"
#include "run/RunJournal.h"
#include "ui/JournalCommands.h"
#include "ui/ResourceIds.h"
#include "ui/RunExport.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

CRecoveryDlg::CRecoveryDlg(const CJournalStore& store, const QStringList& paths, QWidget* parent)
    : QDialog(parent), m_store(store), m_paths(paths)
{
    setWindowTitle(QStringLiteral("Unfinished runs"));
    auto* layout = new QVBoxLayout(this);
    m_pList = new QListWidget(this);
    for (const QString& path : paths) {
        QString text;
        try {
            text = Question(CRunJournal::Summary(path));
        } catch (const CJournalError& e) {
            text = QString::fromLocal8Bit(e.what());
        }
        auto* item = new QListWidgetItem(text, m_pList);
        item->setToolTip(path);
    }
    m_pList->setCurrentRow(0);
    layout->addWidget(m_pList);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* open = buttons->addButton(QStringLiteral("Open"), QDialogButtonBox::ActionRole);
    QPushButton* save = buttons->addButton(QStringLiteral("Save as…"), QDialogButtonBox::ActionRole);
    QPushButton* keep = buttons->addButton(QStringLiteral("Keep"), QDialogButtonBox::ActionRole);
    QPushButton* discard = buttons->addButton(QStringLiteral("Discard"), QDialogButtonBox::ActionRole);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    open->setObjectName(QStringLiteral("open"));
    save->setObjectName(QStringLiteral("save"));
    keep->setObjectName(QStringLiteral("keep"));
    discard->setObjectName(QStringLiteral("discard"));
    connect(open, &QPushButton::clicked, this, &CRecoveryDlg::OpenSelected);
    connect(save, &QPushButton::clicked, this, &CRecoveryDlg::SaveSelected);
    connect(keep, &QPushButton::clicked, this, &CRecoveryDlg::KeepSelected);
    connect(discard, &QPushButton::clicked, this, &CRecoveryDlg::DiscardSelected);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(560, 220);
}

QString CRecoveryDlg::Question(const CRunJournal& summary)
{
    const QString start = summary.Header(QStringLiteral("start"));
    // 2026-12-07T13:16:45.123+01:00 -> 2026-12-07 13:16:45
    const QString when = start.size() >= 19 ? start.left(10) + QLatin1Char(' ') + start.mid(11, 8) : start;
    return QStringLiteral("A run started %1 with %2 samples was not finished.").arg(when).arg(summary.SampleCount());
}

QString CRecoveryDlg::Selected() const
{
    const int row = m_pList->currentRow();
    return row >= 0 && row < m_paths.size() ? m_paths[row] : QString();
}

void CRecoveryDlg::Select(int row)
{
    m_pList->setCurrentRow(row);
}

void CRecoveryDlg::RemoveSelected()
{
    const int row = m_pList->currentRow();
    if (row < 0 || row >= m_paths.size()) return;
    m_paths.removeAt(row);
    delete m_pList->takeItem(row);
    if (m_paths.isEmpty()) accept();
}

void CRecoveryDlg::OpenSelected()
{
    m_strOpen = Selected();
    if (!m_strOpen.isEmpty()) accept();
}

void CRecoveryDlg::SaveSelected()
{
    if (Selected().isEmpty()) return;
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("xls"));
    dialog.setNameFilter(QStringLiteral("*.xls"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    SaveSelectedTo(dialog.selectedFiles().constFirst());
}

bool CRecoveryDlg::SaveSelectedTo(const QString& path)
{
    QString reason;
    try {
        if (CRunExport::Write(path, CJournalCommands::ExportBytes(CRunJournal::Load(Selected())), &reason)) return true;
    } catch (const CJournalError& e) {
        reason = QString::fromLocal8Bit(e.what());
    }
    QMessageBox::warning(this, vantoc::String(vantoc::IDS_PRODUCT_NAME), CRunExport::FailureMessage(path, reason));
    return false;
}

void CRecoveryDlg::KeepSelected()
{
    RemoveSelected();
}

void CRecoveryDlg::DiscardSelected()
{
    const QString path = Selected();
    if (path.isEmpty()) return;
    QString reason;
    if (!m_store.Discard(path, &reason)) {
        QMessageBox::warning(this, vantoc::String(vantoc::IDS_PRODUCT_NAME),
                             QStringLiteral("The journal \"%1\" could not be moved: %2").arg(path, reason));
        return;
    }
    RemoveSelected();
}
