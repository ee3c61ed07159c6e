#include "RenderTestPrint.h"
#include "display/VelButton.h"
#include "graph/VelGraph.h"
#include "graph/VelGraphWnd.h"
#include "platform/SpinButtonCtrl.h"
#include "render/VelGraphLegendDlg.h"
#include "support/ModalAnswer.h"

#include <QColorDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <gtest/gtest.h>

namespace {

// A dialog whose colour dialog answers with a fixed choice.
class ScriptedLegendDlg : public CVelGraphLegendDlg {
public:
    bool bChoose = true;
    plat::COLORREF crChoice = 0;
    int nAsked = 0;
    plat::COLORREF crAskedWith = 0;

protected:
    bool ChooseColor(plat::COLORREF& cr) override
    {
        ++nAsked;
        crAskedWith = cr;
        if (bChoose) cr = crChoice;
        return bChoose;
    }
};

QLineEdit* Edit(const plat::CDialog& dlg, int id)
{
    return dlg.GetDlgItem<QLineEdit>(id);
}

int CheckedStyle(const CVelGraphLegendDlg& dlg)
{
    int nChecked = -1;
    for (int k = 0; k < CVelGraphLegendDlg::kStyleCount; ++k)
        if (dlg.GetStyleButton(k)->IsChecked()) nChecked = nChecked == -1 ? k : -2;
    return nChecked;
}

// A graph with two shown series and its legend on, entry nSelected chosen.
struct LegendGraph {
    CVelGraph graph{nullptr, GRAPH_LINE};
    explicit LegendGraph(int nSelected)
    {
        graph.AddSeries(0, nullptr, nullptr);
        graph.AddSeries(0, nullptr, nullptr);
        graph.SetLegendLabel(0, QStringLiteral("Speed"));
        graph.SetLegendLabel(1, QStringLiteral("Torque"));
        CVelGraphSeries* p = graph.GetSeries(1);
        p->crColor = 0x0000FF;
        p->nWidth = 2;
        p->ePointStyle = POINT_SQUARE;
        graph.GetLegend().EnableShow(1);
        for (int i = 0; i < 2; ++i) graph.GetLegend().GetItem(i)->EnableActivate(i == nSelected);
    }
};

}  // namespace

TEST(VelGraphLegendDlgTest, TemplateTextsAndIds)
{
    CVelGraphLegendDlg dlg;
    ASSERT_TRUE(dlg.Template().IsValid());
    EXPECT_EQ(dlg.Template().nId, 4001);
    EXPECT_EQ(dlg.Template().strCaption, QStringLiteral("图例属性修改"));
    EXPECT_EQ(dlg.Template().cx, 198);
    EXPECT_EQ(dlg.Template().cy, 153);
    EXPECT_EQ(dlg.Template().strFaceName, QStringLiteral("MS Shell Dlg"));
    QStringList texts;
    for (const auto& item : dlg.Template().items) texts << item.strText;
    for (const char* text : {"标签：", "颜色：", "宽度：", "象素点", "序列曲线属性", "标记点型", "无", "确认", "取消"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(text))) << text;
    for (int id : {2012, 2013, 2014, 2015, 2016, 2017, 2018, 2019, 2020, 2021, 2022, 1, 2})
        EXPECT_NE(dlg.Template().Find(id), nullptr) << id;
    EXPECT_EQ(dlg.Template().Find(2015)->strClass, QStringLiteral("msctls_updown32"));
}

TEST(VelGraphLegendDlgTest, InitialisationShowsTheFieldsSwatchIconsAndSelectedStyle)
{
    CVelGraphLegendDlg dlg;
    dlg.m_strLabel = QStringLiteral("Torque");
    dlg.m_crColor = 0x20A040;
    dlg.m_nWidth = 3;
    dlg.m_nPointStyle = 4;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("图例属性修改"));
    EXPECT_EQ(Edit(dlg, 2012)->text(), QStringLiteral("Torque"));
    EXPECT_EQ(Edit(dlg, 2014)->text(), QStringLiteral("3"));
    EXPECT_NE(dlg.GetDlgItem<plat::CSpinButtonCtrl>(2015), nullptr);

    CVelButton* pColor = dlg.GetColorButton();
    ASSERT_NE(pColor, nullptr);
    EXPECT_EQ(pColor, dlg.GetDlgItem(2013));
    // The face shows the colour: no transparency, all three backgrounds.
    const QImage face = pColor->grab().toImage();
    EXPECT_EQ(face.pixelColor(face.width() / 2, face.height() / 2), QColor(0x40, 0xA0, 0x20));

    EXPECT_EQ(CheckedStyle(dlg), 4);
    EXPECT_EQ(dlg.GetStyleButton(0)->text(), QStringLiteral("无"));
    EXPECT_EQ(dlg.GetStyleButton(0)->GetIcon(CVelButton::IconNormal), nullptr);
    for (int k = 1; k < CVelGraphLegendDlg::kStyleCount; ++k) {
        EXPECT_NE(dlg.GetStyleButton(k)->GetIcon(CVelButton::IconNormal), nullptr) << k;
        EXPECT_EQ(dlg.GetStyleButton(k)->GetIconSize(), plat::CSize(16, 16)) << k;
    }
}

