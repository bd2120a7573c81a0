// End to end through the real windows: whole builds, and every way a build
// can fail. A complete build leaves the USB disk holding exactly the
// recovery drive and no work file; a failed one shows the failure dialog and
// its cause, never "Process completed"; and every other disk and volume is
// byte for byte as it was.
#include "support/HostChecks.h"
#include "support/HostSnapshot.h"
#include "support/ToolSession.h"
#include "support/WindowStates.h"

#include "mainwindow/ConnectivityProbe.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

using namespace hostchecks;
using namespace windowstates;

namespace {

constexpr int kBuildTimeoutMs = 180000;

const QString kUsbModel = QStringLiteral("Generic Flash Disk USB Device ");
const QString kSanDisk = QStringLiteral("SanDisk Ultra USB Device");

int probeRequests(E2eServer &server) {
    return server.http().requestTargets().count(ConnectivityProbe::url());
}

enum class Fault {
    NoLink,
    UnsafeLink,
    PlainLink,
    UntrustedServer,
    Downgraded,
    PinMismatch,
    ImageReplaced,
    ImageModified,
    WorkFolderLink,
    WorkFolderBlocked,
    Refused,
    CutShort,
    ShortImage,
    Swapped,
    SmallStick,
    LettersTaken,
    FormatFails,
    ImageWriteError,
    BootFilesCut,
    DriveCorrupts,
    BootFilesDamaged,
};

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestE2eBuilds : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void completeBuildThenASecondOnTheSameList();
    void blankInTemporaryFolderAndPinnedPlainLink();
    void failedBuildNamesItsCause_data();
    void failedBuildNamesItsCause();
    void recreateAfterAFailureBuildsTheDrive();

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
    for (HttpTestServer *server : {&m_server.http(), &m_server.https()}) {
        server->failNextRequests(0);
        server->setRate(0);
        server->setMode(HttpTestServer::Mode::Serve);
    }
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
    for (const QString &gone : {QStringLiteral("C:\\DownloadFIle"), QStringLiteral("C:\\mount"),
                                temp + QStringLiteral("BootableMediaCreator")})
        QVERIFY2(!QFileInfo::exists(host.local(gone)), qPrintable(gone));
    const QString log = buildLog(host, temp);
    QVERIFY(log.contains(QLatin1String("note  build complete")));
    QVERIFY(!log.contains(QLatin1String("FAILED")));
    // The machine may sleep again.
    QVERIFY(keepAwakeCleared(host, true));
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
    const QStringList downloads = m_server.https().requestTargets();

    QVERIFY(session.startBuild());
    verifyBuilding(session);
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    verifyFinished(session);
    QCOMPARE(session.driveTexts(), drives);

    // One check of the connection through the host's proxy, one download.
    QCOMPARE(m_server.http().requestTargets().mid(requests.size()),
             QStringList({ConnectivityProbe::url()}));
    QCOMPARE(m_server.https().requestTargets().mid(downloads.size()),
             QStringList({QStringLiteral("/boot.wim")}));
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

    // The second stick, from the same list: confirmation again, a fresh start,
    // this time from a slow server onto a slow stick.
    others = session.snapshot(QStringLiteral("disk2"));
    const int before = lines.size();
    m_server.https().setRate(120 << 20);
    simhost::setHostSetting(host.root(), QStringLiteral("system/driveWriteBytesPerSecond"),
                            120 << 20);
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
    session.window()->DiskComboBox->setCurrentIndex(1);
    QVERIFY(session.startBuild());
    verifyBuilding(session);
    watch.start(20);
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    watch.stop();
    QVERIFY(leftWhileWriting);
    verifyFinished(session);
    QVERIFY(hostLog(host, "shell.log").isEmpty());
    // The status line said how much had arrived, then how much was on the
    // drive: several readings each, rising, of the image's 227 MiB.
    for (const char *what :
         {"Downloading the boot image: ", "Copying the boot image to the drive: "}) {
        QList<int> amounts;
        const QRegularExpression reading(QLatin1String(what) + QStringLiteral("(\\d+) of 227 MB$"));
        for (const QString &text : shown) {
            const QRegularExpressionMatch match = reading.match(text);
            if (match.hasMatch())
                amounts.append(match.captured(1).toInt());
        }
        QVERIFY2(amounts.size() >= 3 && std::is_sorted(amounts.begin(), amounts.end()) &&
                     amounts.first() < amounts.last(),
                 qPrintable(shown.join(QLatin1String(" | "))));
    }

