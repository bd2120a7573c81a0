// End to end through the real windows: whole builds, and every way a build
// can fail. A complete build leaves the USB disk holding exactly the
// recovery drive and no work file; a failed one shows the failure dialog and
// its cause, never "Process completed"; and every other disk and volume is
// byte for byte as it was.
#include "support/HostChecks.h"
#include "support/HostSnapshot.h"
#include "support/ToolSession.h"

#include "mainwindow/ConnectivityProbe.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

using namespace hostchecks;
using namespace windowstates;

namespace {

constexpr int kBuildTimeoutMs = 180000;

const QString kSecondModel = QStringLiteral("Beta Ultra USB Device");

// Rows of the failure table that need more than a link and the host's
// faults.
enum class Fault {
    None,
    RefusedLink, // not the publisher's for sure: not a byte of it is asked for
    WrongPin,
    WorkFolderLink,
    WorkFolderBlocked,
    CutShort,
    ShortImage,
    Swapped,
    LookAlike,       // a stick of the same model and size in the chosen one's slot
    SwappedAtFormat, // by the host's stick event, at the line the row names
    SmallStick,
    LettersTaken,
    WriteError, // after the format: Recreate then builds on the same stick
    Windows7,   // its own link, to the short image; the other one is good
    Pulled,     // the stick taken out during the image copy, then put back
};

// What happens to the kept image, or to its server, between two builds.
enum class Between {
    Nothing,
    NewVersion,
    ServerDown,
    ServerSilent, // to the question, until Cancel; then a build that asks again
    ChangedOnDisk,
    ReplacedOnDisk
};

// The failure dialog is up; the window keeps its building look with every
// control disabled, and nothing claims success.
void verifyFailureDialog(ToolSession &session) {
    // Every way on goes through the dialog; nothing claims success.
    const QRegularExpression failed("^list off \\| create hidden,off \\| leave off \\| .* \\| "
                                    "animation hidden \\| confirm \\w+ \\| failure shown$");
    QVERIFY2(failed.match(session.describe()).hasMatch(), qPrintable(session.describe()));
    QVERIFY(session.window()->label_2->text() != kCompletedText);
    for (QAbstractButton *way : {session.info()->RecreateButton, session.info()->CancelButton})
        QVERIFY(way->isVisible() && way->isEnabled());
}

// Leaves the tool by button: nothing of the image stays.
void verifyLeftWithoutImage(TestHost &host, QAbstractButton *button) {
    QCOMPARE(ToolSession::leaveWith(button), 0);
    QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("C:\\DownloadFIle"))));
}

} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Between)

class TestE2eBuilds : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_server.start()); }
    void init() { m_server.reset(); }

    void completeBuildThenASecondOnTheSameList();
    void failedBuildNamesItsCause_data();
    void failedBuildNamesItsCause();
    void keptImageServesTheNextBuild_data();
    void keptImageServesTheNextBuild();

private:
    // A complete build: "Process completed" at 100 %, every control back and
    // no dialog; the recovery drive on diskId under letter with the served
    // image, no work file left, the machine free to sleep again.
    void verifyCompleted(ToolSession &session, const QString &diskId, QChar letter);
    // Between builds only the image of the last verified download may stay,
    // alone in its folder and as it was served.
    void verifyAtMostTheImageKept(TestHost &host, const QString &temp);

    E2eServer m_server;
};

void TestE2eBuilds::verifyCompleted(ToolSession &session, const QString &diskId, QChar letter) {
    QCOMPARE(session.describe(),
             QString(kIdle).replace("status hidden | progress hidden | animation shown",
                                    "status shown | progress shown | animation hidden"));
    QCOMPARE(session.window()->label_2->text(), kCompletedText);
    QCOMPARE(session.window()->progressBar->value(), 100);
    TestHost &host = session.host();
    const QString volume = volumeOf(host, diskId);
    QCOMPARE(QFileInfo(host.root() + "/drives/" + letter).canonicalFilePath(),
             QFileInfo(volume).canonicalFilePath());
    const QStringList faults = driveFaults(host, volume, m_server.goodImageHash());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    // One active FAT32 partition on an MBR disk, which UEFI firmware reads.
    const QSettings disk(volume + QStringLiteral("/../disk.ini"), QSettings::IniFormat);
    QStringList partition;
    for (const char *key : {"partitions", "partitionStyle", "active", "fileSystem"})
        partition << disk.value(QLatin1String("disk/") + key).toString();
    QCOMPARE(partition, QStringList({"1", "MBR", "true", "FAT32"}));
    verifyAtMostTheImageKept(host, session.temp());
    const QString log = buildLog(host, session.temp());
    QVERIFY(log.contains(QLatin1String("note  build complete")) && !log.contains("FAILED"));
    QVERIFY(keepAwakeCleared(host, true));
}

