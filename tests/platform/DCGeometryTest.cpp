#include "Canvas.h"

#include "platform/DC.h"
#include "platform/SysColor.h"

#include <gtest/gtest.h>

using namespace plat;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = 0;

TEST(DCGeometry, RectangleOutlinesRightAndBottomExclusiveAndFillsInside)
{
    Canvas c;
    {
        CDC dc(&c.image);
        CBrush brush(kRed);
        dc.SelectObject(&brush);
        dc.Rectangle(0, 0, 4, 3);
    }
    EXPECT_EQ(c.Of(kBlack), Outline(0, 0, 3, 2));
    EXPECT_EQ(c.Of(kRed), (std::set<std::pair<int, int>>{{1, 1}, {2, 1}}));
    EXPECT_EQ(c.Painted().size(), 12u);
}

TEST(DCGeometry, RectangleWithNullPenFillsOnePixelLess)
{
    Canvas c;
    {
        CDC dc(&c.image);
        CBrush brush(kRed);
        dc.SelectObject(&brush);
        dc.SelectStockObject(NULL_PEN);
        dc.Rectangle(2, 2, 6, 5);
    }
    EXPECT_EQ(c.Bounds(), QRect(QPoint(2, 2), QPoint(4, 3)));
    EXPECT_EQ(c.Of(kRed).size(), 6u);
}

TEST(DCGeometry, LineToLeavesItsEndPixelUnpainted)
{
    Canvas c;
    {
        CDC dc(&c.image);
        dc.MoveTo(1, 1);
        dc.LineTo(6, 1);   // horizontal
        dc.MoveTo(1, 3);
        dc.LineTo(1, 8);   // vertical
        dc.MoveTo(10, 10);
        dc.LineTo(15, 15); // diagonal
        dc.MoveTo(20, 5);
        dc.LineTo(20, 5);  // zero length
    }
    EXPECT_EQ(c.At(1, 1), kBlack);
    EXPECT_EQ(c.At(5, 1), kBlack);
    EXPECT_NE(c.At(6, 1), kBlack);
    EXPECT_EQ(c.At(1, 7), kBlack);
    EXPECT_NE(c.At(1, 8), kBlack);
    EXPECT_EQ(c.At(14, 14), kBlack);
    EXPECT_NE(c.At(15, 15), kBlack);
    EXPECT_NE(c.At(20, 5), kBlack);
    EXPECT_EQ(c.Painted().size(), 5u + 5u + 5u);
}

TEST(DCGeometry, LineToContinuesFromTheCurrentPosition)
{
    Canvas c;
    CDC dc(&c.image);
    EXPECT_EQ(dc.MoveTo(2, 2), CPoint(0, 0));
    dc.LineTo(6, 2);
    dc.LineTo(6, 6);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(6, 6));
    dc.DeleteDC();  // ends painting
    EXPECT_EQ(c.At(6, 2), kBlack);  // the corner is painted by the second line
    EXPECT_NE(c.At(6, 6), kBlack);
}

TEST(DCGeometry, PolylineSkipsOnlyTheLastPointAndPolygonClosesAndFills)
{
    Canvas c;
    {
        CDC dc(&c.image);
        const CPoint line[] = {{1, 1}, {5, 1}, {5, 4}};
        dc.Polyline(line, 3);
        CBrush brush(kBlue);
        dc.SelectObject(&brush);
        const CPoint tri[] = {{10, 10}, {20, 10}, {10, 20}};
        dc.Polygon(tri, 3);
    }
    EXPECT_EQ(c.At(5, 1), kBlack);
    EXPECT_EQ(c.At(5, 3), kBlack);
    EXPECT_NE(c.At(5, 4), kBlack);
    for (auto p : {std::pair{10, 10}, {20, 10}, {10, 20}, {15, 15}, {10, 15}}) EXPECT_EQ(c.At(p.first, p.second), kBlack);
    EXPECT_EQ(c.At(12, 12), kBlue);
    EXPECT_EQ(c.Bounds(), QRect(QPoint(1, 1), QPoint(20, 20)));
}

