// The main window through its states: idle, the confirmation, the
// connectivity check failing and succeeding, a build running, its download
// ending, the build finishing or finding the image too small and being
// recreated, and the ways out. Builds download from a server on 127.0.0.1;
// the connectivity check goes through a stand-in proxy.
#include "WindowHarness.h"

#include "builder/BuildCommands.h"
#include "mainwindow/DeviceWatcher.h"
#include "support/HttpTestServer.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

using namespace mwtest;

namespace {

const QString kStartedStatus =
    QStringLiteral("Please wait. Preparing the selected media. This may take some time.");
const QString kImage = QStringLiteral("C:\\DownloadFIle\\boot.wim");

const QString kProbing =
    QStringLiteral("list off | create hidden,off | leave off | status hidden | progress hidden | "
                   "animation shown,empty | confirm hidden | failure hidden");
const QString kNoConnection =
    QStringLiteral("list on | create shown,on | leave on | status hidden | progress hidden | "
                   "animation shown,empty | confirm shown | failure hidden");
// While the image downloads nothing is written: the user may still leave.
const QString kBuilding =
    QStringLiteral("list off | create hidden,off | leave on | status shown | progress shown 0 | "
                   "animation shown,running | confirm hidden | failure hidden");
const QString kDownloadEnded =
    QStringLiteral("list off | create hidden,off | leave off | status shown | progress shown 0 | "
                   "animation hidden | confirm hidden | failure hidden");
const QString kDownloadIncomplete =
    QStringLiteral("list off | create hidden,off | leave off | status shown | progress shown 0 | "
                   "animation hidden | confirm hidden | failure shown");
const QString kFinished =
    QStringLiteral("list on | create shown,on | leave on | status shown | progress shown 100 | "
                   "animation hidden | confirm hidden | failure hidden");

// The window's state just before each queued slot call reaches it, that is
// after every worker signal delivered before.
class StateRecorder : public QObject {
public:
    explicit StateRecorder(const MainWindow &w) : m_w(w) { w.window->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::MetaCall)
            states.append(m_w.describe());
        return false;
    }
    QStringList states;

private:
    const MainWindow &m_w;
};

// Runs an action inside the application's event loop, as in the running
// tool. Returns the loop's result: 0 once the tool quit it, 99 when nothing
// did.
int runLoopAnd(QObject *context, const std::function<void()> &action) {
    QTimer::singleShot(0, context, action);
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, []() { QCoreApplication::exit(99); });
    giveUp.start(20000);
    return QCoreApplication::exec();
}

} // namespace

class TestMainWindowStates : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void idleAfterConstruction_data();
    void idleAfterConstruction();
    void confirmationShowsOnceCentredAndCancels();
    void keysAtWindowLevelStartNothing();
    void failedCheckTurnsTheConfirmationIntoANotice_data();
    void failedCheckTurnsTheConfirmationIntoANotice();
    void successfulCheckStartsABuildOnTheCurrentItemsDisk();
    void wholeBuildThenASecondStartFromFinished();
    void animationFollowsTheScreenClass_data();
    void animationFollowsTheScreenClass();
    void stoppingDuringTheDownloadEndsTheBuildCleanly_data();
    void stoppingDuringTheDownloadEndsTheBuildCleanly();
    void leavingRestartsTheHostAndQuits_data();
    void leavingRestartsTheHostAndQuits();

private:
    // Clicks the start button and the confirmation's OK; returns with the
    // build started (or the notice shown).
    void confirmAndStart(MainWindow &w);
    void verifyLeaves(const TestHost &host, const std::function<void()> &action);

    QTemporaryDir m_images;
    HttpTestServer m_server;
    QString m_savedCurrentDir;
};

