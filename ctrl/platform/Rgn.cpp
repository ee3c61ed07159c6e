#include "platform/Rgn.h"

#include "platform/GdiDefs.h"

namespace plat {

namespace {

int Complexity(const QRegion& r)
{
    if (r.isEmpty()) return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom)
{
    CRect r(left, top, right, bottom);
    r.NormalizeRect();
    auto handle = std::make_shared<GdiHandle>();
    handle->data = GdiRgnData{QRegion(r.toQRect())};
    AttachHandle(std::move(handle), true);
    return TRUE;
}

BOOL CRgn::CreateRectRgnIndirect(const CRect& rect)
{
    return CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom);
}

QRegion CRgn::Region() const
{
    if (!m_handle) return {};
    auto* rgn = std::get_if<GdiRgnData>(&m_handle->data);
    return rgn ? rgn->region : QRegion();
}

int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode)
{
    if (!a || (mode != RGN_COPY && !b)) return ERROR;
    const QRegion ra = a->Region();
    const QRegion rb = b ? b->Region() : QRegion();
    QRegion result;
    switch (mode) {
    case RGN_AND: result = ra.intersected(rb); break;
    case RGN_OR: result = ra.united(rb); break;
    case RGN_XOR: result = ra.xored(rb); break;
    case RGN_DIFF: result = ra.subtracted(rb); break;
    case RGN_COPY: result = ra; break;
    default: return ERROR;
    }
    auto handle = std::make_shared<GdiHandle>();
    handle->data = GdiRgnData{result};
    AttachHandle(std::move(handle), true);
    return Complexity(result);
}

BOOL CRgn::PtInRegion(int x, int y) const
{
    return Region().contains(QPoint(x, y)) ? TRUE : FALSE;
}

int CRgn::GetRgnBox(CRect* rect) const
{
    const QRegion r = Region();
    if (rect) *rect = r.isEmpty() ? CRect() : CRect(r.boundingRect());
    return Complexity(r);
}

}  // namespace plat
