// diskpart.exe on the simulated host, for the commands the tool gives it:
// from a script (/s <script>), or from standard input when the tool holds
// it (a console session). Commands run with diskpart's focus rules: "select
// disk" gives a disk focus, "create partition" and "select partition" give
// the partition (and with it its volume) focus, "clean" takes the partition
// away. The focus is the disk itself, not its number: once that disk is
// unplugged nothing is selected, whichever disk takes its number.
//
// Read from standard input, diskpart writes its prompt "DISKPART> " before
// each command, goes on after a command that failed and ends with 0 at
// "exit" or at the end of its input. In a script the first failing command
// ends it with diskpart's exit code:
//   2  the parameters of a command were incorrect (no such disk or partition)
//   3  the script file cannot be opened
//   4  the disk service failed (letter not free, disk not convertible, ...)
//   5  a command without the object it needs, or an unknown command
#include "sim/standins/Tools.h"

#include "sim/platform/SimHost.h"
#include "sim/standins/HostDisks.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <QUuid>

#include <cstdio>

namespace hostsim {

namespace {

constexpr int kOk = 0;
constexpr int kBadParameters = 2;
constexpr int kCannotOpenScript = 3;
constexpr int kServiceFailure = 4;
constexpr int kSyntaxOrFocus = 5;
constexpr qint64 kMegabyte = 1 << 20; // diskpart's MB

const char kPrompt[] = "\r\nDISKPART> ";
const char kNoDisk[] = "There is no disk selected.";
const char kNoVolume[] = "There is no volume selected.";
const char kBadArguments[] = "The arguments specified for this command are not valid.";
const char kDenied[] = "Virtual Disk Service error:\r\nThe operation is not permitted on the "
                       "specified disk, partition, or volume.";

// Value of "name=value" among the parameters, empty when absent.
QString parameter(const QStringList &words, const char *name) {
    for (const QString &w : words) {
        if (w.startsWith(QLatin1String(name) + QLatin1Char('='), Qt::CaseInsensitive))
            return w.mid(int(qstrlen(name)) + 1);
    }
    return QString();
}

// The Disk ID of "detail disk": the MBR signature in eight hex digits, the
// GPT disk's GUID, zeros without a partition table. A simulated GPT disk's
// GUID follows from its folder name.
QString diskId(const HostDisk &disk) {
    if (disk.partitionStyle == QLatin1String("GPT")) {
        const QByteArray hash = QCryptographicHash::hash(disk.id.toUtf8(), QCryptographicHash::Md5);
        return QLatin1Char('{') + QUuid::fromRfc4122(hash).toString().mid(1).toUpper();
    }
    return disk.partitionStyle == QLatin1String("RAW")
               ? QStringLiteral("00000000")
               : QStringLiteral("%1")
                     .arg(disk.signature.toUInt(), 8, 16, QLatin1Char('0'))
                     .toUpper();
}

bool dueFault(const QString &root, const char *key, const QString &verb) {
    const QString at = simhost::hostSetting(root, QLatin1String(key)).toString();
    return !at.isEmpty() && at.compare(verb, Qt::CaseInsensitive) == 0;
}

class DiskpartSession {
public:
    explicit DiskpartSession(ToolContext &ctx) : m_ctx(ctx) {}