TEST(VelGraphLegendDlgTest, StyleButtonsSelectExactlyOne)
{
    CVelGraphLegendDlg dlg;
    dlg.m_nWidth = 1;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(CheckedStyle(dlg), 0);
    for (int k : {6, 1, 0, 3}) {
        dlg.GetStyleButton(k)->click();
        EXPECT_EQ(dlg.m_nPointStyle, k);
        EXPECT_EQ(CheckedStyle(dlg), k);
    }
}

TEST(VelGraphLegendDlgTest, SpinStepsTheWidthWithinOneToFive)
{
    CVelGraphLegendDlg dlg;
    dlg.m_nWidth = 4;
    ASSERT_TRUE(dlg.Create());
    auto* pSpin = dlg.GetDlgItem<plat::CSpinButtonCtrl>(2015);
    QLineEdit* pWidth = Edit(dlg, 2014);
    const struct {
        int iDelta;
        const char* result;
    } steps[] = {{-1, "5"}, {-1, "5"}, {1, "4"}, {1, "3"}, {1, "2"}, {1, "1"}, {1, "1"}, {-1, "2"}};
    for (const auto& s : steps) {
        emit pSpin->deltaPos(s.iDelta);
        EXPECT_EQ(pWidth->text(), QString::fromLatin1(s.result));
    }
    // The arrows sit at the right end of the field, not over the text after it.
    EXPECT_EQ(pSpin->geometry().left(), pWidth->geometry().right() + 1);
}

TEST(VelGraphLegendDlgTest, WidthOutsideTheRangeKeepsTheDialogOpen)
{
    for (const char* text : {"0", "6", "-3"}) {
        CVelGraphLegendDlg dlg;
        dlg.m_nWidth = 2;
        ASSERT_TRUE(dlg.Create());
        Edit(dlg, 2014)->setText(QString::fromLatin1(text));
        dlg.show();
        QString message;
        ModalAnswer<QMessageBox> box([&](QMessageBox* b) {
            message = b->text();
            b->accept();
        });
        dlg.GetDlgItem<QAbstractButton>(plat::IDOK)->click();
        EXPECT_TRUE(box.answered()) << text;
        EXPECT_EQ(message, QStringLiteral("Please enter an integer between 1 and 5.")) << text;
        EXPECT_TRUE(dlg.isVisible()) << text;
        EXPECT_EQ(dlg.result(), 0) << text;
        dlg.reject();
    }
}

TEST(VelGraphLegendDlgTest, ColourButtonTakesTheChosenColourOrKeepsItOnCancel)
{
    ScriptedLegendDlg dlg;
    dlg.m_crColor = 0x112233;
    dlg.m_nWidth = 1;
    ASSERT_TRUE(dlg.Create());
    dlg.bChoose = false;
    dlg.crChoice = 0x00FF00;
    dlg.GetColorButton()->click();
    EXPECT_EQ(dlg.nAsked, 1);
    EXPECT_EQ(dlg.crAskedWith, 0x112233u);
    EXPECT_EQ(dlg.m_crColor, 0x112233u);

    dlg.bChoose = true;
    dlg.GetColorButton()->click();
    EXPECT_EQ(dlg.m_crColor, 0x00FF00u);
    const QImage face = dlg.GetColorButton()->grab().toImage();
    EXPECT_EQ(face.pixelColor(face.width() / 2, face.height() / 2), QColor(0, 255, 0));
}

TEST(VelGraphLegendDlgTest, StandardColourDialogOpensOnTheCurrentColour)
{
    CVelGraphLegendDlg dlg;
    dlg.m_crColor = plat::RGB(10, 20, 30);
    dlg.m_nWidth = 1;
    ASSERT_TRUE(dlg.Create());
    QColor shown;
    ModalAnswer<QColorDialog> colours([&](QColorDialog* d) {
        shown = d->currentColor();
        d->setCurrentColor(QColor(200, 100, 50));
        d->accept();
    });
    dlg.OnColorButton();
    EXPECT_EQ(shown, QColor(10, 20, 30));
    EXPECT_EQ(dlg.m_crColor, plat::RGB(200, 100, 50));
}