TEST(DCGeometry, EllipseStaysInsideItsBoundsAndTouchesEachSide)
{
    Canvas c;
    {
        CDC dc(&c.image);
        CBrush brush(kRed);
        dc.SelectObject(&brush);
        dc.Ellipse(3, 4, 23, 16);
    }
    EXPECT_EQ(c.Bounds(), QRect(QPoint(3, 4), QPoint(22, 15)));
    EXPECT_EQ(c.At(13, 10), kRed);
    EXPECT_NE(c.At(3, 4), kBlack);  // corners stay clear
}

TEST(DCGeometry, RoundRectAndNullPenEllipseStayInsideTheirBounds)
{
    Canvas c;
    {
        CDC dc(&c.image);
        CBrush brush(kRed);
        dc.SelectObject(&brush);
        dc.RoundRect(2, 2, 20, 12, 6, 6);
        dc.SelectStockObject(NULL_PEN);
        dc.Ellipse(22, 2, 32, 12);
    }
    QRect round, ellipse;
    for (auto [x, y] : c.Painted()) (x < 21 ? round : ellipse) |= QRect(x, y, 1, 1);
    EXPECT_EQ(round, QRect(QPoint(2, 2), QPoint(19, 11)));
    EXPECT_NE(c.At(2, 2), kBlack);  // rounded corner
    EXPECT_TRUE(QRect(QPoint(22, 2), QPoint(30, 10)).contains(ellipse)) << "a null pen fills one pixel less";
    EXPECT_EQ(c.At(26, 6), kRed);
}

TEST(DCGeometry, PenStylesDashTheOnePixelPenAndWidePensDrawSolid)
{
    auto row = [](int style, int width) {
        Canvas c(60, 10);
        {
            CDC dc(&c.image);
            CPen pen(style, width, kBlack);
            dc.SelectObject(&pen);
            dc.MoveTo(0, 4);
            dc.LineTo(48, 4);
        }
        std::string s;
        for (int x = 0; x < 48; ++x) s += c.At(x, 4) == kBlack ? '#' : '.';
        return s;
    };
    EXPECT_EQ(row(PS_SOLID, 1), std::string(48, '#'));
    EXPECT_EQ(row(PS_DOT, 1).substr(0, 12), "###...###...");
    EXPECT_EQ(row(PS_DASH, 1).substr(0, 26), std::string(18, '#') + std::string(6, '.') + "##");
    EXPECT_EQ(row(PS_DASHDOT, 1).substr(0, 24), std::string(9, '#') + std::string(6, '.') + "###" + std::string(6, '.'));
    EXPECT_EQ(row(PS_NULL, 1), std::string(48, '.'));
    EXPECT_EQ(row(PS_DASH, 3).substr(1, 40), std::string(40, '#'));

    Canvas wide(20, 20);
    {
        CDC dc(&wide.image);
        CPen pen(PS_SOLID, 3, kBlack);
        dc.SelectObject(&pen);
        dc.MoveTo(5, 10);
        dc.LineTo(15, 10);
    }
    for (int y : {9, 10, 11}) EXPECT_EQ(wide.At(10, y), kBlack) << y;
    EXPECT_NE(wide.At(10, 8), kBlack);
    EXPECT_NE(wide.At(10, 12), kBlack);
}

TEST(DCGeometry, FillSolidRectCoversExactlyTheRectAndSetsTheBackgroundColour)
{
    Canvas c;
    CDC dc(&c.image);
    dc.FillSolidRect(CRect(2, 3, 7, 5), kRed);
    EXPECT_EQ(dc.GetBkColor(), kRed);
    dc.DeleteDC();  // ends painting
    EXPECT_EQ(c.Of(kRed).size(), 10u);
    EXPECT_EQ(c.Bounds(), QRect(QPoint(2, 3), QPoint(6, 4)));
}

TEST(DCGeometry, Draw3dRectColoursItsEdgesAndCorners)
{
    Canvas c;
    {
        CDC dc(&c.image);
        dc.Draw3dRect(CRect(1, 1, 11, 9), kRed, kBlue);
    }
    EXPECT_EQ(c.At(1, 1), kRed);   // top-left
    EXPECT_EQ(c.At(5, 1), kRed);   // top
    EXPECT_EQ(c.At(1, 5), kRed);   // left
    EXPECT_EQ(c.At(10, 1), kBlue); // top-right corner
    EXPECT_EQ(c.At(1, 8), kBlue);  // bottom-left corner
    EXPECT_EQ(c.At(10, 5), kBlue); // right
    EXPECT_EQ(c.At(5, 8), kBlue);  // bottom
    EXPECT_EQ(c.Painted(), Outline(1, 1, 10, 8));
}

