#include "render/VelMemDC.h"

using namespace plat;

CVelMemDC::CVelMemDC(CDC* pDC, const CRect& rect, COLORREF crBkg) : m_pTargetDC(pDC)
{
    if (rect.IsRectEmpty()) {
        if (pDC) pDC->GetClipBox(&m_rcArea);
    } else {
        m_rcArea = rect;
    }
    if (!CreateCompatibleDC(pDC)) return;
    if (pDC) SetMapMode(pDC->GetMapMode());
    // An area that cannot hold a bitmap leaves the DC without one: drawing
    // then shows nothing and nothing is copied back.
    if (!m_bmpBuffer.CreateCompatibleBitmap(pDC, m_rcArea.Width(), m_rcArea.Height())) return;
    m_hPrevBitmap = SelectObject(&m_bmpBuffer);
    if (!m_hPrevBitmap) return;
    if (crBkg != 0xFFFFFFFF) FillSolidRect(0, 0, m_rcArea.Width(), m_rcArea.Height(), crBkg);
    m_bReady = 1;
}

CVelMemDC::~CVelMemDC()
{
    if (m_bReady && m_pTargetDC)
        m_pTargetDC->BitBlt(m_rcArea.left, m_rcArea.top, m_rcArea.Width(), m_rcArea.Height(), this, 0, 0, SRCCOPY);
    if (m_hPrevBitmap) {
        SelectObject(m_hPrevBitmap);
        m_bmpBuffer.DeleteObject();
    }
    DeleteDC();
}
