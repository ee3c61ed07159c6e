// Broker address, topic prefix, credentials file, payloads and the waits
// between connection attempts: everything decided before a byte is sent.

#include "net/BrokerUrl.h"
#include "net/MqttCredentials.h"
#include "net/MqttMessages.h"
#include "net/MqttPublisher.h"
#include "net/ReconnectBackoff.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

struct SUrlCase {
    const char* text;
    bool ok;
    bool tls;
    const char* host;
    int port;
};

TEST(BrokerUrlTest, ParsesTheTwoSchemesAndRefusesTheRest)
{
    const SUrlCase cases[] = {
        {"mqtt://broker.lab", true, false, "broker.lab", 1883},
        {"mqtt://broker.lab:1884", true, false, "broker.lab", 1884},
        {"mqtts://broker.lab", true, true, "broker.lab", 8883},
        {"mqtts://10.0.0.5:9000/", true, true, "10.0.0.5", 9000},
        {"mqtt://[::1]:1885", true, false, "::1", 1885},
        {"mqtt://[::1]", true, false, "::1", 1883},
        {"http://broker.lab", false, false, "", 0},
        {"broker.lab:1883", false, false, "", 0},
        {"mqtt://", false, false, "", 0},
        {"mqtt://:1883", false, false, "", 0},
        {"mqtt://host:0", false, false, "", 0},
        {"mqtt://host:65536", false, false, "", 0},
        {"mqtt://host:abc", false, false, "", 0},
        {"mqtt://user:pw@host", false, false, "", 0},
        {"mqtt://host/topic", false, false, "", 0},
        {"mqtt://[::1", false, false, "", 0},
        {"mqtt://ho st", false, false, "", 0},
    };
    for (const SUrlCase& c : cases) {
        SBrokerUrl url;
        QString error;
        const bool ok = SBrokerUrl::Parse(QString::fromUtf8(c.text), &url, &error);
        EXPECT_EQ(ok, c.ok) << c.text;
        if (!c.ok) {
            EXPECT_FALSE(error.isEmpty()) << c.text;
            continue;
        }
        EXPECT_EQ(url.bTls, c.tls) << c.text;
        EXPECT_EQ(url.strHost, QString::fromUtf8(c.host)) << c.text;
        EXPECT_EQ(url.nPort, c.port) << c.text;
    }
}

TEST(MqttMessagesTest, DefaultPrefixAndPrefixChecks)
{
    EXPECT_EQ(mqtt_messages::DefaultPrefix("bench7", "/dev/ttyUSB0"), "vantoc/bench7/ttyUSB0");
    EXPECT_EQ(mqtt_messages::DefaultPrefix("bench7", "com1"), "vantoc/bench7/com1");
    // A path deeper than /dev/ must not add levels, and wildcards must not
    // turn the prefix into a filter.
    EXPECT_EQ(mqtt_messages::DefaultPrefix("a+b#", "/dev/pts/3"), "vantoc/a_b_/pts_3");
    EXPECT_EQ(mqtt_messages::DefaultPrefix("", "/tmp/stirrer"), "vantoc/_/_tmp_stirrer");

    const std::pair<const char*, bool> prefixes[] = {
        {"lab/stirrer1", true}, {"x", true},       {"", false},    {"lab/+/s", false},
        {"lab/#", false},       {"lab//s", false}, {"/lab", false}, {"lab/", false},
    };
    for (const auto& [text, valid] : prefixes) EXPECT_EQ(mqtt_messages::IsValidPrefix(text), valid) << text;
}

TEST(MqttMessagesTest, PayloadsAreCompactJsonWithTheDocumentedFields)
{
    const QDateTime t(QDate(2026, 12, 7), QTime(14, 20, 1, 250), Qt::UTC);
    mqtt_messages::SSample s{3, t, 2.0004, 500, 498, 12};
    EXPECT_EQ(mqtt_messages::Sample(s),
              R"({"elapsed":2,"n":3,"set":500,"speed":498,"t":"2026-12-07T14:20:01.250Z","torque":12})");

    const QDateTime local = t.toOffsetFromUtc(3600);
    EXPECT_EQ(mqtt_messages::IsoTime(local), "2026-12-07T14:20:01.250Z");

    EXPECT_EQ(mqtt_messages::State({mqtt_messages::EState::Idle, t, 500, "x"}), R"({"state":"idle"})");
    EXPECT_EQ(mqtt_messages::State({mqtt_messages::EState::Running, t, 500, "Ramp 1"}),
              R"({"program":"Ramp 1","set":500,"start":"2026-12-07T14:20:01.250Z","state":"running"})");
    EXPECT_EQ(QJsonDocument::fromJson(mqtt_messages::State({mqtt_messages::EState::Alarm, t, 80, ""}))
                  .object()["state"]
                  .toString(),
              "alarm");
    EXPECT_EQ(mqtt_messages::OfflineState(), R"({"state":"offline"})");

    // Quotes, back-slashes and non-ASCII text survive as valid JSON.
    const QByteArray event = mqtt_messages::Event(t, "stop", QString::fromUtf8("\"Bench\" \\ 停止"));
    const QJsonObject o = QJsonDocument::fromJson(event).object();
    EXPECT_EQ(o["text"].toString(), QString::fromUtf8("\"Bench\" \\ 停止"));
    EXPECT_EQ(o["kind"].toString(), "stop");
    EXPECT_EQ(o["t"].toString(), "2026-12-07T14:20:01.250Z");
}

