#include "ListFixture.h"

#include "platform/DialogBuilder.h"

#include <QScrollBar>

using namespace plat;

namespace {

using Attr = CVelListCtrl;

// Attribute lookup: which edit type each (column, row) gets.
TEST(VelListCtrlLookup, CellBeatsColumnFirstCellWinsLastColumnWins)
{
    ListUnderTest list;
    list.InsertColumn(0, QStringLiteral("A"));
    list.InsertColumn(1, QStringLiteral("B"));
    list.InsertColumn(2, QStringLiteral("C"));
    list.SetNumEdit(1, -1, 0, 10);              // column 1: number
    list.EnableItem(FALSE, 1, 2);               // cell (row 2, column 1): disabled
    list.SetComboColText(2, 3, {"a", "b"});     // cell (row 3, column 2): drop-down
    list.EnableItem(TRUE, 2, -1);               // column 2: enabled mark

    struct Case {
        int column, item, type;
    } cases[] = {
        {0, 0, Attr::EDIT_TEXT},     {0, 5, Attr::EDIT_TEXT},  {1, 0, Attr::EDIT_NUMBER},
        {1, 2, Attr::EDIT_DISABLED}, {1, 3, Attr::EDIT_NUMBER}, {2, 3, Attr::EDIT_COMBO},
        {2, 0, Attr::EDIT_ENABLED},  {7, 0, Attr::EDIT_TEXT},
    };
    for (const Case& c : cases)
        EXPECT_EQ(list.TypeOf(c.column, c.item), c.type) << "column " << c.column << ", row " << c.item;

    const CVelListCtrl::sListColAttribute* pAttr = nullptr;
    EXPECT_EQ(list.GetItemTypeBy(1, 0, pAttr), Attr::EDIT_NUMBER);
    ASSERT_NE(pAttr, nullptr);
    EXPECT_EQ(pAttr->nMax, 10);
    EXPECT_EQ(list.GetItemTypeBy(0, 0, pAttr), Attr::EDIT_TEXT);
    EXPECT_EQ(pAttr, nullptr);
}

TEST(VelListCtrlLookup, SettingACellAgainReplacesItsAttribute)
{
    ListUnderTest list;
    list.InsertColumn(0, QStringLiteral("A"));
    list.SetNumEdit(0, -1, 0, 10);
    list.SetNumEdit(0, -1, 5, 50);
    list.EnableItem(FALSE, 0, 1);
    list.EnableItem(TRUE, 0, 1);
    list.SetComboColText(0, 2, {"x"});
    list.SetNumEdit(0, 2, 1, 2);

    ASSERT_EQ(list.GetAttributes().size(), 3u);
    const CVelListCtrl::sListColAttribute* pAttr = nullptr;
    EXPECT_EQ(list.GetItemTypeBy(0, 0, pAttr), Attr::EDIT_NUMBER);
    EXPECT_EQ(pAttr->nMin, 5);
    EXPECT_EQ(list.TypeOf(0, 1), Attr::EDIT_ENABLED);
    EXPECT_EQ(list.GetItemTypeBy(0, 2, pAttr), Attr::EDIT_NUMBER);
    EXPECT_EQ(pAttr->pStrings, nullptr);
    EXPECT_EQ(list.FindItemBy(Attr::EDIT_COMBO, 0, 2), -1);
    EXPECT_EQ(list.FindItemBy(Attr::EDIT_NUMBER, 0, 2), 2);
}

TEST(VelListCtrlLookup, DropDownKeepsItsOwnCopyOfTheStrings)
{
    ListUnderTest list;
    list.InsertColumn(0, QStringLiteral("A"));
    QStringList choices{"one", "two"};
    list.SetComboColText(0, -1, choices);
    choices << "three";
    const CVelListCtrl::sListColAttribute* pAttr = nullptr;
    ASSERT_EQ(list.GetItemTypeBy(0, 0, pAttr), Attr::EDIT_COMBO);
    EXPECT_EQ(*pAttr->pStrings, (QStringList{"one", "two"}));
}

TEST(VelListCtrlLookup, DeleteColumnDropsItsAttributesOnly)
{
    ListUnderTest list;
    for (int c = 0; c < 4; ++c) list.InsertColumn(c, QStringLiteral("C%1").arg(c));
    list.SetNumEdit(1, -1, 0, 9);
    list.SetComboColText(1, 0, {"a"});
    list.EnableItem(FALSE, 2, -1);
    list.SetComboColText(2, 1, {"b"});

    EXPECT_TRUE(list.DeleteColumn(1));
    EXPECT_EQ(list.GetColCount(), 3);
    EXPECT_EQ(list.GetAttributes().size(), 2u);
    for (const auto& attr : list.GetAttributes()) EXPECT_EQ(attr.nColumn, 2);
    EXPECT_EQ(list.TypeOf(1, 0), Attr::EDIT_TEXT);
    EXPECT_EQ(list.TypeOf(2, 0), Attr::EDIT_DISABLED);
    EXPECT_EQ(list.TypeOf(2, 1), Attr::EDIT_COMBO);
    EXPECT_EQ(list.horizontalHeaderItem(1)->text(), QStringLiteral("C2"));
    EXPECT_FALSE(list.DeleteColumn(7));
}

TEST(VelListCtrlStyle, InitListControlTurnsOnReportGridAndFullRow)
{
    ListUnderTest list;
    list.SetExtendedStyle(0x4);
    EXPECT_FALSE(list.showGrid());
    EXPECT_EQ(list.InitListControl(), TRUE);
    EXPECT_EQ(list.GetStyle() & 0x203, 0x201u);
    EXPECT_EQ(list.GetExtendedStyle(), 0x25u);
    EXPECT_TRUE(list.showGrid());
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list.GetHeaderCtrl()->GetItemFormat(0), 0);
}

