#include "ui/StateEndpoint.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstring>
#include <future>
#include <limits>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Runs a blocking client on another thread while this one serves events.
template <class F>
auto WhileServing(F client)
{
    auto result = std::async(std::launch::async, client);
    QElapsedTimer clock;
    clock.start();
    while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready && clock.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return result.get();
}

// A raw client: writes bytes and returns the answer lines, until it has
// the lines expected, the endpoint closes or it falls silent.
QByteArray RawExchange(const QString& path, const QByteArray& bytes, int lines)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    std::memcpy(address.sun_path, native.constData(), native.size());
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return "<no connection>";
    }
    (void)!write(fd, bytes.constData(), bytes.size());
    timeval timeout{2, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    QByteArray answer;
    char buffer[256];
    for (ssize_t n; answer.count('\n') < lines && (n = read(fd, buffer, sizeof buffer)) > 0;)
        answer.append(buffer, n);
    close(fd);
    return answer;
}

class StateEndpointTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("vantoc-state");
        QString error;
        ASSERT_TRUE(endpoint.Listen(path, &error)) << error.toStdString();
    }
    QTemporaryDir dir;
    QString path;
    CStateEndpoint endpoint;
};

}  // namespace

TEST(StateLineTest, OnlyTheDocumentedLineIsAccepted)
{
    const auto ok = CStateEndpoint::ParseLine("STATE 0 0\n");
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->nMotor, 0);
    EXPECT_EQ(ok->nStatus, 0);
    const auto negative = CStateEndpoint::ParseLine("STATE 1 -2147483648\n");
    ASSERT_TRUE(negative);
    EXPECT_EQ(negative->nStatus, std::numeric_limits<int>::min());
    EXPECT_EQ(CStateEndpoint::FormatLine(1, -5), QByteArray("STATE 1 -5\n"));

    for (const char* bad : {"STATE 0 0", "STATE 0\n", "STATE 0 0 0\n", "state 0 0\n", "STATE  0 0\n", "STATE a 0\n",
                            "STATE 0 0x1\n", "STATE 2147483648 0\n", "STATE - 0\n", "STATE 0 0\r\n", " STATE 0 0\n",
                            "STATE +1 0\n", "\n", ""})
        EXPECT_FALSE(CStateEndpoint::ParseLine(bad)) << bad;
    EXPECT_FALSE(CStateEndpoint::ParseLine("STATE 0 " + QByteArray(60, '0') + "\n"));
}

TEST_F(StateEndpointTest, SocketOnlyItsOwnerMayUse)
{
    struct stat info {};
    ASSERT_EQ(lstat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(info.st_uid, getuid());
}

TEST_F(StateEndpointTest, MessageFromTheSameUserArrives)
{
    QSignalSpy received(&endpoint, &CStateEndpoint::stateReceived);
    QString error;
    EXPECT_TRUE(WhileServing([&] { return CStateEndpoint::Send(path, 0, 0, &error); })) << error.toStdString();
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received[0][0].toInt(), 0);
    EXPECT_EQ(received[0][1].toInt(), 0);
    EXPECT_TRUE(WhileServing([&] { return CStateEndpoint::Send(path, 1, 7, &error); }));
    ASSERT_EQ(received.size(), 2);
    EXPECT_EQ(received[1][0].toInt(), 1);
    EXPECT_EQ(received[1][1].toInt(), 7);
}

TEST_F(StateEndpointTest, AnotherUserIsRefusedWithoutEffect)
{
    endpoint.SetAcceptedUid(getuid() + 1);
    QSignalSpy received(&endpoint, &CStateEndpoint::stateReceived);
    QString error;
    EXPECT_FALSE(WhileServing([&] { return CStateEndpoint::Send(path, 0, 0, &error); }));
    EXPECT_TRUE(error.contains("permission")) << error.toStdString();
    QApplication::processEvents();
    EXPECT_EQ(received.size(), 0);
}

TEST_F(StateEndpointTest, MalformedLinesAreRefusedWithoutEffect)
{
    QSignalSpy received(&endpoint, &CStateEndpoint::stateReceived);
    EXPECT_EQ(WhileServing([&] { return RawExchange(path, "STOP\nSTATE 0\n", 2); }),
              QByteArray("ERR malformed\nERR malformed\n"));
    // An overlong line must not let its tail pass for a message.
    const QByteArray overlong = QByteArray(70, 'x') + "STATE 0 0\n";
    EXPECT_TRUE(WhileServing([&] { return RawExchange(path, overlong, 2); }).startsWith("ERR malformed\n"));
    EXPECT_EQ(WhileServing([&] { return RawExchange(path, "STATE 0 0\n", 1); }), QByteArray("OK\n"));
    EXPECT_EQ(received.size(), 1);
}

TEST_F(StateEndpointTest, SecondInstanceDoesNotStealTheSocket)
{
    CStateEndpoint second;
    QString error;
    EXPECT_FALSE(second.Listen(path, &error));
    EXPECT_TRUE(error.contains("another Vantoc"));
    QSignalSpy received(&endpoint, &CStateEndpoint::stateReceived);
    EXPECT_TRUE(WhileServing([&] { return CStateEndpoint::Send(path, 0, 0); }));
    EXPECT_EQ(received.size(), 1);
}

TEST(StateEndpointFileTest, StaleSocketIsReplacedAndOtherFilesKept)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("vantoc-state");
    {
        // A socket file whose owner is gone, as a crash leaves it.
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, QFile::encodeName(path).constData());
        ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        close(fd);
    }
    {
        CStateEndpoint endpoint;
        EXPECT_TRUE(endpoint.Listen(path));
    }
    EXPECT_FALSE(QFile::exists(path)) << "the socket goes with its endpoint";

    const QString plain = dir.filePath("plain");
    QFile file(plain);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    CStateEndpoint endpoint;
    QString error;
    EXPECT_FALSE(endpoint.Listen(plain, &error));
    EXPECT_TRUE(QFile::exists(plain));
    EXPECT_FALSE(CStateEndpoint::Send(dir.filePath("nobody"), 0, 0, &error));
    EXPECT_TRUE(error.contains("no Vantoc")) << error.toStdString();
}
