#include "display/VelButton.h"
#include "graph/VelGraph.h"
#include "graph/VelGraphGeneralPage.h"
#include "graph/VelGraphWnd.h"
#include "graph/VelGraphXAxisPage.h"
#include "graph/VelGraphYAxisPage.h"
#include "platform/DC.h"
#include "platform/FontDialog.h"
#include "platform/PropertySheet.h"
#include "platform/ResourceModule.h"
#include "support/ModalAnswer.h"

#include <QAbstractButton>
#include <QFontDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// A graph whose layout (and with it the range rule) runs on demand.
class SheetGraph : public CVelGraph {
public:
    explicit SheetGraph(eGraphStyle eStyle = GRAPH_LINE) : CVelGraph(nullptr, eStyle) {}
    void Relayout()
    {
        QImage image(400, 300, QImage::Format_RGB32);
        plat::CDC dc(&image);
        AdjustLayout(plat::CRect(0, 0, 400, 300), &dc);
    }
};

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

template <class T>
T* Item(plat::CPropertySheet* sheet, int page, int id)
{
    sheet->SetActivePage(page);
    return sheet->GetPage(page)->GetDlgItem<T>(id);
}

QWidget* Control(plat::CPropertySheet* sheet, int page, int id)
{
    return Item<QWidget>(sheet, page, id);
}

void Click(plat::CPropertySheet* sheet, int page, int id)
{
    auto* button = Item<QAbstractButton>(sheet, page, id);
    ASSERT_NE(button, nullptr) << id;
    button->click();
}

void SetText(plat::CPropertySheet* sheet, int page, int id, const QString& text)
{
    auto* edit = Item<QLineEdit>(sheet, page, id);
    ASSERT_NE(edit, nullptr) << id;
    edit->setText(text);
}

QString Text(plat::CPropertySheet* sheet, int page, int id)
{
    auto* edit = Item<QLineEdit>(sheet, page, id);
    return edit ? edit->text() : QStringLiteral("<none>");
}

// Runs the graph's sheet; the script acts in it and ends it (or not: then
// the test cancels it). Returns OnProperty's result.
plat::BOOL RunSheet(CVelGraph& graph, const std::function<void(plat::CPropertySheet*)>& script)
{
    ModalAnswer<plat::CPropertySheet> answer([&](plat::CPropertySheet* sheet) {
        script(sheet);
        if (sheet->isVisible()) sheet->reject();
    });
    const plat::BOOL result = graph.OnProperty();
    EXPECT_TRUE(answer.answered());
    return result;
}

// Confirms the sheet and returns the text of the message it raised, if any.
QString ConfirmExpectingMessage(plat::CPropertySheet* sheet)
{
    QString text;
    ModalAnswer<QMessageBox> answer(
        [&](QMessageBox* box) {
            text = box->text();
            box->accept();
        },
        3000);
    sheet->accept();
    if (!answer.answered()) answer.cancel();
    return text;
}

QString Library(plat::UINT id)
{
    return plat::CResourceModule::Library().LoadString(id);
}

constexpr int kGeneral = 0, kX = 1, kY = 2;

TEST(VelGraphPropertySheet, ShowsThreePagesUnderTheLibrarysCaption)
{
    SheetGraph graph;
    QStringList tabs;
    QString caption;
    RunSheet(graph, [&](plat::CPropertySheet* sheet) {
        caption = sheet->windowTitle();
        for (int i = 0; i < sheet->TabBar()->count(); ++i) tabs << sheet->TabBar()->tabText(i);
        EXPECT_EQ(sheet->GetActiveIndex(), kGeneral);
        auto* font = Item<QAbstractButton>(sheet, kX, 2025);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->text(), QStringLiteral("字体"));
    });
    EXPECT_EQ(caption, QStringLiteral("修改图形属性"));
    EXPECT_EQ(tabs, QStringList({QStringLiteral("通用"), QStringLiteral("X 轴"), QStringLiteral("Y 轴")}));
}

