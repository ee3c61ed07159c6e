#pragma once

#include "run/SpeedProgram.h"

#include <QDialog>
#include <vector>

class CVelGraphWnd;
class CVelListCtrl;
class QLabel;

// "Program…": edits a speed program as a list of steps (kind, rpm,
// duration), loads and saves program files, and previews the set-point
// over time with the total duration. "Use program" hands the edited program
// back, "Unload" asks for the single speed again; Cancel leaves the program
// given to the constructor as it was.
class CProgramEditorDlg : public QDialog
{
    Q_OBJECT
public:
    enum { kColKind = 0, kColRpm = 1, kColDuration = 2 };

    // maxRpm: the laboratory's maximum speed (50 to 2200); no step may exceed it.
    CProgramEditorDlg(const CSpeedProgram& current, const QString& path, int maxRpm, QWidget* parent = nullptr);

    // What the dialog ended with: the program used (empty after Unload) and
    // the file it was last loaded from or saved to (empty when none).
    CSpeedProgram Program() const { return m_result; }
    QString ProgramPath() const { return m_strResultPath; }
    bool IsProgramLoaded() const { return !m_result.IsEmpty(); }

    // The steps as they stand in the list.
    CSpeedProgram EditedProgram() const { return CSpeedProgram(m_steps); }
    QString EditedPath() const { return m_strPath; }
    // Whether the steps differ from the file (or the program) they came from.
    bool IsModified() const;

    // The actions behind the buttons. Load and Save show why they failed
    // in a message box and return false; the list is then unchanged.
    bool LoadFrom(const QString& path);
    bool SaveTo(const QString& path);
    void AddStep();
    void RemoveStep();
    void MoveStep(int delta);
    void UseProgram();
    void Unload();

    // A duration as the list shows it: h:mm:ss, or seconds when not whole.
    static QString DurationCellText(double seconds);

    CVelListCtrl* List() const { return m_pList; }
    CVelGraphWnd* Preview() const { return m_pPreview; }
    QLabel* TotalLabel() const { return m_pTotal; }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    QWidget* CreateButtons();
    void SetUpList();
    void SetUpPreview();
    // An open cell editor ends first, so its text lands on the step it was
    // opened on before the rows change.
    void CommitEditors();
    void OnEditCommitted(int row, int column, const QString& text);
    // Why text does not fit the cell, or empty; on success the step takes it.
    QString ApplyCell(ProgramStep& step, int column, const QString& text) const;
    void Refresh(int currentRow);
    void FillRow(int row);
    void UpdatePreview();
    void UpdateCaption();
    // Shown after the current event is handled, so an ending editor is not
    // interrupted by the box.
    void WarnLater(const QString& text);
    void Warn(const QString& text);
    void BrowseLoad();
    void BrowseSave();

    std::vector<ProgramStep> m_steps;
    int m_nMaxRpm;
    QString m_strPath;
    QString m_strSavedText;  // the steps as last loaded, saved or given
    CSpeedProgram m_result;
    QString m_strResultPath;
    CVelListCtrl* m_pList;
    CVelGraphWnd* m_pPreview;
    QLabel* m_pTotal;
    QLabel* m_pFile;
};
