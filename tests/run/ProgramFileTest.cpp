#include "run/ProgramFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST(ProgramFile, SavesAndLoadsTheSameSteps)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("dissolve.txt"));
    Write(path, "# Lösung\nhold 200 30\nramp 1500 1:00\nhold 1500 1:00:10\n");
    CSpeedProgram::Error error;
    const CSpeedProgram loaded = CProgramFile::Load(path, 2200, &error);
    ASSERT_FALSE(loaded.IsEmpty()) << error.Message().toStdString();

    const QString copy = dir.filePath(QStringLiteral("copy.txt"));
    QString why;
    ASSERT_TRUE(CProgramFile::Save(copy, loaded, &why)) << why.toStdString();
    EXPECT_EQ(Read(copy), QByteArray("hold 200 30\nramp 1500 60\nhold 1500 3610\n"));
    const CSpeedProgram again = CProgramFile::Load(copy, 2200, &error);
    ASSERT_EQ(again.Steps().size(), 3u);
    EXPECT_DOUBLE_EQ(again.TotalSeconds(), loaded.TotalSeconds());
    EXPECT_EQ(again.ToText(), loaded.ToText());
}

TEST(ProgramFile, RefusesWhatIsNotAProgramAndSaysWhyASaveFailed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString bad = dir.filePath(QStringLiteral("bad.txt"));
    Write(bad, "hold 200 30\nhold 2500 10\n");
    const QString big = dir.filePath(QStringLiteral("big.txt"));
    Write(big, QByteArray(CProgramFile::kMaxBytes + 1, '#'));
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    const struct
    {
        QString path;
        int maxRpm;
        QString starts;
    } cases[] = {
        {bad, 2200, QStringLiteral("line 2: speed 2500 is above 2200")},
        {big, 2200, big + QStringLiteral(" is too large")},
        {missing, 2200, QStringLiteral("cannot read ") + missing},
        {dir.path(), 2200, QStringLiteral("")},  // a folder: unreadable or empty, never a program
    };
    for (const auto& c : cases) {
        CSpeedProgram::Error error;
        EXPECT_TRUE(CProgramFile::Load(c.path, c.maxRpm, &error).IsEmpty()) << c.path.toStdString();
        EXPECT_FALSE(error.Message().isEmpty()) << c.path.toStdString();
        EXPECT_TRUE(error.Message().startsWith(c.starts)) << error.Message().toStdString();
    }

    // Into a folder that is not there: refused with the cause, nothing created.
    const QString nowhere = dir.filePath(QStringLiteral("gone/program.txt"));
    QString why;
    EXPECT_FALSE(CProgramFile::Save(nowhere, CSpeedProgram::Parse(QStringLiteral("hold 900 5")), &why));
    EXPECT_TRUE(why.startsWith(QStringLiteral("cannot write ") + nowhere)) << why.toStdString();
    EXPECT_FALSE(QFile::exists(nowhere));
}
