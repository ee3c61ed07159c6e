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
    return stamp;
}
