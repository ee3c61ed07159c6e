#include "GalleryWindow.h"
#include "ScaledPanel.h"

#include "input/ACComboBox.h"
#include "input/ACMatchList.h"
#include "input/MenuButton.h"
#include "input/TarnGroupBox.h"
#include "input/TarnMenu.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(GalleryInput, MenusAreConvertedAndOpenFromTheirButtons)
{
    GalleryWindow window;
    const auto menus = window.findChildren<CTarnMenu*>();
    ASSERT_EQ(menus.size(), 1);
    const CTarnMenu* tarn = menus.first();
    EXPECT_TRUE(tarn->IsInitialized());
    const auto buttons = window.findChildren<CMenuButton*>();
    ASSERT_EQ(buttons.size(), GalleryWindow::kMenuButtons);
    for (const CMenuButton* button : buttons) {
        ASSERT_NE(button->menu(), nullptr);
        EXPECT_TRUE(tarn->IsConverted(button->menu())) << button->text().toStdString();
    }
}

TEST(GalleryInput, GroupBoxesShowBothLooks)
{
    GalleryWindow window;
    const auto boxes = window.findChildren<CTarnGroupBox*>();
    ASSERT_EQ(boxes.size(), GalleryWindow::kGroupBoxes);
    EXPECT_NE(boxes[0]->GetXPGroupStyle(), boxes[1]->GetXPGroupStyle());
}

TEST(GalleryInput, ComboBoxCompletes)
{
    GalleryWindow window;
    const auto combos = window.findChildren<CACComboBox*>();
    ASSERT_EQ(combos.size(), 1);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::keyClicks(combos.first()->lineEdit(), QStringLiteral("gl"));
    EXPECT_EQ(combos.first()->lineEdit()->text(), QStringLiteral("Glycerol"));
    EXPECT_TRUE(combos.first()->GetMatchList()->isVisible());
    window.hide();
}

TEST(GalleryInput, ScaledPanelHoldsItsControlsAtOneAndAHalf)
{
    GalleryWindow window;
    const auto panels = window.findChildren<ScaledPanel*>();
    ASSERT_EQ(panels.size(), GalleryWindow::kScaledPanels);
    const auto designed = panels[0]->findChildren<QPushButton*>();
    const auto scaled = panels[1]->findChildren<QPushButton*>();
    ASSERT_EQ(designed.size(), scaled.size());
    ASSERT_FALSE(designed.isEmpty());
    for (qsizetype i = 0; i < designed.size(); ++i) {
        const QRect d = designed[i]->geometry(), s = scaled[i]->geometry();
        EXPECT_NEAR(s.left(), d.left() * 1.5, 1.0);
        EXPECT_NEAR(s.width(), d.width() * 1.5, 1.0);
        EXPECT_NEAR(s.top(), d.top() * 1.5, 1.0);
    }
}

}  // namespace
