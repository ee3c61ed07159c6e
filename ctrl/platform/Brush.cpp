#include "platform/Brush.h"

namespace plat {

BOOL CBrush::CreateSolidBrush(COLORREF color)
{
    LOGBRUSH log;
    log.lbStyle = BS_SOLID;
    log.lbColor = color;
    return CreateBrushIndirect(&log);
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* log)
{
    if (!log || (log->lbStyle != BS_SOLID && log->lbStyle != BS_NULL)) return FALSE;
    auto handle = std::make_shared<GdiHandle>();
    handle->data = GdiBrushData{*log};
    AttachHandle(std::move(handle), true);
    return TRUE;
}

const LOGBRUSH* CBrush::Log() const
{
    if (!m_handle) return nullptr;
    auto* brush = std::get_if<GdiBrushData>(&m_handle->data);
    return brush ? &brush->log : nullptr;
}

CBrush* CBrush::Stock(int index)
{
    auto make = [](UINT style, COLORREF color) {
        auto* brush = new CBrush;
        LOGBRUSH log{style, color};
        brush->CreateBrushIndirect(&log);
        brush->m_handle->stock = true;
        return brush;
    };
    static CBrush* const brushes[] = {
        make(BS_SOLID, RGB(255, 255, 255)), make(BS_SOLID, RGB(192, 192, 192)),
        make(BS_SOLID, RGB(128, 128, 128)), make(BS_SOLID, RGB(64, 64, 64)),
        make(BS_SOLID, 0),                  make(BS_NULL, 0),
    };
    if (index < WHITE_BRUSH || index > NULL_BRUSH) return nullptr;
    return brushes[index];
}

}  // namespace plat
