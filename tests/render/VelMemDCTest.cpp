#include "render/VelMemDC.h"

#include "platform/ColorRef.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace plat;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

struct Target {
    QImage image{200, 120, QImage::Format_RGB32};
    Target() { image.fill(Qt::white); }
    COLORREF At(int x, int y) const { return FromQRgb(image.pixel(x, y)); }
};

TEST(VelMemDC, OriginLandsOnTheAreaTopLeftAndOnlyTheAreaIsCopied)
{
    Target t;
    {
        CDC target(&t.image);
        {
            CVelMemDC mem(&target, CRect(10, 20, 110, 70), kGreen);
            ASSERT_TRUE(mem.IsReady());
            mem.SetPixel(0, 0, kRed);
            mem.SetPixel(99, 49, kRed);
            mem.SetPixel(100, 50, kRed);  // outside the buffer
            EXPECT_EQ(t.At(10, 20), RGB(255, 255, 255)) << "nothing reaches the target before destruction";
        }
    }
    EXPECT_EQ(t.At(10, 20), kRed);
    EXPECT_EQ(t.At(109, 69), kRed);
    EXPECT_EQ(t.At(11, 20), kGreen);
    EXPECT_EQ(t.At(110, 70), RGB(255, 255, 255));
    EXPECT_EQ(t.At(9, 20), RGB(255, 255, 255));
    EXPECT_EQ(t.At(10, 19), RGB(255, 255, 255));
}

TEST(VelMemDC, ClearColourRule)
{
    for (COLORREF bkg : {COLORREF(0), kGreen, COLORREF(0xFFFFFFFF)}) {
        Target t;
        {
            CDC target(&t.image);
            CVelMemDC mem(&target, CRect(0, 0, 10, 10), bkg);
        }
        // Black clears like any other colour; 0xFFFFFFFF leaves the new
        // bitmap as created, which is black, never the fill value itself.
        const COLORREF expected = bkg == 0xFFFFFFFF ? 0 : bkg;
        EXPECT_EQ(t.At(5, 5), expected) << std::hex << bkg;
    }
}

TEST(VelMemDC, EmptyRectCoversTheTargetClipBox)
{
    Target t;
    {
        CDC target(&t.image);
        target.IntersectClipRect(30, 40, 60, 50);
        CVelMemDC mem(&target, CRect(), kGreen);
        EXPECT_EQ(mem.GetArea(), CRect(30, 40, 60, 50));
        mem.SetPixel(0, 0, kRed);
    }
    EXPECT_EQ(t.At(30, 40), kRed);
    EXPECT_EQ(t.At(59, 49), kGreen);
    EXPECT_EQ(t.At(60, 49), RGB(255, 255, 255));
}

TEST(VelMemDC, TargetWindowOriginPlacesTheArea)
{
    Target t;
    {
        CDC target(&t.image);
        target.SetWindowOrg(-5, -5);
        CVelMemDC mem(&target, CRect(0, 0, 4, 4), kRed);
    }
    EXPECT_EQ(t.At(5, 5), kRed);
    EXPECT_EQ(t.At(4, 4), RGB(255, 255, 255));
}

TEST(VelMemDC, NoTargetOrNoAreaCopiesNothingAndDrawsSafely)
{
    {
        CVelMemDC mem(nullptr, CRect(0, 0, 10, 10), kGreen);
        mem.Rectangle(0, 0, 5, 5);
    }
    Target t;
    {
        CDC target(&t.image);
        target.IntersectClipRect(0, 0, 0, 0);
        CVelMemDC mem(&target, CRect(), kGreen);
        EXPECT_FALSE(mem.IsReady());
        mem.FillSolidRect(0, 0, 10, 10, kRed);
    }
    EXPECT_EQ(t.At(0, 0), RGB(255, 255, 255));
}

TEST(VelMemDC, KeptBufferIsReusedWhileTheAreaKeepsItsSize)
{
    CBitmap kept;
    Target t;
    const uchar* pFirst = nullptr;
    struct Paint {
        CRect rc;
        COLORREF crBkg;
        bool bSameBuffer;  // the one of the paint before
        COLORREF crAtOrigin;
    };
    // 0xFFFFFFFF leaves a kept buffer as the last paint left it.
    const Paint paints[] = {{CRect(10, 10, 60, 40), kGreen, false, kRed},
                            {CRect(20, 30, 70, 60), 0xFFFFFFFF, true, kRed},
                            {CRect(0, 0, 50, 31), kGreen, false, kRed},
                            {CRect(0, 0, 50, 31), 0xFFFFFFFF, true, kRed}};
    for (const Paint& p : paints) {
        {
            CDC target(&t.image);
            CVelMemDC mem(&target, p.rc, p.crBkg, &kept);
            ASSERT_TRUE(mem.IsReady());
            if (p.crBkg != 0xFFFFFFFF) mem.SetPixel(0, 0, kRed);
        }
        ASSERT_NE(kept.ImageData(), nullptr);
        EXPECT_EQ(kept.GetSize(), CSize(p.rc.Width(), p.rc.Height()));
        // A new buffer may land where the old one was; a kept one must.
        if (p.bSameBuffer) {
            EXPECT_EQ(kept.ImageData()->constBits(), pFirst) << p.rc.left;
        }
        pFirst = kept.ImageData()->constBits();
        EXPECT_EQ(t.At(p.rc.left, p.rc.top), p.crAtOrigin) << p.rc.left;
        EXPECT_EQ(t.At(p.rc.left + 1, p.rc.top), kGreen) << p.rc.left;
    }
    // The kept buffer is free again: another DC can draw into it.
    CDC other;
    other.CreateCompatibleDC(nullptr);
    EXPECT_NE(other.SelectObject(&kept), nullptr);
}

}  // namespace