TEST(VelGraphPropertySheet, ConfirmingUnchangedFixesBothRanges)
{
    SheetGraph graph;
    const double x[] = {1, 2}, y[] = {5, 6};
    graph.AddSeries(2, x, y);
    EXPECT_EQ(RunSheet(graph, [](plat::CPropertySheet* sheet) { sheet->accept(); }), plat::TRUE);
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_X)->bRecalculate, 0);
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_Y)->bRecalculate, 0);

    graph.AddOneDataOfSeries(0, 500, 900);
    graph.Relayout();
    double dMin = 0, dMax = 0;
    graph.GetAxisRange(GRAPH_AXIS_X, dMin, dMax);
    EXPECT_EQ(dMax, 100.0);
    graph.GetAxisRange(GRAPH_AXIS_Y, dMin, dMax);
    EXPECT_EQ(dMax, 100.0);

    // The same data widen a chart whose sheet was cancelled.
    SheetGraph other;
    other.AddSeries(2, x, y);
    EXPECT_EQ(RunSheet(other, [](plat::CPropertySheet* sheet) { sheet->reject(); }), plat::FALSE);
    other.AddOneDataOfSeries(0, 500, 900);
    other.Relayout();
    other.GetAxisRange(GRAPH_AXIS_Y, dMin, dMax);
    EXPECT_EQ(dMax, 900.0);
}

TEST(VelGraphPropertySheet, TheNamedPropertyFileIsWrittenAfterOkOnly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("chart.prop"));
    SheetGraph graph;
    graph.AutoSaveProperty(path);  // no file yet: nothing read
    RunSheet(graph, [](plat::CPropertySheet* sheet) {
        Click(sheet, kGeneral, 2002);  // markers off
        sheet->reject();
    });
    EXPECT_FALSE(QFile::exists(path));

    RunSheet(graph, [](plat::CPropertySheet* sheet) {
        Click(sheet, kGeneral, 2002);  // markers off
        Click(sheet, kX, 2029);        // automatic X range remembered
        sheet->accept();
    });
    const QByteArray data = ReadAll(path);
    ASSERT_GE(data.size(), 45);
    EXPECT_EQ(data.mid(0, 21), QByteArray("\x14Zentravolk Graph 1.0"));
    auto flag = [&data](int offset) { return static_cast<int>(static_cast<unsigned char>(data[offset])); };
    EXPECT_EQ(flag(29), 0);  // show marks
    EXPECT_EQ(flag(37), 1);  // X automatic range

    // A second chart named after the same file starts as the first was left.
    SheetGraph reader;
    reader.AutoSaveProperty(path);
    EXPECT_EQ(reader.IsShowMarks(), 0);
}

TEST(VelGraphPropertySheet, ConfirmedPagesAreCopiedIntoTheGraph)
{
    SheetGraph graph;
    graph.SetTitle(QStringLiteral("Speed"));
    RunSheet(graph, [](plat::CPropertySheet* sheet) {
        EXPECT_EQ(Text(sheet, kGeneral, 2008), QStringLiteral("Speed"));
        SetText(sheet, kGeneral, 2008, QStringLiteral("转速"));
        Click(sheet, kGeneral, 2001);  // show the legend
        Click(sheet, kGeneral, 2021);  // at the top
        Click(sheet, kGeneral, 2017);  // one line
        Click(sheet, kGeneral, 2003);  // no tips
        SetText(sheet, kX, 2008, QStringLiteral("时间"));
        Click(sheet, kX, 2010);  // no minor grid
        SetText(sheet, kY, 2004, QStringLiteral("-20"));
        SetText(sheet, kY, 2005, QStringLiteral("250.5"));
        Click(sheet, kY, 2009);  // no major grid
        sheet->accept();
    });
    EXPECT_EQ(graph.GetTitleObject()->m_strText, QStringLiteral("转速"));
    EXPECT_EQ(graph.GetLegend().CanShow(), 1);
    EXPECT_EQ(graph.GetLegend().GetPosition(), LEGEND_TOP);
    EXPECT_EQ(graph.GetLegend().CanMultiline(), 0);
    EXPECT_EQ(graph.IsShowTip(), 0);
    EXPECT_EQ(graph.IsShowMarks(), 1);
    EXPECT_EQ(graph.GetXTitleObject()->m_strText, QStringLiteral("时间"));
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_X)->bMinorGrid, 0);
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_X)->bMajorGrid, 1);
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_Y)->dMin, -20.0);
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_Y)->dMax, 250.5);
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_Y)->bMajorGrid, 0);
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_Y)->bDirty, 1);
}

