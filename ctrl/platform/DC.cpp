#include "platform/DC.h"

#include "platform/ColorRef.h"

#include <QPaintEngine>
#include <QWidget>
#include <algorithm>

namespace plat {

CDC::CDC()
{
    InitState();
}

CDC::CDC(QPaintDevice* device)
{
    InitState();
    if (device) Begin(device);
}

CDC::CDC(QPainter* painter)
{
    InitState();
    if (!painter || !painter->isActive()) return;
    m_painter = painter;
    m_painter->save();
    m_device = painter->device();
    m_base = painter->worldTransform();
    if (painter->hasClipping()) m_baseClip = painter->clipRegion();
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    ApplyTransform();
}

CDC::~CDC()
{
    DeleteDC();
}

void CDC::InitState()
{
    m_state = State();
    m_state.pen = CPen::Stock(BLACK_PEN)->Handle();
    m_state.brush = CBrush::Stock(WHITE_BRUSH)->Handle();
    m_state.font = CFont::Stock(SYSTEM_FONT)->Handle();
    m_saved.clear();
}

void CDC::Begin(QPaintDevice* device)
{
    m_ownPainter = std::make_unique<QPainter>();
    if (!m_ownPainter->begin(device)) {
        m_ownPainter.reset();
        return;
    }
    m_painter = m_ownPainter.get();
    m_device = device;
    m_base = QTransform();
    m_baseClip.reset();
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    ApplyTransform();
    ApplyClip();
}

void CDC::End()
{
    if (m_ownPainter) {
        if (m_ownPainter->isActive()) m_ownPainter->end();
        m_ownPainter.reset();
    } else if (m_painter) {
        m_painter->restore();
    }
    m_painter = nullptr;
    m_device = nullptr;
}

BOOL CDC::DeleteDC()
{
    End();
    if (m_state.bitmap)
        if (auto* bmp = std::get_if<GdiBitmapData>(&m_state.bitmap->data); bmp && bmp->selectedIn == this)
            bmp->selectedIn = nullptr;
    m_memory = false;
    InitState();
    return TRUE;
}

BOOL CDC::CreateCompatibleDC(CDC*)
{
    DeleteDC();
    m_memory = true;
    m_state.bitmap = CBitmap::Stock()->Handle();
    return TRUE;
}

QPaintDevice* CDC::GetDevice() const
{
    return m_painter ? m_device : nullptr;
}

void CDC::BindBitmap(const GdiHandlePtr& bitmap)
{
    End();
    auto* data = bitmap ? std::get_if<GdiBitmapData>(&bitmap->data) : nullptr;
    if (!data || bitmap->stock) return;
    data->selectedIn = this;
    Begin(&data->image);
}

// ---- objects

CGdiObject* CDC::Wrap(const GdiHandlePtr& handle)
{
    if (!handle) return nullptr;
    if (handle->owner) return handle->owner;
    for (auto& w : m_wrappers)
        if (w->Handle() == handle) return w.get();
    std::unique_ptr<CGdiObject> wrapper;
    switch (handle->data.index()) {
    case 0: wrapper = std::make_unique<CPen>(); break;
    case 1: wrapper = std::make_unique<CBrush>(); break;
    case 2: wrapper = std::make_unique<CFont>(); break;
    case 3: wrapper = std::make_unique<CBitmap>(); break;
    default: wrapper = std::make_unique<CRgn>(); break;
    }
    wrapper->AttachHandle(handle, false);
    m_wrappers.push_back(std::move(wrapper));
    return m_wrappers.back().get();
}

GdiHandlePtr CDC::Select(GdiHandlePtr& slot, CGdiObject* object)
{
    return std::exchange(slot, object->Handle());
}

CPen* CDC::SelectObject(CPen* pen)
{
    if (!pen || !pen->Log()) return nullptr;
    return static_cast<CPen*>(Wrap(Select(m_state.pen, pen)));
}

CBrush* CDC::SelectObject(CBrush* brush)
{
    if (!brush || !brush->Log()) return nullptr;
    return static_cast<CBrush*>(Wrap(Select(m_state.brush, brush)));
}

CFont* CDC::SelectObject(CFont* font)
{
    if (!font || !font->Log()) return nullptr;
    return static_cast<CFont*>(Wrap(Select(m_state.font, font)));
}

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    if (!m_memory || !bitmap || !bitmap->ImageData()) return nullptr;
    const GdiHandlePtr& handle = bitmap->Handle();
    auto& data = std::get<GdiBitmapData>(handle->data);
    if (!handle->stock && data.selectedIn && data.selectedIn != this) return nullptr;
    GdiHandlePtr previous = std::exchange(m_state.bitmap, handle);
    if (previous != handle) {
        if (auto* old = previous ? std::get_if<GdiBitmapData>(&previous->data) : nullptr; old && old->selectedIn == this)
            old->selectedIn = nullptr;
        BindBitmap(handle);
    }
    return static_cast<CBitmap*>(Wrap(previous));
}