void TestE2eBuilds::verifyAtMostTheImageKept(TestHost &host, const QString &temp) {
    for (const QString &gone : {QStringLiteral("C:\\mount"), temp + "BootableMediaCreator"})
        QVERIFY2(!QFileInfo::exists(host.local(gone)), qPrintable(gone));
    const QString kept = host.local(QStringLiteral("C:\\DownloadFIle"));
    if (!QFileInfo::exists(kept))
        return;
    QVERIFY(!QFileInfo(kept).isSymLink());
    QCOMPARE(QDir(kept).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({"boot.wim"}));
    QCOMPARE(sha256(kept + "/boot.wim"), m_server.goodImageHash());
}

// Two sticks, a temporary folder with blanks in its name, and Windows in
// C:\WinNT, where anyone may make a C:\Windows. The user's environment and
// current folder lead elsewhere: COMSPEC and cmd's AutoRun name programs
// someone planted, one more waits as bitsadmin.exe in the current folder,
// and a variable is named like the escape in the link. The first build from
// a plain http link with "&" and "%20%" in its query, vouched for by a
// pinned digest, through bitsadmin once the system's own download failed;
// then one on the second stick from the same list, from the https server,
// slow, onto a slow stick. The second build must erase the second stick,
// and only it.
void TestE2eBuilds::completeBuildThenASecondOnTheSameList() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.tempDirectory = QStringLiteral("C:\\Users\\Test User\\AppData\\Local\\Temp\\");
    setup.disks.append({"disk2", 2, kSecondModel, "Removable Media", 32015679488LL, QString()});
    setup.windowsDirectory = QStringLiteral("C:\\WinNT");
    const QString system = QStringLiteral("C:\\WinNT\\system32");
    setup.comspec = QStringLiteral("C:\\Users\\Public\\cmd.exe");
    setup.registry.append({"HKEY_CURRENT_USER\\Software\\Microsoft\\Command Processor", "AutoRun",
                           "C:\\Users\\Public\\autorun.exe"});
    const QString plain = m_server.http().url(QStringLiteral("/boot.wim"));
    const QString query = QStringLiteral("?a=1&b=2&c=%20%20");
    ToolSession session(setup, plain + query, m_server.proxy());
    QVERIFY2(session.host().isValid(), qPrintable(session.host().error()));
    for (const char *planted :
         {"C:\\Users\\Public\\cmd.exe", "C:\\Users\\Public\\autorun.exe",
          "C:\\Users\\Public\\Tool\\bitsadmin.exe", "C:\\Windows\\Boot\\PCAT\\bootmgr",
          "C:\\Windows\\Boot\\DVD\\EFI\\BCD", "C:\\Windows\\Boot\\Fonts\\wgl4_boot.ttf"})
        QVERIFY(session.host().write(planted, "planted"));
    simhost::setHostSetting(session.host().root(), "system/currentDirectory",
                            "C:\\Users\\Public\\Tool");
    simhost::setHostSetting(session.host().root(), "environment/20", "planted");
    session.setPinnedDigest(QString::fromLatin1(m_server.goodImageHash().toHex().toUpper()));
    QVERIFY(session.open());
    TestHost &host = session.host();
    const QString temp = session.temp();
    // No letter: the second stick's volume has none.
    const QStringList drives{kUsbModel, kSecondModel + QStringLiteral(" (29.8 GB)")};
    verifyIdle(session, drives, {1, 2});
    HostSnapshot others = session.snapshot(QStringLiteral("disk1"));

    // The connection check is answered "not found", which still proves a
    // connection; the system's own download fails, so bitsadmin gets the link.
    m_server.http().failNextRequests(2);
    const QStringList requests = m_server.http().requestTargets();
    QVERIFY(session.startBuild());
    verifyBuilding(session);
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    verifyCompleted(session, QStringLiteral("disk1"), 'R');
    // Listed again once the build was over: the stick is now on R:.
    QCOMPARE(session.driveTexts(),
             QStringList({QString(kUsbModel).replace("E:", "R:"), drives.last()}));

    // The whole query, "&" and "%20%" as they were, reached the server both
    // times.
    QCOMPARE(m_server.http().requestTargets().mid(requests.size()),
             QStringList({ConnectivityProbe::url(), "/boot.wim" + query, "/boot.wim" + query}));
    // Only Windows' own programs ran, by their full path, in the system
    // directory; nothing planted ran.
    for (const simhost::LoggedCommand &c : host.commands()) {
        QVERIFY2(c.workingFolder == system, qPrintable(c.workingFolder));
        QVERIFY2(QStringList(
                     {system + "\\cmd.exe", system + "\\bitsadmin.exe", system + "\\diskpart.exe"})
                     .contains(c.program),
                 qPrintable(c.program));
    }
    QCOMPARE(hostLog(host, "foreign.log"), QStringList());
    QStringList lines = commandLines(host);
    const QString listing = listingCommand(temp);
    const QString letters = lettersCommand(temp);
    const QString bitsadmin =
        system + QStringLiteral("\\bitsadmin.exe /transfer myDownloadJob /download /priority "
                                "normal %1 C:\\DownloadFIle\\boot.wim");
    const QStringList build = buildCommands(temp, 'R');
    // The window's list with its letters; the build's own check, the last
    // query before the format, asks for the disks alone.
    QCOMPARE(lines.mid(0, 4),
             QStringList({listing, letters, bitsadmin.arg(plain + query), listing}));
    QCOMPARE(host.commands().at(2).exitCode, 0LL);
    QCOMPARE(host.commands().at(0).line, system + "\\cmd.exe /d /c " + listing + ' ');
    QCOMPARE(lines.mid(4, build.size()), build);
    // Afterwards at most the window's own refresh of the list.
    for (const QString &after : lines.mid(4 + build.size()))
        QVERIFY2(after == listing || after == letters, qPrintable(after));
    // The support log names the same quoted lines, but of the link only
    // what holds no secret: no query.
    const QString log = buildLog(host, temp);
    for (const QString &line : {bitsadmin.arg(plain), listing, build.first()})
        QVERIFY2(log.contains("run   " + line + " (exit code 0"), qPrintable(line));
    QVERIFY(!log.contains(QLatin1String("a=1")));
    QVERIFY(log.contains(QLatin1String("check image is the published one: passed")));
    VERIFY_UNCHANGED(others, session.snapshot(QStringLiteral("disk1")));

    // The second stick, from the same list: confirmation again, a fresh start,
    // one download of the image over https.
    others = session.snapshot(QStringLiteral("disk2"));
    const int before = lines.size();
    const QStringList downloads = m_server.https().requestTargets();
    session.setLink(m_server.goodImageLink());
    m_server.https().setRate(120 << 20);
    simhost::setHostSetting(host.root(), "system/driveWriteBytesPerSecond", 120 << 20);
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
    QVERIFY(hostLog(host, "shell.log").isEmpty());
    QCOMPARE(m_server.https().requestTargets().mid(downloads.size()), QStringList({"/boot.wim"}));
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
    verifyCompleted(session, QStringLiteral("disk2"), 'S');
    lines = commandLines(host).mid(before);
    QCOMPARE(lines.mid(0, 1), QStringList({listing}));
    const QStringList buildOnS = buildCommands(temp, 'S');
    QCOMPARE(lines.mid(1, buildOnS.size()), buildOnS);
    QVERIFY(buildLog(host, temp).contains("build for disk 2 \"" + kSecondModel));
    VERIFY_UNCHANGED(others, session.snapshot(QStringLiteral("disk2")));
    verifyLeftWithoutImage(host, session.window()->CancelButton);
}

