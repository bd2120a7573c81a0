// End to end through the real windows: whole builds that complete. The USB
// disk ends up holding exactly the recovery drive, the work files are gone,
// and every other disk and volume is byte for byte as it was.
#include "support/HostChecks.h"
#include "support/HostSnapshot.h"
#include "support/ToolSession.h"
#include "support/WindowStates.h"

#include "mainwindow/ConnectivityProbe.h"

#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

using namespace hostchecks;
using namespace windowstates;

namespace {

constexpr int kBuildTimeoutMs = 180000;

const QString kUsbModel = QStringLiteral("Generic Flash Disk USB Device ");
const QString kSanDisk = QStringLiteral("SanDisk Ultra USB Device");

} // namespace

class TestE2eBuilds : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void completeBuildThenASecondOnTheSameList();
    void letterRTakenBuildsOnAnotherLetter();
    void blankInTemporaryFolderAndAmpersandInLink();
    void slowTransfersShowHowFarTheyHaveCome();

private:
    // The recovery drive on diskId under letter, with the served image.
    void verifyRecoveryDrive(TestHost &host, const QString &diskId, QChar letter);
    void verifyWorkFilesGone(TestHost &host, const QString &temp);

    E2eServer m_server;
};

void TestE2eBuilds::initTestCase() {
    QVERIFY(m_server.start());
}

void TestE2eBuilds::init() {
    m_server.http().failNextRequests(0);
    m_server.http().setRate(0);
}

void TestE2eBuilds::verifyRecoveryDrive(TestHost &host, const QString &diskId, QChar letter) {
    const QString volume = volumeOf(host, diskId);
    QCOMPARE(letterTarget(host, letter), QFileInfo(volume).canonicalFilePath());
    QCOMPARE(filesUnder(volume), recoveryDriveLayout(host));
    QCOMPARE(sha256(host.local(QString(letter) + QStringLiteral(":\\sources\\boot.wim"))),
             m_server.goodImageHash());
    QCOMPARE(host.read(QString(letter) + QStringLiteral(":\\bootmgr")),
             host.read(QStringLiteral("C:\\Windows\\Boot\\PCAT\\bootmgr")));
    // The UEFI boot application under its own name and the one UEFI starts.
    for (const char *name : {":\\efi\\boot\\bootmgfw.efi", ":\\efi\\boot\\bootx64.efi"})
        QCOMPARE(host.read(QString(letter) + QLatin1String(name)),
                 host.read(QStringLiteral("C:\\Windows\\Boot\\EFI\\bootmgfw.efi")));
    // One active FAT32 partition on an MBR disk, which UEFI firmware reads.
    QSettings disk(host.root() + QStringLiteral("/disks/") + diskId + QStringLiteral("/disk.ini"),
                   QSettings::IniFormat);
    QCOMPARE(disk.value(QStringLiteral("disk/partitions")).toInt(), 1);
    QCOMPARE(disk.value(QStringLiteral("disk/partitionStyle")).toString(), QStringLiteral("MBR"));
    QVERIFY(disk.value(QStringLiteral("disk/active")).toBool());
    QCOMPARE(disk.value(QStringLiteral("disk/fileSystem")).toString(), QStringLiteral("FAT32"));
}

void TestE2eBuilds::verifyWorkFilesGone(TestHost &host, const QString &temp) {
    for (const QString &gone :
         {QStringLiteral("C:\\DownloadFIle"), QStringLiteral("C:\\mount"),
          temp + QStringLiteral("USBDiskFormat.bat"), temp + QStringLiteral("DiskInfo.txt")})
        QVERIFY2(!QFileInfo::exists(host.local(gone)), qPrintable(gone));
    const QString log = buildLog(host, temp);
    QVERIFY(log.contains(QLatin1String("note  build complete")));
    QVERIFY(!log.contains(QLatin1String("FAILED")));
    // The machine may sleep again.
    QVERIFY(hostLog(host, "power.log").last().startsWith(QLatin1String("clear")));
}

