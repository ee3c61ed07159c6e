#include "BrowseDemo.h"
#include "GalleryWindow.h"

#include "platform/ResourceModule.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSaveFile>
#include <cstdio>
#include <memory>

// quindle-gallery [--browse] [--screenshot FILE.png]: shows the gallery (or,
// with --browse, a live chart to browse), or saves a picture of it and ends
// (works on the offscreen platform too).
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The controls of libquindle side by side."));
    parser.addHelpOption();
    const QCommandLineOption shotOption(QStringLiteral("screenshot"), QStringLiteral("Save a picture and quit."),
                                        QStringLiteral("file"));
    parser.addOption(shotOption);
    const QCommandLineOption browseOption(QStringLiteral("browse"),
                                          QStringLiteral("A live chart of a long run to zoom and pan instead."));
    parser.addOption(browseOption);
    parser.process(app);

    plat::CResourceModule program(QStringLiteral("quindle-gallery"), QStringLiteral(":/vantoc"));
    plat::CResourceModule::SetProgram(&program);

    std::unique_ptr<QWidget> pWindow;
    if (parser.isSet(browseOption)) pWindow = std::make_unique<BrowseDemo>();
    else pWindow = std::make_unique<GalleryWindow>();
    QWidget& window = *pWindow;
    if (parser.isSet(shotOption)) {
        window.adjustSize();
        QSaveFile file(parser.value(shotOption));
        if (!file.open(QIODevice::WriteOnly) || !window.grab().save(&file, "PNG") || !file.commit()) {
            std::fprintf(stderr, "quindle-gallery: cannot write %s\n", qPrintable(parser.value(shotOption)));
            return 1;
        }
        return 0;
    }
    window.show();
    return app.exec();
}
