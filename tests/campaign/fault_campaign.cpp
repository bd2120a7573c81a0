// fault_campaign: whole builds through the real window, each on a fresh
// simulated host with faults drawn from a seeded generator, and after each
// run the promises checked from outside (the disks, the host's logs, the
// windows), never from the tool's own word:
//   - "Process completed" means a drive whose every file equals its source
//     and whose image equals the served one;
//   - no disk or volume but the chosen stick changed, byte for byte;
//   - the run ended within a bound, and the window it ended in has a way out
//     that works;
//   - once the tool has ended: no work file or partial image, no stand-in
//     still running, the keep-awake request cleared.
// A run that breaks one prints its seed and faults; --replay <seed> runs it
// again exactly. --plant <fault> breaks one promise on purpose after every
// run, to show that its check can fail.
//
// Usage: fault_campaign [--builds N] [--seed S] [--replay RUNSEEDS] [--verbose]
//                       [--plant FAULT] [--dry]
#include "support/HostChecks.h"
#include "support/HostSnapshot.h"
#include "support/ToolSession.h"

#include "builder/BuildCommands.h"
#include "platform/HostPlatform.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <random>

using namespace hostchecks;
using namespace buildpaths;
using Mode = HttpTestServer::Mode;

namespace {

// Every run must end (completed, failure shown, notice shown, or the user
// gone) within this. The simulated host judges a transfer's progress over
// kStallWindowMs instead of a minute, so a stalled or trickling server is
// given up within two such windows.
constexpr int kRunBoundMs = 60000;
constexpr int kStallWindowMs = 3000;
// The served image: just above the smallest size the tool accepts, so that
// a lost tail shows.
constexpr qint64 kImageSize = kMinimumImageSize + 65536;
const QString kProductModel = "Generic Flash Disk USB Device";
const QStringList kPlants = {"cut-boot-file",   "write-other-disk", "hang",
                             "leave-work-file", "stray-stand-in",   "keep-awake"};

// How the image server may misbehave (the first one is serving well).
const std::pair<const char *, Mode> kServerFaults[] = {{"serve", Mode::Serve},
                                                       {"404", Mode::NotFound},
                                                       {"500", Mode::ServerError},
                                                       {"stall", Mode::Stall},
                                                       {"trickle", Mode::Trickle},
                                                       {"close-early", Mode::Truncated},
                                                       {"lie-about-length", Mode::OverAnnounce},
                                                       {"html-page", Mode::HtmlPage},
                                                       {"short-image", Mode::Short}};
constexpr int kStall = 3;

// The programs the build runs: how many times a build may start each, and
// how many ways the stand-in can make it fail.
const std::tuple<const char *, int, int> kPrograms[] = {
    {"WMIC.exe", 3, 3}, {"powershell.exe", 3, 1}, {"diskpart.exe", 2, 4},
    {"dism.exe", 2, 3}, {"Xcopy.exe", 14, 6},     {"bitsadmin.exe", 1, 2}};

// Destinations of the build's copies, as its command lines name them.
const char *const kCopyTargets[] = {"R:\\", "R:\\boot\\", "R:\\efi\\boot\\bootx64.efi*",
                                    "R:\\sources\\boot.wim*", "R:\\efi\\microsoft\\boot\\"};

// Everything drawn for one run, most of it as the host's setup; drawn lists
// each fault's kind and detail, printed with a violation and counted in the
// summary.
struct Faults {
    quint64 seed = 0;
    int server = 0; // in kServerFaults
    bool serverFirstOnly = false;
    qint64 cutAt = 0;
    bool offline = false; // the connectivity check finds no internet
    bool tempMissing = false;
    QString lettersTaken; // volumes already on these letters
    simhost::HostSpec setup = simhost::sampleHostSpec();
    QString stickEvent;         // unplug, swap, plug-other
    int stickEventLine = 0;     // just before the tool's n-th command line
    QString userEvent;          // cancel, close
    int userEventPermille = -1; // at this share of the image sent, or
    int userEventLine = 0;      // once the tool has run this many command lines
    QList<std::pair<QString, QString>> drawn;

