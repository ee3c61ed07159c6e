#include "Canvas.h"

#include "platform/DC.h"
#include "platform/FontMapper.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace plat;

namespace {

constexpr COLORREF kBlack = 0;
constexpr COLORREF kRed = RGB(255, 0, 0);

LOGFONT Face(LONG height, const char* face = "Microsoft Sans Serif", LONG weight = FW_NORMAL, LONG escapement = 0)
{
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfEscapement = escapement;
    lf.SetFaceName(face);
    return lf;
}

// The ink box of text drawn with DrawText in rect under format.
QRect Ink(const QString& text, const CRect& rect, UINT format, int w = 200, int h = 100)
{
    Canvas c(w, h);
    {
        CDC dc(&c.image);
        CFont font;
        LOGFONT lf = Face(-16);
        font.CreateFontIndirect(&lf);
        dc.SelectObject(&font);
        dc.SetBkMode(TRANSPARENT);
        dc.DrawText(text, rect, format);
    }
    return c.Bounds();
}

TEST(LogFontMapping, NegativeHeightIsTheEmAndPositiveTheCell)
{
    for (int h : {11, 15, 18, 24, 40}) {
        const QFont em = QFontFromLogFont(Face(-h));
        EXPECT_EQ(em.pixelSize(), h);
        const QFont cell = QFontFromLogFont(Face(h));
        const int measured = QFontMetrics(cell).height();
        EXPECT_LE(measured, h) << h;
        EXPECT_GE(measured, h - 1) << h;
        EXPECT_LT(cell.pixelSize(), em.pixelSize()) << "the cell includes the leading above the em";
    }
}

TEST(LogFontMapping, StyleBitsAndFaces)
{
    LOGFONT lf = Face(-16, "System", FW_BOLD);
    lf.lfItalic = lf.lfUnderline = lf.lfStrikeOut = 1;
    const QFont f = QFontFromLogFont(lf);
    EXPECT_EQ(f.weight(), QFont::Bold);
    EXPECT_TRUE(f.italic());
    EXPECT_TRUE(f.underline());
    EXPECT_TRUE(f.strikeOut());
    EXPECT_EQ(QFontFromLogFont(Face(-16, "Microsoft Sans Serif", 0)).weight(), QFont::Normal);

    const QStringList song = MapFaceName(QString::fromUtf8("宋体"));
    ASSERT_FALSE(song.isEmpty());
    EXPECT_EQ(song.first(), "WenQuanYi Micro Hei");
    const QStringList sans = MapFaceName("MS Shell Dlg");
    ASSERT_FALSE(sans.isEmpty());
    EXPECT_NE(sans.first(), "WenQuanYi Micro Hei");
    EXPECT_TRUE(sans.contains("WenQuanYi Micro Hei")) << "Chinese text must always find glyphs";
    // The Chinese face really draws Chinese: every character has a glyph.
    QFontMetrics song16(QFontFromLogFont(Face(18, "宋体", FW_SEMIBOLD)));
    EXPECT_TRUE(song16.inFont(QChar(0x4FEE)));  // 修
}

TEST(LogFontMapping, QFontRoundTrip)
{
    QFont f("DejaVu Sans");
    f.setPixelSize(13);
    f.setBold(true);
    const LOGFONT lf = LogFontFromQFont(f);
    EXPECT_EQ(lf.lfHeight, -13);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_STREQ(lf.lfFaceName, "DejaVu Sans");
}

TEST(DCText, ExtentIsMeasuredWithTheSelectedFont)
{
    CDC dc;
    CFont small, big;
    LOGFONT a = Face(-10), b = Face(-30);
    small.CreateFontIndirect(&a);
    big.CreateFontIndirect(&b);
    dc.SelectObject(&small);
    const CSize s = dc.GetTextExtent("1000");
    dc.SelectObject(&big);
    const CSize l = dc.GetTextExtent("1000");
    EXPECT_GT(l.cx, 2 * s.cx);
    EXPECT_GT(l.cy, 2 * s.cy);
    EXPECT_EQ(l.cx, dc.GetTextExtent("10").cx * 2);
    TEXTMETRIC tm;
    ASSERT_TRUE(dc.GetTextMetrics(&tm));
    EXPECT_EQ(tm.tmHeight, l.cy);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    EXPECT_EQ(dc.GetTextExtent("").cx, 0);
}

// A font keeps the measures of its texts: they stay Qt's own measures past
// the number of texts kept, from one DC to the next and from two threads.
TEST(DCText, KeptMeasuresAreQtsOwn)
{
    CFont font;
    LOGFONT lf = Face(-13);
    ASSERT_TRUE(font.CreateFontIndirect(&lf));
    const QFontMetrics fm(font.GetQFont());
    std::vector<QString> arTexts;
    for (int i = 0; i < 1500; ++i) arTexts.push_back(QString::number(i * 37) + (i % 3 ? "" : " rpm"));
    for (int nPass = 0; nPass < 2; ++nPass) {
        CDC dc;
        dc.SelectObject(&font);
        for (const QString& text : arTexts) {
            const CSize size = dc.GetTextExtent(text);
            ASSERT_EQ(size.cx, fm.horizontalAdvance(text)) << text.toStdString() << ", pass " << nPass;
            ASSERT_EQ(size.cy, fm.height());
        }
    }
    CTextMeasures measures;
    const QFont qfont = font.GetQFont();
    std::vector<int> arWrong(2, 0);
    auto Measure = [&](int nThread) {
        for (int k = 0; k < 3; ++k)
            for (const QString& text : arTexts)
                arWrong[nThread] += measures.Advance(qfont, text) != fm.horizontalAdvance(text);
    };
    std::thread other(Measure, 1);
    Measure(0);
    other.join();
    EXPECT_EQ(arWrong[0] + arWrong[1], 0);
}

TEST(DCText, DrawTextAlignsWithinTheRectangle)
{
    const CRect rect(20, 10, 180, 90);
    CDC measure;
    CFont font;
    LOGFONT lf = Face(-16);
    font.CreateFontIndirect(&lf);
    measure.SelectObject(&font);
    const CSize ext = measure.GetTextExtent("Wg");

    const QRect left = Ink("Wg", rect, DT_LEFT | DT_TOP | DT_SINGLELINE);
    const QRect centre = Ink("Wg", rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const QRect right = Ink("Wg", rect, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    ASSERT_FALSE(left.isEmpty());
    EXPECT_EQ(centre.left() - left.left(), (rect.Width() - ext.cx) / 2);
    EXPECT_EQ(centre.top() - left.top(), (rect.Height() - ext.cy) / 2);
    EXPECT_EQ(right.left() - left.left(), rect.Width() - ext.cx);
    EXPECT_EQ(right.top() - left.top(), rect.Height() - ext.cy);
    EXPECT_GE(left.left(), rect.left);
    EXPECT_GE(left.top(), rect.top);
    // Multi-line text ignores the vertical centring, as on Windows.
    EXPECT_EQ(Ink("Wg", rect, DT_VCENTER).top(), left.top());
}

TEST(DCText, CalcRectLinesWrapAndPrefixes)
{
    CDC dc;
    CFont font;
    LOGFONT lf = Face(-16);
    font.CreateFontIndirect(&lf);
    dc.SelectObject(&font);
    const int lineH = dc.GetTextExtent("A").cy;

    CRect r(5, 5, 500, 5);
    int h = dc.DrawText("Speed(rpm)", &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r, CRect(5, 5, 5 + dc.GetTextExtent("Speed(rpm)").cx, 5 + lineH));
    EXPECT_EQ(h, lineH);
    r = CRect(5, 5, 500, 300);
    EXPECT_EQ(dc.DrawText("Speed(rpm)", &r, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER), lineH);
    // Drawing (not measuring) a centred line reports where its bottom lies.
    EXPECT_EQ(dc.DrawText("Speed(rpm)", CRect(0, 0, 100, 100), DT_SINGLELINE | DT_VCENTER), (100 - lineH) / 2 + lineH);

    r = CRect(0, 0, 500, 0);
    EXPECT_EQ(dc.DrawText("one\ntwo\n", &r, DT_CALCRECT), 3 * lineH) << "a trailing line feed adds a line";

    const int wordW = dc.GetTextExtent("alpha beta").cx;
    r = CRect(0, 0, wordW + 2, 0);
    EXPECT_EQ(dc.DrawText("alpha beta alpha beta", &r, DT_CALCRECT | DT_WORDBREAK), 2 * lineH);
    EXPECT_LE(r.Width(), wordW + 2);

    r = CRect(0, 0, 500, 0);
    dc.DrawText("A&&B", &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.Width(), dc.GetTextExtent("A&B").cx);
    r = CRect(0, 0, 500, 0);
    dc.DrawText("&File", &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.Width(), dc.GetTextExtent("File").cx);
    r = CRect(0, 0, 500, 0);
    dc.DrawText("&File", &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(r.Width(), dc.GetTextExtent("&File").cx);
}

TEST(DCText, DrawTextClipsToItsRectangleUnlessAskedNotTo)
{
    const CRect rect(10, 10, 30, 40);
    const QString longText = "WWWWWWWWWWWW";
    EXPECT_LE(Ink(longText, rect, DT_SINGLELINE).right(), rect.right - 1);
    EXPECT_GT(Ink(longText, rect, DT_SINGLELINE | DT_NOCLIP).right(), rect.right);
    const QRect dots = Ink(longText, CRect(10, 10, 80, 40), DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(dots.right(), 79);
}

TEST(DCText, TextOutTopLeftColourAndOpaqueBackground)
{
    Canvas c(120, 40);
    CSize ext;
    {
        CDC dc(&c.image);
        CFont font;
        LOGFONT lf = Face(-16);
        font.CreateFontIndirect(&lf);
        dc.SelectObject(&font);
        ext = dc.GetTextExtent("Hi");
        dc.SetTextColor(kRed);
        dc.SetBkColor(RGB(0, 0, 255));
        dc.TextOut(10, 5, "Hi");  // opaque by default
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(60, 5, "Hi");
    }
    EXPECT_EQ(c.At(10, 5), RGB(0, 0, 255));
    EXPECT_EQ(c.At(10 + ext.cx - 1, 5 + ext.cy - 1), RGB(0, 0, 255));
    EXPECT_NE(c.At(10 + ext.cx, 5), RGB(0, 0, 255));
    EXPECT_FALSE(c.Of(kRed).empty());
    QRect transparentInk;
    for (auto [x, y] : c.Painted())
        if (x >= 60) transparentInk |= QRect(x, y, 1, 1);
    EXPECT_GE(transparentInk.left(), 60);
    EXPECT_GE(transparentInk.top(), 5);
    EXPECT_LE(transparentInk.bottom(), 5 + ext.cy);
}

TEST(DCText, Escapement900DrawsUpwardFromTheReferencePoint)
{
    Canvas c(60, 200);
    CSize ext;
    {
        CDC dc(&c.image);
        CFont font;
        LOGFONT lf = Face(-16, "Microsoft Sans Serif", FW_NORMAL, 900);
        font.CreateFontIndirect(&lf);
        dc.SelectObject(&font);
        dc.SetBkMode(TRANSPARENT);
        ext = dc.GetTextExtent("Torque(Ncm)");
        dc.TextOut(10, 180, "Torque(Ncm)");
    }
    const QRect ink = c.Bounds();
    EXPECT_GT(ink.height(), 2 * ink.width()) << "vertical text";
    EXPECT_LE(ink.bottom(), 180);
    EXPECT_GE(ink.top(), 180 - ext.cx - 1);
    EXPECT_GE(ink.left(), 10);
    EXPECT_LE(ink.right(), 10 + ext.cy);
}

TEST(DCText, DrawStateTextDisabledEmbosses)
{
    Canvas c(100, 40);
    {
        CDC dc(&c.image);
        dc.DrawState(CPoint(5, 5), CSize(), CString("&&Go"), DST_PREFIXTEXT | DSS_DISABLED);
    }
    EXPECT_FALSE(c.Of(RGB(128, 128, 128)).empty());
    EXPECT_TRUE(c.Of(kBlack).empty());
}

}  // namespace

namespace {

TEST(LogFontMapping, PointFontsAndAbsurdHeightsStayUsable)
{
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(90, "MS Shell Dlg"));
    LOGFONT lf;
    ASSERT_EQ(font.GetLogFont(&lf), int(sizeof lf));
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_STREQ(lf.lfFaceName, "MS Shell Dlg");

    for (LONG h : {LONG(-2147483647 - 1), LONG(2147483647), LONG(-100000)}) {
        const QFont f = QFontFromLogFont(Face(h));
        EXPECT_GT(f.pixelSize(), 0);
        EXPECT_LE(f.pixelSize(), 2048);
    }
    CBitmap huge;
    EXPECT_FALSE(huge.CreateBitmap(30000, 30000));
    EXPECT_FALSE(huge.CreateBitmap(0, 10));
    EXPECT_TRUE(huge.IsNull());
}

}  // namespace
