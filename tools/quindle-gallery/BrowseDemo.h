#pragma once

#include <QWidget>

class CVelGraphWnd;
class QLabel;
class QTimer;

// A long run recording live, to try browsing on: a speed chart with a day
// of samples already in it that grows by one sample every tenth of a
// second, its ranges set on every sample as the stirrer program sets them.
// Below it, what the chart shows and whether it follows.
class BrowseDemo : public QWidget {
    Q_OBJECT

public:
    // nSamples: how many samples the run has when the window opens.
    explicit BrowseDemo(int nSamples = 86400, QWidget* parent = nullptr);

    CVelGraphWnd* Chart() const { return m_pChart; }
    // Adds one sample as the live program does.
    void AddSample();

private:
    void ShowState();

    CVelGraphWnd* m_pChart;
    QLabel* m_pState;
    QTimer* m_pTimer;
    int m_nSamples = 0;
    double m_dMax = 0.0;
    double m_dSpeed = 0.0;
};
