#include "GraphTestPrint.h"
#include "graph/VelGraph.h"
#include "graph/VelGraphWnd.h"
#include "platform/Archive.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>
#include <sys/resource.h>

namespace {

class PropertyGraph : public CVelGraph {
public:
    PropertyGraph() : CVelGraph(nullptr, GRAPH_LINE) {}
    using CVelGraph::ReadProperty;
    using CVelGraph::SaveProperty;
    using CVelGraph::m_bXAutoCalc;
    using CVelGraph::m_bYAutoCalc;
    using CVelGraph::m_strSignature;
};

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray Le32(quint32 v)
{
    QByteArray b;
    for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
    return b;
}

// One title record as the file holds it: flag, text, colour, 28 LOGFONT
// bytes and the face name.
QByteArray TitleRecord(int nShow, const QByteArray& text, quint32 cr, int nHeight, int nWeight, int nEscapement)
{
    QByteArray b = Le32(nShow);
    b.append(char(text.size())).append(text);
    b.append(Le32(cr));
    for (quint32 v : {quint32(nHeight), 0u, quint32(nEscapement), quint32(nEscapement), quint32(nWeight)})
        b.append(Le32(v));
    b.append(QByteArray(8, '\0'));
    b.append(char(20)).append("Microsoft Sans Serif");
    return b;
}

// Settings that differ from every default the file holds.
void Customise(CVelGraph& g)
{
    g.EnableShowLegend(0);
    g.EnableShowMarks(0);
    g.ShowMarks(0);
    g.ShowTip(0);
    g.SetAxisGrid(GRAPH_AXIS_X, 0, 1);
    g.SetAxisGrid(GRAPH_AXIS_Y, 1, 0);
    g.GetAxis(GRAPH_AXIS_Y)->bLogarithm = 1;
    g.SetTitle(QStringLiteral("转速"));
    g.EnableShowTitle(1);
    g.SetXTitle(QStringLiteral("Time(S)"));
    g.SetXTitleColor(0x123456);
    g.SetYTitle(QStringLiteral("Speed(rpm)"));
    plat::LOGFONT lf = g.GetYTitleObject()->GetFont();
    lf.lfHeight = -22;
    lf.lfItalic = 1;
    lf.SetFaceName("宋体");
    g.GetYTitleObject()->SetFont(lf);
    g.GetLegend().EnableShow(1);
    g.GetLegend().SetPosition(LEGEND_BOTTOM);
    g.GetLegend().EnableMultiline(0);
}

class VelGraphPropertyTest : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
};

}  // namespace

TEST_F(VelGraphPropertyTest, DefaultGraphWritesTheExactLayout)
{
    PropertyGraph g;
    const QString path = Path("graph.prop");
    g.SaveProperty(path);

    QByteArray expected;
    expected.append(char(20)).append("Zentravolk Graph 1.0");
    for (int v : {1, 1, 1, 1, 0, 0, 1, 1, 0, 1, 1, 0}) expected.append(Le32(v));
    expected.append(TitleRecord(0, "", 0, 19, 700, 0));
    expected.append(TitleRecord(0, "", 0, 14, 700, 0));
    expected.append(TitleRecord(0, "", 0, 14, 700, 900));
    for (int v : {0, 2, 1}) expected.append(Le32(v));

    const QByteArray bytes = ReadAll(path);
    EXPECT_EQ(bytes.toHex(), expected.toHex());
    // An empty title text is the single byte 0, right after the show flag.
    ASSERT_GT(bytes.size(), 74);
    EXPECT_EQ(bytes[73], '\0');
    EXPECT_EQ(bytes[74], '\0');
}

