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
// again exactly.
//
// Usage: fault_campaign [--builds N] [--seed S] [--replay RUNSEED] [--verbose]
#include "CampaignServer.h"

#include "support/HostSnapshot.h"
#include "support/ToolSession.h"
#include "support/HostChecks.h"

#include "builder/BuildCommands.h"
#include "platform/HostPlatform.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <random>

using namespace hostchecks;
using namespace buildpaths;
using Behaviour = CampaignServer::Behaviour;

namespace {

// Every run must end (completed, failure shown, notice shown, or the user
// gone) within this. The simulated host judges a transfer's progress over
// kStallWindowMs instead of a minute, so a stalled or trickling server is
// given up within two such windows.
constexpr int kRunBoundMs = 60000;
constexpr int kStallWindowMs = 3000;
const QString kProductModel = QStringLiteral("Generic Flash Disk USB Device");

// Planted faults, to show that each check can fail.
enum class Plant {
    None,
    CutBootFile,
    WriteOtherDisk,
    Hang,
    LeaveWorkFile,
    StrayStandIn,
    KeepAwake
};

struct ToolFailure {
    QString program;
    int run;
    int kind;
};

// Everything drawn for one run; printed with a violation.
struct Faults {
    quint64 seed = 0;
    Behaviour server = Behaviour::Serve;
    bool serverFirstOnly = false;
    qint64 cutAt = 0;
    bool offline = false; // the connectivity check finds no internet
    QList<ToolFailure> toolFailures;
    QString xcopyWriteErrorFor; // a copy cut short by a write error
    bool noWmic = false;
    bool tempWithBlanks = false;
    bool tempMissing = false;
    QString lettersTaken;       // volumes already on these letters
    qint64 stickSize = 0;       // 0: the sample stick
    QString stickEvent;         // unplug, swap, plug-other
    int stickEventLine = 0;     // just before the tool's n-th command line
    QString userEvent;          // cancel, close
    int userEventPermille = -1; // at this share of the image sent, or
    int userEventLine = 0;      // once the tool has run this many command lines