    QString describe() const {
        QStringList out;
        for (const auto &[kind, detail] : drawn)
            out << (kind + ' ' + detail).trimmed();
        return out.join(", ");
    }
};

Faults draw(quint64 seed, bool alwaysStall) {
    std::mt19937_64 rng(seed);
    auto chance = [&rng](int percent) { return int(rng() % 100) < percent; };
    auto upTo = [&rng](int n) { return int(rng() % quint64(n)); };
    Faults f;
    f.seed = seed;
    auto note = [&f](const QString &kind, const QString &detail = {}) {
        f.drawn.append({kind, detail});
    };
    if (chance(35)) {
        f.server = 1 + upTo(int(std::size(kServerFaults)) - 1);
        f.serverFirstOnly = chance(40);
        f.cutAt = 1 + qint64(rng() % quint64(kMinimumImageSize));
        if (kServerFaults[f.server].second == Mode::Short) // one byte under the smallest accepted
            f.cutAt = kMinimumImageSize - 1;
    }
    if (alwaysStall)
        std::tie(f.server, f.serverFirstOnly) = std::make_pair(kStall, false);
    if (f.server != 0)
        note(QString("server ") + kServerFaults[f.server].first,
             QString(f.serverFirstOnly ? "first request only, " : "") +
                 QString("cut at %1").arg(f.cutAt));
    if ((f.offline = chance(4)))
        note("offline");
    QStringList failures;
    for (int i = 0, count = chance(45) ? 1 + upTo(2) : 0; i < count; ++i) {
        const auto &[program, maxRun, kinds] = kPrograms[upTo(int(std::size(kPrograms)))];
        const int run = 1 + upTo(maxRun), kind = upTo(kinds);
        failures << QString("%1:%2:%3").arg(program).arg(run).arg(kind);
        note(QString("tool fails: ") + program, QString("run %1 kind %2").arg(run).arg(kind));
    }
    if (!failures.isEmpty())
        f.setup.faults.insert("toolFailures", failures.join(','));
    if (chance(15)) {
        const QString target = kCopyTargets[upTo(int(std::size(kCopyTargets)))];
        f.setup.faults.insert("xcopyWriteErrorFor", target);
        note("copy cut by a write error", target);
    }
    if (!(f.setup.hasWmic = !chance(20)))
        note("host without WMIC");
    if (chance(20)) {
        f.setup.tempDirectory = "C:\\Users\\Ann Marie Smith\\AppData\\Local\\Temp\\";
        note("temp folder with blanks");
    }
    if ((f.tempMissing = chance(5)))
        note("temp folder missing");
    if (chance(15)) {
        f.lettersTaken = chance(25) ? "RSTUVWXYZ" : QString("RSTUVWXYZ").left(1 + upTo(8));
        note(f.lettersTaken.size() == 9 ? "letters R-Z all taken" : "some letters taken",
             f.lettersTaken);
    }
    if (chance(8)) {
        const qint64 size = chance(60) ? 128LL << 20 : 64LL << 30;
        f.setup.disks[1].size = size; // disk1, the sample stick
        note(size < kMinimumImageSize ? "stick too small" : "stick over 32 GiB",
             QString::number(size));
    }
    if (chance(25)) {
        static const char *const kEvents[] = {"unplug", "swap", "plug-other"};
        f.stickEvent = kEvents[upTo(3)];
        // Line 1 is the window's own listing; a build runs about 25.
        f.stickEventLine = 2 + upTo(24);
        f.setup.faults.insert("stickEvent", f.stickEvent);
        f.setup.faults.insert("stickEventAtLine", f.stickEventLine);
        note("stick " + f.stickEvent, QString("before command %1").arg(f.stickEventLine));
    }
    if (chance(20)) {
        f.userEvent = chance(50) ? "cancel" : "close";
        if (chance(65))
            f.userEventPermille = upTo(1000);
        else
            f.userEventLine = 2 + upTo(24);
        note("user " + f.userEvent,
             f.userEventPermille >= 0
                 ? QString("at %1 permille of the image sent").arg(f.userEventPermille)
                 : QString("after command %1").arg(f.userEventLine));
    }
    return f;
}

quint64 runSeed(quint64 campaignSeed, int index) {
    // splitmix64: neighbouring indexes give unrelated runs.
    quint64 z = campaignSeed + 0x9e3779b97f4a7c15ULL * quint64(index + 1);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// Stand-in processes still running for this host root.
QStringList standInsRunning(const QString &root) {
    QStringList running;
    for (const QString &pid : QDir("/proc").entryList(QDir::Dirs)) {
        QFile cmdline(QString("/proc/%1/cmdline").arg(pid));
        if (pid.toLongLong() == QCoreApplication::applicationPid() ||
            !cmdline.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = cmdline.readAll();
        if (text.contains(QFile::encodeName(root)))
            running << QString::fromLocal8Bit(QByteArray(text).replace('\0', ' '));
    }
    return running;
}

struct RunResult {
    QString outcome; // completed, failed, notice, not-started, left, idle, hang
    QStringList violations;
};

// The campaign's image server, image and planted fault, and what the run at
// hand must leave alone.
struct Campaign {
    RunResult run(const Faults &f, bool verbose);
    int endRun(ToolSession &session, const Faults &f, RunResult &r);
    void checkCompletedDrive(const TestHost &host, RunResult &r);
    void checkLeftovers(ToolSession &session, RunResult &r);
    void checkOtherDisks(const TestHost &host, RunResult &r);

    HttpTestServer &m_images;
    const QString m_image;
    const QByteArray m_imageHash;
    const QString m_proxy;
    const QString m_plant;
    // What the build must leave alone, and the disk that a format may erase.
    HostSnapshot m_baseline;
    QStringList m_work;
    QString m_erasedDisk;
};

// Runs the build inside the application's loop, as in the running tool, so
// that a way out that quits the tool ends the loop. Returns the loop's end:
// 0 the tool quit, 1 the run ended, 2 no end within the bound, 3 not started.
int Campaign::endRun(ToolSession &session, const Faults &f, RunResult &r) {
    const TestHost &host = session.host();
    QCreateBootable *w = session.window();
    const QDeadlineTimer bound(kRunBoundMs);
    bool started = false, userActed = false, userRefused = false;
    QTimer::singleShot(0, [&] {
        if (!(started = session.startBuild()))
            QCoreApplication::exit(3); // nothing to build on: no drive listed
    });
    auto userActs = [&] {
        if (userActed || !started || session.buildEnded())
            return;
        userActed = true;
        if (f.userEvent == "cancel")
            userRefused = !ToolSession::press(w->CancelButton);
        else
            w->close(); // the window system's close (Alt+F4, the task bar)
    };
    if (!f.userEvent.isEmpty() && f.userEventPermille >= 0)
        m_images.setTrigger(kImageSize * f.userEventPermille / 1000, userActs);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!started)
            return;
        if (f.userEventLine > 0 && host.commands().size() >= f.userEventLine)
            userActs();
        const WarningClass *warning = session.warning();
        // Idle again (a build the user stopped): Create Recovery Drive is
        // back, enabled when a drive is listed.
        if (session.buildEnded() || (warning && warning->isVisible()) ||
            (w->CancelButton->isEnabled() && w->CreateBootable->isVisible()))
            QCoreApplication::exit(1);
        else if (bound.hasExpired())
            QCoreApplication::exit(2);
    });
    poll.start(10);
    const int loop = QCoreApplication::exec();
    poll.stop();
    m_images.setTrigger(0, nullptr);

