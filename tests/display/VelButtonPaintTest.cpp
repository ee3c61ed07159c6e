#include "display/VelButton.h"
#include "DisplayFixtures.h"

#include "platform/ColorRef.h"
#include "platform/DC.h"
#include "platform/Icon.h"
#include "platform/SysColor.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace plat;

namespace {

constexpr QRgb kHostColour = qRgb(10, 120, 30);
const QRect kButtonRect(20, 20, 100, 40);

QRgb Sys(int index)
{
    return Rgb(ToQRgb(GetSysColor(index)));
}

// A button whose hover look can be shown without moving the pointer.
class PreviewButton : public CVelButton {
public:
    using CVelButton::CVelButton;
    using CVelButton::SetHoverLook;
};

HICON SolidIcon(QRgb colour, int size = 8)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(colour);
    return CreateIconFromImage(image);
}

class VelButtonPaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        button = new PreviewButton(&host);
        button->setGeometry(kButtonRect);
    }

    // Pixel of the button at a point in its own coordinates.
    QRgb At(const QImage& shot, int x, int y) const
    {
        return Rgb(shot.pixel(kButtonRect.x() + x, kButtonRect.y() + y));
    }

    QRect ButtonInk(const QImage& shot, QRgb ink) const
    {
        const QRect box = InkBounds(shot, kButtonRect, [ink](QRgb c) { return Rgb(c) == Rgb(ink); });
        return box.translated(-kButtonRect.topLeft());
    }

    SolidHost host{kHostColour};
    PreviewButton* button = nullptr;
};

struct Edges {
    QRgb top, left, bottom, right;
};

Edges OuterEdges(const QImage& shot, const QRect& r)
{
    const int midX = r.x() + r.width() / 2;
    const int midY = r.y() + r.height() / 2;
    return {Rgb(shot.pixel(midX, r.top())), Rgb(shot.pixel(r.left(), midY)), Rgb(shot.pixel(midX, r.bottom())),
            Rgb(shot.pixel(r.right(), midY))};
}

void ExpectEdges(const Edges& e, QRgb topLeft, QRgb bottomRight, const char* what)
{
    EXPECT_EQ(e.top, topLeft) << what;
    EXPECT_EQ(e.left, topLeft) << what;
    EXPECT_EQ(e.bottom, bottomRight) << what;
    EXPECT_EQ(e.right, bottomRight) << what;
}

TEST_F(VelButtonPaint, FrameColoursOfEachStyle)
{
    const QRgb h = Sys(COLOR_BTNHIGHLIGHT), s = Sys(COLOR_BTNSHADOW), d = Sys(COLOR_3DDKSHADOW);
    const QRgb face = Sys(COLOR_BTNFACE), host_ = Rgb(kHostColour);
    const QRect inner = kButtonRect.adjusted(1, 1, -1, -1);

    button->SetButtonFlat();
    ExpectEdges(OuterEdges(Snapshot(host), kButtonRect), host_, host_, "flat, idle: no frame");
    button->SetButtonSemiflat();
    ExpectEdges(OuterEdges(Snapshot(host), kButtonRect), h, s, "semi-flat");
    button->SetButtonNormal();
    QImage shot = Snapshot(host);
    ExpectEdges(OuterEdges(shot, kButtonRect), h, d, "normal, outer");
    ExpectEdges(OuterEdges(shot, inner), face, s, "normal, inner");
    button->SetButtonNoBorder();
    ExpectEdges(OuterEdges(Snapshot(host), kButtonRect), host_, host_, "no border");
}

TEST_F(VelButtonPaint, DefaultAddsABlackFrame)
{
    const QRgb black = qRgb(0, 0, 0);
    button->SetButtonSemiflat();
    button->SetButtonDefault();
    const QImage shot = Snapshot(host);
    ExpectEdges(OuterEdges(shot, kButtonRect), black, black, "default, outer");
    ExpectEdges(OuterEdges(shot, kButtonRect.adjusted(1, 1, -1, -1)), Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW),
                "default, inner");
    button->SetButtonFlat();
    ExpectEdges(OuterEdges(Snapshot(host), kButtonRect), Rgb(kHostColour), Rgb(kHostColour), "flat has no black frame");
}

