#include "graph/GraphImageExport.h"

#include "platform/DC.h"

#include <QBuffer>
#include <QFileInfo>
#include <QSaveFile>
#include <cstring>

#ifdef QUINDLE_HAS_SVG
#include <QSvgGenerator>
#endif

namespace {

constexpr int kFileHeaderBytes = 14;
constexpr int kInfoHeaderBytes = 40;

void Put16(QByteArray& b, int v)
{
    b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

void Put32(QByteArray& b, quint32 v)
{
    for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
}

}  // namespace

CGraphImageExport::eFormat CGraphImageExport::FormatOfPath(const QString& strPath)
{
    const QString suffix = QFileInfo(strPath).suffix().toLower();
    if (suffix == QLatin1String("bmp")) return FormatBmp;
    if (suffix == QLatin1String("png")) return FormatPng;
    if (suffix == QLatin1String("svg")) return FormatSvg;
    return FormatUnknown;
}

bool CGraphImageExport::IsSvgAvailable()
{
#ifdef QUINDLE_HAS_SVG
    return true;
#else
    return false;
#endif
}

int CGraphImageExport::Bmp16RowBytes(int w)
{
    return (2 * w + 3) & ~3;
}

QByteArray CGraphImageExport::EncodeBmp16(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width();
    const int h = image.height();
    const int nRow = Bmp16RowBytes(w);
    const quint32 nImage = quint32(nRow) * quint32(h);

    QByteArray b;
    b.reserve(kFileHeaderBytes + kInfoHeaderBytes + qsizetype(nImage));
    b.append("BM");
    Put32(b, kFileHeaderBytes + kInfoHeaderBytes + nImage);
    Put16(b, 0);
    Put16(b, 0);
    Put32(b, kFileHeaderBytes + kInfoHeaderBytes);
    Put32(b, kInfoHeaderBytes);
    Put32(b, quint32(w));
    Put32(b, quint32(h));  // positive: bottom-up rows
    Put16(b, 1);
    Put16(b, 16);
    for (int i = 0; i < 6; ++i) Put32(b, 0);  // no compression, sizes and colour counts left 0

    QByteArray row(nRow, '\0');
    for (int y = h - 1; y >= 0; --y) {
        const auto* pLine = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb c = pLine[x];
            const int v = ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3);
            row[2 * x] = char(v & 0xFF);
            row[2 * x + 1] = char((v >> 8) & 0xFF);
        }
        b.append(row);
    }
    return b;
}

QImage CGraphImageExport::Render(int w, int h, const PaintFn& paint)
{
    if (w <= 0 || h <= 0) return {};
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        plat::CDC dc(&image);
        paint(&dc);
    }
    return image.convertToFormat(QImage::Format_RGB888);
}

bool CGraphImageExport::WriteFile(const QString& strPath, const QByteArray& bytes)
{
    if (strPath.isEmpty()) return false;
    QSaveFile file(strPath);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool CGraphImageExport::SaveBmp16(const QString& strPath, int w, int h, const PaintFn& paint)
{
    const QImage image = Render(w, h, paint);
    if (image.isNull()) return false;
    return WriteFile(strPath, EncodeBmp16(image));
}

bool CGraphImageExport::SavePng(const QString& strPath, int w, int h, const PaintFn& paint)
{
    const QImage image = Render(w, h, paint);
    if (image.isNull()) return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return false;
    return WriteFile(strPath, bytes);
}

bool CGraphImageExport::SaveSvg(const QString& strPath, int w, int h, const PaintFn& paint, const QString& strTitle)
{
#ifdef QUINDLE_HAS_SVG
    if (w <= 0 || h <= 0) return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(w, h));
    svg.setViewBox(QRect(0, 0, w, h));
    svg.setResolution(90);  // what SVG readers take for the millimetres written
    svg.setTitle(strTitle);
    {
        plat::CDC dc(&svg);
        paint(&dc);
    }
    return WriteFile(strPath, bytes);
#else
    Q_UNUSED(strPath);
    Q_UNUSED(w);
    Q_UNUSED(h);
    Q_UNUSED(paint);
    Q_UNUSED(strTitle);
    return false;
#endif
}