TEST(VelGraphLegendDlgTest, LegendOkCopiesLabelColourWidthAndMarkerBack)
{
    LegendGraph g(1);
    int nAnswered = 0;
    ModalAnswer<CVelGraphLegendDlg> answer([&](CVelGraphLegendDlg* d) {
        ++nAnswered;
        EXPECT_EQ(Edit(*d, 2012)->text(), QStringLiteral("Torque"));
        EXPECT_EQ(Edit(*d, 2014)->text(), QStringLiteral("2"));
        EXPECT_EQ(d->m_crColor, 0x0000FFu);
        EXPECT_EQ(CheckedStyle(*d), POINT_SQUARE);
        Edit(*d, 2012)->setText(QStringLiteral("Torque(Ncm)"));
        Edit(*d, 2014)->setText(QStringLiteral("4"));
        d->GetStyleButton(POINT_DIAMOND)->click();
        d->m_crColor = 0x00AA00;
        d->GetDlgItem<QAbstractButton>(plat::IDOK)->click();
    });
    EXPECT_EQ(g.graph.OnLegendProperty(), 1);
    EXPECT_EQ(nAnswered, 1);
    EXPECT_EQ(g.graph.GetLegend().GetItem(1)->GetLabel(), QStringLiteral("Torque(Ncm)"));
    const CVelGraphSeries* p = g.graph.GetSeries(1);
    EXPECT_EQ(p->nWidth, 4);
    EXPECT_EQ(p->ePointStyle, POINT_DIAMOND);
    EXPECT_EQ(p->crColor, 0x00AA00u);
    // The other entry and series are untouched.
    EXPECT_EQ(g.graph.GetLegend().GetItem(0)->GetLabel(), QStringLiteral("Speed"));
    EXPECT_EQ(g.graph.GetSeries(0)->nWidth, 1);
}

TEST(VelGraphLegendDlgTest, LegendCancelChangesNothing)
{
    LegendGraph g(1);
    ModalAnswer<CVelGraphLegendDlg> answer([&](CVelGraphLegendDlg* d) {
        Edit(*d, 2012)->setText(QStringLiteral("changed"));
        d->GetStyleButton(POINT_NONE)->click();
        d->m_crColor = 0x00AA00;
        d->GetDlgItem<QAbstractButton>(plat::IDCANCEL)->click();
    });
    EXPECT_EQ(g.graph.OnLegendProperty(), 0);
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(g.graph.GetLegend().GetItem(1)->GetLabel(), QStringLiteral("Torque"));
    const CVelGraphSeries* p = g.graph.GetSeries(1);
    EXPECT_EQ(p->crColor, 0x0000FFu);
    EXPECT_EQ(p->nWidth, 2);
    EXPECT_EQ(p->ePointStyle, POINT_SQUARE);
}

TEST(VelGraphLegendDlgTest, NoSelectedEntryOpensNoDialog)
{
    LegendGraph g(-1);
    EXPECT_EQ(g.graph.OnLegendProperty(), 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // An entry without a series has nothing to edit either.
    g.graph.GetLegend().AddOneLegend(QStringLiteral("orphan"));
    g.graph.GetLegend().GetItem(2)->EnableActivate(1);
    EXPECT_EQ(g.graph.OnLegendProperty(), 0);
}

TEST(VelGraphLegendDlgTest, WindowLaysTheLegendOutAgainForALongerLabel)
{
    CVelGraphWnd wnd;
    wnd.AddSeries(0, nullptr, nullptr);
    wnd.SetLegendLabel(0, QStringLiteral("A"));
    wnd.GetGraph()->GetLegend().EnableShow(1);
    wnd.resize(500, 300);
    wnd.AdjustLayout();
    const plat::CRect rcBefore = wnd.GetGraph()->GetLegend().GetBound();
    ASSERT_FALSE(rcBefore.IsRectEmpty());

    ModalAnswer<CVelGraphLegendDlg> answer([](CVelGraphLegendDlg* d) {
        Edit(*d, 2012)->setText(QStringLiteral("A much longer label"));
        d->GetDlgItem<QAbstractButton>(plat::IDOK)->click();
    });
    wnd.OnClickButton(CVelGraphWnd::kIdLegend);
    EXPECT_TRUE(answer.answered());
    EXPECT_GT(wnd.GetGraph()->GetLegend().GetBound().Width(), rcBefore.Width());
}
