#pragma once

#include <QList>
#include <QString>

// The serial devices present, as "vantoc --list-ports" prints them and the
// port dialog offers them (Qt SerialPort's view of the system).
class CPortList
{
public:
    struct SEntry {
        QString strPath;          // device path, e.g. /dev/ttyUSB0
        QString strDescription;   // e.g. "FT232R USB UART"
        QString strManufacturer;
        QString strSerialNumber;
        int nVendorId = -1;       // USB ids, -1 when not a USB device
        int nProductId = -1;
    };

    // The devices present, sorted by path.
    static QList<SEntry> Present();

    // One line without its line end: path, description, manufacturer, USB
    // ids as vvvv:pppp, serial number, separated by tabs; a field that is
    // unknown is "-", and tabs or line breaks inside a field become blanks.
    static QString Line(const SEntry& entry);

    // Every entry's line, each ended by a line feed; empty when none.
    static QString Text(const QList<SEntry>& entries);
};
