#include "input/VelEdit.h"

#include "platform/ResourceModule.h"
#include "platform/SysColor.h"
#include "support/ModalAnswer.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records the messages instead of showing them, and counts button clicks.
class ProbeEdit : public CVelEdit {
public:
    using CVelEdit::CVelEdit;
    std::vector<QString> messages;
    int nClicks = 0;
    bool bBrowse = false;  // let clicks reach the dialogs

protected:
    void ShowMessage(const plat::CString& strText) override { messages.push_back(strText); }
    void OnClickButton() override
    {
        ++nClicks;
        if (bBrowse) CVelEdit::OnClickButton();
    }
};

QString Message(plat::UINT id, const QString& arg = {})
{
    QString text = plat::CResourceModule::Library().LoadString(id);
    return arg.isEmpty() ? text : text.replace(QLatin1String("%s"), arg);
}

QPoint Center(const plat::CRect& r)
{
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// A number field of precision 2 and range 0..100 with minus allowed, shown.
struct NumberField {
    QWidget host;
    ProbeEdit edit{&host};
    explicit NumberField(bool bMinus = true)
    {
        edit.EnableNumberEdit();
        if (bMinus) edit.EnableMinus();
        edit.SetPrecision(2);
        edit.SetRange(0.0, 100.0);
        edit.setGeometry(10, 10, 120, 24);
        host.resize(200, 60);
        host.show();
        edit.setFocus();
    }
    // Types text into the cleared field and runs the check the timer would run.
    void TypeAndCheck(const QString& text)
    {
        edit.clear();
        QTest::keyClicks(&edit, text);
        edit.OnCheckTimer();
    }
};

TEST(VelEditNumber, TypedTextsAreCheckedAfterTheDelay)
{
    const struct {
        const char* typed;
        bool minus;
        const char* shown;  // after the check
        int message;        // 0: none
        const char* arg;
    } cases[] = {
        {"12.345", true, "10.00", 0, ""},
        {"150", true, "10.00", 4006, "100.00"},
        {"-", true, "10.00", 4004, ""},
        {"5-", true, "10.00", 4005, ""},
        {".5", true, "10.00", 4005, ""},
        {"00", true, "10.00", 4005, ""},
        {"-00", true, "10.00", 4005, ""},
        {"0", true, "0", 0, ""},
        {"-0", true, "-0", 0, ""},
        {"-5", false, "5", 0, ""},          // "-" refused while minus is not allowed
        {"12a.5b", true, "12.5", 0, ""},    // letters are dropped
        {"1.2.3", true, "1.23", 0, ""},     // a second point is dropped
    };
    for (const auto& c : cases) {
        NumberField f(c.minus);
        f.edit.SetValue(10.0);
        f.TypeAndCheck(QString::fromLatin1(c.typed));
        EXPECT_EQ(f.edit.text(), QString::fromLatin1(c.shown)) << c.typed;
        if (c.message == 0) {
            EXPECT_TRUE(f.edit.messages.empty()) << c.typed;
        } else {
            ASSERT_EQ(f.edit.messages.size(), 1u) << c.typed;
            EXPECT_EQ(f.edit.messages[0], Message(c.message, QString::fromLatin1(c.arg))) << c.typed;
        }
    }
}

TEST(VelEditNumber, TheRefusalIsAMessageBoxWithTheLibrarysText)
{
    QWidget host;
    CVelEdit edit(&host);
    edit.EnableNumberEdit();
    edit.SetPrecision(2);
    edit.SetRange(0.0, 100.0);
    edit.SetValue(20.0);
    edit.setText(QStringLiteral("150"));
    QString shown;
    ModalAnswer<QMessageBox> answer([&](QMessageBox* box) {
        shown = box->text();
        box->accept();
    });
    EXPECT_FALSE(edit.JudgeNumberIsLegal());
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(shown, QStringLiteral("数值错误，不能大于100.00！"));
    EXPECT_EQ(edit.text(), QStringLiteral("20.00"));

    edit.setText(QStringLiteral("-3"));
    ModalAnswer<QMessageBox> answer2([&](QMessageBox* box) {
        shown = box->text();
        box->accept();
    });
    EXPECT_FALSE(edit.JudgeNumberIsLegal());
    EXPECT_EQ(shown, QStringLiteral("数值错误，不能小于0.00！"));
}

TEST(VelEditNumber, AnAcceptedNewNumberIsAnnouncedOnce)
{
    NumberField f;
    f.edit.SetValue(10.0);
    QSignalSpy accepted(&f.edit, &CVelEdit::numberAccepted);
    f.TypeAndCheck(QStringLiteral("42.5"));
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_EQ(f.edit.GetLastAcceptedText(), QStringLiteral("42.5"));
    f.edit.OnCheckTimer();  // the same text again
    EXPECT_EQ(accepted.count(), 1);
}

TEST(VelEditNumber, PrecisionZeroIgnoresThePointAndSixDecimalsToleranceAcceptsATinyExcess)
{
    NumberField f;
    f.edit.SetPrecision(0);
    f.edit.clear();
    QTest::keyClicks(&f.edit, QStringLiteral("1.5"));
    EXPECT_EQ(f.edit.text(), QStringLiteral("15"));

    f.edit.SetPrecision(6);
    f.edit.SetValue(1.0);
    QSignalSpy accepted(&f.edit, &CVelEdit::numberAccepted);
    f.TypeAndCheck(QStringLiteral("100.000001"));
    EXPECT_EQ(f.edit.text(), QStringLiteral("100.000001"));
    EXPECT_TRUE(f.edit.messages.empty());
    EXPECT_EQ(accepted.count(), 1);
}

TEST(VelEditNumber, SetValueClampsFormatsAndDoesNotAnnounce)
{
    NumberField f;
    QSignalSpy accepted(&f.edit, &CVelEdit::numberAccepted);
    const struct {
        double value;
        const char* shown;
    } doubles[] = {{3.14159, "3.14"}, {250, "100.00"}, {-7, "0.00"}};
    for (const auto& c : doubles) {
        f.edit.SetValue(c.value);
        EXPECT_EQ(f.edit.text(), QString::fromLatin1(c.shown));
        EXPECT_EQ(f.edit.GetLastAcceptedText(), QString::fromLatin1(c.shown));
    }
    f.edit.SetRange(-5.5, 10.9);
    f.edit.SetValue(50L);
    EXPECT_EQ(f.edit.text(), QStringLiteral("10"));
    f.edit.SetValue(-50L);
    EXPECT_EQ(f.edit.text(), QStringLiteral("-5"));
    EXPECT_EQ(accepted.count(), 0);

    // The widest range (the default) must not wrap when made whole.
    CVelEdit wide;
    wide.SetValue(123456L);
    EXPECT_EQ(wide.text(), QStringLiteral("123456"));
    wide.SetValue(-42L);
    long n = 0;
    wide.GetValue(n);
    EXPECT_EQ(n, -42);
    wide.setText(QStringLiteral("2.75 rpm"));
    double d = 0;
    wide.GetValue(d);
    EXPECT_DOUBLE_EQ(d, 2.75);
}

TEST(VelEditNumber, TypingStartsTheCheckDelayOnlyWithAutoCheck)
{
    NumberField f;
    f.edit.SetTimerSleepTime(300);
    QTest::keyClicks(&f.edit, QStringLiteral("7"));
    EXPECT_TRUE(f.edit.CheckTimer().isActive());
    EXPECT_EQ(f.edit.CheckTimer().interval(), 300);

    // The real timer runs the check.
    QSignalSpy accepted(&f.edit, &CVelEdit::numberAccepted);
    EXPECT_TRUE(accepted.wait(5000));

    NumberField g;
    g.edit.EnableAutoCheck(plat::FALSE);
    QTest::keyClicks(&g.edit, QStringLiteral("7"));
    EXPECT_FALSE(g.edit.CheckTimer().isActive());
    // Without auto check Enter checks at once (outside a dialog).
    g.edit.setText(QStringLiteral("700"));
    QTest::keyClick(&g.edit, Qt::Key_Return);
    ASSERT_EQ(g.edit.messages.size(), 1u);
    EXPECT_EQ(g.edit.messages[0], Message(4006, QStringLiteral("100.00")));
}

TEST(VelEditNumber, EnterInsideADialogIsLeftToTheDialog)
{
    QDialog dialog;
    ProbeEdit edit(&dialog);
    edit.EnableNumberEdit();
    edit.EnableAutoCheck(plat::FALSE);
    edit.SetPrecision(2);
    edit.SetRange(0.0, 100.0);
    edit.setText(QStringLiteral("12.345"));
    QSignalSpy done(&dialog, &QDialog::finished);
    dialog.show();
    edit.setFocus();
    QTest::keyClick(&edit, Qt::Key_Escape);  // a key the edit leaves alone reaches the dialog
    EXPECT_EQ(done.count(), 1);
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.text(), QStringLiteral("12.345"));  // not checked by the edit
    EXPECT_TRUE(edit.messages.empty());

    edit.EnableWantAllKeys(plat::TRUE);
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.text(), QString());  // checked: back to the (empty) last text
}

