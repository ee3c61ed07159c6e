#include "ui/AlarmBanner.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {
const QColor kRed(0xC0, 0x10, 0x10);
}  // namespace

CAlarmBanner::CAlarmBanner(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 0, 2, 0);
    layout->setSpacing(8);
    m_pText = new QLabel(this);
    m_pText->setStyleSheet(QStringLiteral("color: #FFFFFF; font-weight: bold;"));
    m_pText->setTextFormat(Qt::PlainText);
    m_pButton = new QPushButton(QStringLiteral("Acknowledge"), this);
    m_pButton->setStyleSheet(QStringLiteral(
        "QPushButton { color: #000000; background: #F0F0F0; border: 1px solid #600000; padding: 0px 8px; }"
        "QPushButton:pressed { background: #C8C8C8; }"));
    m_pButton->setFocusPolicy(Qt::NoFocus);  // Enter or Space meant elsewhere must not clear it
    layout->addWidget(m_pText, 1);
    layout->addWidget(m_pButton);
    connect(m_pButton, &QPushButton::clicked, this, &CAlarmBanner::Acknowledge);
    m_beeper.setInterval(kBeepIntervalMs);
    connect(&m_beeper, &QTimer::timeout, this, &CAlarmBanner::Beep);
    hide();
}

QString CAlarmBanner::LineText(const QString& reason, const QDateTime& time, int count)
{
    QString text = time.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("  ") + reason;
    if (count > 1) text += QStringLiteral("  (%1 alarms)").arg(count);
    return text;
}

void CAlarmBanner::Raise(const QString& reason, const QDateTime& time)
{
    ++m_nRaised;
    m_pText->setText(LineText(reason, time, m_nRaised));
    m_pText->setToolTip(m_pText->text());
    show();
    raise();
    Beep();
    m_beeper.start();
    emit raised(reason);
}

void CAlarmBanner::Acknowledge()
{
    if (!IsRaised()) return;
    m_nRaised = 0;
    m_beeper.stop();
    m_pText->clear();
    hide();
    emit acknowledged();
}

QString CAlarmBanner::Text() const
{
    return m_pText->text();
}

void CAlarmBanner::Beep()
{
    ++m_nBeeps;
    QApplication::beep();
}

void CAlarmBanner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kRed);
}
