#include "platform/GdiObject.h"

#include <cstring>

namespace plat {

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

BOOL CGdiObject::DeleteObject()
{
    if (m_handle && m_handle->owner == this) m_handle->owner = nullptr;
    m_handle.reset();
    return TRUE;
}

void CGdiObject::AttachHandle(GdiHandlePtr handle, bool owning)
{
    DeleteObject();
    m_handle = std::move(handle);
    if (m_handle && owning) m_handle->owner = this;
}

namespace {

template <typename T>
int CopyOut(const T& value, int size, void* buffer)
{
    if (!buffer || size < int(sizeof(T))) return 0;
    std::memcpy(buffer, &value, sizeof(T));
    return int(sizeof(T));
}

}  // namespace

int CGdiObject::GetObject(int size, void* buffer) const
{
    if (!m_handle) return 0;
    if (auto* pen = std::get_if<GdiPenData>(&m_handle->data)) return CopyOut(pen->log, size, buffer);
    if (auto* brush = std::get_if<GdiBrushData>(&m_handle->data)) return CopyOut(brush->log, size, buffer);
    if (auto* font = std::get_if<GdiFontData>(&m_handle->data)) return CopyOut(font->log, size, buffer);
    if (auto* bmp = std::get_if<GdiBitmapData>(&m_handle->data)) {
        BITMAP bm;
        bm.bmWidth = bmp->image.width();
        bm.bmHeight = bmp->image.height();
        bm.bmWidthBytes = LONG(bmp->image.bytesPerLine());
        return CopyOut(bm, size, buffer);
    }
    return 0;
}

}  // namespace plat
