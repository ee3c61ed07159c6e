#include "net/BrokerUrl.h"

bool SBrokerUrl::Parse(const QString& text, SBrokerUrl* url, QString* error)
{
    const auto fail = [&](const QString& why) {
        if (error) *error = QStringLiteral("\"%1\" is not a broker address: %2").arg(text, why);
        return false;
    };
    SBrokerUrl parsed;
    QString rest;
    if (text.startsWith(QLatin1String("mqtt://"))) {
        rest = text.mid(7);
        parsed.nPort = kPlainPort;
    } else if (text.startsWith(QLatin1String("mqtts://"))) {
        rest = text.mid(8);
        parsed.bTls = true;
        parsed.nPort = kTlsPort;
    } else {
        return fail(QStringLiteral("write mqtt://host[:port] or mqtts://host[:port]"));
    }
    if (rest.endsWith(QLatin1Char('/'))) rest.chop(1);
    if (rest.contains(QLatin1Char('/')) || rest.contains(QLatin1Char('@')))
        return fail(QStringLiteral("only a host and a port are taken (credentials go in a file)"));

    QString host = rest;
    if (rest.startsWith(QLatin1Char('['))) {  // [IPv6]:port
        const int close = rest.indexOf(QLatin1Char(']'));
        if (close < 0) return fail(QStringLiteral("unclosed ["));
        host = rest.mid(1, close - 1);
        rest = rest.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':'))) return fail(QStringLiteral("text after ]"));
        rest = rest.isEmpty() ? QString() : rest.mid(1);
        if (!rest.isEmpty() || text.endsWith(QLatin1Char(':'))) {
            bool ok = false;
            parsed.nPort = rest.toInt(&ok, 10);
            if (!ok || parsed.nPort < 1 || parsed.nPort > 65535) return fail(QStringLiteral("port 1 to 65535"));
        }
    } else {
        const int colon = rest.lastIndexOf(QLatin1Char(':'));
        if (colon >= 0) {
            host = rest.left(colon);
            bool ok = false;
            parsed.nPort = rest.mid(colon + 1).toInt(&ok, 10);
            if (!ok || parsed.nPort < 1 || parsed.nPort > 65535) return fail(QStringLiteral("port 1 to 65535"));
        }
    }
    if (host.isEmpty()) return fail(QStringLiteral("no host"));
    for (QChar c : host)
        if (c.isSpace() || c.unicode() < 0x20) return fail(QStringLiteral("space in the host"));
    parsed.strHost = host;
    *url = parsed;
    return true;
}
