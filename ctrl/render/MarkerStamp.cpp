#include "render/MarkerStamp.h"

#include "platform/DC.h"

#include <QImage>
#include <algorithm>
#include <cstdlib>

CMarkerStamp CMarkerStamp::Capture(int nReach, const std::function<void(plat::CDC&, plat::CPoint)>& paint)
{
    CMarkerStamp stamp;
    const int nSide = 2 * nReach + 1;
    QImage image(nSide, nSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(0);
    {
        plat::CDC dc(&image);
        paint(dc, plat::CPoint(nReach, nReach));
    }
    for (int y = 0; y < nSide; ++y) {
        const auto* pLine = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < nSide; ++x) {
            if ((pLine[x] >> 24) == 0) continue;
            stamp.m_arPixels.push_back({x - nReach, y - nReach, pLine[x]});
            stamp.m_nReach = std::max({stamp.m_nReach, std::abs(x - nReach), std::abs(y - nReach)});
        }
    }
    stamp.m_bOneColour = std::all_of(stamp.m_arPixels.begin(), stamp.m_arPixels.end(), [&](const tagPixel& px) {
        return px.argb == stamp.m_arPixels.front().argb;
    });
    stamp.FindSpans();
    return stamp;
}

void CMarkerStamp::FindSpans()
{
    m_arSpans.clear();
    if (m_arPixels.empty()) return;
    std::vector<tagSpan> arSpans;
    std::vector<int> arCount;
    for (const tagPixel& px : m_arPixels) {
        if (px.argb != m_arPixels.front().argb) return;
        auto it = std::find_if(arSpans.begin(), arSpans.end(), [&](const tagSpan& s) { return s.dx == px.dx; });
        if (it == arSpans.end()) {
            arSpans.push_back({px.dx, px.dy, px.dy});
            arCount.push_back(1);
            continue;
        }
        it->dyTop = std::min(it->dyTop, px.dy);
        it->dyBottom = std::max(it->dyBottom, px.dy);
        ++arCount[static_cast<std::size_t>(it - arSpans.begin())];
    }
    for (std::size_t i = 0; i < arSpans.size(); ++i)
        if (arSpans[i].dyBottom - arSpans[i].dyTop + 1 != arCount[i]) return;
    std::stable_sort(arSpans.begin(), arSpans.end(), [](const tagSpan& a, const tagSpan& b) {
        return a.dyBottom - a.dyTop < b.dyBottom - b.dyTop;
    });
    m_arSpans = std::move(arSpans);
}