    // R: still leads to the first stick, so the second gets the next letter
    // and the first stick stays as it was.
    verifyRecoveryDrive(host, QStringLiteral("disk2"), 'S');
    verifyWorkFilesGone(host, temp);
    lines = commandLines(host).mid(before);
    QCOMPARE(lines.mid(0, 2), QStringList({sizeCommand(temp, 2), listing}));
    QCOMPARE(formatToCleanUp(lines), buildCommands(temp, 'S'));
    QVERIFY(buildLog(host, temp).contains(QLatin1String("build for disk 2 \"SanDisk Ultra")));
    VERIFY_UNCHANGED(others, session.snapshot(QStringLiteral("disk2")));
}

// Without WMIC every listing and the size query go through PowerShell. The
// link is plain http with "&" in its query, which a pinned digest vouches for.
void TestE2eBuilds::blankInTemporaryFolderAndPinnedPlainLink() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.hasWmic = false;
    setup.tempDirectory = QStringLiteral("C:\\Users\\Test User\\AppData\\Local\\Temp\\");
    const QString link = m_server.plainImageLink() + QStringLiteral("?a=1&b=2");
    ToolSession session(setup, link, m_server.proxy());
    QVERIFY(session.host().isValid());
    session.setPinnedDigest(QString::fromLatin1(m_server.goodImageHash().toHex().toUpper()));
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
    QVERIFY(listing.endsWith(QLatin1String(
        ">> \"C:\\Users\\Test User\\AppData\\Local\\Temp\\BootableMediaCreator\\DiskInfo.txt\"")));
    const QString bitsadmin =
        QStringLiteral("bitsadmin.exe /transfer myDownloadJob /download /priority normal \"%1\" "
                       "C:\\DownloadFIle\\boot.wim");
    const QStringList lines = commandLines(host);
    QCOMPARE(lines.mid(0, 2), QStringList({listing, bitsadmin.arg(link)}));
    QVERIFY2(lines.at(2).contains(QLatin1String("powershell.exe")) &&
                 lines.at(2).contains(QLatin1String("Size")),
             qPrintable(lines.at(2)));
    QCOMPARE(lines.at(3), listing);
    QVERIFY(!lines.join(QLatin1Char('\n')).contains(QLatin1String("WMIC")));
    QCOMPARE(host.commands().at(1).exitCode, 0LL);
    QCOMPARE(formatToCleanUp(lines), buildCommands(temp, 'R'));

    // The support log names the same quoted lines, but of the link only
    // what holds no secret: no query.
    const QString log = buildLog(host, temp);
    for (const QString &line :
         {bitsadmin.arg(m_server.plainImageLink()), listing, buildCommands(temp, 'R').first()})
        QVERIFY2(log.contains(QStringLiteral("run   ") + line + QStringLiteral(" (exit code 0")),
                 qPrintable(line));
    QVERIFY(!log.contains(QLatin1String("a=1")));
    QVERIFY(log.contains(QLatin1String("check image is the published one: passed")));

    verifyRecoveryDrive(host, QStringLiteral("disk1"), 'R');
    verifyWorkFilesGone(host, temp);
    VERIFY_UNCHANGED(others, session.snapshot(QStringLiteral("disk1")));
}

