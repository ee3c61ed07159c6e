// The main window scales its template's controls with its size.
#include "display/VelDigit.h"
#include "ui/MainMenuBar.h"
#include "ui/RunStatusStrip.h"
#include "ui/TemplateScaler.h"

#include "MainWindowFixture.h"

#include <QLabel>
#include <cmath>
#include <map>

using namespace main_window_test;

TEST(TemplateScalerTest, FittedKeepsTheProportionsAtTheTopLeft)
{
    const struct {
        QRect rc;
        QSize aspect;
        QRect expected;
    } cases[] = {
        {{10, 20, 321, 118}, {321, 118}, {10, 20, 321, 118}},
        {{10, 20, 642, 118}, {321, 118}, {10, 20, 321, 118}},   // too wide: width follows height
        {{0, 0, 160, 300}, {320, 120}, {0, 0, 160, 60}},        // too tall: height follows width
        {{5, 5, 0, 10}, {321, 118}, {5, 5, 0, 10}},             // empty stays as it is
    };
    for (const auto& c : cases) EXPECT_EQ(CTemplateScaler::Fitted(c.rc, c.aspect), c.expected) << c.rc.width();
}

TEST(TemplateScalerTest, FitFactorNeverScalesUp)
{
    EXPECT_DOUBLE_EQ(CTemplateScaler::FitFactor({1031, 600}, {1280, 1024}), 1.0);
    EXPECT_DOUBLE_EQ(CTemplateScaler::FitFactor({1000, 600}, {500, 600}), 0.5);
    EXPECT_DOUBLE_EQ(CTemplateScaler::FitFactor({1000, 600}, {900, 300}), 0.5);
    EXPECT_DOUBLE_EQ(CTemplateScaler::FitFactor({1000, 600}, {0, 0}), 1.0);
}

namespace {

const int kTemplateIds[] = {1010, 1007, 1012, 1001, 1013, 1000, 1015, 1004, 1017, 1005, 1006, 1009, 1008, 2};

class WindowScalingTest : public MainWindowTest {
protected:
    std::map<int, QRect> Places() const
    {
        std::map<int, QRect> places;
        for (int id : kTemplateIds) places[id] = dlg->GetDlgItem(id)->geometry();
        return places;
    }
};

}  // namespace

TEST_F(WindowScalingTest, ControlsScaleWithTheAreaAndComeBackExactly)
{
    Open();
    const QRect area = dlg->TemplateArea();
    const std::map<int, QRect> before = Places();
    const QSize original = dlg->size();

    const double f = 0.75;
    dlg->resize(int(original.width() * f), original.height() - area.height() + int(area.height() * f));
    const QRect scaled = dlg->TemplateArea();
    ASSERT_EQ(scaled.top(), area.top()) << "the bar keeps its height";
    EXPECT_EQ(scaled.width(), dlg->width());
    const double sx = double(scaled.width()) / area.width();
    const double sy = double(scaled.height()) / area.height();
    for (int id : kTemplateIds) {
        if (id == 1000 || id == 1001) continue;  // digit displays: below
        SCOPED_TRACE(id);
        const QRect was = before.at(id);
        const QRect now = dlg->GetDlgItem(id)->geometry();
        EXPECT_NEAR(now.left(), was.left() * sx, 1.0);
        EXPECT_NEAR(now.top() - scaled.top(), (was.top() - area.top()) * sy, 1.0);
        EXPECT_NEAR(now.width(), was.width() * sx, 1.5);
        EXPECT_NEAR(now.height(), was.height() * sy, 1.5);
    }
    EXPECT_EQ(dlg->MenuBar()->geometry(), QRect(0, 0, dlg->width(), area.top()));
    EXPECT_EQ(dlg->Strip()->geometry(), QRect(0, scaled.bottom() + 1, dlg->width(), CRunStatusStrip::kHeight));
    EXPECT_EQ(dlg->Strip()->geometry().bottom(), dlg->height() - 1);

    dlg->resize(original);
    EXPECT_EQ(Places(), before) << "no drift after scaling back";
}

TEST_F(WindowScalingTest, DigitDisplaysKeepTheirStripsProportionsAndShowScaledDigits)
{
    Open();
    const QSize native = dlg->SpeedDisplay()->size();
    ASSERT_EQ(native, QSize(321, 118));
    // Wider than tall: the displays follow the height.
    dlg->resize(dlg->width() * 2, dlg->height());
    for (CVelDigit* digit : {dlg->SpeedDisplay(), dlg->TorqueDisplay()}) {
        const QSize size = digit->size();
        EXPECT_NEAR(double(size.width()) / size.height(), 321.0 / 118.0, 0.02);
        EXPECT_TRUE(dlg->TemplateArea().contains(digit->geometry()));
    }
    // Smaller: the whole picture shrinks with it; the last digit place of
    // "  500" (a lit 0) lands in the display's last fifth, not clipped away.
    const QSize small(dlg->width() / 4, dlg->height() / 2);
    dlg->resize(small);
    CVelDigit* speed = dlg->SpeedDisplay();
    ASSERT_LT(speed->width(), native.width());
    ASSERT_TRUE(speed->IsScaleToFit());
    const QImage shrunk = speed->grab().toImage();
    const QImage full = [&] {
        CVelDigit reference;
        reference.SetStyle(vantoc::IDB_DIGIT_STRIP, 5);
        reference.SetDotPrecision(0);
        reference.SetValue(500.0f, plat::TRUE);
        reference.SetZeroPadding(plat::TRUE, plat::TRUE);
        return reference.grab().toImage().scaled(speed->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }();
    ASSERT_EQ(shrunk.size(), full.size());
    int differing = 0;
    for (int y = 3; y < shrunk.height() - 3; ++y)
        for (int x = 3; x < shrunk.width() - 3; ++x) {
            const QColor a = shrunk.pixelColor(x, y), b = full.pixelColor(x, y);
            differing += std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) > 60;
        }
    EXPECT_LT(differing, shrunk.width() * shrunk.height() / 20) << "the scaled picture of the digits";
}

TEST_F(WindowScalingTest, FitToAScreenOf1024By768)
{
    Open();
    const QRect area = dlg->TemplateArea();
    const int fixed = dlg->height() - area.height();
    const QSize available(1024 - 16, 768 - 48);
    dlg->FitToScreen(available);
    EXPECT_LE(dlg->width(), available.width());
    EXPECT_LE(dlg->height(), available.height());
    EXPECT_EQ(dlg->height(), fixed + dlg->TemplateArea().height());
    // Scaled down as a whole: the area keeps its proportions.
    EXPECT_NEAR(double(dlg->TemplateArea().width()) / dlg->TemplateArea().height(),
                double(area.width()) / area.height(), 0.01);
    for (int id : kTemplateIds) EXPECT_TRUE(dlg->TemplateArea().contains(dlg->GetDlgItem(id)->geometry())) << id;

    // A screen that is large enough leaves the window as it is.
    const QSize now = dlg->size();
    dlg->FitToScreen({4000, 3000});
    EXPECT_EQ(dlg->size(), now);
}
