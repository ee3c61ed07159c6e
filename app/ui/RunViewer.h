#pragma once

#include "run/OpenedRun.h"

#include <QObject>
#include <QString>
#include <optional>

class CLiveCharts;
class CRunControl;
class QAction;
class QMenu;
class QWidget;

// Opening, comparing and reporting runs in the main window. An opened run
// takes the charts' place read-only, with its file name in the window's
// title, until the next Start. Compared runs go behind the current one.
// Problems are shown as message boxes over the window. UI thread only.
class CRunViewer : public QObject
{
    Q_OBJECT
public:
    // None owned; the viewer is a child of the window.
    CRunViewer(CLiveCharts* pCharts, const CRunControl& run, QWidget* pWindow);

    // Shows the run in the charts; false (after saying why) when the file
    // holds no run or a run is being recorded.
    bool Open(const QString& path);
    // Adds the run behind the current one; false after saying why.
    bool Compare(const QString& path);
    void RemoveComparison(int index);
    // The report of the opened run, else of the last run recorded; false
    // after saying why.
    bool WriteReport(const QString& path);

    // The same, asking for the file first.
    void AskOpen();
    void AskCompare();
    void AskReport();
    // Asks which compared run to remove; nothing without one.
    void AskRemove();
    // "Open run…", "Compare with…", "Remove comparison…" and "Report…"
    // into menu, before the action before (null: at the end).
    void AddEntries(QMenu* menu, QAction* before);

    bool IsShowingOpenedRun() const { return m_opened.has_value(); }
    const std::optional<COpenedRun>& OpenedRun() const { return m_opened; }
    // The title the window has while no run is opened.
    void SetLiveTitle(const QString& title) { m_strLiveTitle = title; }

    // The texts of the message boxes.
    static QString TooManyComparisonsText();
    static QString RecordingText();
    static QString NothingToReportText();

private:
    void BackToLive();
    QString AskFile(const QString& title, bool save, const QString& filter, const QString& suffix) const;
    // The file's run, or nothing after showing why it cannot be read.
    std::optional<COpenedRun> Load(const QString& path);
    void Warn(const QString& text) const;

    CLiveCharts* m_pCharts;
    const CRunControl& m_run;
    QWidget* m_pWindow;
    std::optional<COpenedRun> m_opened;
    QString m_strLiveTitle;
    QString m_strJournal;  // the last run's journal, empty without one
};
