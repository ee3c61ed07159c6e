#include "input/VelInEdit.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

using namespace plat;

namespace {

TEST(VelInEdit, NumberTextReadsClampsAndFormats)
{
    constexpr double kMax = std::numeric_limits<double>::max();
    struct Case {
        const char* text;
        double min, max;
        unsigned precision;
        const char* expected;
    } cases[] = {
        {"150", 1, 100, 0, "100"},
        {"", 1, 100, 0, "1"},
        {"abc", -5, 5, 0, "0"},
        {"12abc", 0, 100, 0, "12"},
        {"  -3.25 ", -10, 10, 2, "-3.25"},
        {"3.14159", 0, 10, 3, "3.142"},
        {"2.5", 0, 10, 0, "3"},  // halves round away from zero
        {".5", 0, 1, 1, "0.5"},
        {"1e2", 0, 1000, 0, "100"},
        {"1e", 0, 1000, 0, "1"},
        {"-", 0, 10, 0, "0"},
        {"1.2.3", 0, 10, 1, "1.2"},
        {"- 5", -10, 10, 0, "0"},
        {"nan", 1, 9, 0, "1"},
        {"inf", 1, 9, 0, "1"},
        {"0x1F", 0, 100, 0, "0"},
        {"1e999", 0, 50, 0, "50"},
        {"-1e999", -50, 50, 0, "-50"},
        {"7", -kMax, kMax, 0, "7"},
        {"1", 0, 10, 4000000000u, "1.000000000000000000000000000000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CVelInEdit::NumberText(QString::fromUtf8(c.text), c.min, c.max, c.precision), QString::fromUtf8(c.expected))
            << "text \"" << c.text << "\"";
}

// An edit made by Create on a shown, active host.
class InEditFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.resize(200, 80);
        host.setFocusPolicy(Qt::StrongFocus);
        host.show();
        QApplication::setActiveWindow(&host);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    }

    CVelInEdit* Open(CVelInEdit* edit)
    {
        ends = 0;
        QObject::connect(edit, &CVelInEdit::endLabelEdit, [this](sInPlaceNotify& info) {
            last = info;
            ++ends;
        });
        EXPECT_TRUE(edit->Create(CVelInEdit::kListStyle, CRect(10, 10, 110, 34), &host, 1003));
        EXPECT_TRUE(edit->hasFocus());
        return edit;
    }

    QWidget host;
    int ends = 0;
    sInPlaceNotify last;
};

TEST_F(InEditFixture, NumberModeDropsWhatCannotBeANumber)
{
    struct Case {
        bool minus;
        unsigned precision;
        const char* typed;
        const char* kept;
    } cases[] = {
        {false, 0, "-12.5ab 3", "125 3"},
        {true, 0, "-12.5", "-125"},
        {false, 2, "1.5.", "1.5."},
        {true, 1, "--1..2", "--1..2"},
        {false, 0, "x9+e", "9"},
    };
    for (const Case& c : cases) {
        auto* edit = new CVelInEdit(0, 0, QString());
        edit->EnableNumEdit(-1000, 1000);
        if (c.minus) edit->EnableMinus();
        edit->SetPrecision(c.precision);
        Open(edit);
        QTest::keyClicks(edit, QString::fromUtf8(c.typed));
        EXPECT_EQ(edit->text(), QString::fromUtf8(c.kept)) << "typed " << c.typed;
        delete edit;
    }
}

TEST_F(InEditFixture, FocusLossSendsOneListNotification)
{
    auto* edit = Open(new CVelInEdit(5, 2, QStringLiteral("old")));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("old"));
    QTest::keyClicks(edit, QStringLiteral("new"));
    host.setFocus();
    ASSERT_EQ(ends, 1);
    EXPECT_EQ(last.code, LVN_ENDLABELEDITA);
    EXPECT_EQ(last.hwndFrom, &host);
    EXPECT_EQ(last.idFrom, 1003);
    EXPECT_EQ(last.mask, LVIF_TEXT);
    EXPECT_EQ(last.iItem, 5);
    EXPECT_EQ(last.iSubItem, 2);
    EXPECT_EQ(last.strText, QStringLiteral("new"));
    EXPECT_EQ(last.cchTextMax, 3);
    edit->setFocus();
    host.setFocus();
    EXPECT_EQ(ends, 1);
}

TEST_F(InEditFixture, TreeFormCarriesItsHandleAndValue)
{
    auto hItem = reinterpret_cast<HTREEITEM>(0x40);
    auto* edit = Open(new CVelInEdit(hItem, 77, QStringLiteral("node")));
    QTest::keyClick(edit, Qt::Key_Enter);
    ASSERT_EQ(ends, 1);
    EXPECT_EQ(last.code, TVN_ENDLABELEDITA);
    EXPECT_EQ(last.hItem, hItem);
    EXPECT_EQ(last.lParam, 77);
    EXPECT_EQ(last.strText, QStringLiteral("node"));
    EXPECT_TRUE(host.hasFocus());
}

TEST_F(InEditFixture, AContextMenuDoesNotEndTheEdit)
{
    auto* edit = Open(new CVelInEdit(0, 0, QStringLiteral("a")));
    QFocusEvent out(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(edit, &out);
    EXPECT_EQ(ends, 0);
    QFocusEvent gone(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(edit, &gone);
    EXPECT_EQ(ends, 1);
}

TEST_F(InEditFixture, EscapeReportsTheInitialTextInNumberModeToo)
{
    auto* edit = new CVelInEdit(0, 0, QStringLiteral("12"));
    edit->EnableNumEdit(50, 60);
    Open(edit);
    QTest::keyClicks(edit, QStringLiteral("55"));
    QTest::keyClick(edit, Qt::Key_Escape);
    ASSERT_EQ(ends, 1);
    EXPECT_TRUE(edit->IsEscaped());
    EXPECT_EQ(last.strText, QStringLiteral("12"));
}

TEST_F(InEditFixture, OwnFontIsAppliedAtCreationElseTheParentsFont)
{
    QFont parentFont = host.font();
    parentFont.setPixelSize(23);
    host.setFont(parentFont);
    auto* plain = Open(new CVelInEdit(0, 0, QString()));
    EXPECT_EQ(plain->font().pixelSize(), 23);

    auto* own = new CVelInEdit(0, 0, QString());
    LOGFONT lf;
    lf.lfHeight = -11;
    lf.lfWeight = FW_BOLD;
    own->SetUserFont(lf);
    Open(own);
    EXPECT_NE(own->font().pixelSize(), 23);
    EXPECT_TRUE(own->font().bold());
}

}  // namespace
