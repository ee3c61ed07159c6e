#include "input/MenuButton.h"
#include "InputFixtures.h"

#include "platform/OwnerDrawItem.h"
#include "platform/SysColor.h"

#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

using namespace plat;

namespace {

class CountingButton : public CMenuButton {
public:
    using CMenuButton::CMenuButton;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* e) override
    {
        ++paints;
        CMenuButton::paintEvent(e);
    }
};

QImage Shot(QWidget& w)
{
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(MenuButton, BuiltBorderlessOnTheButtonFace)
{
    CMenuButton button(QStringLiteral("File"));
    button.resize(80, 26);
    EXPECT_EQ(button.GetFlatStyle(), CMenuButton::StyleNoBorder);
    EXPECT_EQ(button.GetFaceColor(), GetSysColor(COLOR_BTNFACE));
    const QImage shot = Shot(button);
    // No border at rest: the face reaches the edges.
    for (QPoint p : {QPoint(0, 0), QPoint(79, 25), QPoint(0, 13), QPoint(40, 0)})
        EXPECT_EQ(shot.pixel(p), PixelOf(GetSysColor(COLOR_BTNFACE))) << p.x() << "," << p.y();
    EXPECT_GT(CountNear(shot, shot.rect(), PixelOf(GetSysColor(COLOR_BTNTEXT))), 5);
}

TEST(MenuButton, FaceColourPaintsAtOnceOnlyWhenAsked)
{
    QWidget host;
    host.resize(120, 40);
    auto* button = new CountingButton(QStringLiteral("Run"), &host);
    button->setGeometry(10, 5, 80, 26);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    int before = button->paints;
    button->SetFaceColor(0x14C8AA, FALSE);
    EXPECT_EQ(button->paints, before);
    EXPECT_EQ(button->GetFaceColor(), 0x14C8AAu);
    button->SetFaceColor(0x6EC8FA);
    EXPECT_GT(button->paints, before);
    EXPECT_EQ(Shot(*button).pixel(2, 2), PixelOf(0x6EC8FA));
}

TEST(MenuButton, StatesDrawTheirEdgesAndText)
{
    CMenuButton button(QStringLiteral("Stop"));
    button.resize(80, 26);
    button.SetFaceColor(0xAAC814, FALSE);
    button.setDown(true);
    QImage shot = Shot(button);
    EXPECT_EQ(shot.pixel(0, 0), PixelOf(0x7F7F7F)) << "pressed: sunken, dark top-left";
    EXPECT_EQ(shot.pixel(79, 25), PixelOf(0xFFFFFF));
    button.setDown(false);
    button.setEnabled(false);
    shot = Shot(button);
    EXPECT_EQ(shot.pixel(0, 0), PixelOf(0xAAC814));
    EXPECT_GT(CountNear(shot, shot.rect(), PixelOf(0x7F7F7F), 20), 5) << "disabled text is grey";
    EXPECT_EQ(button.ItemState() & ODS_DISABLED, ODS_DISABLED);
}

TEST(MenuButton, OpensItsMenu)
{
    CMenuButton button(QStringLiteral("File"));
    QMenu menu;
    menu.addAction(QStringLiteral("Open"));
    button.setMenu(&menu);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    bool shown = false;
    QObject::connect(&menu, &QMenu::aboutToShow, [&] {
        shown = true;
        QMetaObject::invokeMethod(&menu, &QMenu::close, Qt::QueuedConnection);
    });
    button.showMenu();
    EXPECT_TRUE(shown);
}

}  // namespace
