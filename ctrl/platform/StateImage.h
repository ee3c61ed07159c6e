#pragma once

#include <QColor>
#include <QImage>

namespace plat {

// The shape of a picture in one colour, as the disabled and mono draw-state
// looks use it: pixels that are opaque and not near white take color, all
// others become transparent.
QImage StateShape(const QImage& image, const QColor& color);

}  // namespace plat