TEST_F(VelGraphPropertyTest, SavedSettingsComeBackInAFreshGraph)
{
    const QString path = Path("round trip.prop");
    {
        PropertyGraph g;
        Customise(g);
        g.m_bXAutoCalc = 1;
        g.SaveProperty(path);
    }
    PropertyGraph g;
    g.AutoSaveProperty(path);
    EXPECT_EQ(g.GetPropertyFileName(), path);
    EXPECT_EQ(g.IsEnableShowLegend(), 0);
    EXPECT_EQ(g.IsEnableShowMarks(), 0);
    EXPECT_EQ(g.IsShowMarks(), 0);
    EXPECT_EQ(g.IsShowTip(), 0);
    EXPECT_EQ(g.m_bXAutoCalc, 1);
    EXPECT_EQ(g.m_bYAutoCalc, 0);
    EXPECT_EQ(g.GetAxis(GRAPH_AXIS_X)->bMajorGrid, 0);
    EXPECT_EQ(g.GetAxis(GRAPH_AXIS_X)->bMinorGrid, 1);
    EXPECT_EQ(g.GetAxis(GRAPH_AXIS_Y)->bMinorGrid, 0);
    EXPECT_EQ(g.GetAxis(GRAPH_AXIS_Y)->bLogarithm, 1);
    EXPECT_EQ(g.GetTitleObject()->m_strText, QStringLiteral("转速"));
    EXPECT_EQ(g.GetTitleObject()->m_bShow, 1);
    EXPECT_EQ(g.GetXTitleObject()->m_crText, 0x123456u);
    const plat::LOGFONT& lf = g.GetYTitleObject()->GetFont();
    EXPECT_EQ(lf.lfHeight, -22);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfEscapement, 900);
    EXPECT_STREQ(lf.lfFaceName, "宋体");
    EXPECT_EQ(g.GetLegend().CanShow(), 1);
    EXPECT_EQ(g.GetLegend().GetPosition(), LEGEND_BOTTOM);
    EXPECT_EQ(g.GetLegend().CanMultiline(), 0);
}

TEST_F(VelGraphPropertyTest, FileCutInsideTheYTitleKeepsWhatWasRead)
{
    const QString path = Path("cut.prop");
    PropertyGraph source;
    Customise(source);
    source.SaveProperty(path);
    const QByteArray bytes = ReadAll(path);
    // The Y title record starts after the X title; keep its flag and text.
    const QByteArray ySignature = QByteArray(1, char(10)) + "Speed(rpm)";
    const qsizetype nYText = bytes.indexOf(ySignature);
    ASSERT_GT(nYText, 69);
    WriteAll(path, bytes.left(nYText + ySignature.size() + 2));

    PropertyGraph g;
    const plat::LOGFONT yFontBefore = g.GetYTitleObject()->GetFont();
    g.AutoSaveProperty(path);
    EXPECT_EQ(g.GetTitleObject()->m_strText, QStringLiteral("转速"));
    EXPECT_EQ(g.GetXTitleObject()->m_strText, QStringLiteral("Time(S)"));
    EXPECT_EQ(g.GetXTitleObject()->m_crText, 0x123456u);
    EXPECT_EQ(g.GetYTitleObject()->m_strText, QStringLiteral("Speed(rpm)"));
    EXPECT_EQ(g.GetYTitleObject()->m_crText, 0u);
    EXPECT_EQ(std::memcmp(&g.GetYTitleObject()->GetFont(), &yFontBefore, sizeof yFontBefore), 0);
    EXPECT_EQ(g.GetLegend().CanShow(), 0);
    EXPECT_EQ(g.GetLegend().GetPosition(), LEGEND_RIGHT);
    EXPECT_EQ(g.GetLegend().CanMultiline(), 1);
}

