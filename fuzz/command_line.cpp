// The program's command line: NUL-separated arguments.
#include "ui/CommandLine.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 4096) return 0;
    QStringList args;
    for (const QByteArray& arg : QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).split('\0'))
        args << QString::fromUtf8(arg);
    const CCommandLine cl = CCommandLine::Parse(args);
    if (cl.IsValid() == !cl.Error().isEmpty()) std::abort();
    if (CCommandLine::Parse(args).Error() != cl.Error()) std::abort();
    if (!cl.IsValid() || cl.m_bHelp || cl.m_bVersion) return 0;

    if (!cl.m_strBaud.isEmpty() && cl.m_strBaud.toInt() <= 0) std::abort();
    if (cl.m_nDurationMs < 0 || cl.m_nDurationMs > 1000LL * 1000 * 1000 * 1000 || cl.m_nSamples < 0) std::abort();
    if (cl.m_bHeadless) {
        // A headless run ends by exactly one rule and never also sends a state.
        if ((cl.m_nDurationMs > 0) == (cl.m_nSamples > 0) || cl.m_bSendState) std::abort();
        if (!args.contains(QStringLiteral("--speed"))) std::abort();
    } else if (cl.m_nDurationMs || cl.m_nSamples || cl.m_nSpeed || !cl.m_strSave.isEmpty()) {
        std::abort();
    }
    if (cl.m_bSendState && (!cl.m_strPort.isEmpty() || !cl.m_strBaud.isEmpty())) std::abort();
    return 0;
}
