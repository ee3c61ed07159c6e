#pragma once

// PNG writing shared by the picture generators (ctrl/res/gen, app/res/gen).

#include <QImage>
#include <QSaveFile>
#include <QString>
#include <cstdio>

// Writes image as PNG to path through a temporary file in the same folder,
// so a failed write leaves the existing picture as it was.
inline bool SavePng(const QImage& image, const char* path)
{
    QSaveFile file(QString::fromUtf8(path));
    if (file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit()) return true;
    std::fprintf(stderr, "cannot write %s\n", path);
    return false;
}
