// Saving onto what is not a plain file of this user: links, other owners,
// pipes and devices keep what they are.
#include "ui/RunExport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

using EMode = CRunExport::EWriteMode;

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct stat Status(const QString& path)
{
    struct stat info {};
    EXPECT_EQ(lstat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info;
}

QStringList Entries(const QTemporaryDir& dir)
{
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

}  // namespace

TEST(RunExportTargetTest, ReplacesOnlyWhereThatChangesNothingElse)
{
    const uid_t me = 1000;
    struct Case {
        const char* what;
        mode_t type;
        nlink_t links;
        uid_t owner;
        bool folderWritable;
        EMode expected;
    };
    const Case cases[] = {
        {"own file, one link", S_IFREG, 1, me, true, EMode::Replace},
        {"own file, folder locked", S_IFREG, 1, me, false, EMode::InPlace},
        {"hard-linked file", S_IFREG, 2, me, true, EMode::InPlace},
        {"another user's file", S_IFREG, 1, 0, true, EMode::InPlace},
        {"device node", S_IFCHR, 1, me, true, EMode::InPlace},
        {"pipe", S_IFIFO, 1, me, true, EMode::InPlace},
        {"folder", S_IFDIR, 2, me, true, EMode::Refuse},
        {"socket", S_IFSOCK, 1, me, true, EMode::Refuse},
        {"disk", S_IFBLK, 1, me, true, EMode::Refuse},
    };
    for (const Case& c : cases) {
        struct stat info {};
        info.st_mode = c.type | 0644;
        info.st_nlink = c.links;
        info.st_uid = c.owner;
        EXPECT_EQ(CRunExport::ChooseWriteMode(&info, c.folderWritable, me), c.expected) << c.what;
    }
    EXPECT_EQ(CRunExport::ChooseWriteMode(nullptr, true, me), EMode::Replace) << "a new file";
}

TEST(RunExportTargetTest, HardLinkedFileIsWrittenThroughEveryName)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("run.xls");
    const QString other = dir.filePath("same-run.xls");
    ASSERT_TRUE(WriteFile(path, QByteArray(500, 'o')));
    ASSERT_EQ(link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
    const ino_t inode = Status(path).st_ino;

    QString error;
    ASSERT_TRUE(CRunExport::Write(path, "new\r\n", &error)) << error.toStdString();
    EXPECT_EQ(ReadFile(path), QByteArray("new\r\n"));
    EXPECT_EQ(ReadFile(other), QByteArray("new\r\n")) << "the link was broken";
    EXPECT_EQ(Status(path).st_ino, inode);
    EXPECT_EQ(Status(path).st_nlink, 2u);
    EXPECT_EQ(Entries(dir), QStringList({"run.xls", "same-run.xls"}));
}

TEST(RunExportTargetTest, AnotherUsersFileKeepsItsOwner)
{
    if (geteuid() != 0) GTEST_SKIP() << "needs root to give a file away";
    QTemporaryDir dir;
    const QString path = dir.filePath("run.xls");
    ASSERT_TRUE(WriteFile(path, "old\r\n"));
    const uid_t nobody = 65534;
    ASSERT_EQ(chown(QFile::encodeName(path).constData(), nobody, nobody), 0);

    QString error;
    ASSERT_TRUE(CRunExport::Write(path, "Time(S)\r\n1\t2\t3\r\n", &error)) << error.toStdString();
    EXPECT_EQ(ReadFile(path), QByteArray("Time(S)\r\n1\t2\t3\r\n"));
    EXPECT_EQ(Status(path).st_uid, nobody);
    EXPECT_EQ(Status(path).st_gid, nobody);
}

TEST(RunExportTargetTest, PipeIsWrittenIntoAndStaysAPipe)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("run.fifo");
    const QByteArray native = QFile::encodeName(path);
    ASSERT_EQ(mkfifo(native.constData(), 0600), 0);

    // Nobody reads: refused at once, nothing replaced.
    QString error;
    EXPECT_FALSE(CRunExport::Write(path, "row\r\n", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(S_ISFIFO(Status(path).st_mode));
    EXPECT_EQ(Entries(dir), QStringList({"run.fifo"}));

    const int reader = open(native.constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(CRunExport::Write(path, "row\r\n", &error)) << error.toStdString();
    char buffer[16] = {};
    EXPECT_EQ(read(reader, buffer, sizeof buffer), 5);
    EXPECT_EQ(QByteArray(buffer), QByteArray("row\r\n"));
    close(reader);
    EXPECT_TRUE(S_ISFIFO(Status(path).st_mode)) << "the pipe was replaced by a file";
    EXPECT_EQ(Entries(dir), QStringList({"run.fifo"}));
}

// Device nodes of its own in a scratch folder, never the system's: a save
// that replaced its target would otherwise destroy /dev/null for everyone.
TEST(RunExportTargetTest, DeviceIsWrittenIntoAndStaysADevice)
{
    QTemporaryDir dir;
    const QString full = dir.filePath("full");
    const QString null = dir.filePath("null");
    if (mknod(QFile::encodeName(full).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0
        || mknod(QFile::encodeName(null).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        GTEST_SKIP() << "cannot make device nodes here (needs root)";
    const int probe = open(QFile::encodeName(null).constData(), O_WRONLY);
    if (probe < 0) GTEST_SKIP() << "devices cannot be opened in " << dir.path().toStdString();
    close(probe);

    QString error;
    EXPECT_FALSE(CRunExport::Write(full, "Time(S)\r\n", &error));
    EXPECT_EQ(error, QString::fromLocal8Bit(strerror(ENOSPC)));
    EXPECT_TRUE(S_ISCHR(Status(full).st_mode)) << "the device node was replaced";
    EXPECT_EQ(Status(full).st_rdev, makedev(1, 7));

    EXPECT_TRUE(CRunExport::Write(null, "Time(S)\r\n", &error)) << error.toStdString();
    EXPECT_TRUE(S_ISCHR(Status(null).st_mode)) << "the device node was replaced";
    EXPECT_EQ(Entries(dir), QStringList({"full", "null"}));
}

TEST(RunExportTargetTest, FolderIsRefusedAndKept)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("run.xls"));
    QString error;
    EXPECT_FALSE(CRunExport::Write(dir.filePath("run.xls"), "x\r\n", &error));
    EXPECT_EQ(error, QString::fromLocal8Bit(strerror(EISDIR)));
    EXPECT_TRUE(QFileInfo(dir.filePath("run.xls")).isDir());
    EXPECT_EQ(Entries(dir), QStringList({"run.xls"}));
}
