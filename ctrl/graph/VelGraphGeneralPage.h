#pragma once

#include "platform/LogFont.h"
#include "platform/PropertyPage.h"
#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

// The general page of a chart's property sheet (template 4000): main title,
// its font and colour, the legend's visibility, position and line layout,
// markers and marker tips. The graph fills the fields before the sheet runs
// and reads them back when it was confirmed.
class QUINDLE_EXPORT CVelGraphGeneralPage : public plat::CPropertyPage {
    Q_OBJECT
public:
    static constexpr int IDD = 4000;

    explicit CVelGraphGeneralPage(QWidget* parent = nullptr);

    plat::CString m_strTitle;
    int m_bEnableLegend = 0;  // enables the show-legend box
    plat::BOOL m_bShowLegend = plat::FALSE;
    int m_bEnableShowMarks = 1;  // enables the show-marks box
    plat::BOOL m_bShowMarks = plat::FALSE;
    plat::BOOL m_bShowTip = plat::FALSE;
    int m_nLegendPos = 0;  // 0 left, 1 top, 2 right, 3 bottom
    plat::BOOL m_bMultiline = plat::FALSE;
    plat::COLORREF m_crTitle = 0;  // chosen in the font dialog
    // The main title's font (not owned): a new font takes effect at once.
    plat::LOGFONT* m_pTitleFont = nullptr;

protected:
    void DoDataExchange(plat::CDataExchange* pDX) override;
    plat::BOOL OnInitDialog() override;

private:
    void OnClickShowLegend();
    void OnClickShowMarks();
    void OnClickFont();
    void EnableLegendOptions(bool bEnable);
};
