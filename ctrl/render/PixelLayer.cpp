#include "render/PixelLayer.h"

#include "platform/AlphaBlend.h"
#include "platform/ColorRef.h"
#include "platform/DC.h"
#include "platform/GdiDefs.h"
#include "render/BlockRows.h"
#include "render/PlotComposer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

CPixelLayer::CPixelLayer() = default;

CPixelLayer::~CPixelLayer() = default;

void CPixelLayer::Begin(plat::CRect rcArea, plat::CDC* pTarget, CPlotComposer* pComposer)
{
    m_ptOrigin = rcArea.TopLeft();
    const int w = std::max(rcArea.Width(), 0);
    const int h = std::max(rcArea.Height(), 0);
    const int nWords = (h + 63) / 64;
    if (m_nMaskWords != nWords || m_arMask.size() != static_cast<std::size_t>(w) * nWords) {
        m_nMaskWords = nWords;
        m_arMask.assign(static_cast<std::size_t>(w) * m_nMaskWords, 0);
        m_nMaskLeft = std::numeric_limits<int>::max();
        m_nMaskRight = -1;
    }
    Clear();
    m_pComposer = pComposer;
    if (m_pComposer) {
        m_bDirect = false;
        m_nWidth = w;
        m_nHeight = h;
        m_pBits = nullptr;
        m_nStride = 0;
        return;
    }
    int nStride = 0;
    std::uint32_t* pDirect = pTarget ? pTarget->DirectPixels(rcArea, &nStride) : nullptr;
    m_bDirect = pDirect != nullptr;
    if (m_bDirect) {
        m_nWidth = w;
        m_nHeight = h;
        m_pBits = pDirect;
        m_nStride = nStride;
        return;
    }
    if (m_image.width() != w || m_image.height() != h) {
        m_image = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
        m_image.fill(0);
        m_rcDirty.SetRectEmpty();
    }
    m_nWidth = m_image.isNull() ? 0 : w;
    m_nHeight = m_image.isNull() ? 0 : h;
    m_pBits = m_image.isNull() ? nullptr : reinterpret_cast<std::uint32_t*>(m_image.bits());
    m_nStride = m_image.isNull() ? 0 : static_cast<int>(m_image.bytesPerLine() / 4);
}

void CPixelLayer::SetColor(plat::COLORREF cr)
{
    m_argb = plat::ToQRgb(cr) | 0xFF000000u;
}

void CPixelLayer::SetPenStyle(int nStyle)
{
    nStyle &= plat::PS_STYLE_MASK;
    if (nStyle == plat::PS_INSIDEFRAME) nStyle = plat::PS_SOLID;
    m_raster = plat::CLineRaster(nStyle);
    m_bSolid = nStyle == plat::PS_SOLID;
}

void CPixelLayer::Touch(int x0, int y0, int x1, int y1)
{
    // Only a picture of its own is blended, and only where it was drawn.
    if (m_bDirect || m_pComposer) return;
    const plat::CRect rc(std::max(std::min(x0, x1), 0), std::max(std::min(y0, y1), 0),
                         std::min(std::max(x0, x1) + 1, m_nWidth), std::min(std::max(y0, y1) + 1, m_nHeight));
    if (rc.IsRectEmpty()) return;
    m_rcDirty.UnionRect(m_rcDirty, rc);
}

// Pixels y0 towards y1, y1 itself not included.
void CPixelLayer::VerticalRun(int x, int y0, int y1)
{
    const int nTop = y0 < y1 ? y0 : y1 + 1;
    const int nBottom = y0 < y1 ? y1 : y0 + 1;  // excluded
    if (FillColumn(x, nTop, nBottom)) Touch(x, nTop, x, nBottom - 1);
}

// Rows nTop to nBottom - 1 of column x, cut to the layer; false when
// nothing of it is inside. The caller marks what it painted.
bool CPixelLayer::FillColumn(int x, int nTop, int nBottom)
{
    if (static_cast<unsigned>(x) >= static_cast<unsigned>(m_nWidth)) return false;
    nTop = std::max(nTop, 0);
    nBottom = std::min(nBottom, m_nHeight);
    if (nTop >= nBottom) return false;
    CBlockRows::SetRun(MaskColumn(x), nTop, nBottom - 1);
    return true;
}

