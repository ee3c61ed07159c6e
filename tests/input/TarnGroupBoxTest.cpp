#include "input/TarnGroupBox.h"
#include "InputFixtures.h"

#include "platform/DC.h"
#include "platform/ResourceModule.h"
#include "platform/SysColor.h"

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace plat;

namespace {

constexpr QRgb kGround = qRgb(200, 200, 200);
constexpr COLORREF kRed = RGB(255, 0, 0);

// A parent in one colour that counts its paintings.
class Host : public QWidget {
public:
    explicit Host(QSize size = {300, 160}) { resize(size); }
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        ++paints;
        QPainter(this).fillRect(rect(), QColor(kGround));
    }
};

class CountingBox : public CTarnGroupBox {
public:
    using CTarnGroupBox::CTarnGroupBox;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* e) override
    {
        ++paints;
        CTarnGroupBox::paintEvent(e);
    }
};

// Box at (20, 20), 200 × 100, red frame, on a grey host.
struct Scene {
    Host host;
    CountingBox* box;
    explicit Scene(const QString& title)
    {
        box = new CountingBox(title, &host);
        box->setGeometry(20, 20, 200, 100);
        box->SetBorderColor(kRed);
    }
    QImage Shot() { return host.grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

CSize CaptionExtent(const CTarnGroupBox& box, const QString& caption)
{
    CDC dc;
    dc.SelectObject(const_cast<CFont*>(&box.GetCaptionFont()));
    return dc.GetTextExtent(caption);
}

bool IsRed(QRgb c)
{
    return c == qRgb(255, 0, 0);
}

TEST(TarnGroupBox, CaptionKeepsOneSpaceClearOnEachSide)
{
    Scene s(QStringLiteral("Word"));
    EXPECT_EQ(s.box->GetCaption(), QStringLiteral(" Word "));
    const CSize ext = CaptionExtent(*s.box, QStringLiteral(" Word "));
    const int space = CaptionExtent(*s.box, QStringLiteral(" ")).cx;
    ASSERT_GT(space, 0);
    const QImage shot = s.Shot();
    const int y = 20 + 1 + ext.cy / 2;  // the top edge of the frame
    const int gapLeft = 20 + 1 + 10, gapRight = gapLeft + ext.cx;
    EXPECT_TRUE(IsRed(shot.pixel(gapLeft - 1, y)));
    EXPECT_TRUE(IsRed(shot.pixel(gapRight, y)));
    for (int x = gapLeft; x < gapRight; ++x)
        EXPECT_FALSE(IsRed(shot.pixel(x, y))) << "the frame runs under the caption at x " << x;
    // The word itself starts a space in and ends a space before the line resumes.
    const QRect ink = InkBox(shot, QRect(gapLeft, 21, ext.cx, ext.cy), kGround);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), gapLeft + space - 1);
    EXPECT_LE(ink.right(), gapRight - space + 1);
}

TEST(TarnGroupBox, EmptyCaptionDrawsTheFrameFromTheTop)
{
    Scene s{QString()};
    EXPECT_TRUE(s.box->GetCaption().isEmpty());
    const QImage shot = s.Shot();
    // The top edge is the client's first line inside the 1-pixel margin.
    for (int x = 20 + 1 + 6; x < 20 + 199 - 6; ++x)
        ASSERT_TRUE(IsRed(shot.pixel(x, 21))) << x;
    EXPECT_FALSE(IsRed(shot.pixel(100, 20)));
    // Nothing but the frame: the inside keeps the host's colour.
    const QRect inside(20 + 6, 20 + 6, 188, 88);  // clear of the rounded corners
    EXPECT_EQ(CountColour(shot, inside, kGround), inside.width() * inside.height());
}

TEST(TarnGroupBox, SetTextWinsOverTheTitle)
{
    Scene s(QStringLiteral("Title"));
    s.box->SetText(QStringLiteral("Speed"));
    EXPECT_EQ(s.box->GetCaption(), QStringLiteral(" Speed "));
    s.box->setTitle(QStringLiteral("Other"));
    EXPECT_EQ(s.box->GetCaption(), QStringLiteral(" Speed "));
    Scene t(QStringLiteral("Title"));
    t.box->setTitle(QStringLiteral("Torque"));
    EXPECT_EQ(t.box->GetCaption(), QStringLiteral(" Torque "));
}

