#include "Backdrop.h"

#include <QLinearGradient>
#include <QPainter>

Backdrop::Backdrop(QWidget* parent) : QWidget(parent), m_picture(Picture({492, 290})) {}

QImage Backdrop::Picture(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient field(0, 0, size.width(), size.height());
    field.setColorAt(0.0, QColor(0x49, 0x56, 0x77));
    field.setColorAt(1.0, QColor(0x2E, 0x37, 0x52));
    p.fillRect(image.rect(), field);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 28));
    for (int x = -size.height(); x < size.width(); x += 24)
        p.drawPolygon(QPolygon({QPoint(x, size.height()), QPoint(x + 10, size.height()),
                                QPoint(x + 10 + size.height(), 0), QPoint(x + size.height(), 0)}));
    return image;
}

void Backdrop::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(rect(), m_picture);
}
