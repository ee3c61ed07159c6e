#include "display/VelButton.h"

#include "platform/DC.h"
#include "platform/GdiDefs.h"
#include "platform/ResourceModule.h"
#include "platform/SysColor.h"

#include <QCursor>
#include <QMouseEvent>
#include <QTimerEvent>
#include <algorithm>

using namespace plat;

namespace {

// Period of the hover tracking timer, in milliseconds.
constexpr int kHoverPeriodMs = 10;

}  // namespace

CVelButton::CVelButton(QWidget* parent) : QPushButton(parent)
{
    Initialize();
}

CVelButton::CVelButton(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    Initialize();
}

CVelButton::~CVelButton()
{
    m_pFont.reset();
    m_pToolTip.reset();
    CleanUpGDI();
}

void CVelButton::Initialize()
{
    const COLORREF crFace = GetSysColor(COLOR_BTNFACE);
    const COLORREF crText = GetSysColor(COLOR_BTNTEXT);
    m_crBkgIn = m_crBkgOut = m_crBkgFocus = crFace;
    m_crTextIn = m_crTextOut = m_crTextFocus = crText;

    LOGFONT lf;
    lf.lfHeight = 15;
    lf.SetFaceName("Microsoft Sans Serif");
    m_fontStd.CreateFontIndirect(&lf);
    setFont(m_fontStd.GetQFont());

    // Windows reports every pointer move to a button; Qt only with tracking on.
    setMouseTracking(true);
    // Left unfilled, the parent's own painting shows through where the
    // button paints no background of its own.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void CVelButton::SetFrameStyle(int nStyle, BOOL bRepaint)
{
    m_nStyle = nStyle;
    RepaintIf(bRepaint);
}

void CVelButton::RepaintIf(BOOL bRepaint)
{
    if (bRepaint)
        update();
}

void CVelButton::SetButtonDefault(BOOL bRepaint)
{
    m_bDefault = TRUE;
    RepaintIf(bRepaint);
}

void CVelButton::SetButtonChecked(BOOL bChecked, BOOL bRepaint)
{
    m_bChecked = bChecked;
    RepaintIf(bRepaint);
}

void CVelButton::SetIconVert(BOOL bRepaint)
{
    m_nIconPlacement = IconVert;
    RepaintIf(bRepaint);
}

void CVelButton::SetIconRight(BOOL bRepaint)
{
    m_nIconPlacement = IconRight;
    RepaintIf(bRepaint);
}

void CVelButton::SetTextColor(COLORREF crIn, COLORREF crOut, COLORREF crFocus)
{
    m_crTextIn = crIn;
    m_crTextOut = crOut ? crOut : crIn;
    m_crTextFocus = crFocus ? crFocus : crIn;
}

void CVelButton::SetToolTip(const CString& strText)
{
    if (!m_pToolTip) {
        m_pToolTip = std::make_unique<CToolTipCtrl>();
        m_pToolTip->Create(this);
        m_pToolTip->AddTool(this, strText);
        return;
    }
    m_pToolTip->UpdateTipText(strText, this);
}

void CVelButton::SetFontSize(LONG lHeight, LONG lWeight)
{
    // The window's font keeps its LOGFONT while it is the standard one.
    LOGFONT lf;
    CFont current;
    if (font() == m_fontStd.GetQFont() && m_fontStd.Log())
        lf = *m_fontStd.Log();
    else if (!current.CreateFromQFont(font()) || !current.GetLogFont(&lf))
        lf.SetFaceName("System");
    lf.lfHeight = lHeight;
    lf.lfWeight = lWeight;
    auto pFont = std::make_unique<CFont>();
    if (pFont->CreateFontIndirect(&lf))
        m_pFont = std::move(pFont);
}

void CVelButton::SetHoverLook(BOOL bHover)
{
    m_bHover = m_bHoverDrawn = bHover;
    update();
}

UINT CVelButton::ItemState() const
{
    UINT nState = 0;
    if (isDown())
        nState |= kStateSelected;
    if (!isEnabled())
        nState |= kStateDisabled;
    if (hasFocus())
        nState |= kStateFocus;
    return nState;
}

int CVelButton::GrayValue(int r, int g, int b)
{
    // Integer weights keep white at exactly 255.
    return (g * 587 + b * 114 + r * 299) / 1000;
}

QImage CVelButton::GrayscaleImage(const QImage& image)
{
    QImage grey = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const QRgb c = line[x];
            if ((c & 0x00FFFFFF) == 0)
                continue;
            const int g = GrayValue(qRed(c), qGreen(c), qBlue(c));
            line[x] = qRgba(g, g, g, qAlpha(c));
        }
    }
    return grey;
}

