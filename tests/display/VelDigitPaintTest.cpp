#include "display/VelDigit.h"
#include "DisplayFixtures.h"

#include "platform/ResourceModule.h"

#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr QRgb kHostColour = qRgb(10, 120, 30);

class VelDigitPaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        strip = plat::CResourceModule::FindBitmap(QStringLiteral("102")).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(strip.size(), QSize(819, 112)) << "bitmap 102 is not in the program's module";
        digit = new CVelDigit(&host);
        digit->setGeometry(10, 20, 50, 30);
    }

    // The cells copied into the window, by comparing each place with the strip.
    std::vector<int> CellsShown()
    {
        const QImage shot = Snapshot(host);
        const QPoint origin = digit->geometry().topLeft() + QPoint(3, 3);
        std::vector<int> cells;
        for (int place = 0; place < digit->GetPrecision(); ++place) {
            const QImage shown = shot.copy(origin.x() + place * 63, origin.y(), 63, 112);
            int found = -1;
            for (int cell = 0; cell < 13 && found < 0; ++cell)
                if (shown == strip.copy(cell * 63, 0, 63, 112))
                    found = cell;
            cells.push_back(found);
        }
        return cells;
    }

    void Show(float value, int precision, int dots, bool padding)
    {
        ASSERT_NE(digit->SetStyle(102, precision), 0);
        digit->SetDotPrecision(dots);
        digit->SetZeroPadding(padding ? 1 : 0, 1);
        digit->SetValue(value, 1);
    }

    ProgramModuleScope program;
    SolidHost host{kHostColour, {400, 200}};
    CVelDigit* digit = nullptr;
    QImage strip;
};

TEST_F(VelDigitPaint, SetStyleSizesTheWindowAndKeepsItsTopLeft)
{
    ASSERT_NE(digit->SetStyle(102, 5), 0);
    EXPECT_EQ(digit->geometry(), QRect(10, 20, 321, 118));
    EXPECT_EQ(digit->GetCellSize(), plat::CSize(63, 112));
    EXPECT_EQ(digit->GetPrecision(), 5);
}

TEST_F(VelDigitPaint, SetStyleKeepsTheBottomRightWhenAsked)
{
    digit->SetResize(0, 0);
    ASSERT_NE(digit->SetStyle(102, 2), 0);
    EXPECT_EQ(digit->geometry(), QRect(10 + 50 - 132, 20 + 30 - 118, 132, 118));
}

TEST_F(VelDigitPaint, AMissingBitmapChangesNothing)
{
    EXPECT_EQ(digit->SetStyle(4242, 5), 0);
    EXPECT_EQ(digit->geometry(), QRect(10, 20, 50, 30));
    EXPECT_EQ(digit->GetPrecision(), 2);
    EXPECT_EQ(digit->GetCellSize(), plat::CSize(0, 0));
    // Nothing is drawn without a strip: the host shows through.
    const QImage shot = Snapshot(host);
    EXPECT_EQ(Rgb(shot.pixel(30, 30)), Rgb(kHostColour));
}

TEST_F(VelDigitPaint, PrecisionChangeResizes)
{
    ASSERT_NE(digit->SetStyle(102, 5), 0);
    digit->SetPrecision(3, 1);
    EXPECT_EQ(digit->geometry(), QRect(10, 20, 195, 118));
    digit->SetPrecision(12, 0);
    EXPECT_EQ(digit->GetPrecision(), 3);
}

TEST_F(VelDigitPaint, PaddingWithZeroPaddingOnIsUnlitPlaces)
{
    Show(500.0f, 5, 0, true);
    EXPECT_EQ(CellsShown(), (std::vector<int>{12, 12, 5, 0, 0}));
}

TEST_F(VelDigitPaint, PaddingWithZeroPaddingOffIsThePointCell)
{
    Show(500.0f, 5, 0, false);
    EXPECT_EQ(CellsShown(), (std::vector<int>{10, 10, 5, 0, 0}));
}

TEST_F(VelDigitPaint, TooManyDigitsShowTheLastPlaces)
{
    Show(123456.0f, 5, 0, true);
    EXPECT_EQ(CellsShown(), (std::vector<int>{2, 3, 4, 5, 6}));
}

TEST_F(VelDigitPaint, DecimalsTakeACellEach)
{
    Show(3.14159f, 5, 2, true);
    EXPECT_EQ(CellsShown(), (std::vector<int>{12, 3, 10, 1, 4}));
}

TEST_F(VelDigitPaint, NegativeValuesPadWithThePointCell)
{
    Show(-5.0f, 3, 0, true);
    EXPECT_EQ(CellsShown(), (std::vector<int>{10, 11, 5}));
}

TEST_F(VelDigitPaint, NewValueIsShownAfterRepaint)
{
    Show(0.0f, 5, 0, true);
    EXPECT_EQ(CellsShown(), (std::vector<int>{12, 12, 12, 12, 0}));
    digit->SetValue(2200.0f, 1);
    EXPECT_EQ(CellsShown(), (std::vector<int>{12, 2, 2, 0, 0}));
}

TEST(DigitStrip, CellsAreDistinctAndLightGround)
{
    ProgramModuleScope program;
    const QImage strip = plat::CResourceModule::FindBitmap(QStringLiteral("102")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(strip.size(), QSize(819, 112));
    for (int a = 0; a < 13; ++a)
        for (int b = a + 1; b < 13; ++b)
            EXPECT_NE(strip.copy(a * 63, 0, 63, 112), strip.copy(b * 63, 0, 63, 112)) << a << " " << b;
    // Light grey ground at a corner of every cell; dark ink in the digits.
    for (int cell = 0; cell < 13; ++cell) {
        const QRgb ground = strip.pixel(cell * 63 + 1, 1);
        EXPECT_GT(qGray(ground), 150);
        EXPECT_LT(std::abs(qRed(ground) - qBlue(ground)), 16);
    }
    EXPECT_LT(qGray(strip.pixel(8 * 63 + 31, 56)), 80);  // the middle bar of 8
}

}  // namespace

// Scale-to-fit stretches the whole picture over the window: at 1.5 times
// the size each cell covers 1.5 times the pixels; off, a larger window
// still shows the cells at the strip's size at (3, 3).
TEST_F(VelDigitPaint, ScaleToFitStretchesThePictureAndIsOffByDefault)
{
    Show(7, 1, 0, false);
    const QSize native = digit->size();
    ASSERT_EQ(native, QSize(69, 118));
    EXPECT_FALSE(digit->IsScaleToFit());
    digit->resize(native * 3 / 2);
    EXPECT_EQ(CellsShown(), std::vector<int>{7}) << "unscaled: the cell at its own size";

    digit->SetScaleToFit(true);
    const QImage shot = Snapshot(host);
    const QPoint origin = digit->geometry().topLeft();
    const QImage cell = strip.copy(7 * 63, 0, 63, 112);
    int mismatched = 0, compared = 0;
    for (int y = 4; y < 108; y += 7)
        for (int x = 4; x < 59; x += 5) {
            const QColor want = cell.pixelColor(x, y);
            const QColor got = shot.pixelColor(origin + QPoint((3 + x) * 3 / 2, (3 + y) * 3 / 2));
            ++compared;
            mismatched += std::abs(want.red() - got.red()) + std::abs(want.green() - got.green()) +
                              std::abs(want.blue() - got.blue()) > 90;
        }
    EXPECT_LT(mismatched, compared / 10) << "the cell drawn at 1.5 times its size";
}
