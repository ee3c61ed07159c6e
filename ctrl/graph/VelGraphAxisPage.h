#pragma once

#include "graph/GraphAxis.h"
#include "input/VelEdit.h"
#include "platform/LogFont.h"
#include "platform/PropertyPage.h"
#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

class CVelGraph;

// What the X and Y pages of a chart's property sheet share (templates 4002
// and 4003): the axis title with its font and colour, the grids, the range
// with its logarithmic and automatic settings, and the acceptance check.
class QUINDLE_EXPORT CVelGraphAxisPage : public plat::CPropertyPage {
    Q_OBJECT
public:
    CVelGraph* m_pGraph = nullptr;  // not owned; proposes automatic ranges
    int m_bEnableLogarithm = 1;     // enables the logarithmic box
    CVelEdit m_editMin;             // edit 2004
    CVelEdit m_editMax;             // edit 2005
    plat::CString m_strTitle;
    plat::BOOL m_bMajorGrid = plat::FALSE;
    plat::BOOL m_bMinorGrid = plat::FALSE;
    double m_dMin = 0.0;
    double m_dMax = 0.0;
    plat::BOOL m_bLogarithm = plat::FALSE;
    plat::BOOL m_bAutoCalc = plat::FALSE;
    plat::COLORREF m_crTitle = 0;  // chosen in the font dialog
    // The axis title's font (not owned): a new font takes effect at once.
    plat::LOGFONT* m_pTitleFont = nullptr;

    // Refuses a logarithmic range that is not positive (message 4010) and
    // a minimum that is not below the maximum (4011).
    plat::BOOL OnApply() override;

protected:
    CVelGraphAxisPage(int nIDD, QWidget* parent);

    virtual eGraphAxisType AxisType() const = 0;
    // Whether the minor grid and the range may be edited at all.
    virtual bool IsRangeEditable() const { return true; }

    void DoDataExchange(plat::CDataExchange* pDX) override;
    plat::BOOL OnInitDialog() override;
    QWidget* CreateControl(const plat::CDialogItemTemplate& item, QWidget* parent) override;
    // Reports a refused range (a modal box with the library's text).
    virtual void ShowMessage(const plat::CString& strText);

private:
    void OnClickMajorGrid();
    void OnClickAutoCalc();
    void OnClickLogarithm();
    void OnClickFont();
    void ProposeRange();
    void EnableMinorGrid();
};
