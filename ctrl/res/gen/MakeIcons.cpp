// Draws Quindle's tool-button icons 4002 (graph properties), 4003 (save the
// chart as an image) and 4004 (legend properties), and the point-marker
// icons 4005 to 4010 of the legend dialog (circle, diagonal cross, triangle
// up, triangle down, square, diamond), and the browse buttons 4011 (the whole
// range) and 4012 (follow the live end), 16 x 16, pixel by pixel so that
// they stay crisp. Run make-icons to rebuild them after a change.

#include "SavePng.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <string>

namespace {

const QColor kInk(0x30, 0x30, 0x38);
const QColor kBlue(0x20, 0x50, 0xA8);
const QColor kRed(0xC0, 0x30, 0x30);
const QColor kGreen(0x20, 0x90, 0x40);
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kGrey(0x80, 0x80, 0x80);
const QColor kLight(0xC8, 0xC8, 0xC8);
const QColor kYellow(0xE8, 0xC0, 0x40);

QImage Blank()
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

void Dot(QImage& image, int x, int y, const QColor& c)
{
    image.setPixelColor(x, y, c);
}

// A line from (x0, y0) to (x1, y1), both ends included.
void Line(QImage& image, int x0, int y0, int x1, int y1, const QColor& c)
{
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        Dot(image, x0, y0, c);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x0 += sx; }
        if (e2 <= dx) { err += dx; y0 += sy; }
    }
}

void Fill(QImage& image, int x, int y, int w, int h, const QColor& c)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) Dot(image, i, j, c);
}

// Axes with a curve, and a pencil over the lower right corner.
QImage GraphProperties()
{
    QImage image = Blank();
    Line(image, 1, 1, 1, 13, kInk);
    Line(image, 1, 13, 14, 13, kInk);
    Line(image, 2, 11, 5, 6, kBlue);
    Line(image, 5, 6, 8, 9, kBlue);
    Line(image, 8, 9, 13, 2, kBlue);
    for (int k = 0; k < 6; ++k) {
        Dot(image, 9 + k, 14 - k, kYellow);
        Dot(image, 10 + k, 14 - k, kInk);
        Dot(image, 9 + k, 13 - k, kInk);
    }
    Dot(image, 8, 15, kInk);
    Dot(image, 9, 15, kInk);
    Dot(image, 8, 14, kInk);
    return image;
}

// A diskette: dark body, white label, grey shutter.
QImage SaveImage()
{
    QImage image = Blank();
    Fill(image, 1, 1, 14, 14, kBlue);
    Line(image, 1, 1, 14, 1, kInk);
    Line(image, 1, 1, 1, 14, kInk);
    Line(image, 14, 2, 14, 14, kInk);
    Line(image, 1, 14, 14, 14, kInk);
    Fill(image, 4, 2, 8, 5, kPaper);
    Line(image, 5, 3, 10, 3, kLight);
    Line(image, 5, 5, 10, 5, kLight);
    Fill(image, 4, 9, 8, 5, kLight);
    Fill(image, 9, 10, 2, 3, kInk);
    return image;
}

// A legend box: three entries, each a coloured swatch and a text line.
QImage LegendProperties()
{
    QImage image = Blank();
    Fill(image, 1, 2, 14, 12, kPaper);
    Line(image, 1, 2, 14, 2, kGrey);
    Line(image, 1, 2, 1, 13, kGrey);
    Line(image, 14, 2, 14, 13, kInk);
    Line(image, 1, 13, 14, 13, kInk);
    const QColor swatches[] = {kBlue, kRed, kGreen};
    for (int k = 0; k < 3; ++k) {
        const int y = 4 + 3 * k;
        Fill(image, 3, y, 3, 2, swatches[k]);
        Line(image, 7, y, 12, y, kGrey);
    }
    return image;
}

// A light tile under a browse icon, so that it reads on dark chart
// backgrounds too.
void Tile(QImage& image)
{
    Fill(image, 0, 0, 16, 16, kPaper);
    Line(image, 0, 0, 15, 0, kLight);
    Line(image, 0, 0, 0, 15, kLight);
    Line(image, 15, 0, 15, 15, kGrey);
    Line(image, 0, 15, 15, 15, kGrey);
}

