#pragma once

#include <QWidget>

class QGridLayout;

// The gallery: each control of the library with its main settings side by
// side, one section per control family.
class GalleryWindow : public QWidget {
    Q_OBJECT

public:
    explicit GalleryWindow(QWidget* parent = nullptr);

    // What the sections hold, for a quick check that nothing went missing.
    static constexpr int kDigitDisplays = 6;
    static constexpr int kButtonStyles = 4;
    static constexpr int kButtonStates = 8;
    static constexpr int kLabels = 4;
    static constexpr int kCharts = 3;  // line, bar, scatter
    static constexpr int kMenuButtons = 2;
    static constexpr int kGroupBoxes = 2;  // frame look, window look
    static constexpr int kScaledPanels = 2;  // as designed, scaled

private:
    QWidget* DigitSection();
    QWidget* ButtonSection();
    QWidget* LabelSection();
    QWidget* ChartSection();
    QWidget* InputSection();
};