void TestMainWindowStates::initTestCase() {
    fixHostIdentity();
    m_savedCurrentDir = QDir::currentPath();
    QVERIFY(m_images.isValid());
    const QString full = m_images.filePath(QStringLiteral("boot.wim"));
    const QString small = m_images.filePath(QStringLiteral("small.wim"));
    QVERIFY(HttpTestServer::createSparseImage(full, kMinimumImageSize));
    QVERIFY(HttpTestServer::createSparseImage(small, 1 << 20));
    m_server.serveFile(QStringLiteral("/boot.wim"), full);
    m_server.serveFile(QStringLiteral("/small.wim"), small);
    QVERIFY(m_server.start());
}

void TestMainWindowStates::cleanup() {
    m_server.setHeld(false);
    QDir::setCurrent(m_savedCurrentDir);
}

void TestMainWindowStates::confirmAndStart(MainWindow &w) {
    click(w.window->CreateBootable);
    QVERIFY(w.warning->isVisible());
    click(w.warning->OkButton);
}

void TestMainWindowStates::idleAfterConstruction_data() {
    QTest::addColumn<bool>("withDrive");
    QTest::newRow("with a drive") << true;
    QTest::newRow("without a drive") << false;
}

void TestMainWindowStates::idleAfterConstruction() {
    QFETCH(bool, withDrive);
    TestHost host(withDrive ? simhost::sampleHostSpec() : hostWithoutUsbDrive());
    QVERIFY2(host.isValid(), qPrintable(host.error()));
    MainWindow w;
    QVERIFY(w.isComplete());
    QVERIFY(QTest::qWaitForWindowExposed(w.window));

    QCOMPARE(w.describe(), withDrive ? kIdleWithDrives : kIdleWithoutDrive);
    QCOMPARE(w.window->progressBar->minimum(), 0);
    QCOMPARE(w.window->progressBar->maximum(), 100);
    QCOMPARE(w.window->progressBar->value(), 0);
    // A disabled start button opens nothing.
    click(w.window->CreateBootable);
    QCOMPARE(w.warning->isVisible(), withDrive);
}

void TestMainWindowStates::confirmationShowsOnceCentredAndCancels() {
    TestHost host;
    QVERIFY(host.isValid());
    MainWindow w;
    QVERIFY(QTest::qWaitForWindowExposed(w.window));
    const int dialogsBefore = QApplication::topLevelWidgets().size();

    click(w.window->CreateBootable);
    QVERIFY(w.warning->isVisible());
    QCOMPARE(w.warning->HeaderLabel->text(), QStringLiteral("Confirm Operation"));
    QCOMPARE(w.warning->InfoLabel->text(),
             QStringLiteral("Please ensure that you have taken backup of your data on the "
                            "selected USB drive.\nThis operation will erase all data from the "
                            "selected drive while creating recovery drive."));
    QVERIFY(w.warning->OkButton->isVisible());
    QCOMPARE(w.warning->pos(), w.centredFor(w.warning));
    // The window itself is unchanged and stays usable.
    QCOMPARE(w.describe(), QString(kIdleWithDrives).replace("confirm hidden", "confirm shown"));

    // A second click reuses the one dialog; it is placed when shown and
    // does not follow the window afterwards.
    w.window->move(w.window->x() + 37, w.window->y() + 11);
    click(w.window->CreateBootable);
    QCOMPARE(QApplication::topLevelWidgets().size(), dialogsBefore);
    QCOMPARE(w.warning->pos(), w.centredFor(w.warning));
    const QPoint placed = w.warning->pos();
    w.window->move(w.window->x() - 60, w.window->y() + 25);
    QCOMPARE(w.warning->pos(), placed);

    click(w.warning->CancelButton);
    QCOMPARE(w.describe(), kIdleWithDrives);
    QCOMPARE(listingsRun(host), 1);
    QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("C:\\mount"))));
}

