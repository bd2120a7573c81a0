// The window's drive list, made from the listing that the simulated host's
// WMIC writes (or, on a host without WMIC, its PowerShell fallback), and kept
// current while disks are plugged in and removed.
#include "WindowHarness.h"

#include "mainwindow/DeviceWatcher.h"

#include <QSignalSpy>

using namespace mwtest;

Q_DECLARE_METATYPE(simhost::HostSpec)

class TestMainWindowListing : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { fixHostIdentity(); }

    void listFromEachListingTool_data();
    void listFromEachListingTool();
    void unusableTemporaryFolderIsNamed_data();
    void unusableTemporaryFolderIsNamed();
    void diskPluggedInOrRemovedWhileIdle();
    void pluggingKeepsTheChosenDrive();
    void confirmationClosesWhenItsDriveGoes();
    void toolBookkeepingIsNoPluggedDisk();
};

void TestMainWindowListing::listFromEachListingTool_data() {
    QTest::addColumn<simhost::HostSpec>("setup");
    QTest::addColumn<QStringList>("items");

    const simhost::DiskSpec index =
        removableDisk(4, QStringLiteral("Index Card Reader USB Device"));
    const simhost::DiskSpec external{QStringLiteral("disk6"),
                                     6,
                                     QStringLiteral("WD Elements USB Device"),
                                     QStringLiteral("External hard disk media"),
                                     2000365289472LL,
                                     QString()};

    for (const bool wmic : {true, false}) {
        const char *tool = wmic ? "WMIC" : "PowerShell";
        simhost::HostSpec setup = simhost::sampleHostSpec();
        setup.hasWmic = wmic;
        QTest::addRow("%s: one drive", tool)
            << setup << QStringList{driveItem(QStringLiteral("Generic Flash Disk USB Device "), 1)};

        setup = hostWithoutUsbDrive();
        setup.hasWmic = wmic;
        setup.disks.append(
            removableDisk(3, QStringLiteral("Kingston DataTraveler 3.0 USB Device")));
        setup.disks.append(removableDisk(2, QStringLiteral("SanDisk  Ultra   USB Device")));
        QTest::addRow("%s: two drives", tool)
            << setup
            << QStringList{driveItem(QStringLiteral("SanDisk Ultra USB Device "), 2),
                           driveItem(QStringLiteral("Kingston DataTraveler 3.0 USB Device "), 3)};

        setup = hostWithoutUsbDrive();
        setup.hasWmic = wmic;
        setup.disks.append(external);
        QTest::addRow("%s: no removable drive", tool) << setup << QStringList{kNoDriveItem};

        setup = simhost::sampleHostSpec();
        setup.hasWmic = wmic;
        setup.disks.append(index);
        // Only the listing's header is a header.
        QTest::addRow("%s: model containing Index", tool)
            << setup
            << QStringList{driveItem(QStringLiteral("Generic Flash Disk USB Device "), 1),
                           driveItem(QStringLiteral("Index Card Reader USB Device "), 4)};

        // A model text that carries line breaks: the lines after its first
        // (an empty one, a lone number, one starting with a word) are no
        // drives of their own.
        setup = hostWithoutUsbDrive();
        setup.hasWmic = wmic;
        setup.disks.append(
            removableDisk(5, QStringLiteral("Flash\r\n\r\n7\r\nDrive Kit USB Device")));
        QTest::addRow("%s: model broken over lines", tool)
            << setup << QStringList{driveItem(QStringLiteral("Flash "), 5)};

        setup = simhost::sampleHostSpec();
        setup.hasWmic = wmic;
        setup.tempDirectory = QStringLiteral("C:\\Users\\Jane Doe (work)\\AppData\\Local\\Temp\\");
        QTest::addRow("%s: temporary folder with blanks", tool)
            << setup << QStringList{driveItem(QStringLiteral("Generic Flash Disk USB Device "), 1)};
    }
}

void TestMainWindowListing::listFromEachListingTool() {
    QFETCH(simhost::HostSpec, setup);
    QFETCH(QStringList, items);
    TestHost host(setup);
    QVERIFY2(host.isValid(), qPrintable(host.error()));
    // A listing left over from an earlier run must not add its drive.
    const QString listingFile = setup.tempDirectory + QStringLiteral("DiskInfo.txt");
    QVERIFY(host.write(listingFile, "Index  Model\r\n9      Stale Drive USB Device  \r\n"));

    MainWindow w;
    QVERIFY(w.isComplete());

    QCOMPARE(w.items(), items);
    QCOMPARE(w.combo()->currentIndex(), 0);
    const bool noDrive = items.first() == kNoDriveItem;
    QCOMPARE(w.describe(), noDrive ? kIdleWithoutDrive : kIdleWithDrives);
    QVERIFY(!QFileInfo::exists(host.local(listingFile)));

    // The listing came from the tool the host has.
    const QList<simhost::LoggedCommand> commands = host.commands();
    QCOMPARE(commands.size(), 1);
    QVERIFY2(commands.first().line.contains(setup.hasWmic ? QLatin1String("\\wbem\\WMIC.exe ")
                                                          : QLatin1String("\\powershell.exe ")),
             qPrintable(commands.first().line));
}

void TestMainWindowListing::unusableTemporaryFolderIsNamed_data() {
    QTest::addColumn<bool>("missing");
    QTest::newRow("missing") << true;
    QTest::newRow("read-only") << false;
}

