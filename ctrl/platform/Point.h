#pragma once

#include <QPoint>

namespace plat {

// A point in device or logical units.
struct CPoint {
    int x = 0;
    int y = 0;

    constexpr CPoint() = default;
    constexpr CPoint(int px, int py) : x(px), y(py) {}
    explicit CPoint(const QPoint& p) : x(p.x()), y(p.y()) {}

    constexpr bool operator==(const CPoint&) const = default;
    constexpr CPoint operator+(const CPoint& o) const { return {x + o.x, y + o.y}; }
    constexpr CPoint operator-(const CPoint& o) const { return {x - o.x, y - o.y}; }
    constexpr CPoint& operator+=(const CPoint& o) { x += o.x; y += o.y; return *this; }
    constexpr CPoint& operator-=(const CPoint& o) { x -= o.x; y -= o.y; return *this; }
    constexpr void Offset(int dx, int dy) { x += dx; y += dy; }
    QPoint toQPoint() const { return {x, y}; }
};

}  // namespace plat
