#pragma once

#include "platform/GdiDefs.h"
#include "platform/GdiObject.h"

namespace plat {

class CDC;

// A font made from a LOGFONT (see FontMapper.h for how it maps to Qt).
// Derived classes may count or log their deletion: the destructor is virtual.
class QUINDLE_EXPORT CFont : public CGdiObject {
public:
    CFont() = default;

    BOOL CreateFontIndirect(const LOGFONT* lf);
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                    BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                    BYTE quality, BYTE pitchAndFamily, const char* faceName);
    // pointSize in tenths of a point at 96 pixels per inch (em height).
    BOOL CreatePointFont(int pointSize, const char* faceName, CDC* dc = nullptr);
    // The LOGFONT of a Qt font (widget fonts handed to GDI-style code).
    BOOL CreateFromQFont(const QFont& font);

    int GetLogFont(LOGFONT* lf) const { return GetObject(sizeof(LOGFONT), lf); }

    // The font data, or null when empty.
    const LOGFONT* Log() const;
    // The mapped Qt font; the application font when empty.
    QFont GetQFont() const;

    // SYSTEM_FONT ("System", cell 16, bold), DEFAULT_GUI_FONT and
    // ANSI_VAR_FONT ("MS Shell Dlg", 8 pt); lives forever.
    static CFont* Stock(int index);
};

}  // namespace plat
