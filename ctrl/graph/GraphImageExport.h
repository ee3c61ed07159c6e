#pragma once

#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>

namespace plat {
class CDC;
}

// Writing a chart's picture to a file: the 16-bit Windows bitmap, PNG and,
// when the library was built with Qt SVG, SVG. The picture comes from a
// paint routine, so the same code paints the screen and the file. Every
// file goes through a temporary file beside it: a failed write leaves no
// partial file and keeps a file that was there before.
class QUINDLE_EXPORT CGraphImageExport {
public:
    // Paints a picture of the given size; the DC's (0, 0) is its top-left.
    using PaintFn = std::function<void(plat::CDC* pDC)>;

    enum eFormat { FormatUnknown, FormatBmp, FormatPng, FormatSvg };

    // The format a path's suffix names (case ignored): .bmp, .png, .svg.
    static eFormat FormatOfPath(const QString& strPath);
    static bool IsSvgAvailable();

    // Bytes of one row of a 16-bit bitmap w pixels wide, padded to 4.
    static int Bmp16RowBytes(int w);
    // The whole 16-bit bitmap file: 54 header bytes, then h bottom-up rows
    // of 5-5-5 pixels (each channel cut to its top 5 bits).
    static QByteArray EncodeBmp16(const QImage& image);

    // The picture in 24-bit colour.
    static QImage Render(int w, int h, const PaintFn& paint);

    static bool SaveBmp16(const QString& strPath, int w, int h, const PaintFn& paint);
    static bool SavePng(const QString& strPath, int w, int h, const PaintFn& paint);
    // False when SVG is not available.
    static bool SaveSvg(const QString& strPath, int w, int h, const PaintFn& paint, const QString& strTitle);

    // Replaces strPath with bytes through a temporary file.
    static bool WriteFile(const QString& strPath, const QByteArray& bytes);
};