TEST(TarnGroupBox, FontSettersRebuildTheCaptionFont)
{
    Scene s(QStringLiteral("Word"));
    LOGFONT light = s.box->GetLogFont();
    light.lfWeight = FW_LIGHT;
    s.box->SetFont(light);
    EXPECT_EQ(s.box->GetCaptionFont().Log()->lfWeight, FW_LIGHT);

    struct Case {
        const char* what;
        std::function<void(CTarnGroupBox&)> set;
        std::function<bool(const LOGFONT&)> holds;
    };
    const Case cases[] = {
        {"not bold is 400", [](CTarnGroupBox& b) { b.SetFontBold(FALSE); }, [](const LOGFONT& lf) { return lf.lfWeight == 400; }},
        {"bold is 700", [](CTarnGroupBox& b) { b.SetFontBold(TRUE); }, [](const LOGFONT& lf) { return lf.lfWeight == 700; }},
        {"italic", [](CTarnGroupBox& b) { b.SetFontItalic(TRUE); }, [](const LOGFONT& lf) { return lf.lfItalic == 1; }},
        {"underline", [](CTarnGroupBox& b) { b.SetFontUnderline(TRUE); }, [](const LOGFONT& lf) { return lf.lfUnderline == 1; }},
        {"underline off", [](CTarnGroupBox& b) { b.SetFontUnderline(FALSE); }, [](const LOGFONT& lf) { return lf.lfUnderline == 0; }},
        {"face and character set",
         [](CTarnGroupBox& b) { b.SetFontName(QStringLiteral("DejaVu Sans"), GB2312_CHARSET); },
         [](const LOGFONT& lf) { return QString::fromUtf8(lf.lfFaceName) == "DejaVu Sans" && lf.lfCharSet == GB2312_CHARSET; }},
        {"long face cut to 31 bytes",
         [](CTarnGroupBox& b) { b.SetFontName(QString(40, u'x')); },
         [](const LOGFONT& lf) { return QString::fromUtf8(lf.lfFaceName) == QString(31, u'x'); }},
        {"long CJK face cut on a character",
         [](CTarnGroupBox& b) { b.SetFontName(QString(12, QChar(0x5B8B))); },
         [](const LOGFONT& lf) { return QString::fromUtf8(lf.lfFaceName) == QString(10, QChar(0x5B8B)); }},
    };
    for (const Case& c : cases) {
        c.set(*s.box);
        EXPECT_TRUE(c.holds(s.box->GetLogFont())) << c.what;
        ASSERT_NE(s.box->GetCaptionFont().Log(), nullptr);
        EXPECT_TRUE(c.holds(*s.box->GetCaptionFont().Log())) << c.what << " (caption font)";
    }
}

TEST(TarnGroupBox, CaptionFontFollowsTheWidgetUntilSetOwn)
{
    Host host;
    QFont big = host.font();
    big.setPixelSize(30);
    auto* box = new CTarnGroupBox(QStringLiteral("Word"));
    box->setParent(&host);  // takes the parent's font once it has one
    host.setFont(big);
    EXPECT_EQ(box->GetLogFont().lfHeight, -30);
    EXPECT_EQ(box->GetCaptionFont().Log()->lfHeight, -30);

    box->SetFontBold(TRUE);
    big.setPixelSize(12);
    host.setFont(big);
    EXPECT_EQ(box->GetLogFont().lfHeight, -30) << "a font set on the box stays";
    EXPECT_EQ(box->GetLogFont().lfWeight, FW_BOLD);
}

TEST(TarnGroupBox, FontSizeTakesThePointFontsHeight)
{
    Scene s(QStringLiteral("Word"));
    s.box->SetFontName(QStringLiteral("DejaVu Sans"));
    for (int points : {8, 12, 20}) {
        s.box->SetFontSize(points);
        CFont reference;
        reference.CreatePointFont(points * 10, "DejaVu Sans");
        EXPECT_EQ(s.box->GetLogFont().lfHeight, reference.Log()->lfHeight) << points;
        EXPECT_EQ(s.box->GetCaptionFont().Log()->lfHeight, reference.Log()->lfHeight) << points;
    }
    const int small = CaptionExtent(*s.box, QStringLiteral("Word")).cy;
    s.box->SetFontSize(8);
    EXPECT_LT(CaptionExtent(*s.box, QStringLiteral("Word")).cy, small);
}

TEST(TarnGroupBox, SwitchingLooksRepaintsBoxAndParentBehind)
{
    Scene s(QStringLiteral("Word"));
    s.host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&s.host));
    const int hostBefore = s.host.paints, boxBefore = s.box->paints;
    CTarnGroupBox& same = s.box->SetXPGroupStyle(CTarnGroupBox::XPGB_WINDOW);
    EXPECT_EQ(&same, s.box);
    EXPECT_GT(s.host.paints, hostBefore);
    EXPECT_GT(s.box->paints, boxBefore);

    // The window look separates a caption band from the body.
    const QImage shot = s.Shot();
    const int ch = CaptionExtent(*s.box, QStringLiteral(" Word ")).cy;
    EXPECT_TRUE(IsRed(shot.pixel(120, 20 + 1 + ch + 4)));
    EXPECT_TRUE(IsRed(shot.pixel(120, 21)));  // the box's own top edge
    s.host.hide();
}