using VelListCtrlClick = ListFixture;

TEST_F(VelListCtrlClick, ColumnBoundariesBelongToTheLeftColumn)
{
    const int y = CellCentre(1, 0).y();
    struct Case {
        int x, column;
    } cases[] = {{0, 0}, {79, 0}, {80, 0}, {81, 1}, {160, 1}, {161, 2}, {239, 2}};
    for (const Case& c : cases) EXPECT_EQ(list->HitTestColBy(1, QPoint(c.x, y)), c.column) << "x " << c.x;
    // Outside the row: column 0.
    EXPECT_EQ(list->HitTestColBy(0, QPoint(170, y)), 0);
}

TEST_F(VelListCtrlClick, CellWithoutAttributesOpensATextEditOverTheCell)
{
    QSignalSpy clicks(list.get(), &CVelListCtrl::listClicked);
    ClickCell(2, 2);
    CVelInEdit* edit = list->GetInEdit();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(list->GetInComboBox(), nullptr);
    EXPECT_FALSE(edit->IsNumEdit());
    EXPECT_EQ(edit->text(), QStringLiteral("ramp"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("ramp"));
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->GetStyle(), 0x50800280u);
    EXPECT_EQ(CDialogBuilder::GetDlgCtrlID(edit), 1003);
    const QRect cell = list->visualRect(list->model()->index(2, 2));
    EXPECT_EQ(edit->geometry().left(), 160);
    EXPECT_EQ(edit->geometry().width(), 80);
    EXPECT_EQ(edit->geometry().top(), cell.top());
    EXPECT_EQ(edit->geometry().height(), list->rowHeight(2));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(VelListCtrlClick, CellAttributeWinsForItsRowOnly)
{
    list->SetNumEdit(1, -1, 1, 100);
    list->SetComboColText(1, 2, {"slow", "fast"});
    ClickCell(0, 1);
    ASSERT_NE(list->GetInEdit(), nullptr);
    EXPECT_TRUE(list->GetInEdit()->IsNumEdit());
    EXPECT_EQ(list->GetInEdit()->GetMaximum(), 100.0);

    ClickCell(2, 1);
    EXPECT_EQ(list->GetInEdit(), nullptr);
    ASSERT_NE(list->GetInComboBox(), nullptr);
    EXPECT_EQ(list->GetInComboBox()->count(), 2);
}

TEST_F(VelListCtrlClick, BelowTheLastRowNothingOpensAndNoClickIsSent)
{
    QSignalSpy clicks(list.get(), &CVelListCtrl::listClicked);
    const QRect last = list->visualRect(list->model()->index(3, 0));
    ASSERT_LT(last.bottom() + 10, list->viewport()->height());
    Click(QPoint(40, last.bottom() + 10));
    // Right of the last column is outside every row too.
    Click(QPoint(260, CellCentre(1, 0).y()));
    EXPECT_EQ(list->GetInEdit(), nullptr);
    EXPECT_EQ(list->GetInComboBox(), nullptr);
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(VelListCtrlClick, MarkedCellsOpenNothingButStillSendTheClick)
{
    list->EnableItem(TRUE, 0, 1);
    list->EnableItem(FALSE, 2, -1);
    QSignalSpy clicks(list.get(), &CVelListCtrl::listClicked);
    ClickCell(1, 0);
    ClickCell(3, 2);
    EXPECT_EQ(list->GetInEdit(), nullptr);
    EXPECT_EQ(list->GetInComboBox(), nullptr);
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(VelListCtrlClick, EditorRectangleFollowsTheHorizontalScroll)
{
    list->setColumnWidth(2, 400);
    QApplication::processEvents();  // the delayed layout sets the scroll range
    list->horizontalScrollBar()->setValue(50);
    ASSERT_EQ(list->horizontalScrollBar()->value(), 50);
    EXPECT_EQ(list->GetSubItemRect(1, 1).left, 30);
    EXPECT_EQ(list->GetSubItemRect(1, 2).right, 510);
    ClickCell(1, 1);
    ASSERT_NE(list->GetInEdit(), nullptr);
    EXPECT_EQ(list->GetInEdit()->geometry().left(), 30);
}

TEST_F(VelListCtrlClick, DoubleClicksAndArrowKeysAreSwallowed)
{
    list->EnableItem(FALSE, 0, -1);
    list->setCurrentCell(1, 0);
    QSignalSpy clicks(list.get(), &CVelListCtrl::listClicked);
    QSignalSpy doubles(list.get(), &QAbstractItemView::doubleClicked);
    // A double click comes as click, press, double click, release.
    ClickCell(2, 0);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, CellCentre(2, 0));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, CellCentre(2, 0));
    EXPECT_EQ(doubles.count(), 0);
    EXPECT_EQ(clicks.count(), 1);  // the first click of the two only

    list->setCurrentCell(1, 0);
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Right, Qt::Key_Left}) QTest::keyClick(list.get(), key);
    EXPECT_EQ(list->currentRow(), 1);
    QTest::keyClick(list.get(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(list->currentRow(), 3);
}

using VelListCtrlCommit = ListFixture;

TEST_F(VelListCtrlCommit, NumberEditClampsAndFormats)
{
    list->SetNumEdit(1, -1, 1, 100);
    struct Case {
        const char* typed;
        const char* committed;
    } cases[] = {{"150", "100"}, {"", "1"}, {"42", "42"}, {"7.5x", "75"}, {"abc", "1"}, {"0", "1"}};
    for (const Case& c : cases) {
        QSignalSpy commits(list.get(), &CVelListCtrl::editCommitted);
        ClickCell(0, 1);
        CVelInEdit* edit = list->GetInEdit();
        ASSERT_NE(edit, nullptr);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, QString::fromUtf8(c.typed));
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(list->GetItemText(0, 1), QString::fromUtf8(c.committed)) << "typed " << c.typed;
        ASSERT_EQ(commits.count(), 1);
        EXPECT_EQ(commits[0][0].toInt(), 0);
        EXPECT_EQ(commits[0][1].toInt(), 1);
        EXPECT_EQ(commits[0][2].toString(), QString::fromUtf8(c.committed));
        EXPECT_TRUE(list->hasFocus());
        FlushDeletes();
    }
}

