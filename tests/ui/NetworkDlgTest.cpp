#include "input/VelEdit.h"
#include "net/MqttSettings.h"
#include "ui/NetworkDlg.h"
#include "ui/ResourceIds.h"

#include "DialogAnswer.h"

#include <QCheckBox>
#include <QFile>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const char* const kPassword = "s3cret-Pw!";

class NetworkDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vantoc::RegisterResources();
        ASSERT_TRUE(dir.isValid());
        goodCredentials = Write("good.cred", QByteArray("lab\n") + kPassword + "\n", 0600);
        openCredentials = Write("open.cred", QByteArray("lab\n") + kPassword + "\n", 0644);
        oneLine = Write("one.cred", QByteArray(kPassword) + "\n", 0600);
        ca = Write("ca.pem", "-----BEGIN CERTIFICATE-----\n", 0644);
    }

    QString Write(const char* name, const QByteArray& bytes, QFile::Permissions::Int mode)
    {
        const QString path = dir.filePath(QLatin1String(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QFile::Permissions perms;
        if (mode & 0400) perms |= QFile::ReadOwner;
        if (mode & 0200) perms |= QFile::WriteOwner;
        if (mode & 0040) perms |= QFile::ReadGroup;
        if (mode & 0004) perms |= QFile::ReadOther;
        EXPECT_TRUE(QFile::setPermissions(path, perms));
        return path;
    }

    static void Enter(CNetworkDlg& dlg, const SMqttSettings& s)
    {
        dlg.UrlEdit()->setText(s.strUrl);
        dlg.PrefixEdit()->setText(s.strPrefix);
        dlg.CredentialsEdit()->setText(s.strCredentialsPath);
        dlg.CaFileEdit()->setText(s.strCaFile);
        dlg.AcceptStopBox()->setChecked(s.bAcceptStop);
    }


    QTemporaryDir dir;
    QString goodCredentials, openCredentials, oneLine, ca;
};

SMqttSettings Given()
{
    SMqttSettings s;
    s.strUrl = "mqtt://broker.lab:1884";
    s.strPrefix = "lab/bench3";
    return s;
}

}  // namespace

TEST_F(NetworkDlgTest, ShowsTheSettingsAndTheDefaultPrefix)
{
    CNetworkDlg dlg(Given(), nullptr, "vantoc/pc7/ttyUSB0");
    EXPECT_EQ(dlg.UrlEdit()->text(), "mqtt://broker.lab:1884");
    EXPECT_EQ(dlg.PrefixEdit()->text(), "lab/bench3");
    EXPECT_EQ(dlg.PrefixEdit()->placeholderText(), "vantoc/pc7/ttyUSB0");
    EXPECT_EQ(dlg.CredentialsEdit()->GetMode(), CVelEdit::ModeFile);
    EXPECT_EQ(dlg.CaFileEdit()->GetMode(), CVelEdit::ModeFile);
    EXPECT_FALSE(dlg.AcceptStopBox()->isChecked());
}

TEST_F(NetworkDlgTest, ReturnsExactlyWhatWasEntered)
{
    const SMqttSettings entered[] = {
        {"mqtts://broker.lab", "lab/bench3", goodCredentials, ca, true},
        {"mqtt://[::1]:1883", "", goodCredentials, "", false},
        {"", "", "", "", false},                              // publishing off
        {"", "a/+/b", dir.filePath("none.cred"), "", true},   // off: nothing else is judged
    };
    for (const SMqttSettings& s : entered) {
        CNetworkDlg dlg(Given());
        dlg.show();
        Enter(dlg, s);
        EXPECT_EQ(PressOk(dlg), "") << s.strUrl.toStdString();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(dlg.Settings(), s) << s.strUrl.toStdString();
    }
}

