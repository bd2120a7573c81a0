// One run of the drive listing on the simulated host, through WMIC and
// through the PowerShell fallback: the same drives, the same model texts, and
// no listing file before or after.
#include "builder/DriveListing.h"
#include "support/TestHost.h"

#include <QDir>
#include <QtTest>

namespace {
const QString kSystem = QStringLiteral("C:\\Windows\\system32");
const QString kTemp = QStringLiteral("C:\\Users\\User\\AppData\\Local\\Temp\\");
} // namespace

class TestDriveListing : public QObject {
    Q_OBJECT

private slots:
    void listsOnlyRemovableDisksWithTheirModelText_data();
    void listsOnlyRemovableDisksWithTheirModelText();
    void unreadableListingIsReported();
    void listingFileThatCannotBeClearedIsNotTrusted();
};

void TestDriveListing::listsOnlyRemovableDisksWithTheirModelText_data() {
    QTest::addColumn<bool>("wmic");
    QTest::newRow("WMIC") << true;
    QTest::newRow("PowerShell") << false;
}

void TestDriveListing::listsOnlyRemovableDisksWithTheirModelText() {
    QFETCH(bool, wmic);
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.hasWmic = wmic;
    setup.disks.append({QStringLiteral("disk4"), 4, QStringLiteral("SanDisk  Ultra   USB Device"),
                        QStringLiteral("Removable Media"), 32015679488LL, QString()});
    // Read in the encoding the tool wrote, and listed although "Index" is
    // part of the model.
    setup.disks.append({QStringLiteral("disk6"), 6, QStringLiteral("Überstick Index USB Device"),
                        QStringLiteral("Removable Media"), 16008609792LL, QString()});
    setup.disks.append({QStringLiteral("disk5"), 5, QStringLiteral("WD Elements USB Device"),
                        QStringLiteral("External hard disk media"), 2000365289472LL, QString()});
    TestHost host(setup);
    QVERIFY2(host.isValid(), qPrintable(host.error()));
    // A listing left over from an earlier run must not add its drive.
    QVERIFY(host.write(kTemp + QStringLiteral("DiskInfo.txt"), "9 Stale Drive\r\n"));

    const DriveListingResult listing = listRemovableDrives(kSystem, kTemp);

    QVERIFY(listing.opened);
    QCOMPARE(listing.exitCode, 0LL);
    QCOMPARE(listing.drives.size(), 3);
    QCOMPARE(listing.drives.at(0).number, 1);
    QCOMPARE(listing.drives.at(0).model, QStringLiteral("Generic Flash Disk USB Device "));
    QCOMPARE(listing.drives.at(1).number, 4);
    QCOMPARE(listing.drives.at(1).model, QStringLiteral("SanDisk Ultra USB Device "));
    QCOMPARE(listing.drives.at(2).number, 6);
    QCOMPARE(listing.drives.at(2).model, QStringLiteral("Überstick Index USB Device "));
    QVERIFY(!QFileInfo::exists(host.local(kTemp + QStringLiteral("DiskInfo.txt"))));
    const QString expected = wmic ? wmicListingCommand(kSystem, kTemp + "DiskInfo.txt")
                                  : powerShellListingCommand(kSystem, kTemp + "DiskInfo.txt");
    QCOMPARE(listing.command, expected);
    QCOMPARE(host.commands().size(), 1);
    QCOMPARE(host.commands().at(0).line,
             QStringLiteral("C:\\Windows\\system32\\cmd.exe /c ") + expected + ' ');
}

void TestDriveListing::unreadableListingIsReported() {
    TestHost host;
    QVERIFY(host.isValid());
    const DriveListingResult listing =
        listRemovableDrives(kSystem, QStringLiteral("C:\\No such folder\\"));
    QVERIFY(!listing.opened);
    QVERIFY(listing.drives.isEmpty());
    QVERIFY(listing.exitCode != 0);
}

void TestDriveListing::listingFileThatCannotBeClearedIsNotTrusted() {
    TestHost host;
    QVERIFY(host.isValid());
    // Something of the listing file's name that cannot be removed: appending
    // to it would mix an old listing with today's.
    const QString blocker = host.local(kTemp + QStringLiteral("DiskInfo.txt"));
    QVERIFY(QDir().mkpath(blocker + QStringLiteral("/held")));

    const DriveListingResult listing = listRemovableDrives(kSystem, kTemp);
    QVERIFY(!listing.opened);
    QVERIFY(listing.drives.isEmpty());
    QVERIFY(host.commands().isEmpty()); // the listing tool never ran
}

QTEST_GUILESS_MAIN(TestDriveListing)
#include "tst_drivelisting.moc"