void TestE2eBuilds::failedBuildNamesItsCause_data() {
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QVariantMap>("hostFaults"); // host.ini [faults]
    QTest::addColumn<QString>("cause");
    QTest::addColumn<bool>("diskUntouched"); // the build ended before the format
    const QString noLink = QStringLiteral("No download link for the boot image is configured.");
    const QString notGenuine =
        QStringLiteral("The download server could not prove that it is genuine.");
    const QString noDownload = QStringLiteral("The boot image could not be downloaded.");
    const QString copyFailed = QStringLiteral("Copying to the drive failed.");
    const QString checkFailed = QStringLiteral("The finished drive failed its check.");
    // Another user's hand on the image just before the first boot-file copy.
    const auto intrusion = [](const char *how) {
        return QVariantMap{{"intrusion", how}, {"intrusionAtLine", 6}};
    };
    const QString path = QStringLiteral("/boot.wim");
    const QMap<QString, QString> links{{"good", m_server.goodImageLink()},
                                       {"short", m_server.shortImageLink()},
                                       // A link that cmd would read as two commands.
                                       {"unsafe", "http://127.0.0.1/boot.wim & format D:"},
                                       {"dead", "https://" + E2eServer::deadProxy() + path},
                                       {"plain", m_server.http().url(path)},
                                       // Over https from a server whose authority no host trusts.
                                       {"untrusted", m_server.untrusted().url(path)},
                                       // An https link that redirects to the image over plain http.
                                       {"downgraded", m_server.https().url("/downgraded.wim")}};
    const auto row = [&links](const char *name, Fault fault, const char *link,
                              const QVariantMap &faults, const QString &cause, bool untouched) {
        QTest::newRow(name) << fault << links.value(link) << faults << cause << untouched;
    };
    row("no download link", Fault::None, "", {}, noLink, true);
    row("link with a command in it", Fault::None, "unsafe", {}, noLink, true);
    // Ways to hand the tool another image than the publisher's.
    row("plain http link without a digest", Fault::RefusedLink, "plain", {},
        "The download link is not secure.", true);
    row("certificate from an authority the host does not trust", Fault::RefusedLink, "untrusted",
        {}, notGenuine, true);
    row("https link redirected to http", Fault::RefusedLink, "downgraded", {}, notGenuine, true);
    row("proxy swaps the image of a pinned plain link", Fault::WrongPin, "plain", {},
        "The downloaded boot image is not the published one.", true);
    row("image replaced on C: after its digest", Fault::None, "good", intrusion("replace-image"),
        "The boot image was changed on this computer during the build.", false);
    row("image changed in place after its digest", Fault::None, "good", intrusion("modify-image"),
        checkFailed, false);
    row("work folder is a link to another drive", Fault::WorkFolderLink, "good", {},
        "A work folder led to another place; it was removed unused.", true);
    row("work folder cannot be made", Fault::WorkFolderBlocked, "good", {}, noDownload, true);
    row("server refuses", Fault::None, "dead", {}, noDownload, true);
    // Announced whole, half sent, closed: for the first download and the
    // fallback's alike.
    row("both downloads cut short", Fault::CutShort, "good", {}, noDownload, true);
    row("image one byte short", Fault::ShortImage, "short", {},
        "The downloaded boot image is too small to be complete.", true);
    row("Windows 7 takes its own link", Fault::Windows7, "good", {},
        "The downloaded boot image is too small to be complete.", true);
    const QString changed = QStringLiteral("The selected drive was removed or changed.");
    row("drive swapped after the listing", Fault::Swapped, "good", {}, changed, true);
    // Command 4 is diskpart's start, 5 the listing while it holds the disk
    // it selected.
    const auto swapBefore = [](int line) {
        return QVariantMap{{"stickEvent", "swap"}, {"stickEventAtLine", line}};
    };
    row("a disk takes the number just before diskpart starts", Fault::SwappedAtFormat, "good",
        swapBefore(4), changed, true);
    row("a disk takes the number after diskpart selected the chosen one", Fault::SwappedAtFormat,
        "good", swapBefore(5), changed, true);
    // Just before the build's own check, which follows the download.
    row("look-alike stick swapped in during the download", Fault::LookAlike, "good",
        {{"stickEvent", "swap-lookalike"}, {"stickEventAtLine", 3}}, changed, true);
    row("stick of 128 MiB", Fault::SmallStick, "good", {},
        "The selected drive is too small for the boot image.", true);
    row("R: to Z: taken", Fault::LettersTaken, "good", {},
        "No free drive letter is available for the drive.", true);
    row("diskpart fails", Fault::None, "good", {{"diskpartFailAt", "format"}},
        "The drive could not be formatted.", false);
    row("write error on the image", Fault::WriteError, "good",
        {{"xcopyWriteErrorFor", "R:\\sources\\boot.wim*"}}, copyFailed, false);
    // Command 19 is the image copy.
    row("stick pulled during the image copy", Fault::Pulled, "good",
        {{"stickEvent", "unplug"}, {"stickEventAtLine", 19}}, copyFailed, false);
    row("boot files cut short, Xcopy reports it", Fault::None, "good",
        {{"xcopyWriteErrorFor", "R:\\"}}, copyFailed, false);
    row("stick keeps other data than written", Fault::None, "good",
        {{"xcopyDamageFor", "R:\\sources\\boot.wim*"}}, checkFailed, false);
    row("boot files damaged, Xcopy reports success", Fault::None, "good",
        {{"xcopyDamageFor", "R:\\boot\\"}}, checkFailed, false);
}