// ---- the button ------------------------------------------------------------

struct ButtonField {
    QWidget host;
    ProbeEdit edit{&host};
    ButtonField()
    {
        edit.setGeometry(10, 10, 150, 24);
        host.resize(220, 60);
        host.show();
    }
};

TEST(VelEditButton, EachModePlacesItsButtonAtTheRightEdge)
{
    const struct {
        int mode;
        int width;
        int images;
    } cases[] = {{1, 20, 0}, {2, 24, 3}, {3, 24, 3}, {5, 18, 3}, {4, 0, 0}};
    for (const auto& c : cases) {
        ButtonField f;
        switch (c.mode) {
        case 1: f.edit.EnableDefaultButton(QStringLiteral("...")); break;
        case 2: f.edit.EnableFileBrowseButton(); break;
        case 3: f.edit.EnableFolderBrowseButton(QStringLiteral("选择")); break;
        case 4: f.edit.EnableNumberEdit(); break;
        case 5: f.edit.EnableSpinNumButton(); break;
        }
        EXPECT_EQ(f.edit.GetMode(), c.mode);
        EXPECT_EQ(f.edit.GetImageCount(), c.images) << c.mode;
        if (c.width == 0) {
            EXPECT_TRUE(f.edit.GetButtonRect().IsRectEmpty());
            continue;
        }
        EXPECT_EQ(f.edit.GetButtonRect(), plat::CRect(150 - c.width, 0, 150, 24)) << c.mode;
    }
    ButtonField spin;
    spin.edit.EnableSpinNumButton();
    EXPECT_EQ(spin.edit.GetUpperRect(), plat::CRect(132, 0, 150, 12));
    EXPECT_EQ(spin.edit.GetLowerRect(), plat::CRect(132, 12, 150, 24));
}

