#include "Canvas.h"

#include "platform/DC.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace plat;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Paints through a CDC in its paintEvent, as the library's controls do.
class PaintedWidget : public QWidget {
public:
    CRect clipBox;

protected:
    void paintEvent(QPaintEvent*) override
    {
        CDC dc(this);
        dc.GetClipBox(&clipBox);
        dc.FillSolidRect(CRect(0, 0, width(), height()), kBlue);
        CBrush brush(kRed);
        dc.SelectObject(&brush);
        dc.SelectStockObject(NULL_PEN);
        dc.Rectangle(2, 2, 7, 7);
    }
};

TEST(DCDevice, PaintsAWidgetInItsPaintEvent)
{
    PaintedWidget w;
    w.resize(20, 10);
    const QImage shot = w.grab().toImage();
    EXPECT_EQ(w.clipBox, CRect(0, 0, 20, 10));
    EXPECT_EQ(FromQRgb(shot.pixel(2, 2)), kRed);
    EXPECT_EQ(FromQRgb(shot.pixel(5, 5)), kRed);
    EXPECT_EQ(FromQRgb(shot.pixel(6, 6)), kBlue);
    EXPECT_EQ(FromQRgb(shot.pixel(19, 9)), kBlue);
}

// Clips to its right half before filling it, as controls do for a part.
class ClippedChild : public QWidget {
public:
    using QWidget::QWidget;
    CRect clipBox;

protected:
    void paintEvent(QPaintEvent*) override
    {
        CDC dc(this);
        dc.IntersectClipRect(width() / 2, 0, width(), height());
        dc.GetClipBox(&clipBox);
        dc.FillSolidRect(CRect(0, 0, width(), height()), kRed);
    }
};

TEST(DCDevice, AChildWidgetClipsInItsOwnCoordinatesWhereverItSits)
{
    QWidget parent;
    parent.resize(100, 60);
    ClippedChild child(&parent);
    child.setGeometry(30, 20, 40, 10);
    const QImage shot = parent.grab().toImage();
    EXPECT_EQ(child.clipBox, CRect(20, 0, 40, 10));
    EXPECT_EQ(FromQRgb(shot.pixel(50, 25)), kRed);
    EXPECT_EQ(FromQRgb(shot.pixel(69, 29)), kRed);
    EXPECT_NE(FromQRgb(shot.pixel(49, 25)), kRed);
    EXPECT_NE(FromQRgb(shot.pixel(70, 25)), kRed);
}

TEST(DCDevice, WrapsAnActivePainterAndPutsItsStateBack)
{
    Canvas c;
    QPainter painter(&c.image);
    painter.translate(10, 10);
    painter.setPen(Qt::green);
    {
        CDC dc(&painter);
        dc.SetWindowOrg(-1, 0);
        dc.SetPixel(0, 0, kRed);
        dc.IntersectClipRect(0, 0, 1, 1);
        dc.SetPixel(1, 1, kRed);  // clipped away
    }
    EXPECT_EQ(painter.worldTransform(), QTransform::fromTranslate(10, 10));
    EXPECT_FALSE(painter.hasClipping());
    EXPECT_EQ(painter.pen().color(), QColor(Qt::green));
    painter.end();
    EXPECT_EQ(c.At(11, 10), kRed);
    EXPECT_EQ(c.Painted().size(), 1u);
}

TEST(DCDevice, ADeviceLessDCMeasuresButDrawsNothing)
{
    CDC dc;
    EXPECT_EQ(dc.GetPainter(), nullptr);
    EXPECT_GT(dc.GetTextExtent("x").cx, 0);
    EXPECT_TRUE(dc.Rectangle(0, 0, 5, 5));
    EXPECT_EQ(dc.GetPixel(0, 0), CLR_INVALID);
    CRect box(1, 1, 2, 2);
    EXPECT_EQ(dc.GetClipBox(&box), NULLREGION);
    EXPECT_TRUE(box.IsRectEmpty());
}

TEST(DCDevice, RestoreDCReselectsTheSavedBitmap)
{
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    CBitmap a, b;
    a.CreateBitmap(2, 2);
    b.CreateBitmap(2, 2);
    mem.SelectObject(&a);
    const int level = mem.SaveDC();
    mem.SelectObject(&b);
    mem.SetPixel(0, 0, kBlue);
    mem.RestoreDC(level);
    EXPECT_EQ(mem.GetCurrentBitmap(), &a);
    mem.SetPixel(0, 0, kRed);
    mem.DeleteDC();
    EXPECT_EQ(FromQRgb(a.GetImage().pixel(0, 0)), kRed);
    EXPECT_EQ(FromQRgb(b.GetImage().pixel(0, 0)), kBlue);
}

}  // namespace
