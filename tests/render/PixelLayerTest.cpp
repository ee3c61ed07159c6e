#include "platform/DC.h"
#include "render/MarkerStamp.h"
#include "render/PixelLayer.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cstdint>
#include <iterator>
#include <random>
#include <functional>
#include <string>
#include <vector>

namespace {

using plat::CPoint;

// A marker drawn with pen and brush of its own colours.
CMarkerStamp Capture(const std::function<void(plat::CDC&, CPoint)>& shape, plat::COLORREF crPen,
                     plat::COLORREF crFill)
{
    return CMarkerStamp::Capture(6, [&](plat::CDC& dc, CPoint pt) {
        plat::CPen pen(plat::PS_SOLID, 1, crPen);
        plat::CBrush brush(crFill);
        plat::CPen* pOldPen = dc.SelectObject(&pen);
        plat::CBrush* pOldBrush = dc.SelectObject(&brush);
        shape(dc, pt);
        dc.SelectObject(pOldBrush);
        dc.SelectObject(pOldPen);
    });
}

QImage Painted(const std::function<void(CPixelLayer&)>& draw)
{
    QImage image(60, 50, QImage::Format_RGB32);
    image.fill(Qt::white);
    CPixelLayer layer;
    layer.Begin(plat::CRect(0, 0, 60, 50));
    draw(layer);
    plat::CDC dc(&image);
    layer.Paint(&dc);
    return image;
}

}  // namespace

// A stack of markers one row apart, painted in one step, covers exactly
// the pixels of the markers painted one by one, at the edges too.
TEST(PixelLayerTest, StampColumnEqualsTheStampsOneByOne)
{
    const plat::COLORREF crBlue = plat::RGB(0, 0, 160);
    struct Shape {
        const char* pszName;
        std::function<void(plat::CDC&, CPoint)> draw;
        plat::COLORREF crPen;
        bool bSpans;  // painted as unbroken columns
    };
    auto Triangle = [](plat::CDC& dc, CPoint p) {
        const CPoint pts[] = {{p.x - 3, p.y + 3}, {p.x + 3, p.y + 3}, {p.x, p.y - 3}};
        dc.Polygon(pts, 3);
    };
    auto Cross = [](plat::CDC& dc, CPoint p) {
        const CPoint pts[] = {{p.x - 3, p.y + 3}, p, {p.x + 3, p.y + 3}, p, {p.x + 3, p.y - 3}, p, {p.x - 3, p.y - 3}, p};
        dc.Polygon(pts, 8);
    };
    auto Circle = [](plat::CDC& dc, CPoint p) { dc.Ellipse(p.x - 3, p.y - 3, p.x + 3, p.y + 3); };
    const std::vector<Shape> shapes = {
        {"triangle", Triangle, crBlue, true},
        {"circle", Circle, crBlue, true},
        {"cross: broken columns", Cross, crBlue, false},
        {"outline of another colour", Triangle, plat::RGB(0, 0, 0), false},
    };
    for (const Shape& shape : shapes) {
        const CMarkerStamp stamp = Capture(shape.draw, shape.crPen, crBlue);
        ASSERT_FALSE(stamp.IsEmpty()) << shape.pszName;
        EXPECT_EQ(stamp.HasSpans(), shape.bSpans) << shape.pszName;
        struct Stack {
            CPoint pt;
            int nCount;
        };
        // Inside, across the top and bottom edges, beside the left edge.
        for (const Stack& s : {Stack{{20, 10}, 9}, Stack{{30, -4}, 7}, Stack{{40, 44}, 12}, Stack{{1, 20}, 1}}) {
            const QImage one = Painted([&](CPixelLayer& layer) {
                for (int i = 0; i < s.nCount; ++i) layer.Stamp(stamp, {s.pt.x, s.pt.y + i});
            });
            const QImage stack = Painted([&](CPixelLayer& layer) { layer.StampColumn(stamp, s.pt, s.nCount); });
            EXPECT_EQ(stack, one) << shape.pszName << " at " << s.pt.x << "," << s.pt.y;
            EXPECT_NE(stack, Painted([](CPixelLayer&) {})) << shape.pszName << " paints something";
        }
    }
}

