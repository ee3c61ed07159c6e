#include "render/VelMemDC.h"

using namespace plat;

CVelMemDC::CVelMemDC(CDC* pDC, const CRect& rect, COLORREF crBkg) : m_pTargetDC(pDC)
{
    Init(pDC, rect, crBkg);
}

CVelMemDC::CVelMemDC(CDC* pDC, const CRect& rect, COLORREF crBkg, CBitmap* pKeptBuffer) : m_pTargetDC(pDC)
{
    if (pKeptBuffer) m_pBuffer = pKeptBuffer;
    Init(pDC, rect, crBkg);
}

void CVelMemDC::Init(CDC* pDC, const CRect& rect, COLORREF crBkg)
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
    const CSize size(m_rcArea.Width(), m_rcArea.Height());
    if (m_pBuffer->GetSize() != size || size.cx <= 0 || size.cy <= 0) {
        m_pBuffer->DeleteObject();
        if (!m_pBuffer->CreateCompatibleBitmap(pDC, size.cx, size.cy)) return;
    }
    m_hPrevBitmap = SelectObject(m_pBuffer);
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
        if (m_pBuffer == &m_bmpBuffer) m_bmpBuffer.DeleteObject();
    }
    DeleteDC();
}
