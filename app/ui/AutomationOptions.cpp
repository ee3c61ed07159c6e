#include "ui/AutomationOptions.h"

#include "run/DurationText.h"
#include "run/SafetyLimits.h"

#include <cmath>

namespace {

const QStringList kValued = {"--program",  "--max-torque", "--link-timeout", "--max-speed",
                             "--end-on-plateau", "--end-on-torque", "--min-time", "--trend-window"};
const QString kTare = QStringLiteral("--tare");

// Torque the instrument can report at most, in Ncm.
constexpr double kMaxNcm = 65535;

bool ToPositive(const QString& text, double limit, double* value)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v) || v <= 0 || v > limit) return false;
    *value = v;
    return true;
}

}  // namespace

bool CAutomationOptions::IsOption(const QString& arg)
{
    return arg == kTare || kValued.contains(arg);
}

bool CAutomationOptions::Take(const QStringList& args, int& i, QString& error)
{
    const QString& arg = args[i];
    if (arg == kTare) {
        bTare = true;
        return true;
    }
    if (!kValued.contains(arg)) return false;
    if (i + 1 >= args.size()) {
        error = QStringLiteral("%1 needs a value").arg(arg);
        return true;
    }
    const QString& text = args[++i];
    if (arg == QLatin1String("--program")) {
        strProgram = text;
        if (text.isEmpty()) error = QStringLiteral("--program needs a file name");
    } else if (arg == QLatin1String("--max-torque")) {
        if (!ToPositive(text, kMaxNcm, &dMaxTorqueNcm))
            error = QStringLiteral("--max-torque needs a torque in Ncm above 0, not \"%1\"").arg(text);
    } else if (arg == QLatin1String("--end-on-torque")) {
        if (!ToPositive(text, kMaxNcm, &dEndTorqueNcm))
            error = QStringLiteral("--end-on-torque needs a torque in Ncm above 0, not \"%1\"").arg(text);
    } else if (arg == QLatin1String("--link-timeout")) {
        const std::optional<double> seconds = CDurationText::Parse(text);
        if (seconds && *seconds >= CSafetyLimits::kMinLinkLostSeconds && *seconds <= 86400) dLinkTimeoutS = *seconds;
        else error = QStringLiteral("--link-timeout needs a number of seconds from 2 to 86400, not \"%1\"").arg(text);
    } else if (arg == QLatin1String("--max-speed")) {
        bool ok = false;
        nMaxSpeed = text.toInt(&ok, 10);
        if (!ok || nMaxSpeed < 50 || nMaxSpeed > 2200)
            error = QStringLiteral("--max-speed needs a whole number of rpm from 50 to 2200, not \"%1\"").arg(text);
    } else if (arg == QLatin1String("--end-on-plateau")) {
        bPlateau = CDurationText::ParseRateAndDuration(text, dPlateauRate, dPlateauS);
        if (!bPlateau)
            error = QStringLiteral("--end-on-plateau needs RATE:WINDOW, a rate in Ncm/min and a duration, "
                                   "such as 0.5:5m, not \"%1\"")
                        .arg(text);
    } else if (arg == QLatin1String("--trend-window")) {
        const std::optional<double> seconds = CDurationText::Parse(text);
        if (seconds && *seconds > 0 && *seconds <= 3600) dTrendWindowS = *seconds;
        else error = QStringLiteral("--trend-window needs a duration above 0, at most 1 h, such as 60 or 2m, not \"%1\"").arg(text);
    } else {
        const std::optional<double> seconds = CDurationText::Parse(text);
        if (seconds) dMinTimeS = *seconds;
        else error = QStringLiteral("--min-time needs a duration such as 90, 5m or 1:30:00, not \"%1\"").arg(text);
    }
    return true;
}

void CAutomationOptions::Check(const QStringList& given, bool headless, QString& error) const
{
    QStringList all = kValued;
    all << kTare;
    for (const QString& option : all)
        if (!headless && given.contains(option)) {
            error = QStringLiteral("%1 belongs to a headless run: add --headless").arg(option);
            return;
        }
    if (!headless) return;
    if (given.contains(QStringLiteral("--program")) && given.contains(QStringLiteral("--speed")))
        error = QStringLiteral("--program and --speed do not go together: the program sets the speed");
    else if (given.contains(QStringLiteral("--min-time")) && !bPlateau && dEndTorqueNcm <= 0)
        error = QStringLiteral("--min-time holds back an end-point rule: add --end-on-plateau or --end-on-torque");
    else if (given.contains(QStringLiteral("--trend-window")) && !bPlateau)
        error = QStringLiteral("--trend-window belongs to --end-on-plateau");
}

QString CAutomationOptions::Usage()
{
    return QStringLiteral(
        "  --program FILE run the speed program in FILE instead of --speed (see\n"
        "                 README: hold RPM DURATION, ramp RPM DURATION, # comments);\n"
        "                 the run ends with the program, or earlier at --duration\n"
        "                 or --samples; a file with an error is refused whole\n"
        "  --max-speed RPM\n"
        "                 the laboratory's maximum speed: a --speed or a program\n"
        "                 step above it is refused and nothing is sent\n"
        "  --max-torque NCM\n"
        "                 stop the motor, as Stop does, at a torque at or above\n"
        "                 NCM (exit status 6)\n"
        "  --link-timeout SECONDS\n"
        "                 no valid status reply for this long (2 or more): stop\n"
        "                 the motor (up to four attempts) and exit with status 7\n"
        "  --tare         the mean torque of the first five samples becomes zero\n"
        "                 (Δ torque); the tare goes into the journal\n"
        "  --end-on-plateau RATE:WINDOW\n"
        "                 end the run when the torque's trend (least squares over\n"
        "                 --trend-window) stays below RATE Ncm/min for WINDOW,\n"
        "                 e.g. 0.5:5m\n"
        "  --trend-window DURATION\n"
        "                 the trend's window (default 60 s)\n"
        "  --end-on-torque NCM\n"
        "                 end the run when Δ torque reaches NCM\n"
        "  --min-time DURATION\n"
        "                 no end-point rule ends the run before this (90, 5m,\n"
        "                 1:30:00)\n"
        "                 A rule that ends the run prints, e.g., \"Torque plateau\n"
        "                 reached after 0:41:10 (Δ 23 Ncm)\", stops the motor as\n"
        "                 Stop does and exits with status 0\n");
}
