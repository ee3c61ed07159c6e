#pragma once

#include "input/SizeContainer.h"

#include <QWidget>

// A panel whose controls sit at fixed places, as in a dialog template, and
// grow and shrink with it through a CSizeContainer.
class ScaledPanel : public QWidget {
    Q_OBJECT

public:
    // The panel as designed, and its controls' places at that size.
    static constexpr QSize kDesigned{240, 110};

    explicit ScaledPanel(const QString& caption, QWidget* parent = nullptr);

    // Scales the controls from the designed size to size, as a resize would.
    void ScaleTo(QSize size);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CSizeContainer m_sizer;
};