void TestE2eBuilds::failedBuildNamesItsCause_data() {
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("cause");
    QTest::addColumn<bool>("diskUntouched"); // the build ended before the format
    QTest::newRow("no download link")
        << Fault::NoLink << "No download link for the boot image is configured." << true;
    // A link that cmd would read as two commands never reaches a command line.
    QTest::newRow("link with a command in it")
        << Fault::UnsafeLink << "No download link for the boot image is configured." << true;
    // Ways to hand the tool another image than the publisher's.
    QTest::newRow("plain http link without a digest")
        << Fault::PlainLink << "The download link is not secure." << true;
    QTest::newRow("certificate from an authority the host does not trust")
        << Fault::UntrustedServer << "The download server could not prove that it is genuine."
        << true;
    QTest::newRow("https link redirected to http")
        << Fault::Downgraded << "The download server could not prove that it is genuine." << true;
    QTest::newRow("proxy swaps the image of a pinned plain link")
        << Fault::PinMismatch << "The downloaded boot image is not the published one." << true;
    QTest::newRow("image replaced on C: after its digest")
        << Fault::ImageReplaced << "The boot image was changed on this computer during the build."
        << false;
    QTest::newRow("image changed in place after its digest")
        << Fault::ImageModified << "The finished drive failed its check." << false;
    QTest::newRow("work folder is a link to another drive")
        << Fault::WorkFolderLink << "A work folder led to another place; it was removed unused."
        << true;
    QTest::newRow("work folder cannot be made")
        << Fault::WorkFolderBlocked << "The boot image could not be downloaded." << true;
    QTest::newRow("server refuses")
        << Fault::Refused << "The boot image could not be downloaded." << true;
    // Announced whole, half sent, closed: for the first download and the
    // fallback's alike.
    QTest::newRow("both downloads cut short")
        << Fault::CutShort << "The boot image could not be downloaded." << true;
    QTest::newRow("image one byte short")
        << Fault::ShortImage << "The downloaded boot image is too small to be complete." << true;
    QTest::newRow("drive swapped after the listing")
        << Fault::Swapped << "The selected drive was removed or changed." << true;
    QTest::newRow("stick of 128 MiB")
        << Fault::SmallStick << "The selected drive is too small for the boot image." << true;
    QTest::newRow("R: to Z: taken")
        << Fault::LettersTaken << "No free drive letter is available for the drive." << true;
    QTest::newRow("diskpart fails")
        << Fault::FormatFails << "The drive could not be formatted." << false;
    QTest::newRow("write error on the image")
        << Fault::ImageWriteError << "Copying to the drive failed." << false;
    QTest::newRow("boot files cut short, Xcopy reports it")
        << Fault::BootFilesCut << "Copying to the drive failed." << false;
    QTest::newRow("stick keeps other data than written")
        << Fault::DriveCorrupts << "The finished drive failed its check." << false;
    QTest::newRow("boot files damaged, Xcopy reports success")
        << Fault::BootFilesDamaged << "The finished drive failed its check." << false;
}

