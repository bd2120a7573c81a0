// Whole builds on the simulated host: a real download from 127.0.0.1, the
// stand-in tools, the signals in order, the new volume, the work files left
// behind and the command log; and the failures that must never be reported
// as success or reach a disk the user did not choose.
#include "app/AppContext.h"
#include "builder/BuildCommands.h"
#include "builder/DriveListing.h"
#include "builder/ThreadDriveClone.h"
#include "platform/HostPlatform.h"
#include "platform/sim/SimRegistry.h"
#include "support/HostChecks.h"
#include "support/HttpTestServer.h"
#include "support/TestHost.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QMutex>
#include <QSettings>
#include <QtTest>

#include <atomic>

namespace {

const QString kSystem = QStringLiteral("C:\\Windows\\system32");
const QString kCmd = QStringLiteral("C:\\Windows\\system32\\cmd.exe /c ");
const QString kImage = QStringLiteral("C:\\DownloadFIle\\boot.wim");

const QStringList kCompleteBuild = {
    "gif",
    "progress 5",
    "progress 10",
    "progress 15",
    "status Copying system files...",
    "progress 20",
    "progress 50",
    "progress 65",
    "status Finalizing recovery drive...",
    "progress 75",
    "status Copying resources...",
    "status Finalizing all settings...",
    "progress 95",
    "progress 100",
    "complete",
};

// Every signal of the worker in the order it was emitted, as text.
class SignalRecorder {
public:
    explicit SignalRecorder(ThreadDriveClone &worker) {
        auto add = [this](const QString &event) {
            QMutexLocker lock(&m_mutex);
            m_events.append(event);
        };
        QObject::connect(
            &worker, &ThreadDriveClone::SetProgressValue, &m_context,
            [add](int i) { add(QStringLiteral("progress %1").arg(i)); }, Qt::DirectConnection);
        QObject::connect(
            &worker, &ThreadDriveClone::PrintRunningProcess, &m_context,
            [add](const QString &text) {
                // How far a transfer has come depends on timing, not on the build.
                if (!text.startsWith(QLatin1String("Copying the boot image to the drive: ")) &&
                    !text.startsWith(QLatin1String("Downloading the boot image: ")))
                    add(QStringLiteral("status ") + text);
            },
            Qt::DirectConnection);
        QObject::connect(
            &worker, &ThreadDriveClone::OnStopgGif, &m_context,
            [add]() { add(QStringLiteral("gif")); }, Qt::DirectConnection);
        QObject::connect(
            &worker, &ThreadDriveClone::IncompleteFile, &m_context,
            [add]() { add(QStringLiteral("incomplete")); }, Qt::DirectConnection);
        QObject::connect(
            &worker, &ThreadDriveClone::ProcessComplete, &m_context,
            [add]() { add(QStringLiteral("complete")); }, Qt::DirectConnection);
    }
    QStringList events() const {
        QMutexLocker lock(&m_mutex);
        return m_events;
    }
    void clear() {
        QMutexLocker lock(&m_mutex);
        m_events.clear();
    }

private:
    QObject m_context;
    mutable QMutex m_mutex;
    QStringList m_events;
};

// Debug output of the build, caught from any thread.
QMutex g_debugMutex;
QStringList g_debugLines;
void catchDebug(QtMsgType type, const QMessageLogContext &, const QString &text) {
    if (type != QtDebugMsg)
        return;
    QMutexLocker lock(&g_debugMutex);
    g_debugLines.append(text);
}

QString tempDirectory() {
    return QString::fromStdWString(hostplatform::tempDirectory());
}

QString volumeOf(const TestHost &host, const QString &diskId) {
    return host.root() + QStringLiteral("/disks/") + diskId + QStringLiteral("/volume");
}

// The volume folder a drive letter leads to, empty when the letter is free.
QString letterTarget(const TestHost &host, QChar letter) {
    const QFileInfo drive(host.root() + QStringLiteral("/drives/") + letter);
    return drive.exists() ? drive.canonicalFilePath() : QString();
}

// Relative paths (lower case, '/') of every file under dir.
QSet<QString> filesUnder(const QString &dir) {
    QSet<QString> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.insert(QDir(dir).relativeFilePath(it.next()).toLower());
    return files;
}

// Content of every file under dir; for volumes that hold only small files.
QMap<QString, QByteArray> snapshot(const QString &dir) {
    QMap<QString, QByteArray> content;
    for (const QString &file : filesUnder(dir)) {
        QFile f(dir + QLatin1Char('/') + file);
        content.insert(file, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("?"));
    }
    return content;
}

QByteArray sha256(const QString &localFile) {
    QFile file(localFile);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return QByteArray();
    return hash.result();
}

QSet<QString> expectedLayout(const TestHost &host) {
    QSet<QString> layout = {
        "bootmgr",
        "bootmgr.efi",
        "boot/bcd",
        "boot/boot.sdi",
        "boot/resources/bootres.dll",
        "efi/boot/bootmgfw.efi",
        "efi/boot/bootx64.efi",
        "efi/microsoft/boot/bcd",
        "efi/microsoft/boot/resources/bootres.dll",
        "sources/boot.wim",
    };
    for (const QString &font : filesUnder(host.local(QStringLiteral("C:\\Windows\\Boot\\Fonts")))) {
        layout.insert(QStringLiteral("boot/fonts/") + font);
        layout.insert(QStringLiteral("efi/microsoft/boot/fonts/") + font);
    }
    return layout;
}

} // namespace

