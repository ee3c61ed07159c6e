#include "platform/Bitmap.h"

#include "platform/ResourceModule.h"

namespace plat {

namespace {

constexpr int kMaxSide = 32767;
// 256 MB: a larger request is a mistake (a bad rectangle), not a picture.
constexpr qint64 kMaxPixels = qint64(8192) * 8192;

}  // namespace

BOOL CBitmap::CreateBitmap(int width, int height)
{
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return FALSE;
    if (qint64(width) * height > kMaxPixels) return FALSE;
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) return FALSE;
    image.fill(0xFF000000);
    auto handle = std::make_shared<GdiHandle>();
    handle->data = GdiBitmapData{std::move(image)};
    AttachHandle(std::move(handle), true);
    return TRUE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC*, int width, int height)
{
    return CreateBitmap(width, height);
}

BOOL CBitmap::CreateFromImage(const QImage& image)
{
    if (image.isNull()) return FALSE;
    auto handle = std::make_shared<GdiHandle>();
    handle->data = GdiBitmapData{image.convertToFormat(QImage::Format_RGB32)};
    AttachHandle(std::move(handle), true);
    return TRUE;
}

BOOL CBitmap::LoadBitmap(UINT id)
{
    return LoadBitmap(QString::number(id));
}

BOOL CBitmap::LoadBitmap(const CString& name)
{
    const QImage image = CResourceModule::FindBitmap(name);
    return CreateFromImage(image);
}

CSize CBitmap::GetSize() const
{
    const QImage* image = ImageData();
    return image ? CSize(image->width(), image->height()) : CSize();
}

QImage CBitmap::GetImage() const
{
    const QImage* image = ImageData();
    return image ? image->copy() : QImage();
}

QImage* CBitmap::ImageData() const
{
    if (!m_handle) return nullptr;
    auto* bmp = std::get_if<GdiBitmapData>(&m_handle->data);
    return bmp ? &bmp->image : nullptr;
}

CBitmap* CBitmap::Stock()
{
    static CBitmap* const one = [] {
        auto* bmp = new CBitmap;
        bmp->CreateBitmap(1, 1);
        bmp->m_handle->stock = true;
        return bmp;
    }();
    return one;
}

}  // namespace plat
