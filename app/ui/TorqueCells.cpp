#include "ui/TorqueCells.h"

#include "run/TorqueEndPoint.h"

#include <QHBoxLayout>
#include <QLabel>
#include <cmath>

namespace {

const char* const kLight = "color: #EAEAEA;";

// One decimal with the sign shown when asked; a value that rounds to zero
// reads as 0.0 whatever its sign.
QString OneDecimal(double value, bool plusSign)
{
    if (std::fabs(value) < 0.05) return QStringLiteral("0.0");
    const QString text = QString::number(value, 'f', 1);
    return plusSign && value > 0 ? QLatin1Char('+') + text : text;
}

}  // namespace

CTorqueCells::CTorqueCells(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(16);
    m_pDelta = new QLabel(this);
    m_pTrend = new QLabel(this);
    for (QLabel* label : {m_pDelta, m_pTrend}) {
        label->setStyleSheet(QString::fromLatin1(kLight));
        layout->addWidget(label);
    }
    Clear();
}

QString CTorqueCells::DeltaText(double deltaNcm)
{
    if (!std::isfinite(deltaNcm)) return QString();
    return QStringLiteral("\u0394 %1 Ncm").arg(OneDecimal(deltaNcm, false));
}

QString CTorqueCells::TrendText(std::optional<double> rateNcmPerMin, double flatBelow)
{
    if (!rateNcmPerMin || !std::isfinite(*rateNcmPerMin)) return QStringLiteral("trend \u2014 Ncm/min");
    const double rate = *rateNcmPerMin;
    const QChar arrow = rate >= flatBelow ? QChar(0x2191) : rate <= -flatBelow ? QChar(0x2193) : QChar(0x2192);
    return QStringLiteral("trend %1 Ncm/min %2").arg(OneDecimal(rate, true)).arg(arrow);
}

void CTorqueCells::Show(const CTorqueEndPoint& detector)
{
    if (detector.SampleCount() == 0) {
        Clear();
        return;
    }
    m_pDelta->setText(detector.IsTared() ? DeltaText(detector.DeltaNcm()) : QString());
    m_pDelta->setVisible(detector.IsTared());
    m_pTrend->setText(TrendText(detector.RateNcmPerMin(), detector.Rules().plateauRate));
    m_pTrend->show();
}

void CTorqueCells::Clear()
{
    m_pDelta->clear();
    m_pTrend->clear();
    m_pDelta->hide();
    m_pTrend->hide();
}

QString CTorqueCells::DeltaShown() const
{
    return m_pDelta->isVisibleTo(this) ? m_pDelta->text() : QString();
}

QString CTorqueCells::TrendShown() const
{
    return m_pTrend->isVisibleTo(this) ? m_pTrend->text() : QString();
}
