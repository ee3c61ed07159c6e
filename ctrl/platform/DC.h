#pragma once

#include "platform/Bitmap.h"
#include "platform/Brush.h"
#include "platform/Font.h"
#include "platform/GdiDefs.h"
#include "platform/Icon.h"
#include "platform/LineRaster.h"
#include "platform/Pen.h"
#include "platform/Rect.h"
#include "platform/Rgn.h"

#include <QPainter>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace plat {

struct TEXTMETRIC {
    LONG tmHeight = 0;  // ascent + descent: the cell height
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0;
    LONG tmExternalLeading = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 0;
};

// A device context with Windows GDI semantics over a QPainter: selected
// objects, save/restore, window origin, clipping and GDI's pixel geometry
// (aliased; right and bottom edges excluded). Coordinates are logical:
// device = logical - window origin + viewport origin.
//
//   QImage image(200, 100, QImage::Format_RGB32);
//   { plat::CDC dc(&image); dc.Rectangle(0, 0, 4, 3); }  // ends painting
//
// In a paintEvent: plat::CDC dc(this). A DC made with the default
// constructor has no device: it measures text, and after CreateCompatibleDC
// it is a memory DC drawing into the bitmap selected into it.
class QUINDLE_EXPORT CDC {
public:
    CDC();
    // Paints on device (QImage, QPixmap, or a QWidget inside its paintEvent).
    explicit CDC(QPaintDevice* device);
    // Paints through an active painter, not owned; its state is put back at the end.
    explicit CDC(QPainter* painter);
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // Makes this a memory DC (any previous device is let go); with the
    // stock 1 × 1 bitmap selected, drawing has no visible effect.
    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();
    bool IsMemoryDC() const { return m_memory; }
    // The painter and device while drawing is possible; null otherwise.
    QPainter* GetPainter() const { return m_painter; }
    QPaintDevice* GetDevice() const;

    // Objects. Each returns the object selected before (a temporary wrapper
    // owned by this DC when the original object is gone), or null on failure.
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap);  // memory DCs only
    CGdiObject* SelectObject(CGdiObject* object);
    int SelectObject(CRgn* region) { return SelectClipRgn(region); }
    CGdiObject* SelectStockObject(int index);
    CPen* GetCurrentPen();
    CBrush* GetCurrentBrush();
    CFont* GetCurrentFont();
    CBitmap* GetCurrentBitmap();

    // Returns the saved state's level (1, 2, ...); RestoreDC(-1) is the last.
    int SaveDC();
    BOOL RestoreDC(int saved);

    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const { return m_state.textColor; }
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const { return m_state.bkColor; }
    int SetBkMode(int mode);
    int GetBkMode() const { return m_state.bkMode; }
    UINT SetTextAlign(UINT align);
    UINT GetTextAlign() const { return m_state.textAlign; }
    int SetMapMode(int mode);  // stored; only MM_TEXT is drawn
    int GetMapMode() const { return m_state.mapMode; }
    int SetStretchBltMode(int mode);
    int GetStretchBltMode() const { return m_state.stretchMode; }

    CPoint SetWindowOrg(int x, int y);
    CPoint SetWindowOrg(CPoint p) { return SetWindowOrg(p.x, p.y); }
    CPoint GetWindowOrg() const { return m_state.windowOrg; }
    CPoint OffsetWindowOrg(int dx, int dy);
    CPoint SetViewportOrg(int x, int y);
    CPoint SetViewportOrg(CPoint p) { return SetViewportOrg(p.x, p.y); }
    CPoint GetViewportOrg() const { return m_state.viewportOrg; }
    CPoint OffsetViewportOrg(int dx, int dy);
    void LPtoDP(CPoint* p) const;
    void LPtoDP(CRect* r) const;
    void DPtoLP(CPoint* p) const;
    void DPtoLP(CRect* r) const;

    // Clipping; the region is kept in device coordinates, as on Windows.
    int IntersectClipRect(int left, int top, int right, int bottom);
    int IntersectClipRect(const CRect& r) { return IntersectClipRect(r.left, r.top, r.right, r.bottom); }
    int ExcludeClipRect(int left, int top, int right, int bottom);
    int ExcludeClipRect(const CRect& r) { return ExcludeClipRect(r.left, r.top, r.right, r.bottom); }
    // region in device coordinates; null removes the clipping.
    int SelectClipRgn(CRgn* region);
    // The visible part in logical coordinates (the device when unclipped).
    int GetClipBox(CRect* rect) const;
    BOOL PtVisible(int x, int y) const;

    CPoint MoveTo(int x, int y);
    CPoint MoveTo(CPoint p) { return MoveTo(p.x, p.y); }
    BOOL LineTo(int x, int y);
    BOOL LineTo(CPoint p) { return LineTo(p.x, p.y); }
    CPoint GetCurrentPosition() const { return m_state.position; }
    BOOL Polyline(const CPoint* points, int count);
    BOOL Polygon(const CPoint* points, int count);
    BOOL Rectangle(int left, int top, int right, int bottom);
    BOOL Rectangle(const CRect& r) { return Rectangle(r.left, r.top, r.right, r.bottom); }
    BOOL Ellipse(int left, int top, int right, int bottom);
    BOOL Ellipse(const CRect& r) { return Ellipse(r.left, r.top, r.right, r.bottom); }
    BOOL RoundRect(int left, int top, int right, int bottom, int width, int height);
    BOOL RoundRect(const CRect& r, CPoint corner) { return RoundRect(r.left, r.top, r.right, r.bottom, corner.x, corner.y); }

    // Fills with color and, as MFC's does, leaves the background colour set to it.
    void FillSolidRect(const CRect& r, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    void FillRect(const CRect& r, CBrush* brush);
    void FrameRect(const CRect& r, CBrush* brush);
    // Top and left edges in topLeft, right and bottom in bottomRight; the
    // top-right and bottom-left corner pixels take bottomRight.
    void Draw3dRect(const CRect& r, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
    // Inverts every other pixel of the 1-pixel edge of r (those with x + y
    // even, in device coordinates); drawing the same rectangle again erases it.
    void DrawFocusRect(const CRect& r);
    void InvertRect(const CRect& r);

    COLORREF SetPixel(int x, int y, COLORREF color);
    // CLR_INVALID outside the device or the clip, or on an unreadable device.
    COLORREF GetPixel(int x, int y) const;

    BOOL TextOut(int x, int y, const CString& text);
    int DrawText(const CString& text, CRect* rect, UINT format);
    int DrawText(const CString& text, const CRect& rect, UINT format);
    CSize GetTextExtent(const CString& text) const;
    CSize GetTextExtentPoint32(const CString& text) const { return GetTextExtent(text); }
    CSize GetOutputTextExtent(const CString& text) const { return GetTextExtent(text); }
    BOOL GetTextMetrics(TEXTMETRIC* tm) const;

    BOOL BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop);
    BOOL StretchBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, int srcWidth, int srcHeight,
                    DWORD rop);
    BOOL PatBlt(int x, int y, int width, int height, DWORD rop);

    BOOL DrawIcon(int x, int y, HICON icon);
    BOOL DrawIcon(CPoint p, HICON icon) { return DrawIcon(p.x, p.y, icon); }
    // cx, cy of 0 draw the icon at its own size.
    BOOL DrawIconEx(int x, int y, HICON icon, int cx, int cy, UINT step = 0, CBrush* flicker = nullptr,
                    UINT flags = DI_NORMAL);
    // DSS_DISABLED embosses: the image's shape in COLOR_3DHILIGHT one pixel
    // right and down, then in COLOR_3DSHADOW in place. DSS_MONO draws the
    // shape with the brush (or the text colour). A size of (0, 0) is the
    // picture's own size.
    BOOL DrawState(CPoint p, CSize size, HICON icon, UINT flags, CBrush* brush = nullptr);
    BOOL DrawState(CPoint p, CSize size, CBitmap* bitmap, UINT flags, CBrush* brush = nullptr);
    BOOL DrawState(CPoint p, CSize size, const CString& text, UINT flags, BOOL prefixText = TRUE, int length = 0,
                   CBrush* brush = nullptr);

    int GetDeviceCaps(int index) const;

    // The 32-bit pixels of the device under rect (logical coordinates), for
    // writing opaque colours straight into them: the pixel at the rect's
    // top-left, with the row stride in pixels. Null unless every pixel of
    // the rect can be written so with the same effect as painting it: a
    // 32-bit image device, a whole-pixel translation, source-over at full
    // opacity, and the rect wholly inside the image and the clip.
    std::uint32_t* DirectPixels(const CRect& rect, int* pStride);

