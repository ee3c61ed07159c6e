#include "ScaledPanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

ScaledPanel::ScaledPanel(const QString& caption, QWidget* parent) : QWidget(parent)
{
    auto* label = new QLabel(caption, this);
    label->setGeometry(10, 8, 220, 20);
    auto* speedLabel = new QLabel(QStringLiteral("Speed (rpm)"), this);
    speedLabel->setGeometry(10, 38, 90, 24);
    auto* speed = new QLineEdit(QStringLiteral("500"), this);
    speed->setGeometry(110, 38, 120, 24);
    auto* start = new QPushButton(QStringLiteral("Start"), this);
    start->setGeometry(10, 74, 105, 28);
    auto* stop = new QPushButton(QStringLiteral("Stop"), this);
    stop->setGeometry(125, 74, 105, 28);
    resize(kDesigned);
    setMinimumSize(kDesigned);
    m_sizer.SetNewSize(this, kDesigned.width(), kDesigned.height());
}

void ScaledPanel::ScaleTo(QSize size)
{
    setFixedSize(size);
    m_sizer.SetNewSize(this, size.width(), size.height());
}

void ScaledPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_sizer.SetNewSize(this, width(), height());
}

void ScaledPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(236, 240, 246));
    p.setPen(QColor(150, 160, 180));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
