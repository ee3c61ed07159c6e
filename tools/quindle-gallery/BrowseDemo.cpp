#include "BrowseDemo.h"

#include "graph/VelGraphWnd.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

namespace {
constexpr int kSampleMs = 100;
}  // namespace

BrowseDemo::BrowseDemo(int nSamples, QWidget* parent)
    : QWidget(parent), m_pChart(new CVelGraphWnd), m_pState(new QLabel), m_pTimer(new QTimer(this))
{
    setWindowTitle(QStringLiteral("Quindle gallery: browsing a live chart"));
    CVelGraph* g = m_pChart->m_pGraph.get();
    m_pChart->SetBkgColor(0x775649);
    m_pChart->ShowButtons(plat::FALSE);
    g->SetAxisValueType(GRAPH_AXIS_Y, AXIS_VALUE_INTEGER);
    g->EnableShowLegend(plat::FALSE);
    g->EnableAxisRecalculate(GRAPH_AXIS_X, plat::FALSE);
    g->SetAxisMaxRange(GRAPH_AXIS_Y, 0, 900000000000.0);
    g->SetAxisMaxRange(GRAPH_AXIS_X, 0, 1000000);
    g->EnableShowTitle(plat::FALSE);
    g->EnableShowXTitle(plat::TRUE);
    g->EnableShowYTitle(plat::TRUE);
    g->SetXTitleColor(0xEAEAEA);
    g->SetYTitleColor(0xEAEAEA);
    m_pChart->SetXTitle(QStringLiteral("Time(S)"));
    m_pChart->SetYTitle(QStringLiteral("Speed(rpm)"));
    m_pChart->setMinimumSize(734, 324);

    auto* help = new QLabel(QStringLiteral("Wheel: zoom time around the pointer · Ctrl+wheel: zoom speed · "
                                           "drag: pan · Shift+drag: zoom to a rectangle · "
                                           "End: follow the live end · Home or Ctrl+double click: whole run"));
    help->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pChart, 1);
    layout->addWidget(m_pState);
    layout->addWidget(help);

    for (int i = 0; i < nSamples; ++i) AddSample();
    connect(m_pChart, &CVelGraphWnd::viewChanged, this, &BrowseDemo::ShowState);
    connect(m_pTimer, &QTimer::timeout, this, &BrowseDemo::AddSample);
    m_pTimer->start(kSampleMs);
    ShowState();
}

void BrowseDemo::AddSample()
{
    // Set-point steps every half hour, approached with a lag, a little noise.
    const double dTarget = 300.0 + 200.0 * ((m_nSamples / 1800) % 6);
    m_dSpeed += (dTarget - m_dSpeed) * 0.05;
    const double x = ++m_nSamples;
    const double y = m_dSpeed + 4.0 * std::sin(m_nSamples * 1.3);
    m_dMax = std::max(m_dMax, y);
    if (m_pChart->GetSeriesCount() == 0) {
        m_pChart->AddSeries(1, &x, &y);
        m_pChart->GetSeries(0)->SetPointStyle(POINT_TRIANGLE_UP);
        m_pChart->GetSeries(0)->SetColor(0x800000);
    } else {
        m_pChart->AddOneDataOfSeries(0, x, y);
    }
    m_pChart->SetAxisRange(GRAPH_AXIS_Y, 0, m_dMax * 1.025, plat::TRUE);
    m_pChart->SetAxisRange(GRAPH_AXIS_X, 0, m_nSamples + 1, plat::TRUE);
    if (isVisible()) ShowState();
}

void BrowseDemo::ShowState()
{
    double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    m_pChart->GetViewRange(GRAPH_AXIS_X, x0, x1);
    m_pChart->GetViewRange(GRAPH_AXIS_Y, y0, y1);
    m_pState->setText(QStringLiteral("%1 samples · shown: time %2 to %3, speed %4 to %5 · %6")
                          .arg(m_nSamples)
                          .arg(x0, 0, 'f', 1)
                          .arg(x1, 0, 'f', 1)
                          .arg(y0, 0, 'f', 1)
                          .arg(y1, 0, 'f', 1)
                          .arg(m_pChart->IsFollowing() ? QStringLiteral("following") : QStringLiteral("browsing")));
}