TEST_F(VelButtonPaint, CheckedIsSunkenInEveryFramedStyle)
{
    const QRgb h = Sys(COLOR_BTNHIGHLIGHT), s = Sys(COLOR_BTNSHADOW), d = Sys(COLOR_3DDKSHADOW);
    button->SetButtonChecked(TRUE);
    button->SetButtonFlat();
    ExpectEdges(OuterEdges(Snapshot(host), kButtonRect), s, h, "flat");
    button->SetButtonSemiflat();
    ExpectEdges(OuterEdges(Snapshot(host), kButtonRect), s, h, "semi-flat");
    button->SetButtonNormal();
    ExpectEdges(OuterEdges(Snapshot(host), kButtonRect), d, h, "normal");
    EXPECT_TRUE(button->IsChecked());
}

TEST_F(VelButtonPaint, CheckedCarriesADottedRectangleOnePixelInside)
{
    button->SetButtonNoBorder();
    button->SetTransparent(FALSE);
    button->SetBkgOutColor(RGB(200, 200, 200));
    button->setText(QString());
    button->SetButtonChecked(TRUE);
    const QImage shot = Snapshot(host);
    const QRgb ground = qRgb(200, 200, 200);
    int dots = 0;
    for (int x = 10; x < 90; ++x) {
        const QRgb c = At(shot, x, 1);
        const bool dot = c != ground;
        dots += dot;
        if (x > 10) {
            EXPECT_NE(dot, At(shot, x - 1, 1) != ground) << "dots alternate at x " << x;
        }
    }
    EXPECT_EQ(dots, 40);
    EXPECT_EQ(At(shot, 50, 0), ground);  // the edge itself stays
    EXPECT_EQ(At(shot, 50, 5), ground);
    EXPECT_NE(At(shot, 1, 20) != ground, At(shot, 1, 21) != ground);  // left side dotted too
}

TEST_F(VelButtonPaint, TransparentShowsTheParentExceptWhileHovered)
{
    button->SetButtonNoBorder();
    button->setText(QString());
    button->SetBkgInColor(RGB(200, 0, 0));
    button->SetBkgOutColor(RGB(0, 0, 200));
    EXPECT_EQ(At(Snapshot(host), 50, 20), Rgb(kHostColour));
    button->SetHoverLook(TRUE);
    EXPECT_EQ(At(Snapshot(host), 50, 20), qRgb(200, 0, 0));
    button->SetHoverLook(FALSE);
    button->SetTransparent(FALSE);
    EXPECT_EQ(At(Snapshot(host), 50, 20), qRgb(0, 0, 200));
}

TEST_F(VelButtonPaint, HoverLookFollowsRealMouseEvents)
{
    button->SetButtonFlat();
    button->SetBkgInColor(RGB(200, 0, 0));
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));

    QTest::mouseMove(button, QPoint(5, 5));
    QTRY_VERIFY_WITH_TIMEOUT(button->IsHover(), 2000);
    QImage shot = Snapshot(host);
    EXPECT_EQ(At(shot, 50, 20), qRgb(200, 0, 0));
    ExpectEdges(OuterEdges(shot, kButtonRect), Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW), "flat, hovered");

    QTest::mouseMove(&host, QPoint(200, 140));
    QTRY_VERIFY_WITH_TIMEOUT(!button->IsHover(), 2000);
    shot = Snapshot(host);
    EXPECT_EQ(At(shot, 50, 20), Rgb(kHostColour));
    ExpectEdges(OuterEdges(shot, kButtonRect), Rgb(kHostColour), Rgb(kHostColour), "flat, left");
}

TEST_F(VelButtonPaint, FlatWithoutHoverBorderNeverFramesUnlessChecked)
{
    button->SetButtonFlat();
    button->SetHasFlatBorder(FALSE);
    button->SetTransparent(FALSE);
    button->SetBkgInColor(RGB(200, 0, 0));
    button->SetHoverLook(TRUE);
    ExpectEdges(OuterEdges(Snapshot(host), kButtonRect), qRgb(200, 0, 0), qRgb(200, 0, 0), "hovered");
    button->setDown(true);
    ExpectEdges(OuterEdges(Snapshot(host), kButtonRect), qRgb(200, 0, 0), qRgb(200, 0, 0), "pressed");
}