void TestMainWindowStates::keysAtWindowLevelStartNothing() {
    simhost::HostSpec setup = hostWithoutUsbDrive();
    setup.disks.append(removableDisk(2, QStringLiteral("SanDisk Ultra USB Device")));
    setup.disks.append(removableDisk(3, QStringLiteral("Kingston DataTraveler 3.0 USB Device")));
    TestHost host(setup);
    QVERIFY(host.isValid());
    MainWindow w;
    QVERIFY(QTest::qWaitForWindowExposed(w.window));
    QSignalSpy rejected(w.window, &QDialog::rejected);

    // Escape, sent to the window or to the focused list, closes nothing.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w.window, &escape);
    QVERIFY(!escape.isAccepted());
    QTest::keyClick(w.window, Qt::Key_Escape);
    w.combo()->setFocus();
    QTest::keyClick(w.combo(), Qt::Key_Escape);
    QVERIFY(w.window->isVisible());
    QCOMPARE(rejected.count(), 0);

    // Return or Enter presses no default button.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(w.window, &enter);
    QVERIFY(enter.isAccepted());
    QTest::keyClick(w.combo(), Qt::Key_Return);
    QTest::keyClick(w.combo(), Qt::Key_Enter);
    QTest::keyClick(w.window, Qt::Key_Return);
    QCOMPARE(w.describe(), kIdleWithDrives);

    // The list still handles its own keys.
    QCOMPARE(w.combo()->currentIndex(), 0);
    QTest::keyClick(w.combo(), Qt::Key_Down);
    QCOMPARE(w.combo()->currentIndex(), 1);
    QCOMPARE(listingsRun(host), 1);
}

void TestMainWindowStates::failedCheckTurnsTheConfirmationIntoANotice_data() {
    QTest::addColumn<bool>("proxyListens");
    QTest::newRow("nothing answers") << false;
    QTest::newRow("connection closed without data") << true;
}

void TestMainWindowStates::failedCheckTurnsTheConfirmationIntoANotice() {
    QFETCH(bool, proxyListens);
    TestHost host;
    QVERIFY(host.isValid());
    QVERIFY(host.write(kImage, "image of an earlier build"));
    setDownloadLink(host, m_server.url(QStringLiteral("/small.wim")));
    ProbeProxy proxy;
    proxy.answer = ProbeProxy::Answer::CloseWithoutData;
    QVERIFY(proxy.listen());
    useProxy(host, proxyListens ? proxy.port() : closedPort());

    MainWindow w;
    QVERIFY(QTest::qWaitForWindowExposed(w.window));
    QStringList whileChecking;
    proxy.onRequest = [&]() { whileChecking.append(w.describe()); };
    confirmAndStart(w);

    if (proxyListens) {
        QVERIFY(!whileChecking.isEmpty());
        QCOMPARE(whileChecking.first(), kProbing);
        QCOMPARE(proxy.requestLines.first(), QByteArray("GET http://www.wikipedia.org/ HTTP/1.1"));
    }
    QCOMPARE(w.describe(), kNoConnection);
    QCOMPARE(w.warning->HeaderLabel->text(), QStringLiteral("No Internet connection"));
    QCOMPARE(w.warning->InfoLabel->text(),
             QStringLiteral("Internet connection is required for creating recovery drive."));
    QVERIFY(!w.warning->OkButton->isVisible());
    QVERIFY(w.warning->CancelButton->isVisible());
    QCOMPARE(w.warning->CancelButton->text(), QStringLiteral("OK"));
    QCOMPARE(w.warning->InfoLabel->font().family(), QStringLiteral("Segoe UI"));
    QCOMPARE(w.warning->InfoLabel->font().pointSize(), 10);
    QCOMPARE(w.warning->pos(), w.centredFor(w.warning));

    // Nothing of a build happened: no work folder, the old image kept, no
    // tool run after the listing, no keep-awake request.
    QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("C:\\mount\\winre"))));
    QCOMPARE(host.read(kImage), QByteArray("image of an earlier build"));
    QCOMPARE(host.commands().size(), 1);
    QVERIFY(simhost::readLog(host.root(), QStringLiteral("power.log")).isEmpty());
    QCOMPARE(m_server.requestTargets().filter(QStringLiteral(".wim")).size(), 0);

    // Its one button hides it, and the window is back where a build starts,
    // on the same drive.
    const int chosen = w.combo()->currentIndex();
    click(w.warning->CancelButton);
    QCOMPARE(w.describe(), QString(kNoConnection).replace("confirm shown", "confirm hidden"));
    QCOMPARE(w.combo()->currentIndex(), chosen);
    if (!proxyListens)
        return;

    // With the network back, the next try asks again and builds.
    proxy.answer = ProbeProxy::Answer::Body;
    click(w.window->CreateBootable);
    QVERIFY(w.warning->OkButton->isVisible());
    QCOMPARE(w.warning->CancelButton->text(), QStringLiteral("Cancel"));
    QCOMPARE(w.warning->HeaderLabel->text(), QStringLiteral("Confirm Operation"));
    click(w.warning->OkButton);
    QCOMPARE(w.describe(), kBuilding);
    QTRY_VERIFY(w.info->isVisible());
}