TEST(VelGraphPropertySheet, TheLogarithmicBoxMovesZeroEdgesToOne)
{
    SheetGraph graph;
    RunSheet(graph, [](plat::CPropertySheet* sheet) {
        EXPECT_EQ(Text(sheet, kY, 2004), QStringLiteral("0"));
        Click(sheet, kY, 2028);
        EXPECT_EQ(Text(sheet, kY, 2004), QStringLiteral("1"));
        EXPECT_EQ(Text(sheet, kY, 2005), QStringLiteral("100"));
        auto* page = static_cast<CVelGraphYAxisPage*>(sheet->GetPage(kY));
        EXPECT_EQ(page->m_dMin, 1.0);
        SetText(sheet, kY, 2005, QStringLiteral("-3"));
        Click(sheet, kY, 2028);  // off: nothing moves
        Click(sheet, kY, 2028);  // on again
        EXPECT_EQ(Text(sheet, kY, 2005), QStringLiteral("1"));
    });
}

TEST(VelGraphPropertySheet, AutomaticRangeProposesTheDataRange)
{
    SheetGraph graph;
    const double x[] = {0, 1, 2}, y[] = {-7, 3, 123.456};
    graph.AddSeries(3, x, y);
    RunSheet(graph, [&](plat::CPropertySheet* sheet) {
        Click(sheet, kY, 2029);
        double dMin = 0, dMax = 0;
        graph.CalculateActualAxisRange(GRAPH_AXIS_Y, dMin, dMax, plat::FALSE);
        EXPECT_EQ(Text(sheet, kY, 2004), QString::number(dMin));
        EXPECT_EQ(Text(sheet, kY, 2005), QString::number(dMax));
        EXPECT_EQ(dMin, -7.0);
        // With automatic range on, the logarithmic box proposes a log range.
        Click(sheet, kY, 2028);
        graph.CalculateActualAxisRange(GRAPH_AXIS_Y, dMin, dMax, plat::TRUE);
        EXPECT_EQ(Text(sheet, kY, 2004), QString::number(dMin));
        EXPECT_EQ(dMin, 0.01);
        sheet->accept();
    });
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_Y)->bLogarithm, 1);
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_Y)->dMin, 0.01);
}

TEST(VelGraphPropertySheet, RefusedRangesKeepTheSheetOpenWithTheirMessage)
{
    const struct {
        const char* min;
        const char* max;
        bool log;
        plat::UINT message;
    } cases[] = {
        {"50", "50", false, 4011},
        {"60", "50", false, 4011},
        {"0", "100", true, 4010},
        {"5", "-1", true, 4010},
    };
    for (const auto& c : cases) {
        SheetGraph graph;
        QString shown;
        bool stillOpen = false;
        const plat::BOOL result = RunSheet(graph, [&](plat::CPropertySheet* sheet) {
            if (c.log) {
                Click(sheet, kX, 2028);
            }
            SetText(sheet, kX, 2004, QString::fromLatin1(c.min));
            SetText(sheet, kX, 2005, QString::fromLatin1(c.max));
            sheet->SetActivePage(kGeneral);
            shown = ConfirmExpectingMessage(sheet);
            stillOpen = sheet->isVisible();
            EXPECT_EQ(sheet->GetActiveIndex(), kX);  // back on the page that refused
            sheet->reject();
        });
        EXPECT_EQ(shown, Library(c.message)) << c.min << " " << c.max;
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(result, plat::FALSE);
        EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_X)->bRecalculate, 1);
    }
}

TEST(VelGraphPropertySheet, OnlyVisitedPagesAreAskedToAccept)
{
    SheetGraph graph;
    graph.SetAxisRange(GRAPH_AXIS_Y, 50, 50, plat::TRUE);
    EXPECT_EQ(RunSheet(graph, [](plat::CPropertySheet* sheet) { sheet->accept(); }), plat::TRUE);

    QString shown;
    RunSheet(graph, [&](plat::CPropertySheet* sheet) {
        sheet->SetActivePage(kY);
        sheet->SetActivePage(kGeneral);
        shown = ConfirmExpectingMessage(sheet);
    });
    EXPECT_EQ(shown, QStringLiteral("为坐标轴设置的范围无效，因为坐标轴的最大值需要大于最小值！"));
}

TEST(VelGraphPropertySheet, LeavingAPageWithTextThatIsNoNumberIsRefused)
{
    SheetGraph graph;
    RunSheet(graph, [](plat::CPropertySheet* sheet) {
        SetText(sheet, kX, 2004, QStringLiteral("-"));
        QString shown;
        ModalAnswer<QMessageBox> answer([&](QMessageBox* box) {
            shown = box->text();
            box->accept();
        });
        EXPECT_FALSE(sheet->SetActivePage(kY));
        EXPECT_EQ(shown, QStringLiteral("Please enter a number."));
        EXPECT_EQ(sheet->GetActiveIndex(), kX);
        EXPECT_EQ(sheet->TabBar()->currentIndex(), kX);
    });
}