TEST_F(VelListCtrlCommit, EscapeCommitsTheInitialTextAndStillNotifies)
{
    QSignalSpy commits(list.get(), &CVelListCtrl::editCommitted);
    ClickCell(1, 0);
    ASSERT_NE(list->GetInEdit(), nullptr);
    QTest::keyClicks(list->GetInEdit(), QStringLiteral("honey"));
    QTest::keyClick(list->GetInEdit(), Qt::Key_Escape);
    EXPECT_EQ(list->GetItemText(1, 0), QStringLiteral("oil"));
    ASSERT_EQ(commits.count(), 1);
    EXPECT_EQ(commits[0][2].toString(), QStringLiteral("oil"));
    EXPECT_EQ(list->GetInEdit(), nullptr);
}

TEST_F(VelListCtrlCommit, TextIsTrimmedAndTabEndsTheEdit)
{
    ClickCell(3, 2);
    QPointer<CVelInEdit> edit = list->GetInEdit();
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, QStringLiteral("  pulse  "));
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(list->GetItemText(3, 2), QStringLiteral("pulse"));
    ASSERT_FALSE(edit.isNull());
    EXPECT_TRUE(edit->IsTabDown());
    EXPECT_TRUE(list->hasFocus());
}

TEST_F(VelListCtrlCommit, ClearStateEmptiesEveryCommittedCell)
{
    list->SetClear(TRUE);
    list->SetComboColText(2, -1, {"ramp", "hold", "step"});
    QSignalSpy commits(list.get(), &CVelListCtrl::editCommitted);
    ClickCell(0, 0);
    QTest::keyClicks(list->GetInEdit(), QStringLiteral("milk"));
    ClickCell(1, 2);  // ends the edit, opens the drop-down
    ASSERT_NE(list->GetInComboBox(), nullptr);
    QTest::keyClick(list->GetInComboBox(), Qt::Key_Return);
    EXPECT_EQ(list->GetItemText(0, 0), QString());
    EXPECT_EQ(list->GetItemText(1, 2), QString());
    ASSERT_EQ(commits.count(), 2);
    EXPECT_EQ(commits[0][2].toString(), QStringLiteral("milk"));
    EXPECT_EQ(commits[1][2].toString(), QStringLiteral("hold"));
    EXPECT_EQ(list->GetClearState(), TRUE);
}

