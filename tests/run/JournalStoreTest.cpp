#include "FakeClock.h"
#include "run/JournalStore.h"
#include "run/JournalWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(JournalStoreTest, DefaultDirFollowsXdgDataHome)
{
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/srv/data");
    EXPECT_EQ(CJournalStore::DefaultDir(), "/srv/data/vantoc/runs");
    qputenv("XDG_DATA_HOME", "relative/ignored");
    EXPECT_EQ(CJournalStore::DefaultDir(), QDir::homePath() + "/.local/share/vantoc/runs");
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(CJournalStore::DefaultDir(), QDir::homePath() + "/.local/share/vantoc/runs");
    if (!saved.isNull()) qputenv("XDG_DATA_HOME", saved);
}

TEST(JournalStoreTest, OffersOnlyUnfinishedJournalsNobodyHoldsAndDiscardMovesThem)
{
    QTemporaryDir dir;
    CFakeClock clock;
    SJournalHeader h;
    CJournalWriter finished(clock), abandoned(clock), running(clock);
    ASSERT_TRUE(finished.Open(dir.path(), h, nullptr));
    finished.AppendSample(1, 300, 300, 1);
    finished.Finish("stopped");
    clock.Advance(1000);
    ASSERT_TRUE(abandoned.Open(dir.path(), h, nullptr));
    abandoned.AppendSample(1, 300, 300, 1);
    const QString lost = abandoned.Path();
    abandoned.Abandon();
    clock.Advance(1000);
    ASSERT_TRUE(running.Open(dir.path(), h, nullptr));
    QFile other(dir.filePath("notes.vrun"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("not a journal\n");
    other.close();

    const CJournalStore store(dir.path());
    EXPECT_EQ(store.Journals().size(), 4);
    EXPECT_EQ(store.Unfinished(), QStringList{lost});

    QString error;
    ASSERT_TRUE(store.Discard(lost, &error)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(lost));
    EXPECT_TRUE(QFile::exists(dir.filePath("discarded/" + QFileInfo(lost).fileName())));
    EXPECT_TRUE(store.Unfinished().isEmpty());
    EXPECT_EQ(store.Journals().size(), 3);

    // A second journal of the same name in discarded/ keeps the first.
    QFile again(lost);
    ASSERT_TRUE(again.open(QIODevice::WriteOnly));
    again.write("x");
    again.close();
    ASSERT_TRUE(store.Discard(lost, &error));
    EXPECT_TRUE(QFile::exists(dir.filePath("discarded/" + QFileInfo(lost).completeBaseName() + "-2.vrun")));
}

}  // namespace
