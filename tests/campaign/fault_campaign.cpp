// fault_campaign: whole builds through the real window, each on a fresh
// simulated host with faults drawn from a seeded generator, and after each
// run the promises checked from outside (the disks, the host's logs, the
// windows), never from the tool's own word:
//   - "Process completed" means a drive whose every file equals its source
//     and whose image equals the served one;
//   - no disk or volume but the chosen stick changed, byte for byte;
//   - the run never stood still for long, and the window it ended in has a
//     way out that works;
//   - once the tool has ended: no work file or partial image, no stand-in
//     still running, the keep-awake request cleared.
// A run that breaks one prints its seed and faults; --replay <seed> runs it
// again exactly. --plant <fault> breaks one promise on purpose after every
// run, to show that its check can fail.
//
// Usage: fault_campaign [--builds N] [--seed S] [--replay RUNSEEDS] [--verbose]
//                       [--plant FAULT]
#include "support/HostChecks.h"
#include "support/ToolSession.h"

#include "builder/BuildCommands.h"
#include "platform/HostPlatform.h"

#include <QtTest>

#include <cstdio>
#include <random>

using namespace hostchecks;
using namespace buildpaths;
using Mode = HttpTestServer::Mode;

namespace {

bool g_verbose = false;

// A run hangs when nothing moves for this long: no new command line, no new
// request to a server, no change of the window. Judged by progress rather
// than wall time, so that a slow, loaded machine is not taken for a hang.
// The simulated host gives up a transfer that makes no progress for
// kStallWindowMs instead of a minute, well within it.
constexpr int kQuietLimitMs = 30000;
constexpr int kStallWindowMs = 3000;
// The served image: just above the smallest size the tool accepts, so that
// a lost tail shows.
constexpr qint64 kImageSize = kMinimumImageSize + 65536;
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
    int server = 0; // in kServerFaults
    bool serverFirstOnly = false;
    qint64 cutAt = 0;
    bool offline = false; // the connectivity check finds no internet
    bool tempMissing = false;
    QString lettersTaken; // volumes already on these letters
    simhost::HostSpec setup = simhost::sampleHostSpec();
    QString stickEvent;           // unplug, swap, swap-lookalike, plug-other
    int stickEventLine = 0;       // just before the tool's n-th command line
    QString userEvent;            // cancel, close
    int userEventPermille = -1;   // at this share of the image sent, or
    int userEventLine = 0;        // once the tool has run this many command lines
    bool untrustedServer = false; // the link leads to a server no host trusts
    bool workFolderLink = false;  // C:\DownloadFIle planted as a link to C:\Windows\Boot
    // A second build in the same run once the first has ended (Create again,
    // or Recreate after a failure), and what changes before it: nothing,
    // "new-version" (the server's ETag), "changed-on-disk" (the kept image).
    bool again = false;
    QString beforeAgain;
    QList<std::pair<QString, QString>> drawn;
};

Faults draw(quint64 seed, bool alwaysStall) {
    std::mt19937_64 rng(seed);
    auto chance = [&rng](int percent) { return int(rng() % 100) < percent; };
    auto upTo = [&rng](int n) { return int(rng() % quint64(n)); };
    Faults f;
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
        std::tie(f.server, f.serverFirstOnly) = std::make_pair(3, false); // stall
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
    // Drawn last, so that the draws above stay what they were for every seed.
    if ((f.untrustedServer = chance(5)))
        note("server with a certificate the host does not trust");
    if (chance(6)) {
        const QString how = chance(50) ? "replace-image" : "modify-image";
        const int line = 2 + upTo(24);
        f.setup.faults.insert("intrusion", how);
        f.setup.faults.insert("intrusionAtLine", line);
        note("another user's " + how, QString("before command %1").arg(line));
    }
    if ((f.workFolderLink = chance(4)))
        note("work folder planted as a link");
    // Half the swaps bring a stick of the chosen one's model and size.
    if (f.stickEvent == "swap" && chance(50)) {
        f.stickEvent = "swap-lookalike";
        f.setup.faults.insert("stickEvent", f.stickEvent);
        for (auto &drawn : f.drawn)
            if (drawn.first == "stick swap")
                drawn.first = "stick " + f.stickEvent;
    }
    if ((f.again = chance(30))) {
        static const char *const kChanges[] = {"nothing", "new-version", "changed-on-disk"};
        f.beforeAgain = kChanges[upTo(3)];
        note("second build", f.beforeAgain + QString(" before it"));
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
        QFile cmdline("/proc/" + pid + "/cmdline");
        if (cmdline.open(QIODevice::ReadOnly) && cmdline.peek(1 << 16).contains(root.toLocal8Bit()))
            running << QString::fromLocal8Bit(cmdline.readAll().replace('\0', ' '));
    }
    return running;
}

