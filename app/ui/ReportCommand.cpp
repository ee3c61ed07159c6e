#include "ui/ReportCommand.h"

#include "run/OpenedRun.h"
#include "ui/RunReport.h"

#include <QIODevice>

int CReportCommand::Run(const QString& runPath, const QString& outPath, QIODevice& err)
{
    const auto say = [&err](const QString& text) { err.write(("vantoc: " + text + '\n').toLocal8Bit()); };
    COpenedRun run;
    try {
        run = COpenedRun::Load(runPath);
    } catch (const CRunFileError& e) {
        say(QString::fromUtf8(e.what()));
        return kExitUnreadable;
    }
    if (!run.BadLines().IsEmpty()) say(QStringLiteral("%1: %2").arg(runPath, run.BadLines().Text()));
    QString error;
    if (!CRunReport(run).Save(outPath, &error)) {
        say(QStringLiteral("the report could not be written: %1").arg(error));
        return kExitWriteFailed;
    }
    return kExitDone;
}
