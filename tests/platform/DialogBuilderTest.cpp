#include "platform/Dialog.h"
#include "platform/DialogBuilder.h"
#include "platform/SpinButtonCtrl.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace plat;

namespace {

const char* kTemplate = R"({
  "id": 900, "caption": "Sample", "font": ["MS Shell Dlg", 8], "size": [186, 100],
  "style": "DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU",
  "controls": [
    {"id": 1, "class": "BUTTON", "text": "OK", "rect": [28, 79, 50, 14], "style": "BS_DEFPUSHBUTTON | WS_TABSTOP"},
    {"id": 1009, "class": "STATIC", "text": "COM:", "rect": [40, 24, 28, 8], "style": "SS_CENTER"},
    {"id": 1012, "class": "COMBOBOX", "rect": [79, 22, 63, 57], "style": "CBS_DROPDOWNLIST | WS_VSCROLL",
     "items": ["COM1", "COM2"]},
    {"id": 1013, "class": "COMBOBOX", "rect": [79, 49, 63, 69], "style": "CBS_DROPDOWN", "items": ["1200"]},
    {"id": 1002, "class": "EDIT", "rect": [10, 10, 35, 14], "style": "ES_AUTOHSCROLL | NOT WS_VISIBLE",
     "exStyle": "WS_EX_STATICEDGE"},
    {"id": 1003, "class": "msctls_updown32", "rect": [50, 10, 10, 14], "style": "UDS_ARROWKEYS | WS_DISABLED"}
  ]
})";

int Round(int value, int num, int den)
{
    return (value * num + den / 2) / den;
}

}  // namespace

TEST(DialogTemplateTest, ReadsEveryField)
{
    QString error;
    const CDialogTemplate t = CDialogTemplate::FromJson(kTemplate, &error);
    ASSERT_TRUE(t.IsValid()) << error.toStdString();
    EXPECT_EQ(t.nId, 900);
    EXPECT_EQ(t.strFaceName, "MS Shell Dlg");
    EXPECT_EQ(t.nPointSize, 8);
    EXPECT_EQ(t.dwStyle, style::DS_MODALFRAME | style::WS_POPUP | style::WS_CAPTION | style::WS_SYSMENU);
    ASSERT_EQ(t.items.size(), 6u);
    const CDialogItemTemplate* combo = t.Find(1012);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->items, QStringList({"COM1", "COM2"}));
    EXPECT_EQ(combo->x, 79);
    EXPECT_EQ(combo->cy, 57);
    // Controls are visible children unless told otherwise.
    EXPECT_EQ(t.Find(1009)->dwStyle, style::WS_CHILD | style::WS_VISIBLE | style::SS_CENTER);
    EXPECT_FALSE(t.Find(1002)->dwStyle & style::WS_VISIBLE);
    EXPECT_EQ(t.Find(1002)->dwExStyle, style::WS_EX_STATICEDGE);
}

TEST(DialogTemplateTest, RefusesBrokenData)
{
    QString error;
    EXPECT_FALSE(CDialogTemplate::FromJson("{", &error).IsValid());
    EXPECT_FALSE(CDialogTemplate::FromJson(R"({"id": 1, "size": [1, 1], "style": "WS_NOSUCH"})", &error).IsValid());
    EXPECT_TRUE(error.contains("WS_NOSUCH"));
    EXPECT_FALSE(CDialogTemplate::FromJson(R"({"size": [1, 1]})").IsValid());
    EXPECT_FALSE(CDialogTemplate::Load("/nonexistent/template.json").IsValid());
}

