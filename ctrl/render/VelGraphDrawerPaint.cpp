// CVelGraphDrawer: the paint of the plot area, the axes and the scale texts.
#include "render/VelGraphDrawer.h"

#include "graph/VelGraph.h"
#include "graph/VelGraphSeries.h"
#include "platform/AlphaBlend.h"
#include "platform/DC.h"
#include "render/AxisScale.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr plat::COLORREF kGridColor = plat::RGB(212, 208, 200);
constexpr plat::COLORREF kTickColor = plat::RGB(0, 0, 0);
constexpr plat::COLORREF kLabelColor = plat::RGB(255, 255, 255);
constexpr int kMinPlotSide = 5;
// Ticks start at the frame, 3 pixels outside the plot; labels 5 pixels out.
constexpr int kFrameGap = 3;
constexpr int kMajorTickEnd = 5;
constexpr int kMinorTickEnd = 4;
}  // namespace

plat::CFont* CVelGraphDrawer::ScaleFont()
{
    return m_Font.Get(m_lfFont);
}

void CVelGraphDrawer::FillLine(plat::CDC* pDC, plat::CPoint a, plat::CPoint b, plat::COLORREF cr)
{
    if (a == b) return;
    plat::CRect rc;
    if (a.x == b.x) rc = a.y < b.y ? plat::CRect(a.x, a.y, a.x + 1, b.y) : plat::CRect(a.x, b.y + 1, a.x + 1, a.y + 1);
    else rc = a.x < b.x ? plat::CRect(a.x, a.y, b.x, a.y + 1) : plat::CRect(b.x + 1, a.y, a.x + 1, a.y + 1);
    const plat::COLORREF crBk = pDC->GetBkColor();
    pDC->FillSolidRect(rc, cr);
    pDC->SetBkColor(crBk);
}

void CVelGraphDrawer::Draw(plat::CDC* pDC, plat::CRect rcPlot)
{
    const int w = rcPlot.Width();
    const int h = rcPlot.Height();
    if (h < kMinPlotSide || w < kMinPlotSide) return;
    m_rcLastPlot = rcPlot;

    // Ticks and labels stay around the plot on the target.
    DrawXAxis(pDC, rcPlot, 0);
    DrawYAxis(pDC, rcPlot, 0);

    // Grid and series go through a bitmap copied in one blit, so a chart
    // updated point by point does not flicker.
    plat::CDC mem;
    mem.CreateCompatibleDC(pDC);
    if (!m_pPlotBitmap || m_pPlotBitmap->GetSize() != plat::CSize(w, h)) {
        m_pPlotBitmap = std::make_unique<plat::CBitmap>();
        m_pPlotBitmap->CreateCompatibleBitmap(pDC, w, h);
        m_Composer.Forget();
    }
    plat::CBitmap* pOld = mem.SelectObject(m_pPlotBitmap.get());
    const plat::CRect rcBitmap(0, 0, w, h);
    int nStride = 0;
    std::uint32_t* pPlot = ComposesPlot() ? mem.DirectPixels(rcBitmap, &nStride) : nullptr;
    if (pPlot) {
        // The bitmap still holds the last paint: only what changed is written.
        if (m_Composer.Begin(BaseKey(rcBitmap))) {
            DrawBase(&mem, rcBitmap);
        } else if (m_Composer.NeedsBase()) {
            plat::CDC base(&m_Composer.BaseImage());
            DrawBase(&base, rcBitmap);
            m_Composer.SetBaseDrawn();
        }
        m_pComposing = &m_Composer;
        DrawAllSeries(&mem, rcBitmap, rcPlot.TopLeft());
        m_pComposing = nullptr;
        m_Composer.Finish(pPlot, nStride);
    } else {
        m_Composer.Forget();
        DrawBase(&mem, rcBitmap);
        DrawAllSeries(&mem, rcBitmap, rcPlot.TopLeft());
    }
    mem.SelectObject(pOld);
    // The bitmap is opaque, so drawing it over the target is the copy a
    // blit makes, without the blit's copy of the source on every paint.
    plat::AlphaBlendImage(pDC, rcPlot.left, rcPlot.top, *m_pPlotBitmap->ImageData(), QRect(0, 0, w, h));
}