TEST_F(VelButtonPaint, PressedIsSunken)
{
    const QRgb h = Sys(COLOR_BTNHIGHLIGHT), s = Sys(COLOR_BTNSHADOW), d = Sys(COLOR_3DDKSHADOW);
    button->setDown(true);
    button->SetButtonFlat();
    ExpectEdges(OuterEdges(Snapshot(host), kButtonRect), s, h, "flat");
    button->SetButtonSemiflat();
    ExpectEdges(OuterEdges(Snapshot(host), kButtonRect), s, h, "semi-flat");
    button->SetButtonNormal();
    const QImage shot = Snapshot(host);
    ExpectEdges(OuterEdges(shot, kButtonRect), d, h, "normal, outer");
    ExpectEdges(OuterEdges(shot, kButtonRect.adjusted(1, 1, -1, -1)), s, Sys(COLOR_BTNFACE), "normal, inner");
}

TEST_F(VelButtonPaint, IconMovesOnePixelWhenPressedWithoutPressedImage)
{
    const QRgb blue = qRgb(0, 0, 255), red = qRgb(255, 0, 0);
    button->setText(QString());
    button->SetIcon(CSize(8, 8), SolidIcon(blue), nullptr, nullptr);
    const QRect idle = ButtonInk(Snapshot(host), blue);
    ASSERT_EQ(idle.size(), QSize(8, 8));
    button->setDown(true);
    EXPECT_EQ(ButtonInk(Snapshot(host), blue), idle.translated(1, 1));

    button->setDown(false);
    button->SetIcon(CSize(8, 8), SolidIcon(blue), SolidIcon(red), nullptr);
    button->setDown(true);
    const QImage shot = Snapshot(host);
    EXPECT_EQ(ButtonInk(shot, red), idle);
    EXPECT_TRUE(ButtonInk(shot, blue).isEmpty());
}

TEST_F(VelButtonPaint, DisabledIconIsTheGreyCopy)
{
    button->setText(QString());
    button->SetIcon(CSize(8, 8), SolidIcon(qRgb(255, 0, 0)), nullptr, nullptr);
    ASSERT_NE(button->GetIcon(CVelButton::IconDisabled), nullptr);
    button->setEnabled(false);
    EXPECT_EQ(ButtonInk(Snapshot(host), qRgb(76, 76, 76)).size(), QSize(8, 8));
}

TEST_F(VelButtonPaint, IconsHandedBackGetCopiesOfTheirOwn)
{
    const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255);
    button->setText(QString());
    button->SetIcon(CSize(8, 8), SolidIcon(red), SolidIcon(blue), nullptr);
    const HICON hNormal = button->GetIcon(CVelButton::IconNormal);
    const HICON hPressed = button->GetIcon(CVelButton::IconPressed);
    button->SetDisabledIcon(hNormal);
    EXPECT_NE(button->GetIcon(CVelButton::IconDisabled), hNormal);
    // Swapped: each slot must still hold a live picture of the other's colour.
    button->SetIcon(CSize(8, 8), hPressed, hNormal, nullptr);
    EXPECT_EQ(IconImage(button->GetIcon(CVelButton::IconNormal)).pixel(4, 4), blue);
    EXPECT_EQ(IconImage(button->GetIcon(CVelButton::IconPressed)).pixel(4, 4), red);
}

TEST_F(VelButtonPaint, DisabledWithoutGreyCopyUsesTheSystemLook)
{
    const QRgb red = qRgb(255, 0, 0);
    button->setText(QString());
    button->SetAutoDisabled(FALSE);
    button->SetIcon(CSize(8, 8), SolidIcon(red), nullptr, nullptr);
    EXPECT_EQ(button->GetIcon(CVelButton::IconDisabled), nullptr);
    button->setEnabled(false);
    const QImage shot = Snapshot(host);
    EXPECT_TRUE(ButtonInk(shot, red).isEmpty());
    EXPECT_FALSE(ButtonInk(shot, Sys(COLOR_BTNSHADOW)).isEmpty());
}

