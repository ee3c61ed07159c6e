// The installed tree as a user of the program or of the library meets it:
// an install into a temporary prefix, moved elsewhere, must run, validate as
// a desktop application, render its manual pages and let another program
// build against libquindle with find_package and with pkg-config.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

const QString kBuildDir = QStringLiteral(VANTOC_BUILD_DIR);
const QString kSourceDir = QStringLiteral(VANTOC_SOURCE_DIR);
const QString kLibDir = QStringLiteral(VANTOC_INSTALL_LIBDIR);
const QString kCMake = QStringLiteral(VANTOC_CMAKE_COMMAND);

struct SRun {
    int nExit = -1;
    QString out, err;
    std::string Text() const { return (out + err).toStdString(); }
};

SRun RunTool(const QString& program, const QStringList& args, const QProcessEnvironment& env = {},
         const QString& cwd = {})
{
    QProcess process;
    QProcessEnvironment e = env.isEmpty() ? QProcessEnvironment::systemEnvironment() : env;
    e.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(e);
    if (!cwd.isEmpty()) process.setWorkingDirectory(cwd);
    process.start(program, args);
    SRun run;
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit) {
        run.err = QStringLiteral("%1 did not finish: %2").arg(program, process.errorString());
        return run;
    }
    run.nExit = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// A picture with more than one colour: something was drawn.
bool IsDrawnPicture(const QString& path)
{
    const QImage image(path);
    if (image.isNull() || image.width() < 100 || image.height() < 50) return false;
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            if (image.pixel(x, y) != first) return true;
    return false;
}

// One install for every case; it is moved after installing, so nothing
// may depend on the prefix it was installed to.
class InstallTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_work = kBuildDir + QStringLiteral("/tests/install-work");
        QDir(s_work).removeRecursively();
        QDir().mkpath(s_work);
        const QString first = s_work + QStringLiteral("/first-prefix");
        s_install = RunTool(kCMake, {"--install", kBuildDir, "--prefix", first});
        s_prefix = s_work + QStringLiteral("/prefix");
        s_moved = s_install.nExit == 0 && QDir().rename(first, s_prefix);
    }

    void SetUp() override
    {
        ASSERT_EQ(s_install.nExit, 0) << s_install.Text();
        ASSERT_TRUE(s_moved);
    }

    static QString Prefix(const QString& relative) { return s_prefix + QLatin1Char('/') + relative; }
    static QString Work(const QString& relative) { return s_work + QLatin1Char('/') + relative; }

    static QString Tool(const QString& name)
    {
        return QStandardPaths::findExecutable(name);
    }

    static QString s_work;
    static QString s_prefix;
    static SRun s_install;
    static bool s_moved;
};

QString InstallTest::s_work;
QString InstallTest::s_prefix;
SRun InstallTest::s_install;
bool InstallTest::s_moved = false;

}  // namespace

TEST_F(InstallTest, EveryPieceIsInItsPlace)
{
    const QStringList expected = {
        "bin/vantoc",
        "bin/stirrer-sim",
        "bin/quindle-gallery",
        kLibDir + "/libquindle.so.1",
        kLibDir + "/libquindle.so",
        "include/quindle/platform/QuindleExport.h",
        "include/quindle/display/VelDigit.h",
        "include/quindle/graph/VelGraphWnd.h",
        "include/quindle/render/VelGraphDrawer.h",
        "include/quindle/input/TarnMenu.h",
        kLibDir + "/cmake/Quindle/QuindleConfig.cmake",
        kLibDir + "/cmake/Quindle/QuindleConfigVersion.cmake",
        kLibDir + "/cmake/Quindle/QuindleTargets.cmake",
        kLibDir + "/pkgconfig/quindle.pc",
        "share/applications/org.vantoc.Vantoc.desktop",
        "share/metainfo/org.vantoc.Vantoc.metainfo.xml",
        "share/icons/hicolor/scalable/apps/vantoc.svg",
        "share/man/man1/vantoc.1",
        "share/man/man1/stirrer-sim.1",
    };
    for (const QString& file : expected) EXPECT_TRUE(QFile::exists(Prefix(file))) << file.toStdString();
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString icon = Prefix(QStringLiteral("share/icons/hicolor/%1x%1/apps/vantoc.png").arg(size));
        EXPECT_EQ(QImage(icon).size(), QSize(size, size)) << icon.toStdString();
    }
    // Only the library's soname is versioned: libquindle.so.1.
    EXPECT_EQ(QFile::symLinkTarget(Prefix(kLibDir + "/libquindle.so")).section('/', -1), "libquindle.so.1");
}

