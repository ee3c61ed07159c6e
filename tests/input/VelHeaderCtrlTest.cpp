#include "input/VelHeaderCtrl.h"
#include "input/VelListCtrl.h"

#include "platform/DC.h"
#include "platform/SysColor.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace plat;

namespace {

QRgb Rgb(COLORREF c)
{
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

// A list whose header has two columns: "Speed" and a long title.
class HeaderFixture : public ::testing::Test {
protected:
    HeaderFixture()
    {
        list.InsertColumn(0, QStringLiteral("Speed"), CVelListCtrl::LVCFMT_LEFT, 100);
        list.InsertColumn(1, QStringLiteral("Viscosity of the sample in mPa s"), CVelListCtrl::LVCFMT_LEFT, 100);
        header = list.GetHeaderCtrl();
    }

    // One item drawn at (0, 0) in 100 × 24 pixels.
    QImage Draw(int nItem, UINT nState = 0) const
    {
        QImage image(100, 24, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        {
            CDC dc(&image);
            header->DrawItem(&dc, CRect(0, 0, 100, 24), nItem, nState);
        }
        return image;
    }

    // The bounding box of the text pixels (dark) in columns [0, right).
    static QRect TextBox(const QImage& image, int right)
    {
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < right; ++x)
                if (qGray(image.pixel(x, y)) < 90) box |= QRect(x, y, 1, 1);
        return box;
    }

    CVelListCtrl list;
    CVelHeaderCtrl* header = nullptr;
};

TEST_F(HeaderFixture, SortColumnBecomesOwnerDrawnAndRepeatingReverses)
{
    EXPECT_EQ(header->GetSortColumn(), -1);
    EXPECT_TRUE(header->IsAscending());
    EXPECT_EQ(header->GetItemFormat(1) & CVelHeaderCtrl::HDF_OWNERDRAW, 0);

    header->SetSortColumn(1, false);
    EXPECT_EQ(header->GetSortColumn(), 1);
    EXPECT_FALSE(header->IsAscending());
    EXPECT_NE(header->GetItemFormat(1) & CVelHeaderCtrl::HDF_OWNERDRAW, 0);
    for (bool ascending : {false, true, false}) {
        const BOOL before = header->IsAscending();
        header->SetSortColumn(1, ascending);
        EXPECT_EQ(header->IsAscending(), !before) << "argument " << ascending;
    }
    header->SetSortColumn(0, true);
    EXPECT_TRUE(header->IsAscending());
    // The former sort column stays owner-drawn.
    EXPECT_NE(header->GetItemFormat(1) & CVelHeaderCtrl::HDF_OWNERDRAW, 0);
    EXPECT_NE(header->GetItemFormat(0) & CVelHeaderCtrl::HDF_OWNERDRAW, 0);
}

TEST_F(HeaderFixture, FormatFollowsColumnsAndSetsTheAlignment)
{
    list.InsertColumn(0, QStringLiteral("Torque"), CVelListCtrl::LVCFMT_CENTER, 60);
    EXPECT_EQ(header->GetItemFormat(0), CVelHeaderCtrl::HDF_CENTER);
    EXPECT_EQ(header->GetItemFormat(1), CVelHeaderCtrl::HDF_LEFT);
    header->SetItemFormat(1, CVelHeaderCtrl::HDF_RIGHT);
    EXPECT_EQ(list.model()->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
              int(Qt::AlignRight));
    list.DeleteColumn(0);
    EXPECT_EQ(header->GetItemFormat(0), CVelHeaderCtrl::HDF_RIGHT);
    EXPECT_EQ(header->GetItemFormat(9), 0);
    // Cells take their column's alignment.
    list.InsertItem(0, QStringLiteral("a"));
    list.SetItemText(0, 1, QStringLiteral("b"));
    EXPECT_EQ(list.item(0, 0)->textAlignment() & Qt::AlignHorizontal_Mask, int(Qt::AlignRight));
    EXPECT_EQ(list.item(0, 1)->textAlignment() & Qt::AlignHorizontal_Mask, int(Qt::AlignLeft));
}

TEST_F(HeaderFixture, AscendingArrowPixels)
{
    header->SetSortColumn(0, true);
    const QImage image = Draw(0);
    const QRgb light = Rgb(GetSysColor(COLOR_BTNHIGHLIGHT)), shadow = Rgb(GetSysColor(COLOR_BTNSHADOW));
    // o = 6, r = 100, b = 24.
    struct Case {
        int x, y;
        QRgb colour;
    } cases[] = {
        {88, 6, light}, {94, 17, light}, {90, 17, light}, {82, 17, light}, {81, 17, shadow}, {88, 5, Rgb(GetSysColor(COLOR_BTNFACE))},
        {80, 17, Rgb(GetSysColor(COLOR_BTNFACE))}, {95, 18, Rgb(GetSysColor(COLOR_BTNFACE))}, {0, 0, Rgb(GetSysColor(COLOR_BTNFACE))},
    };
    for (const Case& c : cases) EXPECT_EQ(image.pixel(c.x, c.y), c.colour) << c.x << "," << c.y;
    int shadowInRow11 = 0;
    for (int x = 80; x < 90; ++x) shadowInRow11 += image.pixel(x, 11) == shadow;
    EXPECT_EQ(shadowInRow11, 1);
}

TEST_F(HeaderFixture, DescendingArrowPixels)
{
    header->SetSortColumn(0, false);
    const QImage image = Draw(0);
    const QRgb light = Rgb(GetSysColor(COLOR_BTNHIGHLIGHT)), shadow = Rgb(GetSysColor(COLOR_BTNSHADOW));
    struct Case {
        int x, y;
        QRgb colour;
    } cases[] = {
        {93, 6, light}, {86, 18, shadow}, {81, 6, shadow}, {92, 6, shadow}, {85, 6, shadow},
        {87, 18, Rgb(GetSysColor(COLOR_BTNFACE))}, {94, 6, Rgb(GetSysColor(COLOR_BTNFACE))},
    };
    for (const Case& c : cases) EXPECT_EQ(image.pixel(c.x, c.y), c.colour) << c.x << "," << c.y;
}

TEST_F(HeaderFixture, LabelMakesRoomForTheArrowAndMovesWhenPressed)
{
    header->SetSortColumn(0, true);
    const QImage plain = Draw(1);
    EXPECT_FALSE(TextBox(plain, 100).isEmpty());
    EXPECT_GT(TextBox(plain, 100).right(), 80) << "a long label runs to o from the right edge";
    EXPECT_LE(TextBox(plain, 100).right(), 94);

    header->SetSortColumn(1, true);
    const QImage sorted = Draw(1);
    EXPECT_LT(TextBox(sorted, 100).right(), 76);

    const QImage pressed = Draw(1, CVelHeaderCtrl::ODS_SELECTED);
    // One to the right; the label's top moves by 2, so its vertical centre by 1.
    EXPECT_EQ(TextBox(pressed, 70).topLeft(), TextBox(sorted, 70).topLeft() + QPoint(1, 1));
    // Any other state value leaves the label in place.
    EXPECT_EQ(TextBox(Draw(1, CVelHeaderCtrl::ODS_SELECTED | 0x10), 70), TextBox(sorted, 70));
}

}  // namespace

namespace {

// The header as a picture of a window never shown (a screenshot) shows it.
TEST(VelHeaderCtrlOnScreen, PaintsTheSortColumnWithLabelAndArrow)
{
    QWidget window;
    window.resize(300, 160);
    auto& list = *new CVelListCtrl(&window);
    list.move(17, 23);
    list.InsertColumn(0, QStringLiteral("Sample"), CVelListCtrl::LVCFMT_LEFT, 100);
    list.InsertColumn(1, QStringLiteral("Speed"), CVelListCtrl::LVCFMT_RIGHT, 100);
    list.resize(260, 120);
    list.GetHeaderCtrl()->SetSortColumn(1, true);
    CVelHeaderCtrl* header = list.GetHeaderCtrl();
    const QImage shot = window.grab()
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32)
                            .copy(QRect(header->mapTo(&window, QPoint(0, 0)), header->size()));
    const int o = header->height() / 4, r = header->sectionViewportPosition(1) + 100, b = header->height();
    EXPECT_EQ(shot.pixel(r - 2 * o, o), Rgb(GetSysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_EQ(shot.pixel(r - 3 * o - 1, b - o - 1), Rgb(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(shot.pixel(r - 2, 1), Rgb(GetSysColor(COLOR_BTNFACE)));
    int dark = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = r - 100; x < r - 3 * o; ++x) dark += qGray(shot.pixel(x, y)) < 90;
    EXPECT_GT(dark, 10) << "the label is drawn";
}

}  // namespace