// A frame with an arrow pointing out of each corner: everything in view.
QImage FullRange()
{
    QImage image = Blank();
    Tile(image);
    Fill(image, 5, 5, 6, 6, kPaper);
    Line(image, 5, 5, 10, 5, kInk);
    Line(image, 5, 10, 10, 10, kInk);
    Line(image, 5, 5, 5, 10, kInk);
    Line(image, 10, 5, 10, 10, kInk);
    Line(image, 6, 8, 9, 7, kBlue);
    // Corner arrows: a diagonal shaft and a two-pixel head along the edges.
    const int corners[4][4] = {{1, 1, 1, 1}, {14, 1, -1, 1}, {1, 14, 1, -1}, {14, 14, -1, -1}};
    for (const auto& c : corners) {
        const int x = c[0], y = c[1], sx = c[2], sy = c[3];
        Line(image, x, y, x + 3 * sx, y + 3 * sy, kInk);
        Line(image, x, y, x + 2 * sx, y, kInk);
        Line(image, x, y, x, y + 2 * sy, kInk);
    }
    return image;
}

// A curve running into a bar at the right, an arrow head on it: the live end.
QImage Follow()
{
    QImage image = Blank();
    Tile(image);
    Line(image, 2, 12, 4, 9, kBlue);
    Line(image, 4, 9, 6, 11, kBlue);
    Line(image, 6, 11, 10, 7, kBlue);
    Line(image, 3, 4, 10, 4, kGreen);
    Line(image, 8, 2, 10, 4, kGreen);
    Line(image, 8, 6, 10, 4, kGreen);
    Line(image, 12, 2, 12, 13, kInk);
    Line(image, 13, 2, 13, 13, kInk);
    Line(image, 2, 13, 11, 13, kGrey);
    return image;
}

// The marker shapes, 11 pixels across around the centre (7, 7), with a short
// line through them so they read as a curve's point.
QImage Marker(int nStyle)
{
    QImage image = Blank();
    Line(image, 0, 7, 2, 7, kGrey);
    Line(image, 12, 7, 15, 7, kGrey);
    switch (nStyle) {
    case 1: {
        // A circle of radius 4.5 by distance from the centre.
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const int d2 = (2 * x - 14) * (2 * x - 14) + (2 * y - 14) * (2 * y - 14);
                if (d2 >= 60 && d2 <= 100) Dot(image, x, y, kBlue);
            }
        break;
    }
    case 2:
        Line(image, 3, 3, 11, 11, kBlue);
        Line(image, 3, 11, 11, 3, kBlue);
        break;
    case 3:
        Line(image, 7, 2, 2, 11, kBlue);
        Line(image, 7, 2, 12, 11, kBlue);
        Line(image, 2, 11, 12, 11, kBlue);
        break;
    case 4:
        Line(image, 2, 3, 12, 3, kBlue);
        Line(image, 2, 3, 7, 12, kBlue);
        Line(image, 12, 3, 7, 12, kBlue);
        break;
    case 5:
        Line(image, 3, 3, 11, 3, kBlue);
        Line(image, 3, 11, 11, 11, kBlue);
        Line(image, 3, 3, 3, 11, kBlue);
        Line(image, 11, 3, 11, 11, kBlue);
        break;
    default:
        Line(image, 7, 2, 12, 7, kBlue);
        Line(image, 12, 7, 7, 12, kBlue);
        Line(image, 7, 12, 2, 7, kBlue);
        Line(image, 2, 7, 7, 2, kBlue);
        break;
    }
    return image;
}

}  // namespace

// Writes icons/4002.png to 4012.png below the current folder.
int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    bool ok = SavePng(GraphProperties(), "icons/4002.png");
    ok = SavePng(SaveImage(), "icons/4003.png") && ok;
    ok = SavePng(LegendProperties(), "icons/4004.png") && ok;
    for (int nStyle = 1; nStyle <= 6; ++nStyle) {
        const std::string path = "icons/" + std::to_string(4004 + nStyle) + ".png";
        ok = SavePng(Marker(nStyle), path.c_str()) && ok;
    }
    ok = SavePng(FullRange(), "icons/4011.png") && ok;
    ok = SavePng(Follow(), "icons/4012.png") && ok;
    return ok ? 0 : 1;
}
