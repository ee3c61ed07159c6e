#include "input/TarnGroupBox.h"

#include "platform/Bitmap.h"
#include "platform/Brush.h"
#include "platform/DC.h"
#include "platform/Pen.h"
#include "platform/SysColor.h"

#include <QByteArray>
#include <QEvent>

using namespace plat;

namespace {

constexpr int kCorner = 10;       // corner ellipse of the frame
constexpr int kCaptionIndent = 10;
constexpr int kBandGap = 4;       // below the caption, in the window look
constexpr UINT kCaptionFormat = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP;

}  // namespace

CTarnGroupBox::CTarnGroupBox(QWidget* parent) : QGroupBox(parent)
{
    Initialize();
}

CTarnGroupBox::CTarnGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent)
{
    Initialize();
}

CTarnGroupBox::~CTarnGroupBox() = default;

void CTarnGroupBox::Initialize()
{
    m_crBorder = GetSysColor(COLOR_BTNSHADOW);
    m_crBkg1 = GetSysColor(COLOR_BTNFACE);
    m_crBkg2 = GetSysColor(COLOR_BTNFACE);
    m_crCaptionText = GetSysColor(COLOR_WINDOWTEXT);
    TakeWindowFont();
}

void CTarnGroupBox::TakeWindowFont()
{
    CFont font;
    font.CreateFromQFont(this->font());
    font.GetLogFont(&m_lf);
    ReconstructFont();
}

void CTarnGroupBox::changeEvent(QEvent* event)
{
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange && !m_bOwnFont) {
        TakeWindowFont();
        update();
    }
}

CTarnGroupBox& CTarnGroupBox::SetBorderColor(COLORREF crBorder)
{
    m_crBorder = crBorder;
    UpdateSurface();
    return *this;
}

CTarnGroupBox& CTarnGroupBox::SetCatptionTextColor(COLORREF crText)
{
    m_crCaptionText = crText;
    UpdateSurface();
    return *this;
}

CTarnGroupBox& CTarnGroupBox::SetBackgroundColor(COLORREF crCaption, COLORREF crBody)
{
    m_crBkg1 = crCaption;
    m_crBkg2 = crBody;
    m_bFillBkg = true;
    UpdateSurface();
    return *this;
}

CTarnGroupBox& CTarnGroupBox::SetBackgroundColor(COLORREF crBkg)
{
    return SetBackgroundColor(crBkg, crBkg);
}

CTarnGroupBox& CTarnGroupBox::SetXPGroupStyle(XPGroupBoxStyle eStyle)
{
    m_eStyle = eStyle;
    UpdateSurface();
    return *this;
}

CTarnGroupBox& CTarnGroupBox::SetText(const CString& strText)
{
    m_strCaption = QLatin1Char(' ') + strText + QLatin1Char(' ');
    UpdateSurface();
    return *this;
}

CTarnGroupBox& CTarnGroupBox::SetFontBold(BOOL bBold)
{
    m_lf.lfWeight = bBold ? FW_BOLD : FW_NORMAL;
    return FontChanged();
}

CTarnGroupBox& CTarnGroupBox::SetFontName(const CString& strFont, BYTE byCharSet)
{
    m_lf.lfCharSet = byCharSet;
    // Cut on a character boundary so the kept name stays valid UTF-8.
    QByteArray name = strFont.toUtf8();
    while (name.size() > qsizetype(sizeof m_lf.lfFaceName) - 1) {
        name.chop(1);
        while (!name.isEmpty() && (name.back() & 0xC0) == 0x80) name.chop(1);
        if (!name.isEmpty() && (name.back() & 0x80)) name.chop(1);
    }
    m_lf.SetFaceName(name.constData());
    return FontChanged();
}

CTarnGroupBox& CTarnGroupBox::SetFontUnderline(BOOL bSet)
{
    m_lf.lfUnderline = bSet ? 1 : 0;
    return FontChanged();
}

CTarnGroupBox& CTarnGroupBox::SetFontItalic(BOOL bSet)
{
    m_lf.lfItalic = bSet ? 1 : 0;
    return FontChanged();
}

CTarnGroupBox& CTarnGroupBox::SetFontSize(int nSize)
{
    CFont sized;
    sized.CreatePointFont(nSize * 10, m_lf.lfFaceName);
    LOGFONT lf;
    if (sized.GetLogFont(&lf)) {
        m_lf.lfHeight = lf.lfHeight;
        m_lf.lfWidth = lf.lfWidth;
    }
    return FontChanged();
}

CTarnGroupBox& CTarnGroupBox::SetFont(const LOGFONT& lf)
{
    m_lf = lf;
    m_lf.lfFaceName[sizeof m_lf.lfFaceName - 1] = '\0';
    return FontChanged();
}

CTarnGroupBox& CTarnGroupBox::FontChanged()
{
    m_bOwnFont = true;
    ReconstructFont();
    UpdateSurface();
    return *this;
}

