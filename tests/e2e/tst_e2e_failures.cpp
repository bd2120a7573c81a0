// End to end through the real windows: builds that must not go ahead or must
// end as failures. The user sees the notice or the failure dialog, never
// "Process completed", and no disk but the chosen one is ever touched.
#include "HostSnapshot.h"
#include "ToolSession.h"
#include "WindowStates.h"
#include "support/HostChecks.h"

#include "mainwindow/ConnectivityProbe.h"

#include <QtTest>

using namespace hostchecks;
using namespace windowstates;

namespace {

constexpr int kBuildTimeoutMs = 180000;

const QString kUsbModel = QStringLiteral("Generic Flash Disk USB Device ");

// What a build may change on C: besides the chosen disk.
QStringList workPaths(const QString &temp) {
    return {temp, QStringLiteral("C:\\DownloadFIle"), QStringLiteral("C:\\mount")};
}

int probeRequests(E2eServer &server) {
    return server.http().requestTargets().count(ConnectivityProbe::url());
}

QStringList imageRequests(E2eServer &server) {
    QStringList images;
    for (const QString &target : server.http().requestTargets()) {
        if (target.startsWith(QLatin1Char('/')))
            images.append(target);
    }
    return images;
}

} // namespace

class TestE2eFailures : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void noInternetShowsTheNoticeAndStartsNothing();
    void noDownloadLinkFailsAndTheUserCanLeave();
    void swappedDiskIsNeverFormattedEvenOnRecreate();
    void imageOneByteShortThenRecreateWithAGoodOne();
    void formatFailureCopiesNothing();
    void imageWriteErrorIsNeverReportedAsCompleted();

private:
    E2eServer m_server;
};

void TestE2eFailures::initTestCase() {
    QVERIFY(m_server.start());
}

void TestE2eFailures::noInternetShowsTheNoticeAndStartsNothing() {
    ToolSession session(simhost::sampleHostSpec(), m_server.goodImageLink(),
                        E2eServer::deadProxy());
    QVERIFY2(session.host().isValid(), qPrintable(session.host().error()));
    QVERIFY(session.open());
    verifyIdle(session, {kUsbModel}, {1});
    const HostSnapshot before = HostSnapshot::take(session.host(), QString(), {session.temp()});
    QCreateBootable *w = session.window();
    WarningClass *dialog = session.warning();

    QVERIFY(ToolSession::press(w->CreateBootable));
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->HeaderLabel->text(), QStringLiteral("Confirm Operation"));
    QCOMPARE(dialog->InfoLabel->text(),
             QStringLiteral("Please ensure that you have taken backup of your data on the "
                            "selected USB drive.\nThis operation will erase all data from the "
                            "selected drive while creating recovery drive."));
    QVERIFY(dialog->OkButton->isVisible() && dialog->CancelButton->isVisible());

    QVERIFY(ToolSession::press(dialog->OkButton));
    QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), kBuildTimeoutMs);
    QCOMPARE(dialog->HeaderLabel->text(), QStringLiteral("No Internet connection"));
    QCOMPARE(dialog->InfoLabel->text(),
             QStringLiteral("Internet connection is required for creating recovery drive."));
    QList<QPushButton *> shown;
    for (QPushButton *b : dialog->findChildren<QPushButton *>()) {
        if (b->isVisible())
            shown.append(b);
    }
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first(), dialog->CancelButton);
    QCOMPARE(dialog->CancelButton->text(), QStringLiteral("OK"));

    // The window: the list and the way out, but no new start.
    QVERIFY(!w->CreateBootable->isVisible());
    QVERIFY(w->DiskComboBox->isEnabled());
    QVERIFY(w->CancelButton->isEnabled());
    QVERIFY(session.titleCloseButton()->isEnabled());
    QVERIFY(!w->label_2->isVisible());

    QVERIFY(ToolSession::press(dialog->CancelButton));
    QVERIFY(!dialog->isVisible());
    QVERIFY(!w->CreateBootable->isVisible());

    // Nothing started: only the window's own listing ran, no work folder, no
    // request reached the image server, no disk changed.
    QCOMPARE(commandLines(session.host()), QStringList{listingCommand(session.temp())});
    QVERIFY(!QFileInfo::exists(session.host().local(QStringLiteral("C:\\mount"))));
    QVERIFY(!QFileInfo::exists(session.host().local(QStringLiteral("C:\\DownloadFIle"))));
    QVERIFY(buildLog(session.host(), session.temp()).isEmpty());
    QVERIFY(imageRequests(m_server).isEmpty());
    const QStringList changed =
        before.differencesTo(HostSnapshot::take(session.host(), QString(), {session.temp()}));
    QVERIFY2(changed.isEmpty(), qPrintable(changed.join(QLatin1Char('\n'))));
}