TEST_F(NetworkDlgTest, EnteredTextsAreTrimmed)
{
    CNetworkDlg dlg(SMqttSettings{});
    dlg.show();
    Enter(dlg, {"  mqtt://h  ", " p/q ", " " + goodCredentials + " ", "", false});
    ASSERT_EQ(PressOk(dlg), "");
    EXPECT_EQ(dlg.Settings(), (SMqttSettings{"mqtt://h", "p/q", goodCredentials, "", false}));
}

TEST_F(NetworkDlgTest, RefusesWhatPublishingCouldNotUseWithoutShowingThePassword)
{
    struct Case {
        SMqttSettings entered;
        const char* contains;
        CNetworkDlg::Field field;
    };
    const Case cases[] = {
        {{"http://broker", "", "", "", false}, "\"http://broker\" is not a broker address", CNetworkDlg::FieldUrl},
        {{"mqtt://broker:70000", "", "", "", false}, "port 1 to 65535", CNetworkDlg::FieldUrl},
        {{"mqtt://user:pw@broker", "", "", "", false}, "credentials go in a file", CNetworkDlg::FieldUrl},
        {{"mqtt://broker", "lab/#", "", "", false}, "\"lab/#\" is not a topic prefix", CNetworkDlg::FieldPrefix},
        {{"mqtt://broker", "lab//x", "", "", false}, "is not a topic prefix", CNetworkDlg::FieldPrefix},
        {{"mqtt://broker", "", openCredentials, "", false}, "is open to other users", CNetworkDlg::FieldCredentials},
        {{"mqtt://broker", "", oneLine, "", false}, "must hold two lines", CNetworkDlg::FieldCredentials},
        {{"mqtt://broker", "", dir.filePath("none.cred"), "", false}, "cannot be opened", CNetworkDlg::FieldCredentials},
        {{"mqtt://broker", "", "", ca, false}, "A CA file needs an mqtts:// broker address.", CNetworkDlg::FieldCaFile},
        {{"mqtts://broker", "", "", dir.filePath("none.pem"), false}, "cannot be read", CNetworkDlg::FieldCaFile},
        {{"mqtts://broker", "", "", dir.path(), false}, "cannot be read", CNetworkDlg::FieldCaFile},
    };
    for (const Case& c : cases) {
        QString error;
        CNetworkDlg::Field field = CNetworkDlg::FieldNone;
        EXPECT_FALSE(CNetworkDlg::Check(c.entered, &error, &field)) << c.contains;
        EXPECT_EQ(field, c.field) << c.contains;

        CNetworkDlg dlg(Given());
        dlg.show();
        Enter(dlg, c.entered);
        const QString shown = PressOk(dlg);
        EXPECT_EQ(shown, error) << c.contains;
        EXPECT_TRUE(shown.contains(QLatin1String(c.contains))) << shown.toStdString();
        EXPECT_FALSE(shown.contains(QLatin1String(kPassword))) << shown.toStdString();
        EXPECT_NE(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(dlg.Settings(), Given());
    }
}

TEST_F(NetworkDlgTest, SettingsRoundTripThroughTheSettingsFile)
{
    const SMqttSettings cases[] = {
        {"mqtts://broker.lab:8884", "lab/bench 3/é", goodCredentials, ca, true},
        {},
    };
    for (const SMqttSettings& s : cases) {
        const QString file = dir.filePath("vantoc.conf");
        QFile::remove(file);
        {
            QSettings settings(file, QSettings::IniFormat);
            s.Save(settings);
        }
        QSettings settings(file, QSettings::IniFormat);
        EXPECT_EQ(SMqttSettings::Load(settings), s) << s.strUrl.toStdString();
        // Only the paths are kept, never what the files hold.
        QFile raw(file);
        ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
        EXPECT_FALSE(raw.readAll().contains(kPassword));
    }
}

TEST_F(NetworkDlgTest, MissingSettingsReadAsNoPublishing)
{
    QSettings settings(dir.filePath("empty.conf"), QSettings::IniFormat);
    const SMqttSettings read = SMqttSettings::Load(settings);
    EXPECT_FALSE(read.IsEnabled());
    EXPECT_EQ(read, SMqttSettings{});
}