void CVelGraphDrawer::DrawBase(plat::CDC* pDC, plat::CRect rcBitmap)
{
    pDC->FillSolidRect(rcBitmap, m_pGraph->GetBkgColor());
    DrawXAxis(pDC, rcBitmap, 1);
    DrawYAxis(pDC, rcBitmap, 1);
    if (!m_pGraph->GetMarkers().empty()) DrawMarkers(pDC, rcBitmap);
}

void CVelGraphDrawer::DrawAllSeries(plat::CDC* pDC, plat::CRect rcBitmap, plat::CPoint ptOrigin)
{
    // Point tooltips need no tools per paint: GetToolTip hit-tests the data.
    for (const auto& pSeries : *m_pGraph->GetSeriesArray())
        if (pSeries->bShow) DrawOneSeries(pDC, rcBitmap, pSeries.get(), ptOrigin);
}

bool CVelGraphDrawer::ComposesPlot()
{
    for (const auto& pSeries : *m_pGraph->GetSeriesArray())
        if (pSeries->bShow && !ComposesSeries(pSeries.get())) return false;
    return true;
}

bool CVelGraphDrawer::ComposesSeries(const CVelGraphSeries*)
{
    return false;
}

// What DrawBase draws from: the background, the grid's lines (which the
// axes' ticks place) and the markers' lines and labels.
CPlotComposer::tagBaseKey CVelGraphDrawer::BaseKey(plat::CRect rcBitmap) const
{
    CPlotComposer::tagBaseKey key;
    key.nWidth = rcBitmap.Width();
    key.nHeight = rcBitmap.Height();
    key.crBack = m_pGraph->GetBkgColor();
    auto GridOffsets = [](const tagGraphAxis& axis, std::vector<int>& arOffsets) {
        for (const tagAxisTick& tick : CAxisScale::Ticks(axis))
            if (tick.bMajor ? axis.bMajorGrid : axis.bMinorGrid) arOffsets.push_back(tick.nOffset);
    };
    GridOffsets(*m_pXAxis, key.arXGrid);
    GridOffsets(*m_pYAxis, key.arYGrid);
    for (const tagGraphMarker& marker : m_pGraph->GetMarkers()) {
        int bValid = 0;
        const int x = GetAxisPosition(marker.x, m_pXAxis, bValid);
        if (!bValid || x < 0 || x >= key.nWidth) continue;
        key.arMarkers.push_back({x, marker.crColor, marker.nPenStyle, marker.strLabel});
        if (!marker.strLabel.isEmpty()) key.lfFont = m_lfFont;
    }
    return key;
}

void CVelGraphDrawer::DrawMarkers(plat::CDC* pDC, plat::CRect rcPlot)
{
    pDC->SaveDC();
    pDC->SelectObject(ScaleFont());
    pDC->SetBkMode(plat::TRANSPARENT);
    for (const tagGraphMarker& marker : m_pGraph->GetMarkers()) {
        int bValid = 0;
        const int x = rcPlot.left + GetAxisPosition(marker.x, m_pXAxis, bValid);
        if (!bValid || x < rcPlot.left || x >= rcPlot.right) continue;
        plat::CPen pen(marker.nPenStyle, 1, marker.crColor);
        plat::CPen* pOld = pDC->SelectObject(&pen);
        pDC->MoveTo(x, rcPlot.top);
        pDC->LineTo(x, rcPlot.bottom);
        pDC->SelectObject(pOld);
        if (marker.strLabel.isEmpty()) continue;
        pDC->SetTextColor(marker.crColor);
        pDC->TextOut(x + 2, rcPlot.top + 1, marker.strLabel);
    }
    pDC->RestoreDC(-1);
}

int CVelGraphDrawer::CalculatePixelStep(tagGraphAxis* pAxis, int nLength)
{
    return CAxisScale::CalculatePixelStep(*pAxis, nLength);
}

double CVelGraphDrawer::CorrectStepValue(double dStep, tagGraphAxis* pAxis)
{
    return CAxisScale::CorrectStepValue(dStep, *pAxis);
}

double CVelGraphDrawer::GetFirstScaleOffset(double dMin, double dStep)
{
    return CAxisScale::GetFirstScaleOffset(dMin, dStep);
}

int CVelGraphDrawer::IsMultiple(double dValue, double dUnit)
{
    return CAxisScale::IsMultiple(dValue, dUnit);
}

int CVelGraphDrawer::GetPrecision(double dValue)
{
    return CAxisScale::GetPrecision(dValue);
}