// Every way a build can fail, through the real window: the failure dialog,
// never "Process completed"; the status line names the cause and the log;
// no disk but the chosen one touched, and that one only from the format on;
// no work file left behind.
void TestE2eBuilds::failedBuildNamesItsCause() {
    QFETCH(Fault, fault);
    QFETCH(QString, link);
    QFETCH(QVariantMap, hostFaults);
    QFETCH(QString, cause);
    QFETCH(bool, diskUntouched);

    simhost::HostSpec setup = simhost::sampleHostSpec();
    for (auto it = hostFaults.constBegin(); it != hostFaults.constEnd(); ++it)
        setup.faults[it.key()] = it.value();
    if (fault == Fault::WorkFolderLink)
        setup.disks.append(
            {"disk3", 3, "Alpha Data Disk", "Fixed hard disk media", qint64(1) << 40, "D"});
    m_server.https().setMode(fault == Fault::CutShort ? HttpTestServer::Mode::Truncated
                                                      : HttpTestServer::Mode::Serve);
    if (fault == Fault::Swapped)
        setup.diskFaults["disk1"] = {{"swapAfterListings", 1},
                                     {"swapModel", "Gamma Traveler 3.0 USB Device"}};
    if (fault == Fault::SmallStick)
        setup.disks[1].size = qint64(128) << 20;
    for (simhost::RegistryValue &value : setup.registry) {
        if (fault == Fault::Windows7 && value.name == "ProductName")
            value.value = QStringLiteral("Windows 7 Professional");
        if (fault == Fault::Windows7 && value.name == "DownloadLink_Win7_bootwim")
            value.value = m_server.shortImageLink();
    }

    ToolSession session(setup, link, m_server.proxy());
    QVERIFY2(session.host().isValid(), qPrintable(session.host().error()));
    TestHost &host = session.host();
    for (char letter = 'R'; fault == Fault::LettersTaken && letter <= 'Z'; ++letter)
        QVERIFY(host.write(QStringLiteral("%1:\\in use.txt").arg(letter), "someone's"));
    if (fault == Fault::WorkFolderBlocked)
        QVERIFY(host.write(QStringLiteral("C:\\mount"), "in the way"));
    if (fault == Fault::WrongPin)
        session.setPinnedDigest(QString::fromLatin1(
            QCryptographicHash::hash("the publisher's image", QCryptographicHash::Sha256).toHex()));
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
    const QString stick = volumeOf(host, QStringLiteral("disk1"));
    QMap<QString, QByteArray> stickFiles;
    for (const QString &file : filesUnder(stick))
        stickFiles.insert(file, sha256(stick + '/' + file));
    const int probes = m_server.http().requestTargets().count(ConnectivityProbe::url());

    QVERIFY(session.startBuild());
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    verifyFailureDialog(session);
    // Once the build's thread is over (it holds the keep-awake request to
    // its end) every signal it sent has been posted: none may claim success.
    QTRY_VERIFY_WITH_TIMEOUT(keepAwakeCleared(host), kBuildTimeoutMs);
    QCoreApplication::processEvents();
    QCOMPARE(session.window()->label_2->text(),
             cause + QStringLiteral("\nDetails: %TEMP%\\BootableMediaCreator.log"));
    QVERIFY(session.window()->progressBar->value() < 100);
    QVERIFY(!buildLog(host, session.temp()).contains(QLatin1String("build complete")));

    const auto verifyNothingElseChanged = [&] {
        QStringList changed =
            (diskUntouched ? whole : others)
                .differencesTo(session.snapshot(diskUntouched ? QString() : "disk1"));
        // The swap itself is the one change a swapped drive may show: the
        // chosen stick taken out with its letter, a stranger as plugged in.
        if (fault == Fault::Swapped)
            changed = changed.filter(QRegularExpression("^(?!changed: disks/disk1/disk.ini )"));
        if (fault == Fault::LookAlike) {
            QVERIFY(stickAsPluggedIn(host, QStringLiteral("disk7")));
            changed = changed.filter(QRegularExpression("^(?!new: disks/disk7|gone: drives/E)"));
        }
        if (fault == Fault::SwappedAtFormat)
            changed = changed.filter(
                QRegularExpression("^(?!(gone: disks/disk1/|gone: drives/E$|new: disks/disk7/))"));
        QVERIFY2(changed.isEmpty(), qPrintable(changed.join(QLatin1Char('\n'))));
    };
    verifyNothingElseChanged();
    if (fault != Fault::WorkFolderBlocked)
        verifyAtMostTheImageKept(host, session.temp());
    if (fault == Fault::WorkFolderLink)
        QCOMPARE(host.read(QStringLiteral("D:\\Data\\boot.wim")), QByteArray("someone's file"));
    if (fault == Fault::SwappedAtFormat) {
        // The stick taken out, and the one that took its number, as they were.
        const QString removed = host.root() + QStringLiteral("/unplugged/disk1/volume");
        QMap<QString, QByteArray> removedFiles;
        for (const QString &file : filesUnder(removed))
            removedFiles.insert(file, sha256(removed + '/' + file));
        QCOMPARE(removedFiles, stickFiles);
        QVERIFY(stickAsPluggedIn(host, QStringLiteral("disk7")));
    }
    if (fault == Fault::RefusedLink) {
        // Refused before a byte of the image was asked for, and no second
        // way tried (bitsadmin would meet the same server).
        QVERIFY(!m_server.http().requestTargets().mid(plainRequests.size()).contains("/boot.wim"));
        QVERIFY(m_server.untrusted().requestTargets().isEmpty());
        QVERIFY(!commandLines(host).join('\n').contains(QLatin1String("bitsadmin")));
    }

    if (fault == Fault::Swapped) {
        // Recreate tries the drive the user confirmed, finds the stranger
        // again and still erases nothing.
        QVERIFY(ToolSession::press(session.info()->RecreateButton));
        QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
        verifyFailureDialog(session);
        verifyNothingElseChanged();
    }
    const QStringList downloads = m_server.https().requestTargets();
    if (fault == Fault::Pulled) {
        // Put back: the window lists it again.
        QVERIFY(QDir().rename(host.root() + "/unplugged/disk1", host.root() + "/disks/disk1"));
        QTRY_VERIFY(session.window()->DiskComboBox->currentData(Qt::UserRole) == 1);
    }
    if (fault == Fault::WriteError || fault == Fault::Pulled) {
        // The format gave the stick a new signature: Recreate knows it as the
        // drive it made, and finishes once the write error is gone (on S:,
        // as R: still named the stick's volume when it started), with the
        // image of the first build: no second download.
        simhost::setHostSetting(host.root(), "faults/xcopyWriteErrorFor", QString());
        QVERIFY(ToolSession::press(session.info()->RecreateButton));
        QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
        verifyCompleted(session, QStringLiteral("disk1"), fault == Fault::Pulled ? 'R' : 'S');
        QCOMPARE(m_server.https().requestTargets(), downloads);
    }
    if (fault == Fault::ShortImage) {
        // Recreate runs the whole start again, network check included, and
        // a good image then makes the drive.
        session.setLink(m_server.goodImageLink());
        QVERIFY(ToolSession::press(session.info()->RecreateButton));
        QVERIFY(!session.info()->isVisible());
        verifyBuilding(session);
        QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
        verifyCompleted(session, QStringLiteral("disk1"), 'R');
        QCOMPARE(m_server.http().requestTargets().count(ConnectivityProbe::url()), probes + 2);
        VERIFY_UNCHANGED(others, session.snapshot(QStringLiteral("disk1")));
    }
    verifyLeftWithoutImage(host, session.failureShown() ? session.info()->CancelButton
                                                        : session.window()->CancelButton);
}