class TestMediaBuild : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void workerSignalsInIndexOrder();
    void completeBuildThenASecondStartOnAnotherDisk();
    void buildThatCannotStartEndsIncompleteWithoutTouchingAnything_data();
    void buildThatCannotStartEndsIncompleteWithoutTouchingAnything();
    void failuresEndIncompleteAndLeaveNoWorkFiles_data();
    void failuresEndIncompleteAndLeaveNoWorkFiles();
    void windows7LinkIsChosenFromTheSecondKey();
    void linkWithAmpersandReachesBitsadminWhole();
    void swappedDiskIsNotFormatted_data();
    void swappedDiskIsNotFormatted();
    void letterRInUseLeavesThatVolumeAlone();
    void diskSizeDecidesTheVolume_data();
    void diskSizeDecidesTheVolume();
    void temporaryFolderWithABlank();

private:
    void setLink(const TestHost &host, const QString &url, const char *valueName = nullptr);
    bool prepareStart(const TestHost &host, int diskNumber);
    bool runBuild(ThreadDriveClone &worker);
    void verifyKeepAwakeReleased(const TestHost &host);
    void verifyWorkFilesRemoved(const TestHost &host);

    QTemporaryDir m_images;
    HttpTestServer m_server;
    QByteArray m_fullImageHash;
};

void TestMediaBuild::initTestCase() {
    fixHostIdentity();
    QVERIFY(m_images.isValid());
    const QString full = m_images.filePath(QStringLiteral("boot.wim"));
    QVERIFY(HttpTestServer::createSparseImage(full, kMinimumImageSize));
    m_fullImageHash = sha256(full);
    const QString small = m_images.filePath(QStringLiteral("small.wim"));
    QVERIFY(HttpTestServer::createSparseImage(small, 1 << 20));
    m_server.serveFile(QStringLiteral("/boot.wim"), full);
    m_server.serveFile(QStringLiteral("/small.wim"), small);
    m_server.serveFile(QStringLiteral("/win7.wim"), small);
    const QString big = m_images.filePath(QStringLiteral("big.wim"));
    QVERIFY(HttpTestServer::createSparseImage(big, qint64(5) << 30));
    m_server.serveFile(QStringLiteral("/big.wim"), big);
    QVERIFY(m_server.start());
}

void TestMediaBuild::init() {
    m_server.setMode(HttpTestServer::Mode::Serve);
    m_server.failNextRequests(0);
}

void TestMediaBuild::setLink(const TestHost &host, const QString &url, const char *valueName) {
    const QString name =
        valueName ? QString::fromLatin1(valueName) : QStringLiteral("DownloadLink_bootwim");
    QVERIFY(simhost::setRegistryValue(host.root(), AppContext::hostSettingsKey(), name,
                                      url.isNull() ? QVariant() : QVariant(url)));
}

// What the window does when a build starts: the chosen disk from its list.
// The build makes its work folders itself.
bool TestMediaBuild::prepareStart(const TestHost &, int diskNumber) {
    const DriveListingResult listing = listRemovableDrives(kSystem, tempDirectory());
    for (const ListedDrive &drive : listing.drives) {
        if (drive.number == diskNumber) {
            handOverSelectedDisk(drive.number, drive.model);
            return true;
        }
    }
    return false;
}

bool TestMediaBuild::runBuild(ThreadDriveClone &worker) {
    worker.start(QThread::InheritPriority);
    return worker.wait(300000);
}

