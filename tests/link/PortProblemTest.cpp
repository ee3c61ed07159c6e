// Why a port could not be used, as the operator is told: the reasons of a
// failed open or handshake, found on real devices (pseudo-terminals, files,
// missing paths), and the words of each explanation.
#include "link/CommLog.h"
#include "link/CommPort.h"
#include "link/DeviceHolders.h"
#include "link/PortProblem.h"
#include "support/SimulatedStirrer.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using Kind = CPortProblem::EKind;

namespace {

// A pseudo-terminal whose far end nobody answers.
struct Pty {
    Pty()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0) slave = QString::fromLocal8Bit(ptsname(master));
    }
    ~Pty()
    {
        if (master >= 0) ::close(master);
    }
    int master = -1;
    QString slave;
};

QString GroupOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
    const group* g = getgrgid(st.st_gid);
    return g ? QString::fromLocal8Bit(g->gr_name) : QString::number(st.st_gid);
}

// Runs body in a child process and returns the text it wrote; the child
// exits without running the parent's clean-up.
QString InChild(const std::function<QString()>& body)
{
    int fds[2];
    if (pipe(fds) != 0) return QStringLiteral("<no pipe>");
    const pid_t pid = fork();
    if (pid == 0) {
        ::close(fds[0]);
        const QByteArray text = body().toUtf8();
        ssize_t ignored = ::write(fds[1], text.constData(), size_t(text.size()));
        (void)ignored;
        _exit(0);
    }
    ::close(fds[1]);
    QByteArray text;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0) text.append(buffer, int(n));
    ::close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return QString::fromUtf8(text);
}

// The problem and explanation of opening path with a fresh port object.
class PortOpenProblem : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(logDir.isValid());
        CCommLog::SetDirectory(logDir.path());
    }
    void TearDown() override
    {
        CCommPort::ReleaseInstance();
        CCommLog::SetDirectory(QString());
    }
    CPortProblem OpenFails(const QString& name, int baud = 9600)
    {
        CCommPort* port = CCommPort::Instance();
        port->SetPortName(name);
        port->SetBaudRate(baud);
        EXPECT_FALSE(port->Open()) << name.toStdString();
        return port->LastProblem();
    }
    QTemporaryDir logDir;
};

}  // namespace

