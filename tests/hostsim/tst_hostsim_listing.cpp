// The drive listings: WMIC's file as it writes it through a redirection,
// the PowerShell fallback of hosts without WMIC, and disks that change
// between two listings.
#include "HostsimCommands.h"
#include "builder/DiskSize.h"

#include <QtTest>

namespace {

const QString kTemp = QStringLiteral("C:\\Users\\A B\\AppData\\Local\\Temp\\");

QString wmicCommand() {
    return systemProgram(QStringLiteral("wbem\\WMIC.exe diskdrive where \"MediaType='Removable "
                                        "Media'\" get Index,Model >> \"")) +
           kTemp + QStringLiteral("DiskInfo.txt\"");
}

QString powerShellCommand() {
    return systemProgram(QStringLiteral(
               R"(WindowsPowerShell\v1.0\powershell.exe -NoProfile -NonInteractive -Command "[Console]::OutputEncoding = [Text.Encoding]::UTF8; Get-CimInstance -ClassName Win32_DiskDrive -Filter \"MediaType='Removable Media'\" | ForEach-Object { '' + $_.Index + ' ' + $_.Model }" >> ")")) +
           kTemp + QStringLiteral("DiskInfo.txt\"");
}

QByteArray utf16(const QString &text) {
    QByteArray bytes("\xff\xfe", 2);
    for (const QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xff));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

simhost::HostSpec fourDisks() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.tempDirectory = kTemp;
    setup.disks = {
        {QStringLiteral("sys"), 0, QStringLiteral("NVMe System Disk 512GB"),
         QStringLiteral("Fixed hard disk media"), 512110190592LL, QStringLiteral("C")},
        {QStringLiteral("usb"), 1, QStringLiteral("Generic Flash Disk USB Device"),
         QStringLiteral("Removable Media"), 16008609792LL, QStringLiteral("E")},
        {QStringLiteral("ext"), 2, QStringLiteral("WD Elements 25A2 USB Device"),
         QStringLiteral("External hard disk media"), 2000365289472LL, QStringLiteral("F")},
        {QStringLiteral("stick"), 3, QStringLiteral("SanDisk Ultra USB 3.0 USB Device"),
         QStringLiteral("Removable Media"), 30752000000LL, QString()},
    };
    return setup;
}

QByteArray listing(const TestHost &host) {
    return host.read(kTemp + QStringLiteral("DiskInfo.txt"));
}

} // namespace

class TestListing : public QObject {
    Q_OBJECT

private slots:
    void wmicWritesUtf16PaddedColumnsAndDoubledLineEnds();
    void wmicWithoutRemovableDisk();
    void hostWithoutWmicFallsBackToPowerShell();
    void powerShellRunsOnlyTheListingCommand_data();
    void powerShellRunsOnlyTheListingCommand();
    void diskChangesBetweenListings_data();
    void diskChangesBetweenListings();
};

void TestListing::wmicWritesUtf16PaddedColumnsAndDoubledLineEnds() {
    TestHost host(fourDisks());
    QVERIFY2(host.isValid(), qPrintable(host.error()));
    QCOMPARE(runCommand(wmicCommand()), 0LL);
    // Columns: the widest value plus two blanks; fixed and external disks
    // are not listed; an empty line closes the table.
    const QString expected = QStringLiteral("Index  Model                             \r\r\n"
                                            "1      Generic Flash Disk USB Device     \r\r\n"
                                            "3      SanDisk Ultra USB 3.0 USB Device  \r\r\n"
                                            "\r\r\n");
    QCOMPARE(listing(host), utf16(expected));
    QCOMPARE(host.commands().value(0).line, QStringLiteral("C:\\Windows\\system32\\cmd.exe /c ") +
                                                wmicCommand() + QLatin1Char(' '));

    // Columns follow the property names' order, whatever order was asked.
    QCOMPARE(runCommand(systemProgram(QStringLiteral("wbem\\WMIC.exe diskdrive get Model,Index"))),
             0LL);
    QVERIFY(takeConsole(host).startsWith("Index  Model "));
}

void TestListing::wmicWithoutRemovableDisk() {
    simhost::HostSpec setup = fourDisks();
    setup.disks.removeAt(3);
    setup.disks.removeAt(1);
    TestHost host(setup);
    QVERIFY(host.isValid());
    QCOMPARE(runCommand(wmicCommand()), 0LL);
    // The redirection made the file; WMIC wrote nothing into it.
    QVERIFY(QFile::exists(host.local(kTemp + QStringLiteral("DiskInfo.txt"))));
    QCOMPARE(listing(host), QByteArray());
    QCOMPARE(takeConsole(host), QByteArray("No Instance(s) Available.\r\n"));
}

