#pragma once

#include <QSize>

namespace plat {

// A width and height in pixels.
struct CSize {
    int cx = 0;
    int cy = 0;

    constexpr CSize() = default;
    constexpr CSize(int w, int h) : cx(w), cy(h) {}
    explicit CSize(const QSize& s) : cx(s.width()), cy(s.height()) {}

    constexpr bool operator==(const CSize&) const = default;
    QSize toQSize() const { return {cx, cy}; }
};

}  // namespace plat
