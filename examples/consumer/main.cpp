// A program outside Vantoc that uses the installed libquindle: a speed chart
// and a seven-segment display in one window.
//
//   quindle-consumer [--screenshot FILE.png]
//
// With --screenshot it saves a picture of the window and ends (the offscreen
// platform will do). The digit display reads its digit strip, bitmap 102,
// from the program's own resources, as every user of the library supplies it.

#include "display/VelDigit.h"
#include "graph/VelGraphWnd.h"
#include "platform/QuindleVersion.h"
#include "platform/ResourceModule.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QSaveFile>
#include <QStringList>
#include <QWidget>
#include <cmath>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(consumer);
    plat::CResourceModule program(QStringLiteral("quindle-consumer"), QStringLiteral(":/consumer"));
    plat::CResourceModule::SetProgram(&program);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Quindle %1").arg(QString::fromUtf8(plat::QuindleVersion())));
    auto* row = new QHBoxLayout(&window);

    auto* chart = new CVelGraphWnd;
    chart->SetGraphType(GRAPH_LINE);
    chart->ShowButtons(plat::FALSE);
    chart->SetTitle(QStringLiteral("Speed"));
    chart->SetXTitle(QStringLiteral("Time(S)"));
    chart->SetYTitle(QStringLiteral("Speed(rpm)"));
    chart->EnableShowTitle(plat::TRUE);
    chart->EnableShowXTitle(plat::TRUE);
    chart->EnableShowYTitle(plat::TRUE);
    std::vector<double> x, y;
    double speed = 0.0;
    for (int i = 1; i <= 60; ++i) {
        speed += (500.0 - speed) * 0.15;
        x.push_back(i);
        y.push_back(speed + 4.0 * std::sin(i * 0.8));
    }
    chart->AddSeries(static_cast<plat::UINT>(x.size()), x.data(), y.data());
    chart->SetAxisRange(GRAPH_AXIS_X, 0, 61, plat::TRUE);
    chart->SetAxisRange(GRAPH_AXIS_Y, 0, 560, plat::TRUE);
    chart->setMinimumSize(360, 240);
    row->addWidget(chart);

    auto* digit = new CVelDigit;
    digit->SetStyle(102, 4);
    digit->SetDotPrecision(0);
    digit->SetValue(static_cast<float>(std::lround(speed)), plat::TRUE);
    digit->SetZeroPadding(plat::TRUE, plat::TRUE);  // unused places as unlit digits
    digit->setFixedSize(digit->sizeHint());
    row->addWidget(digit);

    const QStringList args = QApplication::arguments();
    const int shot = static_cast<int>(args.indexOf(QStringLiteral("--screenshot")));
    if (shot >= 0) {
        if (shot + 1 >= args.size()) {
            std::fputs("quindle-consumer: --screenshot needs a file name\n", stderr);
            return 2;
        }
        window.adjustSize();
        QSaveFile file(args[shot + 1]);
        if (!file.open(QIODevice::WriteOnly) || !window.grab().save(&file, "PNG") || !file.commit()) {
            std::fprintf(stderr, "quindle-consumer: cannot write %s\n", qPrintable(args[shot + 1]));
            return 1;
        }
        return 0;
    }
    window.show();
    return app.exec();
}
