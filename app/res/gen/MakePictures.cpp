// Draws Vantoc's pictures: the window backgrounds (bitmaps 104 and 101) and
// the application icon 128. Run make-pictures to rebuild them after a change.

#include "SavePng.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kSlate(0x49, 0x56, 0x77);  // the window's colour 0x775649
const QColor kLight(0xEA, 0xEA, 0xEA);

// A slate-blue field with a light rounded label carrying the product name in
// the top right corner, above the digit displays.
QImage Background(const QColor& top, const QColor& bottom)
{
    QImage image(984, 580, QImage::Format_RGB888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient field(0, 0, 0, image.height());
    field.setColorAt(0, top);
    field.setColorAt(1, bottom);
    p.fillRect(image.rect(), field);

    const QRectF label(664, 22, 296, 58);
    p.setPen(QPen(QColor(0xFF, 0xFF, 0xFF), 2));
    p.setBrush(kLight);
    p.drawRoundedRect(label, 16, 16);

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(24);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kSlate.darker(130));
    p.drawText(label, Qt::AlignCenter, QStringLiteral("Overhead Rotaque"));
    return image;
}

// An overhead stirrer: motor head, shaft and propeller in a beaker.
QImage Icon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    p.setPen(Qt::NoPen);
    p.setBrush(kSlate);
    p.drawRoundedRect(QRectF(9, 1, 14, 8), 2, 2);  // motor head
    p.setBrush(QColor(0x30, 0x38, 0x50));
    p.drawRect(QRectF(15, 9, 2, 16));  // shaft

    QPainterPath beaker;
    beaker.moveTo(5, 12);
    beaker.lineTo(6, 29);
    beaker.quadTo(6, 31, 8, 31);
    beaker.lineTo(24, 31);
    beaker.quadTo(26, 31, 26, 29);
    beaker.lineTo(27, 12);
    p.setBrush(QColor(0x9E, 0xC9, 0xE8, 0xB0));
    p.setPen(QPen(QColor(0x44, 0x55, 0x66), 1.2));
    p.drawPath(beaker);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xE0, 0x60, 0x30));
    p.drawEllipse(QRectF(9, 23, 7, 3));  // propeller blades
    p.drawEllipse(QRectF(16, 23, 7, 3));
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    bool ok = SavePng(Background(kSlate.lighter(112), kSlate.darker(108)), "bitmaps/104.png");
    ok = SavePng(Background(kSlate.darker(115), kSlate.darker(140)), "bitmaps/101.png") && ok;
    ok = SavePng(Icon(32), "icons/128.png") && ok;
    ok = SavePng(Icon(16), "icons/128-16.png") && ok;
    ok = SavePng(Icon(48), "icons/128-48.png") && ok;
    return ok ? 0 : 1;
}
