#include "ui/NetworkDlg.h"

#include "input/TarnGroupBox.h"
#include "input/VelEdit.h"
#include "net/BrokerUrl.h"
#include "net/MqttCredentials.h"
#include "net/MqttMessages.h"
#include "ui/NumberField.h"
#include "ui/ResourceIds.h"
#include "ui/SettingsParts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <unistd.h>

namespace {

CVelEdit* NewEdit(const QString& text, QWidget* parent)
{
    auto* edit = new CVelEdit(parent);
    edit->setText(text);
    edit->setMinimumWidth(320);
    return edit;
}

bool Fail(QString* error, CNetworkDlg::Field* field, CNetworkDlg::Field at, const QString& why)
{
    if (error) *error = why;
    if (field) *field = at;
    return false;
}

}  // namespace

CNetworkDlg::CNetworkDlg(const SMqttSettings& settings, QWidget* parent, const QString& defaultPrefix)
    : QDialog(parent), m_settings(settings)
{
    setWindowTitle(QStringLiteral("Network"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateBrokerGroup(defaultPrefix));
    layout->addWidget(CreateSecurityGroup());
    m_pAcceptStop = new QCheckBox(QStringLiteral("Accept a remote Stop (<prefix>/cmd/stop)"), this);
    m_pAcceptStop->setChecked(settings.bAcceptStop);
    layout->addWidget(m_pAcceptStop);
    layout->addWidget(CSettingsParts::Hint(
        QStringLiteral("Nothing from the network can start the motor or raise its speed."), this, true));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CNetworkDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QWidget* CNetworkDlg::CreateBrokerGroup(const QString& defaultPrefix)
{
    auto* group = CSettingsParts::NewGroup(QStringLiteral("Broker"), this);
    auto* form = new QFormLayout(group);
    m_pUrl = NewEdit(m_settings.strUrl, group);
    m_pUrl->setPlaceholderText(QStringLiteral("mqtt://host[:port] or mqtts://host[:port]"));
    form->addRow(QStringLiteral("Address:"), m_pUrl);
    form->addRow(CSettingsParts::Hint(QStringLiteral("Empty: runs are not published."), group, true));
    m_pPrefix = NewEdit(m_settings.strPrefix, group);
    m_pPrefix->setPlaceholderText(defaultPrefix);
    form->addRow(QStringLiteral("Topic prefix:"), m_pPrefix);
    return group;
}

QWidget* CNetworkDlg::CreateSecurityGroup()
{
    auto* group = CSettingsParts::NewGroup(QStringLiteral("Security"), this);
    auto* form = new QFormLayout(group);
    m_pCredentials = NewEdit(m_settings.strCredentialsPath, group);
    m_pCredentials->EnableFileBrowseButton(QString(), QStringLiteral("All files (*)|*||"));
    m_pCredentials->setPlaceholderText(QStringLiteral("none: anonymous"));
    form->addRow(QStringLiteral("Credentials file:"), m_pCredentials);
    form->addRow(CSettingsParts::Hint(
        QStringLiteral("Two lines, the user and the password; readable by its owner only (chmod 600)."), group, true));
    m_pCaFile = NewEdit(m_settings.strCaFile, group);
    m_pCaFile->EnableFileBrowseButton(QString(),
                                      QStringLiteral("Certificates (*.pem *.crt)|*.pem;*.crt|All files (*)|*||"));
    m_pCaFile->setPlaceholderText(QStringLiteral("none: the system's CA store"));
    form->addRow(QStringLiteral("CA file (mqtts):"), m_pCaFile);
    return group;
}

SMqttSettings CNetworkDlg::Entered() const
{
    SMqttSettings s;
    s.strUrl = m_pUrl->text().trimmed();
    s.strPrefix = m_pPrefix->text().trimmed();
    s.strCredentialsPath = m_pCredentials->text().trimmed();
    s.strCaFile = m_pCaFile->text().trimmed();
    s.bAcceptStop = m_pAcceptStop->isChecked();
    return s;
}

bool CNetworkDlg::Check(const SMqttSettings& settings, QString* error, Field* field)
{
    if (field) *field = FieldNone;
    if (!settings.IsEnabled()) return true;
    SBrokerUrl url;
    QString why;
    if (!SBrokerUrl::Parse(settings.strUrl, &url, &why)) return Fail(error, field, FieldUrl, why);
    if (!settings.strPrefix.isEmpty() && !mqtt_messages::IsValidPrefix(settings.strPrefix))
        return Fail(error, field, FieldPrefix,
                    QStringLiteral("\"%1\" is not a topic prefix: no + or #, no empty level").arg(settings.strPrefix));
    if (!settings.strCredentialsPath.isEmpty()) {
        SMqttCredentials credentials;
        const bool ok = SMqttCredentials::Read(settings.strCredentialsPath, &credentials, &why);
        credentials.strPassword.fill(QLatin1Char(' '));
        if (!ok) return Fail(error, field, FieldCredentials, why);
    }
    if (!settings.strCaFile.isEmpty()) {
        if (!url.bTls)
            return Fail(error, field, FieldCaFile, QStringLiteral("A CA file needs an mqtts:// broker address."));
        if (!QFileInfo(settings.strCaFile).isFile() ||
            ::access(QFile::encodeName(settings.strCaFile).constData(), R_OK) != 0)
            return Fail(error, field, FieldCaFile,
                        QStringLiteral("The CA file %1 cannot be read").arg(settings.strCaFile));
    }
    return true;
}

CVelEdit* CNetworkDlg::EditOf(Field field) const
{
    switch (field) {
    case FieldUrl: return m_pUrl;
    case FieldPrefix: return m_pPrefix;
    case FieldCredentials: return m_pCredentials;
    case FieldCaFile: return m_pCaFile;
    case FieldNone: break;
    }
    return nullptr;
}

void CNetworkDlg::accept()
{
    const SMqttSettings entered = Entered();
    QString error;
    Field field = FieldNone;
    if (!Check(entered, &error, &field)) {
        CNumberField::ShowRefusal(this, error, EditOf(field));
        return;
    }
    m_settings = entered;
    QDialog::accept();
}