// Every way a build can fail, through the real window: the failure dialog,
// never "Process completed"; the status line names the cause and the log;
// no disk but the chosen one touched, and that one only from the format on;
// no work file left behind.
void TestE2eBuilds::failedBuildNamesItsCause() {
    QFETCH(Fault, fault);
    QFETCH(QString, cause);
    QFETCH(bool, diskUntouched);

    simhost::HostSpec setup = simhost::sampleHostSpec();
    QString link = m_server.goodImageLink();
    if (fault == Fault::NoLink)
        link = QString();
    if (fault == Fault::UnsafeLink)
        link = QStringLiteral("http://127.0.0.1/boot.wim & format D:");
    if (fault == Fault::Refused)
        link = QStringLiteral("https://%1/boot.wim").arg(E2eServer::deadProxy());
    if (fault == Fault::PlainLink || fault == Fault::PinMismatch)
        link = m_server.plainImageLink();
    if (fault == Fault::UntrustedServer)
        link = m_server.untrustedImageLink();
    if (fault == Fault::Downgraded)
        link = m_server.downgradedImageLink();
    // Another user's hand on the image just before the first boot-file copy.
    if (fault == Fault::ImageReplaced || fault == Fault::ImageModified) {
        setup.faults[QStringLiteral("intrusion")] =
            fault == Fault::ImageReplaced ? "replace-image" : "modify-image";
        setup.faults[QStringLiteral("intrusionAtLine")] = 6;
    }
    if (fault == Fault::WorkFolderLink)
        setup.disks.append({QStringLiteral("disk3"), 3, QStringLiteral("Alpha Data Disk"),
                            QStringLiteral("Fixed hard disk media"), qint64(1) << 40,
                            QStringLiteral("D")});
    m_server.https().setMode(fault == Fault::CutShort ? HttpTestServer::Mode::Truncated
                                                      : HttpTestServer::Mode::Serve);
    if (fault == Fault::ShortImage)
        link = m_server.shortImageLink();
    if (fault == Fault::Swapped)
        setup.diskFaults[QStringLiteral("disk1")] = {
            {QStringLiteral("swapAfterListings"), 1},
            {QStringLiteral("swapModel"), QStringLiteral("Kingston DataTraveler 3.0 USB Device")}};
    if (fault == Fault::SmallStick)
        setup.disks[1].size = qint64(128) << 20;
    if (fault == Fault::FormatFails)
        setup.faults[QStringLiteral("diskpartFailAt")] = QStringLiteral("format");
    if (fault == Fault::ImageWriteError)
        setup.faults[QStringLiteral("xcopyWriteErrorFor")] =
            QStringLiteral("R:\\sources\\boot.wim*");
    if (fault == Fault::BootFilesCut)
        setup.faults[QStringLiteral("xcopyWriteErrorFor")] = QStringLiteral("R:\\");
    if (fault == Fault::DriveCorrupts)
        setup.faults[QStringLiteral("xcopyDamageFor")] = QStringLiteral("R:\\sources\\boot.wim*");
    if (fault == Fault::BootFilesDamaged)
        setup.faults[QStringLiteral("xcopyDamageFor")] = QStringLiteral("R:\\boot\\");

    ToolSession session(setup, link, m_server.proxy());
    QVERIFY2(session.host().isValid(), qPrintable(session.host().error()));
    TestHost &host = session.host();
    if (fault == Fault::LettersTaken) {
        for (char letter = 'R'; letter <= 'Z'; ++letter)
            QVERIFY(host.write(QStringLiteral("%1:\\in use.txt").arg(letter), "someone's"));
    }
    if (fault == Fault::WorkFolderBlocked)
        QVERIFY(host.write(QStringLiteral("C:\\mount"), "in the way"));
    if (fault == Fault::PinMismatch)
        session.setPinnedDigest(QStringLiteral("%1").arg(QString::fromLatin1(
            QCryptographicHash::hash("the publisher's image", QCryptographicHash::Sha256)
                .toHex())));
    if (fault == Fault::WorkFolderLink) {
        // Planted before the tool starts: C:\DownloadFIle leads to D:\Data,
        // where a file of the image's name waits to be deleted or written.
        QVERIFY(host.write(QStringLiteral("D:\\Data\\boot.wim"), "someone's file"));
        QVERIFY(QFile::link(host.local(QStringLiteral("D:\\Data")),
                            host.local(QStringLiteral("C:\\DownloadFIle"))));
    }
    const QStringList plainRequests = m_server.http().requestTargets();
    QVERIFY(session.open());
    const HostSnapshot whole = session.snapshot();
    const HostSnapshot others = session.snapshot(QStringLiteral("disk1"));

    QVERIFY(session.startBuild());
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    verifyFailureDialog(session);
    // The last signal was the failure; nothing after it may claim success.
    QTest::qWait(100);
    QCOMPARE(session.window()->label_2->text(),
             cause + QStringLiteral("\nDetails: %TEMP%\\BootableMediaCreator.log"));
    QVERIFY(session.window()->progressBar->value() < 100);
    QVERIFY(!buildLog(host, session.temp()).contains(QLatin1String("build complete")));

    const auto verifyNothingElseChanged = [&] {
        QStringList changed =
            (diskUntouched ? whole : others)
                .differencesTo(session.snapshot(diskUntouched ? QString() : "disk1"));
        // The swap itself is the one change a swapped drive may show.
        if (fault == Fault::Swapped)
            changed = changed.filter(
                QRegularExpression(QStringLiteral("^(?!changed: disks/disk1/disk.ini )")));
        QVERIFY2(changed.isEmpty(), qPrintable(changed.join(QLatin1Char('\n'))));
    };
    verifyNothingElseChanged();
    for (const QString &gone : {QStringLiteral("C:\\DownloadFIle"), QStringLiteral("C:\\mount"),
                                session.temp() + QStringLiteral("BootableMediaCreator")})
        QVERIFY2(!QFileInfo(host.local(gone)).isSymLink() &&
                     (fault == Fault::WorkFolderBlocked || !QFileInfo::exists(host.local(gone))),
                 qPrintable(gone));
    if (fault == Fault::WorkFolderLink)
        QCOMPARE(host.read(QStringLiteral("D:\\Data\\boot.wim")), QByteArray("someone's file"));
    // Refused before a byte of the image was asked for, and no second way
    // tried (bitsadmin would meet the same server).
    if (fault == Fault::PlainLink || fault == Fault::Downgraded) {
        QVERIFY(!m_server.http()
                     .requestTargets()
                     .mid(plainRequests.size())
                     .join(' ')
                     .contains(QLatin1String("/boot.wim")));
    }
    if (fault == Fault::UntrustedServer)
        QVERIFY(m_server.untrusted().requestTargets().isEmpty());
    if (fault == Fault::PlainLink || fault == Fault::UntrustedServer || fault == Fault::Downgraded)
        QVERIFY(!commandLines(host).join('\n').contains(QLatin1String("bitsadmin")));

    if (fault == Fault::Swapped) {
        // Recreate tries the drive the user confirmed, finds the stranger
        // again and still erases nothing.
        QVERIFY(ToolSession::press(session.info()->RecreateButton));
        QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
        verifyFailureDialog(session);
        verifyNothingElseChanged();
    }
    if (fault == Fault::NoLink) {
        // The failure dialog's Cancel leaves the tool and restarts the host
        // product, the keep-awake request cleared.
        const int shellStarts = hostLog(host, "shell.log").size();
        QCOMPARE(ToolSession::leaveWith(session.info()->CancelButton), 0);
        QCOMPARE(hostLog(host, "shell.log").size(), shellStarts + 1);
        QVERIFY(keepAwakeCleared(host, true));
    }
}

