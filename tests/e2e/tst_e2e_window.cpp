// End to end through the real windows, around the builds: the drive list
// from each listing tool, disks coming and going, and every way out of every
// state - none of them may erase a disk or leave the user stuck - and a tool
// started without administrator rights, which may start nothing at all.
#include "support/HostChecks.h"
#include "support/HostSnapshot.h"
#include "support/ToolSession.h"

#include "builder/BuildCommands.h"
#include "dialogs/InfoDialogClass.h"
#include "mainwindow/ConnectivityProbe.h"

#include <QMovie>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using namespace hostchecks;
using namespace windowstates;

namespace {

constexpr int kWaitMs = 60000;

bool nothingWasStarted(TestHost &host, const QString &temp) {
    return !QFileInfo::exists(host.local(QStringLiteral("C:\\mount"))) &&
           !QFileInfo::exists(host.local(QStringLiteral("C:\\DownloadFIle"))) &&
           hostLog(host, "shell.log").isEmpty() && buildLog(host, temp).isEmpty();
}

} // namespace

class TestE2eWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_server.start()); }
    void init() { m_server.reset(); }

    void listFromEachListingTool_data();
    void listFromEachListingTool();
    void disksComingAndGoing();
    void waysOutOfEveryState_data();
    void waysOutOfEveryState();
    void checkThatIsNeverAnsweredFails();
    void withoutRightsNothingStarts();

private:
    E2eServer m_server;
};

void TestE2eWindow::listFromEachListingTool_data() {
    QTest::addColumn<bool>("wmic");
    QTest::addColumn<QString>("temp");
    QTest::addColumn<QString>("blocked"); // "missing", "read-only", "name taken"
    QTest::addColumn<bool>("listed");
    const QString blanks = QStringLiteral("C:\\Users\\Jane Doe (work)\\AppData\\Local\\Temp\\");
    const QString plain = QStringLiteral("C:\\Temp\\");
    // A folder without blanks only leaves out the quotes (the builds' own lines).
    for (bool wmic : {true, false})
        QTest::addRow("%s, blanks in the temporary folder", wmic ? "WMIC" : "PowerShell")
            << wmic << blanks << QString() << true;
    QTest::newRow("temporary folder missing") << true << plain << "missing" << false;
    QTest::newRow("temporary folder read-only") << true << plain << "read-only" << false;
    // Appending to a listing that cannot be cleared would mix an old list
    // with today's; nothing is listed through a folder that is not the tool's.
    QTest::newRow("listing folder's name taken by a file")
        << true << plain << "name taken" << false;
}

void TestE2eWindow::listFromEachListingTool() {
    QFETCH(bool, wmic);
    QFETCH(QString, temp);
    QFETCH(QString, blocked);
    QFETCH(bool, listed);
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.hasWmic = wmic;
    setup.tempDirectory = temp;
    ToolSession session(setup, m_server.goodImageLink(), m_server.proxy());
    TestHost &host = session.host();
    QVERIFY2(host.isValid(), qPrintable(host.error()));
    const QString listingFile = temp + QStringLiteral("BootableMediaCreator\\DiskInfo.txt");
    // A listing left over from an earlier run must not add its drive.
    QVERIFY(host.write(listingFile, "Index  Model\r\n9      Stale Drive USB Device  \r\n"));
    if (blocked == "missing")
        QVERIFY(QDir(host.local(temp)).removeRecursively());
    if (blocked == "read-only")
        simhost::setHostSetting(host.root(), "faults/readOnlyFolders",
                                QStringList{temp.chopped(1).toLower()});
    if (blocked == "name taken")
        QVERIFY(QDir(host.local(temp + "BootableMediaCreator")).removeRecursively() &&
                host.write(temp + "BootableMediaCreator", "someone's file"));
    QVERIFY(session.open());

    if (listed) {
        // The stick by its model, size and letter.
        verifyIdle(session, {kUsbModel}, {1});
        QCOMPARE(commandLines(host),
                 QStringList({listingCommand(temp, wmic), lettersCommand(temp, wmic)}));
        QVERIFY(!QFileInfo::exists(host.local(listingFile)));
        return;
    }
    // The stick is plugged in; what fails is the folder, and the list says
    // so. An empty list must never lead to a build.
    QCOMPARE(session.driveTexts().size(), 1);
    QVERIFY(!session.driveNumbers().first().isValid());
    if (blocked != "name taken")
        QVERIFY(session.driveTexts().first().contains("emporary folder"));
    QCOMPARE(session.describe(), kIdleWithoutDrive);
    QVERIFY(commandLines(host).isEmpty());
}