// Ticks lie outside the plot: on the bitmap pass they would be clipped away.
void CVelGraphDrawer::DrawTick(plat::CDC* pDC, plat::CPoint a, plat::CPoint b, int bBuffered) const
{
    if (bBuffered) return;
    FillLine(pDC, a, b, kTickColor);
}

// An axis-parallel grid line from a towards b (b not painted). On the
// direct pass only its pixels outside the plot stay visible (the bitmap
// covers the rest), so only those are painted there.
void CVelGraphDrawer::DrawGridLine(plat::CDC* pDC, plat::CRect rcPlot, plat::CPoint a, plat::CPoint b,
                                   int bBuffered) const
{
    if (bBuffered) {
        FillLine(pDC, a, b, kGridColor);
    } else {
        const bool bVertical = a.x == b.x;
        const int nFixed = bVertical ? a.x : a.y;
        const int nFrom = bVertical ? a.y : a.x;
        const int nTo = bVertical ? b.y : b.x;
        const int nLow = bVertical ? rcPlot.top : rcPlot.left;
        const int nHigh = bVertical ? rcPlot.bottom : rcPlot.right;
        const bool bInside = bVertical ? (nFixed >= rcPlot.left && nFixed < rcPlot.right)
                                       : (nFixed >= rcPlot.top && nFixed < rcPlot.bottom);
        const int nDir = nTo >= nFrom ? 1 : -1;
        auto Paint = [&](int p, int q) {  // pixels p .. q-1 in the walking direction
            if ((q - p) * nDir <= 0) return;
            FillLine(pDC, bVertical ? plat::CPoint(nFixed, p) : plat::CPoint(p, nFixed),
                     bVertical ? plat::CPoint(nFixed, q) : plat::CPoint(q, nFixed), kGridColor);
        };
        if (!bInside) {
            Paint(nFrom, nTo);
        } else if (nDir > 0) {
            Paint(nFrom, std::min(nTo, nLow));
            Paint(std::max(nFrom, nHigh), nTo);
        } else {
            Paint(nFrom, std::max(nTo, nHigh - 1));
            Paint(std::min(nFrom, nLow - 1), nTo);
        }
    }
}

void CVelGraphDrawer::DrawXAxis(plat::CDC* pDC, plat::CRect rcPlot, int bBuffered)
{
    tagGraphAxis& axis = *m_pXAxis;
    if (!bBuffered) CalculatePixelStep(&axis, rcPlot.right - rcPlot.left);
    const int nPrecision = GetPrecision(axis.dStep * axis.nStepsPerLabel);
    for (const tagAxisTick& tick : CAxisScale::Ticks(axis)) {
        const int x = rcPlot.left + tick.nOffset;
        const int nTickEnd = tick.bMajor ? kMajorTickEnd : kMinorTickEnd;
        DrawTick(pDC, {x, rcPlot.bottom + kFrameGap}, {x, rcPlot.bottom + nTickEnd}, bBuffered);
        if (tick.bMajor && !bBuffered) {
            const plat::CString str = GetValueString(tick.dValue, nPrecision, axis.eValueType, axis.bLogarithm, 1);
            DrawScaleText(pDC, {x, rcPlot.bottom + kMajorTickEnd}, str, 1);
        }
        if (tick.bMajor ? axis.bMajorGrid : axis.bMinorGrid)
            DrawGridLine(pDC, rcPlot, {x, rcPlot.bottom}, {x, rcPlot.top - kFrameGap}, bBuffered);
    }
}

void CVelGraphDrawer::DrawYAxis(plat::CDC* pDC, plat::CRect rcPlot, int bBuffered)
{
    tagGraphAxis& axis = *m_pYAxis;
    if (!bBuffered) CalculatePixelStep(&axis, rcPlot.bottom - rcPlot.top);
    const int nPrecision = GetPrecision(axis.dStep * axis.nStepsPerLabel);
    for (const tagAxisTick& tick : CAxisScale::Ticks(axis)) {
        const int y = rcPlot.bottom - tick.nOffset;
        const int nTickEnd = tick.bMajor ? kMajorTickEnd : kMinorTickEnd;
        DrawTick(pDC, {rcPlot.left - kFrameGap, y}, {rcPlot.left - nTickEnd, y}, bBuffered);
        if (tick.bMajor && !bBuffered) {
            const plat::CString str = GetValueString(tick.dValue, nPrecision, axis.eValueType, axis.bLogarithm, 1);
            DrawScaleText(pDC, {rcPlot.left - kMajorTickEnd, y}, str, 0);
        }
        if (tick.bMajor ? axis.bMajorGrid : axis.bMinorGrid)
            DrawGridLine(pDC, rcPlot, {rcPlot.left - kFrameGap, y}, {rcPlot.right + kFrameGap - 1, y}, bBuffered);
    }
}

