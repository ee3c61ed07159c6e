#include "graph/GraphImageExport.h"
#include "graph/VelGraphWnd.h"
#include "support/ModalAnswer.h"

#include <QFile>
#include <QFileDialog>
#include <QImageReader>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>


namespace {

quint32 Le(const QByteArray& b, int offset, int size)
{
    quint32 v = 0;
    for (int i = 0; i < size; ++i) v |= quint32(quint8(b[offset + i])) << (8 * i);
    return v;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The 5-5-5 pixel at (x, y) of a bottom-up 16-bit bitmap file.
quint32 BmpPixel(const QByteArray& bmp, int x, int y)
{
    const int w = int(Le(bmp, 18, 4));
    const int h = int(Le(bmp, 22, 4));
    const int row = CGraphImageExport::Bmp16RowBytes(w);
    return Le(bmp, 54 + (h - 1 - y) * row + 2 * x, 2);
}

constexpr quint32 Rgb555(int r, int g, int b)
{
    return quint32((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
}

// A shown chart window of w x h with a series, tool buttons and titles.
class ExportWnd : public CVelGraphWnd {
public:
    using CVelGraphWnd::SaveImageToBMP;
    ExportWnd(int w, int h)
    {
        const double x[] = {1, 2, 3}, y[] = {480, 500, 450};
        AddSeries(3, x, y);
        SetTitle(QStringLiteral("Speed"));
        EnableShowTitle(plat::TRUE);
        resize(w, h);
        show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(this));
    }
};

}  // namespace

TEST(GraphImageExportTest, BitmapSizesFollowThePaddedRows)
{
    struct Case {
        int w, h, nRow, nFile;
    };
    const Case cases[] = {{401, 300, 804, 241254}, {400, 300, 800, 240054}, {1, 1, 4, 58}, {3, 2, 8, 70}};
    for (const Case& c : cases) {
        QImage image(c.w, c.h, QImage::Format_RGB32);
        image.fill(Qt::white);
        const QByteArray bmp = CGraphImageExport::EncodeBmp16(image);
        EXPECT_EQ(CGraphImageExport::Bmp16RowBytes(c.w), c.nRow) << c.w;
        EXPECT_EQ(bmp.size(), c.nFile) << c.w << "x" << c.h;
        EXPECT_EQ(Le(bmp, 2, 4), quint32(c.nFile));
    }
}

TEST(GraphImageExportTest, BitmapHeaderFields)
{
    QImage image(401, 300, QImage::Format_RGB32);
    image.fill(Qt::black);
    const QByteArray bmp = CGraphImageExport::EncodeBmp16(image);
    ASSERT_GE(bmp.size(), 54);
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    struct Field {
        int offset, size;
        quint32 value;
    };
    const Field fields[] = {{6, 2, 0},  {8, 2, 0},   {10, 4, 54}, {14, 4, 40}, {18, 4, 401}, {22, 4, 300},
                            {26, 2, 1}, {28, 2, 16}, {30, 4, 0},  {34, 4, 0},  {38, 4, 0},   {42, 4, 0},
                            {46, 4, 0}, {50, 4, 0}};
    for (const Field& f : fields) EXPECT_EQ(Le(bmp, f.offset, f.size), f.value) << "offset " << f.offset;
}

TEST(GraphImageExportTest, PixelsAreBottomUpWithFiveBitsPerChannel)
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPixel(2, 0, qRgb(0, 0, 255));
    image.setPixel(0, 1, qRgb(233, 231, 217));
    image.setPixel(1, 1, qRgb(7, 8, 15));
    image.setPixel(2, 1, qRgb(255, 255, 255));
    const QByteArray bmp = CGraphImageExport::EncodeBmp16(image);
    // The bottom row comes first in the file.
    EXPECT_EQ(Le(bmp, 54, 2), Rgb555(233, 231, 217));
    EXPECT_EQ(Le(bmp, 54, 2), (29u << 10) | (28u << 5) | 27u);
    EXPECT_EQ(Le(bmp, 56, 2), (0u << 10) | (1u << 5) | 1u);
    EXPECT_EQ(Le(bmp, 58, 2), 0x7FFFu);
    EXPECT_EQ(Le(bmp, 60, 2), 0u);  // row padding
    EXPECT_EQ(Le(bmp, 62, 2), 0x7C00u);
    EXPECT_EQ(Le(bmp, 64, 2), 0x03E0u);
    EXPECT_EQ(Le(bmp, 66, 2), 0x001Fu);
}

TEST(GraphImageExportTest, FormatFollowsTheSuffix)
{
    struct Case {
        const char* path;
        CGraphImageExport::eFormat e;
    };
    const Case cases[] = {{"a.bmp", CGraphImageExport::FormatBmp}, {"/x/A.BMP", CGraphImageExport::FormatBmp},
                          {"c.png", CGraphImageExport::FormatPng}, {"d.Svg", CGraphImageExport::FormatSvg},
                          {"e.jpg", CGraphImageExport::FormatUnknown}, {"bmp", CGraphImageExport::FormatUnknown}};
    for (const Case& c : cases) EXPECT_EQ(CGraphImageExport::FormatOfPath(QString::fromUtf8(c.path)), c.e) << c.path;
}

TEST(GraphImageExportTest, WindowSavesItsClientAreaWithThePlainBackgroundUnderTheButtons)
{
    QTemporaryDir dir;
    ExportWnd wnd(401, 300);
    ASSERT_NE(wnd.GetButton(CVelGraphWnd::kIdProperty), nullptr);
    // Any characters and a long name.
    const QString path = dir.filePath(QString(150, QLatin1Char('n')) + QStringLiteral(" 图 'x'.bmp"));
    ASSERT_TRUE(wnd.SaveImageToBMP(path));
    const QByteArray bmp = ReadAll(path);
    EXPECT_EQ(bmp.size(), 241254);
    // The property button stands at 5..27, 1..23: the file shows background.
    const quint32 bkg = Rgb555(233, 231, 217);
    for (const QPoint p : {QPoint(10, 10), QPoint(16, 12), QPoint(30, 12)})
        EXPECT_EQ(BmpPixel(bmp, p.x(), p.y()), bkg) << p.x() << "," << p.y();
    // The data area is drawn too.
    const plat::CRect rc = wnd.GetGraph()->GetInlineRect();
    EXPECT_EQ(BmpPixel(bmp, rc.left + 2, rc.top + 2), Rgb555(234, 234, 234));
}

TEST(GraphImageExportTest, PngAndSvgOpenWithQtsReadersAtTheWindowsSize)
{
    QTemporaryDir dir;
    ExportWnd wnd(400, 300);
    const QString png = dir.filePath(QStringLiteral("chart.png"));
    ASSERT_TRUE(wnd.SaveImage(png));
    QImageReader pngReader(png);
    const QImage image = pngReader.read();
    ASSERT_FALSE(image.isNull()) << pngReader.errorString().toStdString();
    EXPECT_EQ(image.size(), QSize(400, 300));
    EXPECT_EQ(image.pixelColor(10, 10), QColor(233, 231, 217));  // lossless
    EXPECT_EQ(image.depth(), 32);  // read back as 24-bit colour in a 32-bit image
    EXPECT_FALSE(image.hasAlphaChannel());

    const QString svg = dir.filePath(QStringLiteral("chart.svg"));
    if (!CGraphImageExport::IsSvgAvailable()) {
        EXPECT_FALSE(wnd.SaveImage(svg));
        EXPECT_FALSE(QFile::exists(svg));
        GTEST_SKIP() << "built without Qt SVG";
    }
    ASSERT_TRUE(wnd.SaveImage(svg));
    EXPECT_TRUE(ReadAll(svg).startsWith("<?xml"));
    QImageReader svgReader(svg, "svg");
    if (!svgReader.canRead()) GTEST_SKIP() << "no SVG image plugin to read it back";
    EXPECT_EQ(svgReader.size(), QSize(400, 300));
    const QImage rendered = svgReader.read();
    EXPECT_EQ(rendered.size(), QSize(400, 300));
}

TEST(GraphImageExportTest, FailedSaveLeavesNoFileAndKeepsAnOldOne)
{
    QTemporaryDir dir;
    ExportWnd wnd(200, 150);
    EXPECT_FALSE(wnd.SaveImage(dir.filePath(QStringLiteral("missing/folder/chart.bmp"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing"))));
    EXPECT_FALSE(wnd.SaveImage(dir.filePath(QStringLiteral("chart.gif"))));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(GraphImageExportTest, ExportDialogSavesAndReportsSuccess)
{
    QTemporaryDir dir;
    ExportWnd wnd(200, 150);
    const QString path = dir.filePath(QStringLiteral("saved"));
    ModalAnswer<QFileDialog> files([&](QFileDialog* d) {
        EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(d->defaultSuffix(), QStringLiteral("bmp"));
        EXPECT_EQ(d->nameFilters().value(0), QStringLiteral("BMP File(*.bmp)"));
        EXPECT_TRUE(d->nameFilters().contains(QStringLiteral("PNG File(*.png)")));
        EXPECT_FALSE(d->testOption(QFileDialog::DontConfirmOverwrite));
        d->selectFile(path);
        static_cast<QDialog*>(d)->accept();  // QFileDialog's own accept checks the name
    });
    QString message;
    ModalAnswer<QMessageBox> done([&](QMessageBox* b) {
        message = b->text();
        b->accept();
    });
    EXPECT_TRUE(wnd.OnExportImage());
    EXPECT_EQ(message, QStringLiteral("保存图图像成功！"));
    EXPECT_EQ(ReadAll(path + QStringLiteral(".bmp")).size(), 54 + 150 * 400);
}

TEST(GraphImageExportTest, ExportIntoAFolderThatCannotTakeTheFileShowsTheFailure)
{
    QTemporaryDir dir;
    ExportWnd wnd(200, 150);
    const QString folder = dir.filePath(QStringLiteral("gone"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/chart.bmp");
    ModalAnswer<QFileDialog> files([&](QFileDialog* d) {
        d->selectFile(path);
        static_cast<QDialog*>(d)->accept();  // QFileDialog's own accept checks the name
        // The folder disappears between the choice and the save.
        QDir(folder).removeRecursively();
    });
    QString message;
    ModalAnswer<QMessageBox> failed([&](QMessageBox* b) {
        message = b->text();
        b->accept();
    });
    EXPECT_FALSE(wnd.OnExportImage());
    EXPECT_EQ(message, QStringLiteral("保存图图像失败！"));
    EXPECT_FALSE(QFile::exists(path));
}

TEST(GraphImageExportTest, CancelledDialogSavesNothingAndSaysNothing)
{
    ExportWnd wnd(200, 150);
    ModalAnswer<QFileDialog> files([](QFileDialog* d) { d->reject(); });
    EXPECT_FALSE(wnd.OnExportImage());
    EXPECT_TRUE(files.answered());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(GraphWndToolTipTest, ControlHasTheShortDelayAndTipsShowInInactiveWindows)
{
    CVelGraphWnd other;
    ExportWnd wnd(400, 300);
    EXPECT_EQ(wnd.GetToolTipCtrl()->GetDelayTime(), 50u);
    EXPECT_TRUE(wnd.testAttribute(Qt::WA_AlwaysShowToolTips));
    wnd.m_pGraph->GetSeries(0)->strTipInfo = QStringLiteral("speed");
    wnd.grab();

    // Another window takes the activation.
    other.resize(50, 50);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wnd.isActiveWindow(); }, 2000));

    QToolTip::hideText();
    const QPoint marker(wnd.m_pGraph->GetPositionByValue(GRAPH_AXIS_X, 2),
                        wnd.m_pGraph->GetPositionByValue(GRAPH_AXIS_Y, 500));
    QTest::mouseMove(&wnd, marker);
    ASSERT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 5000));
    EXPECT_TRUE(QToolTip::text().startsWith(QStringLiteral("speed")));
    QToolTip::hideText();
}
