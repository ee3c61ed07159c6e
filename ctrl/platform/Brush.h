#pragma once

#include "platform/GdiDefs.h"
#include "platform/GdiObject.h"

namespace plat {

// A solid or a null (hollow) brush.
class QUINDLE_EXPORT CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }

    BOOL CreateSolidBrush(COLORREF color);
    BOOL CreateBrushIndirect(const LOGBRUSH* log);
    int GetLogBrush(LOGBRUSH* log) const { return GetObject(sizeof(LOGBRUSH), log); }

    // The brush data, or null when empty.
    const LOGBRUSH* Log() const;

    // A brush of the stock set (WHITE_BRUSH ... NULL_BRUSH); lives forever.
    static CBrush* Stock(int index);
};

}  // namespace plat