TEST(PortProblemText, EachKindSaysWhatHappenedAndWhatToDo)
{
    struct Case {
        CPortProblem problem;
        QString expected;
    };
    CPortProblem denied(Kind::PermissionDenied, "/dev/ttyUSB0");
    denied.m_strGroup = "dialout";
    CPortProblem busy(Kind::Busy, "/dev/ttyUSB0");
    busy.m_holders = QStringList{"vantoc (pid 4242)"};
    CPortProblem silent = CPortProblem::Handshake("/dev/ttyS0", 9600, 0);
    CPortProblem wrong = CPortProblem::Handshake("/dev/ttyS0", 19200, 3);
    const Case cases[] = {
        {CPortProblem(), ""},
        {CPortProblem(Kind::NoDevice, "/dev/ttyUSB7"),
         "/dev/ttyUSB7: no such device. Is the stirrer or its USB adapter plugged in? "
         "\"vantoc --list-ports\" lists the serial devices present."},
        {denied,
         "/dev/ttyUSB0: permission denied. The device belongs to the group \"dialout\"; add yourself to it "
         "with  sudo usermod -aG dialout $USER  and then log in again."},
        {busy, "/dev/ttyUSB0 is busy: held by vantoc (pid 4242). Close that program or choose another port."},
        {CPortProblem(Kind::Busy, "/dev/ttyUSB0"),
         "/dev/ttyUSB0 is busy: another program holds it. Close that program or choose another port."},
        {CPortProblem(Kind::NotSerial, "/tmp/notes.txt"), "/tmp/notes.txt is not a serial device."},
        {CPortProblem::BadBaudRate("/dev/pts/3", 12345), "/dev/pts/3: the line cannot run at 12345 baud."},
        {silent,
         "/dev/ttyS0: no reply from the instrument (the handshake timed out). Is the stirrer switched on, "
         "connected to this port and set to 9600 baud?"},
        {wrong,
         "/dev/ttyS0: a wrong reply to the handshake. Is the device on this port the stirrer, and set to "
         "19200 baud?"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.problem.Explain(), c.expected);
}

TEST(PortProblemText, UnknownGroupStillNamesTheUsualOne)
{
    const QString text = CPortProblem(Kind::PermissionDenied, "/dev/ttyACM0").Explain();
    EXPECT_TRUE(text.contains("sudo usermod -aG dialout $USER")) << text.toStdString();
}

TEST(PortProblemText, OpenErrorsMapToTheirReasons)
{
    const std::pair<int, Kind> cases[] = {
        {ENOENT, Kind::NoDevice},         {ENODEV, Kind::NoDevice},   {ENXIO, Kind::NoDevice},
        {ENOTDIR, Kind::NoDevice},        {EACCES, Kind::PermissionDenied}, {EPERM, Kind::PermissionDenied},
        {EBUSY, Kind::Busy},              {EISDIR, Kind::NotSerial},  {ENOTTY, Kind::NotSerial},
        {EIO, Kind::NoHardware},          {EMFILE, Kind::OpenFailed},
    };
    for (const auto& [err, kind] : cases)
        EXPECT_EQ(CPortProblem::FromOpenError("/nonexistent/tty", err).Kind(), kind) << "errno " << err;
    EXPECT_TRUE(CPortProblem::FromOpenError("/x", EMFILE).Explain().contains(QString::fromLocal8Bit(strerror(EMFILE))));
}

TEST(PortProblemText, HandshakeOutcomeByBytesReceived)
{
    EXPECT_EQ(CPortProblem::Handshake("/p", 9600, -1).Kind(), Kind::LineError);
    EXPECT_EQ(CPortProblem::Handshake("/p", 9600, 0).Kind(), Kind::NoReply);
    EXPECT_EQ(CPortProblem::Handshake("/p", 9600, 1).Kind(), Kind::WrongReply);
    EXPECT_EQ(CPortProblem::Handshake("/p", 9600, 6).Kind(), Kind::WrongReply);
}

TEST(DeviceHolders, LockTableNamesOnlyHoldersOfThatFile)
{
    const QByteArray table =
        "1: FLOCK  ADVISORY  WRITE 4242 00:19:7 0 EOF\n"
        "1: -> FLOCK  ADVISORY  WRITE 5555 00:19:7 0 EOF\n"   // waits, holds nothing
        "2: POSIX  ADVISORY  WRITE 777 00:19:8 0 EOF\n"       // another inode
        "3: FLOCK  ADVISORY  WRITE 888 08:01:7 0 EOF\n"       // same inode, other file system
        "4: OFDLCK ADVISORY  READ  -1 00:19:7 0 EOF\n"        // no owning process
        "5: FLOCK  ADVISORY  WRITE 999 00:1a:7 0 EOF\n"       // minor 0x1a, not 0x19
        "garbage line\n"
        "6: FLOCK  ADVISORY  WRITE 4242 00:19:7 0 EOF\n";     // named once
    EXPECT_EQ(CDeviceHolders::LockersIn(table, 0, 0x19, 7), QList<pid_t>{4242});
    EXPECT_EQ(CDeviceHolders::LockersIn(table, 0, 0x1a, 7), QList<pid_t>{999});
    EXPECT_TRUE(CDeviceHolders::LockersIn(table, 0, 0x19, 9).isEmpty());
    EXPECT_TRUE(CDeviceHolders::LockersIn(QByteArray(), 0, 0x19, 7).isEmpty());
}

TEST(DeviceHolders, ProcessIsNamedByItsCommand)
{
    const QString self = CDeviceHolders::Describe(getpid());
    EXPECT_TRUE(self.endsWith(QStringLiteral(" (pid %1)").arg(getpid()))) << self.toStdString();
    EXPECT_FALSE(self.startsWith(" ("));
}

TEST_F(PortOpenProblem, MissingDeviceIsNoSuchDevice)
{
    // A failed open that is not a busy port still starts a new log.
    CCommPort::Instance()->ResetLog();
    CCommPort::Instance()->AppendLog("old");
    const CPortProblem problem = OpenFails("/nonexistent/ttyUSB9");
    EXPECT_EQ(problem.Kind(), Kind::NoDevice);
    EXPECT_TRUE(problem.Explain().startsWith("/nonexistent/ttyUSB9: no such device."));
    EXPECT_EQ(OpenFails("").Kind(), Kind::NoDevice);
    QFile log(CCommPort::Instance()->LogPath());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().isEmpty());
}

TEST_F(PortOpenProblem, RegularFileDirectoryAndNullAreNotSerialDevices)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("notes.txt");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a port\n");
    f.close();
    for (const QString& path : {file, dir.path(), QStringLiteral("/dev/null")}) {
        const CPortProblem problem = OpenFails(path);
        EXPECT_EQ(problem.Kind(), Kind::NotSerial) << path.toStdString();
        EXPECT_EQ(problem.Explain(), path + " is not a serial device.");
    }
    // The file was only looked at.
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "not a port\n");
}

TEST_F(PortOpenProblem, RateTheLineCannotTakeIsNamed)
{
    Pty pty;
    ASSERT_FALSE(pty.slave.isEmpty());
    const CPortProblem problem = OpenFails(pty.slave, 12345);
    EXPECT_EQ(problem.Kind(), Kind::BadBaudRate);
    EXPECT_TRUE(problem.Explain().contains("12345 baud"));
}