TEST_F(VelButtonPaint, HoverDrawsTheEnlargedImage)
{
    const QRgb blue = qRgb(0, 0, 255);
    button->setText(QString());
    button->SetBigPercent(1.5f);
    button->SetIcon(CSize(8, 8), SolidIcon(blue), nullptr, nullptr);
    EXPECT_EQ(button->GetEnlargedSize(), CSize(12, 12));
    button->SetHoverLook(TRUE);
    EXPECT_EQ(ButtonInk(Snapshot(host), blue).size(), QSize(12, 12));
    button->SetHoverLook(FALSE);
    EXPECT_EQ(ButtonInk(Snapshot(host), blue).size(), QSize(8, 8));
}

TEST_F(VelButtonPaint, ExplicitHoverIconEndsAutoEnlarge)
{
    const QRgb blue = qRgb(0, 0, 255), green = qRgb(0, 255, 0);
    button->setText(QString());
    button->SetIcon(CSize(8, 8), SolidIcon(blue), nullptr, SolidIcon(green, 10));
    button->SetHoverLook(TRUE);
    const QImage shot = Snapshot(host);
    EXPECT_EQ(ButtonInk(shot, green).size(), QSize(10, 10));  // own size: no enlarged size was set
    EXPECT_TRUE(ButtonInk(shot, blue).isEmpty());
}

class VelButtonCaption : public VelButtonPaint {
protected:
    void SetUp() override
    {
        VelButtonPaint::SetUp();
        button->SetButtonNoBorder();
        button->SetTransparent(FALSE);
        button->SetBkgOutColor(RGB(255, 255, 255));
        button->SetTextColor(RGB(0, 0, 0));
        button->resize(kButtonRect.width(), 60);
    }

    // Ink bounds of the caption (anything darker than mid grey).
    QRect Caption(const QString& text)
    {
        button->setText(text);
        const QImage shot = Snapshot(host);
        const QRect area(kButtonRect.topLeft(), button->size());
        return InkBounds(shot, area, [](QRgb c) { return qGray(c) < 128; }).translated(-kButtonRect.topLeft());
    }

    CSize Extent(const QString& text)
    {
        CDC dc;
        CFont font;
        font.CreateFromQFont(button->font());
        CFont* old = dc.SelectObject(button->GetOwnFont() ? button->GetOwnFont() : &font);
        const CSize size = dc.GetTextExtent(text);
        dc.SelectObject(old);
        return size;
    }
};

TEST_F(VelButtonCaption, LinesAreCentredOnEachOther)
{
    const QRect one = Caption("MMMM");
    ASSERT_FALSE(one.isEmpty());
    EXPECT_NEAR(one.center().x(), button->width() / 2, 3);

    const QRect two = Caption("MMMMMMMM\nMM");
    ASSERT_FALSE(two.isEmpty());
    EXPECT_NEAR(two.center().x(), button->width() / 2, 3);
    // The short second line is centred under the long first one.
    const QImage shot = Snapshot(host);
    const int lineHeight = Extent("MM").cy;
    const QRect second = InkBounds(shot, QRect(kButtonRect.x(), kButtonRect.y() + two.top() + lineHeight,
                                               button->width(), two.bottom() - two.top() - lineHeight + 1),
                                   [](QRgb c) { return qGray(c) < 128; })
                             .translated(-kButtonRect.topLeft());
    ASSERT_FALSE(second.isEmpty());
    EXPECT_NEAR(second.center().x(), two.center().x(), 2);
    EXPECT_LT(second.width(), two.width() / 2 + 2);
}

TEST_F(VelButtonCaption, TrailingLineFeedAddsAnEmptyLine)
{
    const QRect single = Caption("Mx");
    const QRect trailing = Caption("Mx\n");
    const int h = Extent("Mx").cy;
    // A block of two lines starts half a line higher.
    EXPECT_NEAR(single.top() - trailing.top(), h / 2, 1);
    EXPECT_EQ(single.height(), trailing.height());
}

