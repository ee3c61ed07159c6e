#include "ui/CommandLine.h"

#include "ui/BuildVersion.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Longest --duration accepted, in seconds (about 31 years): keeps the
// millisecond count far from overflowing.
constexpr double kMaxDurationS = 1e9;

const QStringList kHeadlessOnly = {"--speed", "--duration", "--samples", "--save"};
const QStringList kMqttValued = {"--mqtt", "--mqtt-prefix", "--mqtt-credentials", "--mqtt-cafile"};
const QString kMqttAcceptStop = QStringLiteral("--mqtt-accept-stop");

bool ToInt(const QString& text, int* value)
{
    bool ok = false;
    *value = text.toInt(&ok, 10);
    return ok;
}

// A whole number; one beyond int's range is clamped so that the run refuses
// it as an out-of-range speed rather than as a malformed option.
bool ToClampedInt(const QString& text, int* value)
{
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok, 10);
    if (!ok) {
        const QString digits = text.startsWith(QLatin1Char('-')) ? text.mid(1) : text;
        if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); }))
            return false;
        *value = text.startsWith(QLatin1Char('-')) ? std::numeric_limits<int>::min()
                                                    : std::numeric_limits<int>::max();
        return true;
    }
    *value = static_cast<int>(std::clamp<qlonglong>(v, std::numeric_limits<int>::min(),
                                                    std::numeric_limits<int>::max()));
    return true;
}

bool ToDurationMs(const QString& text, qint64* ms)
{
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds <= 0 || seconds > kMaxDurationS) return false;
    *ms = std::max<qint64>(1, std::llround(seconds * 1000.0));
    return true;
}

}  // namespace

CCommandLine CCommandLine::Parse(const QStringList& args)
{
    CCommandLine cl;
    QStringList given;
    for (int i = 0; i < args.size() && cl.IsValid(); ++i) {
        const QString& arg = args[i];
        if (arg.startsWith(QLatin1String("--")) && given.contains(arg) && arg != QLatin1String("--help")
            && arg != QLatin1String("--version")) {
            cl.m_strError = QStringLiteral("%1 is given twice").arg(arg);
            break;
        }
        given << arg;
        const auto value = [&](int count) {
            if (i + count < args.size()) return true;
            cl.m_strError = QStringLiteral("%1 needs %2 value%3").arg(arg).arg(count).arg(count > 1 ? "s" : "");
            return false;
        };
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            cl.m_bHelp = true;
        } else if (arg == QLatin1String("--version")) {
            cl.m_bVersion = true;
        } else if (arg == QLatin1String("--list-ports")) {
            cl.m_bListPorts = true;
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
        } else if (cl.TakeMqttOption(args, i)) {
        } else if (cl.m_automation.Take(args, i, cl.m_strError)) {
        } else if (!cl.TakeJournalOption(args, i) && !cl.TakeHeadlessOption(args, i) && cl.IsValid()) {
            cl.m_strError = QStringLiteral("unknown option \"%1\"").arg(arg);
        }
    }
    if (cl.IsValid() && cl.m_bSendState && (!cl.m_strPort.isEmpty() || !cl.m_strBaud.isEmpty()))
        cl.m_strError = QStringLiteral("--send-state talks to a running Vantoc and takes no port settings");
    if (cl.IsValid() && cl.m_bListPorts && (cl.m_bSendState || given.contains(QStringLiteral("--headless"))))
        cl.m_strError = QStringLiteral("--list-ports only lists the ports; it goes with no run and no message");
    // Help and version answer whatever else was asked.
    if (cl.IsValid() && !cl.m_bHelp && !cl.m_bVersion) cl.CheckJournalCombination(given);
    if (cl.IsValid() && !cl.m_bHelp && !cl.m_bVersion) cl.CheckHeadlessCombination(given);
    if (cl.IsValid() && !cl.m_bHelp && !cl.m_bVersion) cl.CheckMqttCombination(given);
    return cl;
}

