#include "GalleryWindow.h"

#include "platform/ResourceModule.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSaveFile>
#include <cstdio>

// quindle-gallery [--screenshot FILE.png]: shows the gallery, or saves a
// picture of it and ends (works on the offscreen platform too).
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The controls of libquindle side by side."));
    parser.addHelpOption();
    const QCommandLineOption shotOption(QStringLiteral("screenshot"), QStringLiteral("Save a picture and quit."),
                                        QStringLiteral("file"));
    parser.addOption(shotOption);
    parser.process(app);

    plat::CResourceModule program(QStringLiteral("quindle-gallery"), QStringLiteral(":/vantoc"));
    plat::CResourceModule::SetProgram(&program);

    GalleryWindow window;
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
