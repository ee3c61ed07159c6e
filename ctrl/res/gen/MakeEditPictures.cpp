// Draws bitmap 4000, the pictures of the edit's embedded button: three
// 16 x 16 pictures side by side (folder, file, spin arrows) on magenta, the
// colour the edit makes transparent. Run make-edit-pictures after a change.

#include "SavePng.h"

#include <QGuiApplication>
#include <QImage>

namespace {

const QColor kMagenta(0xFF, 0x00, 0xFF);
const QColor kInk(0x30, 0x30, 0x38);
const QColor kFolder(0xE8, 0xC0, 0x40);
const QColor kFolderDark(0xB0, 0x88, 0x20);
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kLines(0x90, 0x90, 0x98);

void Dot(QImage& image, int x, int y, const QColor& c)
{
    image.setPixelColor(x, y, c);
}

void Fill(QImage& image, int x, int y, int w, int h, const QColor& c)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) Dot(image, i, j, c);
}

void Box(QImage& image, int x, int y, int w, int h, const QColor& c)
{
    Fill(image, x, y, w, 1, c);
    Fill(image, x, y + h - 1, w, 1, c);
    Fill(image, x, y, 1, h, c);
    Fill(image, x + w - 1, y, 1, h, c);
}

// Picture 0 at x0: a closed folder with its tab.
void Folder(QImage& image, int x0)
{
    Fill(image, x0 + 1, 4, 6, 2, kFolderDark);
    Fill(image, x0 + 1, 5, 14, 9, kFolder);
    Box(image, x0 + 1, 5, 14, 9, kInk);
    Fill(image, x0 + 2, 3, 5, 1, kInk);
    Fill(image, x0 + 1, 4, 1, 1, kInk);
    Fill(image, x0 + 7, 4, 1, 1, kInk);
    Fill(image, x0 + 2, 6, 12, 1, kPaper);
}

// Picture 1 at x0: a sheet with a folded corner and text lines.
void File(QImage& image, int x0)
{
    Fill(image, x0 + 3, 1, 10, 14, kPaper);
    Box(image, x0 + 3, 1, 10, 14, kInk);
    for (int k = 0; k < 3; ++k) {
        Dot(image, x0 + 10 + k, 1 + k, kInk);
        Fill(image, x0 + 10 + k + 1, 1 + k, 2 - k, 1, kMagenta);
    }
    Fill(image, x0 + 10, 1, 1, 4, kInk);
    Fill(image, x0 + 10, 4, 3, 1, kInk);
    for (int y = 6; y <= 12; y += 2) Fill(image, x0 + 5, y, 6, 1, kLines);
}

// Picture 2 at x0: an arrow up in the top half, an arrow down in the bottom
// half, each centred in its half of the spin button.
void Spin(QImage& image, int x0)
{
    for (int k = 0; k < 4; ++k) {
        Fill(image, x0 + 8 - k, 3 + k, 2 * k + 1, 1, kInk);
        Fill(image, x0 + 8 - k, 12 - k, 2 * k + 1, 1, kInk);
    }
}

}  // namespace

// Writes bitmaps/4000.png below the current folder.
int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QImage strip(48, 16, QImage::Format_RGB32);
    strip.fill(kMagenta);
    Folder(strip, 0);
    File(strip, 16);
    Spin(strip, 32);
    return SavePng(strip, "bitmaps/4000.png") ? 0 : 1;
}
