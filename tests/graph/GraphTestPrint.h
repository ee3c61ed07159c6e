#pragma once

#include "platform/Rect.h"

#include <QString>
#include <ostream>

// Readable failure output for the geometry and text types.
namespace plat {
inline void PrintTo(const CRect& r, std::ostream* os)
{
    *os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}
}  // namespace plat

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
