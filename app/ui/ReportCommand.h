#pragma once

#include <QString>

class QIODevice;

// vantoc --report RUN --out FILE.pdf|FILE.png: the run's one-page report.
class CReportCommand
{
public:
    static constexpr int kExitDone = 0;
    static constexpr int kExitWriteFailed = 5;
    static constexpr int kExitUnreadable = 65;

    // Messages (an unreadable run, skipped lines, a failed write) go to err.
    static int Run(const QString& runPath, const QString& outPath, QIODevice& err);
};
