#include "ui/PortList.h"

#include <QSerialPortInfo>

#include <algorithm>

namespace {

QString Field(const QString& text)
{
    QString field = text.simplified();
    return field.isEmpty() ? QStringLiteral("-") : field;
}

}  // namespace

QList<CPortList::SEntry> CPortList::Present()
{
    QList<SEntry> entries;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SEntry entry;
        entry.strPath = info.systemLocation();
        entry.strDescription = info.description();
        entry.strManufacturer = info.manufacturer();
        entry.strSerialNumber = info.serialNumber();
        if (info.hasVendorIdentifier()) entry.nVendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier()) entry.nProductId = info.productIdentifier();
        entries << entry;
    }
    std::sort(entries.begin(), entries.end(),
              [](const SEntry& a, const SEntry& b) { return a.strPath < b.strPath; });
    return entries;
}

QString CPortList::Line(const SEntry& entry)
{
    QString ids = QStringLiteral("-");
    if (entry.nVendorId >= 0 && entry.nProductId >= 0)
        ids = QStringLiteral("%1:%2").arg(entry.nVendorId, 4, 16, QLatin1Char('0'))
                  .arg(entry.nProductId, 4, 16, QLatin1Char('0'));
    return QStringList{Field(entry.strPath), Field(entry.strDescription), Field(entry.strManufacturer), ids,
                       Field(entry.strSerialNumber)}
        .join(QLatin1Char('\t'));
}

QString CPortList::Text(const QList<SEntry>& entries)
{
    QString text;
    for (const SEntry& entry : entries) text += Line(entry) + QLatin1Char('\n');
    return text;
}