void TestMainWindowStates::successfulCheckStartsABuildOnTheCurrentItemsDisk() {
    simhost::HostSpec setup = hostWithoutUsbDrive();
    setup.disks.append(removableDisk(2, QStringLiteral("SanDisk Ultra USB Device")));
    setup.disks.append(removableDisk(3, QStringLiteral("Kingston DataTraveler 3.0 USB Device")));
    TestHost host(setup);
    QVERIFY(host.isValid());
    QVERIFY(host.write(kImage, "image of an earlier build"));
    QVERIFY(host.write(QStringLiteral("C:\\mount\\winre\\keep.txt"), "kept"));
    setDownloadLink(host, m_server.url(QStringLiteral("/small.wim")));
    ProbeProxy proxy;
    proxy.status = "404 Not Found"; // any answer with a body will do
    QVERIFY(proxy.listen());
    useProxy(host, proxy.port());

    MainWindow w;
    QVERIFY(QTest::qWaitForWindowExposed(w.window));
    auto *devices = w.window->findChild<DeviceWatcher *>();
    QVERIFY(devices);
    QSignalSpy arrivals(devices, SIGNAL(deviceArrived()));
    w.combo()->setCurrentIndex(1);
    QStringList whileChecking;
    proxy.onRequest = [&]() { whileChecking.append(w.describe()); };
    m_server.setHeld(true);
    confirmAndStart(w);

    // Building, before any signal of the worker has been delivered.
    QCOMPARE(whileChecking, QStringList{kProbing});
    QCOMPARE(proxy.requestLines, QList<QByteArray>{"GET http://www.wikipedia.org/ HTTP/1.1"});
    QCOMPARE(w.describe(), kBuilding);
    QCOMPARE(w.window->label_2->text(), kStartedStatus);
    // The disk number is the current item's data, not its position.
    QCOMPARE(AppContext::selectedDiskIndex(), 3);
    QCOMPARE(AppContext::selectedDiskModel(),
             QStringLiteral("Kingston DataTraveler 3.0 USB Device "));
    QCOMPARE(w.window->ProcessLabel->movie()->fileName(), QStringLiteral(":/images/img_Scan.gif"));
    // The build clears the earlier image on its own thread, before its download.
    QTRY_VERIFY(host.read(kImage) != QByteArray("image of an earlier build"));
    QCOMPARE(host.read(QStringLiteral("C:\\mount\\winre\\keep.txt")), QByteArray("kept"));

    StateRecorder recorder(w);
    m_server.setHeld(false);
    QTRY_VERIFY(w.info->isVisible());
    QCOMPARE(w.describe(), kDownloadIncomplete);
    // The last call is the worker thread's end, which changes nothing here.
    QCOMPARE(recorder.states,
             QStringList({kBuilding, kDownloadEnded, kDownloadEnded, kDownloadIncomplete}));
    QCOMPARE(w.info->pos(), w.centredFor(w.info));
    QVERIFY2(w.window->label_2->text().startsWith(
                 QStringLiteral("The downloaded boot image is too small to be complete.")),
             qPrintable(w.window->label_2->text()));

    // A disk plugged in now does not change the list whose disk the failure
    // dialog's Recreate will use again.
    plugIn(host, removableDisk(1, QStringLiteral("Alpha USB Device")));
    QTRY_VERIFY(arrivals.count() > 0);
    QCOMPARE(w.combo()->count(), 2);
    QCOMPARE(w.combo()->currentData().toInt(), 3);

    // Recreate: a new check and a new build with a new animation.
    QPointer<QMovie> firstAnimation = w.window->ProcessLabel->movie();
    w.window->progressBar->setValue(37); // as if the build had got further
    m_server.setHeld(true);
    click(w.info->RecreateButton);
    QCOMPARE(proxy.requestLines.size(), 2);
    QCOMPARE(w.describe(), kBuilding);
    QCOMPARE(AppContext::selectedDiskIndex(), 3);
    QVERIFY(firstAnimation.isNull());
    QVERIFY(w.window->ProcessLabel->movie());
    QCOMPARE(w.window->label_2->text(), kStartedStatus);
    QCOMPARE(QFileInfo(host.local(kImage)).size(), qint64(0)); // the small image went first
    m_server.setHeld(false);
    QTRY_VERIFY(w.info->isVisible());
    QCOMPARE(w.describe(), kDownloadIncomplete);

    // The failure dialog's Cancel leaves at once.
    QVERIFY(w.info->CancelButton->isEnabled());
    verifyLeaves(host, [&w]() { click(w.info->CancelButton); });
}

