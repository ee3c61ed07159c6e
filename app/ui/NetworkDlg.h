#pragma once

#include "net/MqttSettings.h"

#include <QDialog>

class CVelEdit;
class QCheckBox;

// "Network…": publishing runs to the laboratory's MQTT broker: broker
// address, topic prefix, credentials file, CA file and whether a remote
// Stop is accepted. OK checks the address, the prefix and both files (the
// credentials file as publishing would read it: owner-only, two lines);
// a refusal is shown with its reason, never with the password, and
// nothing is taken over.
class CNetworkDlg : public QDialog
{
    Q_OBJECT
public:
    enum Field { FieldNone, FieldUrl, FieldPrefix, FieldCredentials, FieldCaFile };

    // defaultPrefix: the prefix used when the field is left empty, shown
    // greyed in it.
    explicit CNetworkDlg(const SMqttSettings& settings, QWidget* parent = nullptr,
                         const QString& defaultPrefix = QString());

    // The settings confirmed with OK; before that (or after Cancel) the
    // ones given to the constructor.
    SMqttSettings Settings() const { return m_settings; }

    // The settings the fields hold, trimmed.
    SMqttSettings Entered() const;
    // Whether the settings can be used for publishing; false with *error
    // and *field set. An empty address (no publishing) checks nothing else.
    static bool Check(const SMqttSettings& settings, QString* error, Field* field);

    CVelEdit* UrlEdit() const { return m_pUrl; }
    CVelEdit* PrefixEdit() const { return m_pPrefix; }
    CVelEdit* CredentialsEdit() const { return m_pCredentials; }
    CVelEdit* CaFileEdit() const { return m_pCaFile; }
    QCheckBox* AcceptStopBox() const { return m_pAcceptStop; }

    void accept() override;

private:
    QWidget* CreateBrokerGroup(const QString& defaultPrefix);
    QWidget* CreateSecurityGroup();
    CVelEdit* EditOf(Field field) const;

    SMqttSettings m_settings;
    CVelEdit* m_pUrl = nullptr;
    CVelEdit* m_pPrefix = nullptr;
    CVelEdit* m_pCredentials = nullptr;
    CVelEdit* m_pCaFile = nullptr;
    QCheckBox* m_pAcceptStop = nullptr;
};
