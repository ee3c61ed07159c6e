#pragma once

class CTarnGroupBox;
class QLabel;
class QString;
class QWidget;

// The pieces the settings dialogs (Limits, End point, Network) are built
// of, so that they look alike.
class CSettingsParts
{
public:
    // A titled group with the dialogs' grey border.
    static CTarnGroupBox* NewGroup(const QString& title, QWidget* parent);
    // A greyed line of explanation under a field; bWrap breaks long ones.
    static QLabel* Hint(const QString& text, QWidget* parent, bool bWrap = false);
};