    // Runs one command and returns diskpart's code for it. host.ini
    // [faults] diskpartFailAt names a command that fails with an I/O error,
    // diskpartHangAt one that never answers.
    int run(const QString &line) {
        const QStringList words =
            line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        const QString verb = words.value(0).toLower();
        const QStringList params = words.mid(1);
        while (dueFault(m_ctx.root, "faults/diskpartHangAt", verb))
            QThread::sleep(60);
        if (dueFault(m_ctx.root, "faults/diskpartFailAt", verb))
            return say("DiskPart has encountered an error: The request could not be performed "
                       "because of an I/O device error.",
                       kServiceFailure);
        refreshSelection();
        if (verb == QLatin1String("select"))
            return select(params);
        if (verb == QLatin1String("detail"))
            return detail(params);
        const bool volumeVerb = verb == QLatin1String("active") ||
                                verb == QLatin1String("format") ||
                                verb == QLatin1String("assign") || verb == QLatin1String("remove");
        if (volumeVerb && !(m_havePartition && m_disk.partitions > 0))
            return say(kNoVolume, kSyntaxOrFocus);
        if (!volumeVerb && !m_haveDisk)
            return say(verb == QLatin1String("clean") || verb == QLatin1String("convert") ||
                               verb == QLatin1String("create")
                           ? kNoDisk
                           : "The command is not recognized by DiskPart.",
                       kSyntaxOrFocus);
        if (m_disk.system)
            return say(kDenied, kServiceFailure); // the running Windows stays as it is
        if (verb == QLatin1String("clean"))
            return clean();
        if (verb == QLatin1String("convert"))
            return convert(params);
        if (verb == QLatin1String("create"))
            return create(params);
        if (verb == QLatin1String("active"))
            return active();
        if (verb == QLatin1String("format"))
            return format(params);
        if (verb == QLatin1String("assign"))
            return assign(params);
        return say("The command is not recognized by DiskPart.", kSyntaxOrFocus);
    }

private:
    int say(const char *text, int code) { return say(QString::fromLatin1(text), code); }
    int say(const QString &text, int code) {
        m_ctx.out->write("\r\n" + text.toLocal8Bit() + "\r\n");
        return code;
    }

    int saved(const char *text) {
        saveDisk(m_ctx.root, m_disk);
        return say(text, kOk);
    }

    void wipeVolume() {
        const QString volume = volumeFolder(m_ctx.root, m_disk.id);
        emptyFolder(volume);
        simhost::forgetHiddenBelow(m_ctx.root, volume);
    }

    // The selected disk as it is now; gone once it was unplugged.
    void refreshSelection() {
        for (const HostDisk &disk : loadDisks(m_ctx.root)) {
            if (m_haveDisk && disk.id == m_disk.id && !disk.removed) {
                m_disk = disk;
                return;
            }
        }
        m_haveDisk = m_havePartition = false;
    }

    int detail(const QStringList &params) {
        if (params.size() != 1 || params.at(0).compare(QLatin1String("disk"), Qt::CaseInsensitive))
            return say(kBadArguments, kBadParameters);
        if (!m_haveDisk)
            return say(kNoDisk, kSyntaxOrFocus);
        const bool removable = m_disk.mediaType == QLatin1String("Removable Media");
        QString text = m_disk.model + QStringLiteral("\r\nDisk ID: ") + diskId(m_disk) +
                       QStringLiteral("\r\nType   : ") +
                       (removable ? QLatin1String("USB") : QLatin1String("SATA")) +
                       QStringLiteral("\r\nStatus : Online\r\nPath   : 0\r\nTarget : 0\r\n"
                                      "LUN ID : 0\r\nLocation Path : UNAVAILABLE\r\n"
                                      "Current Read-only State : No\r\nRead-only  : No\r\n"
                                      "Boot Disk  : ") +
                       (m_disk.system ? QLatin1String("Yes") : QLatin1String("No")) +
                       QStringLiteral("\r\nPagefile Disk  : No\r\nHibernation File Disk  : No\r\n"
                                      "Crashdump Disk  : No\r\nClustered Disk  : No\r\n\r\n");
        if (m_disk.partitions == 0)
            return say(text + QStringLiteral("There are no volumes."), kOk);
        const qint64 gigabytes = m_disk.partitionSize >> 30;
        text +=
            QStringLiteral(
                "  Volume ###  Ltr  Label        Fs     Type        Size     Status     Info\r\n"
                "  ----------  ---  -----------  -----  ----------  -------  ---------  "
                "--------\r\n") +
            QString::asprintf("  Volume %-3d   %1s                %-5s  %-10s  %5lld %s  Healthy",
                              m_disk.number + 2,
                              qPrintable(lettersOf(m_ctx.root, m_disk.id).value(0, " ")),
                              qPrintable(m_disk.fileSystem), removable ? "Removable" : "Partition",
                              gigabytes > 0 ? gigabytes : m_disk.partitionSize >> 20,
                              gigabytes > 0 ? "GB" : "MB");
        return say(text, kOk);
    }