TEST_F(InstallTest, NothingRefersToTheBuildOrSourceFolder)
{
    // Text files only: the programs' debugging data names the sources.
    QDirIterator it(s_prefix, QDir::Files, QDirIterator::Subdirectories);
    QStringList checked;
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.contains("/bin/") || path.contains(".so")) continue;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        if (text.contains('\0')) continue;
        checked << path.mid(s_prefix.size() + 1);
        EXPECT_FALSE(text.contains(kBuildDir.toUtf8())) << path.toStdString();
        EXPECT_FALSE(text.contains(kSourceDir.toUtf8())) << path.toStdString();
        EXPECT_FALSE(text.contains(s_work.toUtf8())) << path.toStdString();
    }
    // Above all the files that name paths: the CMake package and quindle.pc.
    for (const QString& file : {kLibDir + "/pkgconfig/quindle.pc", kLibDir + "/cmake/Quindle/QuindleConfig.cmake",
                                kLibDir + "/cmake/Quindle/QuindleTargets.cmake"})
        EXPECT_TRUE(checked.contains(file)) << file.toStdString();
    const QString readelf = Tool("readelf");
    if (readelf.isEmpty()) GTEST_SKIP() << "readelf is not installed";
    for (const char* program : {"bin/vantoc", "bin/stirrer-sim", "bin/quindle-gallery"}) {
        const SRun dynamic = RunTool(readelf, {"-d", Prefix(program)});
        ASSERT_EQ(dynamic.nExit, 0) << dynamic.Text();
        EXPECT_FALSE(dynamic.out.contains(kBuildDir)) << program;
        EXPECT_TRUE(dynamic.out.contains("$ORIGIN/../" + kLibDir)) << program;
    }
}

TEST_F(InstallTest, MovedProgramsRunFromThePrefix)
{
    const SRun version = RunTool(Prefix("bin/vantoc"), {"--version"});
    EXPECT_EQ(version.nExit, 0) << version.Text();
    EXPECT_TRUE(version.out.startsWith("vantoc 1.")) << version.Text();
    const SRun ports = RunTool(Prefix("bin/vantoc"), {"--list-ports"});
    EXPECT_EQ(ports.nExit, 0) << ports.Text();
    const SRun sim = RunTool(Prefix("bin/stirrer-sim"), {"--help"});
    EXPECT_EQ(sim.nExit, 0) << sim.Text();
    const QString shot = Work("gallery.png");
    const SRun gallery = RunTool(Prefix("bin/quindle-gallery"), {"--screenshot", shot});
    EXPECT_EQ(gallery.nExit, 0) << gallery.Text();
    EXPECT_TRUE(IsDrawnPicture(shot));
}

