// The drive of a real build on the simulated host, started in a virtual UEFI
// machine: it must start, and the same files laid out as the drive used to
// be (the boot application only under its own name) must not.
#include "app/AppContext.h"
#include "builder/ThreadDriveClone.h"
#include "drives/DriveListing.h"
#include "platform/HostPlatform.h"
#include "sim/platform/SimRegistry.h"
#include "support/HostChecks.h"
#include "support/ToolSession.h"

#include <QProcess>
#include <QtTest>

namespace {

const QString kMarker = QStringLiteral("RECOVERY DRIVE STARTED BY UEFI");

// Writes the folder into a FAT32 disk image and starts it
// (start-in-uefi-vm.sh): its exit code, and its console after a blank.
QString startInUefiMachine(const QString &folder) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start("bash", {qEnvironmentVariable("BMC_UEFI_START"), folder, kMarker, "50"});
    if (!process.waitForFinished(100000))
        process.kill();
    process.waitForFinished();
    return QString::number(process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1) +
           ' ' + QString::fromLocal8Bit(process.readAll());
}

} // namespace

class TestBootUefi : public QObject {
    Q_OBJECT

private slots:
    void finishedDriveStartsAUefiComputer();
};

void TestBootUefi::finishedDriveStartsAUefiComputer() {
    fixHostIdentity();
    QFile program(qEnvironmentVariable("BMC_UEFI_PROGRAM"));
    QVERIFY2(program.open(QIODevice::ReadOnly), "the UEFI test program was not built");
    E2eServer server;
    QVERIFY(server.start());
    // Without WMIC: the disk's size comes through PowerShell.
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.hasWmic = false;
    TestHost host(setup);
    QVERIFY2(host.isValid(), qPrintable(host.error()));
    // Plain http, vouched for by the image's pinned digest.
    for (const auto &[name, value] :
         {std::make_pair("DownloadLink_bootwim", server.http().url("/boot.wim")),
          std::make_pair("DownloadSha256_bootwim",
                         QString::fromLatin1(server.goodImageHash().toHex()))})
        QVERIFY(simhost::setRegistryValue(host.root(), AppContext::hostSettingsKey(), name, value));
    // The test program in place of the Windows UEFI boot application.
    QVERIFY(host.write(QStringLiteral("C:\\Windows\\Boot\\EFI\\bootmgfw.efi"), program.readAll()));

    const DriveListingResult listing = listRemovableDrives(
        hostchecks::kSystem, QString::fromStdWString(hostplatform::tempDirectory()),
        DriveLetters::Skip);
    QCOMPARE(listing.drives.size(), 1);
    handOverSelectedDisk(listing.drives.first());
    ThreadDriveClone worker;
    QSignalSpy complete(&worker, SIGNAL(ProcessComplete()));
    worker.start();
    QVERIFY(worker.wait(120000));
    QCOMPARE(complete.count(), 1);

    const QString drive = hostchecks::volumeOf(host, QStringLiteral("disk1"));
    const QString started = startInUefiMachine(drive);
    QVERIFY2(started.startsWith("0 ") && started.contains(kMarker) &&
                 started.contains("[the machine powered itself off]"),
             qPrintable(started));

    // The same files as the drive was laid out before: the boot application
    // only as \efi\boot\bootmgfw.efi. The firmware finds nothing to start,
    // though it got as far as the drive's FAT volume.
    QTemporaryDir old;
    QCOMPARE(QProcess::execute("cp", {"-al", drive + QStringLiteral("/."), old.path()}), 0);
    QVERIFY(QFile::remove(old.filePath(QStringLiteral("efi/boot/bootx64.efi"))));
    const QString oldLayout = startInUefiMachine(old.path());
    QVERIFY2(oldLayout.startsWith("1 ") && !oldLayout.contains(kMarker) &&
                 oldLayout.contains("FS0:"),
             qPrintable(oldLayout));
}

QTEST_GUILESS_MAIN(TestBootUefi)
#include "tst_boot_uefi.moc"