void TestMainWindowStates::wholeBuildThenASecondStartFromFinished() {
    TestHost host;
    QVERIFY(host.isValid());
    setDownloadLink(host, m_server.url(QStringLiteral("/boot.wim")));
    ProbeProxy proxy;
    QVERIFY(proxy.listen());
    useProxy(host, proxy.port());

    MainWindow w;
    QVERIFY(QTest::qWaitForWindowExposed(w.window));
    auto *devices = w.window->findChild<DeviceWatcher *>();
    QVERIFY(devices);
    QSignalSpy arrivals(devices, SIGNAL(deviceArrived()));
    m_server.setHeld(true);
    confirmAndStart(w);
    QCOMPARE(w.describe(), kBuilding);

    // A disk plugged in during the build shows up only once it has ended.
    QTRY_COMPARE(m_server.requestTargets().filter(QStringLiteral("/boot.wim")).size(), 1);
    plugIn(host, removableDisk(7, QStringLiteral("Verbatim Store n Go USB Device")));
    QTRY_VERIFY(arrivals.count() > 0);
    QCOMPARE(w.combo()->count(), 1);
    QCOMPARE(w.describe(), kBuilding);

    StateRecorder recorder(w);
    m_server.setHeld(false);
    QTRY_COMPARE_WITH_TIMEOUT(w.window->label_2->text(), QStringLiteral("Process completed"),
                              300000);
    QCOMPARE(w.describe(), kFinished);
    QVERIFY(recorder.states.contains(kDownloadEnded));
    QCOMPARE(recorder.states.first(), kBuilding);
    QVERIFY(QFileInfo(host.local(QStringLiteral("R:\\sources\\boot.wim"))).size() >=
            kMinimumImageSize);
    QCOMPARE(w.items(),
             QStringList({driveItem(QStringLiteral("Generic Flash Disk USB Device "), 1),
                          driveItem(QStringLiteral("Verbatim Store n Go USB Device "), 7)}));
    QCOMPARE(w.combo()->currentIndex(), 0);

    // A second build from Finished starts from zero with a new animation.
    QPointer<QMovie> firstAnimation = w.window->ProcessLabel->movie();
    setDownloadLink(host, m_server.url(QStringLiteral("/small.wim")));
    m_server.setHeld(true);
    confirmAndStart(w);
    QCOMPARE(w.describe(), kBuilding);
    QCOMPARE(w.window->label_2->text(), kStartedStatus);
    QVERIFY(firstAnimation.isNull());
    QCOMPARE(AppContext::selectedDiskIndex(), 1);
    m_server.setHeld(false);
    QTRY_VERIFY(w.info->isVisible());
    QCOMPARE(w.describe(), kDownloadIncomplete);
}