TEST_F(VelButtonCaption, AmpersandsAreMnemonics)
{
    EXPECT_EQ(Caption("&Go"), Caption("Go"));  // no underline either
    const int plain = Caption("AB").width();
    const int one = Caption("A&&B").width();
    const int two = Caption("A&&&&B").width();
    EXPECT_GT(one, plain);
    EXPECT_GT(two, one);
}

TEST_F(VelButtonCaption, AlignmentBits)
{
    button->SetAlignStyle(CVelButton::kAlignLeft);
    const QRect left = Caption("MM");
    button->SetAlignStyle(CVelButton::kAlignRight);
    const QRect right = Caption("MM");
    const int w = Extent("MM").cx;
    EXPECT_NEAR(left.left(), 4 + 8, 2);                      // border gap and the icon's image gap
    EXPECT_NEAR(right.right() + 1, button->width() - 4, 2);  // border gap from the right
    EXPECT_LE(right.width(), w);
}

TEST_F(VelButtonCaption, DisabledTextIsGrey)
{
    button->SetTextColor(RGB(255, 0, 0));
    button->setEnabled(false);
    button->setText("MMMM");
    const QImage shot = Snapshot(host);
    const QRgb grey = Sys(COLOR_GRAYTEXT);
    EXPECT_FALSE(InkBounds(shot, kButtonRect, [grey](QRgb c) { return Rgb(c) == grey; }).isEmpty());
    EXPECT_TRUE(InkBounds(shot, kButtonRect, [](QRgb c) { return Rgb(c) == qRgb(255, 0, 0); }).isEmpty());
}

TEST_F(VelButtonCaption, OneTextColourServesAllThree)
{
    button->SetTextColor(RGB(255, 0, 0), 0, 0);
    button->setText("MMMM");
    const auto red = [](QRgb c) { return Rgb(c) == qRgb(255, 0, 0); };
    EXPECT_FALSE(InkBounds(Snapshot(host), kButtonRect, red).isEmpty());
    button->SetHoverLook(TRUE);
    button->SetBkgInColor(RGB(255, 255, 255));
    EXPECT_FALSE(InkBounds(Snapshot(host), kButtonRect, red).isEmpty());
}

TEST_F(VelButtonCaption, OwnFontIsForTheCaptionOnly)
{
    const QFont windowFont = button->font();
    const int before = Caption("Mx").height();
    button->SetFontSize(-30, 700);
    ASSERT_NE(button->GetOwnFont(), nullptr);
    const LOGFONT* lf = button->GetOwnFont()->Log();
    ASSERT_NE(lf, nullptr);
    EXPECT_EQ(lf->lfHeight, -30);
    EXPECT_EQ(lf->lfWeight, 700);
    EXPECT_STREQ(lf->lfFaceName, "Microsoft Sans Serif");
    EXPECT_EQ(button->font(), windowFont);
    EXPECT_GT(Caption("Mx").height(), before);
}

TEST(VelButton, ToolTipCoversTheButton)
{
    CVelButton button;
    button.resize(80, 30);
    EXPECT_EQ(button.GetToolTipCtrl(), nullptr);
    button.SetToolTip(QStringLiteral("启动"));
    ASSERT_NE(button.GetToolTipCtrl(), nullptr);
    EXPECT_EQ(button.GetToolTipCtrl()->TextAt(&button, QPoint(1, 1)), QStringLiteral("启动"));
    EXPECT_EQ(button.GetToolTipCtrl()->TextAt(&button, QPoint(79, 29)), QStringLiteral("启动"));
    button.SetToolTip(QStringLiteral("停止"));
    EXPECT_EQ(button.GetToolTipCtrl()->GetToolCount(), 1);
    EXPECT_EQ(button.GetToolTipCtrl()->TextAt(&button, QPoint(40, 15)), QStringLiteral("停止"));
}

TEST(VelButton, RunTimeClassName)
{
    CVelButton button;
    EXPECT_STREQ(button.metaObject()->className(), "CVelButton");
}

}  // namespace
