// The run-state endpoint under many or silent clients.
#include "ui/StateEndpoint.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

// A non-blocking connect: false when the endpoint's queue was full.
int ConnectNow(const QString& path)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    std::memcpy(address.sun_path, native.constData(), native.size());
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Serves events until the endpoint closed fd or the deadline passed; what
// it answered meanwhile.
QByteArray AnswerUntilClosed(int fd, int deadlineMs, bool* closed)
{
    QByteArray answer;
    QDeadlineTimer deadline(deadlineMs);
    *closed = false;
    while (!deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        char buffer[64];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) answer.append(buffer, n);
        if (n == 0) {
            *closed = true;
            break;
        }
    }
    return answer;
}

class StateEndpointLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("vantoc-state");
        endpoint.SetIdleTimeout(1000);
        QString error;
        ASSERT_TRUE(endpoint.Listen(path, &error)) << error.toStdString();
    }
    void TearDown() override
    {
        for (int fd : clients) close(fd);
    }
    QTemporaryDir dir;
    QString path;
    CStateEndpoint endpoint;
    std::vector<int> clients;
};

}  // namespace

TEST_F(StateEndpointLoad, QuickConnectionsWaitInTheQueueInsteadOfBeingRefused)
{
    // Nobody accepts while these arrive, as when the window is busy painting.
    for (int i = 0; i < 200; ++i) {
        const int fd = ConnectNow(path);
        ASSERT_GE(fd, 0) << "connection " << i << " refused: " << std::strerror(errno);
        clients.push_back(fd);
    }
    const QByteArray line = "STATE 1 3\n";
    ASSERT_EQ(write(clients.back(), line.constData(), line.size()), line.size());
    bool closed = false;
    EXPECT_TRUE(AnswerUntilClosed(clients.back(), 5000, &closed).startsWith("OK\n"));
}

TEST_F(StateEndpointLoad, SilentConnectionIsClosedAfterItsIdleTime)
{
    const int silent = ConnectNow(path);
    ASSERT_GE(silent, 0);
    clients.push_back(silent);
    bool closed = false;
    EXPECT_EQ(AnswerUntilClosed(silent, 5000, &closed), QByteArray("ERR idle\n"));
    EXPECT_TRUE(closed);
}

TEST_F(StateEndpointLoad, EveryWholeLineRestartsTheIdleTime)
{
    const int fd = ConnectNow(path);
    ASSERT_GE(fd, 0);
    clients.push_back(fd);
    const QByteArray line = "STATE 1 0\n";
    QByteArray answers;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(write(fd, line.constData(), line.size()), line.size());
        QDeadlineTimer deadline(200);
        while (!deadline.hasExpired()) QApplication::processEvents(QEventLoop::AllEvents, 10);
        char buffer[64];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) answers.append(buffer, n);
    }
    // 600 ms in all, but never a second without a line: still open.
    EXPECT_EQ(answers, QByteArray("OK\nOK\nOK\n"));
    bool closed = false;
    EXPECT_EQ(AnswerUntilClosed(fd, 5000, &closed), QByteArray("ERR idle\n"));
    EXPECT_TRUE(closed);
}