void TestE2eWindow::disksComingAndGoing() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    const simhost::DiskSpec stick = setup.disks.takeLast();
    ToolSession session(setup, m_server.goodImageLink(), m_server.proxy());
    TestHost &host = session.host();
    QVERIFY(session.open());
    QCOMPARE(session.describe(), kIdleWithoutDrive);
    const auto plugIn = [&](const char *id, int number, const char *model, const char *letter) {
        return plugInDisk(host, {id, number, model, stick.mediaType, stick.size, letter});
    };

    QVERIFY(plugIn("disk2", 2, "Beta Ultra USB Device", "F"));
    QVERIFY(plugIn("disk3", 3, "Gamma Traveler 3.0 USB Device", ""));
    QTRY_COMPARE_WITH_TIMEOUT(session.driveNumbers(), (QList<QVariant>{2, 3}), kWaitMs);
    QCOMPARE(session.describe(), kIdle);
    session.window()->DiskComboBox->setCurrentIndex(1);

    // Another stick plugged in must not move the choice to another drive,
    // nor close the confirmation of the chosen one.
    QVERIFY(ToolSession::press(session.window()->CreateBootable));
    QVERIFY(plugIn("disk1", 1, "Alpha USB Device", ""));
    QTRY_COMPARE_WITH_TIMEOUT(session.driveNumbers(), (QList<QVariant>{1, 2, 3}), kWaitMs);
    QCOMPARE(session.window()->DiskComboBox->currentData().toInt(), 3);
    QCOMPARE(session.describe(), kConfirming);

    // Its drive replaced by a stick of the same model and size in the same
    // slot, the confirmation cannot stand for the stranger.
    const QStringList texts = session.driveTexts();
    QSettings(host.root() + "/disks/disk3/disk.ini", QSettings::IniFormat)
        .setValue("disk/serial", "another serial");
    QTRY_COMPARE_WITH_TIMEOUT(session.describe(), kIdle, kWaitMs);
    QCOMPARE(session.driveTexts(), texts);
    QCOMPARE(session.window()->DiskComboBox->currentIndex(), 0);
    // Its drive removed, the same.
    QVERIFY(ToolSession::press(session.window()->CreateBootable));
    QVERIFY(QDir(host.root() + "/disks/disk1").removeRecursively()); // unplugged
    QTRY_COMPARE_WITH_TIMEOUT(session.driveNumbers(), (QList<QVariant>{2, 3}), kWaitMs);
    QCOMPARE(session.describe(), kIdle);
    for (const char *id : {"/disks/disk2", "/disks/disk3"})
        QVERIFY(QDir(host.root() + id).removeRecursively());
    QTRY_COMPARE_WITH_TIMEOUT(session.describe(), kIdleWithoutDrive, kWaitMs);
    QVERIFY(nothingWasStarted(host, session.temp()));
}

void TestE2eWindow::waysOutOfEveryState_data() {
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("leaves"); // the tool ends and starts the host product
    QTest::addColumn<int>("dpi");
    const auto row = [](const char *state, const char *way, bool leaves, int dpi = 96) {
        QTest::addRow("%s, %s, %d dpi", state, way, dpi) << state << way << leaves << dpi;
    };
    // The title's close runs Cancel's slot: once, where it ends the tool.
    for (const char *way : {"Cancel", "title close", "window close"})
        row("idle", way, true);
    // Nothing written yet: the download is given up, the tool stays. The
    // busy animation is drawn for the screen's class.
    row("downloading", "Cancel", false, 120);
    row("downloading", "window close", false, 144);
    // The first download refused, the fallback's transfer trickles: its job
    // must not stay behind with the transfer service.
    row("fallback", "Cancel", false);
    row("confirming", "Cancel", false);
    row("no connection", "Cancel", false);    // the notice's OK
    row("confirming", "window close", false); // closes only the confirmation
    row("failed", "Cancel", true);
    row("failed", "window close", true); // the failure dialog's Cancel
    for (const char *way : {"Cancel", "title close"})
        row("no rights", way, true);
}

