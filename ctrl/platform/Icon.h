#pragma once

#include "platform/QuindleExport.h"
#include "platform/Size.h"
#include "platform/WinDef.h"

#include <QImage>
#include <memory>

namespace plat {

// The picture behind an icon handle: one image with alpha at one size.
struct IconData {
    QImage image;  // QImage::Format_ARGB32_Premultiplied
};

// An icon handle. Whoever receives a handle from a Create/Load/Copy function
// owns it and releases it with DestroyIcon (or holds it in a CIconPtr).
using HICON = IconData*;

struct IconDeleter {
    QUINDLE_EXPORT void operator()(HICON icon) const;
};
using CIconPtr = std::unique_ptr<IconData, IconDeleter>;

// The parts of an icon, as values: nothing here needs releasing. The colour
// image is opaque RGB with black where the icon is transparent; the mask is
// white where transparent and black where opaque.
struct ICONINFO {
    BOOL fIcon = TRUE;
    DWORD xHotspot = 0;  // half the width for an icon
    DWORD yHotspot = 0;  // half the height
    QImage hbmMask;
    QImage hbmColor;
};

// A new icon showing image (null for a null image).
QUINDLE_EXPORT HICON CreateIconFromImage(const QImage& image);
// A new icon from mask and colour images of the same size; a colour image
// with an alpha channel keeps its alpha inside the mask's opaque part.
QUINDLE_EXPORT HICON CreateIconIndirect(const ICONINFO* info);
QUINDLE_EXPORT HICON CopyIcon(HICON icon);
// Releases an icon made by this layer; null is accepted and ignored.
QUINDLE_EXPORT BOOL DestroyIcon(HICON icon);
QUINDLE_EXPORT BOOL GetIconInfo(HICON icon, ICONINFO* info);
// The icon's own size; (0, 0) for null.
QUINDLE_EXPORT CSize GetIconSize(HICON icon);
// The icon's picture at size (its own size when size is (0, 0)), scaled smoothly.
QUINDLE_EXPORT QImage IconImage(HICON icon, CSize size = {});

}  // namespace plat