void TestMediaBuild::verifyKeepAwakeReleased(const TestHost &host) {
    const QStringList power = simhost::readLog(host.root(), QStringLiteral("power.log"));
    QVERIFY(!power.isEmpty());
    QCOMPARE(power.size() % 2, 0);
    // Asked for on the worker thread, which runs the build, not on this one.
    const QString here =
        QStringLiteral("thread=%1").arg(reinterpret_cast<quintptr>(QThread::currentThreadId()));
    for (int i = 0; i < power.size(); i += 2) {
        QVERIFY(!power.at(i).endsWith(here));
        QVERIFY2(power.at(i).startsWith(QLatin1String("keep-awake thread=")),
                 qPrintable(power.at(i)));
        QCOMPARE(power.at(i + 1),
                 QString(power.at(i)).replace(QLatin1String("keep-awake"), QLatin1String("clear")));
    }
}

void TestMediaBuild::verifyWorkFilesRemoved(const TestHost &host) {
    for (const char *gone : {"C:\\DownloadFIle", "C:\\mount",
                             "C:\\Users\\User\\AppData\\Local\\Temp\\USBDiskFormat.bat",
                             "C:\\Users\\User\\AppData\\Local\\Temp\\DiskInfo.txt"}) {
        QVERIFY2(!QFileInfo::exists(host.local(QLatin1String(gone))), gone);
    }
}

void TestMediaBuild::workerSignalsInIndexOrder() {
    const QMetaObject &meta = ThreadDriveClone::staticMetaObject;
    QCOMPARE(QString::fromLatin1(meta.className()), QStringLiteral("ThreadDriveClone"));
    QStringList own;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        QCOMPARE(method.methodType(), QMetaMethod::Signal);
        QCOMPARE(method.access(), QMetaMethod::Public);
        own.append(QString::fromLatin1(method.methodSignature()));
    }
    QCOMPARE(own, QStringList({"SetProgressValue(int)", "ProcessComplete()",
                               "PrintRunningProcess(QString)", "IncompleteFile()", "OnStopgGif()",
                               "BuildFailed(int)"}));
}

void TestMediaBuild::completeBuildThenASecondStartOnAnotherDisk() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.disks.append({QStringLiteral("disk2"), 2, QStringLiteral("SanDisk Ultra USB Device"),
                        QStringLiteral("Removable Media"), 32015679488LL, QString()});
    TestHost host(setup);
    QVERIFY2(host.isValid(), qPrintable(host.error()));
    setLink(host, m_server.url(QStringLiteral("/boot.wim")));
    const auto systemDisk = snapshot(volumeOf(host, QStringLiteral("disk0")));

    ThreadDriveClone worker;
    SignalRecorder recorder(worker);
    // Once the format has begun, a stop is refused: a drive left halfway
    // written would start nothing.
    QObject context;
    std::atomic<int> stopsGranted{0};
    connect(
        &worker, &ThreadDriveClone::SetProgressValue, &context,
        [&](int value) {
            if (value == 5 && worker.requestStop())
                ++stopsGranted;
        },
        Qt::DirectConnection);
    QVERIFY(prepareStart(host, 1));
    QVERIFY(runBuild(worker));

    QCOMPARE(stopsGranted.load(), 0);
    QCOMPARE(recorder.events(), kCompleteBuild);
    // Disk 1 now holds exactly the recovery drive, as R:, with the image as served.
    const QString usb = volumeOf(host, QStringLiteral("disk1"));
    QCOMPARE(letterTarget(host, QLatin1Char('R')), QFileInfo(usb).canonicalFilePath());
    QCOMPARE(filesUnder(usb), expectedLayout(host));
    QCOMPARE(sha256(host.local(QStringLiteral("R:\\sources\\boot.wim"))), m_fullImageHash);
    QCOMPARE(host.read(QStringLiteral("R:\\bootmgr")),
             host.read(QStringLiteral("C:\\Windows\\Boot\\PCAT\\bootmgr")));
    verifyWorkFilesRemoved(host);

    const QString wmic = kSystem +
                         QStringLiteral("\\wbem\\WMIC.exe diskdrive where "
                                        "\"MediaType='Removable Media'\" get "
                                        "Index,Model >> ") +
                         tempDirectory() + QStringLiteral("DiskInfo.txt");
    QStringList expected = QStringList{wmic, hostchecks::sizeCommand(tempDirectory()), wmic} +
                           hostchecks::buildCommands(tempDirectory(), 'R');
    QCOMPARE(hostchecks::commandLines(host), expected);

    // The support log names every command the build ran, with its exit code.
    const QString log =
        QString::fromUtf8(host.read(tempDirectory() + QLatin1String(buildpaths::kBuildLogName)));
    for (const simhost::LoggedCommand &c : host.commands().mid(1)) {
        QString line = c.line.mid(kCmd.size());
        line.chop(1);
        QVERIFY2(log.contains(line + QStringLiteral(" (exit code %1, ").arg(c.exitCode)),
                 qPrintable(line));
    }
    QVERIFY(log.contains(QStringLiteral("check image on the drive identical to the download: "
                                        "passed")));
    verifyKeepAwakeReleased(host);

    // A second start runs a whole new build on the disk chosen at that start.
    // R: still belongs to the first drive, so the new one becomes S:.
    const auto firstDrive = filesUnder(usb);
    recorder.clear();
    QVERIFY(prepareStart(host, 2));
    QVERIFY(runBuild(worker));
    QCOMPARE(recorder.events(), kCompleteBuild);
    const QString second = volumeOf(host, QStringLiteral("disk2"));
    QCOMPARE(letterTarget(host, QLatin1Char('S')), QFileInfo(second).canonicalFilePath());
    QCOMPARE(filesUnder(second), expectedLayout(host));
    QCOMPARE(sha256(host.local(QStringLiteral("S:\\sources\\boot.wim"))), m_fullImageHash);
    QCOMPARE(filesUnder(usb), firstDrive);
    // The log was replaced: it tells only of the second build.
    const QString secondLog =
        QString::fromUtf8(host.read(tempDirectory() + buildpaths::kBuildLogName));
    QVERIFY(secondLog.contains(QLatin1String("build for disk 2 ")));
    QVERIFY(!secondLog.contains(QLatin1String("build for disk 1 ")));
    verifyWorkFilesRemoved(host);
    verifyKeepAwakeReleased(host);
    QCOMPARE(snapshot(volumeOf(host, QStringLiteral("disk0"))), systemDisk);
}

