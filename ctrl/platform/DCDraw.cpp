// CDC: lines, shapes, fills, pixels, blits and images.
#include "platform/DC.h"

#include "platform/ColorRef.h"
#include "platform/StateImage.h"
#include "platform/SysColor.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace plat {

namespace {

QRect Normalized(int left, int top, int right, int bottom)
{
    return QRect(QPoint(std::min(left, right), std::min(top, bottom)),
                 QPoint(std::max(left, right) - 1, std::max(top, bottom) - 1));
}

QPointF Centre(CPoint p)
{
    return {p.x + 0.5, p.y + 0.5};
}

}  // namespace

// ---- lines

CPoint CDC::MoveTo(int x, int y)
{
    m_raster.ResetPattern();
    return std::exchange(m_state.position, CPoint(x, y));
}

BOOL CDC::LineTo(int x, int y)
{
    const CPoint points[] = {m_state.position, CPoint(x, y)};
    StrokePolyline(points, 2, false);
    m_state.position = CPoint(x, y);
    return TRUE;
}

BOOL CDC::Polyline(const CPoint* points, int count)
{
    if (!points || count < 2) return FALSE;
    m_raster.ResetPattern();
    StrokePolyline(points, count, false);
    return TRUE;
}

void CDC::StrokePolyline(const CPoint* points, int count, bool closed)
{
    if (!m_painter || !HasPen() || count < 1) return;
    const LOGPEN& pen = Pen();
    const QColor color = ToQColor(pen.lopnColor);
    if (ThinPen()) {
        int style = int(pen.lopnStyle & PS_STYLE_MASK);
        if (style == PS_INSIDEFRAME) style = PS_SOLID;
        if (style != m_rasterStyle) {
            m_raster = CLineRaster(style);
            m_rasterStyle = style;
        }
        std::vector<QPoint> pixels;
        for (int i = 0; i + 1 < count; ++i) m_raster.Line(points[i], points[i + 1], pixels);
        if (closed) m_raster.Line(points[count - 1], points[0], pixels);
        m_painter->setPen(QPen(color, 0));
        m_painter->drawPoints(pixels.data(), int(pixels.size()));
        return;
    }
    // Wide pens draw solid, centred on the pixel path, with round ends.
    m_painter->setPen(QPen(color, pen.lopnWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    m_painter->setBrush(Qt::NoBrush);
    QPolygonF path;
    for (int i = 0; i < count; ++i) path << Centre(points[i]);
    if (closed) m_painter->drawPolygon(path);
    else m_painter->drawPolyline(path);
}

// ---- shapes

void CDC::FillArea(const QPainterPath& path)
{
    if (!m_painter || Brush().lbStyle == BS_NULL) return;
    m_painter->fillPath(path, ToQColor(Brush().lbColor));
}

BOOL CDC::Polygon(const CPoint* points, int count)
{
    if (!points || count < 2) return FALSE;
    if (!m_painter) return TRUE;
    QPolygonF polygon;
    for (int i = 0; i < count; ++i) polygon << QPointF(points[i].x, points[i].y);
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addPolygon(polygon);
    path.closeSubpath();
    FillArea(path);
    m_raster.ResetPattern();
    StrokePolyline(points, count, true);
    return TRUE;
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom)
{
    const QRect box = Normalized(left, top, right, bottom);
    if (!m_painter || box.isEmpty()) return TRUE;
    // The brush covers the box less its last column and row; a pen outlines
    // the whole box on top, so the drawn area is the box either way.
    if (Brush().lbStyle != BS_NULL && box.width() > 1 && box.height() > 1)
        m_painter->fillRect(box.adjusted(0, 0, -1, -1), ToQColor(Brush().lbColor));
    if (!HasPen()) return TRUE;
    const LOGPEN& pen = Pen();
    const bool solid = (pen.lopnStyle & PS_STYLE_MASK) == PS_SOLID || (pen.lopnStyle & PS_STYLE_MASK) == PS_INSIDEFRAME;
    if (ThinPen() && solid) {
        const QColor c = ToQColor(pen.lopnColor);
        m_painter->fillRect(QRect(box.left(), box.top(), box.width(), 1), c);
        m_painter->fillRect(QRect(box.left(), box.bottom(), box.width(), 1), c);
        m_painter->fillRect(QRect(box.left(), box.top(), 1, box.height()), c);
        m_painter->fillRect(QRect(box.right(), box.top(), 1, box.height()), c);
        return TRUE;
    }
    if (ThinPen()) {
        const CPoint corners[] = {{box.left(), box.top()}, {box.right(), box.top()},
                                  {box.right(), box.bottom()}, {box.left(), box.bottom()}};
        m_raster.ResetPattern();
        StrokePolyline(corners, 4, true);
        return TRUE;
    }
    QRectF path(box.left() + 0.5, box.top() + 0.5, box.width() - 1, box.height() - 1);
    if ((pen.lopnStyle & PS_STYLE_MASK) == PS_INSIDEFRAME) {
        const double inset = (pen.lopnWidth - 1) / 2.0;
        path.adjust(inset, inset, -inset, -inset);
    }
    m_painter->setPen(QPen(ToQColor(pen.lopnColor), pen.lopnWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    m_painter->setBrush(Qt::NoBrush);
    m_painter->drawRect(path);
    return TRUE;
}

namespace {

// The pen for Qt's own curve drawing: cosmetic when thin, with GDI's dashes.
QPen CurvePen(const LOGPEN& pen)
{
    QPen qpen(ToQColor(pen.lopnColor), pen.lopnWidth <= 1 ? 0 : pen.lopnWidth);
    if (pen.lopnWidth > 1) return qpen;
    switch (pen.lopnStyle & PS_STYLE_MASK) {
    case PS_DASH: qpen.setDashPattern({18, 6}); break;
    case PS_DOT: qpen.setDashPattern({3, 3}); break;
    case PS_DASHDOT: qpen.setDashPattern({9, 6, 3, 6}); break;
    case PS_DASHDOTDOT: qpen.setDashPattern({9, 3, 3, 3, 3, 3}); break;
    default: break;
    }
    return qpen;
}

}  // namespace

BOOL CDC::Ellipse(int left, int top, int right, int bottom)
{
    const QRect box = Normalized(left, top, right, bottom);
    if (!m_painter || box.isEmpty()) return TRUE;
    // Qt's aliased ellipse on (x, y, w, h) covers x .. x + w inclusive.
    const QRect qtBox(box.left(), box.top(), box.width() - 1, box.height() - 1);
    m_painter->setPen(HasPen() ? CurvePen(Pen()) : QPen(Qt::NoPen));
    m_painter->setBrush(Brush().lbStyle == BS_NULL ? QBrush(Qt::NoBrush) : QBrush(ToQColor(Brush().lbColor)));
    m_painter->drawEllipse(qtBox);
    return TRUE;
}

BOOL CDC::RoundRect(int left, int top, int right, int bottom, int width, int height)
{
    const QRect box = Normalized(left, top, right, bottom);
    if (!m_painter || box.isEmpty()) return TRUE;
    const QRect qtBox(box.left(), box.top(), box.width() - 1, box.height() - 1);
    m_painter->setPen(HasPen() ? CurvePen(Pen()) : QPen(Qt::NoPen));
    m_painter->setBrush(Brush().lbStyle == BS_NULL ? QBrush(Qt::NoBrush) : QBrush(ToQColor(Brush().lbColor)));
    m_painter->drawRoundedRect(qtBox, width / 2.0, height / 2.0);
    return TRUE;
}

// ---- fills

void CDC::FillSolidRect(const CRect& r, COLORREF color)
{
    m_state.bkColor = color;
    if (!m_painter) return;
    CRect n = r;
    n.NormalizeRect();
    if (!n.IsRectEmpty()) m_painter->fillRect(n.toQRect(), ToQColor(color));
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color)
{
    FillSolidRect(CRect(x, y, x + cx, y + cy), color);
}

void CDC::FillRect(const CRect& r, CBrush* brush)
{
    const LOGBRUSH* log = brush ? brush->Log() : nullptr;
    if (!m_painter || !log || log->lbStyle == BS_NULL || r.IsRectEmpty()) return;
    m_painter->fillRect(r.toQRect(), ToQColor(log->lbColor));
}

void CDC::FrameRect(const CRect& r, CBrush* brush)
{
    const LOGBRUSH* log = brush ? brush->Log() : nullptr;
    if (!m_painter || !log || log->lbStyle == BS_NULL || r.IsRectEmpty()) return;
    const QColor c = ToQColor(log->lbColor);
    m_painter->fillRect(QRect(r.left, r.top, r.Width(), 1), c);
    m_painter->fillRect(QRect(r.left, r.bottom - 1, r.Width(), 1), c);
    m_painter->fillRect(QRect(r.left, r.top, 1, r.Height()), c);
    m_painter->fillRect(QRect(r.right - 1, r.top, 1, r.Height()), c);
}

void CDC::Draw3dRect(const CRect& r, COLORREF topLeft, COLORREF bottomRight)
{
    Draw3dRect(r.left, r.top, r.Width(), r.Height(), topLeft, bottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight)
{
    FillSolidRect(x, y, cx - 1, 1, topLeft);
    FillSolidRect(x, y, 1, cy - 1, topLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}

void CDC::DrawFocusRect(const CRect& r)
{
    if (!m_painter || r.IsRectEmpty()) return;
    std::vector<QPoint> pixels;
    auto add = [&](int x, int y) {
        const QPoint d = m_base.map(ToDevice(x, y));
        if ((d.x() + d.y()) % 2 == 0) pixels.emplace_back(x, y);
    };
    for (int x = r.left; x < r.right; ++x) {
        add(x, r.top);
        if (r.bottom - 1 > r.top) add(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        add(r.left, y);
        if (r.right - 1 > r.left) add(r.right - 1, y);
    }
    m_painter->save();
    m_painter->setCompositionMode(QPainter::RasterOp_NotDestination);
    m_painter->setPen(QPen(Qt::black, 0));
    m_painter->drawPoints(pixels.data(), int(pixels.size()));
    m_painter->restore();
}

void CDC::InvertRect(const CRect& r)
{
    if (!m_painter || r.IsRectEmpty()) return;
    m_painter->save();
    m_painter->setCompositionMode(QPainter::RasterOp_NotDestination);
    m_painter->fillRect(r.toQRect(), Qt::black);
    m_painter->restore();
}

// ---- pixels

COLORREF CDC::SetPixel(int x, int y, COLORREF color)
{
    if (!m_painter) return CLR_INVALID;
    m_painter->fillRect(QRect(x, y, 1, 1), ToQColor(color));
    return color & 0xFFFFFF;
}

std::uint32_t* CDC::DirectPixels(const CRect& rect, int* pStride)
{
    if (!m_painter || !m_device || rect.IsRectEmpty() || m_device->devType() != QInternal::Image) return nullptr;
    auto* image = static_cast<QImage*>(m_device);
    const QImage::Format format = image->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32
        && format != QImage::Format_ARGB32_Premultiplied)
        return nullptr;
    // Writing into shared data would detach it away from the painter.
    if (!image->isDetached()) return nullptr;
    if (m_painter->compositionMode() != QPainter::CompositionMode_SourceOver || m_painter->opacity() != 1.0)
        return nullptr;
    const QTransform t = m_painter->combinedTransform();
    if (t.type() > QTransform::TxTranslate || t.dx() != std::floor(t.dx()) || t.dy() != std::floor(t.dy()))
        return nullptr;
    const QRect logical = rect.toQRect();
    if (m_painter->hasClipping() && !QRegion(logical).subtracted(m_painter->clipRegion()).isEmpty()) return nullptr;
    const QRect device = logical.translated(static_cast<int>(t.dx()), static_cast<int>(t.dy()));
    if (!image->rect().contains(device)) return nullptr;
    const int nStride = static_cast<int>(image->bytesPerLine() / 4);
    *pStride = nStride;
    return reinterpret_cast<std::uint32_t*>(image->bits()) + static_cast<std::size_t>(device.y()) * nStride
           + device.x();
}

const QImage* CDC::ReadableImage() const
{
    if (!m_painter || !m_device) return nullptr;
    if (m_device->devType() != QInternal::Image) return nullptr;
    return static_cast<const QImage*>(m_device);
}

COLORREF CDC::GetPixel(int x, int y) const
{
    const QImage* image = ReadableImage();
    if (!image || !PtVisible(x, y)) return CLR_INVALID;
    const QPoint d = m_base.map(ToDevice(x, y));
    if (!image->rect().contains(d)) return CLR_INVALID;
    return FromQRgb(image->pixel(d));
}

// ---- blits

namespace {

std::optional<QPainter::CompositionMode> BlitMode(DWORD rop)
{
    switch (rop) {
    case SRCCOPY: return QPainter::CompositionMode_Source;
    case SRCPAINT: return QPainter::RasterOp_SourceOrDestination;
    case SRCAND: return QPainter::RasterOp_SourceAndDestination;
    case SRCINVERT: return QPainter::RasterOp_SourceXorDestination;
    case NOTSRCCOPY: return QPainter::RasterOp_NotSource;
    default: return std::nullopt;
    }
}

}  // namespace

BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop)
{
    if (!m_painter) return FALSE;
    const QRect r = Normalized(x, y, x + width, y + height);
    switch (rop) {
    case BLACKNESS: m_painter->fillRect(r, Qt::black); return TRUE;
    case WHITENESS: m_painter->fillRect(r, Qt::white); return TRUE;
    case DSTINVERT: InvertRect(CRect(r)); return TRUE;
    case PATCOPY:
        if (Brush().lbStyle != BS_NULL) m_painter->fillRect(r, ToQColor(Brush().lbColor));
        return TRUE;
    default: return FALSE;
    }
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop)
{
    if (!src || !BlitMode(rop)) return PatBlt(x, y, width, height, rop);
    return StretchBlt(x, y, width, height, src, xSrc, ySrc, width, height, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, int srcWidth,
                     int srcHeight, DWORD rop)
{
    const auto mode = BlitMode(rop);
    const QImage* image = src ? src->ReadableImage() : nullptr;
    if (!m_painter || !mode || !image || width == 0 || height == 0 || srcWidth == 0 || srcHeight == 0) return FALSE;
    const QRect from = src->m_base.mapRect(Normalized(xSrc, ySrc, xSrc + srcWidth, ySrc + srcHeight)
                                               .translated(src->ToDevice(0, 0)));
    // A copy, so a DC can blit from itself; outside the source reads as black.
    QImage part = image->copy(from);
    const bool mirrorX = (width < 0) != (srcWidth < 0);
    const bool mirrorY = (height < 0) != (srcHeight < 0);
    if (mirrorX || mirrorY) part = part.mirrored(mirrorX, mirrorY);
    m_painter->save();
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    m_painter->setCompositionMode(*mode);
    m_painter->drawImage(Normalized(x, y, x + width, y + height), part);
    m_painter->restore();
    return TRUE;
}

// ---- icons and draw-state

BOOL CDC::DrawIcon(int x, int y, HICON icon)
{
    return DrawIconEx(x, y, icon, 0, 0);
}

BOOL CDC::DrawIconEx(int x, int y, HICON icon, int cx, int cy, UINT, CBrush*, UINT)
{
    if (!icon) return FALSE;
    if (m_painter) m_painter->drawImage(QPoint(x, y), IconImage(icon, CSize(cx, cy)));
    return TRUE;
}

void CDC::DrawImageState(CPoint p, const QImage& image, UINT flags, CBrush* brush)
{
    if (!m_painter || image.isNull()) return;
    if (flags & DSS_DISABLED) {
        m_painter->drawImage(QPoint(p.x + 1, p.y + 1), StateShape(image, ToQColor(GetSysColor(COLOR_3DHILIGHT))));
        m_painter->drawImage(QPoint(p.x, p.y), StateShape(image, ToQColor(GetSysColor(COLOR_3DSHADOW))));
    } else if (flags & DSS_MONO) {
        const LOGBRUSH* log = brush ? brush->Log() : nullptr;
        const COLORREF c = log && log->lbStyle == BS_SOLID ? log->lbColor : m_state.textColor;
        m_painter->drawImage(QPoint(p.x, p.y), StateShape(image, ToQColor(c)));
    } else {
        m_painter->drawImage(QPoint(p.x, p.y), image);
    }
}

BOOL CDC::DrawState(CPoint p, CSize size, HICON icon, UINT flags, CBrush* brush)
{
    if (!icon) return FALSE;
    DrawImageState(p, IconImage(icon, size), flags, brush);
    return TRUE;
}

BOOL CDC::DrawState(CPoint p, CSize size, CBitmap* bitmap, UINT flags, CBrush* brush)
{
    const QImage* image = bitmap ? bitmap->ImageData() : nullptr;
    if (!image) return FALSE;
    const bool scaled = size.cx > 0 && size.cy > 0 && size != bitmap->GetSize();
    DrawImageState(p, scaled ? image->scaled(size.cx, size.cy) : *image, flags, brush);
    return TRUE;
}

}  // namespace plat