// The broker options; true when args[i] was one of them (i then stands on
// its value), also when its value was missing. The password is never an
// option: it would show in the process list.
bool CCommandLine::TakeMqttOption(const QStringList& args, int& i)
{
    const QString& arg = args[i];
    if (arg == kMqttAcceptStop) {
        m_mqtt.bAcceptStop = true;
        return true;
    }
    if (!kMqttValued.contains(arg)) return false;
    if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
        m_strError = QStringLiteral("%1 needs a value").arg(arg);
        ++i;
        return true;
    }
    const QString& text = args[++i];
    if (arg == QLatin1String("--mqtt")) m_mqtt.strUrl = text;
    else if (arg == QLatin1String("--mqtt-prefix")) m_mqtt.strPrefix = text;
    else if (arg == QLatin1String("--mqtt-credentials")) m_mqtt.strCredentialsPath = text;
    else m_mqtt.strCaFile = text;
    return true;
}

void CCommandLine::CheckMqttCombination(const QStringList& given)
{
    QStringList all = kMqttValued;
    all << kMqttAcceptStop;
    for (const QString& option : all) {
        if (!given.contains(option)) continue;
        if (!m_bHeadless) {
            m_strError = QStringLiteral("%1 belongs to a headless run: add --headless").arg(option);
            return;
        }
        if (option != QLatin1String("--mqtt") && m_mqtt.strUrl.isEmpty()) {
            m_strError = QStringLiteral("%1 needs --mqtt URL").arg(option);
            return;
        }
    }
}

// The journal's options; true when args[i] was one of them (i then stands
// on its last value), also when its value was wrong.
bool CCommandLine::TakeJournalOption(const QStringList& args, int& i)
{
    const QString& arg = args[i];
    if (arg == QLatin1String("--no-journal")) {
        m_bNoJournal = true;
        return true;
    }
    if (arg == QLatin1String("--journals")) {
        m_bJournals = true;
        return true;
    }
    QString* target = arg == QLatin1String("--journal-dir")      ? &m_strJournalDir
                      : arg == QLatin1String("--note")           ? &m_strNote
                      : arg == QLatin1String("--export-journal") ? &m_strExportJournal
                      : arg == QLatin1String("--out")            ? &m_strOut
                                                                 : nullptr;
    if (!target) return false;
    if (i + 1 >= args.size()) {
        m_strError = QStringLiteral("%1 needs a value").arg(arg);
        return true;
    }
    *target = args[++i];
    if (target != &m_strNote && target->isEmpty()) m_strError = QStringLiteral("%1 needs a path").arg(arg);
    return true;
}

void CCommandLine::CheckJournalCombination(const QStringList& given)
{
    const bool exporting = !m_strExportJournal.isEmpty();
    if (m_bNoJournal && given.contains(QStringLiteral("--journal-dir")))
        m_strError = QStringLiteral("--no-journal and --journal-dir do not go together");
    else if (exporting != !m_strOut.isEmpty())
        m_strError = QStringLiteral("--export-journal FILE needs --out RUN.xls, and --out belongs to it");
    else if ((exporting || m_bJournals) && (exporting == m_bJournals || m_bHeadless || m_bSendState))
        m_strError = QStringLiteral("--journals and --export-journal each go alone");
    else if ((exporting || m_bJournals) && (given.contains(QStringLiteral("--port")) || given.contains(QStringLiteral("--baud"))
                                            || m_bNoJournal || given.contains(QStringLiteral("--note"))))
        m_strError = QStringLiteral("--journals and --export-journal take no run options");
}

// The options of a headless run; true when args[i] was one of them (i then
// stands on its last value), also when its value was wrong.
bool CCommandLine::TakeHeadlessOption(const QStringList& args, int& i)
{
    const QString& arg = args[i];
    if (arg == QLatin1String("--headless")) {
        m_bHeadless = true;
        return true;
    }
    if (!kHeadlessOnly.contains(arg)) return false;
    if (i + 1 >= args.size()) {
        m_strError = QStringLiteral("%1 needs a value").arg(arg);
        return true;
    }
    const QString& text = args[++i];
    if (arg == QLatin1String("--speed")) {
        if (!ToClampedInt(text, &m_nSpeed))
            m_strError = QStringLiteral("--speed needs a whole number of rpm, not \"%1\"").arg(text);
    } else if (arg == QLatin1String("--duration")) {
        if (!ToDurationMs(text, &m_nDurationMs))
            m_strError = QStringLiteral("--duration needs a number of seconds above 0, not \"%1\"").arg(text);
    } else if (arg == QLatin1String("--samples")) {
        if (!ToInt(text, &m_nSamples) || m_nSamples <= 0)
            m_strError = QStringLiteral("--samples needs a whole number above 0, not \"%1\"").arg(text);
    } else {
        m_strSave = text;
        if (m_strSave.isEmpty()) m_strError = QStringLiteral("--save needs a file name");
    }
    return true;
}