void TestMainWindowStates::animationFollowsTheScreenClass_data() {
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QString>("animation");
    QTest::newRow("96 dpi") << 96 << QStringLiteral(":/images/img_Scan.gif");
    QTest::newRow("120 dpi") << 120 << QStringLiteral(":/images/120-DPI/img_Scan.gif");
    QTest::newRow("192 dpi, scale 2.0") << 192 << QStringLiteral(":/images/144-DPI/img_Scan.gif");
    QTest::newRow("72 dpi, no class") << 72 << QString();
}

void TestMainWindowStates::animationFollowsTheScreenClass() {
    QFETCH(int, dpi);
    QFETCH(QString, animation);
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.dpi = dpi;
    TestHost host(setup);
    QVERIFY(host.isValid());
    setDownloadLink(host, m_server.url(QStringLiteral("/small.wim")));
    ProbeProxy proxy;
    QVERIFY(proxy.listen());
    useProxy(host, proxy.port());
    MainWindow w;
    QVERIFY(QTest::qWaitForWindowExposed(w.window));
    confirmAndStart(w);

    const QMovie *movie = w.window->ProcessLabel->movie();
    if (animation.isEmpty()) {
        QVERIFY(!movie);
    } else {
        QVERIFY(movie);
        QCOMPARE(movie->fileName(), animation);
        QVERIFY(movie->isValid());
        QCOMPARE(movie->state(), QMovie::Running);
    }
    QTRY_VERIFY(w.info->isVisible());
}

void TestMainWindowStates::stoppingDuringTheDownloadEndsTheBuildCleanly_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("Cancel") << QStringLiteral("cancel");
    QTest::newRow("title close") << QStringLiteral("title");
    QTest::newRow("window-system close") << QStringLiteral("close");
}

void TestMainWindowStates::stoppingDuringTheDownloadEndsTheBuildCleanly() {
    QFETCH(QString, way);
    TestHost host;
    QVERIFY(host.isValid());
    setDownloadLink(host, m_server.url(QStringLiteral("/boot.wim")));
    ProbeProxy proxy;
    QVERIFY(proxy.listen());
    useProxy(host, proxy.port());
    const int before = m_server.requestTargets().size();
    // Half the image, then a byte now and then: never done, never timed out.
    m_server.setMode(HttpTestServer::Mode::Trickle);

    MainWindow w;
    QVERIFY(QTest::qWaitForWindowExposed(w.window));
    confirmAndStart(w);
    QCOMPARE(w.describe(), kBuilding);
    QTRY_VERIFY(m_server.requestTargets().size() > before);
    QTRY_VERIFY(QFileInfo(host.local(kImage)).size() > 0);

    if (way == QLatin1String("cancel"))
        click(w.window->CancelButton);
    else if (way == QLatin1String("title"))
        click(w.titleClose);
    else
        w.window->close();
    QTRY_COMPARE_WITH_TIMEOUT(w.describe(), kIdleWithDrives, 30000);
    m_server.setMode(HttpTestServer::Mode::Serve);

    // The tool goes on, holding nothing of the stopped build.
    QVERIFY(w.window->isVisible());
    QVERIFY(simhost::readLog(host.root(), QStringLiteral("shell.log")).isEmpty());
    QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("C:\\DownloadFIle"))));
    QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("C:\\mount"))));
    const QStringList power = simhost::readLog(host.root(), QStringLiteral("power.log"));
    QVERIFY(!power.isEmpty());
    QVERIFY2(power.last().startsWith(QLatin1String("clear thread=")), qPrintable(power.last()));

    // A new build runs to its end on the same drive.
    confirmAndStart(w);
    QTRY_COMPARE_WITH_TIMEOUT(w.window->label_2->text(), QStringLiteral("Process completed"),
                              300000);
    QCOMPARE(w.describe(), kFinished);
    QVERIFY(QFileInfo(host.local(QStringLiteral("R:\\sources\\boot.wim"))).size() >=
            kMinimumImageSize);
}