TEST(VelGraphPropertySheet, EnablingFollowsChartTypeValueTypeAndBoxes)
{
    const struct {
        eGraphStyle style;
        eAxisValueType yType;
        bool xLog, xMinor, xRange, yLog, yMinor;
    } cases[] = {
        {GRAPH_LINE, AXIS_VALUE_DECIMAL, true, true, true, true, true},
        {GRAPH_BAR, AXIS_VALUE_DECIMAL, false, false, false, true, true},
        {GRAPH_SCATTER, AXIS_VALUE_TIME, true, true, true, false, true},
    };
    for (const auto& c : cases) {
        SheetGraph graph(c.style);
        graph.SetAxisValueType(GRAPH_AXIS_Y, c.yType);
        RunSheet(graph, [&](plat::CPropertySheet* sheet) {
            EXPECT_EQ(Control(sheet, kX, 2028)->isEnabled(), c.xLog) << c.style;
            EXPECT_EQ(Control(sheet, kX, 2010)->isEnabled(), c.xMinor) << c.style;
            EXPECT_EQ(Control(sheet, kX, 2004)->isEnabled(), c.xRange) << c.style;
            EXPECT_EQ(Control(sheet, kX, 2005)->isEnabled(), c.xRange) << c.style;
            EXPECT_EQ(Control(sheet, kY, 2028)->isEnabled(), c.yLog) << c.style;
            EXPECT_EQ(Control(sheet, kY, 2010)->isEnabled(), c.yMinor) << c.style;
            EXPECT_TRUE(Control(sheet, kY, 2004)->isEnabled());
            // The minor grid follows the major one.
            Click(sheet, kY, 2009);
            EXPECT_FALSE(Control(sheet, kY, 2010)->isEnabled());
            Click(sheet, kY, 2009);
            EXPECT_TRUE(Control(sheet, kY, 2010)->isEnabled());
        });
    }
    SheetGraph disabled;
    disabled.EnableAxisLogarithm(GRAPH_AXIS_X, plat::FALSE);
    RunSheet(disabled, [](plat::CPropertySheet* sheet) { EXPECT_FALSE(Control(sheet, kX, 2028)->isEnabled()); });
}

TEST(VelGraphPropertySheet, TheLegendBoxEnablesPositionAndLayoutAndMarksEnableTips)
{
    SheetGraph graph;
    graph.GetLegend().EnableShow(1);
    RunSheet(graph, [](plat::CPropertySheet* sheet) {
        const int options[] = {2019, 2021, 2020, 2022, 2017};
        for (int id : options) EXPECT_TRUE(Control(sheet, kGeneral, id)->isEnabled()) << id;
        EXPECT_EQ(Control(sheet, kGeneral, 2001)->property("checked").toBool(), true);
        EXPECT_TRUE(Control(sheet, kGeneral, 2020)->property("checked").toBool());  // right, the default
        Click(sheet, kGeneral, 2001);
        for (int id : options) EXPECT_FALSE(Control(sheet, kGeneral, id)->isEnabled()) << id;
        Click(sheet, kGeneral, 2001);
        for (int id : options) EXPECT_TRUE(Control(sheet, kGeneral, id)->isEnabled()) << id;

        EXPECT_TRUE(Control(sheet, kGeneral, 2003)->isEnabled());
        Click(sheet, kGeneral, 2002);
        EXPECT_FALSE(Control(sheet, kGeneral, 2003)->isEnabled());

        // One position at a time.
        Click(sheet, kGeneral, 2019);
        EXPECT_TRUE(Control(sheet, kGeneral, 2019)->property("checked").toBool());
        EXPECT_FALSE(Control(sheet, kGeneral, 2020)->property("checked").toBool());
    });

    SheetGraph locked;
    locked.EnableShowLegend(plat::FALSE);
    locked.EnableShowMarks(plat::FALSE);
    RunSheet(locked, [](plat::CPropertySheet* sheet) {
        EXPECT_FALSE(Control(sheet, kGeneral, 2001)->isEnabled());
        EXPECT_FALSE(Control(sheet, kGeneral, 2002)->isEnabled());
        EXPECT_FALSE(Control(sheet, kGeneral, 2019)->isEnabled());  // legend hidden
    });
}