// The campaign's image server, image and planted fault, and the disk that
// the run at hand may erase.
struct Campaign {
    void run(const Faults &f);
    int endRun(ToolSession &session, const Faults &f, bool again = false);
    void buildAgain(ToolSession &session, const Faults &f, int *loop);
    void checkCompletedDrive(const TestHost &host);
    void checkAfterTool(ToolSession &session, const HostSnapshot &before);

    E2eServer &m_servers;
    const QString m_plant;
    HttpTestServer &m_images = m_servers.https();
    // The run's end (completed, failed, notice, not-started, left, idle,
    // hang) and the promises it broke, empty until the first run.
    QString outcome{};
    QStringList violations{};
};

// Runs the build inside the application's loop, as in the running tool, so
// that a way out that quits the tool ends the loop. Returns the loop's end:
// 0 the tool quit, 1 the run ended, 2 no progress any more, 3 not started.
int Campaign::endRun(ToolSession &session, const Faults &f, bool again) {
    QCreateBootable *w = session.window();
    // A loop of its own: the tool's quit (QCoreApplication::exit) ends it
    // too, but its end is not the application's, which would make the tool
    // drop the image it keeps for the next build.
    QEventLoop runLoop;
    QString progress;
    QElapsedTimer quiet;
    quiet.start();
    bool started = false, userActed = false, userRefused = false;
    QTimer::singleShot(0, [&] {
        started = again && session.failureShown()
                      ? ToolSession::press(session.info()->RecreateButton)
                      : session.startBuild();
        if (!started)
            runLoop.exit(3); // nothing to build on: no drive listed
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
    if (f.userEventPermille >= 0 && !again)
        m_images.setTrigger(kImageSize * f.userEventPermille / 1000, userActs);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!started)
            return;
        if (f.userEventLine > 0 && !again && session.host().commands().size() >= f.userEventLine)
            userActs();
        // Idle again (a build the user stopped): Create Recovery Drive is
        // back, enabled when a drive is listed.
        if (session.buildEnded() || (session.warning() && session.warning()->isVisible()) ||
            (w->CancelButton->isEnabled() && w->CreateBootable->isVisible()))
            runLoop.exit(1);
    });
    poll.start(10);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QString now = QStringLiteral("%1 %2 %3 %4 %5")
                                .arg(session.host().commands().size())
                                .arg(m_images.requestTargets().size())
                                .arg(w->progressBar->value())
                                .arg(w->label_2->text(), session.describe());
        if (now != progress) {
            progress = now;
            quiet.restart();
        } else if (quiet.hasExpired(kQuietLimitMs)) {
            runLoop.exit(2);
        }
    });
    watch.start(250);
    const int loop = runLoop.exec();
    m_images.setTrigger(0, nullptr);
    const QString kLoopEnds[] = {"left", "", "hang", "not-started"};
    outcome = loop != 1                                             ? kLoopEnds[loop]
              : session.buildCompleted()                            ? "completed"
              : session.failureShown()                              ? "failed"
              : session.warning() && session.warning()->isVisible() ? "notice"
                                                                    : "idle";
    if (loop == 2)
        violations << "no progress for " + QString::number(kQuietLimitMs / 1000) + " s: \"" +
                          w->label_2->text() + "\", " + session.describe();
    if (userActed)
        outcome += userRefused ? " (cancel refused)" : " (after user)";
    return loop;
}

