#include "platform/Pen.h"

namespace plat {

BOOL CPen::CreatePen(int style, int width, COLORREF color)
{
    LOGPEN log;
    log.lopnStyle = UINT(style);
    log.lopnWidth = width;
    log.lopnColor = color;
    return CreatePenIndirect(&log);
}

BOOL CPen::CreatePenIndirect(const LOGPEN* log)
{
    if (!log || log->lopnWidth < 0) return FALSE;
    auto handle = std::make_shared<GdiHandle>();
    handle->data = GdiPenData{*log};
    AttachHandle(std::move(handle), true);
    return TRUE;
}

const LOGPEN* CPen::Log() const
{
    if (!m_handle) return nullptr;
    auto* pen = std::get_if<GdiPenData>(&m_handle->data);
    return pen ? &pen->log : nullptr;
}

CPen* CPen::Stock(int index)
{
    auto make = [](int style, COLORREF color) {
        auto* pen = new CPen(style, 1, color);
        pen->m_handle->stock = true;
        return pen;
    };
    static CPen* const white = make(PS_SOLID, RGB(255, 255, 255));
    static CPen* const black = make(PS_SOLID, 0);
    static CPen* const none = make(PS_NULL, 0);
    switch (index) {
    case WHITE_PEN: return white;
    case BLACK_PEN: return black;
    case NULL_PEN: return none;
    default: return nullptr;
    }
}

}  // namespace plat