void TestE2eWindow::waysOutOfEveryState() {
    QFETCH(QString, state);
    QFETCH(QString, way);
    QFETCH(bool, leaves);
    QFETCH(int, dpi);
    const QString link = state == "failed" ? m_server.shortImageLink() : m_server.goodImageLink();
    const bool offline = state == "no connection";
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.elevated = state != "no rights";
    setup.dpi = dpi;
    ToolSession session(setup, link, offline ? E2eServer::deadProxy() : m_server.proxy());
    TestHost &host = session.host();
    QVERIFY(session.open());
    const HostSnapshot before = session.snapshot();
    QCreateBootable *w = session.window();

    if (state == "confirming")
        QVERIFY(ToolSession::press(w->CreateBootable));
    const bool downloading = state == "downloading" || state == "fallback";
    if (downloading) {
        // Half the image, then a byte now and then: never done, never timed out.
        m_server.https().setMode(HttpTestServer::Mode::Trickle);
        // The refusal is the system's own download's: bitsadmin comes next.
        m_server.https().failNextRequests(state == "fallback" ? 1 : 0);
        // Into the trickle: half the image has gone out to the one that
        // downloads it.
        bool trickling = false;
        m_server.https().setTrigger(kMinimumImageSize / 2, [&trickling] { trickling = true; });
        QVERIFY(session.startBuild());
        QTRY_VERIFY_WITH_TIMEOUT(trickling, kWaitMs);
        QCOMPARE(session.describe(), kDownloading);
        const QMovie *busy = w->ProcessLabel->movie();
        const int side = dpi == 144 ? 48 : dpi == 120 ? 40 : 32; // the pictures' sizes
        QVERIFY(busy);
        QCOMPARE(busy->frameRect().size(), QSize(side, side));
    }
    if (state == "failed") {
        QVERIFY(session.startBuild());
        QTRY_VERIFY_WITH_TIMEOUT(session.failureShown(), kWaitMs);
    }
    if (offline) {
        // The confirmation turns into the notice, with one button: OK.
        QVERIFY(session.startBuild());
        QTRY_COMPARE_WITH_TIMEOUT(session.warning()->HeaderLabel->text(),
                                  QStringLiteral("No Internet connection"), kWaitMs);
        QVERIFY(!session.warning()->OkButton->isVisible());
        QCOMPARE(session.warning()->CancelButton->text(), QStringLiteral("OK"));
        QCOMPARE(session.describe(), kConfirming);
    }

    // The window system's close goes to the dialog that is open.
    const bool dialog = state == "confirming" || offline;
    QWidget *target = dialog ? static_cast<QWidget *>(session.warning()) : w;
    QAbstractButton *button = way == "title close" ? session.titleCloseButton()
                              : state == "failed"  ? session.info()->CancelButton
                              : dialog             ? session.warning()->CancelButton
                                                   : w->CancelButton;
    // The way out restarts the host product (none lies beside the test, so
    // nothing is started): it shows as its clear of the keep-awake request on
    // this thread; a build clears its own on the worker thread.
    const int powerNotes = hostLog(host, "power.log").size();
    const QString wayOut = QStringLiteral("clear thread=%1")
                               .arg(reinterpret_cast<quintptr>(QThread::currentThreadId()));
    if (leaves) {
        QCOMPARE(way == "window close" ? ToolSession::leaveBy(target, [target] { target->close(); })
                                       : ToolSession::leaveWith(button),
                 0);
        QCOMPARE(hostLog(host, "power.log").mid(powerNotes).count(wayOut), 1);
        QVERIFY(keepAwakeCleared(host, true));
        return;
    }
    if (way == "window close")
        target->close();
    else
        QVERIFY(ToolSession::press(button));
    QTRY_COMPARE_WITH_TIMEOUT(session.describe(), kIdle, kWaitMs);

    // The tool goes on, holding nothing of what was stopped, and no disk
    // was touched.
    QVERIFY(w->isVisible());
    QCOMPARE(hostLog(host, "power.log").mid(powerNotes).count(wayOut), 0);
    for (const char *gone : {"C:\\DownloadFIle", "C:\\mount"})
        QVERIFY2(!QFileInfo::exists(host.local(gone)), gone);
    VERIFY_UNCHANGED(before, session.snapshot());
    QVERIFY(QDir(host.root() + QStringLiteral("/bits")).isEmpty());
    if (state == "fallback")
        QCOMPARE(commandLines(host).last(), kSystem + "\\bitsadmin.exe /cancel myDownloadJob");
    if (downloading)
        QVERIFY(keepAwakeCleared(host, true));
    else
        QVERIFY(nothingWasStarted(host, session.temp()));
}

