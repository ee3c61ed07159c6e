#include "platform/Icon.h"

namespace plat {

void IconDeleter::operator()(HICON icon) const
{
    DestroyIcon(icon);
}

HICON CreateIconFromImage(const QImage& image)
{
    if (image.isNull()) return nullptr;
    return new IconData{image.convertToFormat(QImage::Format_ARGB32_Premultiplied)};
}

HICON CreateIconIndirect(const ICONINFO* info)
{
    if (!info || info->hbmColor.isNull()) return nullptr;
    QImage color = info->hbmColor.convertToFormat(QImage::Format_ARGB32);
    const bool hasMask = !info->hbmMask.isNull() && info->hbmMask.size() == color.size();
    for (int y = 0; y < color.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(color.scanLine(y));
        for (int x = 0; x < color.width(); ++x) {
            const bool transparent = hasMask && qGray(info->hbmMask.pixel(x, y)) >= 128;
            if (transparent) line[x] = 0;
        }
    }
    return CreateIconFromImage(color);
}

HICON CopyIcon(HICON icon)
{
    return icon ? new IconData{icon->image.copy()} : nullptr;
}

BOOL DestroyIcon(HICON icon)
{
    delete icon;
    return TRUE;
}

BOOL GetIconInfo(HICON icon, ICONINFO* info)
{
    if (!icon || !info) return FALSE;
    const QImage argb = icon->image.convertToFormat(QImage::Format_ARGB32);
    QImage color(argb.size(), QImage::Format_RGB32);
    QImage mask(argb.size(), QImage::Format_RGB32);
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb p = argb.pixel(x, y);
            const bool opaque = qAlpha(p) >= 128;
            color.setPixel(x, y, opaque ? (p | 0xFF000000) : 0xFF000000);
            mask.setPixel(x, y, opaque ? 0xFF000000 : 0xFFFFFFFF);
        }
    }
    info->fIcon = TRUE;
    info->xHotspot = DWORD(argb.width() / 2);
    info->yHotspot = DWORD(argb.height() / 2);
    info->hbmMask = mask;
    info->hbmColor = color;
    return TRUE;
}

CSize GetIconSize(HICON icon)
{
    return icon ? CSize(icon->image.width(), icon->image.height()) : CSize();
}

QImage IconImage(HICON icon, CSize size)
{
    if (!icon) return {};
    if (size.cx <= 0 || size.cy <= 0 || size == GetIconSize(icon)) return icon->image;
    return icon->image.scaled(size.cx, size.cy, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace plat
