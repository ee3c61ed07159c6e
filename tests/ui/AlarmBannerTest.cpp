#include "ui/AlarmBanner.h"
#include "ui/RunControl.h"
#include "ui/RunStatusStrip.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const QDateTime kAt(QDate(2026, 3, 4), QTime(14, 3, 22));
}

TEST(AlarmBannerTest, LineTexts)
{
    const struct {
        QString reason;
        int count;
        QString expected;
    } cases[] = {
        {"Torque limit 40 Ncm reached", 1, "14:03:22  Torque limit 40 Ncm reached"},
        {"No valid reply for 10 s", 3, "14:03:22  No valid reply for 10 s  (3 alarms)"},
        {"", 1, "14:03:22  "},
    };
    for (const auto& c : cases) EXPECT_EQ(CAlarmBanner::LineText(c.reason, kAt, c.count), c.expected);
}

TEST(AlarmBannerTest, StaysUntilAcknowledgedWhateverElseHappens)
{
    QWidget window;
    auto* banner = new CAlarmBanner(&window);
    window.show();
    EXPECT_FALSE(banner->isVisible());
    QSignalSpy acknowledged(banner, &CAlarmBanner::acknowledged);

    banner->Raise("Torque limit 40 Ncm reached", kAt);
    EXPECT_TRUE(banner->IsRaised());
    EXPECT_TRUE(banner->isVisible());
    EXPECT_EQ(banner->Text(), "14:03:22  Torque limit 40 Ncm reached");
    EXPECT_EQ(banner->BeepCount(), 1);

    // Clicks on the text, keys and a second alarm do not clear it.
    QTest::mouseClick(banner, Qt::LeftButton, {}, QPoint(5, banner->height() / 2));
    QTest::keyClick(&window, Qt::Key_Return);
    QTest::keyClick(&window, Qt::Key_Escape);
    banner->Raise("No valid reply for 10 s", kAt.addSecs(60));
    EXPECT_TRUE(banner->IsRaised());
    EXPECT_EQ(banner->RaisedCount(), 2);
    EXPECT_EQ(banner->Text(), "14:04:22  No valid reply for 10 s  (2 alarms)");
    EXPECT_EQ(acknowledged.count(), 0);

    banner->AcknowledgeButton()->click();
    EXPECT_FALSE(banner->IsRaised());
    EXPECT_FALSE(banner->isVisible());
    EXPECT_EQ(acknowledged.count(), 1);

    // Acknowledging nothing says nothing.
    banner->Acknowledge();
    EXPECT_EQ(acknowledged.count(), 1);
}

TEST(AlarmBannerTest, TheStripCarriesTheBannerBetweenItsTexts)
{
    CRunControl run;
    CRunStatusStrip strip(run);
    strip.resize(1000, CRunStatusStrip::kHeight);
    strip.show();
    CAlarmBanner* banner = strip.Banner();
    ASSERT_NE(banner, nullptr);
    EXPECT_FALSE(banner->isVisible());
    auto VisibleCells = [&] {
        int n = 0;
        for (const QLabel* label : strip.findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) n += label->isVisible();
        return n;
    };
    const int nCells = VisibleCells();
    banner->Raise("Torque limit 40 Ncm reached", kAt);
    ASSERT_TRUE(banner->isVisible());
    EXPECT_EQ(VisibleCells(), nCells - 2) << "start time and file name make room";
    QApplication::processEvents();
    EXPECT_GT(banner->width(), 300) << "the free middle of the strip";
    EXPECT_LE(banner->geometry().bottom(), strip.height());
    const QImage image = strip.grab().toImage();
    EXPECT_EQ(image.pixelColor(banner->x() + 2, banner->y() + 2), QColor(0xC0, 0x10, 0x10));
    banner->Acknowledge();
    EXPECT_EQ(VisibleCells(), nCells);
}