TEST_F(VelGraphPropertyTest, MissingFileChangesNothingAndASaveCreatesIt)
{
    const QString path = Path("not/yet/there.prop");
    PropertyGraph g;
    g.ShowMarks(0);
    g.AutoSaveProperty(path);
    EXPECT_EQ(g.IsShowMarks(), 0);
    EXPECT_EQ(g.GetPropertyFileName(), path);
    EXPECT_FALSE(QFile::exists(path));

    const QString flat = Path("there.prop");
    g.AutoSaveProperty(flat);
    EXPECT_FALSE(QFile::exists(flat));
    g.SaveProperty(g.GetPropertyFileName());
    EXPECT_TRUE(QFile::exists(flat));
    PropertyGraph reread;
    reread.AutoSaveProperty(flat);
    EXPECT_EQ(reread.IsShowMarks(), 0);
}

TEST_F(VelGraphPropertyTest, EmptyFileAndForeignSignature)
{
    const QString path = Path("empty.prop");
    WriteAll(path, QByteArray());
    PropertyGraph g;
    g.AutoSaveProperty(path);
    EXPECT_EQ(g.m_strSignature, QStringLiteral("Zentravolk Graph 1.0"));

    // Another signature is read all the same, and so is the rest.
    PropertyGraph source;
    source.ShowTip(0);
    source.SaveProperty(path);
    QByteArray bytes = ReadAll(path);
    bytes.replace(1, 10, "Other Grap");
    WriteAll(path, bytes);
    g.AutoSaveProperty(path);
    EXPECT_EQ(g.m_strSignature, QStringLiteral("Other Grap Graph 1.0"));
    EXPECT_EQ(g.IsShowTip(), 0);
}

TEST_F(VelGraphPropertyTest, FailedSaveLeavesThePreviousFile)
{
    const QString path = Path("keep.prop");
    PropertyGraph g;
    g.SaveProperty(path);
    const QByteArray before = ReadAll(path);
    ASSERT_FALSE(before.isEmpty());

    // A folder in the way of the file: nothing can replace it.
    const QString blocked = Path("blocked.prop");
    ASSERT_TRUE(QDir().mkpath(blocked));
    g.SaveProperty(blocked);
    EXPECT_TRUE(QFileInfo(blocked).isDir());

    // No leftover temporary files beside the good one.
    const QStringList files = QDir(m_dir.path()).entryList(QDir::Files);
    EXPECT_EQ(files, QStringList{QStringLiteral("keep.prop")});
    EXPECT_EQ(ReadAll(path), before);
}

TEST_F(VelGraphPropertyTest, NothingIsReadOrWrittenWithoutTitles)
{
    const QString path = Path("titles.prop");
    PropertyGraph g;
    g.SaveProperty(path);
    g.RemoveAll(plat::FALSE);
    const QString other = Path("other.prop");
    g.SaveProperty(other);
    EXPECT_FALSE(QFile::exists(other));
    g.ShowTip(0);
    g.AutoSaveProperty(path);
    EXPECT_EQ(g.IsShowTip(), 0);
}

TEST_F(VelGraphPropertyTest, WindowForwardsTheFileName)
{
    const QString path = Path("wnd.prop");
    {
        PropertyGraph g;
        g.ShowMarks(0);
        g.SaveProperty(path);
    }
    CVelGraphWnd wnd;
    wnd.AutoSaveProperty(path);
    EXPECT_EQ(wnd.GetGraph()->GetPropertyFileName(), path);
    EXPECT_EQ(wnd.GetGraph()->IsShowMarks(), 0);
}

TEST_F(VelGraphPropertyTest, LongFaceNameIsCutWithoutSplittingACharacter)
{
    const QString path = Path("face.prop");
    PropertyGraph source;
    source.SaveProperty(path);
    QByteArray bytes = ReadAll(path);
    // Replace the main title's face (the first one) by 12 three-byte characters.
    const QByteArray face = QByteArray(1, char(20)) + "Microsoft Sans Serif";
    const QByteArray longFace = QStringLiteral("宋宋宋宋宋宋宋宋宋宋宋宋").toUtf8();
    bytes.replace(bytes.indexOf(face), face.size(), QByteArray(1, char(longFace.size())) + longFace);
    WriteAll(path, bytes);

    PropertyGraph g;
    g.AutoSaveProperty(path);
    EXPECT_STREQ(g.GetTitleObject()->GetFont().lfFaceName, "宋宋宋宋宋宋宋宋宋宋");
    EXPECT_EQ(g.GetLegend().GetPosition(), LEGEND_RIGHT);
}

