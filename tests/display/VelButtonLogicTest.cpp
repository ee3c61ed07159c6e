#include "display/VelButton.h"
#include "Printers.h"

#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Opens the protected text helpers for the tables below.
class TextHelpers : public CVelButton {
public:
    using CVelButton::GetLineText;
    using CVelButton::GetMaxLenText;
    using CVelButton::StripMnemonics;
};

QString Stripped(QString s)
{
    TextHelpers::StripMnemonics(s);
    return s;
}

TEST(VelButtonText, StripMnemonics)
{
    EXPECT_EQ(Stripped("&Start"), "Start");
    EXPECT_EQ(Stripped("Save && Quit"), "Save && Quit");  // drawn as one "&" by prefix drawing
    EXPECT_EQ(Stripped("&Save && &Quit"), "Save && Quit");
    EXPECT_EQ(Stripped("a&&&b"), "a&&b");
    EXPECT_EQ(Stripped("plain"), "plain");
    EXPECT_EQ(Stripped("&"), "");
    EXPECT_EQ(Stripped("x^^ && &y"), "x^^ && y");  // the caption's own "^^" stays
}

TEST(VelButtonText, LinesSplitAtEveryLineFeed)
{
    QStringList lines;
    int n = -1;
    TextHelpers::GetLineText("one", lines, n);
    EXPECT_EQ(n, 1);
    TextHelpers::GetLineText("two\nwords", lines, n);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(lines, QStringList({"two", "words"}));
    TextHelpers::GetLineText("end\n", lines, n);
    EXPECT_EQ(n, 2);  // a trailing line feed leaves an empty last line
    EXPECT_EQ(lines.last(), "");
}

TEST(VelButtonText, LongestLineByCharactersFirstWins)
{
    QString max;
    TextHelpers::GetMaxLenText({"ab", "WW", "c", "xyz", "abc"}, max);
    EXPECT_EQ(max, "xyz");
    TextHelpers::GetMaxLenText({""}, max);
    EXPECT_EQ(max, "");
}

TEST(VelButtonGrey, LuminanceRule)
{
    EXPECT_EQ(CVelButton::GrayValue(255, 0, 0), 76);
    EXPECT_EQ(CVelButton::GrayValue(0, 255, 0), 149);
    EXPECT_EQ(CVelButton::GrayValue(0, 0, 255), 29);
    EXPECT_EQ(CVelButton::GrayValue(255, 255, 255), 255);
}

TEST(VelButtonGrey, ImageKeepsBlackAndAlpha)
{
    QImage image(3, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(255, 0, 0, 255));
    image.setPixel(1, 0, qRgba(0, 0, 0, 255));
    image.setPixel(2, 0, qRgba(0, 0, 255, 0));
    const QImage grey = CVelButton::GrayscaleImage(image);
    EXPECT_EQ(grey.pixel(0, 0), qRgba(76, 76, 76, 255));
    EXPECT_EQ(grey.pixel(1, 0), qRgba(0, 0, 0, 255));
    EXPECT_EQ(qAlpha(grey.pixel(2, 0)), 0);
}

class VelButtonMouse : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.resize(200, 100);
        button = new CVelButton("Go", &host);
        button->setGeometry(20, 20, 80, 30);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }

    QWidget host;
    CVelButton* button = nullptr;
};

TEST_F(VelButtonMouse, HoverFollowsThePointer)
{
    QTest::mouseMove(button, QPoint(10, 10));
    QTRY_VERIFY_WITH_TIMEOUT(button->IsHover(), 2000);
    QTest::mouseMove(&host, QPoint(150, 80));
    QTRY_VERIFY_WITH_TIMEOUT(!button->IsHover(), 2000);
}

TEST_F(VelButtonMouse, PressEndsTheHoverLook)
{
    QTest::mouseMove(button, QPoint(10, 10));
    QTRY_VERIFY_WITH_TIMEOUT(button->IsHover(), 2000);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(button->IsDepressed());
    QTRY_VERIFY_WITH_TIMEOUT(!button->IsHover(), 2000);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(button->IsDepressed());
    QTest::mouseMove(button, QPoint(12, 12));
    QTRY_VERIFY_WITH_TIMEOUT(button->IsHover(), 2000);
}

TEST_F(VelButtonMouse, DoubleClickIsASecondPress)
{
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseDClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(button->IsDepressed());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks.count(), 2);
}

}  // namespace