void TestMediaBuild::buildThatCannotStartEndsIncompleteWithoutTouchingAnything_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("blocked"); // a file where the build's work folders go
    QTest::newRow("no value") << QString() << QString();
    QTest::newRow("empty") << QString("") << QString();
    QTest::newRow("not http") << "ftp://127.0.0.1/boot.wim" << QString();
    QTest::newRow("blank") << "http://127.0.0.1/boot.wim & format D:" << QString();
    QTest::newRow("double quote") << "http://127.0.0.1/boot.wim\"&\"del" << QString();
    const QString link = m_server.url(QStringLiteral("/boot.wim"));
    QTest::newRow("mount folder blocked") << link << "C:\\mount";
    QTest::newRow("download folder blocked") << link << "C:\\DownloadFIle";
    QTest::newRow("earlier image cannot be removed") << link << "C:\\DownloadFIle\\boot.wim\\x";
}

void TestMediaBuild::buildThatCannotStartEndsIncompleteWithoutTouchingAnything() {
    QFETCH(QString, link);
    QFETCH(QString, blocked);
    TestHost host;
    QVERIFY(host.isValid());
    setLink(host, link);
    if (!blocked.isEmpty())
        QVERIFY(host.write(blocked, "in the way"));
    const auto usb = snapshot(volumeOf(host, QStringLiteral("disk1")));

    ThreadDriveClone worker;
    SignalRecorder recorder(worker);
    QVERIFY(prepareStart(host, 1));
    const int listingCommands = host.commands().size();
    const int requests = m_server.requestTargets().size();
    QVERIFY(runBuild(worker));

    QCOMPARE(recorder.events(), QStringList({"gif", "incomplete"}));
    QCOMPARE(host.commands().size(), listingCommands);
    QCOMPARE(m_server.requestTargets().size(), requests);
    QCOMPARE(snapshot(volumeOf(host, QStringLiteral("disk1"))), usb);
    if (blocked.isEmpty())
        verifyWorkFilesRemoved(host);
    else
        QCOMPARE(host.read(blocked), QByteArray("in the way"));
    verifyKeepAwakeReleased(host);
}

