#pragma once

#include <QGroupBox>

class CVelGraphWnd;

// The gallery's edit section: CVelEdit in each of its six modes, a line
// that shows the last number accepted, and a button that opens a chart's
// property sheet.
class EditSection : public QGroupBox {
    Q_OBJECT

public:
    static constexpr int kEdits = 6;

    // pChart: the chart whose property sheet the button opens (not owned;
    // may be null, then the button is disabled).
    explicit EditSection(CVelGraphWnd* pChart, QWidget* parent = nullptr);
};
