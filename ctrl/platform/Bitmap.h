#pragma once

#include "platform/GdiObject.h"
#include "platform/Size.h"

namespace plat {

class CDC;

// An opaque 32-bit picture (QImage::Format_RGB32). A memory DC draws into
// the bitmap selected into it; a bitmap can be selected into one DC at a time.
class QUINDLE_EXPORT CBitmap : public CGdiObject {
public:
    CBitmap() = default;

    // New bitmaps are black, so an uncleared buffer shows a defined picture.
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    BOOL CreateBitmap(int width, int height);
    // Copies image (converted to RGB32); fails for a null image.
    BOOL CreateFromImage(const QImage& image);

    // Bitmap id / name from the resource chain (program first, then library);
    // see ResourceModule.h for the file names.
    BOOL LoadBitmap(UINT id);
    BOOL LoadBitmap(const CString& name);

    int GetBitmap(BITMAP* bm) const { return GetObject(sizeof(BITMAP), bm); }
    CSize GetSize() const;

    // A copy of the picture (a null image when empty).
    QImage GetImage() const;
    // The live picture, for the layer's own drawing code; null when empty.
    QImage* ImageData() const;

    // A bitmap of the stock set: the 1 × 1 bitmap a new memory DC starts with.
    static CBitmap* Stock();
};

}  // namespace plat