void TestListing::hostWithoutWmicFallsBackToPowerShell() {
    simhost::HostSpec setup = fourDisks();
    setup.hasWmic = false;
    TestHost host(setup);
    QVERIFY(host.isValid());
    QCOMPARE(runCommand(wmicCommand()), 9009LL);
    QCOMPARE(listing(host), QByteArray());
    QCOMPARE(runCommand(powerShellCommand()), 0LL);
    QCOMPARE(
        listing(host),
        QByteArray("1 Generic Flash Disk USB Device\r\n3 SanDisk Ultra USB 3.0 USB Device\r\n"));

    // The size of one disk, as the build asks for it; nothing for no disk.
    const QString file = kTemp + QStringLiteral("DiskInfo.txt");
    QVERIFY(QFile::remove(host.local(file)));
    QCOMPARE(
        runCommand(powerShellDiskSizeCommand(QStringLiteral("C:\\Windows\\system32"), 3, file)),
        0LL);
    QCOMPARE(listing(host), QByteArray("30752000000\r\n"));
    QVERIFY(QFile::remove(host.local(file)));
    QCOMPARE(
        runCommand(powerShellDiskSizeCommand(QStringLiteral("C:\\Windows\\system32"), 9, file)),
        0LL);
    QCOMPARE(listing(host), QByteArray());
}

void TestListing::powerShellRunsOnlyTheListingCommand_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("other filter") << "Removable Media"
                                  << "Fixed hard disk media";
    QTest::newRow("other output") << "' ' + $_.Model"
                                  << "' ' + $_.Size";
    QTest::newRow("profile") << "-NoProfile "
                             << "";
    QTest::newRow("unescaped quotes") << "\\\""
                                      << "\"";
}

void TestListing::powerShellRunsOnlyTheListingCommand() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    simhost::HostSpec setup = fourDisks();
    setup.hasWmic = false;
    TestHost host(setup);
    QVERIFY(host.isValid());
    QString command = powerShellCommand();
    QVERIFY(command.contains(from));
    command.replace(from, to);
    const long long code = runCommand(command);
    QVERIFY(code != 0);
    QCOMPARE(listing(host), QByteArray());
    if (code == 1)
        QVERIFY(takeConsole(host).contains("is not recognized as the name of a cmdlet"));
}

void TestListing::diskChangesBetweenListings_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("secondRows");
    // Listings go by disk number.
    const QString stick = QStringLiteral("3      SanDisk Ultra USB 3.0 USB Device  \r\r\n");
    QTest::newRow("number") << "swapNumber" << QVariant(4)
                            << stick + "4      Generic Flash Disk USB Device     \r\r\n";
    QTest::newRow("model") << "swapModel" << QVariant(QStringLiteral("Other Stick"))
                           << "1      Other Stick                       \r\r\n" + stick;
    QTest::newRow("removed") << "swapRemoved" << QVariant(true) << stick;
}

void TestListing::diskChangesBetweenListings() {
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    QFETCH(QString, secondRows);
    simhost::HostSpec setup = fourDisks();
    setup.diskFaults[QStringLiteral("usb")] = {{QStringLiteral("swapAfterListings"), 1},
                                               {key, value}};
    TestHost host(setup);
    QVERIFY(host.isValid());
    const QString file = host.local(kTemp + QStringLiteral("DiskInfo.txt"));

    const QString header = QStringLiteral("Index  Model                             \r\r\n");
    const QString stick = QStringLiteral("3      SanDisk Ultra USB 3.0 USB Device  \r\r\n\r\r\n");
    QCOMPARE(runCommand(wmicCommand()), 0LL);
    QCOMPARE(
        listing(host),
        utf16(header + QStringLiteral("1      Generic Flash Disk USB Device     \r\r\n") + stick));
    QVERIFY(QFile::remove(file));

    QCOMPARE(runCommand(wmicCommand()), 0LL);
    const QString expected = header + secondRows + QStringLiteral("\r\r\n");
    QCOMPARE(listing(host), utf16(expected));

    if (key == QLatin1String("swapRemoved")) {
        // Taken out: its letter went with it, and diskpart no longer finds it.
        QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("E:\\"))));
        QVERIFY(host.write(QStringLiteral("C:\\s.txt"), "select disk 1"));
        QCOMPARE(runCommand(systemProgram(QStringLiteral("diskpart.exe /s C:\\s.txt"))), 2LL);
    }
    // The change happens once; later listings stay as they are.
    QVERIFY(QFile::remove(file));
    QCOMPARE(runCommand(wmicCommand()), 0LL);
    QCOMPARE(listing(host), utf16(expected));
}

QTEST_GUILESS_MAIN(TestListing)
#include "tst_hostsim_listing.moc"
