#include "ui/CommandLine.h"

namespace {

bool ToInt(const QString& text, int* value)
{
    bool ok = false;
    *value = text.toInt(&ok, 10);
    return ok;
}

}  // namespace

CCommandLine CCommandLine::Parse(const QStringList& args)
{
    CCommandLine cl;
    for (int i = 0; i < args.size() && cl.IsValid(); ++i) {
        const QString& arg = args[i];
        const auto value = [&](int count) {
            if (i + count < args.size()) return true;
            cl.m_strError = QStringLiteral("%1 needs %2 value%3").arg(arg).arg(count).arg(count > 1 ? "s" : "");
            return false;
        };
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            cl.m_bHelp = true;
        } else if (arg == QLatin1String("--version")) {
            cl.m_bVersion = true;
        } else if (arg == QLatin1String("--port")) {
            if (value(1)) cl.m_strPort = args[++i];
            if (cl.IsValid() && cl.m_strPort.isEmpty()) cl.m_strError = QStringLiteral("--port needs a name");
        } else if (arg == QLatin1String("--baud")) {
            int baud = 0;
            if (value(1) && (!ToInt(args[i + 1], &baud) || baud <= 0))
                cl.m_strError = QStringLiteral("--baud needs a positive number, not \"%1\"").arg(args[i + 1]);
            else if (cl.IsValid()) cl.m_strBaud = args[++i];
        } else if (arg == QLatin1String("--send-state")) {
            if (value(2) && (!ToInt(args[i + 1], &cl.m_nMotor) || !ToInt(args[i + 2], &cl.m_nStatus)))
                cl.m_strError = QStringLiteral("--send-state needs two whole numbers, MOTOR and STATUS");
            cl.m_bSendState = true;
            i += 2;
        } else {
            cl.m_strError = QStringLiteral("unknown option \"%1\"").arg(arg);
        }
    }
    if (cl.IsValid() && cl.m_bSendState && (!cl.m_strPort.isEmpty() || !cl.m_strBaud.isEmpty()))
        cl.m_strError = QStringLiteral("--send-state talks to a running Vantoc and takes no port settings");
    return cl;
}

QString CCommandLine::Usage()
{
    return QStringLiteral(
        "Usage: vantoc [--port NAME] [--baud N]\n"
        "       vantoc --send-state MOTOR STATUS\n"
        "\n"
        "Control program of the Overhead Rotaque stirrer.\n"
        "\n"
        "  --port NAME    preselect this port in the port dialog: COM1 to COM10\n"
        "                 (COMn is /dev/ttyS{n-1}) or a device path such as\n"
        "                 /dev/ttyUSB0 or the link stirrer-sim made\n"
        "  --baud N       preselect this baud rate (default 9600)\n"
        "  --send-state MOTOR STATUS\n"
        "                 send the run-state message to the Vantoc of this user\n"
        "                 that is running; 0 0 ends its run\n"
        "  --help         show this text\n"
        "  --version      show the version\n"
        "\n"
        "Exit status: 0 done; 1 the run-state message was not accepted;\n"
        "2 no display to show the window on; 64 wrong options.\n");
}

QString CCommandLine::Version()
{
    return QStringLiteral("vantoc 1.0.0");
}
