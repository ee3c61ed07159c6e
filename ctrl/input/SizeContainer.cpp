#include "input/SizeContainer.h"

#include <algorithm>

using namespace plat;

namespace {

int RoundHalfUp(double d)
{
    return int(d + 0.5);
}

}  // namespace

void CSizeContainer::SetNewSize(QWidget* pWnd, int cx, int cy)
{
    if (!pWnd || cx <= 0 || cy <= 0) return;
    m_records.remove_if([](const Record& r) { return r.guard.isNull(); });
    if (m_nPrevWidth > 0 && m_nPrevHeight > 0) {
        const QList<QWidget*> children = pWnd->findChildren<QWidget*>();
        for (QWidget* child : children)
            if (!child->isWindow()) ScaleChild(child, cx, cy);
    }
    m_nPrevWidth = cx;
    m_nPrevHeight = cy;
}

void CSizeContainer::ScaleChild(QWidget* pChild, int cx, int cy)
{
    const double sx = double(cx) / m_nPrevWidth;
    const double sy = double(cy) / m_nPrevHeight;
    double l, t, r, b;
    tagWndSize rec;
    const bool bKnown = FindWndSize(pChild, rec);
    if (bKnown) {
        l = rec.left, t = rec.top, r = rec.right, b = rec.bottom;
    } else {
        const QRect g = pChild->geometry();
        l = g.x(), t = g.y(), r = g.x() + g.width(), b = g.y() + g.height();
    }
    l *= sx, r *= sx, t *= sy, b *= sy;
    rec = {pChild, float(l), float(t), float(r), float(b)};
    if (bKnown) SetWndSize(pChild, rec);
    else m_records.push_back({rec, pChild});

    const int nLeft = RoundHalfUp(l), nTop = RoundHalfUp(t);
    const int nRight = RoundHalfUp(r), nBottom = RoundHalfUp(b);
    pChild->setGeometry(nLeft, nTop, nRight - nLeft, nBottom - nTop);
    pChild->update();
}

BOOL CSizeContainer::FindWndSize(const QWidget* hWnd, tagWndSize& wndSize) const
{
    const auto it = std::find_if(m_records.begin(), m_records.end(),
                                 [hWnd](const Record& r) { return r.size.hWnd == hWnd && !r.guard.isNull(); });
    if (it == m_records.end()) return FALSE;
    wndSize = it->size;
    return TRUE;
}

void CSizeContainer::SetWndSize(const QWidget* hWnd, const tagWndSize& wndSize)
{
    const auto it = std::find_if(m_records.begin(), m_records.end(),
                                 [hWnd](const Record& r) { return r.size.hWnd == hWnd && !r.guard.isNull(); });
    if (it != m_records.end()) it->size = wndSize;
}
