#include "EditSection.h"
#include "GalleryWindow.h"

#include "display/TarnStatic.h"
#include "display/VelButton.h"
#include "display/VelDigit.h"
#include "graph/VelGraphWnd.h"
#include "input/VelEdit.h"
#include "platform/ResourceModule.h"

#include <QImage>
#include <QPushButton>
#include <QSet>
#include <gtest/gtest.h>

namespace {

class Gallery : public ::testing::Test {
protected:
    Gallery() : previous(plat::CResourceModule::SetProgram(&program)) {}
    ~Gallery() override { plat::CResourceModule::SetProgram(previous); }

    plat::CResourceModule program{QStringLiteral("quindle-gallery"), QStringLiteral(":/vantoc")};
    plat::CResourceModule* previous;
};

TEST_F(Gallery, HoldsEveryControlOfItsSections)
{
    GalleryWindow window;
    const auto digits = window.findChildren<CVelDigit*>();
    ASSERT_EQ(digits.size(), GalleryWindow::kDigitDisplays);
    for (const CVelDigit* digit : digits)
        EXPECT_EQ(digit->GetCellSize(), plat::CSize(63, 112)) << "the digit strip was not found";

    // The charts' tool buttons are counted with the charts.
    auto buttons = window.findChildren<CVelButton*>();
    buttons.removeIf([](const CVelButton* b) { return qobject_cast<CVelGraphWnd*>(b->parentWidget()); });
    EXPECT_EQ(buttons.size(), GalleryWindow::kButtonStyles * GalleryWindow::kButtonStates + 4);
    QSet<int> styles;
    for (const CVelButton* button : buttons)
        styles.insert(button->GetFrameStyle());
    EXPECT_EQ(styles.size(), GalleryWindow::kButtonStyles);

    EXPECT_EQ(window.findChildren<CTarnStatic*>().size(), GalleryWindow::kLabels);

    const auto charts = window.findChildren<CVelGraphWnd*>();
    ASSERT_EQ(charts.size(), GalleryWindow::kCharts);
    QSet<int> types;
    for (const CVelGraphWnd* chart : charts) {
        types.insert(chart->GetGraph()->GetGraphType());
        // The line chart also carries its set-point, a legend and the tool
        // buttons, so its legend dialog and image export can be tried.
        const bool bLine = chart->GetGraph()->GetGraphType() == GRAPH_LINE;
        EXPECT_EQ(chart->GetGraph()->GetSeriesCount(), bLine ? 2 : 1);
        EXPECT_EQ(chart->GetGraph()->CanShowLegend(), bLine ? 1 : 0);
        EXPECT_EQ(chart->GetButton(CVelGraphWnd::kIdLegend) != nullptr, bLine);
    }
    EXPECT_EQ(types.size(), GalleryWindow::kCharts);
}

TEST_F(Gallery, ShowsTheEditInEachModeAndOffersAChartsPropertySheet)
{
    GalleryWindow window;
    const auto edits = window.findChildren<CVelEdit*>();
    ASSERT_EQ(edits.size(), EditSection::kEdits);
    QSet<int> modes;
    for (const CVelEdit* edit : edits) modes.insert(edit->GetMode());
    EXPECT_EQ(modes.size(), EditSection::kEdits);
    const auto* section = window.findChild<EditSection*>();
    ASSERT_NE(section, nullptr);
    const auto* button = section->findChild<QPushButton*>();
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isEnabled());
}

TEST_F(Gallery, RendersOffscreen)
{
    GalleryWindow window;
    window.adjustSize();
    const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(shot.isNull());
    EXPECT_GE(shot.width(), 900);
    EXPECT_GE(shot.height(), 600);

    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 3)
        for (int x = 0; x < shot.width(); x += 3)
            colours.insert(shot.pixel(x, y));
    EXPECT_GT(colours.size(), 50);

    // The first digit display shows its strip: light ground, dark segments.
    const CVelDigit* digit = window.findChildren<CVelDigit*>().first();
    const QRect r(digit->mapTo(&window, QPoint(0, 0)), digit->size());
    int dark = 0, light = 0;
    for (int y = r.top() + 3; y < r.bottom() - 3; ++y)
        for (int x = r.left() + 3; x < r.right() - 3; ++x) {
            const int grey = qGray(shot.pixel(x, y));
            dark += grey < 80;
            light += grey > 150;
        }
    EXPECT_GT(dark, 500);
    EXPECT_GT(light, dark);
}

}  // namespace
