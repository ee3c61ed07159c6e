#pragma once

#include <QComboBox>
#include <QStringList>
#include <functional>

// The port list of the port dialog: the template's fixed names ("COM1" to
// "COM10") and then the serial devices present, read again every time the
// list opens, so an adapter plugged in meanwhile can be chosen. The current
// choice stays, also when its device went away.
class CPortComboBox : public QComboBox
{
    Q_OBJECT
public:
    using DeviceSource = std::function<QStringList()>;

    // fixedItems stay first and never change; source gives the device paths
    // present (in the order to show them).
    CPortComboBox(const QStringList& fixedItems, DeviceSource source, QWidget* parent = nullptr);

    // Fixed items, then present devices not among them, then the current
    // text when it is none of those.
    void Refresh();

    void showPopup() override;

private:
    QStringList m_fixed;
    DeviceSource m_source;
};
