// diskpart /s with the product's scripts: what the format script does to a
// disk, and each failure with diskpart's message and exit code.
#include "HostsimCommands.h"

#include <QSettings>
#include <QtTest>

namespace {

const QString kTemp = QStringLiteral("C:\\Users\\A B\\AppData\\Local\\Temp\\");
const QString kScript = kTemp + QStringLiteral("USBDiskFormat.bat");

QByteArray formatScript(int disk) {
    return "select disk " + QByteArray::number(disk) +
           "\n clean \n convert mbr \n create partition primary \n select partition 1 \n active "
           "\n format quick fs=ntfs \n assign letter=R \n exit";
}

long long runScript(const TestHost &host, const QByteArray &script) {
    if (!host.write(kScript, script))
        return -2;
    return runCommand(systemProgram(QStringLiteral("diskpart.exe /s \"")) + kScript +
                      QLatin1Char('"'));
}

simhost::HostSpec hostSpec() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.tempDirectory = kTemp;
    return setup;
}

// A host whose letter R belongs to another volume already.
simhost::HostSpec letterRTaken() {
    simhost::HostSpec setup = hostSpec();
    setup.disks.append({QStringLiteral("backup"), 2, QStringLiteral("WD Elements 25A2 USB Device"),
                        QStringLiteral("External hard disk media"), 2000365289472LL,
                        QStringLiteral("R")});
    return setup;
}

QString diskValue(const TestHost &host, const QString &disk, const QString &key) {
    QSettings ini(host.root() + QStringLiteral("/disks/") + disk + QStringLiteral("/disk.ini"),
                  QSettings::IniFormat);
    return ini.value(QStringLiteral("disk/") + key).toString();
}

QStringList volumeContent(const TestHost &host, const QString &disk) {
    QStringList files;
    QDirIterator it(host.root() + QStringLiteral("/disks/") + disk + QStringLiteral("/volume"),
                    QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next().section(QStringLiteral("/volume/"), 1));
    return files;
}

QString driveTarget(const TestHost &host, const QString &letter) {
    return QFileInfo(host.root() + QStringLiteral("/drives/") + letter).symLinkTarget();
}

} // namespace

class TestDiskpart : public QObject {
    Q_OBJECT

private slots:
    void formatScriptMakesTheDiskDriveR();
    void commandsAreCaseInsensitiveAndLineEndsFree();
    void unknownDiskChangesNothing();
    void letterTakenLeavesThatVolumeAlone();
    void letterRemovalWithoutVolumeFails();
    void failureOnRequestStopsAtThatCommand_data();
    void failureOnRequestStopsAtThatCommand();
    void systemDiskIsNeverCleaned();
    void noerrContinues();
    void missingOrEmptyScript();
    void partitionSizeAndFat32Limit_data();
    void partitionSizeAndFat32Limit();
};

void TestDiskpart::formatScriptMakesTheDiskDriveR() {
    TestHost host(hostSpec());
    QVERIFY2(host.isValid(), qPrintable(host.error()));
    QVERIFY(host.write(QStringLiteral("E:\\secret.txt"), "hidden data"));
    simhost::setHidden(host.root(), host.local(QStringLiteral("E:\\secret.txt")), true);

    QCOMPARE(runScript(host, formatScript(1)), 0LL);
    const QByteArray console = takeConsole(host);
    QVERIFY(console.contains("\r\nDisk 1 is now the selected disk.\r\n"));
    QVERIFY(console.contains("\r\nDiskPart successfully formatted the volume.\r\n"));
    QVERIFY(console.contains("\r\nDiskPart successfully assigned the drive letter or mount "
                             "point.\r\n"));

    QCOMPARE(volumeContent(host, QStringLiteral("disk1")), QStringList());
    QCOMPARE(driveTarget(host, QStringLiteral("R")),
             QFileInfo(host.root() + QStringLiteral("/disks/disk1/volume")).absoluteFilePath());
    QVERIFY(!QFileInfo(host.root() + QStringLiteral("/drives/E")).exists());
    QCOMPARE(diskValue(host, QStringLiteral("disk1"), QStringLiteral("fileSystem")),
             QStringLiteral("NTFS"));
    QCOMPARE(diskValue(host, QStringLiteral("disk1"), QStringLiteral("active")),
             QStringLiteral("true"));
    QCOMPARE(diskValue(host, QStringLiteral("disk1"), QStringLiteral("partitionStyle")),
             QStringLiteral("MBR"));
    // The system disk is untouched.
    QCOMPARE(volumeContent(host, QStringLiteral("disk0")), QStringList{"SYSTEM-DISK.txt"});

    // A file of the old volume's name starts without its hidden attribute.
    QVERIFY(host.write(QStringLiteral("R:\\secret.txt"), "new"));
    QVERIFY(!simhost::isHidden(host.root(), host.local(QStringLiteral("R:\\secret.txt"))));

    // Run again on the new R: the script formats it afresh and keeps R.
    QVERIFY(host.write(QStringLiteral("R:\\old.txt"), "old"));
    QCOMPARE(runScript(host, formatScript(1)), 0LL);
    QCOMPARE(volumeContent(host, QStringLiteral("disk1")), QStringList());
    QVERIFY(QFileInfo(host.root() + QStringLiteral("/drives/R")).isSymLink());
}