void CPixelLayer::RasterLine(plat::CPoint a, plat::CPoint b)
{
    if (m_bSolid && a.x == b.x) {
        VerticalRun(a.x, a.y, b.y);
        return;
    }
    m_arRaster.clear();
    m_raster.Line(a, b, m_arRaster);
    for (const QPoint& p : m_arRaster) Put(p.x(), p.y());
    Touch(a.x, a.y, b.x, b.y);
}

namespace {
// Liang-Barsky: clips the segment p0-p1 to [lo, hi] in both coordinates.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double xlo, double ylo, double xhi, double yhi)
{
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {x0 - xlo, xhi - x0, y0 - ylo, yhi - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const double nx0 = x0 + t0 * dx, ny0 = y0 + t0 * dy;
    const double nx1 = x0 + t1 * dx, ny1 = y0 + t1 * dy;
    x0 = nx0;
    y0 = ny0;
    x1 = nx1;
    y1 = ny1;
    return true;
}
}  // namespace

void CPixelLayer::Line(plat::CPoint a, plat::CPoint b)
{
    if (!CanDraw()) return;
    a -= m_ptOrigin;
    b -= m_ptOrigin;
    // Wholly on one side of the layer: nothing of it shows.
    if ((a.x < 0 && b.x < 0) || (a.y < 0 && b.y < 0) || (a.x >= m_nWidth && b.x >= m_nWidth)
        || (a.y >= m_nHeight && b.y >= m_nHeight))
        return;
    a += m_ptOrigin;
    b += m_ptOrigin;
    if (!ClipToReach(a, b)) return;
    RasterLine(a - m_ptOrigin, b - m_ptOrigin);
}

void CPixelLayer::Polyline(const plat::CPoint* pPoints, int nCount)
{
    if (!m_bSolid || !CanDraw()) {
        for (int i = 0; i + 1 < nCount; ++i) Line(pPoints[i], pPoints[i + 1]);
        return;
    }
    // The pending run: rows nTop to nBottom of column nX, in layer terms.
    // Lines down one column share their ends, so their rows join up; so do
    // the halves of a steep line into the next column.
    bool bRun = false;
    int nX = 0, nTop = 0, nBottom = 0;
    auto Flush = [&] {
        if (bRun && FillColumn(nX, nTop, nBottom + 1)) Touch(nX, nTop, nX, nBottom);
        bRun = false;
    };
    auto Add = [&](int x, int y0, int y1) {  // rows y0 to y1 in either order
        const int nFrom = std::min(y0, y1);
        const int nTo = std::max(y0, y1);
        if (bRun && x == nX && nFrom <= nBottom + 1 && nTo >= nTop - 1) {
            nTop = std::min(nTop, nFrom);
            nBottom = std::max(nBottom, nTo);
            return;
        }
        Flush();
        bRun = true;
        nX = x;
        nTop = nFrom;
        nBottom = nTo;
    };
    for (int i = 0; i + 1 < nCount; ++i) {
        const plat::CPoint a = pPoints[i];
        const plat::CPoint b = pPoints[i + 1];
        if (a == b) continue;
        if (std::abs(a.x - b.x) > 1 || !IsNear(a) || !IsNear(b)) {
            Flush();
            Line(a, b);
            continue;
        }
        const int x = a.x - m_ptOrigin.x;
        const int y = a.y - m_ptOrigin.y;
        const int d = std::abs(b.y - a.y);
        const int sy = a.y < b.y ? 1 : -1;
        if (a.x == b.x) {
            Add(x, y, y + sy * (d - 1));
        } else if (d <= 1) {
            Add(x, y, y);
        } else {
            // The raster's steep line one column across: the first half of
            // its rows (and the middle one) in a's column, the rest in b's.
            const int nHalf = d / 2;
            Add(x, y, y + sy * nHalf);
            if (nHalf + 1 < d) Add(b.x - m_ptOrigin.x, y + sy * (nHalf + 1), y + sy * (d - 1));
        }
    }
    Flush();
}

bool CPixelLayer::ClipToReach(plat::CPoint& a, plat::CPoint& b) const
{
    const int xlo = m_ptOrigin.x - kExactReach;
    const int ylo = m_ptOrigin.y - kExactReach;
    const int xhi = m_ptOrigin.x + m_nWidth + kExactReach;
    const int yhi = m_ptOrigin.y + m_nHeight + kExactReach;
    if (IsNear(a) && IsNear(b)) return true;
    double x0 = a.x, y0 = a.y, x1 = b.x, y1 = b.y;
    if (!ClipSegment(x0, y0, x1, y1, xlo, ylo, xhi, yhi)) return false;
    a = {static_cast<int>(std::lround(x0)), static_cast<int>(std::lround(y0))};
    b = {static_cast<int>(std::lround(x1)), static_cast<int>(std::lround(y1))};
    return true;
}

void CPixelLayer::Stamp(const CMarkerStamp& stamp, plat::CPoint pt)
{
    pt -= m_ptOrigin;
    const int r = stamp.Reach();
    if (pt.x + r < 0 || pt.y + r < 0 || pt.x - r >= m_nWidth || pt.y - r >= m_nHeight || !CanDraw()) return;
    if (m_pComposer) {
        // Pixels of their own colours become masks of their own.
        const std::uint32_t argbKeep = m_argb;
        for (const CMarkerStamp::tagPixel& px : stamp.Pixels()) {
            m_argb = px.argb;
            Put(pt.x + px.dx, pt.y + px.dy);
        }
        m_argb = argbKeep;
        return;
    }
    PutMask();
    const bool bInside = pt.x - r >= 0 && pt.y - r >= 0 && pt.x + r < m_nWidth && pt.y + r < m_nHeight;
    if (bInside) {
        std::uint32_t* pCentre = m_pBits + static_cast<std::size_t>(pt.y) * m_nStride + pt.x;
        for (const CMarkerStamp::tagPixel& px : stamp.Pixels()) pCentre[px.dy * m_nStride + px.dx] = px.argb;
    } else {
        for (const CMarkerStamp::tagPixel& px : stamp.Pixels()) {
            const int x = pt.x + px.dx;
            const int y = pt.y + px.dy;
            if (static_cast<unsigned>(x) < static_cast<unsigned>(m_nWidth)
                && static_cast<unsigned>(y) < static_cast<unsigned>(m_nHeight))
                m_pBits[static_cast<std::size_t>(y) * m_nStride + x] = px.argb;
        }
    }
    Touch(pt.x - r, pt.y - r, pt.x + r, pt.y + r);
}

void CPixelLayer::StampColumn(const CMarkerStamp& stamp, plat::CPoint pt, int nCount)
{
    if (!stamp.HasSpans() || !CanDraw()) {
        for (int i = 0; i < nCount; ++i) Stamp(stamp, {pt.x, pt.y + i});
        return;
    }
    const std::uint32_t argbKeep = m_argb;
    m_argb = stamp.Pixels().front().argb;
    pt -= m_ptOrigin;
    // Each column of the stack is one run: its top stamp's top to its
    // bottom stamp's bottom.
    for (const CMarkerStamp::tagSpan& span : stamp.Spans())
        FillColumn(pt.x + span.dx, pt.y + span.dyTop, pt.y + nCount - 1 + span.dyBottom + 1);
    const int r = stamp.Reach();
    Touch(pt.x - r, pt.y - r, pt.x + r, pt.y + nCount - 1 + r);
    m_argb = argbKeep;
}

void CPixelLayer::StampRows(const CMarkerStamp& stamp, int x, int yTop, const std::uint64_t* pRows, int nWords)
{
    int nFirst = -1, nLast = -1;
    for (int w = 0; w < nWords; ++w) {
        if (pRows[w] == 0) continue;
        if (nFirst < 0) nFirst = w * 64 + std::countr_zero(pRows[w]);
        nLast = w * 64 + 63 - std::countl_zero(pRows[w]);
    }
    if (nFirst < 0) return;
    // Stamps without spans, and spans too long to spread by shifts within
    // a word, go stack by stack.
    if (!stamp.HasSpans() || !CanDraw() || stamp.Reach() > kMaxSpreadReach) {
        for (int r = nFirst; r <= nLast;) {
            if (!((pRows[r / 64] >> (r % 64)) & 1)) {
                ++r;
                continue;
            }
            int nEnd = r + 1;
            while (nEnd <= nLast && ((pRows[nEnd / 64] >> (nEnd % 64)) & 1)) ++nEnd;
            StampColumn(stamp, {x, yTop + r}, nEnd - r);
            r = nEnd;
        }
        return;
    }
    const std::uint32_t argbKeep = m_argb;
    m_argb = stamp.Pixels().front().argb;
    stamp.SpreadRows(pRows, nWords, m_arSpread,
                     [&](const CMarkerStamp::tagSpan& span, const std::uint64_t* pSpread, int nSpreadWords,
                         int nFirstRow) {
                         const int lx = x + span.dx - m_ptOrigin.x;
                         if (lx < 0 || lx >= m_nWidth) return;
                         OrShifted(MaskColumn(lx), m_nMaskWords, m_nHeight, pSpread, nSpreadWords,
                                   yTop + nFirstRow + span.dyTop - m_ptOrigin.y);
                     });
    m_argb = argbKeep;
    const int r = stamp.Reach();
    const int ly = yTop - m_ptOrigin.y;
    Touch(x - m_ptOrigin.x - r, ly + nFirst - r, x - m_ptOrigin.x + r, ly + nLast + r);
}

void CPixelLayer::OrMask(std::uint32_t argb, const std::uint64_t* pMask, int nWords)
{
    if (nWords != m_nMaskWords || !CanDraw()) return;
    const std::uint32_t argbKeep = m_argb;
    m_argb = argb;
    int nLeft = m_nWidth, nRight = -1;
    for (int x = 0; x < m_nWidth; ++x) {
        const std::uint64_t* pFrom = pMask + static_cast<std::size_t>(x) * nWords;
        if (std::all_of(pFrom, pFrom + nWords, [](std::uint64_t w) { return w == 0; })) continue;
        std::uint64_t* pTo = MaskColumn(x);
        for (int w = 0; w < nWords; ++w) pTo[w] |= pFrom[w];
        nLeft = std::min(nLeft, x);
        nRight = x;
    }
    m_argb = argbKeep;
    if (nLeft <= nRight) Touch(nLeft, 0, nRight, m_nHeight - 1);
}

void CPixelLayer::OrShifted(std::uint64_t* pTo, int nToWords, int nHeight, const std::uint64_t* pFrom, int nWords,
                            int nShift)
{
    for (int w = 0; w < nWords; ++w) {
        const std::uint64_t v = pFrom[w];
        if (v == 0) continue;
        const int t = w * 64 + nShift;  // the row of the word's first bit
        const int q = t >= 0 ? t / 64 : -((-t + 63) / 64);
        const int nOff = t - q * 64;
        if (q >= 0 && q < nToWords) pTo[q] |= v << nOff;
        if (nOff > 0 && q + 1 >= 0 && q + 1 < nToWords) pTo[q + 1] |= v >> (64 - nOff);
    }
    // Rows below the area are not pixels.
    if (nHeight % 64 != 0) pTo[nToWords - 1] &= (std::uint64_t(1) << (nHeight % 64)) - 1;
}

void CPixelLayer::PutMask()
{
    if (m_nMaskLeft <= m_nMaskRight) {
        if (m_pComposer)
            m_pComposer->AddMask(m_argbMask, m_arMask.data(), m_nMaskWords, m_nMaskLeft, m_nMaskRight);
        else
            CPlotComposer::PutMask(m_arMask.data(), m_nMaskWords, m_nMaskLeft, m_nMaskRight, m_nHeight, m_pBits,
                                   m_nStride, m_argbMask, true);
    }
    m_nMaskLeft = std::numeric_limits<int>::max();
    m_nMaskRight = -1;
}

void CPixelLayer::Paint(plat::CDC* pDC)
{
    PutMask();
    if (m_bDirect || m_pComposer) {
        m_rcDirty.SetRectEmpty();
        return;
    }
    if (m_rcDirty.IsRectEmpty()) return;
    const QRect rc = m_rcDirty.toQRect();
    plat::AlphaBlendImage(pDC, m_ptOrigin.x + rc.x(), m_ptOrigin.y + rc.y(), m_image, rc);
    Clear();
}

void CPixelLayer::Clear()
{
    for (int x = m_nMaskLeft; x <= m_nMaskRight; ++x)
        std::fill_n(m_arMask.data() + static_cast<std::size_t>(x) * m_nMaskWords, m_nMaskWords, 0);
    m_nMaskLeft = std::numeric_limits<int>::max();
    m_nMaskRight = -1;
    // Pixels written into a target are its own now.
    if (m_bDirect) m_rcDirty.SetRectEmpty();
    if (m_rcDirty.IsRectEmpty()) return;
    auto* pBits = reinterpret_cast<std::uint32_t*>(m_image.bits());
    const auto nStride = static_cast<std::size_t>(m_image.bytesPerLine() / 4);
    for (int row = m_rcDirty.top; row < m_rcDirty.bottom; ++row)
        std::memset(pBits + row * nStride + m_rcDirty.left, 0, static_cast<std::size_t>(m_rcDirty.Width()) * 4);
    m_rcDirty.SetRectEmpty();
}