plat::CSize CVelGraphDrawer::GetScaleTextSize(plat::CDC* pDC, tagGraphAxis*)
{
    plat::CFont* pOld = pDC->SelectObject(ScaleFont());
    const plat::CSize size = pDC->GetTextExtent(QStringLiteral("1000"));
    pDC->SelectObject(pOld);
    return size;
}

void CVelGraphDrawer::DrawScaleText(plat::CDC* pDC, plat::CPoint pt, const plat::CString& strText, int bHorizontal)
{
    plat::CFont* pOldFont = pDC->SelectObject(ScaleFont());
    const plat::COLORREF crOld = pDC->SetTextColor(kLabelColor);
    const plat::CSize size = pDC->GetTextExtent(strText);
    int x = 0;
    int y = 0;
    if (bHorizontal) {
        x = pt.x - size.cx / 2;
        y = pt.y;
        const int nRight = m_pGraph->GetBound().right;
        if (x + size.cx > nRight) x = nRight - size.cx - 3;
    } else {
        x = pt.x - size.cx;
        y = pt.y - size.cy / 2;
    }
    const int nOldMode = pDC->SetBkMode(plat::TRANSPARENT);
    pDC->TextOut(x, y, strText);
    pDC->SetBkMode(nOldMode);
    pDC->SetTextColor(crOld);
    pDC->SelectObject(pOldFont);
}

void CVelGraphDrawer::DrawPointStyle(plat::CDC* pDC, eCurvePointStyle eMarker, plat::COLORREF crColor,
                                     plat::CPoint pt)
{
    const int r = m_nMarkerSize;
    const int L = pt.x - r;
    const int R = pt.x + r;
    const int T = pt.y - r;
    const int B = pt.y + r;
    plat::CBrush brush(crColor);
    plat::CBrush* pOld = pDC->SelectObject(&brush);
    switch (eMarker) {
    case POINT_CIRCLE: pDC->Ellipse(L, T, R, B); break;
    case POINT_CROSS: {
        const plat::CPoint pts[] = {{L, B}, pt, {R, B}, pt, {R, T}, pt, {L, T}, pt};
        pDC->Polygon(pts, 8);
        break;
    }
    case POINT_TRIANGLE_UP: {
        const plat::CPoint pts[] = {{L, B}, {R, B}, {pt.x, T}};
        pDC->Polygon(pts, 3);
        break;
    }
    case POINT_TRIANGLE_DOWN: {
        const plat::CPoint pts[] = {{L, T}, {R, T}, {pt.x, B}};
        pDC->Polygon(pts, 3);
        break;
    }
    case POINT_SQUARE: pDC->Rectangle(L, T, R, B); break;
    case POINT_DIAMOND: {
        const plat::CPoint pts[] = {{pt.x, T}, {R, pt.y}, {pt.x, B}, {L, pt.y}};
        pDC->Polygon(pts, 4);
        break;
    }
    default: break;  // no marker
    }
    pDC->SelectObject(pOld);
}

const CMarkerStamp& CVelGraphDrawer::MarkerStamp(eCurvePointStyle eMarker, plat::COLORREF crFill,
                                                 const plat::LOGPEN& pen)
{
    const tagStampKey key{eMarker, m_nMarkerSize, crFill, pen};
    for (const auto& entry : m_arStamps)
        if (entry.first == key) return entry.second;
    constexpr std::size_t kMaxStamps = 16;
    if (m_arStamps.size() >= kMaxStamps) m_arStamps.clear();
    const int nReach = std::clamp(m_nMarkerSize, 0, 1000) + std::clamp(pen.lopnWidth, 0, 1000) + 2;
    CMarkerStamp stamp = CMarkerStamp::Capture(nReach, [&](plat::CDC& dc, plat::CPoint pt) {
        plat::CPen penMarker;
        penMarker.CreatePenIndirect(&pen);
        plat::CPen* pOld = dc.SelectObject(&penMarker);
        DrawPointStyle(&dc, eMarker, crFill, pt);
        dc.SelectObject(pOld);
    });
    m_arStamps.emplace_back(key, std::move(stamp));
    return m_arStamps.back().second;
}
