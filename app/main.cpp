#include "ui/CommandLine.h"
#include "run/JournalStore.h"
#include "ui/HeadlessRun.h"
#include "ui/JournalCommands.h"
#include "ui/ResourceIds.h"
#include "ui/PortList.h"
#include "ui/ReportCommand.h"
#include "ui/StateEndpoint.h"
#include "ui/StirrerApp.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QFile>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

QStringList Arguments(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    return args;
}

// Qt aborts when it cannot reach a display; say what to do instead.
bool HasDisplay()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int SendState(int argc, char** argv, const CCommandLine& cl)
{
    QCoreApplication app(argc, argv);
    QString reason;
    if (CStateEndpoint::Send(CStateEndpoint::DefaultPath(), cl.m_nMotor, cl.m_nStatus, &reason)) return 0;
    std::fprintf(stderr, "vantoc: %s\n", qPrintable(reason));
    return 1;
}

int JournalCommand(int argc, char** argv, const CCommandLine& cl)
{
    QCoreApplication app(argc, argv);
    vantoc::RegisterResources();  // the export's column titles
    QFile out;
    QFile err;
    out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    if (cl.m_bJournals)
        return CJournalCommands::List(cl.m_strJournalDir.isEmpty() ? CJournalStore::DefaultDir() : cl.m_strJournalDir,
                                      out);
    return CJournalCommands::Export(cl.m_strExportJournal, cl.m_strOut, err);
}

// The report needs fonts but never a screen: it runs on machines without one.
int ReportCommand(int argc, char** argv, const CCommandLine& cl)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    vantoc::RegisterResources();  // the charts' titles
    QFile err;
    err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    return CReportCommand::Run(cl.m_strReport, cl.m_strOut, err);
}

}  // namespace

int main(int argc, char** argv)
{
    const CCommandLine cl = CCommandLine::Parse(Arguments(argc, argv));
    if (!cl.IsValid()) {
        std::fprintf(stderr, "vantoc: %s\n\n%s", qPrintable(cl.Error()), qPrintable(CCommandLine::Usage()));
        return CCommandLine::kUsageExit;
    }
    if (cl.m_bHelp) {
        std::fputs(qPrintable(CCommandLine::Usage()), stdout);
        return 0;
    }
    if (cl.m_bVersion) {
        std::puts(qPrintable(CCommandLine::Version()));
        return 0;
    }
    if (cl.m_bListPorts) {
        QCoreApplication app(argc, argv);
        std::fputs(qPrintable(CPortList::Text(CPortList::Present())), stdout);
        return 0;
    }
    if (cl.m_bSendState) return SendState(argc, argv, cl);
    if (cl.m_bJournals || !cl.m_strExportJournal.isEmpty()) return JournalCommand(argc, argv, cl);
    if (!cl.m_strReport.isEmpty()) return ReportCommand(argc, argv, cl);
    // A full disk or a file size limit fails the journal's write instead of
    // ending the program with the motor turning.
    std::signal(SIGXFSZ, SIG_IGN);
    if (cl.m_bHeadless) return CHeadlessRun::Main(argc, argv, cl);
    if (!HasDisplay()) {
        std::fputs("vantoc: no display to show the window on (DISPLAY is not set).\n"
                   "Run it in a desktop session, or on a virtual display:  xvfb-run -a vantoc ...\n",
                   stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vantoc"));
    // Settings in ~/.config/vantoc/.
    QApplication::setOrganizationName(QStringLiteral("vantoc"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vantoc"));
    CStirrerApp theApp;
    return theApp.InitInstance(cl);
}
