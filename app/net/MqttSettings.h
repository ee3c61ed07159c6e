#pragma once

#include <QString>

class QSettings;

// How to reach the broker, as the options or the window's settings give it.
struct SMqttSettings {
    QString strUrl;              // empty: no publishing
    QString strPrefix;           // empty: the default prefix
    QString strCredentialsPath;  // empty: anonymous
    QString strCaFile;           // empty: the system's CA store (mqtts only)
    bool bAcceptStop = false;    // subscribe to <prefix>/cmd/stop

    bool IsEnabled() const { return !strUrl.isEmpty(); }
    bool operator==(const SMqttSettings&) const = default;

    // The window's remembered settings, group "network"; missing keys read
    // as the defaults above. Only paths are kept, never a credential.
    static SMqttSettings Load(QSettings& settings);
    void Save(QSettings& settings) const;
};
