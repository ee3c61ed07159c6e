#pragma once

#include <QString>
#include <QWidget>
#include <optional>

class CTorqueEndPoint;
class QLabel;

// The status strip's torque cells: Δtorque since the tare (shown once a
// tare was taken) and the trend in Ncm/min with an arrow: → while the
// rate is within the plateau rule's flat band, ↑ or ↓ beyond it. UI thread.
class CTorqueCells : public QWidget
{
    Q_OBJECT
public:
    explicit CTorqueCells(QWidget* parent = nullptr);

    // "Δ 12.4 Ncm"; one decimal, never "-0.0".
    static QString DeltaText(double deltaNcm);
    // "trend +0.8 Ncm/min ↑"; "trend — Ncm/min" before the window is full.
    // flatBelow: |rate| below it counts as flat (→).
    static QString TrendText(std::optional<double> rateNcmPerMin, double flatBelow);

    // Shows the detector's state; hides the cells before its first sample.
    void Show(const CTorqueEndPoint& detector);
    void Clear();
    QString DeltaShown() const;
    QString TrendShown() const;

private:
    QLabel* m_pDelta;
    QLabel* m_pTrend;
};