TEST(MqttMessagesTest, RemoteTextIsCleanedAndBounded)
{
    EXPECT_EQ(mqtt_messages::CleanRemoteText("end of shift"), "end of shift");
    EXPECT_EQ(mqtt_messages::CleanRemoteText("a\nb\x1b[31mc\x7f"), "ab[31mc");
    EXPECT_EQ(mqtt_messages::CleanRemoteText(QByteArray(5000, 'x')).size(), 200);
    EXPECT_EQ(mqtt_messages::CleanRemoteText("\xff\xfe ok").right(3), " ok");
    EXPECT_EQ(mqtt_messages::CleanRemoteText(""), "");
}

TEST(ReconnectBackoffTest, DoublesFromOneSecondToAMinuteAndStartsOverAfterSuccess)
{
    CReconnectBackoff backoff;
    const int expected[] = {1000, 2000, 4000, 8000, 16000, 32000, 60000, 60000, 60000};
    for (int ms : expected) EXPECT_EQ(backoff.Next(), ms);
    backoff.Reset();
    EXPECT_EQ(backoff.Next(), 1000);
    EXPECT_EQ(backoff.Next(), 2000);
}

class MqttCredentialsTest : public ::testing::Test
{
protected:
    QString Write(const QByteArray& bytes, QFile::Permissions permissions)
    {
        const QString path = dir.filePath(QStringLiteral("cred%1").arg(++n));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        EXPECT_TRUE(QFile::setPermissions(path, permissions));
        return path;
    }
    QTemporaryDir dir;
    int n = 0;
};

TEST_F(MqttCredentialsTest, OwnerOnlyFilesOfTwoLinesAreTakenEverythingElseRefused)
{
    const auto owner = QFile::ReadOwner | QFile::WriteOwner;
    struct SCase {
        QByteArray bytes;
        QFile::Permissions permissions;
        bool ok;
        const char* user;
        const char* password;
    };
    const SCase cases[] = {
        {"lab\ns3cret\n", owner, true, "lab", "s3cret"},
        {"lab\r\ns3 cret\r\n", owner, true, "lab", "s3 cret"},
        {"lab\n\n", owner, false, "", ""},  // one line only after the blank ones go
        {"lab\npw", QFile::ReadOwner, true, "lab", "pw"},
        {"lab\npw\n", owner | QFile::ReadGroup, false, "", ""},
        {"lab\npw\n", owner | QFile::ReadOther, false, "", ""},
        {"lab\npw\n", owner | QFile::WriteOther, false, "", ""},
        {"lab\n", owner, false, "", ""},
        {"lab\npw\nextra\n", owner, false, "", ""},
        {"\npw\n", owner, false, "", ""},
        {"", owner, false, "", ""},
    };
    for (const SCase& c : cases) {
        const QString path = Write(c.bytes, c.permissions);
        SMqttCredentials credentials;
        QString error;
        const bool ok = SMqttCredentials::Read(path, &credentials, &error);
        EXPECT_EQ(ok, c.ok) << c.bytes.toStdString() << " " << int(c.permissions);
        if (ok) {
            EXPECT_EQ(credentials.strUser, c.user);
            EXPECT_EQ(credentials.strPassword, c.password);
        } else {
            EXPECT_TRUE(error.contains(path)) << error.toStdString();
            // The message must never carry the password.
            EXPECT_FALSE(error.contains("pw\n")) << error.toStdString();
        }
    }
    SMqttCredentials credentials;
    QString error;
    EXPECT_FALSE(SMqttCredentials::Read(dir.filePath("missing"), &credentials, &error));
    EXPECT_FALSE(SMqttCredentials::Read(dir.path(), &credentials, &error));
}

TEST_F(MqttCredentialsTest, OpenFileIsRefusedByPrepareWithAReason)
{
    const QString path = Write("lab\ns3cret\n", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    SMqttSettings settings;
    settings.strUrl = "mqtt://127.0.0.1:1";
    settings.strCredentialsPath = path;
    CMqttPublisher::SConfig config;
    QString error;
    EXPECT_FALSE(CMqttPublisher::Prepare(settings, "/dev/ttyUSB0", &config, &error));
    EXPECT_TRUE(error.contains("chmod 600")) << error.toStdString();
    EXPECT_FALSE(error.contains("s3cret"));

    settings.strCredentialsPath.clear();
    ASSERT_TRUE(CMqttPublisher::Prepare(settings, "/dev/ttyUSB0", &config, &error));
    EXPECT_TRUE(config.strPrefix.startsWith("vantoc/"));
    EXPECT_TRUE(config.strPrefix.endsWith("/ttyUSB0"));

    settings.strPrefix = "lab/#";
    EXPECT_FALSE(CMqttPublisher::Prepare(settings, "/dev/ttyUSB0", &config, &error));
    settings.strPrefix = "lab/s1";
    settings.strCaFile = path;
    EXPECT_FALSE(CMqttPublisher::Prepare(settings, "/dev/ttyUSB0", &config, &error)) << "CA file on plain mqtt";
    settings.strUrl = "mqtts://127.0.0.1:1";
    EXPECT_TRUE(CMqttPublisher::Prepare(settings, "/dev/ttyUSB0", &config, &error)) << error.toStdString();
    settings.strCaFile = dir.filePath("missing.pem");
    EXPECT_FALSE(CMqttPublisher::Prepare(settings, "/dev/ttyUSB0", &config, &error));
}

}  // namespace