    QStringList describe() const {
        QStringList out;
        out << QStringLiteral("server=%1%2%3")
                   .arg(QLatin1String(CampaignServer::name(server)),
                        serverFirstOnly ? QStringLiteral("(first request only)") : QString(),
                        server == Behaviour::CloseEarly ? QStringLiteral("@%1").arg(cutAt)
                                                        : QString());
        if (offline)
            out << QStringLiteral("offline");
        for (const ToolFailure &f : toolFailures)
            out << QStringLiteral("tool-fails=%1 run %2 kind %3")
                       .arg(f.program)
                       .arg(f.run)
                       .arg(f.kind);
        if (!xcopyWriteErrorFor.isEmpty())
            out << QStringLiteral("xcopy-write-error=%1").arg(xcopyWriteErrorFor);
        if (noWmic)
            out << QStringLiteral("host-without-wmic");
        if (tempWithBlanks)
            out << QStringLiteral("temp-with-blanks");
        if (tempMissing)
            out << QStringLiteral("temp-missing");
        if (!lettersTaken.isEmpty())
            out << QStringLiteral("letters-taken=") + lettersTaken;
        if (stickSize)
            out << QStringLiteral("stick-size=%1").arg(stickSize);
        if (!stickEvent.isEmpty())
            out << QStringLiteral("stick-%1 before command %2").arg(stickEvent).arg(stickEventLine);
        if (!userEvent.isEmpty())
            out << (userEventPermille >= 0
                        ? QStringLiteral("user-%1 at %2 permille of the image sent")
                              .arg(userEvent)
                              .arg(userEventPermille)
                        : QStringLiteral("user-%1 after command %2")
                              .arg(userEvent)
                              .arg(userEventLine));
        return out;
    }
    // The kinds counted in the summary.
    QStringList kinds() const {
        QStringList out;
        if (server != Behaviour::Serve)
            out << QStringLiteral("server ") + QLatin1String(CampaignServer::name(server));
        if (offline)
            out << QStringLiteral("offline");
        for (const ToolFailure &f : toolFailures)
            out << QStringLiteral("tool fails: ") + f.program;
        if (!xcopyWriteErrorFor.isEmpty())
            out << QStringLiteral("copy cut by a write error");
        if (noWmic)
            out << QStringLiteral("host without WMIC");
        if (tempWithBlanks)
            out << QStringLiteral("temp folder with blanks");
        if (tempMissing)
            out << QStringLiteral("temp folder missing");
        if (!lettersTaken.isEmpty())
            out << (lettersTaken.size() == 9 ? QStringLiteral("letters R-Z all taken")
                                             : QStringLiteral("some letters taken"));
        if (stickSize)
            out << (stickSize < kMinimumImageSize ? QStringLiteral("stick too small")
                                                  : QStringLiteral("stick over 32 GiB"));
        if (!stickEvent.isEmpty())
            out << QStringLiteral("stick ") + stickEvent;
        if (!userEvent.isEmpty())
            out << QStringLiteral("user ") + userEvent;
        return out;
    }
};

// The programs the build runs, with how many times a build may start each.
struct ProgramRuns {
    const char *program;
    int maxRun;
    int kinds;
};
const ProgramRuns kPrograms[] = {
    {"WMIC.exe", 3, 3}, {"powershell.exe", 3, 1}, {"diskpart.exe", 2, 4},
    {"dism.exe", 2, 3}, {"Xcopy.exe", 14, 6},     {"bitsadmin.exe", 1, 2},
};

// Destinations of the build's copies, as its command lines name them.
const char *const kCopyTargets[] = {"R:\\", "R:\\boot\\", "R:\\efi\\boot\\bootx64.efi*",
                                    "R:\\sources\\boot.wim*", "R:\\efi\\microsoft\\boot\\"};

Faults draw(quint64 seed) {
    std::mt19937_64 rng(seed);
    auto chance = [&rng](int percent) { return int(rng() % 100) < percent; };
    auto upTo = [&rng](int n) { return int(rng() % quint64(n)); };
    Faults f;
    f.seed = seed;
    static const Behaviour kBad[] = {
        Behaviour::NotFound, Behaviour::ServerError, Behaviour::Stall,
        Behaviour::Trickle,  Behaviour::CloseEarly,  Behaviour::LongerThanSent,
        Behaviour::HtmlPage, Behaviour::ShortImage,
    };
    if (chance(35)) {
        f.server = kBad[upTo(int(std::size(kBad)))];
        f.serverFirstOnly = chance(40);
        f.cutAt = 1 + qint64(rng() % quint64(kMinimumImageSize));
    }
    f.offline = chance(4);
    if (chance(45)) {
        const int count = 1 + upTo(2);
        for (int i = 0; i < count; ++i) {
            const ProgramRuns &p = kPrograms[upTo(int(std::size(kPrograms)))];
            f.toolFailures.append({QLatin1String(p.program), 1 + upTo(p.maxRun), upTo(p.kinds)});
        }
    }
    if (chance(15))
        f.xcopyWriteErrorFor = QLatin1String(kCopyTargets[upTo(int(std::size(kCopyTargets)))]);
    f.noWmic = chance(20);
    f.tempWithBlanks = chance(20);
    f.tempMissing = chance(5);
    if (chance(15)) {
        const QString all = QStringLiteral("RSTUVWXYZ");
        f.lettersTaken = chance(25) ? all : all.left(1 + upTo(8));
    }
    if (chance(8))
        f.stickSize = chance(60) ? 128LL << 20 : 64LL << 30;
    if (chance(25)) {
        static const char *const kEvents[] = {"unplug", "swap", "plug-other"};
        f.stickEvent = QLatin1String(kEvents[upTo(3)]);
        // Line 1 is the window's own listing; a build runs about 25.
        f.stickEventLine = 2 + upTo(24);
    }
    if (chance(20)) {
        f.userEvent = chance(50) ? QStringLiteral("cancel") : QStringLiteral("close");
        if (chance(65))
            f.userEventPermille = upTo(1000);
        else
            f.userEventLine = 2 + upTo(24);
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

struct RunResult {
    QString outcome; // completed, failed, notice, not-started, left, idle, hang
    QStringList violations;
};

// Every file of a finished recovery drive and the host file it must equal.
QMap<QString, QString> expectedSources(const TestHost &host) {
    QMap<QString, QString> map = {
        {"bootmgr", "C:\\Windows\\Boot\\PCAT\\bootmgr"},
        {"bootmgr.efi", "C:\\Windows\\Boot\\EFI\\bootmgr.efi"},
        {"boot/bcd", "C:\\Windows\\Boot\\DVD\\PCAT\\BCD"},
        {"boot/boot.sdi", "C:\\Windows\\Boot\\DVD\\PCAT\\boot.sdi"},
        {"boot/resources/bootres.dll", "C:\\Windows\\Boot\\Resources\\bootres.dll"},
        {"efi/boot/bootmgfw.efi", "C:\\Windows\\Boot\\EFI\\bootmgfw.efi"},
        {"efi/boot/bootx64.efi", "C:\\Windows\\Boot\\EFI\\bootmgfw.efi"},
        {"efi/microsoft/boot/bcd", "C:\\Windows\\Boot\\DVD\\EFI\\BCD"},
        {"efi/microsoft/boot/resources/bootres.dll", "C:\\Windows\\Boot\\Resources\\bootres.dll"},
    };
    for (const QString &font : filesUnder(host.local(QStringLiteral("C:\\Windows\\Boot\\Fonts")))) {
        map.insert(QStringLiteral("boot/fonts/") + font,
                   QStringLiteral("C:\\Windows\\Boot\\Fonts\\") + font);
        map.insert(QStringLiteral("efi/microsoft/boot/fonts/") + font,
                   QStringLiteral("C:\\Windows\\Boot\\Fonts\\") + font);
    }
    return map;
}

// The case-insensitive local file of a relative path under a volume folder.
QString findUnder(const QString &volume, const QString &relative) {
    QString at = volume;
    for (const QString &part : relative.split(QLatin1Char('/'))) {
        const QStringList names = QDir(at).entryList(QDir::AllEntries | QDir::Hidden |
                                                     QDir::System | QDir::NoDotAndDotDot);
        QString found;
        for (const QString &n : names) {
            if (n.compare(part, Qt::CaseInsensitive) == 0)
                found = n;
        }
        if (found.isEmpty())
            return QString();
        at += QLatin1Char('/') + found;
    }
    return at;
}

// Stand-in processes still running for this host root.
QStringList standInsRunning(const QString &root) {
    QStringList running;
    const QByteArray needle = QFile::encodeName(root);
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        if (pid.toInt() <= 0 || pid.toInt() == QCoreApplication::applicationPid())
            continue;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = cmdline.readAll();
        if (text.contains(needle))
            running.append(QString::fromLocal8Bit(QByteArray(text).replace('\0', ' ')));
    }
    return running;
}

class Campaign {
public:
    Campaign(CampaignServer &server, Plant plant, bool verbose)
        : m_server(server), m_plant(plant), m_verbose(verbose) {}
    RunResult run(const Faults &f);

private:
    simhost::HostSpec hostSpec(const Faults &f) const;
    void checkOtherDisks(ToolSession &session, RunResult &r);
    void checkCompletedDrive(ToolSession &session, RunResult &r);
    bool swappedAtTheFormat(const TestHost &host, const Faults &f) const;
    void checkWorkFiles(ToolSession &session, RunResult &r);

    CampaignServer &m_server;
    Plant m_plant;
    bool m_verbose;
    // What the build must leave alone, and what changed in it so far.
    HostSnapshot m_baseline;
    QString m_chosenDisk;
    // The stick in the chosen slot when the format began.
    QString m_erasedDisk;
    QStringList m_work;
};

simhost::HostSpec Campaign::hostSpec(const Faults &f) const {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.hasWmic = !f.noWmic;
    if (f.tempWithBlanks)
        setup.tempDirectory = QStringLiteral("C:\\Users\\Ann Marie Smith\\AppData\\Local\\Temp\\");
    for (simhost::DiskSpec &disk : setup.disks) {
        if (disk.id == QLatin1String("disk1") && f.stickSize)
            disk.size = f.stickSize;
    }
    QStringList failures;
    for (const ToolFailure &t : f.toolFailures)
        failures << QStringLiteral("%1:%2:%3").arg(t.program).arg(t.run).arg(t.kind);
    if (!failures.isEmpty())
        setup.faults.insert(QStringLiteral("toolFailures"), failures.join(QLatin1Char(',')));
    if (!f.xcopyWriteErrorFor.isEmpty())
        setup.faults.insert(QStringLiteral("xcopyWriteErrorFor"), f.xcopyWriteErrorFor);
    if (!f.stickEvent.isEmpty()) {
        setup.faults.insert(QStringLiteral("stickEvent"), f.stickEvent);
        setup.faults.insert(QStringLiteral("stickEventAtLine"), f.stickEventLine);
    }
    return setup;
}

// Sticks plugged in during the build (by the stand-ins' stick event) are
// someone else's: as plugged in, a description and one note, and so they
// must stay. Everything else must be as before the build.
void Campaign::checkOtherDisks(ToolSession &session, RunResult &r) {
    const QString root = session.host().root();
    const HostSnapshot after = HostSnapshot::take(session.host(), m_chosenDisk, m_work);
    QStringList plugged;
    for (const char *id : {"disk2", "disk7"}) {
        if (m_erasedDisk == QLatin1String(id)) {
            plugged << QStringLiteral("disks/") + QLatin1String(id) << QStringLiteral("drives/R");
            continue;
        }
        const QString folder = root + QStringLiteral("/disks/") + QLatin1String(id);
        if (!QFileInfo::exists(folder))
            continue;
        plugged << QStringLiteral("disks/") + QLatin1String(id);
        const QSettings ini(folder + QStringLiteral("/disk.ini"), QSettings::IniFormat);
        QStringList keys = ini.allKeys();
        keys.sort();
        const QStringList asPlugged = {"disk/fileSystem", "disk/mediaType",  "disk/model",
                                       "disk/number",     "disk/partitions", "disk/size"};
        if (keys != asPlugged || ini.value("disk/fileSystem").toString() != "FAT32" ||
            ini.value("disk/partitions").toInt() != 1)
            r.violations << QStringLiteral("the stick plugged in during the build (%1) was "
                                           "repartitioned or reformatted")
                                .arg(QLatin1String(id));
        const QSet<QString> files = filesUnder(folder + QStringLiteral("/volume"));
        QFile note(folder + QStringLiteral("/volume/notes.txt"));
        if (files != QSet<QString>{QStringLiteral("notes.txt")} ||
            !note.open(QIODevice::ReadOnly) || note.readAll() != "shopping list\n")
            r.violations << QStringLiteral("the stick plugged in during the build (%1) changed: "
                                           "it holds %2")
                                .arg(QLatin1String(id), QStringList(files.values()).join(", "));
    }
    if (plugged.contains(QLatin1String("disks/disk2")))
        plugged << QStringLiteral("drives/E");
    for (const QString &d : m_baseline.differencesTo(after)) {
        bool expected = false;
        for (const QString &p : plugged)
            expected = expected || d.startsWith(QStringLiteral("new: ") + p);
        if (!expected)
            r.violations << QStringLiteral("another disk or volume changed: ") + d;
    }
}

// A stick swapped in the very instant between the tool's last check of the
// disk and diskpart's start takes the chosen disk's number and is the one
// erased: no tool that formats through diskpart can tell, as diskpart selects
// a disk by its number only. Such a stick is held to what the chosen one is.
bool Campaign::swappedAtTheFormat(const TestHost &host, const Faults &f) const {
    if (f.stickEvent != QLatin1String("swap"))
        return false;
    const QList<simhost::LoggedCommand> commands = host.commands();
    const int at = f.stickEventLine - 1;
    return at >= 1 && at < commands.size() &&
           commands.at(at).line.contains(QLatin1String("diskpart.exe")) &&
           commands.at(at - 1).line.contains(QLatin1String("Removable Media"));
}

void Campaign::checkCompletedDrive(ToolSession &session, RunResult &r) {
    const TestHost &host = session.host();
    // Taken out after the build checked it, the stick may still be complete.
    QString folder = host.root() + QStringLiteral("/disks/") + m_erasedDisk;
    if (!QFileInfo::exists(folder))
        folder = host.root() + QStringLiteral("/unplugged/disk1");
    const QSettings disk(folder + QStringLiteral("/disk.ini"), QSettings::IniFormat);
    if (m_erasedDisk == QLatin1String("disk1") &&
        disk.value(QStringLiteral("disk/model")).toString() != kProductModel) {
        r.violations << QStringLiteral("completed on a stick that is not the one chosen (%1)")
                            .arg(disk.value(QStringLiteral("disk/model")).toString());
        return;
    }
    const QString volume = folder + QStringLiteral("/volume");
    QSet<QString> expected = recoveryDriveLayout(host);
    const QSet<QString> present = filesUnder(volume);
    for (const QString &missing : expected - present)
        r.violations << QStringLiteral("completed, but the drive lacks %1").arg(missing);
    for (const QString &extra : present - expected)
        r.violations << QStringLiteral("completed, but the drive holds a stray %1").arg(extra);
    const QMap<QString, QString> sources = expectedSources(host);
    for (auto it = sources.constBegin(); it != sources.constEnd(); ++it) {
        const QString onDrive = findUnder(volume, it.key());
        if (!onDrive.isEmpty() && sha256(onDrive) != sha256(host.local(it.value())))
            r.violations << QStringLiteral("completed, but %1 differs from %2 (%3 of %4 bytes)")
                                .arg(it.key(), it.value())
                                .arg(QFileInfo(onDrive).size())
                                .arg(QFileInfo(host.local(it.value())).size());
    }
    const QString image = findUnder(volume, QStringLiteral("sources/boot.wim"));
    if (!image.isEmpty() && sha256(image) != m_server.imageHash())
        r.violations << QStringLiteral("completed, but the image on the drive (%1 bytes) is not "
                                       "the served one")
                            .arg(QFileInfo(image).size());
}

void Campaign::checkWorkFiles(ToolSession &session, RunResult &r) {
    const TestHost &host = session.host();
    // The work folders may stay as empty folders; no file in them may.
    for (const char *folder : {kDownloadFolder, kMountFolder}) {
        for (const QString &file : filesUnder(host.local(QLatin1String(folder))))
            r.violations
                << QStringLiteral("work file left: %1\\%2").arg(QLatin1String(folder), file);
    }
    // In the temporary folder only the support log and the last listing may stay.
    const QString temp = host.local(session.temp());
    QDirIterator it(temp, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (name.endsWith(QLatin1String(".bat"), Qt::CaseInsensitive) ||
            it.fileInfo().size() > (1 << 20))
            r.violations << QStringLiteral("work file left in the temporary folder: %1 (%2 bytes)")
                                .arg(name)
                                .arg(it.fileInfo().size());
    }
    // No partial image anywhere on the system drive.
    QDirIterator all(host.local(QStringLiteral("C:\\")), QDir::Files | QDir::Hidden | QDir::System,
                     QDirIterator::Subdirectories);
    while (all.hasNext()) {
        all.next();
        if (all.fileInfo().size() > (8 << 20))
            r.violations << QStringLiteral("large file left on C: %1 (%2 bytes)")
                                .arg(all.filePath().mid(host.root().size()))
                                .arg(all.fileInfo().size());
    }
}

RunResult Campaign::run(const Faults &f) {
    RunResult r;
    m_server.setBehaviour(f.server, f.serverFirstOnly, f.cutAt, 400);
    const QString proxy = f.offline ? E2eServer::deadProxy() : m_server.proxy();
    ToolSession session(hostSpec(f), m_server.imageLink(), proxy);
    if (!session.host().isValid()) {
        r.violations << QStringLiteral("campaign: no host: ") + session.host().error();
        return r;
    }
    TestHost &host = session.host();
    simhost::setHostSetting(host.root(), QStringLiteral("network/stallWindowMs"),
                            m_plant == Plant::Hang ? 600000 : kStallWindowMs);
    for (const QChar letter : f.lettersTaken) {
        // Someone else's volumes: they must stay as they are.
        QDir().mkpath(host.root() + QStringLiteral("/drives/") + letter);
        QFile note(host.root() + QStringLiteral("/drives/") + letter + QStringLiteral("/data.txt"));
        if (note.open(QIODevice::WriteOnly))
            note.write("someone else's volume " + QString(letter).toLatin1() + "\n");
    }
    if (f.tempMissing)
        QDir(host.local(session.temp())).removeRecursively();

    m_work =
        QStringList{session.temp(), QLatin1String(kDownloadFolder), QLatin1String(kMountFolder)};
    // With the swap before the re-check, the stick in the slot is a stranger
    // from then on: no disk at all may change.
    m_chosenDisk = QStringLiteral("disk1");
    m_erasedDisk = QStringLiteral("disk1");
    m_baseline = HostSnapshot::take(host, m_chosenDisk, m_work);

    if (!session.open()) {
        r.violations << QStringLiteral("the window did not open");
        return r;
    }
    QCreateBootable *w = session.window();
    QElapsedTimer clock;
    clock.start();
    bool started = false;
    bool userActed = false;
    bool userRefused = false;

    // Everything happens inside the application's loop, as in the running
    // tool, so that a way out that quits the tool ends the loop.
    QTimer::singleShot(0, [&] {
        started = session.startBuild();
        if (!started)
            QCoreApplication::exit(3); // nothing to build on: no drive listed
    });
    auto userActs = [&] {
        if (userActed || !started || session.buildEnded())
            return;
        userActed = true;
        if (f.userEvent == QLatin1String("cancel"))
            userRefused = !ToolSession::press(w->CancelButton);
        else
            w->close(); // the window system's close (Alt+F4, the task bar)
    };
    if (!f.userEvent.isEmpty() && f.userEventPermille >= 0)
        m_server.setTrigger(m_server.imageSize() * f.userEventPermille / 1000, userActs);
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!started)
            return;
        if (!f.userEvent.isEmpty() && f.userEventLine > 0 &&
            host.commands().size() >= f.userEventLine)
            userActs();
        const WarningClass *warning = session.warning();
        // Idle again (a build the user stopped): Create Recovery Drive is
        // back, enabled when a drive is listed.
        if (session.buildEnded() || (warning && warning->isVisible()) ||
            (w->CancelButton->isEnabled() && w->CreateBootable->isVisible()))
            QCoreApplication::exit(1);
        else if (clock.elapsed() > kRunBoundMs)
            QCoreApplication::exit(2);
    });
    poll.start();
    const int loop = QCoreApplication::exec();
    poll.stop();

    const WarningClass *warning = session.warning();
    if (loop == 0) {
        r.outcome = QStringLiteral("left");
    } else if (loop == 3) {
        r.outcome = QStringLiteral("not-started");
    } else if (loop == 2) {
        r.outcome = QStringLiteral("hang");
        r.violations << QStringLiteral("no end within %1 s: \"%2\" at %3%, Cancel %4, close %5")
                            .arg(kRunBoundMs / 1000)
                            .arg(w->label_2->text())
                            .arg(w->progressBar->value())
                            .arg(w->CancelButton->isEnabled() ? "enabled" : "disabled")
                            .arg(session.titleCloseButton()->isEnabled() ? "enabled" : "disabled");
    } else if (session.buildCompleted()) {
        r.outcome = QStringLiteral("completed");
    } else if (session.failureShown()) {
        r.outcome = QStringLiteral("failed");
    } else if (warning && warning->isVisible()) {
        r.outcome = QStringLiteral("notice");
    } else {
        r.outcome = QStringLiteral("idle");
    }
    if (userActed)
        r.outcome +=
            userRefused ? QStringLiteral(" (cancel refused)") : QStringLiteral(" (after user)");
    // Nothing is written while the image downloads: there, Cancel and the
    // window system's close must stop the build and bring the window back.
    const bool duringDownload = userActed && f.userEventPermille >= 0;
    const bool cancelTaken = userActed && f.userEvent == QLatin1String("cancel") && !userRefused;
    if ((duringDownload || cancelTaken) && loop != 2 &&
        !r.outcome.startsWith(QLatin1String("idle")))
        r.violations << QStringLiteral("the user's %1 %2 did not stop the build: it ended %3")
                            .arg(f.userEvent,
                                 duringDownload ? QStringLiteral("during the download")
                                                : QStringLiteral("(pressed)"),
                                 r.outcome);

    if (swappedAtTheFormat(host, f)) {
        m_erasedDisk = QStringLiteral("disk7");
        r.outcome += QStringLiteral(" (swapped at the format)");
    }
    if (r.outcome.startsWith(QLatin1String("completed"))) {
        if (m_plant == Plant::CutBootFile) // a boot file cut short, as a write error leaves it
            QFile::resize(findUnder(volumeOf(host, QStringLiteral("disk1")), "bootmgr"), 22);
        checkCompletedDrive(session, r);
    }
    if (m_plant == Plant::WriteOtherDisk) {
        // One byte more on the system disk, as a write gone astray would leave.
        QFile other(volumeOf(host, QStringLiteral("disk0")) + QStringLiteral("/SYSTEM-DISK.txt"));
        if (other.open(QIODevice::Append))
            other.write("x");
    }
    if (m_plant == Plant::LeaveWorkFile) {
        QDir().mkpath(host.local(QLatin1String(kDownloadFolder)));
        QFile::copy(m_server.imageFile(), host.local(QLatin1String(kDownloadedImage)));
    }

    if (m_plant == Plant::StrayStandIn) // a process of this host that outlives the tool
        QProcess::startDetached(QStringLiteral("sh"),
                                {QStringLiteral("-c"), QStringLiteral("sleep 8"), host.root()});

    // The way out from where the run ended; the tool must then end.
    if (loop == 2) {
        // Let the stuck run end so that the next one starts clean: every
        // download from now on fails at once.
        m_server.setBehaviour(Behaviour::NotFound, false, 0, 0);
        m_server.dropConnections();
        if (!QTest::qWaitFor([&] { return session.buildEnded(); }, kRunBoundMs))
            r.violations << QStringLiteral("still no end once the server gave up");
    } else if (loop != 0) {
        QAbstractButton *out = w->CancelButton;
        if (r.outcome.startsWith(QLatin1String("failed")))
            out = session.info()->CancelButton;
        if (r.outcome.startsWith(QLatin1String("notice"))) {
            if (!ToolSession::press(session.warning()->CancelButton))
                r.violations << QStringLiteral("dead end: the notice's OK cannot be pressed");
        }
        const int left = ToolSession::leaveWith(out);
        if (left != 0)
            r.violations << QStringLiteral("dead end: the way out from \"%1\" %2")
                                .arg(r.outcome, left < 0 ? QStringLiteral("cannot be pressed")
                                                         : QStringLiteral("did not end the tool"));
    }
    m_server.dropConnections();

    // Once the tool has ended: give its last commands a moment, then nothing
    // of it may be left running or lying about.
    QStringList running;
    QElapsedTimer settle;
    settle.start();
    while (!(running = standInsRunning(host.root())).isEmpty() && settle.elapsed() < 5000)
        QTest::qWait(50);
    for (const QString &p : running)
        r.violations << QStringLiteral("stand-in still running: ") + p;
    checkWorkFiles(session, r);
    if (m_plant == Plant::KeepAwake) // a request made after the tool cleared its own
        hostplatform::setKeepAwake(true);
    const QStringList power = hostLog(host, "power.log");
    if (!power.isEmpty() && !power.last().startsWith(QLatin1String("clear")))
        r.violations << QStringLiteral("keep-awake still requested: ") + power.last();

    checkOtherDisks(session, r);
    if (m_verbose) {
        std::printf("    commands:\n");
        for (const simhost::LoggedCommand &c : host.commands())
            std::printf("      %lld  %s\n", c.exitCode, qPrintable(c.line));
    }
    return r;
}

} // namespace

