#pragma once

#include "platform/ResourceModule.h"

#include <QImage>
#include <QRect>
#include <QWidget>
#include <functional>

// Makes Vantoc's resources (compiled into the test) the program's module for
// the lifetime of the object, as the application does at start-up.
class ProgramModuleScope {
public:
    ProgramModuleScope() : m_previous(plat::CResourceModule::SetProgram(&m_module)) {}
    ~ProgramModuleScope() { plat::CResourceModule::SetProgram(m_previous); }
    ProgramModuleScope(const ProgramModuleScope&) = delete;
    ProgramModuleScope& operator=(const ProgramModuleScope&) = delete;

private:
    plat::CResourceModule m_module{QStringLiteral("vantoc"), QStringLiteral(":/vantoc")};
    plat::CResourceModule* m_previous;
};

// A window filled with one colour, to tell the controls' pixels from its own.
class SolidHost : public QWidget {
public:
    explicit SolidHost(QRgb colour, QSize size = {240, 160})
    {
        QPalette pal = palette();
        pal.setColor(QPalette::Window, QColor(colour));
        setPalette(pal);
        setAutoFillBackground(true);
        resize(size);
    }
};

// The host's picture as 32-bit RGB, so pixels compare as plain values.
inline QImage Snapshot(QWidget& host)
{
    return host.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QRgb Rgb(QRgb c)
{
    return c | 0xFF000000u;
}

// The bounding box of the pixels inside area that satisfy isInk.
inline QRect InkBounds(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& isInk)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (isInk(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}