    int select(const QStringList &params) {
        bool isNumber = false;
        const int n = params.value(1).toInt(&isNumber);
        if (!isNumber || params.size() != 2)
            return say(kBadArguments, kBadParameters);
        if (params.at(0).compare(QLatin1String("disk"), Qt::CaseInsensitive) == 0) {
            m_havePartition = false;
            m_haveDisk = findDisk(m_ctx.root, n, &m_disk);
            return m_haveDisk ? say(QStringLiteral("Disk %1 is now the selected disk.").arg(n), kOk)
                              : say("The disk you specified is not valid.", kBadParameters);
        }
        if (!m_haveDisk)
            return say(kNoDisk, kSyntaxOrFocus);
        m_havePartition =
            n == 1 && m_disk.partitions > 0 &&
            params.at(0).compare(QLatin1String("partition"), Qt::CaseInsensitive) == 0;
        return m_havePartition ? say("Partition 1 is now the selected partition.", kOk)
                               : say("The partition you specified is not valid.", kBadParameters);
    }

    int clean() {
        for (const QString &letter : lettersOf(m_ctx.root, m_disk.id))
            removeLetter(m_ctx.root, letter);
        wipeVolume();
        m_disk.partitions = 0;
        m_disk.partitionSize = 0;
        m_disk.partitionStyle = QStringLiteral("RAW");
        m_disk.active = false;
        m_disk.fileSystem = QStringLiteral("RAW");
        m_havePartition = false;
        return saved("DiskPart succeeded in cleaning the disk.");
    }

    int convert(const QStringList &params) {
        if (params.size() != 1 || params.at(0).compare(QLatin1String("mbr"), Qt::CaseInsensitive))
            return say(kBadArguments, kBadParameters);
        if (m_disk.partitions > 0)
            return say("Virtual Disk Service error:\r\nThe specified disk is not convertible.",
                       kServiceFailure);
        m_disk.partitionStyle = QStringLiteral("MBR");
        // A new partition table gets a new disk signature, as on Windows.
        m_disk.signature = QString::number(m_disk.signature.toUInt() * 2654435761u + 1u);
        return saved("DiskPart successfully converted the selected disk to MBR format.");
    }

    int create(const QStringList &params) {
        if (params.size() < 2 ||
            params.at(0).compare(QLatin1String("partition"), Qt::CaseInsensitive) ||
            params.at(1).compare(QLatin1String("primary"), Qt::CaseInsensitive))
            return say(kBadArguments, kBadParameters);
        if (m_disk.partitions > 0)
            return say("Virtual Disk Service error:\r\nThere is not enough usable space for this "
                       "operation.",
                       kServiceFailure);
        // "size=N" asks for N MB; without it the partition takes the rest.
        const qint64 usable = qMax<qint64>(0, m_disk.size - kPartitionOffset);
        qint64 size = usable;
        const QString sizeParameter = parameter(params, "size");
        if (!sizeParameter.isEmpty()) {
            bool isNumber = false;
            const qint64 megabytes = sizeParameter.toLongLong(&isNumber, 10);
            if (!isNumber || megabytes <= 0 || !sizeParameter.at(0).isDigit())
                return say(kBadArguments, kBadParameters);
            if (megabytes > usable / kMegabyte)
                return say("Virtual Disk Service error:\r\nThere is not enough usable free space "
                           "on specified disk(s) to create a partition at the requested size and "
                           "offset.",
                           kServiceFailure);
            size = megabytes * kMegabyte;
        }
        // An uninitialised disk gets an MBR table first, as diskpart does.
        if (m_disk.partitionStyle == QLatin1String("RAW"))
            m_disk.partitionStyle = QStringLiteral("MBR");
        m_disk.partitions = 1;
        m_disk.partitionSize = size;
        m_disk.active = false;
        m_disk.fileSystem = QStringLiteral("RAW");
        wipeVolume();
        m_havePartition = true;
        return saved("DiskPart succeeded in creating the specified partition.");
    }