TEST(VelEditButton, AClickEndsOnTheButtonToCountAndADoubleClickIsNone)
{
    ButtonField f;
    f.edit.EnableDefaultButton(QStringLiteral("..."));
    const QPoint on = Center(f.edit.GetButtonRect());
    QTest::mouseClick(&f.edit, Qt::LeftButton, {}, on);
    EXPECT_EQ(f.edit.nClicks, 1);
    EXPECT_FALSE(f.edit.IsPressed());
    EXPECT_FALSE(f.edit.IsTracking());

    // Pressed on the button, released elsewhere: no click.
    QTest::mousePress(&f.edit, Qt::LeftButton, {}, on);
    EXPECT_TRUE(f.edit.IsPressed());
    QTest::mouseMove(&f.edit, QPoint(5, 5));
    EXPECT_FALSE(f.edit.IsPressed());
    EXPECT_TRUE(f.edit.IsTracking());
    QTest::mouseRelease(&f.edit, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(f.edit.nClicks, 1);

    QTest::mouseDClick(&f.edit, Qt::LeftButton, {}, on);
    EXPECT_EQ(f.edit.nClicks, 1);
    // Clicks in the text part are the edit's own.
    QTest::mouseClick(&f.edit, Qt::LeftButton, {}, QPoint(5, 12));
    EXPECT_EQ(f.edit.nClicks, 1);
}

TEST(VelEditButton, HoverMakesTheButtonHotAndCancelModeClearsIt)
{
    ButtonField f;
    f.edit.EnableSpinNumButton();
    QTest::mouseMove(&f.edit, Center(f.edit.GetUpperRect()));
    EXPECT_TRUE(f.edit.IsHot());
    EXPECT_TRUE(f.edit.IsUpperHalf());
    QTest::mouseMove(&f.edit, Center(f.edit.GetLowerRect()));
    EXPECT_FALSE(f.edit.IsUpperHalf());
    QTest::mouseMove(&f.edit, QPoint(5, 5));
    EXPECT_FALSE(f.edit.IsHot());

    QTest::mousePress(&f.edit, Qt::LeftButton, {}, Center(f.edit.GetUpperRect()));
    EXPECT_TRUE(f.edit.SpinTimer().isActive());
    f.edit.OnCancelMode();
    EXPECT_FALSE(f.edit.IsHot() || f.edit.IsPressed() || f.edit.IsTracking());
    EXPECT_FALSE(f.edit.SpinTimer().isActive());
}

TEST(VelEditButton, HoldingASpinHalfStepsEveryTickUntilRelease)
{
    ButtonField f;
    f.edit.EnableSpinNumButton();
    f.edit.SetRange(0.0, 7.0);
    f.edit.SetValue(2.0);
    QSignalSpy accepted(&f.edit, &CVelEdit::numberAccepted);

    QTest::mousePress(&f.edit, Qt::LeftButton, {}, Center(f.edit.GetUpperRect()));
    EXPECT_TRUE(f.edit.SpinTimer().isActive());
    EXPECT_EQ(f.edit.SpinTimer().interval(), CVelEdit::kSpinInterval);
    EXPECT_EQ(f.edit.text(), QStringLiteral("2"));  // nothing before the first tick

    QSignalSpy changed(&f.edit, &QLineEdit::textChanged);
    ASSERT_TRUE(changed.wait(5000));  // the real timer ticks
    EXPECT_EQ(f.edit.text(), QStringLiteral("3"));
    f.edit.OnSpinTimer();
    f.edit.OnSpinTimer();
    f.edit.OnSpinTimer();
    f.edit.OnSpinTimer();
    f.edit.OnSpinTimer();
    EXPECT_EQ(f.edit.text(), QStringLiteral("7"));  // held at the maximum
    QTest::mouseRelease(&f.edit, Qt::LeftButton, {}, Center(f.edit.GetUpperRect()));
    EXPECT_FALSE(f.edit.SpinTimer().isActive());
    EXPECT_EQ(f.edit.nClicks, 0);  // the spin has no click action

    f.edit.SetStepValue(2.4);
    QTest::mousePress(&f.edit, Qt::LeftButton, {}, Center(f.edit.GetLowerRect()));
    f.edit.OnSpinTimer();
    EXPECT_EQ(f.edit.text(), QStringLiteral("5"));  // 7 - 2.4, no decimals
    QTest::mouseRelease(&f.edit, Qt::LeftButton, {}, Center(f.edit.GetLowerRect()));
    EXPECT_EQ(accepted.count(), 0);

    f.edit.EnableAutoCheck(plat::FALSE);
    QTest::mousePress(&f.edit, Qt::LeftButton, {}, Center(f.edit.GetUpperRect()));
    EXPECT_FALSE(f.edit.SpinTimer().isActive());
    QTest::mouseRelease(&f.edit, Qt::LeftButton, {}, Center(f.edit.GetUpperRect()));
}

TEST(VelEditButton, TypingInSpinModeIsCheckedWithoutStoppingTheRepeat)
{
    ButtonField f;
    f.edit.EnableSpinNumButton();
    f.edit.SetRange(0.0, 50.0);
    f.edit.SetValue(5.0);
    f.edit.setFocus();
    QTest::mousePress(&f.edit, Qt::LeftButton, {}, Center(f.edit.GetUpperRect()));
    QTest::keyClicks(&f.edit, QStringLiteral("9"));
    EXPECT_TRUE(f.edit.SpinTimer().isActive());
    EXPECT_TRUE(f.edit.CheckTimer().isActive());
    QTest::mouseRelease(&f.edit, Qt::LeftButton, {}, Center(f.edit.GetUpperRect()));

    f.edit.OnCheckTimer();  // "59" is above 50
    ASSERT_EQ(f.edit.messages.size(), 1u);
    EXPECT_EQ(f.edit.messages[0], Message(4006, QStringLiteral("50")));
    EXPECT_EQ(f.edit.text(), QStringLiteral("5"));
}

TEST(VelEditButton, BrowsingPutsTheChosenPathInAndCancelKeepsTheText)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("run.xls")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString folder = dir.filePath(QStringLiteral("sub"));
    ASSERT_TRUE(QDir().mkpath(folder));

    ButtonField f;
    f.edit.bBrowse = true;
    f.edit.EnableFileBrowseButton(QStringLiteral("xls"), QStringLiteral("Runs (*.xls)|*.xls|All files|*.*||"));
    f.edit.setText(QStringLiteral("old"));
    QStringList filters;
    {
        ModalAnswer<QFileDialog> answer([&](QFileDialog* d) {
            filters = d->nameFilters();
            d->reject();
        });
        QTest::mouseClick(&f.edit, Qt::LeftButton, {}, Center(f.edit.GetButtonRect()));
        EXPECT_TRUE(answer.answered());
    }
    EXPECT_EQ(f.edit.text(), QStringLiteral("old"));
    EXPECT_EQ(filters, QStringList({QStringLiteral("Runs (*.xls)"), QStringLiteral("All files (*.*)")}));
    {
        ModalAnswer<QFileDialog> answer([&](QFileDialog* d) {
            d->selectFile(file.fileName());
            QMetaObject::invokeMethod(d, "accept");
        });
        QTest::mouseClick(&f.edit, Qt::LeftButton, {}, Center(f.edit.GetButtonRect()));
    }
    EXPECT_EQ(QFileInfo(f.edit.text()).canonicalFilePath(), QFileInfo(file.fileName()).canonicalFilePath());

    ButtonField g;
    g.edit.bBrowse = true;
    g.edit.EnableFolderBrowseButton(QStringLiteral("选择文件夹"));
    g.edit.setText(dir.path());
    QString title;
    {
        ModalAnswer<QFileDialog> answer([&](QFileDialog* d) {
            title = d->windowTitle();
            d->selectFile(folder);
            QMetaObject::invokeMethod(d, "accept");
        });
        QTest::mouseClick(&g.edit, Qt::LeftButton, {}, Center(g.edit.GetButtonRect()));
    }
    EXPECT_EQ(title, QStringLiteral("选择文件夹"));
    EXPECT_EQ(QFileInfo(g.edit.text()).canonicalFilePath(), QFileInfo(folder).canonicalFilePath());
}

