// A button that takes a template button's place gets its alignment bits.
#include "display/VelButton.h"
#include "platform/Dialog.h"

#include <gtest/gtest.h>
#include <map>

using namespace plat;

namespace {

const char* kTemplate = R"({
  "id": 901, "caption": "Aligned", "font": ["MS Shell Dlg", 8], "size": [200, 120],
  "style": "DS_MODALFRAME | WS_POPUP | WS_CAPTION",
  "controls": [
    {"id": 11, "class": "BUTTON", "text": "Left", "rect": [5, 5, 60, 14], "style": "BS_LEFT | WS_TABSTOP"},
    {"id": 12, "class": "BUTTON", "text": "Right", "rect": [5, 25, 60, 14], "style": "BS_RIGHT | BS_VCENTER"},
    {"id": 13, "class": "BUTTON", "text": "Centre", "rect": [5, 45, 60, 14], "style": "BS_CENTER | BS_DEFPUSHBUTTON"},
    {"id": 14, "class": "BUTTON", "text": "Plain", "rect": [5, 65, 60, 14], "style": "WS_TABSTOP"},
    {"id": 15, "class": "BUTTON", "text": "Top", "rect": [5, 85, 60, 14], "style": "BS_TOP | BS_LEFT"}
  ]
})";

class Buttons : public CDialog {
public:
    using CDialog::CDialog;
    std::map<int, CVelButton*> made;

protected:
    QWidget* CreateControl(const CDialogItemTemplate& item, QWidget* parent) override
    {
        return made[item.nId] = new CVelButton(parent);
    }
};

}  // namespace

TEST(VelButtonTemplate, AlignmentBitsOfTheTemplateReachTheButton)
{
    QString error;
    const CDialogTemplate tmpl = CDialogTemplate::FromJson(kTemplate, &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    Buttons dlg(tmpl);
    ASSERT_TRUE(dlg.Create());
    const std::map<int, DWORD> expected = {
        {11, CVelButton::kAlignLeft},
        {12, CVelButton::kAlignRight | CVelButton::kAlignVCenter},
        {13, CVelButton::kAlignCenter},
        {14, 0},
        {15, CVelButton::kAlignLeft | 0x400},
    };
    for (const auto& [id, align] : expected) {
        ASSERT_NE(dlg.made[id], nullptr) << id;
        EXPECT_EQ(dlg.made[id]->GetAlignStyle(), align) << "button " << id;
    }
    EXPECT_EQ(dlg.made[11]->text(), "Left");
}
