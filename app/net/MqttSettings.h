#pragma once

#include <QString>

// How to reach the broker, as the options or the window's settings give it.
struct SMqttSettings {
    QString strUrl;              // empty: no publishing
    QString strPrefix;           // empty: the default prefix
    QString strCredentialsPath;  // empty: anonymous
    QString strCaFile;           // empty: the system's CA store (mqtts only)
    bool bAcceptStop = false;    // subscribe to <prefix>/cmd/stop

    bool IsEnabled() const { return !strUrl.isEmpty(); }
};