void TestMediaBuild::failuresEndIncompleteAndLeaveNoWorkFiles_data() {
    QTest::addColumn<QString>("image");
    QTest::addColumn<int>("serverMode");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("faultTarget");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QStringList>("commands"); // after the window's listing; "*" any
    QTest::addColumn<bool>("driveUntouched");
    QTest::addColumn<int>("stopAtRequest"); // the user stops once it has arrived; 0 never
    const QString s = kSystem;
    const QString script = s + "\\diskpart.exe /s " + tempDirectory() + "USBDiskFormat.bat";
    const int serve = int(HttpTestServer::Mode::Serve);
    QStringList copiedThenFailed = kCompleteBuild.mid(0, kCompleteBuild.size() - 2);
    copiedThenFailed.append(QStringLiteral("incomplete"));

    QTest::newRow("image too small")
        << "/small.wim" << serve << QString() << QString() << QStringList{"gif", "incomplete"}
        << QStringList{} << true << 0;
    // A server that keeps the connection alive with a byte now and then:
    // the user leaves, and nothing of the build is left behind.
    const int trickle = int(HttpTestServer::Mode::Trickle);
    QTest::newRow("user stops a trickling download")
        << "/boot.wim" << trickle << QString() << QString() << QStringList{"gif"} << QStringList{}
        << true << 1;
    // The first attempt fails, the fallback's transfer trickles; its job must
    // not stay behind with the transfer service.
    QTest::newRow("user stops the fallback's trickling download")
        << "/boot.wim" << trickle << "failFirst" << QString() << QStringList{"gif"}
        << QStringList{"*"} << true << 2;
    QTest::newRow("both downloads cut short")
        << "/boot.wim" << int(HttpTestServer::Mode::Truncated) << QString() << QString()
        << QStringList{"gif", "incomplete"}
        << QStringList{"bitsadmin.exe /transfer myDownloadJob /download /priority normal \"" +
                       m_server.url(QStringLiteral("/boot.wim")) + "\" C:\\DownloadFIle\\boot.wim"}
        << true << 0;
    QTest::newRow("format fails: nothing copied, letter removed")
        << "/boot.wim" << serve << "diskpartFailAt"
        << "format" << QStringList{"gif", "progress 5", "incomplete"}
        << QStringList{hostchecks::sizeCommand(tempDirectory()),
                       wmicListingCommand(s, driveListingFile(tempDirectory())),
                       "+" + script,
                       script,
                       s + "\\rmdir.exe /S /Q C:\\mount",
                       s + "\\rmdir.exe /S /Q C:\\DownloadFIle"}
        << false << 0;
    QTest::newRow("image copy write error")
        << "/boot.wim" << serve << "xcopyWriteErrorFor"
        << "R:\\sources\\boot.wim*" << copiedThenFailed << QStringList{"*"} << false << 0;
    // bootmgr and bootmgr.efi cut short, Xcopy exiting 5 for both.
    QTest::newRow("boot files cut short on the drive's root")
        << "/boot.wim" << serve << "xcopyWriteErrorFor"
        << "R:\\" << copiedThenFailed << QStringList{"*"} << false << 0;
    // The same size, one byte changed, and Xcopy reports success.
    QTest::newRow("boot files damaged without an error")
        << "/boot.wim" << serve << "xcopyDamageFor"
        << "R:\\boot\\" << copiedThenFailed << QStringList{"*"} << false << 0;
}