CGdiObject* CDC::SelectObject(CGdiObject* object)
{
    if (auto* pen = dynamic_cast<CPen*>(object)) return SelectObject(pen);
    if (auto* brush = dynamic_cast<CBrush*>(object)) return SelectObject(brush);
    if (auto* font = dynamic_cast<CFont*>(object)) return SelectObject(font);
    if (auto* bitmap = dynamic_cast<CBitmap*>(object)) return SelectObject(bitmap);
    return nullptr;
}

CGdiObject* CDC::SelectStockObject(int index)
{
    if (CPen* pen = CPen::Stock(index)) return SelectObject(pen);
    if (CBrush* brush = CBrush::Stock(index)) return SelectObject(brush);
    if (CFont* font = CFont::Stock(index)) return SelectObject(font);
    return nullptr;
}

CPen* CDC::GetCurrentPen() { return static_cast<CPen*>(Wrap(m_state.pen)); }
CBrush* CDC::GetCurrentBrush() { return static_cast<CBrush*>(Wrap(m_state.brush)); }
CFont* CDC::GetCurrentFont() { return static_cast<CFont*>(Wrap(m_state.font)); }
CBitmap* CDC::GetCurrentBitmap() { return static_cast<CBitmap*>(Wrap(m_state.bitmap)); }

const LOGPEN& CDC::Pen() const { return std::get<GdiPenData>(m_state.pen->data).log; }
const LOGBRUSH& CDC::Brush() const { return std::get<GdiBrushData>(m_state.brush->data).log; }
QFont CDC::Font() const { return std::get<GdiFontData>(m_state.font->data).font; }
CTextMeasures& CDC::Measures() const { return *std::get<GdiFontData>(m_state.font->data).measures; }
int CDC::FontEscapement() const { return std::get<GdiFontData>(m_state.font->data).log.lfEscapement; }
bool CDC::HasPen() const { return (Pen().lopnStyle & PS_STYLE_MASK) != PS_NULL; }
bool CDC::ThinPen() const { return Pen().lopnWidth <= 1; }

// ---- state

int CDC::SaveDC()
{
    m_saved.push_back(m_state);
    return int(m_saved.size());
}

BOOL CDC::RestoreDC(int saved)
{
    const int level = saved < 0 ? int(m_saved.size()) + 1 + saved : saved;
    if (level < 1 || level > int(m_saved.size())) return FALSE;
    State restored = m_saved[std::size_t(level - 1)];
    m_saved.resize(std::size_t(level - 1));
    const GdiHandlePtr current = m_state.bitmap;
    m_state = restored;
    if (m_memory && restored.bitmap != current) {
        m_state.bitmap = current;
        CBitmap holder;
        holder.AttachHandle(restored.bitmap, false);
        SelectObject(&holder);
    }
    ApplyTransform();
    ApplyClip();
    return TRUE;
}

COLORREF CDC::SetTextColor(COLORREF color) { return std::exchange(m_state.textColor, color); }
COLORREF CDC::SetBkColor(COLORREF color) { return std::exchange(m_state.bkColor, color); }

int CDC::SetBkMode(int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE) return 0;
    return std::exchange(m_state.bkMode, mode);
}

UINT CDC::SetTextAlign(UINT align) { return std::exchange(m_state.textAlign, align); }
int CDC::SetMapMode(int mode) { return std::exchange(m_state.mapMode, mode); }
int CDC::SetStretchBltMode(int mode) { return std::exchange(m_state.stretchMode, mode); }

// ---- coordinates

void CDC::ApplyTransform()
{
    if (!m_painter) return;
    const CPoint shift = m_state.viewportOrg - m_state.windowOrg;
    m_painter->setWorldTransform(QTransform::fromTranslate(shift.x, shift.y) * m_base);
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    const CPoint previous = std::exchange(m_state.windowOrg, CPoint(x, y));
    ApplyTransform();
    return previous;
}

CPoint CDC::OffsetWindowOrg(int dx, int dy)
{
    return SetWindowOrg(m_state.windowOrg.x + dx, m_state.windowOrg.y + dy);
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    const CPoint previous = std::exchange(m_state.viewportOrg, CPoint(x, y));
    ApplyTransform();
    return previous;
}

