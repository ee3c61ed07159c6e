#pragma once

#include "platform/LineRaster.h"
#include "platform/Point.h"
#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "platform/WinDef.h"
#include "render/MarkerStamp.h"

#include <QImage>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace plat {
class CDC;
}
class CPlotComposer;

// A transparent picture the size of the plot that a series is drawn into
// pixel by pixel (one-pixel lines with GDI's raster, marker stamps) and then
// painted over the plot in one go. It keeps the cost of a series bound to
// the pixels it covers rather than to the number of drawing calls. Where
// the target DC lets its pixels be written directly, the layer draws
// straight into them: everything it draws is opaque, so the picture is the
// same without the blend.
class QUINDLE_EXPORT CPixelLayer {
public:
    CPixelLayer();
    ~CPixelLayer();
    // A clear layer over rcArea (DC coordinates); drawing outside it is lost.
    // pTarget, when given, is the DC that Paint will be given; nothing else
    // may draw on it until then. With pComposer, the layer's pixels go to
    // it as masks instead, and Paint draws nothing.
    void Begin(plat::CRect rcArea, plat::CDC* pTarget = nullptr, CPlotComposer* pComposer = nullptr);
    void SetColor(plat::COLORREF cr);
    // Style of the one-pixel pen (PS_SOLID, PS_DASH ...); starts its pattern.
    void SetPenStyle(int nStyle);
    // Starts the dash pattern again, as CDC::MoveTo does.
    void ResetPattern() { m_raster.ResetPattern(); }
    // The one-pixel line from a to b without b, as CDC::LineTo paints it.
    // Segments reaching far outside the layer are clipped first, so a point
    // a billion pixels away costs no more than one at the edge.
    void Line(plat::CPoint a, plat::CPoint b);
    // The lines through nCount points, each without its end, as Line draws
    // them one after the other. With a solid pen, the vertical lines that
    // follow each other in one column go down as one run.
    void Polyline(const plat::CPoint* pPoints, int nCount);
    void Stamp(const CMarkerStamp& stamp, plat::CPoint pt);
    // The stamp at pt and at the nCount - 1 points below it, one row apart.
    void StampColumn(const CMarkerStamp& stamp, plat::CPoint pt, int nCount);
    // The stamp at (x, yTop + r) for every set bit r of pRows (nWords
    // words): a column of marks in one step, whatever its gaps.
    void StampRows(const CMarkerStamp& stamp, int x, int yTop, const std::uint64_t* pRows, int nWords);
    // ORs a mask of the layer's size (nWords words a column) in argb.
    void OrMask(std::uint32_t argb, const std::uint64_t* pMask, int nWords);
    // Paints what was drawn since Begin over its area of the DC, then
    // clears the layer.
    void Paint(plat::CDC* pDC);
    // Whether drawing goes straight into the target DC's pixels.
    bool IsDirect() const { return m_bDirect; }

    // Clips a segment to the area around the layer where lines are drawn
    // exactly; false when nothing of it is left there.
    bool ClipToReach(plat::CPoint& a, plat::CPoint& b) const;
    // Whether p lies within the exact reach around the layer.
    bool IsNear(plat::CPoint p) const
    {
        return p.x >= m_ptOrigin.x - kExactReach && p.x <= m_ptOrigin.x + m_nWidth + kExactReach
               && p.y >= m_ptOrigin.y - kExactReach && p.y <= m_ptOrigin.y + m_nHeight + kExactReach;
    }

    const QImage& Image() const { return m_image; }

    // How far outside the layer a segment may reach and still be drawn
    // exactly as it stands.
    static constexpr int kExactReach = 4096;
    // StampRows spreads rows over spans of stamps up to this reach.
    static constexpr int kMaxSpreadReach = 31;
    // ORs the bits of pFrom (nWords words), moved nShift rows down, into
    // the mask column pTo of nToWords words over nHeight rows.
    static void OrShifted(std::uint64_t* pTo, int nToWords, int nHeight, const std::uint64_t* pFrom, int nWords,
                          int nShift);

private:
    void Clear();
    void Touch(int x0, int y0, int x1, int y1);
    void VerticalRun(int x, int y0, int y1);
    bool FillColumn(int x, int nTop, int nBottom);
    void RasterLine(plat::CPoint a, plat::CPoint b);
    // Pixels of one colour are first gathered as a mask, so a pixel that
    // many marks and lines cover is written once; the mask is put down
    // before anything of another colour is drawn, keeping the order.
    std::uint64_t* MaskColumn(int x)
    {
        if (m_argb != m_argbMask) {
            PutMask();
            m_argbMask = m_argb;
        }
        m_nMaskLeft = std::min(m_nMaskLeft, x);
        m_nMaskRight = std::max(m_nMaskRight, x);
        return m_arMask.data() + static_cast<std::size_t>(x) * m_nMaskWords;
    }
    void Put(int x, int y)
    {
        if (static_cast<unsigned>(x) < static_cast<unsigned>(m_nWidth)
            && static_cast<unsigned>(y) < static_cast<unsigned>(m_nHeight))
            MaskColumn(x)[y / 64] |= std::uint64_t(1) << (y % 64);
    }
    void PutMask();
    bool CanDraw() const { return m_pBits || m_pComposer; }

    QImage m_image;
    plat::CPoint m_ptOrigin;
    std::uint32_t* m_pBits = nullptr;
    int m_nStride = 0;  // in pixels
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::uint32_t m_argb = 0xFF000000;
    plat::CRect m_rcDirty;
    std::vector<std::uint64_t> m_arMask;  // a column of bits per pixel column
    int m_nMaskWords = 0;
    int m_nMaskLeft = 0;  // the columns of the mask that may hold bits
    int m_nMaskRight = -1;
    std::uint32_t m_argbMask = 0;
    std::vector<std::uint64_t> m_arSpread;  // StampRows' rows, spread over a span
    std::vector<QPoint> m_arRaster;
    plat::CLineRaster m_raster{0};
    bool m_bSolid = true;
    bool m_bDirect = false;
    CPlotComposer* m_pComposer = nullptr;
};