TEST_F(VelGraphPropertyTest, ImpossibleFontSizesKeepTheOldFontAndTheChartPaints)
{
    const QString path = Path("huge.prop");
    PropertyGraph source;
    source.SetTitle(QStringLiteral("Speed"));
    source.EnableShowTitle(1);
    source.SaveProperty(path);
    QByteArray bytes = ReadAll(path);
    // The main title's lfHeight follows flag, text and colour.
    const qsizetype nHeight = 69 + 4 + 6 + 4;
    ASSERT_EQ(Le32(19), bytes.mid(nHeight, 4));
    bytes.replace(nHeight, 4, Le32(0x7FFFFFFF));
    WriteAll(path, bytes);

    CVelGraphWnd wnd;
    wnd.resize(300, 200);
    wnd.AutoSaveProperty(path);
    EXPECT_EQ(wnd.GetGraph()->GetTitleObject()->m_strText, QStringLiteral("Speed"));
    EXPECT_EQ(wnd.GetGraph()->GetTitleObject()->GetFont().lfHeight, 19);
    // The rest of the file still counts.
    EXPECT_EQ(wnd.GetGraph()->GetLegend().GetPosition(), LEGEND_RIGHT);
    const QImage image = wnd.grab().toImage();
    EXPECT_EQ(image.size(), QSize(300, 200));
}

// Every cut of a valid file and many seeded random mutations load without a
// crash and without a large allocation: the child process runs under an
// address-space limit a few MB above what it uses already.
TEST_F(VelGraphPropertyTest, DamagedFilesNeverCrashOrAllocateMuch)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const QString path = Path("damaged.prop");
    PropertyGraph source;
    Customise(source);
    source.SaveProperty(path);
    const QByteArray valid = ReadAll(path);
    ASSERT_GT(valid.size(), 100);

    auto loadAll = [&] {
        rlimit limit{};
        getrlimit(RLIMIT_AS, &limit);
        QFile status(QStringLiteral("/proc/self/status"));
        status.open(QIODevice::ReadOnly);
        const QByteArray text = status.readAll();
        const qsizetype at = text.indexOf("VmSize:");
        const qint64 nKb = text.mid(at + 7, text.indexOf('\n', at) - at - 7).trimmed().split(' ').front().toLongLong();
        limit.rlim_cur = rlim_t(nKb + 48 * 1024) * 1024;
        setrlimit(RLIMIT_AS, &limit);

        // One graph takes every file: what a broken file left must not
        // trip the next read either.
        PropertyGraph g;
        for (qsizetype n = 0; n < valid.size(); ++n) {
            WriteAll(path, valid.left(n));
            g.AutoSaveProperty(path);
        }
        std::mt19937 rng(20261207);
        std::uniform_int_distribution<int> byte(0, 255);
        for (int i = 0; i < 10000; ++i) {
            QByteArray bytes = valid;
            std::uniform_int_distribution<int> pos(0, int(bytes.size()) - 1);
            const int nChanges = 1 + i % 8;
            for (int k = 0; k < nChanges; ++k) {
                const int p = pos(rng);
                switch (rng() % 4) {
                case 0: bytes[p] = char(byte(rng)); break;
                case 1: bytes[p] = char(0xFF); break;
                case 2: bytes.insert(p, char(byte(rng))); break;
                default: bytes.truncate(p + 1); break;
                }
                pos = std::uniform_int_distribution<int>(0, int(bytes.size()) - 1);
            }
            WriteAll(path, bytes);
            g.AutoSaveProperty(path);
        }
        std::exit(0);
    };
    EXPECT_EXIT(loadAll(), ::testing::ExitedWithCode(0), "");
}