// Two sticks: a build on the first, then one on the second from the same
// list. The second build must erase the second stick, and only it.
void TestE2eBuilds::completeBuildThenASecondOnTheSameList() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.disks.append({QStringLiteral("disk2"), 2, kSanDisk, QStringLiteral("Removable Media"),
                        32015679488LL, QString()});
    ToolSession session(setup, m_server.goodImageLink(), m_server.proxy());
    QVERIFY2(session.host().isValid(), qPrintable(session.host().error()));
    QVERIFY(session.open());
    TestHost &host = session.host();
    const QString temp = session.temp();
    const QStringList drives{kUsbModel, kSanDisk + QLatin1Char(' ')};
    verifyIdle(session, drives, {1, 2});
    HostSnapshot others = session.snapshot(QStringLiteral("disk1"));
    QVERIFY(others.contains(QStringLiteral("disks/disk0/volume/SYSTEM-DISK.txt")));
    const QStringList requests = m_server.http().requestTargets();

    QVERIFY(session.startBuild());
    verifyBuilding(session);
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    verifyFinished(session);
    QCOMPARE(session.driveTexts(), drives);

    // One check of the connection through the host's proxy, one download.
    QCOMPARE(m_server.http().requestTargets().mid(requests.size()),
             QStringList({ConnectivityProbe::url(), QStringLiteral("/boot.wim")}));
    verifyRecoveryDrive(host, QStringLiteral("disk1"), 'R');
    verifyWorkFilesGone(host, temp);
    QStringList lines = commandLines(host);
    const QString listing = listingCommand(temp);
    QCOMPARE(lines.mid(0, 3), QStringList({listing, sizeCommand(temp), listing}));
    QCOMPARE(lines.mid(3, buildCommands(temp, 'R').size()), buildCommands(temp, 'R'));
    // Afterwards at most the window's own refresh of the list.
    for (const QString &after : lines.mid(3 + buildCommands(temp, 'R').size()))
        QCOMPARE(after, listing);
    VERIFY_UNCHANGED(others, session.snapshot(QStringLiteral("disk1")));

    // The second stick, from the same list: confirmation again, a fresh start.
    others = session.snapshot(QStringLiteral("disk2"));
    const int before = lines.size();
    session.window()->DiskComboBox->setCurrentIndex(1);
    QVERIFY(session.startBuild());
    verifyBuilding(session);
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    verifyFinished(session);

    // R: still leads to the first stick, so the second gets the next letter.
    verifyRecoveryDrive(host, QStringLiteral("disk2"), 'S');
    verifyWorkFilesGone(host, temp);
    lines = commandLines(host).mid(before);
    QCOMPARE(lines.mid(0, 2), QStringList({sizeCommand(temp, 2), listing}));
    QCOMPARE(formatToCleanUp(lines), buildCommands(temp, 'S'));
    QVERIFY(buildLog(host, temp).contains(QLatin1String("build for disk 2 \"SanDisk Ultra")));
    VERIFY_UNCHANGED(others, session.snapshot(QStringLiteral("disk2")));
}

void TestE2eBuilds::letterRTakenBuildsOnAnotherLetter() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.disks.append({QStringLiteral("disk3"), 3, QStringLiteral("WD Elements 25A2 USB Device"),
                        QStringLiteral("External hard disk media"), 2000365289472LL,
                        QStringLiteral("R")});
    ToolSession session(setup, m_server.goodImageLink(), m_server.proxy());
    QVERIFY(session.host().isValid());
    QVERIFY(session.open());
    TestHost &host = session.host();
    const QString temp = session.temp();
    // The external disk is not removable media: it is never offered.
    verifyIdle(session, {kUsbModel}, {1});
    const HostSnapshot others = session.snapshot(QStringLiteral("disk1"));
    QVERIFY(others.contains(QStringLiteral("disks/disk3/volume/Holiday photos/beach.jpg")));
    QVERIFY(others.contains(QStringLiteral("drives/R")));

    QVERIFY(session.startBuild());
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    verifyFinished(session);

    verifyRecoveryDrive(host, QStringLiteral("disk1"), 'S');
    QCOMPARE(letterTarget(host, 'R'),
             QFileInfo(volumeOf(host, QStringLiteral("disk3"))).canonicalFilePath());
    QCOMPARE(formatToCleanUp(commandLines(host)), buildCommands(temp, 'S'));
    verifyWorkFilesGone(host, temp);
    VERIFY_UNCHANGED(others, session.snapshot(QStringLiteral("disk1")));
}