TEST_F(VelListCtrlCommit, ClickingAnotherCellCommitsTheOpenEditOnce)
{
    QSignalSpy commits(list.get(), &CVelListCtrl::editCommitted);
    ClickCell(0, 0);
    QTest::keyClicks(list->GetInEdit(), QStringLiteral("brine"));
    ClickCell(2, 0);
    ASSERT_EQ(commits.count(), 1);
    EXPECT_EQ(commits[0][0].toInt(), 0);
    EXPECT_EQ(list->GetItemText(0, 0), QStringLiteral("brine"));
    ASSERT_NE(list->GetInEdit(), nullptr);
    EXPECT_EQ(list->GetInEdit()->text(), QStringLiteral("syrup"));
}

TEST_F(VelListCtrlCommit, EditorIsDeletedOnlyAfterItsFocusLossReturned)
{
    ClickCell(1, 1);
    QPointer<CVelInEdit> edit = list->GetInEdit();
    ASSERT_FALSE(edit.isNull());
    bool aliveInSlot = false;
    QObject::connect(list.get(), &CVelListCtrl::editCommitted, [&] { aliveInSlot = !edit.isNull(); });
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(aliveInSlot);
    ASSERT_FALSE(edit.isNull());
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(list->GetInEdit(), nullptr);
    FlushDeletes();
    EXPECT_TRUE(edit.isNull());
}

TEST_F(VelListCtrlCommit, ScrollingEndsTheOpenEditor)
{
    list->setColumnWidth(2, 400);
    QApplication::processEvents();
    QSignalSpy commits(list.get(), &CVelListCtrl::editCommitted);
    ClickCell(2, 1);
    QTest::keyClick(list->GetInEdit(), Qt::Key_End);
    QTest::keyClicks(list->GetInEdit(), QStringLiteral("9"));
    list->horizontalScrollBar()->setValue(30);
    ASSERT_EQ(commits.count(), 1);
    EXPECT_EQ(list->GetItemText(2, 1), QStringLiteral("609"));
    EXPECT_EQ(list->GetInEdit(), nullptr);
    EXPECT_TRUE(list->hasFocus());
}

TEST_F(VelListCtrlCommit, DropDownCommitsTheSelectedEntry)
{
    list->SetComboColText(2, -1, {"Hold", "Ramp", "Step"});
    QSignalSpy commits(list.get(), &CVelListCtrl::editCommitted);
    ClickCell(2, 2);
    CVelInComboBox* combo = list->GetInComboBox();
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->currentText(), QStringLiteral("Ramp"));  // case does not matter
    EXPECT_EQ(combo->GetDroppedControlRect().Height(), 100);
    EXPECT_EQ(combo->GetStyle(), 0x50200043u);
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Tab);
    EXPECT_EQ(list->GetItemText(2, 2), QStringLiteral("Step"));
    ASSERT_EQ(commits.count(), 1);
    EXPECT_EQ(commits[0][2].toString(), QStringLiteral("Step"));
}

TEST_F(VelListCtrlCommit, DropDownWithoutAMatchCommitsAnEmptyText)
{
    list->SetComboColText(0, -1, {"acetone", "ethanol"});
    ClickCell(1, 0);
    ASSERT_NE(list->GetInComboBox(), nullptr);
    EXPECT_EQ(list->GetInComboBox()->currentIndex(), -1);
    list->setFocus();
    EXPECT_EQ(list->GetItemText(1, 0), QString());
    EXPECT_EQ(list->GetInComboBox(), nullptr);
}

TEST_F(VelListCtrlCommit, RowsAndColumnsChangingCommitTheEditToItsOwnCell)
{
    QSignalSpy commits(list.get(), &CVelListCtrl::editCommitted);
    ClickCell(2, 0);
    QTest::keyClicks(list->GetInEdit(), QStringLiteral("paste"));
    list->DeleteItem(0);
    ASSERT_EQ(commits.count(), 1);
    EXPECT_EQ(commits[0][0].toInt(), 2);
    EXPECT_EQ(list->GetItemText(1, 0), QStringLiteral("paste"));

    ClickCell(0, 2);
    QTest::keyClicks(list->GetInEdit(), QStringLiteral("pulse"));
    list->DeleteColumn(1);
    ASSERT_EQ(commits.count(), 2);
    EXPECT_EQ(list->GetItemText(0, 1), QStringLiteral("pulse"));
    EXPECT_EQ(list->GetInEdit(), nullptr);
}

TEST_F(VelListCtrlCommit, DestroyingTheListWithAnOpenEditorIsSafe)
{
    QSignalSpy commits(list.get(), &CVelListCtrl::editCommitted);
    ClickCell(0, 0);
    ASSERT_NE(list->GetInEdit(), nullptr);
    list.reset();
    EXPECT_EQ(commits.count(), 0);
}

}  // namespace
