#include "GalleryWindow.h"

#include "Backdrop.h"

#include "display/TarnStatic.h"
#include "display/VelButton.h"
#include "display/VelDigit.h"
#include "platform/Font.h"
#include "platform/Icon.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

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