// Without WMIC every listing and the size query go through PowerShell.
void TestE2eBuilds::blankInTemporaryFolderAndAmpersandInLink() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.hasWmic = false;
    setup.tempDirectory = QStringLiteral("C:\\Users\\Test User\\AppData\\Local\\Temp\\");
    const QString link = m_server.goodImageLink(QStringLiteral("?a=1&b=2"));
    ToolSession session(setup, link, m_server.proxy());
    QVERIFY(session.host().isValid());
    QVERIFY(session.open());
    TestHost &host = session.host();
    const QString temp = setup.tempDirectory;
    // The listing reached its file through the quoted path.
    verifyIdle(session, {kUsbModel}, {1});
    const HostSnapshot others = session.snapshot(QStringLiteral("disk1"));

    // The connection check is answered "not found", which still proves a
    // connection; the system's own download fails, so bitsadmin gets the link.
    m_server.http().failNextRequests(2);
    const QStringList requests = m_server.http().requestTargets();
    QVERIFY(session.startBuild());
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    verifyFinished(session);

    // The whole query, "&" included, reached the server both times.
    QCOMPARE(m_server.http().requestTargets().mid(requests.size()),
             QStringList({ConnectivityProbe::url(), QStringLiteral("/boot.wim?a=1&b=2"),
                          QStringLiteral("/boot.wim?a=1&b=2")}));
    const QString listing = listingCommand(temp, false);
    QVERIFY(listing.endsWith(
        QLatin1String(">> \"C:\\Users\\Test User\\AppData\\Local\\Temp\\DiskInfo.txt\"")));
    const QString bitsadmin =
        QStringLiteral("bitsadmin.exe /transfer myDownloadJob /download /priority normal \"") +
        link + QStringLiteral("\" C:\\DownloadFIle\\boot.wim");
    const QStringList lines = commandLines(host);
    QCOMPARE(lines.mid(0, 2), QStringList({listing, bitsadmin}));
    QVERIFY2(lines.at(2).contains(QLatin1String("powershell.exe")) &&
                 lines.at(2).contains(QLatin1String("Size")),
             qPrintable(lines.at(2)));
    QCOMPARE(lines.at(3), listing);
    QVERIFY(!lines.join(QLatin1Char('\n')).contains(QLatin1String("WMIC")));
    QCOMPARE(host.commands().at(1).exitCode, 0LL);
    QCOMPARE(formatToCleanUp(lines), buildCommands(temp, 'R'));
    QVERIFY(buildCommands(temp, 'R').first().endsWith(
        QLatin1String(" /s \"C:\\Users\\Test User\\AppData\\Local\\Temp\\USBDiskFormat.bat\"")));

    // The support log in the temporary folder names the same quoted lines.
    const QString log = buildLog(host, temp);
    for (const QString &line : {bitsadmin, listing, buildCommands(temp, 'R').first()})
        QVERIFY2(log.contains(QStringLiteral("run   ") + line + QStringLiteral(" (exit code 0")),
                 qPrintable(line));

    verifyRecoveryDrive(host, QStringLiteral("disk1"), 'R');
    verifyWorkFilesGone(host, temp);
    VERIFY_UNCHANGED(others, session.snapshot(QStringLiteral("disk1")));
}

// A slow server and a slow stick: the status line says how much of the image
// has arrived, then how much is on the drive, growing, and the build still
// ends complete.
void TestE2eBuilds::slowTransfersShowHowFarTheyHaveCome() {
    ToolSession session(simhost::sampleHostSpec(), m_server.goodImageLink(), m_server.proxy());
    QVERIFY2(session.host().isValid(), qPrintable(session.host().error()));
    m_server.http().setRate(120 << 20);
    simhost::setHostSetting(session.host().root(),
                            QStringLiteral("system/driveWriteBytesPerSecond"), 120 << 20);
    QVERIFY(session.open());
    QStringList shown;
    QTimer watch;
    bool leftWhileWriting = false;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QString text = session.window()->label_2->text();
        if (shown.isEmpty() || shown.last() != text)
            shown.append(text);
        // Once the drive is being written, neither Cancel nor the window
        // system's close may stop the build or end the tool.
        if (text.startsWith(QLatin1String("Copying")) && !leftWhileWriting) {
            leftWhileWriting = !ToolSession::press(session.window()->CancelButton);
            session.window()->close();
        }
    });
    watch.start(20);
    QVERIFY(session.startBuild());
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    watch.stop();
    QVERIFY(leftWhileWriting);
    verifyFinished(session);
    verifyRecoveryDrive(session.host(), QStringLiteral("disk1"), 'R');
    QVERIFY(hostLog(session.host(), "shell.log").isEmpty());

    // Each transfer: several readings, rising, of the image's 227 MiB.
    for (const char *what :
         {"Downloading the boot image: ", "Copying the boot image to the drive: "}) {
        QList<int> amounts;
        const QRegularExpression reading(QLatin1String(what) + QStringLiteral("(\\d+) of 227 MB$"));
        for (const QString &text : shown) {
            const QRegularExpressionMatch match = reading.match(text);
            if (match.hasMatch())
                amounts.append(match.captured(1).toInt());
        }
        QVERIFY2(amounts.size() >= 3, qPrintable(shown.join(QLatin1String(" | "))));
        QVERIFY2(std::is_sorted(amounts.begin(), amounts.end()) && amounts.first() < amounts.last(),
                 qPrintable(shown.join(QLatin1String(" | "))));
    }
}

QTEST_MAIN(TestE2eBuilds)
#include "tst_e2e_builds.moc"
