// CVelEdit: the button's painting.

#include "input/VelEdit.h"

#include "platform/DC.h"
#include "platform/Font.h"
#include "platform/GdiDefs.h"
#include "platform/SysColor.h"

#include <QPaintEvent>

void CVelEdit::paintEvent(QPaintEvent* e)
{
    QLineEdit::paintEvent(e);
    if (!HasButton()) return;
    plat::CRect rc(width() - m_nButtonWidth, 0, width(), height());
    plat::CDC dc(this);
    dc.IntersectClipRect(rc);
    if (hasFrame()) {
        rc.top += 1;
        rc.right -= 1;
        rc.bottom -= 1;
    }
    DrawButton(&dc, rc, m_bPressed, m_bHot);
}

void CVelEdit::DrawButton(plat::CDC* pDC, plat::CRect rc, plat::BOOL bPressed, plat::BOOL bHot)
{
    DrawFace(pDC, rc, bHot);
    switch (m_nMode) {
    case ModeLabel: DrawLabel(pDC, rc, bPressed); break;
    case ModeFile: DrawPicture(pDC, rc, 1); break;
    case ModeFolder: DrawPicture(pDC, rc, 0); break;
    case ModeSpin: DrawPicture(pDC, rc, 2); break;
    default: break;
    }
    DrawFrame(pDC, rc, bPressed);
}

void CVelEdit::DrawFace(plat::CDC* pDC, const plat::CRect& rc, bool bHot)
{
    const plat::COLORREF crFace = plat::GetSysColor(plat::COLOR_3DFACE);
    const plat::COLORREF crFill = bHot ? kHotColor : crFace;
    if (m_nMode != ModeSpin) {
        pDC->FillSolidRect(rc, crFill);
        return;
    }
    // The face first, so that no part of the strip keeps an old picture.
    pDC->FillSolidRect(rc, crFace);
    const int nHalf = rc.Height() / 2;
    plat::CRect rcUpper(rc.left, rc.top, rc.right, rc.top + nHalf);
    plat::CRect rcLower(rc.left, rc.bottom - nHalf, rc.right, rc.bottom);
    rcUpper.OffsetRect(1, 3);
    rcUpper.bottom -= 1;
    rcLower.OffsetRect(1, 1);
    pDC->FillSolidRect(rcUpper, m_bUpperHalf ? crFill : crFace);
    pDC->FillSolidRect(rcLower, m_bUpperHalf ? crFace : crFill);
}

void CVelEdit::DrawPicture(plat::CDC* pDC, const plat::CRect& rc, int nImage)
{
    if (nImage >= static_cast<int>(m_arImages.size())) return;
    const int x = (rc.left + rc.right) / 2 - m_nImageWidth / 2;
    const int y = (rc.top + rc.bottom) / 2 - m_nImageHeight / 2;
    pDC->DrawIcon(x, y, m_arImages[static_cast<std::size_t>(nImage)].get());
}

void CVelEdit::DrawLabel(plat::CDC* pDC, plat::CRect rc, bool bPressed)
{
    if (m_strLabel.isEmpty()) return;
    const plat::COLORREF crOldText = pDC->SetTextColor(plat::GetSysColor(plat::COLOR_BTNTEXT));
    const int nOldMode = pDC->SetBkMode(plat::TRANSPARENT);
    plat::CFont* pOldFont = pDC->SelectObject(plat::CFont::Stock(plat::DEFAULT_GUI_FONT));
    rc.DeflateRect(1, 2);
    rc.OffsetRect(0, -2);
    if (bPressed) rc.OffsetRect(1, 1);
    pDC->DrawText(m_strLabel, &rc, plat::DT_CENTER | plat::DT_VCENTER | plat::DT_SINGLELINE);
    pDC->SelectObject(pOldFont);
    pDC->SetBkMode(nOldMode);
    pDC->SetTextColor(crOldText);
}

void CVelEdit::DrawFrame(plat::CDC* pDC, const plat::CRect& rc, bool bPressed)
{
    const plat::COLORREF crDark = plat::GetSysColor(plat::COLOR_3DDKSHADOW);
    const plat::COLORREF crLight = plat::GetSysColor(plat::COLOR_BTNHIGHLIGHT);
    const plat::COLORREF crShadow = plat::GetSysColor(plat::COLOR_BTNSHADOW);
    pDC->Draw3dRect(plat::CRect(rc.left, rc.top - 1, rc.right + 1, rc.bottom + 1), crDark, crDark);
    auto edge = [&](const plat::CRect& r, bool bSunken) {
        if (bSunken) pDC->Draw3dRect(r, crShadow, crLight);
        else pDC->Draw3dRect(r, crLight, crShadow);
    };
    const plat::CRect rcInner(rc.left + 1, rc.top, rc.right, rc.bottom);
    if (m_nMode != ModeSpin) {
        edge(rcInner, bPressed);
        return;
    }
    const int nHalf = rcInner.Height() / 2;
    edge(plat::CRect(rcInner.left, rcInner.top, rcInner.right, rcInner.top + nHalf), bPressed && m_bUpperHalf);
    edge(plat::CRect(rcInner.left, rcInner.bottom - nHalf, rcInner.right, rcInner.bottom), bPressed && !m_bUpperHalf);
}
