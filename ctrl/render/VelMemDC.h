#pragma once

#include "platform/DC.h"

// Double buffering for one paint: drawing on this DC goes into an off-screen
// bitmap whose (0, 0) is the top-left corner of the covered area, and the
// bitmap is copied onto the target when the object is destroyed.
class QUINDLE_EXPORT CVelMemDC : public plat::CDC {
public:
    // pDC: the target, not owned; it must outlive this object (null: nothing
    // is copied back). rect: the covered area in target coordinates; an
    // empty one covers the target's clip box. crBkg: the colour the buffer
    // starts with; 0xFFFFFFFF leaves it as created (black).
    CVelMemDC(plat::CDC* pDC, const plat::CRect& rect, plat::COLORREF crBkg);
    // The same over a buffer the caller keeps between paints (not owned):
    // used as it is while it has the area's size, made anew otherwise, so
    // painting a window of unchanged size allocates no picture. With
    // 0xFFFFFFFF a kept buffer holds the previous paint's picture.
    CVelMemDC(plat::CDC* pDC, const plat::CRect& rect, plat::COLORREF crBkg, plat::CBitmap* pKeptBuffer);
    ~CVelMemDC() override;

    const plat::CRect& GetArea() const { return m_rcArea; }
    bool IsReady() const { return m_bReady != 0; }

protected:
    plat::CDC* m_pTargetDC = nullptr;
    plat::CRect m_rcArea;
    plat::CBitmap m_bmpBuffer;
    plat::CBitmap* m_hPrevBitmap = nullptr;
    int m_bReady = 0;

private:
    void Init(plat::CDC* pDC, const plat::CRect& rect, plat::COLORREF crBkg);
    plat::CBitmap* m_pBuffer = &m_bmpBuffer;  // m_bmpBuffer or the caller's
};