void Campaign::run(const Faults &f) {
    outcome.clear();
    violations.clear();
    // A tool that quit in the last run leaves the application quitting, and
    // a run's loop would end at once: the application's own loop, begun and
    // ended here before this run's window exists, starts it afresh.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    const Mode mode = kServerFaults[f.server].second;
    m_images.setMode(f.serverFirstOnly ? Mode::Serve : mode);
    m_images.failNextRequests(f.serverFirstOnly ? 1 : 0, mode);
    m_images.setCut(f.cutAt);
    ToolSession session(f.setup,
                        (f.untrustedServer ? m_servers.untrusted() : m_images).url("/boot.wim"),
                        f.offline ? E2eServer::deadProxy() : m_servers.proxy());
    TestHost &host = session.host();
    simhost::setHostSetting(host.root(), "network/stallWindowMs",
                            m_plant == "hang" ? 600000 : kStallWindowMs);
    for (const QChar letter : f.lettersTaken) // someone else's volumes: they must stay as they are
        host.write(QString(letter) + ":\\data.txt", "someone else's volume\n");
    if (f.tempMissing)
        QDir(host.local(session.temp())).removeRecursively();
    if (f.workFolderLink) // if followed, the Windows boot files would go
        QFile::link(host.local("C:\\Windows\\Boot"), host.local("C:\\DownloadFIle"));
    const HostSnapshot before = session.snapshot("disk1");
    if (!host.isValid() || !session.open())
        return void(violations << "the window did not open on the host " + host.error());
    int loop = endRun(session, f);

    // A stick swapped in at diskpart's start, or while diskpart holds the
    // disk it selected, is someone else's like any other: never erased.
    const QList<simhost::LoggedCommand> commands = host.commands();
    const int at = f.stickEventLine - 1;
    if (f.stickEvent.startsWith("swap") && at >= 1 && at < commands.size() &&
        (commands.at(at).line.endsWith("\\diskpart.exe") ||
         commands.at(at - 1).line.endsWith("\\diskpart.exe")))
        outcome += " (swapped at the format)";
    if (outcome.startsWith("completed"))
        checkCompletedDrive(host);
    buildAgain(session, f, &loop);
    if (m_plant == "write-other-disk") // as a write gone astray would leave it
        host.write("C:\\Windows\\stray.txt", "x");
    if (m_plant == "stray-stand-in") // a process of this host that outlives the tool
        QProcess::startDetached("sh", {"-c", "sleep 8", host.root()});

    // The way out from where the run ended; the tool must then end.
    if (loop == 2) {
        // Let the stuck run end so that the next one starts clean: every
        // download from now on fails at once.
        m_images.setMode(Mode::NotFound);
        m_images.dropConnections();
        if (!QTest::qWaitFor([&] { return session.buildEnded(); }, kQuietLimitMs))
            violations << "still no end once the server gave up";
    } else if (loop != 0) {
        QAbstractButton *out = outcome.startsWith("failed") ? session.info()->CancelButton
                                                            : session.window()->CancelButton;
        if (outcome.startsWith("notice") && !ToolSession::press(session.warning()->CancelButton))
            violations << "dead end: the notice's OK cannot be pressed";
        if (const int left = ToolSession::leaveWith(out))
            violations << QString("dead end: the way out from \"%1\" %2")
                              .arg(outcome, left < 0 ? QString("cannot be pressed")
                                                     : QString("did not end the tool"));
    }
    m_images.dropConnections();
    // After the tool's end: until then the image may be the one it keeps.
    if (m_plant == "leave-work-file") // as a stopped download leaves it
        host.write(kDownloadedImage, "boot image marker");
    checkAfterTool(session, before);
    for (const simhost::LoggedCommand &c : g_verbose ? commands : commands.mid(0, 0))
        std::printf("    %lld  %s\n", c.exitCode, qPrintable(c.line));
}

// The next stick, or the same again, from where the first build ended; its
// drive is checked as the first's. Outcome and loop are the second build's.
void Campaign::buildAgain(ToolSession &session, const Faults &f, int *loop) {
    if (!f.again || *loop != 1 ||
        !(outcome.startsWith("completed") || outcome.startsWith("failed") ||
          outcome.startsWith("idle")))
        return;
    if (f.beforeAgain == "new-version")
        m_images.changeVersion();
    QFile kept(session.host().local(kDownloadedImage));
    if (f.beforeAgain == "changed-on-disk" && kept.open(QIODevice::ReadWrite))
        kept.write("someone else's image"); // in place: same file, same size
    kept.close();
    const QString first = outcome.section(' ', 0, 0);
    m_images.setMode(Mode::Serve);
    const int downloads = m_images.requestTargets().size();
    *loop = endRun(session, f, true);
    if (outcome.startsWith("completed"))
        checkCompletedDrive(session.host());
    outcome += " (second build, after " + first +
               (m_images.requestTargets().size() == downloads ? ", image kept)" : ")");
}

void Campaign::checkCompletedDrive(const TestHost &host) {
    // Taken out after the build checked it, the stick may still be complete.
    QString folder = host.root() + "/disks/disk1";
    if (!QFileInfo::exists(folder))
        folder = host.root() + "/unplugged/disk1";
    if (m_plant == "cut-boot-file") // cut short, as a write error leaves it
        QFile::resize(folder + "/volume/bootmgr", 22);
    for (const QString &fault : driveFaults(host, folder + "/volume", m_servers.goodImageHash()))
        violations << "completed, but the drive " + fault;
}