// Drawing of one colour is gathered before it is put down; what comes
// later in another colour still covers what came before, and the other
// way round, as on a DC.
TEST(PixelLayerTest, LaterDrawingCoversEarlierDrawingOfAnotherColour)
{
    const plat::COLORREF crRed = plat::RGB(200, 0, 0);
    const plat::COLORREF crBlue = plat::RGB(0, 0, 160);
    auto Square = [](plat::CDC& dc, CPoint p) { dc.Rectangle(p.x - 3, p.y - 3, p.x + 4, p.y + 4); };
    const CMarkerStamp blue = Capture(Square, crBlue, crBlue);
    const CMarkerStamp twoColours = Capture(Square, plat::RGB(0, 0, 0), crBlue);
    ASSERT_TRUE(blue.HasSpans());
    const QRgb kRed = qRgb(200, 0, 0), kBlue = qRgb(0, 0, 160), kBlack = qRgb(0, 0, 0), kWhite = qRgb(255, 255, 255);
    const QImage image = Painted([&](CPixelLayer& layer) {
        layer.SetColor(crRed);
        layer.Line({10, 0}, {10, 30});      // red column
        layer.StampColumn(blue, {10, 10}, 3);  // blue over it, rows 7..15
        layer.Line({0, 12}, {30, 12});      // red row over the blue
        layer.Stamp(twoColours, {40, 12});  // outlined square
        layer.Line({36, 12}, {45, 12});     // red through it
        layer.Line({30, 40}, {50, 40});     // red, then blue over part of it
        layer.StampColumn(blue, {45, 40}, 1);
    });
    struct Pixel {
        int x, y;
        QRgb rgb;
    };
    for (const Pixel& p : {Pixel{10, 2, kRed}, Pixel{10, 8, kBlue}, Pixel{10, 12, kRed}, Pixel{10, 14, kBlue},
                           Pixel{10, 20, kRed}, Pixel{20, 12, kRed}, Pixel{40, 9, kBlack}, Pixel{40, 12, kRed},
                           Pixel{42, 10, kBlue}, Pixel{35, 40, kRed}, Pixel{45, 40, kBlue}, Pixel{49, 40, kRed},
                           Pixel{55, 40, kWhite}})
        EXPECT_EQ(image.pixel(p.x, p.y), p.rgb) << p.x << "," << p.y;
}

// A column of marks with gaps, given as row bits, covers exactly the
// pixels of its marks stamped one by one, across the layer's edges too.
TEST(PixelLayerTest, StampRowsEqualsTheStampsOneByOne)
{
    const plat::COLORREF crBlue = plat::RGB(0, 0, 160);
    auto Triangle = [](plat::CDC& dc, CPoint p) {
        const CPoint pts[] = {{p.x - 3, p.y + 3}, {p.x + 3, p.y + 3}, {p.x, p.y - 3}};
        dc.Polygon(pts, 3);
    };
    auto Cross = [](plat::CDC& dc, CPoint p) {
        const CPoint pts[] = {{p.x - 3, p.y + 3}, p, {p.x + 3, p.y + 3}, p, {p.x + 3, p.y - 3}, p, {p.x - 3, p.y - 3}, p};
        dc.Polygon(pts, 8);
    };
    const CMarkerStamp stamps[] = {Capture(Triangle, crBlue, crBlue), Capture(Cross, crBlue, crBlue),
                                   Capture(Triangle, plat::RGB(0, 0, 0), crBlue)};
    // Rows relative to yTop: single rows, stacks, a stack across a word.
    const std::vector<int> arRows = {0, 2, 3, 4, 9, 30, 60, 61, 62, 63, 64, 65, 70, 100, 127};
    std::vector<std::uint64_t> bits(2, 0);
    for (int r : arRows) bits[r / 64] |= std::uint64_t(1) << (r % 64);
    for (std::size_t s = 0; s < std::size(stamps); ++s) {
        for (CPoint at : {CPoint(20, -40), CPoint(1, -70), CPoint(58, -5), CPoint(30, 10)}) {
            const QImage one = Painted([&](CPixelLayer& layer) {
                for (int r : arRows) layer.Stamp(stamps[s], {at.x, at.y + r});
            });
            const QImage rows = Painted([&](CPixelLayer& layer) {
                layer.SetColor(plat::RGB(200, 0, 0));
                layer.StampRows(stamps[s], at.x, at.y, bits.data(), 2);
            });
            EXPECT_EQ(rows, one) << "stamp " << s << " at " << at.x << "," << at.y;
            EXPECT_NE(rows, Painted([](CPixelLayer&) {})) << "stamp " << s << " paints something";
        }
    }
}

