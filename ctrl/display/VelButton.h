#pragma once

#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "platform/TemplateStyled.h"
#include "platform/WinDef.h"

#include "platform/Font.h"
#include "platform/Icon.h"
#include "platform/ToolTipCtrl.h"

#include <QBasicTimer>
#include <QImage>
#include <QPushButton>
#include <QStringList>
#include <array>
#include <memory>

namespace plat {
class CDC;
}  // namespace plat

// The library's skinnable push button: its own background colour or the
// parent's background showing through, one of four frame styles, a caption of
// one or more lines and an optional icon with pressed, disabled and hover
// images; a distinct look while the pointer is over it.
class QUINDLE_EXPORT CVelButton : public QPushButton, public plat::ITemplateStyled {
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
    plat::COLORREF GetBkgInColor() const { return m_crBkgIn; }
    plat::COLORREF GetTextInColor() const { return m_crTextIn; }
    plat::COLORREF GetTextOutColor() const { return m_crTextOut; }
    plat::COLORREF GetTextFocusColor() const { return m_crTextFocus; }
    // Out and focus text colours of 0 take the in colour.
    void SetTextColor(plat::COLORREF crIn, plat::COLORREF crOut = 0, plat::COLORREF crFocus = 0);

    // A caption font of this LOGFONT height and weight, based on the window's
    // font; it does not change the window's font.
    void SetFontSize(plat::LONG lHeight, plat::LONG lWeight);
    plat::CFont* GetOwnFont() const { return m_pFont.get(); }
    // The whole button becomes one tool of its own tooltip control; a later
    // call changes the text.
    void SetToolTip(const plat::CString& strText);
    plat::CToolTipCtrl* GetToolTipCtrl() const { return m_pToolTip.get(); }

    // Alignment bits of a button's window style (BS_LEFT 0x100, BS_RIGHT
    // 0x200, BS_CENTER 0x300, BS_VCENTER 0xC00); 0 centres the caption.
    void SetAlignStyle(plat::DWORD dwStyle) { m_dwAlign = dwStyle & 0xF00; }
    plat::DWORD GetAlignStyle() const { return m_dwAlign; }
    // A template button's style reaches the alignment as SetAlignStyle.
    void ApplyTemplateStyle(plat::DWORD dwStyle) override { SetAlignStyle(dwStyle); }

    // Icons: the button owns every icon it is given and each one it loads.
    // Names and ids are looked up in the resource chain; 0 or null is none.
    virtual plat::BOOL SetIcon(plat::CSize size, const char* lpszNormal, const char* lpszPressed = nullptr,
                               const char* lpszHover = nullptr, plat::BOOL bRepaint = plat::FALSE);
    virtual plat::BOOL SetIcon(plat::CSize size, plat::UINT nNormal, plat::UINT nPressed = 0, plat::UINT nHover = 0,
                               plat::BOOL bRepaint = plat::FALSE);
    virtual plat::BOOL SetIcon(plat::CSize size, plat::HICON hNormal, plat::HICON hPressed, plat::HICON hHover,
                               plat::BOOL bRepaint = plat::FALSE);
    virtual plat::BOOL SetDisabledIcon(const char* lpszName, plat::BOOL bRepaint = plat::FALSE);
    virtual plat::BOOL SetDisabledIcon(plat::UINT nId, plat::BOOL bRepaint = plat::FALSE);
    virtual plat::BOOL SetDisabledIcon(plat::HICON hIcon, plat::BOOL bRepaint = plat::FALSE);

    plat::HICON GetIcon(int nSlot) const { return m_hIcons.at(nSlot).get(); }
    enum { IconNormal = 0, IconPressed = 1, IconDisabled = 2, IconHover = 3 };
    plat::CSize GetIconSize() const { return m_szIcon; }
    plat::CSize GetEnlargedSize() const { return m_szEnlarged; }

    bool IsHover() const { return m_bHover; }
    bool IsDepressed() const { return m_bDepressed; }

    // Grey level of one colour by the luminance rule (pure red 76, green 149,
    // blue 29, white 255).
    static int GrayValue(int r, int g, int b);
    // A grey copy of an image; black pixels and the alpha channel are kept.
    static QImage GrayscaleImage(const QImage& image);

    // The item state of the next drawing: pressed, disabled, focused.
    plat::UINT ItemState() const;

protected:
    void SetFrameStyle(int nStyle, plat::BOOL bRepaint);
    void RepaintIf(plat::BOOL bRepaint);
    void NoteButtonDepressed(plat::BOOL bDepressed);

    // Shows or ends the hover look without the pointer (previews, skins).
    void SetHoverLook(plat::BOOL bHover);

    virtual void CleanUpGDI();
    virtual void DrawItem(plat::CDC* pDC, plat::UINT nState, plat::CRect rcItem);
    virtual void DrawButtonIcon(plat::CDC* pDC, plat::UINT nState, plat::CRect rcItem);
    virtual void DrawButtonText(plat::CDC* pDC, plat::UINT nState, plat::CRect rcItem, plat::COLORREF crText);
    virtual plat::CPoint CalculateImagePosition(plat::CDC* pDC, plat::UINT nState, plat::CRect rcItem,
                                                plat::BOOL bHasPressedImage);
    void OffsetPoint(plat::CPoint& pt, plat::CSize szBlock) const;
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
    void DrawFrame(plat::CDC* pDC, const plat::CRect& rcItem, bool bPressed, plat::COLORREF crBkg) const;
    plat::HICON CreateGrayscaleIcon(plat::HICON hIcon) const;
    // Takes ownership of hIcon for one slot, releasing what the slot held.
    void StoreIcon(int nSlot, plat::HICON hIcon);
    plat::HICON AdoptIcon(int nSlot, plat::HICON hIcon) const;

    plat::CFont m_fontStd;

    int m_nStyle = StyleFlat;
    int m_nIconPlacement = IconLeft;
    std::unique_ptr<plat::CToolTipCtrl> m_pToolTip;
    std::unique_ptr<plat::CFont> m_pFont;
    std::array<plat::CIconPtr, 4> m_hIcons;
    plat::CSize m_szIcon;
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
    plat::DWORD m_dwAlign = 0;
    QBasicTimer m_hoverTimer;
};