// Opens the font dialog of a page, picks a font and red, and confirms.
void ChooseFont(plat::CPropertySheet* sheet, int page, const QFont& font)
{
    ModalAnswer<plat::CFontDialog> answer([&](plat::CFontDialog* dialog) {
        dialog->FontChooser()->setCurrentFont(font);
        dialog->SetColor(plat::RGB(255, 0, 0));
        dialog->accept();
    });
    Click(sheet, page, 2025);
    EXPECT_TRUE(answer.answered());
}

TEST(VelGraphPropertySheet, CancellingAfterAFontChangeKeepsTheFontButNotTheColour)
{
    SheetGraph graph;
    graph.SetXTitleColor(plat::RGB(0, 0, 128));
    QFont font = QApplication::font();
    font.setPixelSize(23);
    font.setItalic(true);
    RunSheet(graph, [&](plat::CPropertySheet* sheet) {
        ChooseFont(sheet, kX, font);
        sheet->reject();
    });
    EXPECT_EQ(graph.GetXTitleObject()->m_lfFont.lfHeight, -23);
    EXPECT_EQ(graph.GetXTitleObject()->m_lfFont.lfItalic, 1);
    EXPECT_EQ(graph.GetXTitleObject()->m_crText, plat::RGB(0, 0, 128));

    RunSheet(graph, [&](plat::CPropertySheet* sheet) {
        ChooseFont(sheet, kY, font);
        ChooseFont(sheet, kGeneral, font);
        sheet->accept();
    });
    const plat::LOGFONT& lfY = graph.GetYTitleObject()->m_lfFont;
    EXPECT_EQ(lfY.lfEscapement, 900);
    EXPECT_EQ(lfY.lfOrientation, 900);
    EXPECT_EQ(lfY.lfHeight, -23);
    EXPECT_EQ(graph.GetYTitleObject()->m_crText, plat::RGB(255, 0, 0));
    EXPECT_EQ(graph.GetTitleObject()->m_crText, plat::RGB(255, 0, 0));
    EXPECT_EQ(graph.GetTitleObject()->m_lfFont.lfEscapement, 0);
    EXPECT_EQ(graph.GetXTitleObject()->m_crText, plat::RGB(0, 0, 128));
}

TEST(VelGraphPropertySheet, EnterInARangeEditConfirmsTheSheet)
{
    SheetGraph graph;
    const plat::BOOL result = RunSheet(graph, [](plat::CPropertySheet* sheet) {
        SetText(sheet, kY, 2005, QStringLiteral("12.345"));
        auto* edit = Item<QLineEdit>(sheet, kY, 2005);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_FALSE(sheet->isVisible());
    });
    EXPECT_EQ(result, plat::TRUE);
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_Y)->dMax, 12.345);  // the edit's own check stays out of the way
}

TEST(VelGraphPropertySheet, AGraphWithoutTitlesOpensNoSheet)
{
    SheetGraph graph;
    graph.RemoveAll(plat::FALSE);
    EXPECT_EQ(graph.OnProperty(), plat::FALSE);
}

TEST(VelGraphPropertySheet, TheWindowsButtonAndDoubleClickOpenTheSheet)
{
    CVelGraphWnd wnd;
    wnd.resize(400, 300);
    wnd.show();
    QCoreApplication::processEvents();
    ASSERT_NE(wnd.GetButton(CVelGraphWnd::kIdProperty), nullptr);

    int nSheets = 0;
    {
        ModalAnswer<plat::CPropertySheet> answer([&](plat::CPropertySheet* sheet) {
            ++nSheets;
            Click(sheet, kGeneral, 2001);  // show the legend
            sheet->accept();
        });
        QTest::mouseClick(wnd.GetButton(CVelGraphWnd::kIdProperty), Qt::LeftButton);
        EXPECT_TRUE(answer.answered());
    }
    EXPECT_EQ(nSheets, 1);
    // The confirmed legend brings its button.
    EXPECT_FALSE(wnd.GetButton(CVelGraphWnd::kIdLegend)->isHidden());
    {
        ModalAnswer<plat::CPropertySheet> answer([&](plat::CPropertySheet* sheet) {
            ++nSheets;
            sheet->reject();
        });
        QTest::mouseDClick(&wnd, Qt::LeftButton, Qt::NoModifier, QPoint(200, 250));
        EXPECT_TRUE(answer.answered());
    }
    EXPECT_EQ(nSheets, 2);
}

}  // namespace