// Drawing straight into a DC's pixels gives the picture of the blended
// layer, and only where that is the same: any other DC gets the blend.
TEST(PixelLayerTest, DrawsStraightIntoTheTargetOnlyWhereTheBlendWouldBeTheSame)
{
    const plat::COLORREF crBlue = plat::RGB(0, 0, 160);
    const CMarkerStamp stamp = Capture(
        [](plat::CDC& dc, CPoint p) {
            const CPoint pts[] = {{p.x - 3, p.y + 3}, {p.x + 3, p.y + 3}, {p.x, p.y - 3}};
            dc.Polygon(pts, 3);
        },
        crBlue, crBlue);
    const plat::CRect rcArea(10, 5, 60, 45);
    auto Draw = [&](CPixelLayer& layer) {
        layer.SetColor(plat::RGB(200, 0, 0));
        layer.Line({0, 0}, {70, 50});  // reaches outside the area on both ends
        layer.Line({12, 40}, {58, 8});
        layer.StampColumn(stamp, {30, 20}, 4);
        layer.Stamp(stamp, {59, 44});
    };
    struct Case {
        const char* pszName;
        QImage::Format format;
        std::function<void(plat::CDC&)> setUp;
        bool bDirect;
    };
    const std::vector<Case> cases = {
        {"plain image", QImage::Format_RGB32, [](plat::CDC&) {}, true},
        {"premultiplied image", QImage::Format_ARGB32_Premultiplied, [](plat::CDC&) {}, true},
        {"clip around the area", QImage::Format_RGB32, [](plat::CDC& dc) { dc.IntersectClipRect(5, 0, 65, 50); },
         true},
        {"window origin moved", QImage::Format_RGB32, [](plat::CDC& dc) { dc.SetWindowOrg(-3, -2); }, true},
        {"clip inside the area", QImage::Format_RGB32, [](plat::CDC& dc) { dc.IntersectClipRect(20, 10, 40, 30); },
         false},
        {"clip with a hole", QImage::Format_RGB32, [](plat::CDC& dc) { dc.ExcludeClipRect(30, 20, 33, 23); },
         false},
        {"area past the image", QImage::Format_RGB32, [](plat::CDC& dc) { dc.SetWindowOrg(20, 0); }, false},
        {"16-bit image", QImage::Format_RGB16, [](plat::CDC&) {}, false},
        {"scaled painter", QImage::Format_RGB32, [](plat::CDC& dc) { dc.GetPainter()->scale(2, 2); }, false},
        {"half opacity", QImage::Format_RGB32, [](plat::CDC& dc) { dc.GetPainter()->setOpacity(0.5); }, false},
    };
    for (const Case& c : cases) {
        auto Picture = [&](bool bTarget, bool* pDirect) {
            QImage image(70, 50, c.format);
            image.fill(Qt::white);
            plat::CDC dc(&image);
            c.setUp(dc);
            CPixelLayer layer;
            layer.Begin(rcArea, bTarget ? &dc : nullptr);
            *pDirect = layer.IsDirect();
            Draw(layer);
            layer.Paint(&dc);
            dc.DeleteDC();
            return image;
        };
        bool bDirect = false, bBlended = true;
        const QImage target = Picture(true, &bDirect);
        const QImage blended = Picture(false, &bBlended);
        EXPECT_EQ(bDirect, c.bDirect) << c.pszName;
        EXPECT_FALSE(bBlended) << c.pszName;
        EXPECT_EQ(target, blended) << c.pszName;
        EXPECT_NE(blended.pixel(35, 25), QImage(1, 1, c.format).pixel(0, 0)) << c.pszName;
    }
}

