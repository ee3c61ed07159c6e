#include "input/ACComboBox.h"
#include "input/ACMatchList.h"
#include "InputFixtures.h"

#include "platform/InvalidArgException.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

using namespace plat;

namespace {

struct Matches {
    QList<int> items;
    QStringList texts;
};

Matches MatchesOf(const CACMatchList& list)
{
    Matches m;
    for (int i = 0; i < list.GetMatchCount(); ++i) {
        m.items << list.GetMatch(i).nItem;
        m.texts << list.GetMatch(i).strText;
    }
    return m;
}

// A shown window with one auto-complete combo box at (10, 10).
struct Form {
    QWidget window;
    CACComboBox* combo;
    QLineEdit* other;
    explicit Form(const QStringList& items)
    {
        window.resize(260, 80);
        combo = new CACComboBox(&window);
        combo->setGeometry(10, 10, 160, 24);
        combo->addItems(items);
        combo->setCurrentIndex(-1);
        other = new QLineEdit(&window);
        other->setGeometry(10, 44, 160, 24);
    }
    void Show()
    {
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QLineEdit* edit() const { return combo->lineEdit(); }
    CACMatchList* list() const { return combo->GetMatchList(); }
    void Type(const QString& text) { QTest::keyClicks(edit(), text); }
    void Retype(const QString& text)
    {
        edit()->clear();
        Type(text);
    }
};

void SendMouse(QWidget* w, QEvent::Type type, QPoint at)
{
    QMouseEvent event(type, at, w->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

TEST(ACComboBox, CompletesToTheFirstMatchInEitherLetterCase)
{
    Form f({QStringLiteral("Birne"), QStringLiteral("apfel"), QStringLiteral("APRIKOSE")});
    f.Show();
    for (const QString& typed : {QStringLiteral("ap"), QStringLiteral("AP"), QStringLiteral("aP")}) {
        f.Retype(typed);
        EXPECT_EQ(f.edit()->text(), QStringLiteral("apfel")) << typed.toStdString();
        EXPECT_EQ(f.edit()->selectedText(), QStringLiteral("fel")) << typed.toStdString();
        EXPECT_EQ(f.edit()->selectionStart(), 2);
        EXPECT_EQ(f.edit()->cursorPosition(), 2);
        const Matches m = MatchesOf(*f.list());
        EXPECT_EQ(m.items, QList<int>({1, 2}));
        EXPECT_EQ(m.texts, QStringList({QStringLiteral("apfel"), QStringLiteral("APRIKOSE")}));
        EXPECT_TRUE(f.list()->isVisible());
    }
    // Typing on replaces the selected part and narrows the list.
    f.Retype(QStringLiteral("apr"));
    EXPECT_EQ(f.edit()->text(), QStringLiteral("APRIKOSE"));
    EXPECT_EQ(f.edit()->selectedText(), QStringLiteral("IKOSE"));
    EXPECT_EQ(MatchesOf(*f.list()).items, QList<int>({2}));
}

TEST(ACComboBox, NoMatchKeepsTheTextAndHidesTheList)
{
    Form f({QStringLiteral("Birne"), QStringLiteral("apfel")});
    f.Show();
    f.Type(QStringLiteral("a"));
    ASSERT_TRUE(f.list()->isVisible());
    f.Type(QStringLiteral("x"));  // replaces the completed "pfel"
    EXPECT_EQ(f.edit()->text(), QStringLiteral("ax"));
    EXPECT_FALSE(f.edit()->hasSelectedText());
    EXPECT_FALSE(f.list()->isVisible());
    EXPECT_EQ(f.list()->GetMatchCount(), 0);
}

TEST(ACComboBox, EmptiedFieldListsAllAndFillsTheFirstFullySelected)
{
    Form f({QStringLiteral("Birne"), QStringLiteral("apfel"), QStringLiteral("Quitte")});
    f.Show();
    f.Type(QStringLiteral("q"));
    ASSERT_EQ(f.edit()->text(), QStringLiteral("Quitte"));
    f.edit()->selectAll();
    QTest::keyClick(f.edit(), Qt::Key_Backspace);
    EXPECT_EQ(f.edit()->text(), QStringLiteral("Birne"));
    EXPECT_EQ(f.edit()->selectedText(), QStringLiteral("Birne"));
    EXPECT_EQ(MatchesOf(*f.list()).items, QList<int>({0, 1, 2}));
    EXPECT_TRUE(f.list()->isVisible());
}

TEST(ACComboBox, ListGoesBelowOrAboveAndNeverAboveTheScreen)
{
    struct Case {
        const char* what;
        QRect combo, screen;
        int listHeight;
        QRect want;
    };
    const Case cases[] = {
        {"below", {100, 100, 150, 24}, {0, 0, 800, 600}, 80, {100, 124, 150, 82}},
        {"just fits below", {100, 496, 150, 24}, {0, 0, 800, 600}, 80, {100, 520, 150, 82}},
        {"one pixel short: above", {100, 497, 150, 24}, {0, 0, 800, 600}, 80, {100, 415, 150, 82}},
        {"near the bottom", {100, 560, 150, 24}, {0, 0, 800, 600}, 80, {100, 478, 150, 82}},
        {"no room either way: from the top", {100, 50, 150, 24}, {0, 0, 800, 100}, 96, {100, 0, 150, 50}},
        {"second screen below the first", {10, 1900, 150, 24}, {0, 1080, 1920, 1080}, 960, {10, 1080, 150, 820}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CACMatchList::ListRect(c.combo, c.screen, c.listHeight, c.combo.width()), c.want) << c.what;
}

TEST(ACComboBox, ShownListSitsAboveAComboNearTheScreenBottom)
{
    Form f({QStringLiteral("one"), QStringLiteral("only"), QStringLiteral("onto")});
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    f.window.move(screen.left() + 20, screen.bottom() - 45);
    f.Show();
    f.Type(QStringLiteral("o"));
    ASSERT_TRUE(f.list()->isVisible());
    const QRect combo(f.combo->mapToGlobal(QPoint(0, 0)), f.combo->size());
    const int h = f.list()->GetRowHeight();
    EXPECT_EQ(f.list()->geometry(), QRect(combo.left(), combo.top() - 3 * h - 2, combo.width(), 3 * h + 2));

    f.window.move(screen.left() + 20, screen.top() + 40);
    f.combo->WindowMove();
    EXPECT_EQ(f.list()->geometry().top(), f.combo->mapToGlobal(QPoint(0, f.combo->height())).y());
}

TEST(ACComboBox, MoreThanEightMatchesScrollByWholeRows)
{
    QStringList items;
    for (int i = 0; i < 12; ++i) items << QStringLiteral("Item %1").arg(i, 2, 10, QChar(u'0'));
    Form f(items);
    f.Show();
    f.Type(QStringLiteral("i"));
    CACMatchList* list = f.list();
    ASSERT_EQ(list->GetMatchCount(), 12);
    const int h = list->GetRowHeight();
    EXPECT_EQ(list->height(), 8 * h + 2);
    EXPECT_TRUE(list->IsScrollBarShown());
    EXPECT_EQ(list->GetScrollMax(), 11);
    EXPECT_EQ(list->GetScrollPage(), (8 * h + 2) / h);

    struct Step {
        int code, pos, want;
    };
    const Step steps[] = {
        {CACMatchList::SB_PAGEDOWN, 0, 4},  // min(0 + 8, 12 - 8)
        {CACMatchList::SB_LINEDOWN, 0, 4},  // 4 + 1 + 8 > 12
        {CACMatchList::SB_PAGEUP, 0, 0},
        {CACMatchList::SB_LINEUP, 0, 0},
        {CACMatchList::SB_LINEDOWN, 0, 1},
        {CACMatchList::SB_THUMBTRACK, 3, 3},
        {CACMatchList::SB_PAGEDOWN, 0, 4},
        {CACMatchList::SB_PAGEUP, 0, 0},
        {4, 0, 0},  // other codes change nothing
        {CACMatchList::SB_THUMBTRACK, 2, 2},
    };
    for (const Step& s : steps) {
        list->OnVScroll(s.code, s.pos);
        EXPECT_EQ(list->GetScrollPos(), s.want) << "code " << s.code;
    }

    // The first row shown is the scroll position's match; a click picks it.
    list->OnVScroll(CACMatchList::SB_PAGEDOWN);
    ASSERT_EQ(list->GetScrollPos(), 4);
    SendMouse(list, QEvent::MouseButtonRelease, QPoint(10, 1 + h / 2));
    EXPECT_EQ(f.combo->currentIndex(), 4);
    EXPECT_FALSE(list->isVisible());
}

TEST(ACComboBox, FewMatchesNeedNoScrollBar)
{
    Form f({QStringLiteral("alpha"), QStringLiteral("beta")});
    f.Show();
    f.Type(QStringLiteral("a"));
    EXPECT_FALSE(f.list()->IsScrollBarShown());
    EXPECT_EQ(f.list()->height(), f.list()->GetRowHeight() + 2);
    f.list()->OnVScroll(CACMatchList::SB_LINEDOWN);
    EXPECT_EQ(f.list()->GetScrollPos(), 0);
}

TEST(ACComboBox, ClickSelectsByItemIndexNotByText)
{
    Form f({QStringLiteral("Tea"), QStringLiteral("Toast"), QStringLiteral("Tea")});
    f.Show();
    f.Type(QStringLiteral("te"));
    ASSERT_EQ(MatchesOf(*f.list()).items, QList<int>({0, 2}));
    const int h = f.list()->GetRowHeight();
    SendMouse(f.list(), QEvent::MouseButtonPress, QPoint(10, 1 + h + h / 2));
    SendMouse(f.list(), QEvent::MouseButtonRelease, QPoint(10, 1 + h + h / 2));
    EXPECT_EQ(f.combo->currentIndex(), 2);
    EXPECT_EQ(f.list()->GetHotIndex(), 1);
    EXPECT_FALSE(f.list()->isVisible());
}

TEST(ACComboBox, RowUnderThePointerIsNavy)
{
    Form f({QStringLiteral("red"), QStringLiteral("rose"), QStringLiteral("ruby")});
    f.Show();
    f.Type(QStringLiteral("r"));
    CACMatchList* list = f.list();
    const int h = list->GetRowHeight();
    // The row's last pixel still belongs to it, for pointing as for clicking.
    SendMouse(list, QEvent::MouseMove, QPoint(20, 2 * h));
    EXPECT_EQ(list->GetHotIndex(), 1);
    SendMouse(list, QEvent::MouseMove, QPoint(20, 1 + 2 * h));
    EXPECT_EQ(list->GetHotIndex(), 2);
    const QImage shot = list->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.pixel(1, 1 + 2 * h), PixelOf(0x800000));
    EXPECT_EQ(shot.pixel(list->width() - 2, 1 + 2 * h + h - 1), PixelOf(0x800000));
    EXPECT_EQ(shot.pixel(1, 1 + h), qRgb(255, 255, 255));
    EXPECT_EQ(shot.pixel(0, 1 + 2 * h), qRgb(0, 0, 0));  // the outline
    EXPECT_GT(CountNear(shot, QRect(2, 1 + 2 * h, list->width() - 4, h), qRgb(255, 255, 255)), 5);
    EXPECT_GT(CountNear(shot, QRect(2, 1, list->width() - 4, h), qRgb(0, 0, 0)), 5);
}

TEST(ACComboBox, ListHidesOnSelectionChangeAndFocusLoss)
{
    Form f({QStringLiteral("left"), QStringLiteral("light")});
    f.Show();
    f.Type(QStringLiteral("l"));
    ASSERT_TRUE(f.list()->isVisible());
    f.combo->setCurrentIndex(1);
    EXPECT_FALSE(f.list()->isVisible());

    QApplication::setActiveWindow(&f.window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.window));
    f.combo->setFocus();
    ASSERT_TRUE(f.combo->hasFocus());
    f.Retype(QStringLiteral("le"));
    ASSERT_TRUE(f.list()->isVisible());
    f.other->setFocus();
    EXPECT_FALSE(f.list()->isVisible());

    f.combo->setFocus();
    f.Retype(QStringLiteral("li"));
    ASSERT_TRUE(f.list()->isVisible());
    f.window.hide();
    EXPECT_FALSE(f.list()->isVisible());
}

TEST(ACComboBox, ProgramTextAndMisuseAreSafe)
{
    Form f({QStringLiteral("alpha")});
    f.Show();
    f.edit()->setText(QStringLiteral("a"));  // set by the program: no completion
    EXPECT_EQ(f.edit()->text(), QStringLiteral("a"));
    EXPECT_FALSE(f.list()->isVisible());
    EXPECT_THROW(f.list()->GetMatch(0), plat::CInvalidArgException);
    f.combo->clear();
    f.Retype(QStringLiteral("a"));
    EXPECT_FALSE(f.list()->isVisible());
    EXPECT_EQ(f.combo->count(), 0);

    CACMatchList orphan;  // without an owner it paints and scrolls nothing
    orphan.OnVScroll(CACMatchList::SB_LINEDOWN);
    EXPECT_EQ(orphan.GetScrollPos(), 0);
    EXPECT_FALSE(orphan.Create(nullptr));
}

}  // namespace