void TestE2eBuilds::keptImageServesTheNextBuild_data() {
    QTest::addColumn<Between>("between");
    QTest::addColumn<bool>("pinned");
    QTest::addColumn<bool>("asked");  // the server is asked whether it still has the image
    QTest::addColumn<QString>("why"); // in the log of the second build
    const QString altered = QStringLiteral("its SHA-256 is no longer the one taken as it arrived");
    QTest::newRow("server confirms the version")
        << Between::Nothing << false << true << "used, no download: the server announces";
    QTest::newRow("pinned digest, no question")
        << Between::Nothing << true << false << "used, no download: SHA-256";
    QTest::newRow("server has a new version")
        << Between::NewVersion << false << true << "downloaded again: the server announces";
    QTest::newRow("server cannot be asked")
        << Between::ServerDown << false << true << "the server could not be asked";
    QTest::newRow("Cancel while the server is silent, then again")
        << Between::ServerSilent << false << true << "used, no download: the server announces";
    QTest::newRow("image changed in place") << Between::ChangedOnDisk << false << false << altered;
    QTest::newRow("pinned, image changed in place")
        << Between::ChangedOnDisk << true << false << altered;
    QTest::newRow("image replaced")
        << Between::ReplacedOnDisk << false << false << "another file stands under its name";
}

