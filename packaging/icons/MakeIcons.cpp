// Renders vantoc.svg into the hicolor theme's fixed sizes beside it
// (hicolor/<n>x<n>/apps/vantoc.png). Run make-icons after changing the SVG.

#include "SavePng.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QSvgRenderer svg(QStringLiteral("vantoc.svg"));
    if (!svg.isValid()) {
        std::fprintf(stderr, "cannot read vantoc.svg\n");
        return 1;
    }
    bool ok = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        svg.render(&painter);
        painter.end();
        const QString dir = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        ok = QDir().mkpath(dir) && ok;
        ok = SavePng(image, qPrintable(dir + QStringLiteral("/vantoc.png"))) && ok;
    }
    return ok ? 0 : 1;
}