    int active() {
        if (m_disk.partitionStyle != QLatin1String("MBR"))
            return say("The ACTIVE command can only be used on fixed MBR disks.", kServiceFailure);
        m_disk.active = true;
        return saved("DiskPart marked the current partition as active.");
    }

    int format(const QStringList &params) {
        const QString fs = parameter(params, "fs").toUpper();
        if (fs != QLatin1String("NTFS") && fs != QLatin1String("FAT32"))
            return say(kBadArguments, kBadParameters);
        // Windows formats FAT32 only up to 32 GiB.
        if (fs == QLatin1String("FAT32") && m_disk.partitionSize > (qint64(32) << 30))
            return say("Virtual Disk Service error:\r\nThe volume size is too big.",
                       kServiceFailure);
        wipeVolume();
        m_disk.fileSystem = fs;
        return saved("  100 percent completed\r\n\r\nDiskPart successfully formatted the volume.");
    }

    int assign(const QStringList &params) {
        const QString letter = parameter(params, "letter").toUpper();
        if (letter.size() != 1 || letter.at(0) < QLatin1Char('A') ||
            letter.at(0) > QLatin1Char('Z'))
            return say(kBadArguments, kBadParameters);
        const QStringList current = lettersOf(m_ctx.root, m_disk.id);
        if (!current.contains(letter)) {
            if (letterInUse(m_ctx.root, letter))
                return say("Virtual Disk Service error:\r\nThe specified drive letter is not free "
                           "to be assigned.",
                           kServiceFailure);
            // A volume carries one drive letter: the new one replaces the old.
            for (const QString &old : current)
                removeLetter(m_ctx.root, old);
            if (!assignLetter(m_ctx.root, m_disk.id, letter))
                return say(kDenied, kServiceFailure);
        }
        return say("DiskPart successfully assigned the drive letter or mount point.", kOk);
    }

    ToolContext &m_ctx;
    HostDisk m_disk;
    bool m_haveDisk = false;
    bool m_havePartition = false;
};

// Commands from standard input, each after a prompt.
int runFromInput(ToolContext &ctx) {
    DiskpartSession session(ctx);
    char buffer[1024];
    for (;;) {
        ctx.out->write(kPrompt);
        if (!std::fgets(buffer, sizeof buffer, ctx.in))
            return kOk;
        const QString line = QString::fromLocal8Bit(buffer).trimmed();
        if (line.compare(QLatin1String("exit"), Qt::CaseInsensitive) == 0) {
            ctx.out->write("\r\nLeaving DiskPart...\r\n");
            return kOk;
        }
        if (!line.isEmpty())
            session.run(line);
    }
}

} // namespace

int runDiskpart(ToolContext &ctx) {
    ctx.out->write(
        "\r\nMicrosoft DiskPart version 10.0.19041.3636\r\n\r\nOn computer: WINHOST\r\n");
    const QStringList &args = ctx.arguments;
    if (args.isEmpty() && ctx.in)
        return runFromInput(ctx);
    if (args.size() != 2 || args.at(0).compare(QLatin1String("/s"), Qt::CaseInsensitive) != 0) {
        // Without a script diskpart would wait for commands from a console
        // that nobody types into; odd arguments get the usage.
        ctx.out->write("\r\nMicrosoft DiskPart syntax:\r\n\tdiskpart [/s <script>] [/?]\r\n");
        return kBadParameters;
    }
    QFile script(simhost::localPath(ctx.root, args.at(1)));
    if (args.at(1) == script.fileName() || !script.open(QIODevice::ReadOnly)) {
        ctx.out->write("\r\nThe system cannot find the file specified.\r\n");
        return kCannotOpenScript;
    }
    DiskpartSession session(ctx);
    for (const QString &raw : QString::fromLatin1(script.readAll()).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.compare(QLatin1String("exit"), Qt::CaseInsensitive) == 0) {
            ctx.out->write("\r\nLeaving DiskPart...\r\n");
            return kOk;
        }
        const int code = line.isEmpty() ? kOk : session.run(line);
        if (code != kOk)
            return code;
    }
    return kOk;
}

} // namespace hostsim
