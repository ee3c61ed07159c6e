#include "input/VelInComboBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace plat;

namespace {

class InComboFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.resize(300, 240);
        host.setFocusPolicy(Qt::StrongFocus);
        host.show();
        QApplication::setActiveWindow(&host);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    }

    CVelInComboBox* Open(const QString& initText)
    {
        auto* combo = new CVelInComboBox(2, 1, initText, &choices);
        ends = 0;
        QObject::connect(combo, &CVelInComboBox::endLabelEdit, [this](sInPlaceNotify& info) {
            last = info;
            ++ends;
        });
        EXPECT_TRUE(combo->Create(CVelInComboBox::kListStyle, CRect(20, 30, 140, 130), &host, 1003));
        return combo;
    }

    QStringList choices{"Anchor", "Paddle", "Propeller", "Turbine"};
    int ends = 0;
    sInPlaceNotify last;
    // Last, so that a box still open when the test ends reports its end
    // into members that are still alive.
    QWidget host;
};

TEST_F(InComboFixture, SelectsTheFirstEntryBeginningWithTheText)
{
    struct Case {
        const char* init;
        int index;
    } cases[] = {{"P", 1}, {"prop", 2}, {"Turbine", 3}, {"", 0}, {"Rotor", -1}, {"Paddles", -1}};
    for (const Case& c : cases) {
        CVelInComboBox* combo = Open(QString::fromUtf8(c.init));
        EXPECT_EQ(combo->count(), 4);
        EXPECT_EQ(combo->currentIndex(), c.index) << "initial text " << c.init;
        EXPECT_TRUE(combo->hasFocus());
        delete combo;
    }
}

TEST_F(InComboFixture, ClosedBoxAtTheTopOpenListFillsTheRest)
{
    CVelInComboBox* combo = Open(QStringLiteral("Anchor"));
    EXPECT_EQ(combo->geometry().topLeft(), QPoint(20, 30));
    EXPECT_EQ(combo->width(), 120);
    EXPECT_LT(combo->height(), 100);
    EXPECT_EQ(combo->GetDroppedControlRect(), CRect(20, 30, 140, 130));
    combo->showPopup();
    QWidget* popup = combo->view()->window();
    ASSERT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->height() + combo->height(), 100);
    EXPECT_EQ(popup->geometry().top(), combo->mapToGlobal(QPoint(0, combo->height())).y());
    // Opening its own list does not end the edit.
    EXPECT_EQ(ends, 0);
    combo->hidePopup();
    EXPECT_EQ(ends, 0);
}

TEST_F(InComboFixture, EnterAndTabEndWithTheSelectedText)
{
    CVelInComboBox* combo = Open(QStringLiteral("Paddle"));
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Return);
    ASSERT_EQ(ends, 1);
    EXPECT_EQ(last.strText, QStringLiteral("Propeller"));
    EXPECT_EQ(last.code, LVN_ENDLABELEDITA);
    EXPECT_EQ(last.iItem, 2);
    EXPECT_EQ(last.iSubItem, 1);
    EXPECT_FALSE(combo->IsTabDown());
    EXPECT_TRUE(host.hasFocus());

    CVelInComboBox* second = Open(QStringLiteral("T"));
    QTest::keyClick(second, Qt::Key_Tab);
    ASSERT_EQ(ends, 1);
    EXPECT_EQ(last.strText, QStringLiteral("Turbine"));
    EXPECT_TRUE(second->IsTabDown());
}

TEST_F(InComboFixture, EscapeDoesNotRestoreTheInitialText)
{
    CVelInComboBox* combo = Open(QStringLiteral("Anchor"));
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Escape);
    host.setFocus();
    ASSERT_EQ(ends, 1);
    EXPECT_EQ(last.strText, QStringLiteral("Paddle"));
}

}  // namespace