void TestMediaBuild::failuresEndIncompleteAndLeaveNoWorkFiles() {
    QFETCH(QString, image);
    QFETCH(int, serverMode);
    QFETCH(QString, fault);
    QFETCH(QString, faultTarget);
    QFETCH(QStringList, events);
    QFETCH(QStringList, commands);
    QFETCH(bool, driveUntouched);
    QFETCH(int, stopAtRequest);
    TestHost host;
    QVERIFY(host.isValid());
    setLink(host, m_server.url(image));
    m_server.setMode(HttpTestServer::Mode(serverMode));
    if (fault == QLatin1String("failFirst"))
        m_server.failNextRequests(1);
    else if (!fault.isEmpty())
        simhost::setHostSetting(host.root(), QStringLiteral("faults/") + fault, faultTarget);
    const auto usb = snapshot(volumeOf(host, QStringLiteral("disk1")));
    const auto systemDisk = snapshot(volumeOf(host, QStringLiteral("disk0")));

    ThreadDriveClone worker;
    SignalRecorder recorder(worker);
    QVERIFY(prepareStart(host, 1));
    const int listingCommands = host.commands().size();
    if (stopAtRequest > 0) {
        const int before = m_server.requestTargets().size();
        worker.start(QThread::InheritPriority);
        QTRY_VERIFY_WITH_TIMEOUT(m_server.requestTargets().size() >= before + stopAtRequest, 30000);
        QTest::qWait(1500); // well into the trickle
        QVERIFY(!worker.isFinished());
        QVERIFY(worker.requestStop());
        QVERIFY(worker.wait(30000));
        m_server.setMode(HttpTestServer::Mode::Serve);
        QVERIFY(!QDir(host.root() + QStringLiteral("/bits")).exists() ||
                QDir(host.root() + QStringLiteral("/bits")).isEmpty());
        if (fault == QLatin1String("failFirst"))
            QCOMPARE(hostchecks::commandLines(host).last(), bitsadminCancelCommand());
    } else {
        QVERIFY(runBuild(worker));
    }

    QCOMPARE(recorder.events(), events);
    const QList<simhost::LoggedCommand> ran = host.commands().mid(listingCommands);
    if (commands != QStringList{"*"}) {
        QStringList lines;
        for (const simhost::LoggedCommand &c : ran)
            lines.append(c.line.mid(kCmd.size()).chopped(1));
        // "+" marks a command that must have failed.
        QStringList expected;
        for (int i = 0; i < commands.size(); ++i) {
            expected.append(commands.at(i).startsWith('+') ? commands.at(i).mid(1)
                                                           : commands.at(i));
            if (commands.at(i).startsWith('+'))
                QVERIFY(ran.at(i).exitCode != 0);
        }
        QCOMPARE(lines, expected);
    }
    if (driveUntouched) {
        QCOMPARE(snapshot(volumeOf(host, QStringLiteral("disk1"))), usb);
        QVERIFY(letterTarget(host, QLatin1Char('R')).isEmpty());
    }
    QCOMPARE(snapshot(volumeOf(host, QStringLiteral("disk0"))), systemDisk);
    verifyWorkFilesRemoved(host);
    verifyKeepAwakeReleased(host);
}

void TestMediaBuild::windows7LinkIsChosenFromTheSecondKey() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    for (simhost::RegistryValue &v : setup.registry) {
        if (v.key.endsWith(QLatin1String("\\Windows\\CurrentVersion")))
            v.value = QStringLiteral("microsoft windows 7 professional");
    }
    TestHost host(setup);
    QVERIFY(host.isValid());
    setLink(host, m_server.url(QStringLiteral("/small.wim?for=others")));
    setLink(host, m_server.url(QStringLiteral("/win7.wim?for=7")), "DownloadLink_Win7_bootwim");
    ThreadDriveClone worker;
    SignalRecorder recorder(worker);
    QVERIFY(prepareStart(host, 1));
    const int before = m_server.requestTargets().size();
    QVERIFY(runBuild(worker));
    QCOMPARE(m_server.requestTargets().mid(before), QStringList({"/win7.wim?for=7"}));
    QCOMPARE(recorder.events(), QStringList({"gif", "incomplete"}));
}

void TestMediaBuild::linkWithAmpersandReachesBitsadminWhole() {
    TestHost host;
    QVERIFY(host.isValid());
    const QString link = m_server.url(QStringLiteral("/boot.wim?id=7&lang=en"));
    setLink(host, link);
    m_server.failNextRequests(1); // the system's own download fails: bitsadmin takes over

    ThreadDriveClone worker;
    SignalRecorder recorder(worker);
    QVERIFY(prepareStart(host, 1));
    const int before = m_server.requestTargets().size();
    {
        QMutexLocker lock(&g_debugMutex);
        g_debugLines.clear();
    }
    const QtMessageHandler previous = qInstallMessageHandler(catchDebug);
    const bool ended = runBuild(worker);
    qInstallMessageHandler(previous);
    QVERIFY(ended);

    const QString bitsadmin = QStringLiteral("bitsadmin.exe /transfer myDownloadJob /download "
                                             "/priority normal \"") +
                              link + QStringLiteral("\" C:\\DownloadFIle\\boot.wim");
    // After the window's listing, before the build's own.
    QCOMPARE(hostchecks::commandLines(host).at(1), bitsadmin);
    QCOMPARE(host.commands().at(1).exitCode, 0LL);
    QCOMPARE(hostchecks::commandLines(host).mid(2),
             QStringList(
                 {hostchecks::sizeCommand(tempDirectory()), hostchecks::commandLines(host).at(0)}) +
                 hostchecks::buildCommands(tempDirectory(), 'R'));
    {
        QMutexLocker lock(&g_debugMutex);
        QVERIFY(g_debugLines.contains(bitsadmin));
    }
    QCOMPARE(m_server.requestTargets().mid(before),
             QStringList({"/boot.wim?id=7&lang=en", "/boot.wim?id=7&lang=en"}));
    QCOMPARE(recorder.events(), kCompleteBuild);
    QCOMPARE(sha256(host.local(QStringLiteral("R:\\sources\\boot.wim"))), m_fullImageHash);
}