void CCommandLine::CheckHeadlessCombination(const QStringList& given)
{
    if (!m_bHeadless) {
        m_automation.Check(given, false, m_strError);
        if (!m_strError.isEmpty()) return;
        for (const QString& option : kHeadlessOnly)
            if (given.contains(option)) {
                m_strError = QStringLiteral("%1 belongs to a headless run: add --headless").arg(option);
                return;
            }
        return;
    }
    const bool program = given.contains(QStringLiteral("--program"));
    if (!m_bSendState) m_automation.Check(given, true, m_strError);
    if (m_bSendState)
        m_strError = QStringLiteral("--send-state and --headless do not go together");
    else if (!m_strError.isEmpty())
        return;
    else if (!program && !given.contains(QStringLiteral("--speed")))
        m_strError = QStringLiteral("--headless needs --speed RPM or --program FILE");
    else if (program && m_nDurationMs > 0 && m_nSamples > 0)
        m_strError = QStringLiteral("--duration and --samples do not go together");
    else if (!program && (m_nDurationMs > 0) == (m_nSamples > 0))
        m_strError = QStringLiteral("--headless needs either --duration SECONDS or --samples N, not both");
}

QString CCommandLine::Usage()
{
    return QStringLiteral(
        "Usage: vantoc [--port NAME] [--baud N] [--journal-dir DIR | --no-journal]\n"
        "              [--note TEXT]\n"
        "       vantoc --headless [--port NAME] [--baud N] --speed RPM\n"
        "              (--duration SECONDS | --samples N) [--save FILE]\n"
        "              [--max-speed RPM] [--max-torque NCM] [--link-timeout SECONDS]\n"
        "              [--tare] [--end-on-plateau RATE:WINDOW] [--end-on-torque NCM]\n"
        "              [--min-time DURATION] [--trend-window DURATION]\n"
        "       vantoc --headless [--port NAME] [--baud N] --program FILE\n"
        "              [--duration SECONDS | --samples N] [the options above]\n"
        "              [--mqtt URL [--mqtt-prefix PREFIX] [--mqtt-credentials FILE]\n"
        "               [--mqtt-cafile FILE] [--mqtt-accept-stop]]\n"
        "              [--journal-dir DIR | --no-journal] [--note TEXT]\n"
        "       vantoc --list-ports\n"
        "       vantoc --send-state MOTOR STATUS\n"
        "       vantoc --journals [--journal-dir DIR]\n"
        "       vantoc --export-journal FILE --out RUN.xls\n"
        "       vantoc --help | --version\n"
        "\n"
        "Control program of the Overhead Rotaque stirrer.\n"
        "\n"
        "  --port NAME    the stirrer's port: COM1 to COM10 (COMn is\n"
        "                 /dev/ttyS{n-1}) or a device path such as /dev/ttyUSB0\n"
        "                 or the link stirrer-sim made; the window preselects it\n"
        "                 in the port dialog (default COM1)\n"
        "  --baud N       baud rate (default 9600)\n"
        "  --list-ports   print the serial devices present, one a line: path,\n"
        "                 description, manufacturer, USB ids (vvvv:pppp) and\n"
        "                 serial number, separated by tabs (\"-\" when unknown)\n"
        "  --send-state MOTOR STATUS\n"
        "                 send the run-state message to the Vantoc of this user\n"
        "                 that is running; 0 0 ends its run\n"
        "  --journal-dir DIR\n"
        "                 folder of the run journals (default\n"
        "                 $XDG_DATA_HOME/vantoc/runs, ~/.local/share/vantoc/runs)\n"
        "  --no-journal   keep no journal of the runs\n"
        "  --note TEXT    the note in the next run's journal header\n"
        "  --journals     list the journals: path, start, samples, finished,\n"
        "                 unfinished or running; one a line, tab-separated\n"
        "  --export-journal FILE --out RUN.xls\n"
        "                 write a journal's samples as Save's export file\n"
        "  --help         show this text\n"
        "  --version      show the version\n"
        "\n"
        "Headless run (no window, no display needed):\n"
        "  --headless     connect and handshake, run the motor at --speed, print\n"
        "                 every sample (about one per second) on standard output\n"
        "                 as the export's rows, number<TAB>speed<TAB>torque with\n"
        "                 CR LF line ends, then stop the motor as the window's\n"
        "                 Stop does (speed 0, up to four attempts)\n"
        "  --speed RPM    target speed, 50 to 2200 (2200 is sent as 2199)\n"
        "  --duration SECONDS\n"
        "                 end the run after this many seconds (decimals allowed)\n"
        "  --samples N    end the run after N samples\n"
        "%1"
        "  --save FILE    then write the run's export file (the header line and\n"
        "                 the rows printed), as the window's Save does; an\n"
        "                 existing file is replaced only by a complete new one\n"
        "                 (a device or pipe is written into, never replaced)\n"
        "  --mqtt URL     also publish the run to an MQTT broker: mqtt://host[:port]\n"
        "                 (default port 1883) or mqtts://host[:port] (TLS, 8883,\n"
        "                 checked against the system's CA store); samples, events\n"
        "                 and the retained state (\"offline\" if the program dies).\n"
        "                 The run never waits for the broker\n"
        "  --mqtt-prefix PREFIX\n"
        "                 topic prefix (default vantoc/<host name>/<port name\n"
        "                 without /dev/>)\n"
        "  --mqtt-credentials FILE\n"
        "                 user on the first line, password on the second; the\n"
        "                 file must be readable by its owner only (chmod 600)\n"
        "  --mqtt-cafile FILE\n"
        "                 check an mqtts broker against this CA instead\n"
        "  --mqtt-accept-stop\n"
        "                 stop the motor, as Stop does, when a message arrives on\n"
        "                 <prefix>/cmd/stop; nothing else is taken from the network\n"
        "  Ctrl-C (SIGINT) or SIGTERM ends a headless run early: the motor is\n"
        "  stopped and the samples recorded so far are saved. SIGUSR1 puts the\n"
        "  mark \"mark\" into the journal.\n"
        "\n"
        "Exit status:\n"
        "  0    done\n"
        "  1    --send-state: the run-state message was not accepted\n"
        "  2    window: no display to show it on;\n"
        "       headless: no instrument answered on the port, or --speed is\n"
        "       outside 50 to 2200 or above --max-speed (nothing is sent then)\n"
        "  3    headless: the stirrer did not acknowledge the speed command;\n"
        "       speed 0 was sent and acknowledged\n"
        "  4    headless: the stirrer did not acknowledge the stop (also the one\n"
        "       sent after a failed speed command); the motor may still be\n"
        "       turning (the samples are saved first)\n"
        "  5    headless, --export-journal: the export file could not be written\n"
        "  6    headless: --max-torque reached; the motor was stopped\n"
        "  7    headless: no valid reply for --link-timeout; the motor was sent\n"
        "       the stop (see the warning whether it took it)\n"
        "  64   wrong options\n"
        "  65   --export-journal: FILE cannot be read or is not a run journal;\n"
        "       headless: the --program file cannot be read or has an error\n"
        "       (nothing is sent)\n"
        "  78   headless: the --mqtt settings cannot be used (address, prefix,\n"
        "       credentials file open to others or malformed, CA file); nothing\n"
        "       is sent to the stirrer or the broker then\n"
        "  130, 143\n"
        "       headless: ended by SIGINT or SIGTERM; motor stopped and samples\n"
        "       saved (4 or 5 instead when that failed)\n")
        .arg(CAutomationOptions::Usage());
}

QString CCommandLine::Version()
{
    return QStringLiteral("vantoc %1").arg(QString::fromUtf8(vantoc::BuildVersion()));
}
