#pragma once

#include "graph/VelGraphAxisPage.h"

// The Y-axis page of a chart's property sheet (template 4003); its title
// font always runs upward.
class QUINDLE_EXPORT CVelGraphYAxisPage : public CVelGraphAxisPage {
    Q_OBJECT
public:
    static constexpr int IDD = 4003;

    explicit CVelGraphYAxisPage(QWidget* parent = nullptr) : CVelGraphAxisPage(IDD, parent) {}

protected:
    eGraphAxisType AxisType() const override { return GRAPH_AXIS_Y; }
};
