#pragma once

#include "platform/GdiObject.h"
#include "platform/Rect.h"

namespace plat {

// A region of pixels, used for clipping.
class QUINDLE_EXPORT CRgn : public CGdiObject {
public:
    CRgn() = default;

    BOOL CreateRectRgn(int left, int top, int right, int bottom);
    BOOL CreateRectRgnIndirect(const CRect& rect);
    // Combines a and b with RGN_AND/OR/XOR/DIFF/COPY into this region
    // (created when empty); returns NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int CombineRgn(const CRgn* a, const CRgn* b, int mode);
    BOOL PtInRegion(int x, int y) const;
    int GetRgnBox(CRect* rect) const;

    QRegion Region() const;
};

}  // namespace plat
