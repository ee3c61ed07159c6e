#pragma once

#include "platform/Font.h"
#include "platform/LogFont.h"
#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "platform/WinDef.h"

#include <QGroupBox>

namespace plat {
class CDC;
}  // namespace plat

// A group box that paints itself: a frame with rounded corners in a chosen
// colour and a caption in a chosen font and colour, in one of two looks.
//
// Frame look: the caption interrupts the top edge, on the parent's own
// background; with a background bitmap (SetIDBkg), the piece of it that the
// parent shows at that spot when it paints the bitmap stretched over its
// whole client area. Window look: a caption band above a separated body.
//
// Background colours: unset, nothing is filled and the parent shows through.
// Once SetBackgroundColor was called, colour 1 is the caption's ground (the
// caption band in the window look, the gap in the frame in the frame look,
// where a background bitmap still wins) and colour 2 fills the body.
//
// The caption font follows the widget's font (and so its parent's) until a
// font setter has been used; from then on it is the box's own.
//
// The caption is the text given to SetText, else the group box's title;
// either is drawn with one space added before and after it. Every setter
// returns the box, so calls chain, and repaints it together with the part
// of the parent behind it.
class QUINDLE_EXPORT CTarnGroupBox : public QGroupBox {
    Q_OBJECT

public:
    enum XPGroupBoxStyle { XPGB_FRAME = 0, XPGB_WINDOW = 1 };

    explicit CTarnGroupBox(QWidget* parent = nullptr);
    explicit CTarnGroupBox(const QString& title, QWidget* parent = nullptr);
    ~CTarnGroupBox() override;

    virtual CTarnGroupBox& SetBorderColor(plat::COLORREF crBorder);
    virtual CTarnGroupBox& SetCatptionTextColor(plat::COLORREF crText);
    virtual CTarnGroupBox& SetBackgroundColor(plat::COLORREF crCaption, plat::COLORREF crBody);
    virtual CTarnGroupBox& SetBackgroundColor(plat::COLORREF crBkg);
    virtual CTarnGroupBox& SetXPGroupStyle(XPGroupBoxStyle eStyle);
    virtual CTarnGroupBox& SetText(const plat::CString& strText);
    virtual CTarnGroupBox& SetFontBold(plat::BOOL bBold);
    // At most 31 bytes of the face name are kept.
    virtual CTarnGroupBox& SetFontName(const plat::CString& strFont, plat::BYTE byCharSet = plat::DEFAULT_CHARSET);
    virtual CTarnGroupBox& SetFontUnderline(plat::BOOL bSet);
    virtual CTarnGroupBox& SetFontItalic(plat::BOOL bSet);
    // The height of a font of this many points in the current face.
    virtual CTarnGroupBox& SetFontSize(int nSize);
    virtual CTarnGroupBox& SetFont(const plat::LOGFONT& lf);

    // Bitmap resource (looked up in the resource chain) under the caption in
    // the frame look; 0 for none. Takes effect at the next painting.
    void SetIDBkg(plat::UINT nID) { m_nIDBkg = nID; }
    plat::UINT GetIDBkg() const { return m_nIDBkg; }

    // The caption as drawn: a space, the text, a space; empty for no text.
    plat::CString GetCaption() const;
    plat::COLORREF GetBorderColor() const { return m_crBorder; }
    plat::COLORREF GetBackgroundColor1() const { return m_crBkg1; }
    plat::COLORREF GetBackgroundColor2() const { return m_crBkg2; }
    plat::COLORREF GetCaptionTextColor() const { return m_crCaptionText; }
    XPGroupBoxStyle GetXPGroupStyle() const { return m_eStyle; }
    const plat::LOGFONT& GetLogFont() const { return m_lf; }
    const plat::CFont& GetCaptionFont() const { return m_fontCaption; }

protected:
    void ReconstructFont();
    void UpdateSurface();
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Initialize();
    void TakeWindowFont();
    CTarnGroupBox& FontChanged();
    void FillBkg(plat::CDC* pDC, plat::CRect rect);
    void CoorMap(plat::CRect rect, double& fx, double& fy, double& fw, double& fh) const;

    plat::CString m_strCaption;
    plat::COLORREF m_crBorder;
    plat::COLORREF m_crBkg1;
    plat::COLORREF m_crBkg2;
    plat::COLORREF m_crCaptionText;
    XPGroupBoxStyle m_eStyle = XPGB_FRAME;
    plat::LOGFONT m_lf;
    plat::CFont m_fontCaption;
    plat::UINT m_nIDBkg = 0;
    bool m_bFillBkg = false;   // set by SetBackgroundColor
    bool m_bOwnFont = false;   // set by the font setters
};
