#pragma once

#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "platform/WinDef.h"

#include <QFrame>
#include <memory>

namespace plat {
class CBitmap;
class CDC;
}  // namespace plat

// A numeric display in the look of a seven-segment panel: it shows one value
// in a fixed number of digit places, each drawn by copying a cell of a digit
// strip bitmap, and sizes its window to fit the places.
class QUINDLE_EXPORT CVelDigit : public QFrame {
    Q_OBJECT

public:
    // Cells of the digit strip after the ten digits.
    static constexpr int kCellPoint = 10;
    static constexpr int kCellMinus = 11;
    static constexpr int kCellBlank = 12;
    static constexpr int kCellCount = 13;
    // Space between the window edge and the first cell, on every side.
    static constexpr int kMargin = 3;
    // Resize flags: keep the left edge (else the right), keep the top (else the bottom).
    static constexpr unsigned long kKeepLeft = 0x04;
    static constexpr unsigned long kKeepTop = 0x08;

    explicit CVelDigit(QWidget* parent = nullptr);
    ~CVelDigit() override;

    // Loads the strip bitmap nBitmapId through the calling program's resource
    // chain, takes nPrecision when it is 1 to 10 and resizes the window.
    // Returns 0 and changes nothing when the bitmap cannot be loaded.
    int SetStyle(plat::UINT nBitmapId, int nPrecision);

    // Only the value 1 counts as "yes" for the repaint and resize arguments.
    void SetPrecision(int nPlaces, int nResize);
    int GetPrecision() const { return m_nPrecision; }
    void SetDotPrecision(int nDecimals) { m_nDotPrecision = nDecimals; }
    int GetDotPrecision() const { return m_nDotPrecision; }
    void SetValue(float fValue, int nRepaint);
    float GetValue() const { return m_fValue; }
    void Inc(int nRepaint);
    void Dec(int nRepaint);
    void SetZeroPadding(int nOn, int nRepaint);
    int GetZeroPadding() const { return m_bZeroPadding; }
    void SetResize(unsigned long ulFlags, int nResize);
    unsigned long GetResize() const { return m_ulResize; }

    static int GetVersionI() { return 10; }
    static plat::CString GetVersionC() { return QStringLiteral("1.0"); }

    // The text shown: the value formatted with nDotPrecision decimals (a whole
    // number, truncated toward zero, when it is 0 or less), cut to its last
    // nPrecision characters and padded with blanks on the left to exactly
    // nPrecision characters. Safe for any float.
    static plat::CString PrepareString(float fValue, int nPrecision, int nDotPrecision);
    plat::CString PrepareString() const;

    // The strip cell that draws one character of the prepared text.
    static int CellForChar(QChar ch, bool bZeroPadding, float fValue);

    // The window rectangle (in parent coordinates) that fits nPrecision cells
    // of cellSize with the margins, kept at the corner the flags name.
    static plat::CRect FittedRect(const plat::CRect& rcWindow, int nPrecision, plat::CSize cellSize,
                                  unsigned long ulFlags);

    plat::CSize GetCellSize() const { return {m_nCellWidth, m_nCellHeight}; }
    // Off by default: the cells are copied at the strip's size whatever the
    // window's size. On: the picture of the cells and margins is stretched
    // over the whole window, for windows that scale their controls.
    void SetScaleToFit(bool bOn);
    bool IsScaleToFit() const { return m_bScaleToFit; }
    QSize sizeHint() const override;

    // Copies the cells of the current text onto pDC, the first at (3, 3).
    // Draws nothing until a strip is loaded.
    void Draw(plat::CDC* pDC);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Resize();
    void Repaint(int nRepaint);

    std::unique_ptr<plat::CBitmap> m_pStrip;
    int m_nCellWidth = 0;
    int m_nCellHeight = 0;
    int m_nPrecision = 2;
    float m_fValue = 0.0f;
    plat::BOOL m_bZeroPadding = plat::FALSE;
    unsigned long m_ulResize = kKeepLeft | kKeepTop;
    int m_nDotPrecision = 5;
    bool m_bScaleToFit = false;
};