CString CVelButton::GetButtonText(BOOL bStripMnemonics) const
{
    CString str = text();
    if (bStripMnemonics)
        StripMnemonics(str);
    return str;
}

void CVelButton::StripMnemonics(CString& str)
{
    if (str.contains(QLatin1String("&&"))) {
        str.replace(QLatin1String("&&"), QLatin1String("^^"));
        str.remove(QLatin1Char('&'));
        str.replace(QLatin1String("^^"), QLatin1String("&&"));
    } else {
        str.remove(QLatin1Char('&'));
    }
}

void CVelButton::GetLineText(const CString& str, QStringList& lines, int& nCount)
{
    lines = str.split(QLatin1Char('\n'));
    nCount = int(lines.size());
}

void CVelButton::GetMaxLenText(const QStringList& lines, CString& strMax)
{
    strMax.clear();
    for (const QString& line : lines)
        if (line.size() > strMax.size())
            strMax = line;
}

void CVelButton::NoteButtonDepressed(BOOL bDepressed)
{
    if (m_bDepressed == bDepressed)
        return;
    m_bDepressed = bDepressed;
    update();
}

void CVelButton::mouseMoveEvent(QMouseEvent* event)
{
    m_hoverTimer.start(kHoverPeriodMs, this);
    HoverStep();
    QPushButton::mouseMoveEvent(event);
}

void CVelButton::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_hoverTimer.timerId())
        HoverStep();
    else
        QPushButton::timerEvent(event);
}

// Keeps the hover look exactly while the pointer is inside and the button is
// not held down.
void CVelButton::HoverStep()
{
    const QRect screenRect(mapToGlobal(QPoint(0, 0)), size());
    if (!m_bDepressed && screenRect.contains(QCursor::pos())) {
        if (!m_bHoverDrawn) {
            m_bHover = TRUE;
            update();
            m_bHoverDrawn = TRUE;
        }
        return;
    }
    m_hoverTimer.stop();
    m_bHover = FALSE;
    if (m_bHoverDrawn)
        update();
    m_bHoverDrawn = FALSE;
}

void CVelButton::leaveEvent(QEvent* event)
{
    // The timer would notice too; leaving ends the hover look without waiting.
    if (m_hoverTimer.isActive())
        HoverStep();
    QPushButton::leaveEvent(event);
}

void CVelButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        NoteButtonDepressed(TRUE);
    QPushButton::mousePressEvent(event);
}

void CVelButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        NoteButtonDepressed(FALSE);
    QPushButton::mouseReleaseEvent(event);
}

void CVelButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second click of a double click is a press of its own.
    mousePressEvent(event);
}

// Icons ---------------------------------------------------------------------

void CVelButton::CleanUpGDI()
{
    for (CIconPtr& icon : m_hIcons)
        icon.reset();
}

void CVelButton::StoreIcon(int nSlot, HICON hIcon)
{
    if (m_hIcons[nSlot].get() != hIcon)
        m_hIcons[nSlot].reset(hIcon);
}

// A handle this button already holds in another slot (from GetIcon) would be
// released twice; that slot keeps it and this one gets a copy.
HICON CVelButton::AdoptIcon(int nSlot, HICON hIcon) const
{
    if (!hIcon)
        return nullptr;
    for (int k = 0; k < int(m_hIcons.size()); ++k)
        if (k != nSlot && m_hIcons[k].get() == hIcon)
            return CopyIcon(hIcon);
    return hIcon;
}

