#pragma once

#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

#include <QString>
#include <exception>

class QWidget;

namespace plat {

class CDialog;

// Thrown by a failed exchange or validation after the message was shown;
// CDialog::UpdateData turns it into FALSE.
class QUINDLE_EXPORT CUserException : public std::exception {
public:
    const char* what() const noexcept override { return "dialog data refused"; }
};

// One exchange between a dialog's controls and its members, in either
// direction. Validation runs only when saving, on the control exchanged last.
class QUINDLE_EXPORT CDataExchange {
public:
    CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;
    CDialog* m_pDlgWnd;

    // The control with this id, remembered as the one a failure focuses.
    QWidget* PrepareCtrl(int nIDC);
    // Shows the standard message, puts the focus on the last control and
    // throws CUserException.
    [[noreturn]] void Fail(const QString& message);

private:
    QWidget* m_pLastControl = nullptr;
};

QUINDLE_EXPORT void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
QUINDLE_EXPORT void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
QUINDLE_EXPORT void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
QUINDLE_EXPORT void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
// A check box: 0 unchecked, 1 checked, 2 indeterminate.
QUINDLE_EXPORT void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// The first radio button of a group: the index of the checked one, -1 none.
QUINDLE_EXPORT void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// A combo box by text: loading selects the first item that begins with the
// text, ignoring case (an editable box without such an item shows the text);
// saving reads the edit text, or the selected item of a list-only box.
QUINDLE_EXPORT void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);

QUINDLE_EXPORT void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
QUINDLE_EXPORT void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal);
QUINDLE_EXPORT void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minVal, double maxVal);

// The standard validation texts.
QUINDLE_EXPORT QString ParseIntMessage();
QUINDLE_EXPORT QString ParseRealMessage();
QUINDLE_EXPORT QString IntRangeMessage(long long minVal, long long maxVal);
QUINDLE_EXPORT QString RealRangeMessage(double minVal, double maxVal);

}  // namespace plat
