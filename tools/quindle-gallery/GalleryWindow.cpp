#include "GalleryWindow.h"

#include "Backdrop.h"
#include "EditSection.h"

#include "display/TarnStatic.h"
#include "display/VelButton.h"
#include "display/VelDigit.h"
#include "graph/VelGraphWnd.h"
#include "input/ACComboBox.h"
#include "input/MenuButton.h"
#include "input/TarnGroupBox.h"
#include "input/TarnMenu.h"
#include "MenuPreview.h"
#include "ScaledPanel.h"
#include "platform/Font.h"
#include "platform/Icon.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <cmath>
#include <vector>

using namespace plat;

namespace {

// Vantoc's colours: window background and light text.
constexpr COLORREF kSlate = 0x775649;
constexpr COLORREF kLightText = 0xEAEAEA;

// A button that can show its hover look without the pointer on it.
class PreviewButton : public CVelButton {
public:
    using CVelButton::CVelButton;
    using CVelButton::SetHoverLook;
};

// A small round icon for the icon buttons.
HICON DotIcon(QColor colour)
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour.darker(150), 1.5));
    p.setBrush(colour);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    return CreateIconFromImage(image);
}

CFont* LabelFont()
{
    auto* font = new CFont;
    LOGFONT lf;
    lf.lfHeight = 18;
    lf.lfWeight = FW_SEMIBOLD;
    lf.SetFaceName("宋体");
    font->CreateFontIndirect(&lf);
    return font;
}

QLabel* Caption(const QString& text)
{
    auto* label = new QLabel(text);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

struct DigitSample {
    const char* caption;
    float value;
    int precision;
    int dotPrecision;
    bool zeroPadding;
};

const DigitSample kDigitSamples[GalleryWindow::kDigitDisplays] = {
    {"500, 5 places, zero padding", 500.0f, 5, 0, true},
    {"500, zero padding off", 500.0f, 5, 0, false},
    {"3.14159, 2 decimals", 3.14159f, 5, 2, true},
    {"123456 in 5 places", 123456.0f, 5, 0, true},
    {"-5 in 3 places", -5.0f, 3, 0, true},
    {"0, as constructed", 0.0f, 2, 5, false},
};

}  // namespace

GalleryWindow::GalleryWindow(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Quindle gallery"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DigitSection());
    layout->addWidget(ButtonSection());
    layout->addWidget(LabelSection());
    QWidget* charts = ChartSection();
    layout->addWidget(charts);
    layout->addWidget(InputSection());
    layout->addWidget(new EditSection(charts->findChild<CVelGraphWnd*>()));
}

QWidget* GalleryWindow::DigitSection()
{
    auto* box = new QGroupBox(QStringLiteral("CVelDigit: digit strip 102 of the program's resources"));
    auto* grid = new QGridLayout(box);
    for (int i = 0; i < kDigitDisplays; ++i) {
        const DigitSample& s = kDigitSamples[i];
        auto* digit = new CVelDigit;
        digit->SetDotPrecision(s.dotPrecision);
        digit->SetZeroPadding(s.zeroPadding ? 1 : 0, 0);
        digit->SetValue(s.value, 0);
        digit->SetStyle(102, s.precision);
        digit->setFixedSize(digit->sizeHint());
        const int row = (i / 3) * 2, col = i % 3;
        grid->addWidget(digit, row, col, Qt::AlignCenter);
        grid->addWidget(Caption(QString::fromUtf8(s.caption)), row + 1, col);
    }
    return box;
}