CPoint CDC::OffsetViewportOrg(int dx, int dy)
{
    return SetViewportOrg(m_state.viewportOrg.x + dx, m_state.viewportOrg.y + dy);
}

QPoint CDC::ToDevice(int x, int y) const
{
    return {x - m_state.windowOrg.x + m_state.viewportOrg.x, y - m_state.windowOrg.y + m_state.viewportOrg.y};
}

void CDC::LPtoDP(CPoint* p) const
{
    if (p) *p = CPoint(ToDevice(p->x, p->y));
}

void CDC::LPtoDP(CRect* r) const
{
    if (r) r->OffsetRect(m_state.viewportOrg - m_state.windowOrg);
}

void CDC::DPtoLP(CPoint* p) const
{
    if (p) *p += m_state.windowOrg - m_state.viewportOrg;
}

void CDC::DPtoLP(CRect* r) const
{
    if (r) r->OffsetRect(m_state.windowOrg - m_state.viewportOrg);
}

// ---- clipping

QRect CDC::DeviceRect() const
{
    if (!m_painter || !m_device) return {};
    QRect rect(0, 0, m_device->width(), m_device->height());
    if (m_painter->paintEngine()) {
        // The system clip is in the engine's device coordinates, which for a
        // child widget painted into its window's buffer are offset from the
        // widget's own: take that redirection off first.
        const QRegion system = m_painter->paintEngine()->systemClip();
        const QTransform redirection = m_painter->worldTransform().inverted() * m_painter->deviceTransform();
        if (!system.isEmpty()) rect &= redirection.inverted().mapRect(system.boundingRect());
    }
    rect = m_base.inverted().mapRect(rect);
    if (m_baseClip) rect &= m_baseClip->boundingRect();
    return rect;
}

void CDC::ApplyClip()
{
    if (!m_painter) return;
    m_painter->setWorldTransform(m_base);
    if (m_state.clip) m_painter->setClipRegion(m_baseClip ? m_state.clip->intersected(*m_baseClip) : *m_state.clip);
    else if (m_baseClip) m_painter->setClipRegion(*m_baseClip);
    else m_painter->setClipping(false);
    ApplyTransform();
}

int CDC::ClipComplexity() const
{
    const QRegion visible = m_state.clip ? m_state.clip->intersected(DeviceRect()) : QRegion(DeviceRect());
    if (visible.isEmpty()) return NULLREGION;
    return visible.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int CDC::IntersectClipRect(int left, int top, int right, int bottom)
{
    const QRect r = QRect(ToDevice(left, top), ToDevice(right, bottom) - QPoint(1, 1)).normalized();
    const QRegion base = m_state.clip ? *m_state.clip : QRegion(DeviceRect());
    m_state.clip = base.intersected(right > left && bottom > top ? r : QRect());
    ApplyClip();
    return ClipComplexity();
}

int CDC::ExcludeClipRect(int left, int top, int right, int bottom)
{
    const QRegion base = m_state.clip ? *m_state.clip : QRegion(DeviceRect());
    if (right > left && bottom > top)
        m_state.clip = base.subtracted(QRect(ToDevice(left, top), ToDevice(right, bottom) - QPoint(1, 1)));
    else
        m_state.clip = base;
    ApplyClip();
    return ClipComplexity();
}

int CDC::SelectClipRgn(CRgn* region)
{
    if (region && region->IsNull()) return ERROR;
    if (region) m_state.clip = region->Region();
    else m_state.clip.reset();
    ApplyClip();
    return ClipComplexity();
}

int CDC::GetClipBox(CRect* rect) const
{
    const QRegion visible = m_state.clip ? m_state.clip->intersected(DeviceRect()) : QRegion(DeviceRect());
    if (rect) {
        *rect = visible.isEmpty() ? CRect() : CRect(visible.boundingRect());
        if (!visible.isEmpty()) DPtoLP(rect);
    }
    return ClipComplexity();
}

BOOL CDC::PtVisible(int x, int y) const
{
    const QPoint d = ToDevice(x, y);
    if (!DeviceRect().contains(d)) return FALSE;
    return (!m_state.clip || m_state.clip->contains(d)) ? TRUE : FALSE;
}

int CDC::GetDeviceCaps(int index) const
{
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case HORZRES: return m_device ? m_device->width() : 0;
    case VERTRES: return m_device ? m_device->height() : 0;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    default: return 0;
    }
}

}  // namespace plat
