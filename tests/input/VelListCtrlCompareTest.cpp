#include "ListFixture.h"

using namespace plat;

namespace {

TEST(VelListCtrlCompare, IsNumberAcceptsOnlyDigits)
{
    struct Case {
        const char* text;
        bool number;
    } cases[] = {{"", true}, {"0", true}, {"2200", true}, {"-5", false}, {"+5", false},
                 {"1.5", false}, {" 7", false}, {"7 ", false}, {"12a", false}, {"٣", false}};
    for (const Case& c : cases) EXPECT_EQ(ListUnderTest::IsNumber(QString::fromUtf8(c.text)), c.number) << c.text;
}

TEST(VelListCtrlCompare, NumberCompareReadsLeadingIntegers)
{
    struct Case {
        const char *a, *b;
        int result;
    } cases[] = {{"2", "10", -1},     {"10", "2", 1},   {"  42", "42", 0},   {"-3", "2", -1}, {"+7", "7", 0},
                 {"12abc", "12", 0},  {"abc", "0", 0},  {"", "1", -1},       {"9x", "10", -1},
                 {"99999999999999999999", "1", 1},     {"-99999999999999999999", "-1", -1}};
    for (const Case& c : cases)
        EXPECT_EQ(ListUnderTest::NumberCompare(QString::fromUtf8(c.a), QString::fromUtf8(c.b)), c.result)
            << c.a << " vs " << c.b;
}

TEST(VelListCtrlCompare, IsDateWantsTwoTwoFourDigits)
{
    struct Case {
        const char* text;
        bool date;
    } cases[] = {{"07/12/2026", true}, {"31/02/1999", true}, {"7/12/2026", false}, {"07-12-2026", false},
                 {"07/12/26", false},  {"07/12/2026 ", false}, {"0a/12/2026", false}, {"", false}, {"07/12/202x", false}};
    for (const Case& c : cases) EXPECT_EQ(ListUnderTest::IsDate(QString::fromUtf8(c.text)), c.date) << c.text;
}

TEST(VelListCtrlCompare, DateCompareGoesYearMonthDay)
{
    struct Case {
        const char *a, *b;
        int result;
    } cases[] = {{"01/01/2027", "31/12/2026", 1}, {"31/12/2026", "01/01/2027", -1}, {"15/03/2026", "14/04/2026", -1},
                 {"15/04/2026", "14/04/2026", 1},  {"07/12/2026", "07/12/2026", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(ListUnderTest::DateCompare(QString::fromUtf8(c.a), QString::fromUtf8(c.b)), c.result)
            << c.a << " vs " << c.b;
    EXPECT_EQ(ListUnderTest::CompareFunction(1, 2, 0), 1);
    EXPECT_EQ(ListUnderTest::CompareFunction(2, 1, 0), 1);
}

QStringList Column(const CVelListCtrl& list, int nColumn)
{
    QStringList texts;
    for (int r = 0; r < list.GetItemCount(); ++r) texts << list.GetItemText(r, nColumn);
    return texts;
}

TEST(VelListCtrlSort, ChoosesDatesNumbersOrTextByTheColumn)
{
    ListUnderTest list;
    list.InsertColumn(0, QStringLiteral("Run"));
    list.InsertColumn(1, QStringLiteral("Date"));
    list.InsertColumn(2, QStringLiteral("Speed"));
    const char* rows[][3] = {{"beta", "02/01/2027", "900"}, {"Alpha", "15/12/2026", "80"}, {"gamma", "", "1200"}, {"delta", "01/02/2026", ""}};
    for (int r = 0; r < 4; ++r) {
        list.InsertItem(r, QString::fromUtf8(rows[r][0]));
        list.SetItemText(r, 1, QString::fromUtf8(rows[r][1]));
        list.SetItemText(r, 2, QString::fromUtf8(rows[r][2]));
    }
    list.SortItems(1, true);
    EXPECT_EQ(Column(list, 1), (QStringList{"", "01/02/2026", "15/12/2026", "02/01/2027"}));
    EXPECT_EQ(Column(list, 0), (QStringList{"gamma", "delta", "Alpha", "beta"}));
    list.SortItems(2, false);
    EXPECT_EQ(Column(list, 2), (QStringList{"1200", "900", "80", ""}));
    list.SortItems(0, true);
    EXPECT_EQ(Column(list, 0), (QStringList{"Alpha", "beta", "delta", "gamma"}));
}

TEST(VelListCtrlSort, CellAttributesFollowTheirRows)
{
    ListUnderTest list;
    list.InsertColumn(0, QStringLiteral("N"));
    for (int r = 0; r < 3; ++r) list.InsertItem(r, QString::number(3 - r));
    list.SetNumEdit(0, 0, 1, 3);  // on "3"
    list.EnableItem(FALSE, 0, -1);
    list.setCurrentCell(1, 0);  // "2"
    list.SortItems(0, true);
    EXPECT_EQ(Column(list, 0), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(list.TypeOf(0, 2), CVelListCtrl::EDIT_NUMBER);
    EXPECT_EQ(list.TypeOf(0, 0), CVelListCtrl::EDIT_DISABLED);
    EXPECT_EQ(list.currentRow(), 1);
    list.setCurrentCell(0, 0);  // "1"
    list.SortItems(0, false);
    EXPECT_EQ(list.currentRow(), 2);
    EXPECT_EQ(list.TypeOf(0, 0), CVelListCtrl::EDIT_NUMBER);
}

using VelListCtrlHeaderSort = ListFixture;

TEST_F(VelListCtrlHeaderSort, HeaderClicksSortBothWaysOnlyWhenEnabled)
{
    CVelHeaderCtrl* header = list->GetHeaderCtrl();
    const QPoint speedHeader(header->sectionViewportPosition(1) + 20, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, speedHeader);
    EXPECT_EQ(header->GetSortColumn(), -1);
    EXPECT_EQ(Column(*list, 1), (QStringList{"300", "120", "60", "45"}));

    list->EnableHeaderSort(TRUE);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, speedHeader);
    EXPECT_EQ(header->GetSortColumn(), 1);
    EXPECT_TRUE(header->IsAscending());
    EXPECT_EQ(Column(*list, 1), (QStringList{"45", "60", "120", "300"}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, speedHeader);
    EXPECT_FALSE(header->IsAscending());
    EXPECT_EQ(Column(*list, 1), (QStringList{"300", "120", "60", "45"}));
}

TEST_F(VelListCtrlHeaderSort, SortingCommitsTheOpenEditFirst)
{
    ClickCell(0, 0);
    ASSERT_NE(list->GetInEdit(), nullptr);
    QTest::keyClicks(list->GetInEdit(), QStringLiteral("zinc"));
    list->SortItems(0, true);
    EXPECT_EQ(list->GetInEdit(), nullptr);
    EXPECT_EQ(Column(*list, 0), (QStringList{"gel", "oil", "syrup", "zinc"}));
}

}  // namespace
