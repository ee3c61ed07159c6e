#pragma once

#include <QDialog>
#include <QStringList>

class CJournalStore;
class CRunJournal;
class QLabel;
class QListWidget;
class QPushButton;

// The one question at start about runs that were not finished: lists every
// unfinished journal ("A run started <date time> with N samples was not
// finished.") and offers, for the selected one, Open (into the charts),
// Save as… (Save's .xls format), Keep and Discard (moved to discarded/).
// Closing keeps whatever is left.
class CRecoveryDlg : public QDialog
{
    Q_OBJECT
public:
    // paths: the unfinished journals; store is not owned.
    CRecoveryDlg(const CJournalStore& store, const QStringList& paths, QWidget* parent = nullptr);

    // The question's text for one journal.
    static QString Question(const CRunJournal& summary);

    // The journal to open in the charts, empty when none was chosen.
    const QString& OpenPath() const { return m_strOpen; }
    QStringList Remaining() const { return m_paths; }

    // The actions on the selected journal (the buttons call them).
    void OpenSelected();
    // Writes the selected journal's export to path; false after showing why.
    bool SaveSelectedTo(const QString& path);
    void KeepSelected();
    void DiscardSelected();
    void Select(int row);

    QListWidget* List() const { return m_pList; }

private:
    QString Selected() const;
    void RemoveSelected();
    void SaveSelected();

    const CJournalStore& m_store;
    QStringList m_paths;
    QString m_strOpen;
    QListWidget* m_pList;
};