void TestMediaBuild::swappedDiskIsNotFormatted_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("another drive with the same number")
        << "swapModel" << QVariant(QStringLiteral("Kingston DataTraveler 3.0 USB Device"));
    QTest::newRow("drive taken out") << "swapRemoved" << QVariant(true);
}

void TestMediaBuild::swappedDiskIsNotFormatted() {
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    TestHost host;
    QVERIFY(host.isValid());
    setLink(host, m_server.url(QStringLiteral("/boot.wim")));
    {
        // Changes after the window's listing, before the build's check.
        QSettings disk(volumeOf(host, QStringLiteral("disk1")) + QStringLiteral("/../disk.ini"),
                       QSettings::IniFormat);
        disk.setValue(QStringLiteral("faults/swapAfterListings"), 1);
        disk.setValue(QStringLiteral("faults/") + key, value);
    }
    const auto usb = snapshot(volumeOf(host, QStringLiteral("disk1")));

    ThreadDriveClone worker;
    SignalRecorder recorder(worker);
    QVERIFY(prepareStart(host, 1));
    QVERIFY(runBuild(worker));

    QCOMPARE(recorder.events(), QStringList({"gif", "incomplete"}));
    const QStringList lines = hostchecks::commandLines(host);
    // The window's listing, the size query and the check: nothing else.
    QCOMPARE(lines.size(), 3);
    QCOMPARE(snapshot(volumeOf(host, QStringLiteral("disk1"))), usb);
    QVERIFY(letterTarget(host, QLatin1Char('R')).isEmpty());
    const QString log = QString::fromUtf8(host.read(tempDirectory() + buildpaths::kBuildLogName));
    QVERIFY(log.contains(QLatin1String("check chosen disk still attached: FAILED")));
    verifyKeepAwakeReleased(host);
}

void TestMediaBuild::letterRInUseLeavesThatVolumeAlone() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.disks.append({QStringLiteral("disk3"), 3, QStringLiteral("WD Elements 25A2 USB Device"),
                        QStringLiteral("External hard disk media"), 2000365289472LL,
                        QStringLiteral("R")});
    TestHost host(setup);
    QVERIFY(host.isValid());
    setLink(host, m_server.url(QStringLiteral("/boot.wim")));
    const QString taken = volumeOf(host, QStringLiteral("disk3"));
    const auto takenBefore = snapshot(taken);
    QVERIFY(takenBefore.contains(QStringLiteral("holiday photos/beach.jpg")));

    ThreadDriveClone worker;
    SignalRecorder recorder(worker);
    QVERIFY(prepareStart(host, 1));
    QVERIFY(runBuild(worker));

    QCOMPARE(recorder.events(), kCompleteBuild);
    QCOMPARE(snapshot(taken), takenBefore);
    QCOMPARE(letterTarget(host, QLatin1Char('R')), QFileInfo(taken).canonicalFilePath());
    const QString usb = volumeOf(host, QStringLiteral("disk1"));
    QCOMPARE(letterTarget(host, QLatin1Char('S')), QFileInfo(usb).canonicalFilePath());
    QCOMPARE(filesUnder(usb), expectedLayout(host));
    QCOMPARE(sha256(host.local(QStringLiteral("S:\\sources\\boot.wim"))), m_fullImageHash);
    QCOMPARE(hostchecks::commandLines(host).mid(1),
             QStringList(
                 {hostchecks::sizeCommand(tempDirectory()), hostchecks::commandLines(host).at(0)}) +
                 hostchecks::buildCommands(tempDirectory(), 'S'));
}

void TestMediaBuild::diskSizeDecidesTheVolume_data() {
    QTest::addColumn<qint64>("disk");
    QTest::addColumn<QString>("image");
    QTest::addColumn<QString>("fileSystem"); // empty: the build ends before the format
    QTest::addColumn<qint64>("partitionSize");
    const qint64 GiB = qint64(1) << 30;
    QTest::newRow("16 GB stick: FAT32 over the whole disk")
        << qint64(16008609792) << "/boot.wim"
        << "FAT32" << qint64(16008609792 - (1 << 20));
    QTest::newRow("64 GB stick: a FAT32 partition of 32 GiB") << qint64(64023257088) << "/boot.wim"
                                                              << "FAT32" << 32 * GiB;
    QTest::newRow("128 MiB stick: left untouched")
        << qint64(128 << 20) << "/boot.wim" << QString() << qint64(0);
    QTest::newRow("5 GiB image: NTFS over the whole disk")
        << qint64(8004304896) << "/big.wim"
        << "NTFS" << qint64(8004304896 - (1 << 20));
}