static bool g_verbose = false;

// The tool's own debug lines would bury the campaign's report.
static void quietDebug(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type != QtDebugMsg || g_verbose)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

int main(int argc, char *argv[]) {
    qInstallMessageHandler(quietDebug);
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption builds(QStringLiteral("builds"), QStringLiteral("number of builds"),
                                    QStringLiteral("N"), QStringLiteral("20"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("campaign seed"),
                                  QStringLiteral("S"), QStringLiteral("16"));
    const QCommandLineOption replay(
        QStringLiteral("replay"),
        QStringLiteral("runs the builds of these run seeds (comma-separated)"),
        QStringLiteral("RUNSEEDS"));
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     QStringLiteral("prints each run's commands"));
    QCommandLineOption dry(QStringLiteral("dry"));
    dry.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption plant(QStringLiteral("plant"), QString(), QStringLiteral("FAULT"));
    plant.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({builds, seed, replay, verbose, plant, dry});
    parser.process(app);
    g_verbose = parser.isSet(verbose);

    Plant planted = Plant::None;
    const QString plantName = parser.value(plant);
    if (plantName == QLatin1String("cut-boot-file"))
        planted = Plant::CutBootFile;
    else if (plantName == QLatin1String("write-other-disk"))
        planted = Plant::WriteOtherDisk;
    else if (plantName == QLatin1String("hang"))
        planted = Plant::Hang;
    else if (plantName == QLatin1String("leave-work-file"))
        planted = Plant::LeaveWorkFile;
    else if (plantName == QLatin1String("stray-stand-in"))
        planted = Plant::StrayStandIn;
    else if (plantName == QLatin1String("keep-awake"))
        planted = Plant::KeepAwake;
    else if (!plantName.isEmpty()) {
        std::fprintf(stderr, "unknown --plant %s\n", qPrintable(plantName));
        return 2;
    }

    QTemporaryDir files;
    CampaignServer server;
    if (!files.isValid() || !server.start(files.path())) {
        std::fprintf(stderr, "fault_campaign: cannot start the server\n");
        return 2;
    }
    const quint64 campaignSeed = parser.value(seed).toULongLong();
    QList<quint64> seeds;
    if (parser.isSet(replay)) {
        for (const QString &one : parser.value(replay).split(QLatin1Char(','), Qt::SkipEmptyParts))
            seeds.append(one.toULongLong());
    } else {
        for (int i = 0; i < parser.value(builds).toInt(); ++i)
            seeds.append(runSeed(campaignSeed, i));
    }

    Campaign campaign(server, planted, parser.isSet(verbose));
    QMap<QString, int> kinds, outcomes;
    int violating = 0;
    QElapsedTimer total;
    total.start();
    for (int i = 0; i < seeds.size(); ++i) {
        Faults faults = draw(seeds.at(i));
        if (planted == Plant::Hang) {
            faults.server = Behaviour::Stall;
            faults.serverFirstOnly = false;
        }
        if (parser.isSet(dry)) { // the draw alone
            std::printf("seed %llu: %s\n", static_cast<unsigned long long>(faults.seed),
                        qPrintable(faults.describe().join(QStringLiteral(", "))));
            continue;
        }
        QElapsedTimer clock;
        clock.start();
        const RunResult result = campaign.run(faults);
        for (const QString &k : faults.kinds())
            ++kinds[k];
        ++outcomes[result.outcome.section(QLatin1Char(' '), 0, 0)];
        std::printf("build %d/%d seed %llu: %s (%.1f s)%s\n", i + 1, int(seeds.size()),
                    static_cast<unsigned long long>(faults.seed), qPrintable(result.outcome),
                    clock.elapsed() / 1000.0,
                    result.violations.isEmpty() ? "" : "  INVARIANT VIOLATED");
        if (!result.violations.isEmpty() || parser.isSet(verbose)) {
            std::printf("  faults: %s\n", qPrintable(faults.describe().join(QStringLiteral(", "))));
        }
        if (!result.violations.isEmpty()) {
            ++violating;
            for (const QString &v : result.violations)
                std::printf("  violation: %s\n", qPrintable(v));
            std::printf("  replay: fault_campaign --replay %llu\n",
                        static_cast<unsigned long long>(faults.seed));
        }
        std::fflush(stdout);
    }
    std::printf("\nsummary: %d builds, campaign seed %llu, %.0f s\n", int(seeds.size()),
                static_cast<unsigned long long>(campaignSeed), total.elapsed() / 1000.0);
    std::printf("faults drawn by kind:\n");
    for (auto it = kinds.constBegin(); it != kinds.constEnd(); ++it)
        std::printf("  %-32s %d\n", qPrintable(it.key()), it.value());
    std::printf("outcomes:\n");
    for (auto it = outcomes.constBegin(); it != outcomes.constEnd(); ++it)
        std::printf("  %-32s %d\n", qPrintable(it.key()), it.value());
    std::printf("invariant violations: %d\n", violating);
    return violating == 0 ? 0 : 1;
}