void TestMainWindowListing::unusableTemporaryFolderIsNamed() {
    QFETCH(bool, missing);
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.tempDirectory = QStringLiteral("C:\\Temp\\");
    TestHost host(setup);
    QVERIFY(host.isValid());
    if (missing)
        QVERIFY(QDir(host.local(QStringLiteral("C:\\Temp"))).removeRecursively());
    else
        simhost::setHostSetting(host.root(), QStringLiteral("faults/readOnlyFolders"),
                                QStringList{QStringLiteral("c:\\temp")});

    MainWindow w;
    // The drive is plugged in; what fails is the folder, and the list says so.
    const QStringList items = w.items();
    QCOMPARE(items.size(), 1);
    QVERIFY(items.first() != kNoDriveItem);
    QVERIFY2(items.first().contains(QLatin1String("emporary folder")), qPrintable(items.first()));
    QVERIFY(items.first().endsWith(QLatin1String("-> no data")));
    // An empty list must never lead to a build.
    QCOMPARE(w.describe(), kIdleWithoutDrive);
    QVERIFY(host.commands().isEmpty());
}

void TestMainWindowListing::diskPluggedInOrRemovedWhileIdle() {
    TestHost host;
    QVERIFY(host.isValid());
    MainWindow w;
    QVERIFY(QTest::qWaitForWindowExposed(w.window));
    const QStringList generic{driveItem(QStringLiteral("Generic Flash Disk USB Device "), 1)};
    const QStringList verbatim{driveItem(QStringLiteral("Verbatim Store n Go USB Device "), 7)};

    plugIn(host, removableDisk(7, QStringLiteral("Verbatim Store n Go USB Device")));
    QTRY_COMPARE(w.items(), generic + verbatim);
    QCOMPARE(w.describe(), kIdleWithDrives);

    unplug(host, QStringLiteral("disk1"));
    QTRY_COMPARE(w.items(), verbatim);

    unplug(host, QStringLiteral("disk7"));
    QTRY_COMPARE(w.items(), QStringList{kNoDriveItem});
    QCOMPARE(w.describe(), kIdleWithoutDrive);

    plugIn(host, removableDisk(7, QStringLiteral("Verbatim Store n Go USB Device")));
    QTRY_COMPARE(w.items(), verbatim);
    QCOMPARE(w.describe(), kIdleWithDrives);
}

void TestMainWindowListing::pluggingKeepsTheChosenDrive() {
    simhost::HostSpec setup = hostWithoutUsbDrive();
    setup.disks.append(removableDisk(2, QStringLiteral("SanDisk Ultra USB Device")));
    setup.disks.append(removableDisk(3, QStringLiteral("Kingston DataTraveler 3.0 USB Device")));
    TestHost host(setup);
    QVERIFY(host.isValid());
    MainWindow w;
    QVERIFY(QTest::qWaitForWindowExposed(w.window));
    w.combo()->setCurrentIndex(1);

    // Another stick plugged in must not move the choice to another drive.
    plugIn(host, removableDisk(1, QStringLiteral("Alpha USB Device")));
    QTRY_COMPARE(w.combo()->count(), 3);
    QCOMPARE(w.combo()->itemData(0).toInt(), 1);
    QCOMPARE(w.combo()->currentData().toInt(), 3);

    // The chosen drive gone: the first drive is chosen, as after start-up.
    unplug(host, QStringLiteral("disk3"));
    QTRY_COMPARE(w.combo()->count(), 2);
    QCOMPARE(w.combo()->currentIndex(), 0);
}

void TestMainWindowListing::confirmationClosesWhenItsDriveGoes() {
    simhost::HostSpec setup = hostWithoutUsbDrive();
    setup.disks.append(removableDisk(2, QStringLiteral("SanDisk Ultra USB Device")));
    setup.disks.append(removableDisk(3, QStringLiteral("Kingston DataTraveler 3.0 USB Device")));
    TestHost host(setup);
    QVERIFY(host.isValid());
    MainWindow w;
    QVERIFY(QTest::qWaitForWindowExposed(w.window));
    w.combo()->setCurrentIndex(1);
    click(w.window->CreateBootable);
    QVERIFY(w.warning->isVisible());

    // A drive plugged in leaves the confirmation of the chosen one open.
    plugIn(host, removableDisk(4, QStringLiteral("Delta USB Device")));
    QTRY_COMPARE(w.combo()->count(), 3);
    QVERIFY(w.warning->isVisible());
    QCOMPARE(w.combo()->currentData().toInt(), 3);

    // Its drive removed, the confirmation cannot stand for another one.
    unplug(host, QStringLiteral("disk3"));
    QTRY_COMPARE(w.combo()->count(), 2);
    QVERIFY(!w.warning->isVisible());
    QCOMPARE(w.describe(), kIdleWithDrives);
}

void TestMainWindowListing::toolBookkeepingIsNoPluggedDisk() {
    // The simulated tools count listings in a disk's description when a
    // fault waits on that count; the count is no change of the disk.
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.diskFaults[QStringLiteral("disk1")] = {
        {QStringLiteral("swapAfterListings"), 5},
        {QStringLiteral("swapModel"), QStringLiteral("Other Drive")}};
    TestHost host(setup);
    QVERIFY(host.isValid());
    MainWindow w;
    auto *devices = w.window->findChild<DeviceWatcher *>();
    QVERIFY(devices);
    QSignalSpy arrivals(devices, SIGNAL(deviceArrived()));

    plugIn(host, removableDisk(7, QStringLiteral("Verbatim Store n Go USB Device")));
    QTRY_COMPARE(w.combo()->count(), 2);
    QTest::qWait(300);
    QCOMPARE(arrivals.count(), 1);
    QCOMPARE(listingsRun(host), 2);
    QCOMPARE(w.combo()->itemText(0), QStringLiteral("Generic Flash Disk USB Device "));
}

QTEST_MAIN(TestMainWindowListing)
#include "tst_mainwindow_listing.moc"
