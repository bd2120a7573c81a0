// End to end through the real windows: where the drive list comes from and
// how it follows disks that come and go, with a whole build on it each time.
#include "HostSnapshot.h"
#include "ToolSession.h"
#include "WindowStates.h"
#include "support/HostChecks.h"

#include <QDir>
#include <QtTest>

using namespace hostchecks;
using namespace windowstates;

namespace {

constexpr int kBuildTimeoutMs = 180000;
constexpr int kPlugNoticedMs = 20000;

const QString kUsbModel = QStringLiteral("Generic Flash Disk USB Device ");
const QString kSanDisk = QStringLiteral("SanDisk Ultra USB Device");
const QString kKingston = QStringLiteral("Kingston DataTraveler 3.0 USB Device");

QStringList workPaths(const QString &temp) {
    return {temp, QStringLiteral("C:\\DownloadFIle"), QStringLiteral("C:\\mount")};
}

} // namespace

class TestE2eDriveList : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void withoutWmicTheListComesFromPowerShell();
    void disksPluggedInShowWithoutARestart();

private:
    E2eServer m_server;
};

void TestE2eDriveList::initTestCase() {
    QVERIFY(m_server.start());
}

void TestE2eDriveList::withoutWmicTheListComesFromPowerShell() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.hasWmic = false;
    ToolSession session(setup, m_server.goodImageLink(), m_server.proxy());
    QVERIFY2(session.host().isValid(), qPrintable(session.host().error()));
    TestHost &host = session.host();
    QVERIFY(
        !QFileInfo::exists(host.local(QStringLiteral("C:\\Windows\\system32\\wbem\\WMIC.exe"))));
    QVERIFY(session.open());
    const QString temp = session.temp();
    verifyIdle(session, {kUsbModel}, {1});
    const QString listing = listingCommand(temp, false);
    QCOMPARE(commandLines(host), QStringList{listing});
    const HostSnapshot others = HostSnapshot::take(host, QStringLiteral("disk1"), workPaths(temp));

    QVERIFY(session.startBuild());
    verifyBuilding(session);
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    verifyFinished(session);

    // The build's own check of the drive used the same fallback.
    const QStringList lines = commandLines(host);
    QCOMPARE(lines.at(0), listing);
    QCOMPARE(lines.at(2), listing);
    QCOMPARE(formatToCleanUp(lines), buildCommands(temp, 'R'));
    QVERIFY(!lines.join(QLatin1Char('\n')).contains(QLatin1String("WMIC")));
    const QString usb = volumeOf(host, QStringLiteral("disk1"));
    QCOMPARE(letterTarget(host, 'R'), QFileInfo(usb).canonicalFilePath());
    QCOMPARE(filesUnder(usb), recoveryDriveLayout(host));
    QCOMPARE(sha256(host.local(QStringLiteral("R:\\sources\\boot.wim"))), m_server.goodImageHash());
    const QStringList changed =
        others.differencesTo(HostSnapshot::take(host, QStringLiteral("disk1"), workPaths(temp)));
    QVERIFY2(changed.isEmpty(), qPrintable(changed.join(QLatin1Char('\n'))));
}

void TestE2eDriveList::disksPluggedInShowWithoutARestart() {
    ToolSession session(simhost::sampleHostSpec(), m_server.goodImageLink(), m_server.proxy());
    QVERIFY(session.host().isValid());
    QVERIFY(session.open());
    TestHost &host = session.host();
    const QString temp = session.temp();
    const QString listing = listingCommand(temp);
    verifyIdle(session, {kUsbModel}, {1});

    // Idle: a second stick appears in the list; the choice stays on the first.
    QVERIFY(plugInDisk(host, QStringLiteral("disk5"), 2, kSanDisk, QStringLiteral("F")));
    QTRY_COMPARE_WITH_TIMEOUT(session.driveTexts(), QStringList({kUsbModel, kSanDisk + ' '}),
                              kPlugNoticedMs);
    verifyIdle(session, {kUsbModel, kSanDisk + ' '}, {1, 2});
    QCOMPARE(commandLines(host), QStringList({listing, listing}));
    const HostSnapshot others = HostSnapshot::take(host, QStringLiteral("disk1"), workPaths(temp));
    QVERIFY(others.contains(QStringLiteral("disks/disk5/volume/notes.txt")));
    QVERIFY(others.contains(QStringLiteral("drives/F")));

    // During a build on the first stick a third one is plugged in: the list
    // the build started from stays as it is until the build has ended.
    QVERIFY(session.startBuild());
    verifyBuilding(session);
    QVERIFY(plugInDisk(host, QStringLiteral("disk6"), 3, kKingston, QString()));
    QTest::qWait(500);
    if (!session.buildEnded())
        QCOMPARE(session.driveTexts(), QStringList({kUsbModel, kSanDisk + ' '}));
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    verifyFinished(session);
    QTRY_COMPARE_WITH_TIMEOUT(session.driveTexts(),
                              QStringList({kUsbModel, kSanDisk + ' ', kKingston + ' '}),
                              kPlugNoticedMs);
    QCOMPARE(session.driveNumbers(), QList<QVariant>({1, 2, 3}));
    QCOMPARE(session.window()->DiskComboBox->currentIndex(), 0);

    // The window listed nothing while the build ran: its two listings, the
    // build's size query and its check, the build, then the one deferred listing.
    QStringList expected = {listing, listing, sizeCommand(temp), listing};
    expected += buildCommands(temp, 'R');
    expected += listing;
    QCOMPARE(commandLines(host), expected);

    const QString usb = volumeOf(host, QStringLiteral("disk1"));
    QCOMPARE(letterTarget(host, 'R'), QFileInfo(usb).canonicalFilePath());
    QCOMPARE(filesUnder(usb), recoveryDriveLayout(host));
    QCOMPARE(sha256(host.local(QStringLiteral("R:\\sources\\boot.wim"))), m_server.goodImageHash());
    // The stick plugged in before is untouched; the new one only appeared.
    for (const QString &change :
         others.differencesTo(HostSnapshot::take(host, QStringLiteral("disk1"), workPaths(temp))))
        QVERIFY2(change.startsWith(QLatin1String("new: disks/disk6/")), qPrintable(change));

    // Taking a stick out takes it off the list.
    QVERIFY(QDir(host.root() + QStringLiteral("/disks/disk6")).removeRecursively());
    QTRY_COMPARE_WITH_TIMEOUT(session.driveTexts(), QStringList({kUsbModel, kSanDisk + ' '}),
                              kPlugNoticedMs);
    QVERIFY(session.window()->CreateBootable->isEnabled());
}

QTEST_MAIN(TestE2eDriveList)
#include "tst_e2e_drivelist.moc"
