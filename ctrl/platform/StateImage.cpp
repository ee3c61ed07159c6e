#include "platform/StateImage.h"

namespace plat {

namespace {

constexpr int kNearWhite = 0xF0;

bool InShape(QRgb p)
{
    if (qAlpha(p) < 128) return false;
    return qRed(p) < kNearWhite || qGreen(p) < kNearWhite || qBlue(p) < kNearWhite;
}

}  // namespace

QImage StateShape(const QImage& image, const QColor& color)
{
    const QImage src = image.convertToFormat(QImage::Format_ARGB32);
    QImage shape(src.size(), QImage::Format_ARGB32_Premultiplied);
    const QRgb on = color.rgba();
    for (int y = 0; y < src.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(shape.scanLine(y));
        for (int x = 0; x < src.width(); ++x) out[x] = InShape(in[x]) ? on : 0;
    }
    return shape;
}

}  // namespace plat