BOOL CVelButton::SetIcon(CSize size, const char* lpszNormal, const char* lpszPressed, const char* lpszHover,
                         BOOL bRepaint)
{
    CleanUpGDI();
    auto load = [size](const char* name) -> HICON {
        return name ? CResourceModule::FindIcon(QString::fromUtf8(name), size) : nullptr;
    };
    return SetIcon(size, load(lpszNormal), load(lpszPressed), load(lpszHover), bRepaint);
}

BOOL CVelButton::SetIcon(CSize size, UINT nNormal, UINT nPressed, UINT nHover, BOOL bRepaint)
{
    CleanUpGDI();
    auto load = [size](UINT id) -> HICON {
        return id ? CResourceModule::FindIcon(QString::number(id), size) : nullptr;
    };
    return SetIcon(size, load(nNormal), load(nPressed), load(nHover), bRepaint);
}

BOOL CVelButton::SetIcon(CSize size, HICON hNormal, HICON hPressed, HICON hHover, BOOL bRepaint)
{
    // Copies are taken before any slot releases what it held.
    hNormal = AdoptIcon(IconNormal, hNormal);
    hPressed = AdoptIcon(IconPressed, hPressed);
    hHover = AdoptIcon(IconHover, hHover);
    // One handle in two slots would be released twice.
    if (hPressed && hPressed == hNormal)
        hPressed = CopyIcon(hNormal);
    if (hHover && (hHover == hNormal || hHover == hPressed))
        hHover = CopyIcon(hHover);

    StoreIcon(IconNormal, hNormal);
    StoreIcon(IconPressed, hPressed);
    m_szIcon = size;
    if (hHover) {
        m_bAutoEnlarge = FALSE;
        StoreIcon(IconHover, hHover);
    } else if (m_bAutoEnlarge && hNormal) {
        // The enlarged hover image is the normal icon drawn at the bigger size.
        const CSize base = (size.cx > 0 && size.cy > 0) ? size : plat::GetIconSize(hNormal);
        m_szEnlarged = CSize(int(m_fBigPercent * base.cx), int(m_fBigPercent * base.cy));
        StoreIcon(IconHover, CopyIcon(hNormal));
    } else {
        StoreIcon(IconHover, nullptr);
    }
    if (m_bAutoDisabled)
        StoreIcon(IconDisabled, CreateGrayscaleIcon(hNormal));
    RepaintIf(bRepaint);
    return TRUE;
}

BOOL CVelButton::SetDisabledIcon(const char* lpszName, BOOL bRepaint)
{
    HICON hIcon = lpszName ? CResourceModule::FindIcon(QString::fromUtf8(lpszName), m_szIcon) : nullptr;
    return SetDisabledIcon(hIcon, bRepaint);
}

BOOL CVelButton::SetDisabledIcon(UINT nId, BOOL bRepaint)
{
    HICON hIcon = nId ? CResourceModule::FindIcon(QString::number(nId), m_szIcon) : nullptr;
    return SetDisabledIcon(hIcon, bRepaint);
}

BOOL CVelButton::SetDisabledIcon(HICON hIcon, BOOL bRepaint)
{
    StoreIcon(IconDisabled, AdoptIcon(IconDisabled, hIcon));
    RepaintIf(bRepaint);
    return TRUE;
}

HICON CVelButton::CreateGrayscaleIcon(HICON hIcon) const
{
    if (!hIcon)
        return nullptr;
    const QImage image = IconImage(hIcon);
    if (image.isNull())
        return nullptr;
    return CreateIconFromImage(GrayscaleImage(image));
}

// Drawing -------------------------------------------------------------------

void CVelButton::paintEvent(QPaintEvent*)
{
    CDC dc(this);
    // The owner-draw context comes with the window's font selected.
    CFont windowFont;
    windowFont.CreateFromQFont(font());
    CFont* pOldFont = dc.SelectObject(&windowFont);
    DrawItem(&dc, ItemState(), CRect(rect()));
    dc.SelectObject(pOldFont);
}