    const WarningClass *warning = session.warning();
    static const QMap<int, QString> kLoopEnds = {{0, "left"}, {2, "hang"}, {3, "not-started"}};
    if (kLoopEnds.contains(loop))
        r.outcome = kLoopEnds.value(loop);
    else
        r.outcome = session.buildCompleted()          ? "completed"
                    : session.failureShown()          ? "failed"
                    : warning && warning->isVisible() ? "notice"
                                                      : "idle";
    if (loop == 2)
        r.violations << QString("no end within %1 s: \"%2\" at %3%, %4")
                            .arg(kRunBoundMs / 1000)
                            .arg(w->label_2->text())
                            .arg(w->progressBar->value())
                            .arg(session.describe());
    if (userActed)
        r.outcome += userRefused ? " (cancel refused)" : " (after user)";
    // Nothing is written while the image downloads: there, Cancel and the
    // window system's close must stop the build and bring the window back.
    const bool duringDownload = userActed && f.userEventPermille >= 0;
    const bool cancelTaken = userActed && f.userEvent == "cancel" && !userRefused;
    if ((duringDownload || cancelTaken) && loop != 2 && !r.outcome.startsWith("idle"))
        r.violations << "the user's " + f.userEvent + " did not stop the build: it ended " +
                            r.outcome;
    return loop;
}

