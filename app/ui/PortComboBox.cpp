#include "ui/PortComboBox.h"

CPortComboBox::CPortComboBox(const QStringList& fixedItems, DeviceSource source, QWidget* parent)
    : QComboBox(parent), m_fixed(fixedItems), m_source(std::move(source))
{
    setInsertPolicy(QComboBox::NoInsert);
    addItems(m_fixed);
    setCurrentIndex(-1);
}

void CPortComboBox::Refresh()
{
    const QString current = currentIndex() >= 0 ? currentText() : QString();
    QStringList items = m_fixed;
    const QStringList present = m_source ? m_source() : QStringList();
    for (const QString& device : present)
        if (!items.contains(device)) items << device;
    if (!current.isEmpty() && !items.contains(current)) items << current;

    QStringList shown;
    for (int i = 0; i < count(); ++i) shown << itemText(i);
    if (shown == items) return;
    // The choice does not change by a refresh; no signal says it did.
    const QSignalBlocker quiet(this);
    clear();
    addItems(items);
    setCurrentIndex(current.isEmpty() ? -1 : findText(current));
}

void CPortComboBox::showPopup()
{
    Refresh();
    QComboBox::showPopup();
}
