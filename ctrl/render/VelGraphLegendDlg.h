#pragma once

#include "platform/Dialog.h"
#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

#include <array>

class CVelButton;
namespace plat {
class CSpinButtonCtrl;
}
class QLineEdit;

// The legend's property dialog: label of one entry and colour, line width
// (1 to 5 pixels) and point marker of its series. The caller fills the
// public fields before DoModal and reads them after IDOK.
class QUINDLE_EXPORT CVelGraphLegendDlg : public plat::CDialog {
    Q_OBJECT

public:
    static constexpr int IDD = 4001;
    static constexpr int kIdLabel = 2012;
    static constexpr int kIdColor = 2013;
    static constexpr int kIdWidth = 2014;
    static constexpr int kIdSpin = 2015;
    static constexpr int kIdFirstStyle = 2016;  // point style 0, then 1 to 6
    static constexpr int kStyleCount = 7;
    static constexpr int kMinWidth = 1;
    static constexpr int kMaxWidth = 5;

    explicit CVelGraphLegendDlg(QWidget* parent = nullptr);

    plat::CString m_strLabel;
    int m_nWidth = 0;
    plat::COLORREF m_crColor = 0;
    int m_nPointStyle = 0;

    CVelButton* GetColorButton() const { return m_pColor; }
    CVelButton* GetStyleButton(int k) const;

    // Style button k was clicked: k becomes the point style.
    void OnStyleButton(int k);
    // The colour button: a colour dialog opens on m_crColor.
    void OnColorButton();

protected:
    plat::BOOL OnInitDialog() override;
    void DoDataExchange(plat::CDataExchange* pDX) override;
    QWidget* CreateControl(const plat::CDialogItemTemplate& item, QWidget* parent) override;

    // Asks for a colour starting at cr; false when the user cancelled.
    virtual bool ChooseColor(plat::COLORREF& cr);

private:
    void SetSwatch(plat::COLORREF cr);
    void StepWidth(int iDelta);

    CVelButton* m_pColor = nullptr;
    std::array<CVelButton*, kStyleCount> m_pStyles{};
};