// A failed build is not the end: Recreate runs the whole start again, network
// check included, and a good image then makes the drive.
void TestE2eBuilds::recreateAfterAFailureBuildsTheDrive() {
    ToolSession session(simhost::sampleHostSpec(), m_server.shortImageLink(), m_server.proxy());
    QVERIFY(session.host().isValid());
    QVERIFY(session.open());
    TestHost &host = session.host();
    const HostSnapshot others = session.snapshot(QStringLiteral("disk1"));
    const int probes = probeRequests(m_server);

    QVERIFY(session.startBuild());
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    verifyFailureDialog(session);

    session.setLink(m_server.goodImageLink());
    QVERIFY(ToolSession::press(session.info()->RecreateButton));
    QVERIFY(!session.info()->isVisible());
    verifyBuilding(session);
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    verifyFinished(session);
    QCOMPARE(probeRequests(m_server), probes + 2);

    verifyRecoveryDrive(host, QStringLiteral("disk1"), 'R');
    QCOMPARE(formatToCleanUp(commandLines(host)), buildCommands(session.temp(), 'R'));
    VERIFY_UNCHANGED(others, session.snapshot(QStringLiteral("disk1")));
    verifyWorkFilesGone(host, session.temp());
}

QTEST_MAIN(TestE2eBuilds)
#include "tst_e2e_builds.moc"