void CVelButton::DrawItem(CDC* pDC, UINT nState, CRect rcItem)
{
    const int nSaved = pDC->SaveDC();
    const bool bPressed = nState & kStateSelected;
    const bool bFocused = nState & kStateFocus;

    COLORREF crBkg = m_crBkgOut;
    COLORREF crText = m_crTextOut;
    if (m_bHover) {
        crBkg = m_crBkgIn;
        crText = m_crTextIn;
    } else if (bFocused) {
        crBkg = m_crBkgFocus;
        crText = m_crTextFocus;
    }

    // Transparent: the parent has already painted under this unfilled widget.
    if (!m_bTransparent || m_bHover)
        pDC->FillSolidRect(rcItem, crBkg);

    DrawFrame(pDC, rcItem, bPressed, crBkg);

    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF crOldBk = pDC->SetBkColor(crBkg);
    DrawButtonText(pDC, nState, rcItem, crText);
    DrawButtonIcon(pDC, nState, rcItem);

    if (m_bChecked) {
        CRect rcFocus = rcItem;
        rcFocus.DeflateRect(1, 1);
        pDC->DrawFocusRect(rcFocus);
    }
    pDC->SetBkColor(crOldBk);
    pDC->SetBkMode(nOldMode);
    pDC->RestoreDC(nSaved);
}

void CVelButton::DrawFrame(CDC* pDC, const CRect& rcItem, bool bPressed, COLORREF crBkg) const
{
    const bool bSunken = m_bChecked || bPressed;
    const COLORREF crHighlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF crShadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF crDark = GetSysColor(COLOR_3DDKSHADOW);
    const COLORREF crBlack = RGB(0, 0, 0);
    CRect rc = rcItem;

    switch (m_nStyle) {
    case StyleFlat:
        if (m_bChecked)
            pDC->Draw3dRect(rc, crShadow, crHighlight);
        else if ((m_bHover || bPressed) && m_bFlatBorder)
            bPressed ? pDC->Draw3dRect(rc, crShadow, crHighlight) : pDC->Draw3dRect(rc, crHighlight, crShadow);
        break;
    case StyleSemiflat:
        if (m_bDefault) {
            pDC->Draw3dRect(rc, crBlack, crBlack);
            rc.DeflateRect(1, 1);
        }
        bSunken ? pDC->Draw3dRect(rc, crShadow, crHighlight) : pDC->Draw3dRect(rc, crHighlight, crShadow);
        break;
    case StyleNormal:
        if (m_bDefault) {
            pDC->Draw3dRect(rc, crBlack, crBlack);
            rc.DeflateRect(1, 1);
        }
        if (bSunken) {
            pDC->Draw3dRect(rc, crDark, crHighlight);
            rc.DeflateRect(1, 1);
            pDC->Draw3dRect(rc, crShadow, crBkg);
        } else {
            pDC->Draw3dRect(rc, crHighlight, crDark);
            rc.DeflateRect(1, 1);
            pDC->Draw3dRect(rc, crBkg, crShadow);
        }
        break;
    default:
        break;
    }
}

void CVelButton::OffsetPoint(CPoint& pt, CSize szBlock) const
{
    pt.y = std::max(0, (height() - szBlock.cy) / 2 - 1);
    pt.x = m_nStyle == StyleSemiflat ? std::max(0, (width() - szBlock.cx) / 2) : m_nBorderGap;
}