TEST(VelEditButton, NameFiltersFollowTheBarSeparatedPairs)
{
    const struct {
        const char* filter;
        QStringList expected;
    } cases[] = {
        {"", {}},
        {"Text (*.txt)|*.txt||", {"Text (*.txt)"}},
        {"Tables|*.xls;*.csv|All (*.*)|*.*||", {"Tables (*.xls *.csv)", "All (*.*)"}},
        {"Data (tab separated)|*.xls|", {"Data (tab separated) (*.xls)"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CVelEdit::NameFilters(QString::fromLatin1(c.filter)), c.expected) << c.filter;
}

// ---- painting -------------------------------------------------------------

QImage Render(QWidget& w)
{
    QImage image(w.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    w.render(&image);
    return image;
}

QRgb Rgb(plat::COLORREF c)
{
    return qRgb(plat::GetRValue(c), plat::GetGValue(c), plat::GetBValue(c));
}

TEST(VelEditPaint, TheButtonFaceIsLightBlueUnderThePointerAndHasADarkOutline)
{
    ButtonField f;
    f.edit.EnableDefaultButton(QString());
    const plat::CRect r = f.edit.GetButtonRect();
    const QPoint mid = Center(r);
    // Painted as part of its window, where the edit sits at (10, 10).
    const QPoint at = f.edit.pos();
    QImage cold = Render(f.host);
    EXPECT_EQ(cold.pixel(mid + at) & 0xFFFFFF, Rgb(plat::GetSysColor(plat::COLOR_3DFACE)) & 0xFFFFFF);
    // The outline's left column, inside the edit's frame.
    EXPECT_EQ(cold.pixel(QPoint(r.left, mid.y()) + at) & 0xFFFFFF,
              Rgb(plat::GetSysColor(plat::COLOR_3DDKSHADOW)) & 0xFFFFFF);

    QTest::mouseMove(&f.edit, mid);
    ASSERT_TRUE(f.edit.IsHot());
    QImage hot = Render(f.host);
    EXPECT_EQ(hot.pixel(mid + at) & 0xFFFFFF, Rgb(CVelEdit::kHotColor) & 0xFFFFFF);
}

TEST(VelEditPaint, ThePicturesComeFromTheLibrarysBitmapWithMagentaTransparent)
{
    const QImage strip = plat::CResourceModule::Library().LoadBitmap(4000);
    ASSERT_FALSE(strip.isNull());
    EXPECT_EQ(strip.size(), QSize(48, 16));
    EXPECT_EQ(strip.pixel(0, 0) & 0xFFFFFF, 0xFF00FFu);

    ButtonField f;
    f.edit.EnableSpinNumButton();
    const plat::CRect r = f.edit.GetButtonRect();
    QImage image = Render(f.edit);
    // Somewhere in the button the arrows' ink shows; nowhere magenta.
    int nInk = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            const QRgb p = image.pixel(x, y) & 0xFFFFFF;
            EXPECT_NE(p, 0xFF00FFu) << x << "," << y;
            if (qRed(p) < 0x60 && qGreen(p) < 0x60) ++nInk;
        }
    }
    EXPECT_GE(nInk, 16);
}

}  // namespace
