#pragma once

#include "platform/WinDef.h"

#include <QColor>

// Conversions between colour references (0x00BBGGRR) and Qt colours. The
// high byte of a reference carries no colour and is ignored.
namespace plat {

inline QRgb ToQRgb(COLORREF c)
{
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

inline QColor ToQColor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

inline COLORREF FromQRgb(QRgb c)
{
    return RGB(qRed(c), qGreen(c), qBlue(c));
}

inline COLORREF FromQColor(const QColor& c)
{
    return RGB(c.red(), c.green(), c.blue());
}

}  // namespace plat