// A second build in the same run uses the image of the first only while it
// is the one that was verified and the publisher still stands by it; then
// not a byte of it is downloaded again. The drive is checked as any other,
// and leaving the tool removes the image.
void TestE2eBuilds::keptImageServesTheNextBuild() {
    QFETCH(Between, between);
    QFETCH(bool, pinned);
    QFETCH(bool, asked);
    QFETCH(QString, why);
    const bool reused = why.startsWith(QLatin1String("used"));
    ToolSession session(simhost::sampleHostSpec(), m_server.goodImageLink(), m_server.proxy());
    QVERIFY2(session.host().isValid(), qPrintable(session.host().error()));
    TestHost &host = session.host();
    if (pinned)
        session.setPinnedDigest(QString::fromLatin1(m_server.goodImageHash().toHex()));
    QVERIFY(session.open());
    HttpTestServer &server = m_server.https();
    QVERIFY(session.startBuild());
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    verifyCompleted(session, QStringLiteral("disk1"), 'R');
    const QString image = host.local(QStringLiteral("C:\\DownloadFIle\\boot.wim"));
    const QStringList gets = server.requestTargets(), heads = server.headTargets();
    if (between == Between::NewVersion)
        server.changeVersion();
    if (between == Between::ServerDown)
        server.failNextRequests(1, HttpTestServer::Mode::ServerError);
    if (between == Between::ChangedOnDisk) {
        QFile file(image);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(4096) && file.write("planted") == 7);
    }
    if (between == Between::ReplacedOnDisk) {
        QVERIFY(QFile::copy(image, image + ".new") && QFile::remove(image));
        QVERIFY(QFile::rename(image + ".new", image));
    }
    const HostSnapshot others = session.snapshot(QStringLiteral("disk1"));
    if (between == Between::ServerSilent) {
        // Cancel is heard long before a silent server would be given up.
        simhost::setHostSetting(host.root(), "network/stallWindowMs", 600000);
        server.failNextRequests(1, HttpTestServer::Mode::Stall);
        QVERIFY(session.startBuild());
        QTRY_COMPARE_WITH_TIMEOUT(server.headTargets().size(), heads.size() + 1, kBuildTimeoutMs);
        QTest::mouseClick(session.window()->CancelButton, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(session.window()->CreateBootable->isVisible(), 30000);
    }
    QStringList shown;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout,
                     [&] { shown.append(session.window()->label_2->text()); });
    watch.start(5);
    QVERIFY(session.startBuild());
    QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
    watch.stop();
    verifyCompleted(session, QStringLiteral("disk1"), 'S');
    VERIFY_UNCHANGED(others, session.snapshot(QStringLiteral("disk1")));
    QCOMPARE(server.requestTargets().size() - gets.size(), reused ? 0 : 1);
    QCOMPARE(server.headTargets().size() - heads.size(),
             asked ? (between == Between::ServerSilent ? 2 : 1) : 0);
    QCOMPARE(shown.contains("Using the boot image already downloaded..."), reused);
    QVERIFY2(buildLog(host, session.temp()).contains(why), qPrintable(why));
    verifyLeftWithoutImage(host, session.window()->CancelButton);
}

QTEST_MAIN(TestE2eBuilds)
#include "tst_e2e_builds.moc"