void TestE2eWindow::checkThatIsNeverAnsweredFails() {
    // A proxy that accepts the connection and then says nothing at all.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    QList<QTcpSocket *> held;
    connect(&silent, &QTcpServer::newConnection, this, [&]() {
        while (QTcpSocket *s = silent.nextPendingConnection())
            held.append(s);
    });
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), silent.serverPort()));
    QCOMPARE(ConnectivityProbe::run(300), false);
    QVERIFY(!held.isEmpty()); // the request did reach the silent server
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    qDeleteAll(held);
}

void TestE2eWindow::withoutRightsNothingStarts() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.elevated = false;
    ToolSession session(setup, m_server.goodImageLink(), m_server.proxy());
    TestHost &host = session.host();
    const auto requests = [this] {
        return m_server.http().requestTargets().size() + m_server.https().requestTargets().size();
    };
    const int requestsBefore = requests();
    QVERIFY(session.open());
    QCreateBootable *w = session.window();
    // The drive is listed but cannot be chosen; the status line says why,
    // and so does the screen reader, unasked.
    const QString noRights = QString(kIdleWithoutDrive).replace("status hidden", "status shown");
    QCOMPARE(session.driveNumbers(), QList<QVariant>{1});
    QCOMPARE(session.describe(), noRights);
    QVERIFY2(w->label_2->text().startsWith("Administrator rights"), qPrintable(w->label_2->text()));
    QTRY_COMPARE_WITH_TIMEOUT(hostLog(host, "announcements.log"), QStringList{w->label_2->text()},
                              kWaitMs);

    // Neither a click nor a key starts anything, nor the start itself.
    QVERIFY(!session.startBuild());
    for (QWidget *target : {static_cast<QWidget *>(w->CreateBootable), static_cast<QWidget *>(w)})
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})
            QTest::keyClick(target, key);
    QVERIFY(QMetaObject::invokeMethod(w, "OnProcessStart"));
    // A stick plugged in is listed, and cannot be chosen either.
    QVERIFY(plugInDisk(host, {"disk2", 2, "Beta Ultra USB Device", setup.disks.last().mediaType,
                              setup.disks.last().size, ""}));
    QTRY_COMPARE_WITH_TIMEOUT(session.driveNumbers(), (QList<QVariant>{1, 2}), kWaitMs);
    QCOMPARE(session.describe(), noRights);

    // The listings are all that ran; nothing went out to the network.
    const QStringList listings{listingCommand(session.temp()), lettersCommand(session.temp())};
    QCOMPARE(commandLines(host), listings + listings);
    QCOMPARE(requests(), requestsBefore);
    QVERIFY(nothingWasStarted(host, session.temp()));
}

QTEST_MAIN(TestE2eWindow)
#include "tst_e2e_window.moc"