RunResult Campaign::run(const Faults &f, bool verbose) {
    RunResult r;
    const Mode mode = kServerFaults[f.server].second;
    m_images.setMode(f.serverFirstOnly ? Mode::Serve : mode);
    m_images.failNextRequests(f.serverFirstOnly ? 1 : 0, mode);
    m_images.setCut(f.cutAt);
    ToolSession session(f.setup, m_images.url("/boot.wim"),
                        f.offline ? E2eServer::deadProxy() : m_proxy);
    TestHost &host = session.host();
    if (!host.isValid()) {
        r.violations << QString("campaign: no host: ") + host.error();
        return r;
    }
    simhost::setHostSetting(host.root(), "network/stallWindowMs",
                            m_plant == "hang" ? 600000 : kStallWindowMs);
    for (const QChar letter : f.lettersTaken) // someone else's volumes: they must stay as they are
        host.write(QString(letter) + ":\\data.txt", "someone else's volume\n");
    if (f.tempMissing)
        QDir(host.local(session.temp())).removeRecursively();
    m_work = QStringList{session.temp(), kDownloadFolder, kMountFolder};
    m_erasedDisk = "disk1";
    m_baseline = HostSnapshot::take(host, m_erasedDisk, m_work);
    if (!session.open()) {
        r.violations << "the window did not open";
        return r;
    }
    const int loop = endRun(session, f, r);

    // A stick swapped in the very instant between the tool's last check of
    // the disk and diskpart's start takes the chosen disk's number and is
    // the one erased: no tool that formats through diskpart can tell, as
    // diskpart selects a disk by its number only. Such a stick is held to
    // what the chosen one is.
    const QList<simhost::LoggedCommand> commands = host.commands();
    const int at = f.stickEventLine - 1;
    if (f.stickEvent == "swap" && at >= 1 && at < commands.size() &&
        commands.at(at).line.contains("diskpart.exe") &&
        commands.at(at - 1).line.contains("Removable Media")) {
        m_erasedDisk = "disk7";
        r.outcome += " (swapped at the format)";
    }
    if (r.outcome.startsWith("completed"))
        checkCompletedDrive(host, r);
    if (m_plant == "write-other-disk") {
        // One byte more on the system disk, as a write gone astray would leave.
        QFile other(volumeOf(host, "disk0") + "/SYSTEM-DISK.txt");
        if (other.open(QIODevice::Append))
            other.write("x");
    }
    if (m_plant ==
        "leave-work-file") // the first bytes of an image, as a stopped download leaves them
        host.write(kDownloadedImage, "boot image marker");
    if (m_plant == "stray-stand-in") // a process of this host that outlives the tool
        QProcess::startDetached("sh", {"-c", "sleep 8", host.root()});

    // The way out from where the run ended; the tool must then end.
    if (loop == 2) {
        // Let the stuck run end so that the next one starts clean: every
        // download from now on fails at once.
        m_images.setMode(Mode::NotFound);
        m_images.dropConnections();
        if (!QTest::qWaitFor([&] { return session.buildEnded(); }, kRunBoundMs))
            r.violations << "still no end once the server gave up";
    } else if (loop != 0) {
        QAbstractButton *out = r.outcome.startsWith("failed") ? session.info()->CancelButton
                                                              : session.window()->CancelButton;
        if (r.outcome.startsWith("notice") && !ToolSession::press(session.warning()->CancelButton))
            r.violations << "dead end: the notice's OK cannot be pressed";
        if (const int left = ToolSession::leaveWith(out))
            r.violations << QString("dead end: the way out from \"%1\" %2")
                                .arg(r.outcome, left < 0 ? QString("cannot be pressed")
                                                         : QString("did not end the tool"));
    }
    m_images.dropConnections();
    checkLeftovers(session, r);
    checkOtherDisks(host, r);
    for (const simhost::LoggedCommand &c : verbose ? host.commands() : commands.mid(0, 0))
        std::printf("    %lld  %s\n", c.exitCode, qPrintable(c.line));
    return r;
}

