#include "platform/DC.h"

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>

using namespace plat;

namespace {

// A child that fills itself blue, then red inside a clip rectangle.
class ClippingChild : public QWidget {
public:
    enum Mode { Intersect, Exclude };
    ClippingChild(Mode mode, QWidget* parent) : QWidget(parent), m_mode(mode) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        CDC dc(this);
        dc.FillSolidRect(CRect(rect()), RGB(0, 0, 255));
        if (m_mode == Intersect) dc.IntersectClipRect(10, 10, 30, 20);
        else dc.ExcludeClipRect(10, 10, 30, 20);
        dc.FillSolidRect(CRect(rect()), RGB(255, 0, 0));
    }

private:
    Mode m_mode;
};

// Children sit at an offset in their window's buffer; a clip set in the
// child's coordinates must land on the child's own pixels.
TEST(DCWidgetClip, ClipRectanglesOfAChildAreInItsOwnCoordinates)
{
    for (auto mode : {ClippingChild::Intersect, ClippingChild::Exclude}) {
        QWidget window;
        window.resize(200, 120);
        auto* child = new ClippingChild(mode, &window);
        child->setGeometry(40, 30, 60, 40);
        const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb inside = mode == ClippingChild::Intersect ? qRgb(255, 0, 0) : qRgb(0, 0, 255);
        const QRgb outside = mode == ClippingChild::Intersect ? qRgb(0, 0, 255) : qRgb(255, 0, 0);
        EXPECT_EQ(shot.pixel(40 + 10, 30 + 10), inside) << mode;
        EXPECT_EQ(shot.pixel(40 + 29, 30 + 19), inside) << mode;
        EXPECT_EQ(shot.pixel(40 + 9, 30 + 10), outside) << mode;
        EXPECT_EQ(shot.pixel(40 + 30, 30 + 19), outside) << mode;
        EXPECT_EQ(shot.pixel(40 + 0, 30 + 0), outside) << mode;
        EXPECT_EQ(shot.pixel(40 + 59, 30 + 39), outside) << mode;
    }
}

}  // namespace
