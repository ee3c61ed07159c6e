#pragma once

#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

#include <QImage>
#include <QRect>

namespace plat {

class CDC;

// Paints the part rcSource of a premultiplied ARGB picture with its top-left
// corner at (x, y) (logical coordinates) over what the DC holds, each
// pixel's alpha deciding how much of it covers the target: GDI's AlphaBlend
// with per-pixel alpha. FALSE when the DC cannot draw.
QUINDLE_EXPORT BOOL AlphaBlendImage(CDC* pDC, int x, int y, const QImage& image, const QRect& rcSource);

}  // namespace plat