QWidget* GalleryWindow::ButtonSection()
{
    auto* box = new QGroupBox(QStringLiteral("CVelButton: frame styles by state"));
    auto* grid = new QGridLayout(box);
    const char* styles[kButtonStyles] = {"flat", "semi-flat", "normal", "no border"};
    const char* states[kButtonStates] = {"idle", "hover", "pressed", "checked", "default", "disabled", "icon", "icon above"};
    for (int col = 0; col < kButtonStates; ++col)
        grid->addWidget(Caption(QString::fromUtf8(states[col])), 0, col + 1);

    for (int style = 0; style < kButtonStyles; ++style) {
        grid->addWidget(new QLabel(QString::fromUtf8(styles[style])), style + 1, 0);
        for (int col = 0; col < kButtonStates; ++col) {
            auto* button = new PreviewButton(col == 7 ? QStringLiteral("Two\nlines") : QStringLiteral("&Start"));
            switch (style) {
            case 0: button->SetButtonFlat(); break;
            case 1: button->SetButtonSemiflat(); break;
            case 2: button->SetButtonNormal(); break;
            default: button->SetButtonNoBorder(); break;
            }
            button->SetBkgInColor(RGB(255, 240, 200));
            switch (col) {
            case 1: button->SetHoverLook(TRUE); break;
            case 2: button->setDown(true); break;
            case 3: button->SetButtonChecked(TRUE); break;
            case 4: button->SetButtonDefault(); break;
            case 5:
                button->SetIcon(CSize(16, 16), DotIcon(QColor(220, 40, 40)), nullptr, nullptr);
                button->setEnabled(false);
                break;
            case 6: button->SetIcon(CSize(16, 16), DotIcon(QColor(40, 150, 60)), nullptr, nullptr); break;
            case 7:
                button->SetIconVert();
                button->SetIcon(CSize(16, 16), DotIcon(QColor(40, 90, 220)), nullptr, nullptr);
                break;
            default: break;
            }
            button->SetToolTip(QStringLiteral("%1, %2").arg(QString::fromUtf8(styles[style]), QString::fromUtf8(states[col])));
            button->setMinimumSize(col == 7 ? QSize(84, 70) : QSize(84, 30));
            grid->addWidget(button, style + 1, col + 1);
        }
    }
    return box;
}

QWidget* GalleryWindow::LabelSection()
{
    auto* box = new QGroupBox(QStringLiteral("CTarnStatic and transparent buttons over a bitmap"));
    auto* outer = new QVBoxLayout(box);
    auto* backdrop = new Backdrop;
    backdrop->setMinimumSize(492, 200);
    outer->addWidget(backdrop);

    auto* grid = new QGridLayout(backdrop);
    auto* speed = new CTarnStatic(QStringLiteral("Speed Screen(rpm):"));
    speed->SetTextColor(kLightText);
    speed->SetFont(LabelFont());
    auto* torque = new CTarnStatic(QStringLiteral("转矩 Torque(Ncm):"));
    torque->SetTextColor(kLightText);
    torque->SetFont(LabelFont());
    auto* plain = new CTarnStatic(QStringLiteral("Dialog font, white"));
    plain->SetTextColor(RGB(255, 255, 255));
    auto* coloured = new CTarnStatic(QStringLiteral("Text colour 0x40D0FF"));
    coloured->SetTextColor(0x40D0FF);
    grid->addWidget(speed, 0, 0);
    grid->addWidget(torque, 0, 1);
    grid->addWidget(plain, 1, 0);
    grid->addWidget(coloured, 1, 1);

    const char* captions[] = {"Start", "Stop", "Save", "Close"};
    for (int i = 0; i < 4; ++i) {
        auto* button = new CVelButton(QString::fromUtf8(captions[i]));
        button->SetButtonSemiflat(TRUE);
        button->SetBkgInColor(kSlate);
        button->SetTextColor(kLightText, 0, 0);
        button->SetTextInColor(kLightText);
        button->SetFontSize(-16, FW_BOLD);
        button->setMinimumSize(100, 34);
        if (i == 1)
            button->setEnabled(false);
        grid->addWidget(button, 2 + i / 2, i % 2, Qt::AlignCenter);
    }
    return box;
}

namespace {

// One chart of the chart section: titles on, both grids, a window of its own.
CVelGraphWnd* SampleChart(eGraphStyle eStyle, const QString& strTitle, const QString& strX, const QString& strY)
{
    auto* chart = new CVelGraphWnd;
    chart->SetGraphType(eStyle);
    chart->ShowButtons(FALSE);
    chart->SetTitle(strTitle);
    chart->SetXTitle(strX);
    chart->SetYTitle(strY);
    chart->EnableShowTitle(TRUE);
    chart->EnableShowXTitle(TRUE);
    chart->EnableShowYTitle(TRUE);
    chart->SetAxisGrid(GRAPH_AXIS_X, TRUE, TRUE);
    chart->SetAxisGrid(GRAPH_AXIS_Y, TRUE, TRUE);
    chart->setMinimumSize(360, 240);
    return chart;
}

}  // namespace