void Campaign::checkAfterTool(ToolSession &session, const HostSnapshot &before) {
    // Once the tool has ended: give its last commands a moment, then nothing
    // of it may be left running or lying about.
    const TestHost &host = session.host();
    QStringList running;
    if (!QTest::qWaitFor([&] { return (running = standInsRunning(host.root())).isEmpty(); }, 5000))
        for (const QString &p : running)
            violations << "stand-in still running: " + p;
    // The work folders may stay as empty folders, the temporary folder the
    // support log and the last listing; no partial image anywhere on C:.
    const QString temp = host.local(session.temp());
    for (QDirIterator all(host.local("C:\\"), QDir::Files | QDir::Hidden | QDir::System,
                          QDirIterator::Subdirectories);
         all.hasNext();) {
        const QString path = all.next();
        const qint64 size = all.fileInfo().size();
        if (path.startsWith(host.local(kDownloadFolder) + '/', Qt::CaseInsensitive) ||
            path.startsWith(host.local(kMountFolder) + '/', Qt::CaseInsensitive) ||
            size > (8 << 20) ||
            (path.startsWith(temp) &&
             (path.endsWith(".bat", Qt::CaseInsensitive) || size > (1 << 20))))
            violations << "work file left: " + path.mid(host.root().size()) + " (" +
                              QString::number(size) + " bytes)";
    }
    if (m_plant == "keep-awake") // a request made after the tool cleared its own
        hostplatform::setKeepAwake(true);
    if (!keepAwakeCleared(host))
        violations << "keep-awake still requested: " + hostLog(host, "power.log").last();
    if (m_plant == "keep-awake") // cleared again, or the session would wait for it
        hostplatform::setKeepAwake(false);

    // Sticks plugged in during the build (by the stand-ins' stick event) are
    // someone else's, whatever number they took: as plugged in, a
    // description and one note, and so they must stay. Everything else must
    // be as before the build.
    QStringList plugged;
    for (const QString id : {"disk2", "disk7"}) {
        const QString folder = host.root() + "/disks/" + id;
        if (!QFileInfo::exists(folder))
            continue;
        plugged << "disks/" + id << (id == "disk2" ? "drives/E" : "-");
        if (!stickAsPluggedIn(host, id))
            violations << "the stick plugged in during the build (" + id + ") was changed";
    }
    for (const QString &d : before.differencesTo(session.snapshot("disk1")))
        if (std::none_of(plugged.begin(), plugged.end(),
                         [&](const QString &p) { return d.startsWith("new: " + p); }))
            violations << "another disk or volume changed: " + d;
}

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
    });
    parser.process(app);
    g_verbose = parser.isSet("verbose");
    const QString plant = parser.value("plant");

    // "The internet" (the proxy that answers the connectivity check) apart
    // from the image server, so that a misbehaving image server never fails
    // the check.
    E2eServer servers;
    if ((!plant.isEmpty() && !kPlants.contains(plant)) || !servers.start(kImageSize)) {
        std::fprintf(stderr, "fault_campaign: unknown --plant, or the servers did not start\n");
        return 2;
    }
    const quint64 campaignSeed = parser.value("seed").toULongLong();
    QList<quint64> seeds;
    for (const QString &one : parser.value("replay").split(',', Qt::SkipEmptyParts))
        seeds << one.toULongLong();
    for (int i = 0; !parser.isSet("replay") && i < parser.value("builds").toInt(); ++i)
        seeds << runSeed(campaignSeed, i);

    Campaign campaign{servers, plant};
    QMap<QString, int> counts; // "fault <kind>", "outcome <end>"
    int violating = 0;
    QElapsedTimer total;
    total.start();
    for (int i = 0; i < seeds.size(); ++i) {
        const Faults faults = draw(seeds.at(i), plant == "hang");
        std::printf("build %d/%d seed %llu: ", i + 1, int(seeds.size()), seeds.at(i));
        campaign.run(faults);
        QStringList drawn;
        for (const auto &[kind, detail] : faults.drawn) {
            drawn << (kind + ' ' + detail).trimmed();
            ++counts["fault " + kind];
        }
        ++counts["outcome " + campaign.outcome.section(' ', 0, 0)];
        violating += campaign.violations.isEmpty() ? 0 : 1;
        std::printf("%s%s\n", qPrintable(campaign.outcome),
                    campaign.violations.isEmpty() ? "" : "  INVARIANT VIOLATED");
        if (!campaign.violations.isEmpty() || g_verbose)
            std::printf("  faults: %s\n", qPrintable(drawn.join(", ")));
        for (const QString &v : campaign.violations)
            std::printf("  violation: %s\n", qPrintable(v));
        std::fflush(stdout);
    }
    std::printf("\nsummary: %d builds, campaign seed %llu, %.0f s\n", int(seeds.size()),
                campaignSeed, total.elapsed() / 1000.0);
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it)
        std::printf("  %-40s %d\n", qPrintable(it.key()), it.value());
    std::printf("invariant violations: %d\n", violating);
    return violating == 0 ? 0 : 1;
}