TEST(DCGeometry, DrawFocusRectInvertsEveryOtherEdgePixelAndSecondCallErases)
{
    Canvas c;
    const QImage before = c.image;
    {
        CDC dc(&c.image);
        dc.DrawFocusRect(CRect(2, 2, 12, 8));
    }
    EXPECT_EQ(c.At(2, 2), kBlack);
    EXPECT_NE(c.At(3, 2), kBlack);
    EXPECT_EQ(c.At(4, 2), kBlack);
    EXPECT_EQ(c.At(11, 3), kBlack);
    EXPECT_NE(c.At(11, 2), kBlack);
    EXPECT_NE(c.At(5, 5), kBlack);  // inside untouched
    for (auto [x, y] : c.Painted()) {
        EXPECT_TRUE(Outline(2, 2, 11, 7).count({x, y})) << x << "," << y;
        EXPECT_EQ((x + y) % 2, 0);
    }
    {
        CDC dc(&c.image);
        dc.DrawFocusRect(CRect(2, 2, 12, 8));
    }
    EXPECT_EQ(c.image, before);
}

TEST(DCGeometry, WindowOriginShiftsEveryDrawing)
{
    Canvas c;
    {
        CDC dc(&c.image);
        EXPECT_EQ(dc.SetWindowOrg(-10, -5), CPoint(0, 0));
        dc.SetPixel(0, 0, kRed);
        dc.OffsetWindowOrg(5, 0);
        EXPECT_EQ(dc.GetWindowOrg(), CPoint(-5, -5));
        dc.FillSolidRect(0, 0, 1, 1, kBlue);
        dc.SetViewportOrg(1, 1);
        dc.SetPixel(0, 0, kBlack);
    }
    EXPECT_EQ(c.At(10, 5), kRed);
    EXPECT_EQ(c.At(5, 5), kBlue);
    EXPECT_EQ(c.At(6, 6), kBlack);
}

TEST(DCGeometry, ClippingLimitsDrawingAndStaysInDeviceSpace)
{
    Canvas c;
    CDC dc(&c.image);
    CRect box;
    EXPECT_EQ(dc.GetClipBox(&box), SIMPLEREGION);
    EXPECT_EQ(box, CRect(0, 0, 40, 30));
    dc.IntersectClipRect(5, 5, 10, 10);
    dc.SetWindowOrg(2, 0);  // the clip does not move with the origin
    dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(7, 5, 12, 10));
    dc.FillSolidRect(0, 0, 40, 30, kRed);
    dc.SelectClipRgn(nullptr);
    dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(2, 0, 42, 30));
    dc.DeleteDC();  // ends painting
    EXPECT_EQ(c.Bounds(), QRect(5, 5, 5, 5));
}

TEST(DCGeometry, BitBltAndStretchBltCopyExactPixels)
{
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    CBitmap bmp;
    ASSERT_TRUE(bmp.CreateCompatibleBitmap(nullptr, 4, 2));
    CBitmap* prev = mem.SelectObject(&bmp);
    ASSERT_NE(prev, nullptr);
    mem.SetPixel(0, 0, kRed);
    mem.SetPixel(3, 1, kBlue);
    mem.SetPixel(1, 0, RGB(1, 2, 3));
    EXPECT_EQ(mem.GetPixel(1, 0), RGB(1, 2, 3));

    Canvas c;
    {
        CDC dc(&c.image);
        dc.BitBlt(10, 10, 4, 2, &mem, 0, 0, SRCCOPY);
        dc.StretchBlt(20, 20, 8, 4, &mem, 0, 0, 4, 2, SRCCOPY);
    }
    EXPECT_EQ(c.At(10, 10), kRed);
    EXPECT_EQ(c.At(11, 10), RGB(1, 2, 3));
    EXPECT_EQ(c.At(13, 11), kBlue);
    EXPECT_EQ(c.At(12, 10), kBlack);
    for (auto [x, y] : {std::pair{20, 20}, {21, 20}, {20, 21}, {21, 21}}) EXPECT_EQ(c.At(x, y), kRed);
    for (auto [x, y] : {std::pair{26, 22}, {27, 23}}) EXPECT_EQ(c.At(x, y), kBlue);
    EXPECT_EQ(c.At(28, 23), RGB(255, 255, 255));
    mem.SelectObject(prev);
}