QWidget* GalleryWindow::ChartSection()
{
    auto* box = new QGroupBox(QStringLiteral("CVelGraphWnd: line, bar and scatter charts"));
    auto* row = new QHBoxLayout(box);

    // The speed chart of a run: a set-point step approached sample by sample.
    CVelGraphWnd* line = SampleChart(GRAPH_LINE, QStringLiteral("Speed"), QStringLiteral("Time(S)"),
                                     QStringLiteral("Speed(rpm)"));
    std::vector<double> x, y;
    double dSpeed = 0.0;
    for (int i = 1; i <= 120; ++i) {
        dSpeed += ((i < 60 ? 480.0 : 720.0) - dSpeed) * 0.12;
        x.push_back(i);
        y.push_back(dSpeed + 6.0 * std::sin(i * 0.9));
    }
    line->AddSeries(static_cast<UINT>(x.size()), x.data(), y.data());
    line->GetGraph()->GetSeries(0)->SetPointStyle(POINT_TRIANGLE_UP);
    line->GetGraph()->GetSeries(0)->SetColor(0x800000);
    line->GetGraph()->SetAxisValueType(GRAPH_AXIS_Y, AXIS_VALUE_INTEGER);
    line->SetAxisRange(GRAPH_AXIS_X, 0, 121, TRUE);
    line->SetAxisRange(GRAPH_AXIS_Y, 0, 760, TRUE);
    // The set-point beside the speed, a legend and the tool buttons: its
    // legend dialog (button or double click on the legend) and the image
    // export can be tried here.
    const double setX[] = {1, 59, 60, 120}, setY[] = {480, 480, 720, 720};
    line->AddSeries(4, setX, setY);
    line->GetGraph()->GetSeries(1)->SetPointStyle(POINT_NONE);
    line->GetGraph()->GetSeries(1)->SetColor(RGB(200, 60, 40));
    line->SetLegendLabel(0, QStringLiteral("Speed"));
    line->SetLegendLabel(1, QStringLiteral("Set-point"));
    line->GetGraph()->GetLegend().EnableShow(TRUE);
    line->GetGraph()->GetLegend().SetPosition(LEGEND_BOTTOM);
    line->ShowButtons(TRUE);
    row->addWidget(line);

    CVelGraphWnd* bar = SampleChart(GRAPH_BAR, QStringLiteral("Runs per day"), QStringLiteral("Day"),
                                    QStringLiteral("Runs"));
    const double days[] = {1, 2, 3, 4, 5, 6, 7}, runs[] = {4, 7, 5, 9, 6, 2, 3};
    bar->AddSeries(7, days, runs);
    bar->GetGraph()->GetSeries(0)->SetColor(RGB(70, 130, 180));
    bar->GetGraph()->SetAxisValueType(GRAPH_AXIS_Y, AXIS_VALUE_INTEGER);
    bar->SetAxisRange(GRAPH_AXIS_X, 0, 7, FALSE);
    bar->SetAxisRange(GRAPH_AXIS_Y, 0, 10, FALSE);
    row->addWidget(bar);

    // Torque samples against the limits the run must keep.
    CVelGraphWnd* scatter = SampleChart(GRAPH_SCATTER, QStringLiteral("Torque"), QStringLiteral("Sample"),
                                        QStringLiteral("Torque(Ncm)"));
    x.clear();
    y.clear();
    for (int i = 1; i <= 40; ++i) {
        x.push_back(i);
        y.push_back(12.0 + 3.5 * std::sin(i * 1.7) + 1.5 * std::cos(i * 0.6));
    }
    scatter->AddSeries(static_cast<UINT>(x.size()), x.data(), y.data());
    scatter->GetGraph()->GetSeries(0)->SetPointStyle(POINT_DIAMOND);
    scatter->GetGraph()->GetSeries(0)->SetColor(0x8000);
    scatter->GetGraph()->GetSeries(0)->SetRange(8, 12, 16);
    scatter->SetAxisRange(GRAPH_AXIS_X, 0, 41, FALSE);
    scatter->SetAxisRange(GRAPH_AXIS_Y, 0, 20, FALSE);
    row->addWidget(scatter);
    return box;
}

