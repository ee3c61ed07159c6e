#pragma once

#include "graph/VelGraphAxisPage.h"

// The X-axis page of a chart's property sheet (template 4002). A bar chart
// keeps its X range and minor grid: those controls are disabled there.
class QUINDLE_EXPORT CVelGraphXAxisPage : public CVelGraphAxisPage {
    Q_OBJECT
public:
    static constexpr int IDD = 4002;

    explicit CVelGraphXAxisPage(QWidget* parent = nullptr) : CVelGraphAxisPage(IDD, parent) {}

    int m_bBarGraph = 0;  // the chart is a bar graph

protected:
    eGraphAxisType AxisType() const override { return GRAPH_AXIS_X; }
    bool IsRangeEditable() const override { return !m_bBarGraph; }
};