void TestMediaBuild::diskSizeDecidesTheVolume() {
    QFETCH(qint64, disk);
    QFETCH(QString, image);
    QFETCH(QString, fileSystem);
    QFETCH(qint64, partitionSize);
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.disks[1].size = disk;
    TestHost host(setup);
    QVERIFY(host.isValid());
    setLink(host, m_server.url(image));
    const QString diskIni =
        volumeOf(host, QStringLiteral("disk1")) + QStringLiteral("/../disk.ini");
    QFile ini(diskIni);
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray iniBefore = ini.readAll();
    ini.close();
    const auto usb = snapshot(volumeOf(host, QStringLiteral("disk1")));

    ThreadDriveClone worker;
    SignalRecorder recorder(worker);
    QVERIFY(prepareStart(host, 1));
    QVERIFY(runBuild(worker));
    const QString log = QString::fromUtf8(host.read(tempDirectory() + buildpaths::kBuildLogName));
    const bool ntfsNoted = log.contains(QLatin1String("UEFI start-up needs an image under 4 GiB"));

    if (fileSystem.isEmpty()) {
        // Nothing after the size query and the check of the disk: the disk
        // is byte for byte as it was.
        QCOMPARE(recorder.events(), QStringList({"gif", "incomplete"}));
        QCOMPARE(hostchecks::commandLines(host).mid(1),
                 QStringList({hostchecks::sizeCommand(tempDirectory()),
                              hostchecks::commandLines(host).at(0)}));
        QCOMPARE(snapshot(volumeOf(host, QStringLiteral("disk1"))), usb);
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), iniBefore);
        QVERIFY(log.contains(
            QLatin1String("check drive large enough for the image and the boot files: FAILED")));
        QVERIFY(
            log.contains(QLatin1String("the drive cannot hold this build: it was left as it was")));
        QVERIFY(!ntfsNoted);
        return;
    }
    QCOMPARE(recorder.events(), kCompleteBuild);
    QSettings after(diskIni, QSettings::IniFormat);
    QCOMPARE(after.value(QStringLiteral("disk/fileSystem")).toString(), fileSystem);
    QCOMPARE(after.value(QStringLiteral("disk/partitionSize")).toLongLong(), partitionSize);
    QCOMPARE(after.value(QStringLiteral("disk/active")).toBool(), true);
    QCOMPARE(filesUnder(volumeOf(host, QStringLiteral("disk1"))), expectedLayout(host));
    QCOMPARE(ntfsNoted, fileSystem == QLatin1String("NTFS"));
}

void TestMediaBuild::temporaryFolderWithABlank() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.tempDirectory = QStringLiteral("C:\\Users\\Jane Doe\\AppData\\Local\\Temp\\");
    TestHost host(setup);
    QVERIFY(host.isValid());
    setLink(host, m_server.url(QStringLiteral("/boot.wim")));

    ThreadDriveClone worker;
    SignalRecorder recorder(worker);
    QVERIFY(prepareStart(host, 1)); // the listing reaches its file through the quoted path
    QVERIFY(runBuild(worker));

    QCOMPARE(recorder.events(), kCompleteBuild);
    const QStringList lines = hostchecks::commandLines(host);
    QVERIFY(lines.at(2).endsWith(
        QLatin1String(">> \"C:\\Users\\Jane Doe\\AppData\\Local\\Temp\\DiskInfo.txt\"")));
    QCOMPARE(lines.mid(1),
             QStringList({hostchecks::sizeCommand(setup.tempDirectory), lines.at(0)}) +
                 hostchecks::buildCommands(setup.tempDirectory, 'R'));
    QCOMPARE(filesUnder(volumeOf(host, QStringLiteral("disk1"))), expectedLayout(host));
    QVERIFY(!QFileInfo::exists(host.local(setup.tempDirectory + "USBDiskFormat.bat")));
    QVERIFY(QFileInfo::exists(host.local(setup.tempDirectory + buildpaths::kBuildLogName)));
}

QTEST_GUILESS_MAIN(TestMediaBuild)
#include "tst_mediabuild.moc"