TEST(DialogBuilderTest, DialogUnitsFollowTheDialogFont)
{
    const CDialogTemplate t = CDialogTemplate::FromJson(kTemplate);
    const CDialogBuilder builder(t);
    const QFontMetrics fm(builder.DialogFont());
    const int avg = (fm.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2;
    EXPECT_EQ(builder.BaseUnits(), CSize(avg, fm.height()));
    EXPECT_EQ(builder.DialogFont().pixelSize(), 11);  // 8 points at 96 dots per inch
    EXPECT_EQ(builder.MapDialogRect(28, 79, 50, 14),
              CRect(Round(28, avg, 4), Round(79, fm.height(), 8), Round(28, avg, 4) + Round(50, avg, 4),
                    Round(79, fm.height(), 8) + Round(14, fm.height(), 8)));
}

TEST(DialogBuilderTest, CreatesControlsWithTemplateIdTextPlaceAndStyle)
{
    CDialog dlg(CDialogTemplate::FromJson(kTemplate));
    ASSERT_TRUE(dlg.Create());
    const CDialogBuilder builder(dlg.Template());
    EXPECT_EQ(dlg.size(), builder.MapDialogSize(186, 100).toQSize());
    EXPECT_EQ(dlg.windowTitle(), "Sample");

    auto* ok = dlg.GetDlgItem<QPushButton>(1);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(ok->geometry(), builder.MapDialogRect(28, 79, 50, 14).toQRect());

    auto* label = dlg.GetDlgItem<QLabel>(1009);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "COM:");
    EXPECT_TRUE(label->alignment() & Qt::AlignHCenter);

    auto* list = dlg.GetDlgItem<QComboBox>(1012);
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->isEditable());
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->x(), builder.MapDialogRect(79, 22, 63, 57).left);
    EXPECT_LT(list->height(), builder.MapDialogRect(79, 22, 63, 57).Height());
    EXPECT_TRUE(dlg.GetDlgItem<QComboBox>(1013)->isEditable());

    auto* edit = dlg.GetDlgItem<QLineEdit>(1002);
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isHidden());
    auto* spin = dlg.GetDlgItem<CSpinButtonCtrl>(1003);
    ASSERT_NE(spin, nullptr);
    EXPECT_FALSE(spin->isEnabled());
    EXPECT_EQ(dlg.GetDlgItem(4711), nullptr);
}

TEST(DialogBuilderTest, FactoryReplacesTemplateControl)
{
    class Custom : public CDialog {
    public:
        using CDialog::CDialog;
        QLabel* made = nullptr;
        QPushButton* ok = nullptr;

    protected:
        QWidget* CreateControl(const CDialogItemTemplate& item, QWidget* parent) override
        {
            if (item.nId == 1) return ok = new QPushButton(parent);
            if (item.nId != 1009) return nullptr;
            made = new QLabel("mine", parent);
            return made;
        }
    };
    Custom dlg(CDialogTemplate::FromJson(kTemplate));
    ASSERT_TRUE(dlg.Create());
    ASSERT_NE(dlg.ok, nullptr);
    EXPECT_EQ(dlg.ok->text(), "OK");
    EXPECT_TRUE(dlg.ok->isDefault()) << "Enter presses the template's default button";
    ASSERT_NE(dlg.made, nullptr);
    EXPECT_EQ(dlg.GetDlgItem(1009), dlg.made);
    EXPECT_EQ(dlg.made->text(), "COM:");
    EXPECT_EQ(dlg.made->geometry(), CDialogBuilder(dlg.Template()).MapDialogRect(40, 24, 28, 8).toQRect());
}

TEST(DialogBuilderTest, OkAndCancelEndTheModalLoop)
{
    CDialog dlg(CDialogTemplate::FromJson(kTemplate));
    ASSERT_TRUE(dlg.Create());
    QTimer::singleShot(0, &dlg, [&] { QTest::mouseClick(dlg.GetDlgItem(1), Qt::LeftButton); });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    QTimer::singleShot(0, &dlg, [&] { QTest::keyClick(&dlg, Qt::Key_Escape); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    CDialog broken(CDialogTemplate{});
    EXPECT_EQ(broken.DoModal(), -1);
}

TEST(SpinButtonCtrlTest, UpArrowReportsNegativeDelta)
{
    CSpinButtonCtrl spin;
    spin.resize(20, 28);
    spin.show();
    QSignalSpy deltas(&spin, &CSpinButtonCtrl::deltaPos);
    QTest::mouseClick(spin.childAt(10, 3), Qt::LeftButton);
    QTest::mouseClick(spin.childAt(10, 24), Qt::LeftButton);
    QTest::keyClick(&spin, Qt::Key_Up);
    ASSERT_EQ(deltas.size(), 3);
    EXPECT_EQ(deltas[0][0].toInt(), -1);
    EXPECT_EQ(deltas[1][0].toInt(), 1);
    EXPECT_EQ(deltas[2][0].toInt(), -1);
}