namespace {

// A menu with a few commands, a separator and a nested menu.
QMenu* SampleMenu(const QString& title, const QStringList& commands, QWidget* parent)
{
    auto* menu = new QMenu(title, parent);
    for (const QString& command : commands) {
        if (command.isEmpty()) menu->addSeparator();
        else menu->addAction(command);
    }
    return menu;
}

}  // namespace

QWidget* GalleryWindow::InputSection()
{
    auto* box = new QGroupBox(QStringLiteral("CTarnMenu, CMenuButton, CTarnGroupBox, CACComboBox and CSizeContainer"));
    auto* row = new QHBoxLayout(box);

    // Menus: two buttons open converted menus; the preview shows the item looks.
    auto* menus = new CTarnMenu(this);
    QMenu* file = SampleMenu(QStringLiteral("&File"), {QStringLiteral("&Open run..."), QStringLiteral("&Save as..."), {},
                                                       QStringLiteral("E&xit")}, this);
    QMenu* recent = file->addMenu(QStringLiteral("&Recent runs"));
    recent->addAction(QStringLiteral("glycerol-500rpm.xls"));
    QMenu* run = SampleMenu(QStringLiteral("&Run"), {QStringLiteral("&Start"), QStringLiteral("S&top")}, this);
    run->actions().at(1)->setEnabled(false);
    menus->addMenu(file);
    menus->addMenu(run);
    menus->InitMenu(menus, 0, nullptr);
    auto* menuColumn = new QVBoxLayout;
    auto* bar = new QHBoxLayout;
    for (QMenu* menu : {file, run}) {
        auto* button = new CMenuButton(menu->title());
        button->SetFaceColor(menus->GetMenuItemColor(), 0);
        button->setMenu(menu);
        bar->addWidget(button);
    }
    menuColumn->addLayout(bar);
    menuColumn->addWidget(new MenuPreview(menus), 0, Qt::AlignLeft);
    menuColumn->addWidget(Caption(QStringLiteral("item, separator, selected, disabled")));
    row->addLayout(menuColumn);

    // Group boxes on the bitmap-like backdrop: the frame look lets it show
    // through the caption's gap; the window look fills band and body.
    auto* backdrop = new Backdrop;
    backdrop->setMinimumSize(300, 170);
    auto* frameLook = new CTarnGroupBox(QStringLiteral("Frame look"), backdrop);
    frameLook->setGeometry(12, 12, 130, 140);
    frameLook->SetBorderColor(kLightText).SetCatptionTextColor(kLightText).SetFontBold(TRUE);
    auto* windowLook = new CTarnGroupBox(QStringLiteral("Window look"), backdrop);
    windowLook->setGeometry(156, 12, 130, 140);
    windowLook->SetXPGroupStyle(CTarnGroupBox::XPGB_WINDOW)
        .SetBackgroundColor(RGB(210, 222, 240), RGB(244, 247, 252))
        .SetBorderColor(RGB(60, 80, 120))
        .SetCatptionTextColor(RGB(20, 40, 90));
    row->addWidget(backdrop);

    // The combo box completes what is typed, e.g. "gl".
    auto* comboColumn = new QVBoxLayout;
    auto* combo = new CACComboBox;
    combo->addItems({QStringLiteral("Water"), QStringLiteral("Glycerol"), QStringLiteral("glycol"),
                     QStringLiteral("Honey"), QStringLiteral("Silicone oil 100 cSt"), QStringLiteral("Silicone oil 1000 cSt")});
    combo->setCurrentIndex(-1);
    combo->setMinimumWidth(170);
    comboColumn->addWidget(combo);
    comboColumn->addWidget(Caption(QStringLiteral("type \"gl\" or \"si\"")));
    comboColumn->addStretch();
    row->addLayout(comboColumn);

    // The same panel as designed and scaled by 1.5 by its size container.
    auto* designed = new ScaledPanel(QStringLiteral("As designed"));
    designed->setFixedSize(ScaledPanel::kDesigned);
    auto* scaled = new ScaledPanel(QStringLiteral("Scaled by 1.5"));
    scaled->ScaleTo(ScaledPanel::kDesigned * 3 / 2);
    row->addWidget(designed, 0, Qt::AlignTop);
    row->addWidget(scaled, 0, Qt::AlignTop);
    return box;
}
