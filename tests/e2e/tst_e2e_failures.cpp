// End to end through the real windows: builds that must not go ahead or must
// end as failures. The user sees the notice or the failure dialog, never
// "Process completed", and no disk but the chosen one is ever touched.
#include "support/HostChecks.h"
#include "support/HostSnapshot.h"
#include "support/ToolSession.h"
#include "support/WindowStates.h"

#include "mainwindow/ConnectivityProbe.h"

#include <QtTest>

using namespace hostchecks;
using namespace windowstates;

namespace {

constexpr int kBuildTimeoutMs = 180000;

int probeRequests(E2eServer &server) {
    return server.http().requestTargets().count(ConnectivityProbe::url());
}

enum class Fault {
    NoLink,
    UnsafeLink,
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

class TestE2eFailures : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void failedBuildNamesItsCause_data();
    void failedBuildNamesItsCause();
    void recreateAfterAFailureBuildsTheDrive();

private:
    E2eServer m_server;
};

void TestE2eFailures::initTestCase() {
    QVERIFY(m_server.start());
}

void TestE2eFailures::failedBuildNamesItsCause_data() {
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("cause");
    QTest::addColumn<bool>("diskUntouched"); // the build ended before the format
    QTest::newRow("no download link")
        << Fault::NoLink << "No download link for the boot image is configured." << true;
    // A link that cmd would read as two commands never reaches a command line.
    QTest::newRow("link with a command in it")
        << Fault::UnsafeLink << "No download link for the boot image is configured." << true;
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
void TestE2eFailures::failedBuildNamesItsCause() {
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
        link = QStringLiteral("http://%1/boot.wim").arg(E2eServer::deadProxy());
    m_server.http().setMode(fault == Fault::CutShort ? HttpTestServer::Mode::Truncated
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
    QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("C:\\DownloadFIle\\boot.wim"))));
    QVERIFY(!QFileInfo::exists(host.local(session.temp() + QStringLiteral("USBDiskFormat.bat"))));

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
        QVERIFY(hostLog(host, "power.log").last().startsWith(QLatin1String("clear")));
    }
}

// A failed build is not the end: Recreate runs the whole start again, network
// check included, and a good image then makes the drive.
void TestE2eFailures::recreateAfterAFailureBuildsTheDrive() {
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

    const QString usb = volumeOf(host, QStringLiteral("disk1"));
    QCOMPARE(letterTarget(host, QLatin1Char('R')), QFileInfo(usb).canonicalFilePath());
    QCOMPARE(filesUnder(usb), recoveryDriveLayout(host));
    QCOMPARE(sha256(host.local(QStringLiteral("R:\\sources\\boot.wim"))), m_server.goodImageHash());
    QCOMPARE(formatToCleanUp(commandLines(host)), buildCommands(session.temp(), 'R'));
    VERIFY_UNCHANGED(others, session.snapshot(QStringLiteral("disk1")));
    QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("C:\\DownloadFIle"))));
    QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("C:\\mount"))));
}

QTEST_MAIN(TestE2eFailures)
#include "tst_e2e_failures.moc"