// Writing behind the painter's back reaches only the painter's image: a
// copy taken while painting keeps its pixels.
TEST(PixelLayerTest, CopyOfTheTargetKeepsItsPixels)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    plat::CDC dc(&image);
    const QImage copy = image;
    CPixelLayer layer;
    layer.Begin(plat::CRect(0, 0, 40, 30), &dc);
    layer.SetColor(plat::RGB(200, 0, 0));
    layer.Line({0, 10}, {40, 10});
    layer.Paint(&dc);
    dc.DeleteDC();
    EXPECT_EQ(copy.pixel(20, 10), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(20, 10), qRgb(200, 0, 0));
}

// A polyline paints what its lines paint one by one: columns of vertical
// lines joined into runs (their last point left out), points far outside,
// repeated points, dashes.
TEST(PixelLayerTest, PolylineEqualsItsLinesOneByOne)
{
    std::vector<std::vector<CPoint>> arLines = {
        {{5, 5}, {5, 20}},
        {{5, 20}, {5, 5}},
        {{5, 5}, {5, 20}, {5, 12}},
        {{5, 12}, {5, 2}, {5, 8}},
        {{6, 31}, {6, 31}, {6, 2}, {6, 40}},
        {{7, 40}, {7, 10}, {30, 10}, {30, -9000}, {30, 45}, {31, 45}},
        {{31, 60}, {31, 70}, {40, 70}, {40, 49}, {40, 49}, {41, 0}, {41, 49}},
        {{45, -5}, {45, -1}, {45, 3}, {50, 25}, {50, 24}, {50, 26}},
        {{20, 10}, {20, 30}, {21, 30}, {21, 10}},
        // Steep lines one column across, of every short height either way.
        {{10, 10}, {11, 10}, {12, 11}, {13, 13}, {14, 16}, {15, 20}, {16, 15}, {17, 13}, {18, 12}, {19, 12}},
        {{30, 5}, {31, 6}, {31, 4}, {32, 9}, {32, 9}, {33, 0}, {32, 3}, {31, 1}},
    };
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-10, 70);
    std::vector<CPoint> arDense;
    for (int i = 0; i < 200; ++i) {
        // Mostly columns of vertical lines, as a dense series gives them.
        const int x = coord(rng);
        for (int k = 0; k < 4; ++k) arDense.push_back({x, coord(rng)});
    }
    arLines.push_back(arDense);
    // A dense series walking right a column at a time, its columns'
    // vertices joined by lines one column across.
    std::vector<CPoint> arWalk;
    for (int x = -3; x < 66; ++x)
        for (int k = 0; k < 1 + x % 4; ++k) arWalk.push_back({x, coord(rng) / 2 + 10});
    arLines.push_back(arWalk);
    for (int nStyle : {plat::PS_SOLID, plat::PS_DOT}) {
        for (const std::vector<CPoint>& arPoints : arLines) {
            const QImage lines = Painted([&](CPixelLayer& layer) {
                layer.SetColor(plat::RGB(200, 0, 0));
                layer.SetPenStyle(nStyle);
                for (std::size_t i = 0; i + 1 < arPoints.size(); ++i) layer.Line(arPoints[i], arPoints[i + 1]);
            });
            const QImage polyline = Painted([&](CPixelLayer& layer) {
                layer.SetColor(plat::RGB(200, 0, 0));
                layer.SetPenStyle(nStyle);
                layer.Polyline(arPoints.data(), static_cast<int>(arPoints.size()));
            });
            EXPECT_EQ(polyline, lines) << "style " << nStyle << ", " << arPoints.size() << " points from "
                                       << arPoints.front().x << "," << arPoints.front().y;
            EXPECT_NE(lines, Painted([](CPixelLayer&) {})) << "style " << nStyle;
        }
    }
}
