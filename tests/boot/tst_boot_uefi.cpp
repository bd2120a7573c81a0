// The drive of a real build on the simulated host, started in a virtual UEFI
// machine: it must start, and the same files laid out as the drive used to
// be (the boot application only under its own name) must not.
#include "app/AppContext.h"
#include "builder/BuildCommands.h"
#include "builder/DriveListing.h"
#include "builder/ThreadDriveClone.h"
#include "platform/HostPlatform.h"
#include "platform/sim/SimRegistry.h"
#include "support/HostChecks.h"
#include "support/HttpTestServer.h"
#include "support/TestHost.h"

#include <QProcess>
#include <QSettings>
#include <QtTest>

namespace {

const char kMarker[] = "RECOVERY DRIVE STARTED BY UEFI";
const char kPoweredOff[] = "[the machine powered itself off]";

struct StartResult {
    int exitCode = -1;
    QString console;
};

// Writes the folder into a FAT32 disk image and starts it (start-in-uefi-vm.sh).
StartResult startInUefiMachine(const QString &folder) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("bash"), {qEnvironmentVariable("BMC_UEFI_START"), folder,
                                           QLatin1String(kMarker), QStringLiteral("50")});
    StartResult result;
    if (!process.waitForFinished(100000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.console = QString::fromLocal8Bit(process.readAll());
    return result;
}

} // namespace

class TestBootUefi : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void finishedDriveStartsAUefiComputer();

private:
    QTemporaryDir m_images;
    HttpTestServer m_server;
    QByteArray m_imageHash;
};

void TestBootUefi::initTestCase() {
    fixHostIdentity();
    QVERIFY2(QFileInfo(qEnvironmentVariable("BMC_UEFI_PROGRAM")).isFile(),
             "the UEFI test program was not built");
    QVERIFY(m_images.isValid());
    const QString image = m_images.filePath(QStringLiteral("boot.wim"));
    QVERIFY(HttpTestServer::createSparseImage(image, kMinimumImageSize));
    m_server.serveFile(QStringLiteral("/boot.wim"), image);
    m_imageHash = hostchecks::sha256(image);
    QVERIFY(m_server.start());
}

void TestBootUefi::finishedDriveStartsAUefiComputer() {
    TestHost host;
    QVERIFY2(host.isValid(), qPrintable(host.error()));
    QVERIFY(simhost::setRegistryValue(host.root(), AppContext::hostSettingsKey(),
                                      QStringLiteral("DownloadLink_bootwim"),
                                      m_server.url(QStringLiteral("/boot.wim"))));
    // Plain http, vouched for by the image's pinned digest.
    QVERIFY(simhost::setRegistryValue(host.root(), AppContext::hostSettingsKey(),
                                      QStringLiteral("DownloadSha256_bootwim"),
                                      QString::fromLatin1(m_imageHash.toHex())));
    // The test program in place of the Windows UEFI boot application.
    QFile program(qEnvironmentVariable("BMC_UEFI_PROGRAM"));
    QVERIFY(program.open(QIODevice::ReadOnly));
    QVERIFY(host.write(QStringLiteral("C:\\Windows\\Boot\\EFI\\bootmgfw.efi"), program.readAll()));

    const DriveListingResult listing = listRemovableDrives(
        hostchecks::kSystem, QString::fromStdWString(hostplatform::tempDirectory()));
    QCOMPARE(listing.drives.size(), 1);
    handOverSelectedDisk(listing.drives.first().number, listing.drives.first().model);
    ThreadDriveClone worker;
    QSignalSpy complete(&worker, SIGNAL(ProcessComplete()));
    worker.start();
    QVERIFY(worker.wait(120000));
    QCOMPARE(complete.count(), 1);

    const QString drive = hostchecks::volumeOf(host, QStringLiteral("disk1"));
    QSettings disk(drive + QStringLiteral("/../disk.ini"), QSettings::IniFormat);
    QCOMPARE(disk.value(QStringLiteral("disk/fileSystem")).toString(), QStringLiteral("FAT32"));
    QCOMPARE(disk.value(QStringLiteral("disk/partitionStyle")).toString(), QStringLiteral("MBR"));
    QVERIFY(disk.value(QStringLiteral("disk/active")).toBool());

    const StartResult started = startInUefiMachine(drive);
    QVERIFY2(started.exitCode == 0, qPrintable(started.console));
    QVERIFY2(started.console.contains(QLatin1String(kMarker)), qPrintable(started.console));
    QVERIFY2(started.console.contains(QLatin1String(kPoweredOff)), qPrintable(started.console));

    // The same files as the drive was laid out before: the boot application
    // only as \efi\boot\bootmgfw.efi. The firmware finds nothing to start.
    QTemporaryDir old;
    QVERIFY(old.isValid());
    QCOMPARE(QProcess::execute(QStringLiteral("cp"),
                               {QStringLiteral("-al"), drive + QStringLiteral("/."), old.path()}),
             0);
    QVERIFY(QFile::remove(old.filePath(QStringLiteral("efi/boot/bootx64.efi"))));
    QVERIFY(QFileInfo(old.filePath(QStringLiteral("efi/boot/bootmgfw.efi"))).isFile());
    const StartResult oldLayout = startInUefiMachine(old.path());
    QVERIFY2(oldLayout.exitCode == 1, qPrintable(oldLayout.console));
    QVERIFY(!oldLayout.console.contains(QLatin1String(kMarker)));
    // It got as far as looking at the drive: the firmware saw the FAT volume.
    QVERIFY2(oldLayout.console.contains(QLatin1String("FS0:")), qPrintable(oldLayout.console));
}

QTEST_GUILESS_MAIN(TestBootUefi)
#include "tst_boot_uefi.moc"
