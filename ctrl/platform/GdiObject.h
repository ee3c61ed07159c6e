#pragma once

#include "platform/LogFont.h"
#include "platform/QuindleExport.h"
#include "platform/TextMeasures.h"
#include "platform/WinDef.h"

#include <QFont>
#include <QImage>
#include <QRegion>
#include <memory>
#include <variant>

namespace plat {

class CDC;
class CGdiObject;

struct LOGPEN {
    UINT lopnStyle = 0;
    int lopnWidth = 0;  // pixels; 0 and 1 are the one-pixel pen
    COLORREF lopnColor = 0;
};

struct LOGBRUSH {
    UINT lbStyle = 0;
    COLORREF lbColor = 0;
};

struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;
    WORD bmPlanes = 1;
    WORD bmBitsPixel = 32;
    void* bmBits = nullptr;
};

// What a drawing object holds. Shared between the object that created it and
// every device context it is selected into, so an object deleted while still
// selected keeps drawing correctly until it is deselected, and nothing dangles.
struct GdiPenData {
    LOGPEN log;
};
struct GdiBrushData {
    LOGBRUSH log;
};
struct GdiFontData {
    LOGFONT log;
    QFont font;
    // Of font; made anew whenever font changes.
    std::shared_ptr<CTextMeasures> measures = std::make_shared<CTextMeasures>();
};
struct GdiBitmapData {
    QImage image;
    CDC* selectedIn = nullptr;  // a bitmap paints in one memory DC at a time
};
struct GdiRgnData {
    QRegion region;
};

struct GdiHandle {
    std::variant<GdiPenData, GdiBrushData, GdiFontData, GdiBitmapData, GdiRgnData> data;
    CGdiObject* owner = nullptr;  // the object that wraps it, while that lives
    bool stock = false;
};
using GdiHandlePtr = std::shared_ptr<GdiHandle>;

// Base of pens, brushes, fonts, bitmaps and regions. An object is empty until
// one of its Create functions succeeds.
class QUINDLE_EXPORT CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    // Releases this object's hold on its drawing data; always succeeds. A DC
    // that still has it selected keeps using it until it selects another.
    BOOL DeleteObject();
    const void* GetSafeHandle() const { return m_handle.get(); }
    bool IsNull() const { return !m_handle; }

    // Copies the description (LOGPEN, LOGBRUSH, LOGFONT or BITMAP) into
    // buffer when size is large enough; returns the bytes written, 0 on failure.
    int GetObject(int size, void* buffer) const;

    const GdiHandlePtr& Handle() const { return m_handle; }
    // Makes this object wrap handle (released first if it had one).
    void AttachHandle(GdiHandlePtr handle, bool owning);

protected:
    GdiHandlePtr m_handle;
};

}  // namespace plat