private:
    struct State {
        GdiHandlePtr pen, brush, font, bitmap;
        COLORREF textColor = 0;
        COLORREF bkColor = RGB(255, 255, 255);
        int bkMode = OPAQUE;
        UINT textAlign = TA_LEFT | TA_TOP;
        int mapMode = MM_TEXT;
        int stretchMode = BLACKONWHITE;
        CPoint windowOrg, viewportOrg, position;
        std::optional<QRegion> clip;  // device coordinates
    };

    void InitState();
    void Begin(QPaintDevice* device);
    void End();
    void BindBitmap(const GdiHandlePtr& bitmap);
    void ApplyTransform();
    void ApplyClip();
    QRect DeviceRect() const;
    QPoint ToDevice(int x, int y) const;
    int ClipComplexity() const;
    const QImage* ReadableImage() const;
    CGdiObject* Wrap(const GdiHandlePtr& handle);
    GdiHandlePtr Select(GdiHandlePtr& slot, CGdiObject* object);

    const LOGPEN& Pen() const;
    const LOGBRUSH& Brush() const;
    QFont Font() const;
    CTextMeasures& Measures() const;
    int FontEscapement() const;
    bool HasPen() const;
    bool ThinPen() const;
    void StrokePolyline(const CPoint* points, int count, bool closed);
    void FillArea(const QPainterPath& path);
    void DrawImageState(CPoint p, const QImage& image, UINT flags, CBrush* brush);
    void DrawTextAt(QPoint origin, QPoint offset, const QString& text, int mnemonic, COLORREF color, bool opaque);

    QPainter* m_painter = nullptr;
    std::unique_ptr<QPainter> m_ownPainter;
    QPaintDevice* m_device = nullptr;
    QTransform m_base;  // the painter's transform when this DC took it
    bool m_memory = false;
    State m_state;
    std::vector<State> m_saved;
    std::vector<std::unique_ptr<CGdiObject>> m_wrappers;
    std::optional<QRegion> m_baseClip;  // an external painter's own clip
    CLineRaster m_raster{PS_SOLID};
    int m_rasterStyle = PS_SOLID;
};

}  // namespace plat