void CTarnGroupBox::ReconstructFont()
{
    m_fontCaption.DeleteObject();
    m_fontCaption.CreateFontIndirect(&m_lf);
}

void CTarnGroupBox::UpdateSurface()
{
    repaint();
    // The parent's picture behind the box changes with the look too.
    if (QWidget* parent = parentWidget()) parent->repaint(geometry());
}

CString CTarnGroupBox::GetCaption() const
{
    if (!m_strCaption.isEmpty()) return m_strCaption;
    return title().isEmpty() ? CString() : QLatin1Char(' ') + title() + QLatin1Char(' ');
}

void CTarnGroupBox::paintEvent(QPaintEvent*)
{
    CDC dc(this);
    CRect r(rect());
    r.DeflateRect(1, 1);
    CFont* pOldFont = dc.SelectObject(&m_fontCaption);
    const CString strCaption = GetCaption();
    const CSize sz = strCaption.isEmpty() ? CSize(0, 0) : dc.GetTextExtent(strCaption);
    const int cw = sz.cx, ch = sz.cy;

    CPen pen;
    pen.CreatePen(PS_SOLID, 1, m_crBorder);
    CPen* pOldPen = dc.SelectObject(&pen);
    CBrush bkg1, bkg2;
    bkg1.CreateSolidBrush(m_crBkg1);
    bkg2.CreateSolidBrush(m_crBkg2);
    CBrush* pHollow = static_cast<CBrush*>(CBrush::Stock(HOLLOW_BRUSH));
    CBrush* pOldBrush = dc.SelectObject(m_bFillBkg ? &bkg2 : pHollow);

    CRect rcCaption;
    if (m_eStyle == XPGB_FRAME) {
        rcCaption = CRect(r.left + kCaptionIndent, r.top, r.left + kCaptionIndent + cw, r.top + ch);
        // The frame stops at the caption, so the caption never sits on a line.
        const int nSaved = dc.SaveDC();
        if (cw > 0) dc.ExcludeClipRect(rcCaption);
        dc.RoundRect(r.left, r.top + ch / 2, r.right, r.bottom, kCorner, kCorner);
        dc.RestoreDC(nSaved);
        dc.IntersectClipRect(rcCaption);
        if (m_bFillBkg && cw > 0) dc.FillSolidRect(rcCaption, m_crBkg1);
        CRect rcBkg = rcCaption;
        rcBkg.right += 5;
        FillBkg(&dc, rcBkg);
    } else {
        dc.SelectObject(m_bFillBkg ? &bkg1 : pHollow);
        dc.RoundRect(r, CPoint(kCorner, kCorner));
        dc.SelectObject(m_bFillBkg ? &bkg2 : pHollow);
        dc.Rectangle(r.left, r.top + ch + kBandGap, r.right, r.bottom);
        rcCaption = CRect(r.left + 2, r.top + 2, r.left + 2 + cw, r.top + 2 + ch);
    }

    const COLORREF crOldText = dc.SetTextColor(m_crCaptionText);
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    if (!strCaption.isEmpty()) dc.DrawText(strCaption, &rcCaption, kCaptionFormat);
    dc.SetBkMode(nOldMode);
    dc.SetTextColor(crOldText);
    dc.SelectObject(pOldBrush);
    dc.SelectObject(pOldPen);
    dc.SelectObject(pOldFont);
}

void CTarnGroupBox::FillBkg(CDC* pDC, CRect rect)
{
    CBitmap bitmap;
    if (m_nIDBkg == 0 || !bitmap.LoadBitmap(m_nIDBkg)) return;
    CDC memDC;
    if (!memDC.CreateCompatibleDC(pDC)) return;
    CBitmap* pOld = memDC.SelectObject(&bitmap);
    double fx = 0, fy = 0, fw = 0, fh = 0;
    CoorMap(rect, fx, fy, fw, fh);
    const CSize bm = bitmap.GetSize();
    pDC->StretchBlt(rect.left, rect.top, rect.Width(), rect.Height(), &memDC, int(fx * bm.cx), int(fy * bm.cy),
                    int(fw * bm.cx), int(fh * bm.cy), SRCCOPY);
    memDC.SelectObject(pOld);
}

void CTarnGroupBox::CoorMap(CRect rect, double& fx, double& fy, double& fw, double& fh) const
{
    fx = fy = fw = fh = 0.0;
    const QWidget* parent = parentWidget();
    if (!parent || parent->width() <= 0 || parent->height() <= 0) return;
    const QPoint topLeft = mapTo(parent, QPoint(rect.left, rect.top));
    const double pw = parent->width(), ph = parent->height();
    fx = topLeft.x() / pw;
    fy = topLeft.y() / ph;
    fw = rect.Width() / pw;
    fh = rect.Height() / ph;
}
