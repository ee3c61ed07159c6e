#include "platform/Bitmap.h"
#include "platform/ResourceModule.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plat;

namespace {

void Write(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

void WriteImage(const QString& path, int w, int h, QRgb color)
{
    QDir().mkpath(QFileInfo(path).path());
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(color);
    ASSERT_TRUE(image.save(path));
}

// A program module in a temporary folder, registered for the test's lifetime.
struct ProgramModule {
    QTemporaryDir dir;
    CResourceModule module{"Test", dir.path()};
    CResourceModule* previous = CResourceModule::SetProgram(&module);
    ~ProgramModule() { CResourceModule::SetProgram(previous); }
    QString Path(const QString& rel) const { return dir.path() + "/" + rel; }
};

TEST(StringTable, ParsesIdsTextsAndEscapesAndReportsBadLines)
{
    CStringTable table;
    const QStringList problems = table.Parse("# comment\n"
                                             "\n"
                                             "101\tAbout Overhead Rotaque(&A)...\r\n"
                                             "102   two\\nlines\\ttab\\\\ \n"
                                             "103\t\\sleading space\n"
                                             "not a line\n"
                                             "101\tagain\n"
                                             "4004\t数值不能为空！\n");
    EXPECT_EQ(table.Text(101), "About Overhead Rotaque(&A)...");
    EXPECT_EQ(table.Text(102), "two\nlines\ttab\\ ");
    EXPECT_EQ(table.Text(103), " leading space");
    EXPECT_EQ(table.Text(4004), QString::fromUtf8("数值不能为空！"));
    EXPECT_FALSE(table.Contains(999));
    EXPECT_TRUE(table.Text(999).isEmpty());
    ASSERT_EQ(problems.size(), 2);
    EXPECT_TRUE(problems[0].startsWith("line 6"));
    EXPECT_TRUE(problems[1].startsWith("line 7"));
}

TEST(ResourceModule, LibraryModuleCarriesQuindleStrings)
{
    EXPECT_EQ(CResourceModule::Library().LoadString(4012), QString::fromUtf8("修改图形属性"));
    EXPECT_EQ(CResourceModule::Library().LoadString(4006), QString::fromUtf8("数值错误，不能大于%s！"));
}

TEST(ResourceModule, ChainTriesTheProgramFirstThenTheLibrary)
{
    ProgramModule program;
    Write(program.Path("strings.txt"), "105\tTime(S)\n4012\tprogram's own\n");
    EXPECT_EQ(LoadString(105), "Time(S)");
    EXPECT_EQ(LoadString(4012), "program's own");
    EXPECT_EQ(LoadString(4013), QString::fromUtf8("保存图形"));
    CString text = "unchanged";
    EXPECT_FALSE(LoadString(text, 31337));
    EXPECT_EQ(text, "unchanged");
    // Library code reading its own module is not shadowed by the program.
    EXPECT_EQ(CResourceModule::Library().LoadString(4012), QString::fromUtf8("修改图形属性"));
}

TEST(ResourceModule, BitmapsByIdThroughTheChain)
{
    ProgramModule program;
    WriteImage(program.Path("bitmaps/102.png"), 26, 4, qRgb(10, 20, 30));
    CBitmap bmp;
    ASSERT_TRUE(bmp.LoadBitmap(102));
    EXPECT_EQ(bmp.GetSize(), CSize(26, 4));
    BITMAP bm;
    ASSERT_EQ(bmp.GetBitmap(&bm), int(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 26);
    EXPECT_EQ(bmp.GetImage().pixel(3, 3), qRgb(10, 20, 30));
    CBitmap missing;
    EXPECT_FALSE(missing.LoadBitmap(103));
    EXPECT_TRUE(missing.IsNull());
}

TEST(ResourceModule, IconsPickTheExactSizeOrScaleTheLargest)
{
    ProgramModule program;
    WriteImage(program.Path("icons/128.png"), 48, 48, qRgb(255, 0, 0));
    WriteImage(program.Path("icons/128-16.png"), 16, 16, qRgb(0, 0, 255));
    CIconPtr big(LoadIcon(128));
    ASSERT_TRUE(big);
    EXPECT_EQ(GetIconSize(big.get()), CSize(32, 32));
    EXPECT_EQ(QColor(big->image.pixel(5, 5)).red(), 255);
    CIconPtr small(program.module.LoadIcon(128, CSize(16, 16)));
    ASSERT_TRUE(small);
    EXPECT_EQ(QColor(small->image.pixel(5, 5)).blue(), 255);
    EXPECT_EQ(LoadIcon(129), nullptr);
}

TEST(Icon, InfoRoundTripKeepsShapeAndColour)
{
    QImage pic(4, 2, QImage::Format_ARGB32);
    pic.fill(Qt::transparent);
    pic.setPixel(1, 0, qRgb(255, 0, 0));
    CIconPtr icon(CreateIconFromImage(pic));
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(icon.get(), &info));
    EXPECT_EQ(info.xHotspot, 2u);
    EXPECT_EQ(info.yHotspot, 1u);
    EXPECT_EQ(info.hbmColor.pixel(1, 0), qRgb(255, 0, 0));
    EXPECT_EQ(info.hbmMask.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(info.hbmMask.pixel(0, 0), qRgb(255, 255, 255));
    info.hbmColor.setPixel(1, 0, qRgb(76, 76, 76));
    CIconPtr grey(CreateIconIndirect(&info));
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->image.pixel(1, 0), qRgb(76, 76, 76));
    EXPECT_EQ(qAlpha(grey->image.pixel(0, 0)), 0);
}

}  // namespace
