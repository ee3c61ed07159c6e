#pragma once

#include "platform/Icon.h"
#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "platform/WinDef.h"

#include <QLineEdit>
#include <QStringList>
#include <QTimer>
#include <vector>

namespace plat {
class CDC;
}

// A single-line edit that can carry one small button inside its right edge
// (a labelled button, file or folder browsing, or a spin button) and can act
// as a checked number field with a range and a number of decimals.
//
// A number accepted by the check that differs from the last accepted text
// is announced with numberAccepted. Everything runs on the UI thread.
class QUINDLE_EXPORT CVelEdit : public QLineEdit {
    Q_OBJECT

public:
    enum eMode {
        ModePlain = 0,
        ModeLabel = 1,   // a labelled button for derived classes
        ModeFile = 2,    // opens a file
        ModeFolder = 3,  // picks a folder
        ModeNumber = 4,  // a checked number, no button
        ModeSpin = 5,    // a checked number with a spin button
    };

    // The spin button repeats this often while it is held.
    static constexpr int kSpinInterval = 80;  // ms
    // The light blue of a button under the pointer.
    static constexpr plat::COLORREF kHotColor = 0xD2BDB6;

    explicit CVelEdit(QWidget* parent = nullptr);
    ~CVelEdit() override;

    // Choosing the mode; done once, after the control is placed.
    void EnableDefaultButton(const plat::CString& strLabel);
    // strFilter in the "Description|*.ext;*.ext2|...|" form.
    void EnableFileBrowseButton(const plat::CString& strDefExt = {}, const plat::CString& strFilter = {});
    void EnableFolderBrowseButton(const plat::CString& strTitle = {});
    void EnableSpinNumButton();
    void EnableNumberEdit();

    void EnableMinus() { m_bMinus = plat::TRUE; }
    // On: the number is checked a while after typing, and the spin repeats.
    void EnableAutoCheck(plat::BOOL bOn) { m_bAutoCheck = bOn; }
    // On: Enter stays with the control instead of going to the dialog.
    void EnableWantAllKeys(plat::BOOL bOn) { m_bWantAllKeys = bOn; }
    // Delay between the last keystroke and the check, in milliseconds.
    void SetTimerSleepTime(plat::UINT nMilliseconds) { m_nTimerDelay = nMilliseconds; }
    void SetRange(double dMin, double dMax);
    void GetRange(double& dMin, double& dMax) const;
    void SetStepValue(double dStep) { m_dStep = dStep; }
    double GetStepValue() const { return m_dStep; }
    void SetPrecision(plat::UINT nDecimals) { m_nPrecision = nDecimals; }
    plat::UINT GetPrecision() const { return m_nPrecision; }

    // Clamps to the range, shows the value and makes it the last accepted
    // text, without announcing it.
    void SetValue(double dValue);
    void SetValue(long nValue);
    // The number at the start of the text, 0 when there is none.
    void GetValue(double& dValue) const;
    void GetValue(long& nValue) const;

    // Checks the text; a refused text is reported and replaced by the last
    // accepted one. TRUE when the text was accepted.
    plat::BOOL JudgeNumberIsLegal();

    int GetMode() const { return m_nMode; }
    int GetButtonWidth() const { return m_nButtonWidth; }
    plat::CRect GetButtonRect() const { return m_rcButton; }
    plat::CRect GetUpperRect() const { return m_rcUpper; }
    plat::CRect GetLowerRect() const { return m_rcLower; }
    const plat::CString& GetLastAcceptedText() const { return m_strLastText; }
    bool IsPressed() const { return m_bPressed; }
    bool IsHot() const { return m_bHot; }
    bool IsTracking() const { return m_bTracking; }
    bool IsUpperHalf() const { return m_bUpperHalf; }
    // Pictures loaded from the library (16 x 16 each), or none.
    int GetImageCount() const { return static_cast<int>(m_arImages.size()); }

    // The pending check after typing, and the spin's repeat.
    const QTimer& CheckTimer() const { return m_CheckTimer; }
    const QTimer& SpinTimer() const { return m_SpinTimer; }
    // What one tick of each timer does.
    void OnCheckTimer();
    void OnSpinTimer();
    // Ends any pointer interaction with the button.
    void OnCancelMode();

    // "Text (*.txt)|*.txt|All (*.*)|*.*||" as the file dialog's name filters.
    static QStringList NameFilters(const plat::CString& strFilter);

signals:
    // A checked number was accepted and differs from the last accepted text.
    void numberAccepted();

protected:
    // After a completed click on the button: browsing in the file and
    // folder modes; nothing of its own for the labelled button.
    virtual void OnClickButton();
    // The button's face, content and frame in rc.
    virtual void DrawButton(plat::CDC* pDC, plat::CRect rc, plat::BOOL bPressed, plat::BOOL bHot);
    // Reserves the button strip at the right edge and places the button.
    virtual void ChangeLayout();
    // The file dialog and the folder browser; a cancelled one changes nothing.
    virtual void BrowseFile();
    virtual void BrowseFolder();
    // Shows the message of a refused text (a modal box).
    virtual void ShowMessage(const plat::CString& strText);

    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    bool HasButton() const { return m_nMode != ModePlain && m_nMode != ModeNumber; }
    bool IsNumberMode() const { return m_nMode == ModeNumber || m_nMode == ModeSpin; }
    bool InButton(const QPoint& pt) const;
    void LoadPictures();
    void PlaceButton();
    void DrawLabel(plat::CDC* pDC, plat::CRect rc, bool bPressed);
    void DrawPicture(plat::CDC* pDC, const plat::CRect& rc, int nImage);
    void DrawFace(plat::CDC* pDC, const plat::CRect& rc, bool bHot);
    void DrawFrame(plat::CDC* pDC, const plat::CRect& rc, bool bPressed);
    // Keystrokes of the number modes; true when the key was handled.
    bool FilterCharacter(QKeyEvent* e);
    void RememberTextOnce();
    void RestartCheckTimer();
    void Refuse(plat::UINT nMessage, const plat::CString& strArg = {});

    int m_nMode = ModePlain;
    int m_nButtonWidth = 20;
    plat::CRect m_rcButton;  // widget coordinates
    std::vector<plat::CIconPtr> m_arImages;
    int m_nImageWidth = 0;
    int m_nImageHeight = 0;
    plat::BOOL m_bMinus = plat::FALSE;
    bool m_bPressed = false;   // went down on the button, pointer still over it
    bool m_bHot = false;       // pointer over the button
    bool m_bTracking = false;  // a press on the button is in progress
    plat::CString m_strLabel;
    plat::CString m_strDefExt;
    plat::CString m_strFilter;
    plat::CString m_strBrowseTitle;
    plat::CString m_strLastText;
    double m_dStep = 1.0;
    double m_dMin;
    double m_dMax;
    plat::UINT m_nPrecision = 0;
    bool m_bUpperHalf = false;
    plat::CRect m_rcUpper;
    plat::CRect m_rcLower;
    plat::BOOL m_bAutoCheck = plat::TRUE;
    plat::UINT m_nTimerDelay = 500;  // ms
    plat::BOOL m_bWantAllKeys = plat::FALSE;
    // Typing and the spin each have a timer of their own, so a check after
    // typing in spin mode never turns into a step of the value.
    QTimer m_CheckTimer;
    QTimer m_SpinTimer;
};