void TestE2eFailures::noDownloadLinkFailsAndTheUserCanLeave() {
    ToolSession session(simhost::sampleHostSpec(), QString(), m_server.proxy());
    QVERIFY(session.host().isValid());
    QVERIFY(session.open());
    const HostSnapshot before =
        HostSnapshot::take(session.host(), QString(), workPaths(session.temp()));
    const int probes = probeRequests(m_server);
    const QStringList images = imageRequests(m_server);

    QVERIFY(session.startBuild());
    verifyBuilding(session);
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    verifyFailureDialog(session);
    QCOMPARE(session.window()->label_2->text(), kStartedText);
    QCOMPARE(session.window()->progressBar->value(), 0);

    QCOMPARE(probeRequests(m_server), probes + 1);
    QCOMPARE(imageRequests(m_server), images);
    QCOMPARE(commandLines(session.host()), QStringList{listingCommand(session.temp())});
    const QStringList changed = before.differencesTo(
        HostSnapshot::take(session.host(), QString(), workPaths(session.temp())));
    QVERIFY2(changed.isEmpty(), qPrintable(changed.join(QLatin1Char('\n'))));
    QVERIFY(buildLog(session.host(), session.temp())
                .contains(QLatin1String("check download link: FAILED (none configured)")));
    // No work file outlives the build.
    QVERIFY(!QFileInfo::exists(session.host().local(QStringLiteral("C:\\DownloadFIle"))));
    QVERIFY(!QFileInfo::exists(session.host().local(QStringLiteral("C:\\mount"))));

    // The failure dialog's Cancel leaves the tool and restarts the host product.
    const int shellStarts = hostLog(session.host(), "shell.log").size();
    QCOMPARE(ToolSession::leaveWith(session.info()->CancelButton), 0);
    const QStringList shell = hostLog(session.host(), "shell.log");
    QCOMPARE(shell.size(), shellStarts + 1);
    QVERIFY2(shell.last().endsWith(QLatin1String("/KestrinDataRecovery.exe")),
             qPrintable(shell.last()));
    QVERIFY(hostLog(session.host(), "power.log").last().startsWith(QLatin1String("clear")));
}

void TestE2eFailures::swappedDiskIsNeverFormattedEvenOnRecreate() {
    // After the window has listed the drive, another drive takes its number.
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.diskFaults[QStringLiteral("disk1")] = {
        {QStringLiteral("swapAfterListings"), 1},
        {QStringLiteral("swapModel"), QStringLiteral("Kingston DataTraveler 3.0 USB Device")}};
    ToolSession session(setup, m_server.goodImageLink(), m_server.proxy());
    QVERIFY(session.host().isValid());
    QVERIFY(session.open());
    verifyIdle(session, {kUsbModel}, {1});
    const HostSnapshot before =
        HostSnapshot::take(session.host(), QString(), workPaths(session.temp()));

    QVERIFY(session.startBuild());
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    verifyFailureDialog(session);
    const QString listing = listingCommand(session.temp());
    const QString size = sizeCommand(session.temp());
    QCOMPARE(commandLines(session.host()), QStringList({listing, size, listing}));
    QVERIFY(buildLog(session.host(), session.temp())
                .contains(QLatin1String("check chosen disk still attached: FAILED")));

    // Recreate tries the drive the user confirmed, finds the stranger again
    // and still erases nothing.
    QVERIFY(ToolSession::press(session.info()->RecreateButton));
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    verifyFailureDialog(session);
    QCOMPARE(commandLines(session.host()), QStringList({listing, size, listing, size, listing}));

    // Only the drive's description changed (the swap itself); its files, and
    // every other disk, are as they were.
    const QStringList changed = before.differencesTo(
        HostSnapshot::take(session.host(), QString(), workPaths(session.temp())));
    QCOMPARE(changed.size(), 1);
    QVERIFY2(changed.first().startsWith(QLatin1String("changed: disks/disk1/disk.ini ")),
             qPrintable(changed.first()));
    QVERIFY(letterTarget(session.host(), QLatin1Char('R')).isEmpty());
}

void TestE2eFailures::imageOneByteShortThenRecreateWithAGoodOne() {
    ToolSession session(simhost::sampleHostSpec(), m_server.shortImageLink(), m_server.proxy());
    QVERIFY(session.host().isValid());
    QVERIFY(session.open());
    TestHost &host = session.host();
    const QStringList work = workPaths(session.temp());
    const HostSnapshot whole = HostSnapshot::take(host, QString(), work);
    const HostSnapshot others = HostSnapshot::take(host, QStringLiteral("disk1"), work);
    const int probes = probeRequests(m_server);

    QVERIFY(session.startBuild());
    verifyBuilding(session);
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    verifyFailureDialog(session);
    QCOMPARE(session.window()->progressBar->value(), 0);

    // The drive was never reached; the short download is gone with the build.
    QStringList changed = whole.differencesTo(HostSnapshot::take(host, QString(), work));
    QVERIFY2(changed.isEmpty(), qPrintable(changed.join(QLatin1Char('\n'))));
    QCOMPARE(commandLines(host), QStringList{listingCommand(session.temp())});
    QVERIFY(!QFileInfo::exists(host.local(kDownloadedFile)));
    QVERIFY(buildLog(host, session.temp())
                .contains(QLatin1String("check image size: FAILED (238226803 bytes")));

    // Recreate Boot Media runs the whole start again, network check included.
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
    changed = others.differencesTo(HostSnapshot::take(host, QStringLiteral("disk1"), work));
    QVERIFY2(changed.isEmpty(), qPrintable(changed.join(QLatin1Char('\n'))));
    QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("C:\\DownloadFIle"))));
    QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("C:\\mount"))));
}