void Campaign::checkCompletedDrive(const TestHost &host, RunResult &r) {
    // Taken out after the build checked it, the stick may still be complete.
    QString folder = host.root() + "/disks/" + m_erasedDisk;
    if (!QFileInfo::exists(folder))
        folder = host.root() + "/unplugged/disk1";
    const QString model =
        QSettings(folder + "/disk.ini", QSettings::IniFormat).value("disk/model").toString();
    if (m_erasedDisk == "disk1" && model != kProductModel) {
        r.violations << QString("completed on a stick that is not the one chosen (%1)").arg(model);
        return;
    }
    // Every file on the drive by its lower-case path, and the file it must equal.
    const QString volume = folder + "/volume";
    QMap<QString, QString> onDrive;
    for (QDirIterator it(volume, QDir::Files | QDir::Hidden | QDir::System,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        onDrive.insert(QDir(volume).relativeFilePath(path).toLower(), path);
    }
    const QString boot = "C:\\Windows\\Boot\\";
    QMap<QString, QString> sources = {
        {"bootmgr", "PCAT\\bootmgr"},
        {"bootmgr.efi", "EFI\\bootmgr.efi"},
        {"boot/bcd", "DVD\\PCAT\\BCD"},
        {"boot/boot.sdi", "DVD\\PCAT\\boot.sdi"},
        {"boot/resources/bootres.dll", "Resources\\bootres.dll"},
        {"efi/boot/bootmgfw.efi", "EFI\\bootmgfw.efi"},
        {"efi/boot/bootx64.efi", "EFI\\bootmgfw.efi"},
        {"efi/microsoft/boot/bcd", "DVD\\EFI\\BCD"},
        {"efi/microsoft/boot/resources/bootres.dll", "Resources\\bootres.dll"}};
    for (const QString &font : filesUnder(host.local(boot + "Fonts"))) {
        sources.insert(QString("boot/fonts/") + font, QString("Fonts\\") + font);
        sources.insert(QString("efi/microsoft/boot/fonts/") + font, QString("Fonts\\") + font);
    }
    if (m_plant == "cut-boot-file") // cut short, as a write error leaves it
        QFile::resize(onDrive.value("bootmgr"), 22);
    const QSet<QString> expected = recoveryDriveLayout(host);
    const QSet<QString> present(onDrive.keyBegin(), onDrive.keyEnd());
    for (const QString &missing : expected - present)
        r.violations << QString("completed, but the drive lacks %1").arg(missing);
    for (const QString &extra : present - expected)
        r.violations << QString("completed, but the drive holds a stray %1").arg(extra);
    for (auto it = onDrive.constBegin(); it != onDrive.constEnd(); ++it) {
        const bool image = it.key() == "sources/boot.wim";
        const QString source = image ? m_image : host.local(boot + sources.value(it.key()));
        if (expected.contains(it.key()) &&
            sha256(it.value()) != (image ? m_imageHash : sha256(source)))
            r.violations << QString("completed, but %1 differs from its source (%2 of %3 "
                                    "bytes)")
                                .arg(it.key())
                                .arg(QFileInfo(it.value()).size())
                                .arg(QFileInfo(source).size());
    }
}

void Campaign::checkLeftovers(ToolSession &session, RunResult &r) {
    // Once the tool has ended: give its last commands a moment, then nothing
    // of it may be left running or lying about.
    const TestHost &host = session.host();
    QStringList running;
    for (QDeadlineTimer settle(5000);
         !(running = standInsRunning(host.root())).isEmpty() && !settle.hasExpired();)
        QTest::qWait(50);
    for (const QString &p : running)
        r.violations << QString("stand-in still running: ") + p;
    // The work folders may stay as empty folders, the temporary folder the
    // support log and the last listing; no partial image anywhere on C:.
    const QString work[] = {host.local(QString(kDownloadFolder)) + QLatin1Char('/'),
                            host.local(QString(kMountFolder)) + QLatin1Char('/')};
    const QString temp = host.local(session.temp());
    for (QDirIterator all(host.local("C:\\"), QDir::Files | QDir::Hidden | QDir::System,
                          QDirIterator::Subdirectories);
         all.hasNext();) {
        const QString path = all.next();
        const qint64 size = all.fileInfo().size();
        if (path.startsWith(work[0], Qt::CaseInsensitive) ||
            path.startsWith(work[1], Qt::CaseInsensitive) || size > (8 << 20) ||
            (path.startsWith(temp) &&
             (path.endsWith(".bat", Qt::CaseInsensitive) || size > (1 << 20))))
            r.violations << QString("work file left: %1 (%2 bytes)")
                                .arg(path.mid(host.root().size()))
                                .arg(size);
    }
    if (m_plant == "keep-awake") // a request made after the tool cleared its own
        hostplatform::setKeepAwake(true);
    const QStringList power = hostLog(host, "power.log");
    if (!power.isEmpty() && !power.last().startsWith("clear"))
        r.violations << QString("keep-awake still requested: ") + power.last();
    if (m_plant == "keep-awake") // cleared again, or the session would wait for it
        hostplatform::setKeepAwake(false);
}

// Sticks plugged in during the build (by the stand-ins' stick event) are
// someone else's: as plugged in, a description and one note, and so they
// must stay. Everything else must be as before the build.
void Campaign::checkOtherDisks(const TestHost &host, RunResult &r) {
    QStringList plugged;
    for (const QString &id : {QString("disk2"), QString("disk7")}) {
        const QString folder = host.root() + "/disks/" + id;
        if (m_erasedDisk == id) {
            plugged << QString("disks/") + id << "drives/R";
            continue;
        }
        if (!QFileInfo::exists(folder))
            continue;
        plugged << QString("disks/") + id;
        if (id == "disk2")
            plugged << "drives/E";
        const QSettings ini(folder + "/disk.ini", QSettings::IniFormat);
        QStringList keys = ini.allKeys();
        keys.sort();
        QFile note(folder + "/volume/notes.txt");
        if (keys != QStringList{"disk/fileSystem", "disk/mediaType", "disk/model", "disk/number",
                                "disk/partitions", "disk/size"} ||
            ini.value("disk/fileSystem").toString() != "FAT32" ||
            ini.value("disk/partitions").toInt() != 1 ||
            filesUnder(folder + "/volume") != QSet<QString>{"notes.txt"} ||
            !note.open(QIODevice::ReadOnly) || note.readAll() != "shopping list\n")
            r.violations << "the stick plugged in during the build (" + id + ") was changed";
    }
    const HostSnapshot after = HostSnapshot::take(host, "disk1", m_work);
    for (const QString &d : m_baseline.differencesTo(after)) {
        if (std::none_of(plugged.begin(), plugged.end(),
                         [&](const QString &p) { return d.startsWith(QString("new: ") + p); }))
            r.violations << QString("another disk or volume changed: ") + d;
    }
}

bool g_verbose = false;

// The tool's own debug lines would bury the campaign's report.
void quietDebug(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type != QtDebugMsg || g_verbose)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[]) {
    qInstallMessageHandler(quietDebug);
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOptions({
        {"builds", "number of builds", "N", "20"},
        {"seed", "campaign seed", "S", "16"},
        {"replay", "runs the builds of these run seeds (comma-separated)", "RUNSEEDS"},
        {"verbose", "prints each run's faults and commands"},
        {"plant", "breaks one promise after every run: " + kPlants.join(", "), "FAULT"},
        {"dry", "prints the faults drawn, runs nothing"},
    });
    parser.process(app);
    g_verbose = parser.isSet("verbose");
    const QString plant = parser.value("plant");
    if (!plant.isEmpty() && !kPlants.contains(plant)) {
        std::fprintf(stderr, "unknown --plant %s\n", qPrintable(plant));
        return 2;
    }

    // "The internet" (the proxy that answers the connectivity check) and the
    // image server, apart, so that a misbehaving image server never fails
    // the check.
    QTemporaryDir files;
    const QString image = files.filePath("boot.wim");
    HttpTestServer web, images;
    web.setMode(Mode::HtmlPage);
    images.serveFile("/boot.wim", image);
    if (!files.isValid() || !HttpTestServer::createSparseImage(image, kImageSize) || !web.start() ||
        !images.start()) {
        std::fprintf(stderr, "fault_campaign: cannot start the servers\n");
        return 2;
    }
    const quint64 campaignSeed = parser.value("seed").toULongLong();
    QList<quint64> seeds;
    for (const QString &one : parser.value("replay").split(',', Qt::SkipEmptyParts))
        seeds << one.toULongLong();
    for (int i = 0; !parser.isSet("replay") && i < parser.value("builds").toInt(); ++i)
        seeds << runSeed(campaignSeed, i);

    const QString proxy = QString("127.0.0.1:%1").arg(web.port());
    Campaign campaign{images, image, sha256(image), proxy, plant, {}, {}, {}};
    QMap<QString, int> kinds, outcomes;
    int violating = 0;
    QElapsedTimer total;
    total.start();
    for (int i = 0; i < seeds.size(); ++i) {
        const Faults faults = draw(seeds.at(i), plant == "hang");
        std::printf("build %d/%d seed %llu: ", i + 1, int(seeds.size()),
                    static_cast<unsigned long long>(faults.seed));
        if (parser.isSet("dry")) {
            std::printf("%s\n", qPrintable(faults.describe()));
            continue;
        }
        const qint64 began = total.elapsed();
        const RunResult result = campaign.run(faults, g_verbose);
        for (const auto &drawn : faults.drawn)
            ++kinds[drawn.first];
        ++outcomes[result.outcome.section(QLatin1Char(' '), 0, 0)];
        std::printf("%s (%.1f s)%s\n", qPrintable(result.outcome),
                    (total.elapsed() - began) / 1000.0,
                    result.violations.isEmpty() ? "" : "  INVARIANT VIOLATED");
        if (!result.violations.isEmpty() || g_verbose)
            std::printf("  faults: %s\n", qPrintable(faults.describe()));
        for (const QString &v : result.violations)
            std::printf("  violation: %s\n", qPrintable(v));
        if (!result.violations.isEmpty())
            std::printf("  replay: fault_campaign --replay %llu\n",
                        static_cast<unsigned long long>(faults.seed));
        violating += result.violations.isEmpty() ? 0 : 1;
        std::fflush(stdout);
    }
    std::printf("\nsummary: %d builds, campaign seed %llu, %.0f s\n", int(seeds.size()),
                static_cast<unsigned long long>(campaignSeed), total.elapsed() / 1000.0);
    for (const auto &[title, counts] :
         {std::make_pair("faults drawn by kind", &kinds), std::make_pair("outcomes", &outcomes)}) {
        std::printf("%s:\n", title);
        for (auto it = counts->constBegin(); it != counts->constEnd(); ++it)
            std::printf("  %-32s %d\n", qPrintable(it.key()), it.value());
    }
    std::printf("invariant violations: %d\n", violating);
    return violating == 0 ? 0 : 1;
}