TEST(TarnGroupBox, SettersChainAndStore)
{
    Scene s(QStringLiteral("Word"));
    s.box->SetBorderColor(0x112233).SetCatptionTextColor(0x445566).SetBackgroundColor(0x778899);
    EXPECT_EQ(s.box->GetBorderColor(), 0x112233u);
    EXPECT_EQ(s.box->GetCaptionTextColor(), 0x445566u);
    EXPECT_EQ(s.box->GetBackgroundColor1(), 0x778899u);
    EXPECT_EQ(s.box->GetBackgroundColor2(), 0x778899u);
    s.box->SetBackgroundColor(1, 2).SetXPGroupStyle(CTarnGroupBox::XPGB_FRAME);
    EXPECT_EQ(s.box->GetBackgroundColor1(), 1u);
    EXPECT_EQ(s.box->GetBackgroundColor2(), 2u);

    CTarnGroupBox fresh;
    EXPECT_EQ(fresh.GetBorderColor(), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(fresh.GetCaptionTextColor(), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(fresh.GetBackgroundColor1(), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(fresh.GetXPGroupStyle(), CTarnGroupBox::XPGB_FRAME);
}

TEST(TarnGroupBox, BackgroundColoursFillCaptionAndBody)
{
    const COLORREF c1 = RGB(10, 120, 200), c2 = RGB(240, 230, 90);
    for (auto look : {CTarnGroupBox::XPGB_FRAME, CTarnGroupBox::XPGB_WINDOW}) {
        Scene s(QStringLiteral("W"));
        s.box->SetXPGroupStyle(look);
        const QImage plain = s.Shot();
        EXPECT_EQ(plain.pixel(120, 90), kGround) << "nothing is filled before the colours are set";
        s.box->SetBackgroundColor(c1, c2);
        const QImage shot = s.Shot();
        EXPECT_EQ(shot.pixel(120, 90), PixelOf(c2)) << "body, look " << look;
        // Caption ground, right of the text inside the caption rectangle.
        const CSize ext = CaptionExtent(*s.box, QStringLiteral(" W "));
        const int left = look == CTarnGroupBox::XPGB_FRAME ? 20 + 1 + 10 : 20 + 1 + 2;
        const int top = look == CTarnGroupBox::XPGB_FRAME ? 21 : 23;
        EXPECT_EQ(shot.pixel(left + ext.cx - 1, top), PixelOf(c1)) << "caption, look " << look;
    }
}

// A picture whose every pixel tells where it lies: red = x, green = y.
QImage Gradient(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, 77));
    return image;
}

TEST(TarnGroupBox, CaptionGroundIsTheParentsPieceOfTheBitmap)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QDir(dir.path()).mkpath(QStringLiteral("bitmaps"));
    ASSERT_TRUE(Gradient({220, 120}).save(dir.filePath(QStringLiteral("bitmaps/7001.png"))));
    CResourceModule program(QStringLiteral("test"), dir.path());
    CResourceModule* previous = CResourceModule::SetProgram(&program);

    Host host({240, 160});
    auto* panel = new QWidget(&host);  // the box's parent, which would paint the bitmap
    panel->setGeometry(10, 30, 220, 120);
    auto* box = new CTarnGroupBox(QStringLiteral("Wide caption"), panel);
    box->setGeometry(15, 5, 180, 100);
    box->SetIDBkg(7001);
    const QImage shot = host.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const CSize ext = CaptionExtent(*box, QStringLiteral(" Wide caption "));
    // Corners of the caption rectangle, in the box's parent (panel) coordinates.
    const QPoint corners[] = {{15 + 11, 5 + 1}, {15 + 11 + ext.cx - 1, 5 + 1}, {15 + 11, 5 + ext.cy}};
    for (QPoint p : corners) {
        const QPoint inHost = p + QPoint(10, 30);
        EXPECT_EQ(shot.pixel(inHost), qRgb(p.x(), p.y(), 77)) << p.x() << "," << p.y();
    }

    box->SetIDBkg(9999);  // not in any module: the ground is left alone
    const QImage bare = host.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(bare.pixel(QPoint(15 + 11, 5 + 1) + QPoint(10, 30)), kGround);
    CResourceModule::SetProgram(previous);
}

}  // namespace
