#include "ui/SettingsParts.h"

#include "input/TarnGroupBox.h"

#include <QLabel>

CTarnGroupBox* CSettingsParts::NewGroup(const QString& title, QWidget* parent)
{
    auto* group = new CTarnGroupBox(title, parent);
    group->SetBorderColor(0xA0A0A0);
    return group;
}

QLabel* CSettingsParts::Hint(const QString& text, QWidget* parent, bool bWrap)
{
    auto* label = new QLabel(text, parent);
    label->setEnabled(false);
    label->setWordWrap(bWrap);
    return label;
}