void TestDiskpart::commandsAreCaseInsensitiveAndLineEndsFree() {
    TestHost host(hostSpec());
    QVERIFY(host.isValid());
    QCOMPARE(runScript(host, "rem prepare\r\n\tSELECT DISK 1\r\n  Clean\r\nCONVERT MBR\r\n"
                             "cre part pri\r\nsel part 1\r\nActive\r\nFORMAT FS=NTFS QUICK\r\n"
                             "Assign Letter=r\r\n"),
             0LL);
    QVERIFY(QFileInfo(host.root() + QStringLiteral("/drives/R")).isSymLink());
    QCOMPARE(volumeContent(host, QStringLiteral("disk1")), QStringList());
}

void TestDiskpart::unknownDiskChangesNothing() {
    TestHost host(hostSpec());
    QVERIFY(host.isValid());
    QCOMPARE(runScript(host, formatScript(7)), 2LL);
    QVERIFY(takeConsole(host).contains("\r\nThe disk you specified is not valid.\r\n\r\nThere is "
                                       "no disk selected.\r\n"));
    QCOMPARE(volumeContent(host, QStringLiteral("disk1")),
             QStringList{QStringLiteral("Holiday photos/beach.jpg")});
    QVERIFY(!QFileInfo(host.root() + QStringLiteral("/drives/R")).exists());
}

void TestDiskpart::letterTakenLeavesThatVolumeAlone() {
    TestHost host(letterRTaken());
    QVERIFY(host.isValid());
    QCOMPARE(runScript(host, formatScript(1)), 4LL);
    QVERIFY(takeConsole(host).contains("\r\nVirtual Disk Service error:\r\nThe specified drive "
                                       "letter is not free to be assigned.\r\n"));
    // The chosen disk was formatted and has no letter; R is still the other
    // volume, with its files.
    QCOMPARE(volumeContent(host, QStringLiteral("disk1")), QStringList());
    QCOMPARE(driveTarget(host, QStringLiteral("R")),
             QFileInfo(host.root() + QStringLiteral("/disks/backup/volume")).absoluteFilePath());
    QCOMPARE(host.read(QStringLiteral("R:\\Holiday photos\\beach.jpg")),
             QByteArray("user data on WD Elements 25A2 USB Device\n"));
}

void TestDiskpart::letterRemovalWithoutVolumeFails() {
    simhost::HostSpec setup = hostSpec();
    setup.disks[1].letter = QStringLiteral("Q");
    TestHost host(setup);
    QVERIFY(host.isValid());
    // Q exists, yet without a selected volume nothing names it.
    QCOMPARE(runScript(host, "Remove letter=Q"), 5LL);
    QVERIFY(takeConsole(host).endsWith(
        "\r\nThere is no volume selected.\r\nPlease select a volume and try again.\r\n"));
    QVERIFY(QFileInfo(host.root() + QStringLiteral("/drives/Q")).isSymLink());
    // With the volume selected the letter goes.
    QCOMPARE(runScript(host, "select volume Q\nremove letter=Q"), 0LL);
    QVERIFY(!QFileInfo(host.root() + QStringLiteral("/drives/Q")).exists());
}

void TestDiskpart::failureOnRequestStopsAtThatCommand_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("content");
    QTest::addColumn<QString>("fileSystem");
    QTest::newRow("clean") << "clean" << QStringList{"Holiday photos/beach.jpg"} << "FAT32";
    QTest::newRow("format") << "format" << QStringList() << "RAW";
    QTest::newRow("assign") << "assign" << QStringList() << "NTFS";
}

void TestDiskpart::failureOnRequestStopsAtThatCommand() {
    QFETCH(QString, command);
    QFETCH(QStringList, content);
    QFETCH(QString, fileSystem);
    simhost::HostSpec setup = hostSpec();
    setup.faults.insert(QStringLiteral("diskpartFailAt"), command);
    TestHost host(setup);
    QVERIFY(host.isValid());
    QCOMPARE(runScript(host, formatScript(1)), 4LL);
    const QByteArray console = takeConsole(host);
    QVERIFY(console.contains("DiskPart has encountered an error"));
    QVERIFY(!console.contains("assigned the drive letter"));
    // The commands before it took effect, the ones after it did not run.
    QCOMPARE(volumeContent(host, QStringLiteral("disk1")), content);
    QCOMPARE(diskValue(host, QStringLiteral("disk1"), QStringLiteral("fileSystem")), fileSystem);
    QVERIFY(!QFileInfo(host.root() + QStringLiteral("/drives/R")).exists());
}

void TestDiskpart::systemDiskIsNeverCleaned() {
    TestHost host(hostSpec());
    QVERIFY(host.isValid());
    QCOMPARE(runScript(host, formatScript(0)), 4LL);
    QVERIFY(takeConsole(host).contains("Clean is not allowed on the disk containing the current "
                                       "boot"));
    QCOMPARE(volumeContent(host, QStringLiteral("disk0")), QStringList{"SYSTEM-DISK.txt"});
}

