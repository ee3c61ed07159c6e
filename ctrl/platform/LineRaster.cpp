#include "platform/LineRaster.h"

#include "platform/GdiDefs.h"

#include <cstdlib>
#include <span>

namespace plat {

namespace {

// On, off, on, off ... in pixels: the cosmetic pen styles of Windows.
constexpr int kDash[] = {18, 6};
constexpr int kDot[] = {3, 3};
constexpr int kDashDot[] = {9, 6, 3, 6};
constexpr int kDashDotDot[] = {9, 3, 3, 3, 3, 3};

std::span<const int> Runs(int style)
{
    switch (style) {
    case PS_DASH: return kDash;
    case PS_DOT: return kDot;
    case PS_DASHDOT: return kDashDot;
    case PS_DASHDOTDOT: return kDashDotDot;
    default: return {};
    }
}

}  // namespace

CLineRaster::CLineRaster(int style) : m_style(style)
{
    ResetPattern();
}

int CLineRaster::FirstRunLength() const
{
    auto runs = Runs(m_style);
    return runs.empty() ? 0 : runs[0];
}

bool CLineRaster::NextPixelOn()
{
    auto runs = Runs(m_style);
    if (runs.empty()) return true;
    while (m_left == 0) {
        m_run = (m_run + 1) % runs.size();
        m_left = runs[m_run];
    }
    --m_left;
    return m_run % 2 == 0;
}

void CLineRaster::Line(CPoint a, CPoint b, std::vector<QPoint>& out)
{
    const int dx = std::abs(b.x - a.x);
    const int dy = std::abs(b.y - a.y);
    const int sx = a.x < b.x ? 1 : -1;
    const int sy = a.y < b.y ? 1 : -1;
    const int steps = std::max(dx, dy);
    int x = a.x;
    int y = a.y;
    int err = (dx >= dy ? dx : dy) / 2;
    for (int i = 0; i < steps; ++i) {
        if (NextPixelOn()) out.emplace_back(x, y);
        if (dx >= dy) {
            x += sx;
            err -= dy;
            if (err < 0) { y += sy; err += dx; }
        } else {
            y += sy;
            err -= dx;
            if (err < 0) { x += sx; err += dy; }
        }
    }
}

}  // namespace plat