void TestMainWindowStates::leavingRestartsTheHostAndQuits_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("withDrive");
    QTest::newRow("Cancel") << QStringLiteral("cancel") << true;
    QTest::newRow("title close") << QStringLiteral("title") << true;
    QTest::newRow("Cancel without a drive") << QStringLiteral("cancel") << false;
    QTest::newRow("Cancel with the confirmation open")
        << QStringLiteral("cancel confirming") << true;
    // Alt+F4, the system menu's or the task bar's Close.
    QTest::newRow("window-system close") << QStringLiteral("close") << true;
    QTest::newRow("window-system close without a drive") << QStringLiteral("close") << false;
    QTest::newRow("window-system close with the confirmation open: closes only it")
        << QStringLiteral("close confirming") << true;
    QTest::newRow("window-system close with the failure dialog open: its Cancel")
        << QStringLiteral("close failing") << true;
}

void TestMainWindowStates::leavingRestartsTheHostAndQuits() {
    QFETCH(QString, button);
    QFETCH(bool, withDrive);
    TestHost host(withDrive ? simhost::sampleHostSpec() : hostWithoutUsbDrive());
    QVERIFY(host.isValid());
    MainWindow w;
    QVERIFY(QTest::qWaitForWindowExposed(w.window));
    if (button.endsWith(QLatin1String("confirming"))) {
        click(w.window->CreateBootable);
        QVERIFY(w.warning->isVisible());
    }
    ProbeProxy proxy;
    if (button.endsWith(QLatin1String("failing"))) {
        QVERIFY(proxy.listen());
        useProxy(host, proxy.port());
        setDownloadLink(host, m_server.url(QStringLiteral("/small.wim")));
        confirmAndStart(w);
        QTRY_VERIFY_WITH_TIMEOUT(w.info->isVisible(), 60000);
    }
    if (button == QLatin1String("close confirming")) {
        QCOMPARE(runLoopAnd(w.window, [&w]() { w.window->close(); }), 99);
        QVERIFY(!w.warning->isVisible());
        QVERIFY(w.window->isVisible());
        QVERIFY(simhost::readLog(host.root(), QStringLiteral("shell.log")).isEmpty());
        return;
    }
    if (button.startsWith(QLatin1String("close"))) {
        verifyLeaves(host, [&w]() { w.window->close(); });
        return;
    }
    QWidget *clicked =
        button.startsWith(QLatin1String("title")) ? w.titleClose : w.window->CancelButton;
    QVERIFY(clicked->isEnabled());
    verifyLeaves(host, [clicked]() { click(clicked); });
}

void TestMainWindowStates::verifyLeaves(const TestHost &host, const std::function<void()> &action) {
    QCOMPARE(runLoopAnd(qApp, action), 0);
    // The host executable is looked for in the tool's folder (here the
    // test's), where there is none: the way out does not depend on it.
    const QString toolFolder = QCoreApplication::applicationDirPath();
    QCOMPARE(QDir::currentPath(), toolFolder);
    QCOMPARE(simhost::readLog(host.root(), QStringLiteral("shell.log")),
             QStringList{QStringLiteral("failed ") + toolFolder +
                         QStringLiteral("/KestrinDataRecovery.exe")});
    const QStringList power = simhost::readLog(host.root(), QStringLiteral("power.log"));
    QVERIFY(!power.isEmpty());
    QVERIFY2(power.last().startsWith(QLatin1String("clear thread=")), qPrintable(power.last()));
}

QTEST_MAIN(TestMainWindowStates)
#include "tst_mainwindow_states.moc"
