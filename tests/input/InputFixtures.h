#pragma once

#include "platform/WinDef.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <cstdlib>
#include <functional>

// A colour reference as the pixel value a 32-bit RGB image holds.
inline QRgb PixelOf(plat::COLORREF cr)
{
    return qRgb(plat::GetRValue(cr), plat::GetGValue(cr), plat::GetBValue(cr));
}

// A blank 32-bit RGB image, filled with one colour.
inline QImage Canvas(int width, int height, QRgb fill = qRgb(1, 2, 3))
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

inline int CountPixels(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& match)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += match(image.pixel(x, y) | 0xFF000000u);
    return n;
}

// Pixels close to a colour: text is smoothed, so only its core is exact.
inline int CountNear(const QImage& image, const QRect& area, QRgb colour, int tolerance = 40)
{
    return CountPixels(image, area, [colour, tolerance](QRgb c) {
        return std::abs(qRed(c) - qRed(colour)) <= tolerance && std::abs(qGreen(c) - qGreen(colour)) <= tolerance &&
               std::abs(qBlue(c) - qBlue(colour)) <= tolerance;
    });
}

// The bounding box of the pixels in area that differ from colour.
inline QRect InkBox(const QImage& image, const QRect& area, QRgb colour)
{
    QRect box;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if ((image.pixel(x, y) | 0xFF000000u) != (colour | 0xFF000000u)) box |= QRect(x, y, 1, 1);
    return box;
}

inline int CountColour(const QImage& image, const QRect& area, QRgb colour)
{
    return CountPixels(image, area, [colour](QRgb c) { return c == (colour | 0xFF000000u); });
}