void TestDiskpart::noerrContinues() {
    TestHost host(hostSpec());
    QVERIFY(host.isValid());
    QCOMPARE(runScript(host, "select disk 9 noerr\nselect disk 1\nclean"), 0LL);
    QCOMPARE(volumeContent(host, QStringLiteral("disk1")), QStringList());
    // An unknown command stops the script even with noerr.
    takeConsole(host);
    QCOMPARE(runScript(host, "bogus noerr\nselect disk 1"), 5LL);
    QVERIFY(!takeConsole(host).contains("is now the selected disk"));
}

void TestDiskpart::missingOrEmptyScript() {
    TestHost host(hostSpec());
    QVERIFY(host.isValid());
    QCOMPARE(runScript(host, QByteArray()), 0LL);
    QVERIFY(QFile::remove(host.local(kScript)));
    QCOMPARE(runCommand(systemProgram(QStringLiteral("diskpart.exe /s \"")) + kScript +
                        QLatin1Char('"')),
             3LL);
    QVERIFY(takeConsole(host).endsWith("\r\nThe system cannot find the file specified.\r\n"));
    QCOMPARE(volumeContent(host, QStringLiteral("disk1")),
             QStringList{QStringLiteral("Holiday photos/beach.jpg")});
}

void TestDiskpart::partitionSizeAndFat32Limit_data() {
    QTest::addColumn<qint64>("disk");
    QTest::addColumn<QByteArray>("create");
    QTest::addColumn<QByteArray>("fs");
    QTest::addColumn<long long>("exitCode");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QString>("partitionSize");
    QTest::addColumn<QString>("fileSystem");
    const qint64 GiB = qint64(1) << 30;
    const qint64 MiB = 1 << 20;
    QTest::newRow("16 GB, whole disk, FAT32")
        << qint64(16008609792) << QByteArray("create partition primary") << QByteArray("fat32")
        << 0LL << QByteArray("DiskPart successfully formatted the volume.")
        << QString::number(16008609792 - MiB) << "FAT32";
    QTest::newRow("partition of exactly 32 GiB, FAT32")
        << 32 * GiB + MiB << QByteArray("create partition primary") << QByteArray("fat32") << 0LL
        << QByteArray("DiskPart successfully formatted the volume.") << QString::number(32 * GiB)
        << "FAT32";
    QTest::newRow("64 GiB, whole disk, FAT32 refused")
        << 64 * GiB << QByteArray("create partition primary") << QByteArray("fat32") << 4LL
        << QByteArray("Virtual Disk Service error:\r\nThe volume size is too big.")
        << QString::number(64 * GiB - MiB) << "RAW";
    QTest::newRow("64 GiB, size=32768, FAT32")
        << 64 * GiB << QByteArray("create partition primary size=32768") << QByteArray("fat32")
        << 0LL << QByteArray("DiskPart successfully formatted the volume.")
        << QString::number(32 * GiB) << "FAT32";
    QTest::newRow("64 GiB, whole disk, NTFS")
        << 64 * GiB << QByteArray("create partition primary") << QByteArray("ntfs") << 0LL
        << QByteArray("DiskPart successfully formatted the volume.")
        << QString::number(64 * GiB - MiB) << "NTFS";
    QTest::newRow("size larger than the disk")
        << qint64(16008609792) << QByteArray("create partition primary size=32768")
        << QByteArray("fat32") << 4LL
        << QByteArray("Virtual Disk Service error:\r\nThere is not enough usable free space") << "0"
        << "RAW";
    QTest::newRow("size not a number")
        << qint64(16008609792) << QByteArray("create partition primary size=1e4")
        << QByteArray("fat32") << 2LL
        << QByteArray("The arguments specified for this command are not valid.") << "0"
        << "RAW";
}

void TestDiskpart::partitionSizeAndFat32Limit() {
    QFETCH(qint64, disk);
    QFETCH(QByteArray, create);
    QFETCH(QByteArray, fs);
    QFETCH(long long, exitCode);
    QFETCH(QByteArray, message);
    QFETCH(QString, partitionSize);
    QFETCH(QString, fileSystem);
    simhost::HostSpec setup = hostSpec();
    setup.disks[1].size = disk;
    TestHost host(setup);
    QVERIFY(host.isValid());
    QCOMPARE(runScript(host, "select disk 1\n clean \n convert mbr \n " + create +
                                 " \n select partition 1 \n active \n format quick fs=" + fs +
                                 " \n assign letter=R \n exit"),
             exitCode);
    QVERIFY2(takeConsole(host).contains("\r\n" + message), message.constData());
    QCOMPARE(diskValue(host, QStringLiteral("disk1"), QStringLiteral("partitionSize")),
             partitionSize);
    QCOMPARE(diskValue(host, QStringLiteral("disk1"), QStringLiteral("fileSystem")), fileSystem);
    // Only a formatted volume gets its letter.
    QCOMPARE(QFileInfo(host.root() + QStringLiteral("/drives/R")).isSymLink(), exitCode == 0);
}

QTEST_GUILESS_MAIN(TestDiskpart)
#include "tst_hostsim_diskpart.moc"
