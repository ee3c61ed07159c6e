#pragma once

#include "platform/ColorRef.h"

#include <QImage>
#include <set>
#include <utility>

// A white test surface and ways to read back what was drawn on it.
struct Canvas {
    QImage image;

    explicit Canvas(int w = 40, int h = 30) : image(w, h, QImage::Format_RGB32) { image.fill(Qt::white); }

    plat::COLORREF At(int x, int y) const { return plat::FromQRgb(image.pixel(x, y)); }

    // Every pixel that is not white.
    std::set<std::pair<int, int>> Painted() const
    {
        std::set<std::pair<int, int>> out;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != 0xFFFFFFFF) out.insert({x, y});
        return out;
    }

    // Pixels of exactly colour c.
    std::set<std::pair<int, int>> Of(plat::COLORREF c) const
    {
        std::set<std::pair<int, int>> out;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (At(x, y) == c) out.insert({x, y});
        return out;
    }

    // Bounding box (left, top, right, bottom inclusive) of the non-white pixels.
    QRect Bounds() const
    {
        QRect box;
        for (auto [x, y] : Painted()) box |= QRect(x, y, 1, 1);
        return box;
    }
};

// The pixels of the outline of (l, t) .. (r, b) inclusive.
inline std::set<std::pair<int, int>> Outline(int l, int t, int r, int b)
{
    std::set<std::pair<int, int>> out;
    for (int x = l; x <= r; ++x) out.insert({x, t}), out.insert({x, b});
    for (int y = t; y <= b; ++y) out.insert({l, y}), out.insert({r, y});
    return out;
}