TEST_F(InstallTest, DesktopEntryAndMetainfoValidate)
{
    const QString desktopValidate = Tool("desktop-file-validate");
    const QString appstream = Tool("appstreamcli");
    if (desktopValidate.isEmpty() || appstream.isEmpty())
        GTEST_SKIP() << "desktop-file-utils and appstream are needed (scripts/deps installs them)";
    const SRun desktop = RunTool(desktopValidate, {Prefix("share/applications/org.vantoc.Vantoc.desktop")});
    EXPECT_EQ(desktop.nExit, 0) << desktop.Text();
    EXPECT_TRUE(desktop.out.trimmed().isEmpty()) << desktop.Text();
    const SRun meta = RunTool(appstream, {"validate", "--no-net", Prefix("share/metainfo/org.vantoc.Vantoc.metainfo.xml")});
    EXPECT_EQ(meta.nExit, 0) << meta.Text();

    QFile entry(Prefix("share/applications/org.vantoc.Vantoc.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QByteArray text = entry.readAll();
    EXPECT_TRUE(text.contains("\nExec=vantoc\n"));
    EXPECT_TRUE(text.contains("\nIcon=vantoc\n"));
    EXPECT_TRUE(text.contains("\nCategories=Science;"));
}

TEST_F(InstallTest, ManPagesRender)
{
    const QString man = Tool("man");
    if (man.isEmpty()) GTEST_SKIP() << "man-db is needed (scripts/deps installs it)";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MANWIDTH", "80");
    env.insert("LC_ALL", "C.UTF-8");
    const std::pair<const char*, QStringList> pages[] = {
        {"share/man/man1/vantoc.1", {"vantoc - control program", "--list-ports", "usermod -aG dialout", "EXIT STATUS"}},
        {"share/man/man1/stirrer-sim.1", {"stirrer-sim - a simulated overhead stirrer", "--disconnect-after"}},
    };
    for (const auto& [page, phrases] : pages) {
        const SRun shown = RunTool(man, {"--warnings", "-E", "UTF-8", "-l", Prefix(page)}, env);
        EXPECT_EQ(shown.nExit, 0) << shown.Text();
        EXPECT_TRUE(shown.err.trimmed().isEmpty()) << page << ": " << shown.err.toStdString();
        // man draws hyphens as U+2010 in some locales; compare plain ones.
        QString text = shown.out;
        text.replace(QChar(0x2010), QLatin1Char('-')).replace(QChar(0x2212), QLatin1Char('-'));
        for (const QString& phrase : phrases) EXPECT_TRUE(text.contains(phrase)) << page << ": " << phrase.toStdString();
    }
}

TEST_F(InstallTest, ConsumerBuildsWithFindPackageAndRuns)
{
    const QString build = Work("consumer-cmake");
    QStringList configure = {"-S", kSourceDir + "/examples/consumer", "-B", build, "-G", "Ninja",
                             "-DCMAKE_PREFIX_PATH=" + s_prefix, "-DCMAKE_BUILD_TYPE=Release"};
    const QString ccache = Tool("ccache");
    if (!ccache.isEmpty()) configure << "-DCMAKE_CXX_COMPILER_LAUNCHER=" + ccache;
    const SRun configured = RunTool(kCMake, configure);
    ASSERT_EQ(configured.nExit, 0) << configured.Text();
    const SRun built = RunTool(kCMake, {"--build", build});
    ASSERT_EQ(built.nExit, 0) << built.Text();
    // The library came from the install, not from this build tree.
    QFile cache(build + "/CMakeCache.txt");
    ASSERT_TRUE(cache.open(QIODevice::ReadOnly));
    EXPECT_TRUE(cache.readAll().contains(("Quindle_DIR:PATH=" + Prefix(kLibDir + "/cmake/Quindle")).toUtf8()));

    const QString shot = Work("consumer-cmake.png");
    const SRun ran = RunTool(build + "/quindle-consumer", {"--screenshot", shot});
    ASSERT_EQ(ran.nExit, 0) << ran.Text();
    EXPECT_TRUE(IsDrawnPicture(shot));
    const SRun ldd = RunTool("ldd", {build + "/quindle-consumer"});
    EXPECT_TRUE(ldd.out.contains(Prefix(kLibDir + "/libquindle.so.1"))) << ldd.Text();
}

TEST_F(InstallTest, ConsumerBuildsWithPkgConfigAndRuns)
{
    const QString pkgConfig = Tool("pkg-config");
    const QString compiler = Tool("g++");
    if (pkgConfig.isEmpty() || compiler.isEmpty()) GTEST_SKIP() << "pkg-config and g++ are needed";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PKG_CONFIG_PATH", Prefix(kLibDir + "/pkgconfig"));
    const SRun version = RunTool(pkgConfig, {"--modversion", "quindle"}, env);
    EXPECT_EQ(version.out.trimmed(), "1.0.0") << version.Text();
    const SRun flags = RunTool(pkgConfig, {"--cflags", "--libs", "quindle"}, env);
    ASSERT_EQ(flags.nExit, 0) << flags.Text();
    EXPECT_TRUE(flags.out.contains("/include/quindle")) << flags.Text();

    const SRun libexec = RunTool(pkgConfig, {"--variable=libexecdir", "Qt6Core"}, env);
    const QString rcc = libexec.out.trimmed() + "/rcc";
    const QString dir = Work("consumer-pc");
    QDir().mkpath(dir);
    const SRun resources = RunTool(rcc, {"-name", "consumer", kSourceDir + "/examples/consumer/consumer.qrc", "-o",
                                     dir + "/qrc_consumer.cpp"});
    ASSERT_EQ(resources.nExit, 0) << resources.Text();

    // The flags as a shell would split them; none of the paths has blanks.
    QStringList args = {"-std=c++20", "-fPIC", "-O1", "-Wall", "-Wextra", kSourceDir + "/examples/consumer/main.cpp",
                        dir + "/qrc_consumer.cpp", "-o", dir + "/quindle-consumer"};
    args << flags.out.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
    args << "-Wl,-rpath," + Prefix(kLibDir);
    const SRun compiled = RunTool(compiler, args, env);
    ASSERT_EQ(compiled.nExit, 0) << compiled.Text();

    const QString shot = Work("consumer-pc.png");
    const SRun ran = RunTool(dir + "/quindle-consumer", {"--screenshot", shot});
    ASSERT_EQ(ran.nExit, 0) << ran.Text();
    EXPECT_TRUE(IsDrawnPicture(shot));
}