void CVelButton::DrawButtonText(CDC* pDC, UINT nState, CRect rcItem, COLORREF crText)
{
    const CString str = GetButtonText(TRUE);
    if (str.isEmpty())
        return;

    CFont windowFont;
    CFont* pFont = m_pFont.get();
    if (!pFont) {
        windowFont.CreateFromQFont(font());
        pFont = &windowFont;
    }
    CFont* pOldFont = pDC->SelectObject(pFont);

    QStringList lines;
    int nLines = 0;
    GetLineText(str, lines, nLines);
    CString strWidest;
    GetMaxLenText(lines, strWidest);
    const CSize szWidest = pDC->GetTextExtent(strWidest);
    const int nBlockHeight = szWidest.cy * nLines;
    const int nLineHeight = nBlockHeight / nLines;

    CPoint pt;
    OffsetPoint(pt, CSize(szWidest.cx, nBlockHeight));
    int y = pt.y;
    if (m_nIconPlacement == IconVert)
        y += m_szIcon.cy / 2 + m_nImageGap / 2;

    int x = 0;
    switch (m_dwAlign & kAlignCenter) {
    case kAlignLeft:
        x = m_nBorderGap + (m_nIconPlacement == IconLeft ? m_nImageGap + m_szIcon.cx : 0);
        break;
    case kAlignRight:
        x = rcItem.right - m_nBorderGap - szWidest.cx;
        break;
    default: {
        const int nLeft = m_nBorderGap + (m_nIconPlacement == IconLeft ? m_szIcon.cx : 0);
        x = nLeft + (rcItem.right - m_nBorderGap - szWidest.cx - nLeft) / 2;
        break;
    }
    }

    pDC->SetTextColor((nState & kStateDisabled) ? GetSysColor(COLOR_GRAYTEXT) : crText);
    for (const QString& line : lines) {
        const CSize szLine = pDC->GetTextExtent(line);
        CRect rcLine(CPoint(x + (szWidest.cx - szLine.cx) / 2, y), szLine);
        pDC->DrawText(line, &rcLine, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOCLIP);
        y += nLineHeight;
    }
    pDC->SelectObject(pOldFont);
}

CPoint CVelButton::CalculateImagePosition(CDC* pDC, UINT nState, CRect rcItem, BOOL bHasPressedImage)
{
    const CString str = GetButtonText(TRUE);
    const bool bHasText = !str.isEmpty();
    const int nTextHeight = bHasText ? pDC->GetTextExtent(str).cy : 0;
    const CSize szImage = (m_bHover && m_bAutoEnlarge) ? m_szEnlarged : m_szIcon;

    CPoint pt;
    OffsetPoint(pt, szImage);
    const DWORD dwHorz = m_dwAlign & kAlignCenter;
    if (m_nIconPlacement == IconVert) {
        pt.y = bHasText ? pt.y - nTextHeight / 2 - m_nImageGap / 2 : pt.y;
        if (dwHorz == kAlignRight)
            pt.x = rcItem.right - m_nBorderGap - szImage.cx;
        else if (dwHorz == kAlignLeft)
            pt.x = m_nBorderGap;
        else
            pt.x = rcItem.left + std::max(0, (rcItem.Width() - szImage.cx) / 2);
    } else if (bHasText) {
        // Placed right, the icon sits against the right border.
        pt.x = m_nIconPlacement == IconRight ? rcItem.right - m_nBorderGap - szImage.cx : m_nBorderGap;
    } else {
        pt.x = (dwHorz == kAlignCenter && rcItem.Width() >= m_szIcon.cx) ? (rcItem.Width() - szImage.cx) / 2
                                                                          : m_nBorderGap;
        if ((m_dwAlign & kAlignVCenter) == kAlignVCenter && rcItem.Height() >= m_szIcon.cy)
            pt.y = (rcItem.Height() - szImage.cy) / 2;
    }
    if ((nState & kStateSelected) && !bHasPressedImage)
        pt.Offset(1, 1);
    return pt;
}

void CVelButton::DrawButtonIcon(CDC* pDC, UINT nState, CRect rcItem)
{
    HICON hNormal = m_hIcons[IconNormal].get();
    if (!hNormal)
        return;
    HICON hPressed = m_hIcons[IconPressed].get();
    HICON hDisabled = m_hIcons[IconDisabled].get();
    HICON hHover = m_hIcons[IconHover].get();
    const bool bDisabled = nState & kStateDisabled;

    const CPoint pt = CalculateImagePosition(pDC, nState, rcItem, hPressed != nullptr);
    HICON hImage = hNormal;
    if ((nState & kStateSelected) && hPressed)
        hImage = hPressed;
    if (bDisabled && hDisabled)
        hImage = hDisabled;
    UINT nFlags = DST_ICON;
    if (bDisabled && !hDisabled)
        nFlags |= DSS_DISABLED;

    if (m_bHover && hHover)
        pDC->DrawState(pt, m_szEnlarged, hHover, nFlags);
    else
        pDC->DrawState(pt, m_szIcon, hImage, nFlags);
}
