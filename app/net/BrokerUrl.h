#pragma once

#include <QString>

// Where the laboratory's broker is: mqtt://host[:port] (plain TCP, 1883 by
// default) or mqtts://host[:port] (TLS, 8883 by default).
struct SBrokerUrl {
    static constexpr int kPlainPort = 1883;
    static constexpr int kTlsPort = 8883;

    bool bTls = false;
    QString strHost;
    int nPort = 0;

    // False with *error set when the text is not such a URL.
    static bool Parse(const QString& text, SBrokerUrl* url, QString* error);
};
