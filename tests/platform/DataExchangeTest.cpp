#include "platform/DataExchange.h"
#include "platform/Dialog.h"

#include "support/ModalAnswer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace plat;

namespace {

const char* kTemplate = R"({
  "id": 901, "caption": "Values", "font": ["MS Shell Dlg", 8], "size": [200, 120],
  "controls": [
    {"id": 10, "class": "EDIT", "rect": [5, 5, 40, 14]},
    {"id": 11, "class": "EDIT", "rect": [5, 25, 40, 14]},
    {"id": 12, "class": "EDIT", "rect": [5, 45, 40, 14]},
    {"id": 13, "class": "BUTTON", "text": "Check", "rect": [60, 5, 40, 10], "style": "BS_AUTOCHECKBOX"},
    {"id": 14, "class": "BUTTON", "text": "A", "rect": [60, 20, 40, 10], "style": "BS_AUTORADIOBUTTON | WS_GROUP"},
    {"id": 15, "class": "BUTTON", "text": "B", "rect": [60, 30, 40, 10], "style": "BS_AUTORADIOBUTTON"},
    {"id": 16, "class": "BUTTON", "text": "C", "rect": [60, 40, 40, 10], "style": "BS_AUTORADIOBUTTON"},
    {"id": 17, "class": "BUTTON", "text": "D", "rect": [60, 50, 40, 10], "style": "BS_AUTORADIOBUTTON | WS_GROUP"},
    {"id": 20, "class": "COMBOBOX", "rect": [110, 5, 60, 50], "style": "CBS_DROPDOWNLIST",
     "items": ["COM1", "COM2", "COM10"]},
    {"id": 21, "class": "COMBOBOX", "rect": [110, 25, 60, 50], "style": "CBS_DROPDOWN",
     "items": ["1200", "9600", "19200"]}
  ]
})";

class ValuesDlg : public CDialog {
public:
    ValuesDlg() : CDialog(CDialogTemplate::FromJson(kTemplate)) {}
    int m_nSpeed = 200;
    float m_fTemp = 100.0f;
    CString m_strName = "name";
    int m_nCheck = 1;
    int m_nRadio = 1;
    CString m_strPort = "com1";
    CString m_strBaud = "9600";

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, 10, m_fTemp);
        DDV_MinMaxFloat(pDX, m_fTemp, 25, 340);
        DDX_Text(pDX, 11, m_nSpeed);
        DDV_MinMaxInt(pDX, m_nSpeed, 0, 20000);
        DDX_Text(pDX, 12, m_strName);
        DDX_Check(pDX, 13, m_nCheck);
        DDX_Radio(pDX, 14, m_nRadio);
        DDX_CBString(pDX, 20, m_strPort);
        DDX_CBString(pDX, 21, m_strBaud);
    }
};

// Saves with one field set to a text; returns the message shown, if any.
QString SaveWith(ValuesDlg& dlg, int id, const QString& text, BOOL* result)
{
    dlg.GetDlgItem<QLineEdit>(id)->setText(text);
    QString shown;
    ModalAnswer<QMessageBox> answer([&](QMessageBox* box) {
        shown = box->text();
        box->accept();
    }, 2000);
    *result = dlg.UpdateData(TRUE);
    if (*result) answer.cancel();
    return shown;
}

}  // namespace

TEST(DataExchangeTest, LoadWritesMembersIntoControls)
{
    ValuesDlg dlg;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.GetDlgItem<QLineEdit>(10)->text(), "100");
    EXPECT_EQ(dlg.GetDlgItem<QLineEdit>(11)->text(), "200");
    EXPECT_EQ(dlg.GetDlgItem<QLineEdit>(12)->text(), "name");
    EXPECT_TRUE(dlg.GetDlgItem<QCheckBox>(13)->isChecked());
    EXPECT_TRUE(dlg.GetDlgItem<QRadioButton>(15)->isChecked());
    EXPECT_FALSE(dlg.GetDlgItem<QRadioButton>(14)->isChecked());
    EXPECT_FALSE(dlg.GetDlgItem<QRadioButton>(17)->isChecked());
    // "com1" selects the first item that begins with it, ignoring case.
    EXPECT_EQ(dlg.GetDlgItem<QComboBox>(20)->currentText(), "COM1");
    EXPECT_EQ(dlg.GetDlgItem<QComboBox>(21)->currentText(), "9600");
}

TEST(DataExchangeTest, SaveReadsControlsIntoMembers)
{
    ValuesDlg dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.GetDlgItem<QLineEdit>(10)->setText("100.1");
    dlg.GetDlgItem<QLineEdit>(11)->setText(" 2200 ");
    dlg.GetDlgItem<QLineEdit>(12)->setText("other");
    dlg.GetDlgItem<QCheckBox>(13)->setChecked(false);
    dlg.GetDlgItem<QRadioButton>(16)->setChecked(true);
    dlg.GetDlgItem<QRadioButton>(15)->setChecked(false);
    dlg.GetDlgItem<QComboBox>(20)->setCurrentIndex(2);
    dlg.GetDlgItem<QComboBox>(21)->setEditText("38400");
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_FLOAT_EQ(dlg.m_fTemp, 100.1f);
    EXPECT_EQ(dlg.m_nSpeed, 2200);
    EXPECT_EQ(dlg.m_strName, "other");
    EXPECT_EQ(dlg.m_nCheck, 0);
    EXPECT_EQ(dlg.m_nRadio, 2);
    EXPECT_EQ(dlg.m_strPort, "COM10");
    EXPECT_EQ(dlg.m_strBaud, "38400");
}

TEST(DataExchangeTest, ListOnlyComboWithoutSelectionSavesEmpty)
{
    ValuesDlg dlg;
    dlg.m_strPort = "/dev/ttyUSB0";
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.GetDlgItem<QComboBox>(20)->currentIndex(), -1);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_strPort, "");
}

TEST(DataExchangeTest, RefusedValuesShowTheStandardMessageAndFocusTheField)
{
    struct Case {
        int id;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {11, "20001", "Please enter an integer between 0 and 20000."},
        {11, "-1", "Please enter an integer between 0 and 20000."},
        {11, "12ab", "Please enter an integer."},
        {10, "24.9", "Please enter a number between 25 and 340."},
        {10, "340.5", "Please enter a number between 25 and 340."},
        {10, "warm", "Please enter a number."},
        {10, "", "Please enter a number."},
    };
    for (const Case& c : cases) {
        ValuesDlg dlg;
        ASSERT_TRUE(dlg.Create());
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        BOOL result = TRUE;
        const QString shown = SaveWith(dlg, c.id, c.text, &result);
        EXPECT_FALSE(result) << c.text;
        EXPECT_EQ(shown, c.message) << c.text;
        EXPECT_EQ(dlg.focusWidget(), dlg.GetDlgItem(c.id)) << c.text;
    }
}

TEST(DataExchangeTest, BoundaryValuesAreAccepted)
{
    ValuesDlg dlg;
    ASSERT_TRUE(dlg.Create());
    for (const char* speed : {"0", "20000"}) {
        dlg.GetDlgItem<QLineEdit>(11)->setText(speed);
        EXPECT_TRUE(dlg.UpdateData(TRUE)) << speed;
    }
    for (const char* temp : {"25", "340"}) {
        dlg.GetDlgItem<QLineEdit>(10)->setText(temp);
        EXPECT_TRUE(dlg.UpdateData(TRUE)) << temp;
    }
}