TEST_F(PortOpenProblem, DeviceLockedByAnotherHolderIsBusyAndNamesIt)
{
    Pty pty;
    ASSERT_FALSE(pty.slave.isEmpty());
    const int held = ::open(QFile::encodeName(pty.slave).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    const CPortProblem problem = OpenFails(pty.slave);
    EXPECT_EQ(problem.Kind(), Kind::Busy);
    EXPECT_TRUE(problem.Explain().contains(QStringLiteral("(pid %1)").arg(getpid()))) << problem.Explain().toStdString();
    ::close(held);
    // Let go, the port opens.
    EXPECT_TRUE(CCommPort::Instance()->Open());
    EXPECT_TRUE(CCommPort::Instance()->LastProblem().IsNone());
}

TEST_F(PortOpenProblem, SecondProgramOnTheSamePortIsToldWhoHoldsIt)
{
    Pty pty;
    ASSERT_FALSE(pty.slave.isEmpty());
    CCommPort* port = CCommPort::Instance();
    port->SetPortName(pty.slave);
    ASSERT_TRUE(port->Open());
    port->AppendLog("Send:FE A0 00 00 00 A0 \r\n");
    const pid_t holder = getpid();
    // Another process, as a second vantoc started on the same port.
    const QString told = InChild([&] {
        CCommPort* second = CCommPort::Instance();
        if (second->Open()) return QStringLiteral("<opened>");
        return second->LastProblem().Explain();
    });
    EXPECT_TRUE(told.startsWith(pty.slave + " is busy: held by ")) << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("(pid %1)").arg(holder))) << told.toStdString();
    // The first holder keeps a working port and its communication log.
    EXPECT_TRUE(port->IsOpen());
    QFile log(port->LogPath());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), "Send:FE A0 00 00 00 A0 \r\n");
}

TEST_F(PortOpenProblem, PermissionDeniedGivesTheGroupAndTheFix)
{
    Pty pty;
    ASSERT_FALSE(pty.slave.isEmpty());
    ASSERT_EQ(::chmod(QFile::encodeName(pty.slave).constData(), 0600), 0);
    const bool root = geteuid() == 0;
    if (!root) {
        ASSERT_EQ(::chmod(QFile::encodeName(pty.slave).constData(), 0), 0);
    }
    const passwd* nobody = getpwnam("nobody");
    if (root && !nobody) GTEST_SKIP() << "no user nobody to drop to";
    const uid_t uid = root ? nobody->pw_uid : 0;
    const gid_t gid = root ? nobody->pw_gid : 0;
    // Root ignores file modes, so the open runs as an unprivileged user.
    const QString told = InChild([&] {
        if (root && (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0))
            return QStringLiteral("<cannot drop privileges>");
        CCommPort* port = CCommPort::Instance();
        port->SetPortName(pty.slave);
        if (port->Open()) return QStringLiteral("<opened>");
        return port->LastProblem().Explain();
    });
    const QString group = GroupOf(pty.slave);
    ASSERT_FALSE(group.isEmpty());
    EXPECT_TRUE(told.startsWith(pty.slave + ": permission denied.")) << told.toStdString();
    EXPECT_TRUE(told.contains("\"" + group + "\"")) << told.toStdString();
    EXPECT_TRUE(told.contains("sudo usermod -aG " + group + " $USER")) << told.toStdString();
    EXPECT_TRUE(told.contains("log in again"));
}

TEST_F(PortOpenProblem, SilentDeviceIsNoReply)
{
    Pty pty;
    ASSERT_FALSE(pty.slave.isEmpty());
    CCommPort* port = CCommPort::Instance();
    port->SetPortName(pty.slave);
    ASSERT_TRUE(port->Open());
    EXPECT_TRUE(port->LastProblem().IsNone());
    EXPECT_FALSE(port->Handshake());
    EXPECT_EQ(port->LastProblem().Kind(), Kind::NoReply);
    EXPECT_TRUE(port->LastProblem().Explain().contains("no reply from the instrument"));
}

class HandshakeProblem : public SimulatedStirrerTest {};

TEST_F(HandshakeProblem, RefusedAcknowledgementIsAWrongReplyAndSuccessClearsIt)
{
    sim->InjectNext(kFaultRefuse);
    EXPECT_FALSE(port->Handshake());
    EXPECT_EQ(port->LastProblem().Kind(), Kind::WrongReply);
    EXPECT_EQ(port->LastProblem().Path(), QString::fromStdString(sim->SlavePath()));
    EXPECT_TRUE(port->Handshake());
    EXPECT_TRUE(port->LastProblem().IsNone());
}