void TestE2eFailures::formatFailureCopiesNothing() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.faults[QStringLiteral("diskpartFailAt")] = QStringLiteral("format");
    ToolSession session(setup, m_server.goodImageLink(), m_server.proxy());
    QVERIFY(session.host().isValid());
    QVERIFY(session.open());
    TestHost &host = session.host();
    const QStringList work = workPaths(session.temp());
    const HostSnapshot others = HostSnapshot::take(host, QStringLiteral("disk1"), work);

    QVERIFY(session.startBuild());
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    verifyFailureDialog(session);
    QCOMPARE(session.window()->label_2->text(), kStartedText);
    QCOMPARE(session.window()->progressBar->value(), 5);

    // diskpart ran and failed; no copy of any kind followed.
    const QString listing = listingCommand(session.temp());
    const QString script = session.temp() + QStringLiteral("USBDiskFormat.bat");
    QCOMPARE(commandLines(host), QStringList({listing, sizeCommand(session.temp()), listing,
                                              kSystem + "\\diskpart.exe /s " + script,
                                              kSystem + "\\diskpart.exe /s " + script,
                                              kSystem + "\\rmdir.exe /S /Q C:\\mount",
                                              kSystem + "\\rmdir.exe /S /Q C:\\DownloadFIle"}));
    QCOMPARE(host.commands().at(3).exitCode, 4LL);
    QVERIFY(filesUnder(volumeOf(host, QStringLiteral("disk1"))).isEmpty());
    QVERIFY(letterTarget(host, QLatin1Char('R')).isEmpty());
    const QStringList changed = others.differencesTo(HostSnapshot::take(host, "disk1", work));
    QVERIFY2(changed.isEmpty(), qPrintable(changed.join(QLatin1Char('\n'))));
    QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("C:\\DownloadFIle"))));
    QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("C:\\mount"))));
    QVERIFY(!QFileInfo::exists(host.local(script)));
    QVERIFY(buildLog(host, session.temp()).contains(QLatin1String("check format: FAILED")));
}

void TestE2eFailures::imageWriteErrorIsNeverReportedAsCompleted() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.faults[QStringLiteral("xcopyWriteErrorFor")] = QStringLiteral("R:\\sources\\boot.wim*");
    ToolSession session(setup, m_server.goodImageLink(), m_server.proxy());
    QVERIFY(session.host().isValid());
    QVERIFY(session.open());
    TestHost &host = session.host();
    const QStringList work = workPaths(session.temp());
    const HostSnapshot others = HostSnapshot::take(host, QStringLiteral("disk1"), work);

    QVERIFY(session.startBuild());
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    verifyFailureDialog(session);
    // The last signal was the failure; nothing after it may claim success.
    QTest::qWait(200);
    QCOMPARE(session.window()->label_2->text(), QStringLiteral("Finalizing all settings..."));
    QCOMPARE(session.window()->progressBar->value(), 95);
    QVERIFY(!session.window()->CreateBootable->isVisible());

    const QStringList lines = commandLines(host);
    const int copy = lines.indexOf(kSystem + "\\Xcopy.exe /E /H /I C:\\DownloadFIle\\Boot.wim "
                                             "R:\\sources\\boot.wim*");
    QVERIFY(copy > 0);
    QCOMPARE(host.commands().at(copy).exitCode, 5LL);
    const QString image = host.local(QStringLiteral("R:\\sources\\boot.wim"));
    QVERIFY(QFileInfo(image).size() < 238226804);
    const QString log = buildLog(host, session.temp());
    QVERIFY(log.contains(QLatin1String("check image on the drive identical to the download: "
                                       "FAILED")));
    QVERIFY(!log.contains(QLatin1String("build complete")));
    const QStringList changed = others.differencesTo(HostSnapshot::take(host, "disk1", work));
    QVERIFY2(changed.isEmpty(), qPrintable(changed.join(QLatin1Char('\n'))));
    QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("C:\\DownloadFIle"))));
}

QTEST_MAIN(TestE2eFailures)
#include "tst_e2e_failures.moc"
