#pragma once

#include "input/VelInComboBox.h"
#include "input/VelInEdit.h"
#include "input/VelListCtrl.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// The list with its protected steps reachable from the tests.
class ListUnderTest : public CVelListCtrl {
public:
    using CVelListCtrl::CVelListCtrl;
    using CVelListCtrl::CompareFunction;
    using CVelListCtrl::DateCompare;
    using CVelListCtrl::FindItemBy;
    using CVelListCtrl::GetItemBounds;
    using CVelListCtrl::GetItemTypeBy;
    using CVelListCtrl::GetSubItemRect;
    using CVelListCtrl::HitTestColBy;
    using CVelListCtrl::IsDate;
    using CVelListCtrl::IsNumber;
    using CVelListCtrl::NumberCompare;
    using CVelListCtrl::OnNMClick;

    int TypeOf(int nColumn, int nItem) const
    {
        const sListColAttribute* pAttr = nullptr;
        return GetItemTypeBy(nColumn, nItem, pAttr);
    }
};

// A shown, active list of four rows and three columns (name, speed, mode),
// 80 pixels per column.
class ListFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        list = std::make_unique<ListUnderTest>();
        list->InitListControl();
        list->InsertColumn(0, QStringLiteral("Name"), CVelListCtrl::LVCFMT_LEFT, 80);
        list->InsertColumn(1, QStringLiteral("Speed"), CVelListCtrl::LVCFMT_RIGHT, 80);
        list->InsertColumn(2, QStringLiteral("Mode"), CVelListCtrl::LVCFMT_LEFT, 80);
        const char* rows[][3] = {{"water", "300", "ramp"}, {"oil", "120", "hold"}, {"syrup", "60", "ramp"}, {"gel", "45", "step"}};
        for (int r = 0; r < 4; ++r) {
            list->InsertItem(r, QString::fromUtf8(rows[r][0]));
            list->SetItemText(r, 1, QString::fromUtf8(rows[r][1]));
            list->SetItemText(r, 2, QString::fromUtf8(rows[r][2]));
        }
        list->resize(300, 200);
        list->show();
        QApplication::setActiveWindow(list.get());
        list->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(list.get()));
        list->setFocus();
    }

    // The middle of a cell, in viewport coordinates.
    QPoint CellCentre(int nItem, int nColumn) const { return list->visualRect(list->model()->index(nItem, nColumn)).center(); }

    void Click(QPoint at) { QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at); }
    void ClickCell(int nItem, int nColumn) { Click(CellCentre(nItem, nColumn)); }

    // Lets the editors that ended be deleted.
    static void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    std::unique_ptr<ListUnderTest> list;
};
