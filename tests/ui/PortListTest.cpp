// The serial devices as "vantoc --list-ports" prints them, and the port
// dialog's list that reads them again when it opens.
#include "ui/PortComboBox.h"
#include "ui/PortList.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

CPortList::SEntry Entry(const QString& path, const QString& description, const QString& maker, int vid, int pid,
                        const QString& serial)
{
    CPortList::SEntry e;
    e.strPath = path;
    e.strDescription = description;
    e.strManufacturer = maker;
    e.nVendorId = vid;
    e.nProductId = pid;
    e.strSerialNumber = serial;
    return e;
}

QStringList Items(const QComboBox& combo)
{
    QStringList items;
    for (int i = 0; i < combo.count(); ++i) items << combo.itemText(i);
    return items;
}

}  // namespace

TEST(PortList, OneTabSeparatedLinePerDevice)
{
    struct Case {
        CPortList::SEntry entry;
        QString line;
    };
    const Case cases[] = {
        {Entry("/dev/ttyUSB0", "FT232R USB UART", "FTDI", 0x0403, 0x6001, "A50285BI"),
         "/dev/ttyUSB0\tFT232R USB UART\tFTDI\t0403:6001\tA50285BI"},
        {Entry("/dev/ttyS0", "", "", -1, -1, ""), "/dev/ttyS0\t-\t-\t-\t-"},
        // Ids print as four lower-case hex digits each.
        {Entry("/dev/ttyACM0", "CDC", "", 0x1A86, 0x7523, ""), "/dev/ttyACM0\tCDC\t-\t1a86:7523\t-"},
        // A vendor without a product is no USB id.
        {Entry("/dev/ttyACM1", "x", "y", 0x1A86, -1, "z"), "/dev/ttyACM1\tx\ty\t-\tz"},
        // Tabs and line breaks inside a field would break the columns.
        {Entry("/dev/ttyUSB1", "two\tparts\nhere", "  Maker  Inc ", 1, 2, "s"),
         "/dev/ttyUSB1\ttwo parts here\tMaker Inc\t0001:0002\ts"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CPortList::Line(c.entry), c.line);
        EXPECT_EQ(CPortList::Line(c.entry).count('\t'), 4);
    }
    EXPECT_EQ(CPortList::Text({}), "");
    EXPECT_EQ(CPortList::Text({cases[1].entry, cases[2].entry}), cases[1].line + "\n" + cases[2].line + "\n");
}

TEST(PortList, PresentDevicesAreSortedPaths)
{
    const QList<CPortList::SEntry> present = CPortList::Present();
    for (int i = 0; i < present.size(); ++i) {
        EXPECT_TRUE(present[i].strPath.startsWith('/')) << present[i].strPath.toStdString();
        if (i > 0) {
            EXPECT_LE(present[i - 1].strPath, present[i].strPath);
        }
    }
}

#ifdef VANTOC_PROGRAM
TEST(PortList, ProgramPrintsOneDeviceALineAndExitsZero)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VANTOC_PROGRAM), {"--list-ports"});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(process.readAllStandardError().isEmpty());
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    // The same lines the library call gives, none when there is no device.
    EXPECT_EQ(out, CPortList::Text(CPortList::Present()));
    for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
        EXPECT_TRUE(line.startsWith('/')) << line.toStdString();
        EXPECT_EQ(line.count('\t'), 4) << line.toStdString();
    }
}
#endif

TEST(PortComboBox, OpeningTheListReadsTheDevicesAgain)
{
    QStringList devices;
    CPortComboBox combo({"COM1", "COM2"}, [&] { return devices; });
    EXPECT_EQ(Items(combo), (QStringList{"COM1", "COM2"}));
    EXPECT_EQ(combo.currentIndex(), -1);

    devices = {"/dev/ttyUSB0"};
    combo.showPopup();
    EXPECT_EQ(Items(combo), (QStringList{"COM1", "COM2", "/dev/ttyUSB0"}));
    combo.hidePopup();
    EXPECT_EQ(combo.currentIndex(), -1);

    // The chosen adapter is unplugged and another one comes: the choice stays.
    combo.setCurrentIndex(2);
    devices = {"/dev/ttyACM0"};
    combo.showPopup();
    combo.hidePopup();
    EXPECT_EQ(Items(combo), (QStringList{"COM1", "COM2", "/dev/ttyACM0", "/dev/ttyUSB0"}));
    EXPECT_EQ(combo.currentText(), "/dev/ttyUSB0");

    // A fixed name chosen: devices gone are dropped, fixed names never.
    combo.setCurrentIndex(1);
    devices = {};
    combo.Refresh();
    EXPECT_EQ(Items(combo), (QStringList{"COM1", "COM2"}));
    EXPECT_EQ(combo.currentText(), "COM2");
}

TEST(PortComboBox, RefreshWithoutChangeKeepsTheListAndSaysNothing)
{
    QStringList devices = {"/dev/ttyS4", "COM1"};
    CPortComboBox combo({"COM1"}, [&] { return devices; });
    combo.Refresh();
    EXPECT_EQ(Items(combo), (QStringList{"COM1", "/dev/ttyS4"}));
    combo.setCurrentIndex(1);
    int changes = 0;
    QObject::connect(&combo, &QComboBox::currentIndexChanged, [&] { ++changes; });
    combo.Refresh();
    devices = {"/dev/ttyS5", "/dev/ttyS4"};
    combo.Refresh();
    EXPECT_EQ(Items(combo), (QStringList{"COM1", "/dev/ttyS5", "/dev/ttyS4"}));
    EXPECT_EQ(combo.currentText(), "/dev/ttyS4");
    EXPECT_EQ(changes, 0);
}
