#pragma once

#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "platform/WinDef.h"

#include <QBasicTimer>
#include <QImage>
#include <QPushButton>
#include <QStringList>
#include <memory>

// The library's skinnable push button: its own background colour or the
// parent's background showing through, one of four frame styles, a caption of
// one or more lines and an optional icon with pressed, disabled and hover
// images; a distinct look while the pointer is over it.
class QUINDLE_EXPORT CVelButton : public QPushButton {
    Q_OBJECT

public:
    // Item state bits handed to the drawing steps.
    static constexpr plat::UINT kStateSelected = 0x0001;
    static constexpr plat::UINT kStateDisabled = 0x0004;
    static constexpr plat::UINT kStateFocus = 0x0010;

    // Alignment bits of the window style, as the drawing reads them.
    static constexpr plat::DWORD kAlignLeft = 0x100;
    static constexpr plat::DWORD kAlignRight = 0x200;
    static constexpr plat::DWORD kAlignCenter = 0x300;
    static constexpr plat::DWORD kAlignVCenter = 0xC00;

    enum { StyleFlat = 0, StyleSemiflat = 1, StyleNormal = 2, StyleNoBorder = 3 };
    enum { IconLeft = 0, IconVert = 1, IconRight = 2 };

    explicit CVelButton(QWidget* parent = nullptr);
    explicit CVelButton(const QString& text, QWidget* parent = nullptr);
    ~CVelButton() override;

    void SetButtonFlat(plat::BOOL bRepaint = plat::FALSE) { SetFrameStyle(StyleFlat, bRepaint); }
    void SetButtonSemiflat(plat::BOOL bRepaint = plat::FALSE) { SetFrameStyle(StyleSemiflat, bRepaint); }
    void SetButtonNormal(plat::BOOL bRepaint = plat::FALSE) { SetFrameStyle(StyleNormal, bRepaint); }
    void SetButtonNoBorder(plat::BOOL bRepaint = plat::FALSE) { SetFrameStyle(StyleNoBorder, bRepaint); }
    int GetFrameStyle() const { return m_nStyle; }
    void SetButtonDefault(plat::BOOL bRepaint = plat::FALSE);
    void SetButtonChecked(plat::BOOL bChecked, plat::BOOL bRepaint = plat::FALSE);
    plat::BOOL IsChecked() const { return m_bChecked; }
    void SetIconVert(plat::BOOL bRepaint = plat::FALSE);
    void SetIconRight(plat::BOOL bRepaint = plat::FALSE);

    void SetHasFlatBorder(plat::BOOL b) { m_bFlatBorder = b; }
    void SetTransparent(plat::BOOL b) { m_bTransparent = b; }
    void SetAutoDisabled(plat::BOOL b) { m_bAutoDisabled = b; }
    void SetBorderGap(int n) { m_nBorderGap = n; }
    void SetImageGap(int n) { m_nImageGap = n; }
    void SetBigPercent(float f) { m_fBigPercent = f; }

    void SetBkgInColor(plat::COLORREF cr) { m_crBkgIn = cr; }
    void SetTextInColor(plat::COLORREF cr) { m_crTextIn = cr; }
    void SetBkgOutColor(plat::COLORREF cr) { m_crBkgOut = cr; }
    void SetTextOutColor(plat::COLORREF cr) { m_crTextOut = cr; }
    void SetBkgFocusColor(plat::COLORREF cr) { m_crBkgFocus = cr; }
    void SetTextFocusColor(plat::COLORREF cr) { m_crTextFocus = cr; }
    // Out and focus text colours of 0 take the in colour.
    void SetTextColor(plat::COLORREF crIn, plat::COLORREF crOut = 0, plat::COLORREF crFocus = 0);

    // A caption font of this LOGFONT height and weight, based on the window's
    // font; it does not change the window's font.
    void SetFontSize(plat::LONG lHeight, plat::LONG lWeight);
    void SetToolTip(const plat::CString& strText);

    bool IsHover() const { return m_bHover; }
    bool IsDepressed() const { return m_bDepressed; }

    // Grey level of one colour by the luminance rule (pure red 76, green 149,
    // blue 29, white 255).
    static int GrayValue(int r, int g, int b);
    // A grey copy of an image; black pixels and the alpha channel are kept.
    static QImage GrayscaleImage(const QImage& image);

protected:
    void SetFrameStyle(int nStyle, plat::BOOL bRepaint);
    void RepaintIf(plat::BOOL bRepaint);
    void NoteButtonDepressed(plat::BOOL bDepressed);

    virtual plat::CString GetButtonText(plat::BOOL bStripMnemonics) const;
    static void StripMnemonics(plat::CString& str);
    static void GetLineText(const plat::CString& str, QStringList& lines, int& nCount);
    static void GetMaxLenText(const QStringList& lines, plat::CString& strMax);

    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void Initialize();
    void HoverStep();

    int m_nStyle = StyleFlat;
    int m_nIconPlacement = IconLeft;
    int m_nBorderGap = 4;
    int m_nImageGap = 8;
    plat::COLORREF m_crBkgIn = 0;
    plat::COLORREF m_crTextIn = 0;
    plat::COLORREF m_crBkgOut = 0;
    plat::COLORREF m_crTextOut = 0;
    plat::COLORREF m_crBkgFocus = 0;
    plat::COLORREF m_crTextFocus = 0;
    plat::BOOL m_bFlatBorder = plat::TRUE;
    plat::BOOL m_bHover = plat::FALSE;
    plat::BOOL m_bDepressed = plat::FALSE;
    plat::BOOL m_bHoverDrawn = plat::FALSE;
    plat::BOOL m_bChecked = plat::FALSE;
    plat::BOOL m_bDefault = plat::FALSE;
    plat::BOOL m_bTransparent = plat::TRUE;
    plat::BOOL m_bAutoDisabled = plat::TRUE;
    plat::BOOL m_bAutoEnlarge = plat::TRUE;
    plat::CSize m_szEnlarged;
    float m_fBigPercent = 1.2f;
    QBasicTimer m_hoverTimer;
};