TEST(DCGeometry, SelectObjectReturnsThePreviousAndSaveRestoreBringsObjectsBack)
{
    Canvas c;
    CDC dc(&c.image);
    CPen red(PS_SOLID, 1, kRed), blue(PS_SOLID, 1, kBlue);
    CPen* stock = dc.SelectObject(&red);
    EXPECT_EQ(stock, CPen::Stock(BLACK_PEN));
    EXPECT_EQ(dc.SelectObject(&blue), &red);

    const int level = dc.SaveDC();
    dc.SelectObject(&red);
    dc.SetTextColor(kRed);
    dc.SetWindowOrg(3, 3);
    dc.IntersectClipRect(0, 0, 1, 1);
    EXPECT_TRUE(dc.RestoreDC(level));
    EXPECT_EQ(dc.GetCurrentPen(), &blue);
    EXPECT_EQ(dc.GetTextColor(), kBlack);
    EXPECT_EQ(dc.GetWindowOrg(), CPoint(0, 0));
    CRect box;
    dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(0, 0, 40, 30));
    EXPECT_FALSE(dc.RestoreDC(-1));
}

TEST(DCGeometry, AnObjectDestroyedWhileSelectedKeepsDrawingAndComesBackAsAWrapper)
{
    Canvas c;
    CDC dc(&c.image);
    auto pen = std::make_unique<CPen>(PS_SOLID, 1, kRed);
    dc.SelectObject(pen.get());
    pen.reset();
    dc.MoveTo(0, 0);
    dc.LineTo(3, 0);
    CPen other(PS_SOLID, 1, kBlue);
    CPen* previous = dc.SelectObject(&other);
    ASSERT_NE(previous, nullptr);
    LOGPEN log;
    ASSERT_EQ(previous->GetLogPen(&log), int(sizeof log));
    EXPECT_EQ(log.lopnColor, kRed);
    dc.SelectObject(previous);
    dc.DeleteDC();  // ends painting
    EXPECT_EQ(c.At(2, 0), kRed);
}

TEST(DCGeometry, ABitmapPaintsInOneMemoryDCAtATime)
{
    CDC a, b;
    a.CreateCompatibleDC(nullptr);
    b.CreateCompatibleDC(nullptr);
    CBitmap bmp;
    bmp.CreateBitmap(2, 2);
    EXPECT_NE(a.SelectObject(&bmp), nullptr);
    EXPECT_EQ(b.SelectObject(&bmp), nullptr);
    CDC window;
    EXPECT_EQ(window.SelectObject(&bmp), nullptr);
}

TEST(DCGeometry, DrawStateDisabledEmbossesTheIconShape)
{
    QImage pic(4, 4, QImage::Format_ARGB32);
    pic.fill(Qt::transparent);
    pic.setPixel(1, 1, qRgb(200, 0, 0));
    HICON icon = CreateIconFromImage(pic);
    Canvas c;
    {
        CDC dc(&c.image);
        dc.FillSolidRect(0, 0, 40, 30, GetSysColor(COLOR_BTNFACE));
        dc.DrawState(CPoint(10, 10), CSize(), icon, DST_ICON | DSS_DISABLED);
        dc.DrawState(CPoint(20, 10), CSize(), icon, DST_ICON);
    }
    EXPECT_EQ(c.At(11, 11), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(c.At(12, 12), GetSysColor(COLOR_3DHILIGHT));
    EXPECT_EQ(c.At(10, 10), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(c.At(21, 11), RGB(200, 0, 0));
    DestroyIcon(icon);
}

TEST(SysColor, ClassicSchemeAndOutOfRange)
{
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), RGB(64, 64, 64));
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(999), 0u);
}

}  // namespace
