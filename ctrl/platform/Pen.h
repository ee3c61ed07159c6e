#pragma once

#include "platform/GdiDefs.h"
#include "platform/GdiObject.h"

namespace plat {

// A pen: style (PS_*), width in pixels and colour. Widths of 0 and 1 give
// the one-pixel pen, the only one that draws the dash styles; a wider pen
// of a dash style draws solid, as on Windows.
class QUINDLE_EXPORT CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }

    BOOL CreatePen(int style, int width, COLORREF color);
    BOOL CreatePenIndirect(const LOGPEN* log);
    int GetLogPen(LOGPEN* log) const { return GetObject(sizeof(LOGPEN), log); }

    // The pen data, or null when empty.
    const LOGPEN* Log() const;

    // A pen of the stock set (WHITE_PEN, BLACK_PEN, NULL_PEN); lives forever.
    static CPen* Stock(int index);
};

}  // namespace plat
