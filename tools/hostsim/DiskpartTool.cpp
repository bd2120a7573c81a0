// diskpart.exe /s <script> on the simulated host. The script runs line by
// line with diskpart's focus rules: "select disk" gives a disk focus,
// "create partition" and "select partition" give the partition (and with it
// its volume) focus, "clean" takes the partition away. Without "noerr" the
// first failing command ends the script with diskpart's exit code:
//   2  the parameters of a command were incorrect (no such disk or partition)
//   3  the script file cannot be opened
//   4  the disk service failed (letter not free, disk not convertible, ...)
//   5  a command without the object it needs, or an unknown command
#include "tools/hostsim/Tools.h"

#include "platform/sim/SimHost.h"
#include "tools/hostsim/HostDisks.h"

#include <QFile>
#include <QRegularExpression>

namespace hostsim {

namespace {

constexpr int kOk = 0;
constexpr int kBadParameters = 2;
constexpr int kCannotOpenScript = 3;
constexpr int kServiceFailure = 4;
constexpr int kSyntaxOrFocus = 5;
constexpr qint64 kMegabyte = 1 << 20; // diskpart's MB

const char kNoDisk[] = "There is no disk selected.\r\nPlease select a disk and try again.";
const char kNoPartition[] =
    "There is no partition selected.\r\nPlease select a partition and try again.";
const char kNoVolume[] = "There is no volume selected.\r\nPlease select a volume and try again.";
const char kBadArguments[] = "The arguments specified for this command are not valid.\r\n"
                             "For more information on the command type: HELP";
const char kDenied[] =
    "Virtual Disk Service error:\r\nThe operation is not permitted on the specified disk, "
    "partition, or volume.";

// Whether word abbreviates keyword as diskpart accepts it (at least three
// letters, or the whole keyword).
bool abbreviates(const QString &word, const char *keyword) {
    const QString full = QLatin1String(keyword);
    return word.size() >= qMin(3, full.size()) && full.startsWith(word, Qt::CaseInsensitive);
}

// Value of "name=value" among the parameters, empty when absent.
QString parameter(const QStringList &words, const QString &name) {
    for (const QString &w : words) {
        if (w.startsWith(name + QLatin1Char('='), Qt::CaseInsensitive))
            return w.mid(name.size() + 1);
    }
    return QString();
}

class DiskpartSession {
public:
    explicit DiskpartSession(ToolContext &ctx) : m_ctx(ctx) {}

    // Runs one script line. Returns diskpart's code for it; exit is set by
    // "exit", syntax by errors that noerr does not cover.
    int run(const QString &line, bool *exit, bool *noerr, bool *syntax) {
        QStringList words =
            line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        for (int i = words.size() - 1; i >= 0; --i) {
            if (words.at(i).compare(QLatin1String("noerr"), Qt::CaseInsensitive) == 0) {
                words.removeAt(i);
                *noerr = true;
            }
        }
        const QString verb = words.value(0);
        const QString command = canonicalVerb(verb);
        if (command.isEmpty()) {
            *syntax = true;
            return say(
                QStringLiteral("Microsoft DiskPart version 10.0.19041.3636\r\n\r\n"
                               "ACTIVE      - Mark the selected partition as active.\r\n"
                               "ASSIGN      - Assign a drive letter or mount point to the "
                               "selected volume.\r\n"
                               "CLEAN       - Clear the configuration information, or all "
                               "information, off the\r\n              disk.\r\n"
                               "CONVERT     - Convert between different disk formats.\r\n"
                               "CREATE      - Create a volume, partition or virtual disk.\r\n"
                               "EXIT        - Exit DiskPart.\r\n"
                               "FORMAT      - Format the volume or partition.\r\n"
                               "REM         - Does nothing. This is used to comment "
                               "scripts.\r\n"
                               "REMOVE      - Remove a drive letter or mount point "
                               "assignment.\r\n"
                               "SELECT      - Shift the focus to an object."),
                kSyntaxOrFocus);
        }
        if (command == QLatin1String("rem"))
            return kOk;
        const QString failAt =
            simhost::hostSetting(m_ctx.root, QStringLiteral("faults/diskpartFailAt")).toString();
        if (!failAt.isEmpty() && failAt.compare(command, Qt::CaseInsensitive) == 0) {
            return say(QStringLiteral("DiskPart has encountered an error: The request could not "
                                      "be performed because of an I/O device error.\r\nSee the "
                                      "System Event Log for more information."),
                       kServiceFailure);
        }
        const QStringList params = words.mid(1);
        if (command == QLatin1String("exit")) {
            *exit = true;
            m_ctx.out->write("\r\nLeaving DiskPart...\r\n");
            return kOk;
        }
        if (command == QLatin1String("select"))
            return select(params);
        if (command == QLatin1String("clean"))
            return clean();
        if (command == QLatin1String("convert"))
            return convert(params);
        if (command == QLatin1String("create"))
            return create(params);
        if (command == QLatin1String("active"))
            return active();
        if (command == QLatin1String("format"))
            return format(params);
        if (command == QLatin1String("assign"))
            return assign(params);
        return remove(params);
    }

private:
    static QString canonicalVerb(const QString &word) {
        static const char *const verbs[] = {"select", "clean",  "convert", "create", "active",
                                            "format", "assign", "remove",  "exit",   "rem"};
        if (word.compare(QLatin1String("rem"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("rem");
        for (const char *verb : verbs) {
            if (abbreviates(word, verb))
                return QLatin1String(verb);
        }
        return QString();
    }

    int say(const QString &text, int code) {
        m_ctx.out->write("\r\n" + text.toLocal8Bit() + "\r\n");
        return code;
    }

    // Reloads the selected disk, which an earlier command may have changed.
    bool refresh() {
        if (!m_haveDisk)
            return false;
        for (const HostDisk &d : loadDisks(m_ctx.root)) {
            if (d.id == m_disk.id && !d.removed) {
                m_disk = d;
                return true;
            }
        }
        m_haveDisk = false;
        m_havePartition = false;
        return false;
    }

    bool haveVolume() { return refresh() && m_havePartition && m_disk.partitions > 0; }

    void wipeVolume() {
        const QString volume = volumeFolder(m_ctx.root, m_disk.id);
        emptyFolder(volume);
        simhost::forgetHiddenBelow(m_ctx.root, volume);
    }

    int select(const QStringList &params) {
        const QString what = params.value(0);
        bool isNumber = false;
        const int n = params.value(1).toInt(&isNumber);
        if (abbreviates(what, "disk")) {
            if (!isNumber || params.size() != 2)
                return say(QLatin1String(kBadArguments) + QStringLiteral(" SELECT DISK"),
                           kBadParameters);
            HostDisk disk;
            if (!findDisk(m_ctx.root, n, &disk)) {
                m_haveDisk = false;
                m_havePartition = false;
                return say(QStringLiteral("The disk you specified is not valid.\r\n\r\n"
                                          "There is no disk selected."),
                           kBadParameters);
            }
            m_disk = disk;
            m_haveDisk = true;
            m_havePartition = false;
            return say(QStringLiteral("Disk %1 is now the selected disk.").arg(n), kOk);
        }
        if (abbreviates(what, "partition")) {
            if (!refresh())
                return say(QLatin1String(kNoDisk), kSyntaxOrFocus);
            if (!isNumber || params.size() != 2)
                return say(QLatin1String(kBadArguments) + QStringLiteral(" SELECT PARTITION"),
                           kBadParameters);
            if (n != 1 || m_disk.partitions < 1) {
                m_havePartition = false;
                return say(QStringLiteral("The partition you specified is not valid.\r\nPlease "
                                          "select a valid partition.\r\n\r\nThere is no "
                                          "partition selected."),
                           kBadParameters);
            }
            m_havePartition = true;
            return say(QStringLiteral("Partition 1 is now the selected partition."), kOk);
        }
        if (abbreviates(what, "volume")) {
            // Volumes are selected by their drive letter here.
            const QString letter = params.value(1).left(1).toUpper();
            int volumeNumber = 0;
            for (const HostDisk &d : loadDisks(m_ctx.root)) {
                if (d.removed || d.partitions < 1)
                    continue;
                if (params.value(1).size() <= 2 && lettersOf(m_ctx.root, d.id).contains(letter)) {
                    m_disk = d;
                    m_haveDisk = true;
                    m_havePartition = true;
                    return say(
                        QStringLiteral("Volume %1 is now the selected volume.").arg(volumeNumber),
                        kOk);
                }
                ++volumeNumber;
            }
            m_havePartition = false;
            return say(QStringLiteral("The volume you selected is not valid or does not "
                                      "exist."),
                       kBadParameters);
        }
        return say(QLatin1String(kBadArguments) + QStringLiteral(" SELECT"), kBadParameters);
    }

    int clean() {
        if (!refresh())
            return say(QLatin1String(kNoDisk), kSyntaxOrFocus);
        if (m_disk.system) {
            return say(QStringLiteral("Virtual Disk Service error:\r\nClean is not allowed on "
                                      "the disk containing the current boot,\r\nsystem, pagefile, "
                                      "crashdump or hibernation volume."),
                       kServiceFailure);
        }
        for (const QString &letter : lettersOf(m_ctx.root, m_disk.id))
            removeLetter(m_ctx.root, letter);
        wipeVolume();
        m_disk.partitions = 0;
        m_disk.partitionSize = 0;
        m_disk.partitionStyle = QStringLiteral("RAW");
        m_disk.active = false;
        m_disk.fileSystem = QStringLiteral("RAW");
        saveDisk(m_ctx.root, m_disk);
        m_havePartition = false;
        return say(QStringLiteral("DiskPart succeeded in cleaning the disk."), kOk);
    }

    int convert(const QStringList &params) {
        if (!refresh())
            return say(QLatin1String(kNoDisk), kSyntaxOrFocus);
        const QString style = params.value(0).toUpper();
        if (params.size() != 1 || (style != QLatin1String("MBR") && style != QLatin1String("GPT")))
            return say(QLatin1String(kBadArguments) + QStringLiteral(" CONVERT"), kBadParameters);
        if (m_disk.system || m_disk.partitions > 0) {
            return say(QStringLiteral("Virtual Disk Service error:\r\nThe specified disk is not "
                                      "convertible. CDROMs and DVDs\r\nare examples of disks "
                                      "that are not convertible."),
                       kServiceFailure);
        }
        m_disk.partitionStyle = style;
        saveDisk(m_ctx.root, m_disk);
        return say(QStringLiteral("DiskPart successfully converted the selected disk to %1 "
                                  "format.")
                       .arg(style),
                   kOk);
    }

    int create(const QStringList &params) {
        if (params.size() < 2 || !abbreviates(params.at(0), "partition") ||
            !abbreviates(params.at(1), "primary"))
            return say(QLatin1String(kBadArguments) + QStringLiteral(" CREATE PARTITION PRIMARY"),
                       kBadParameters);
        if (!refresh())
            return say(QLatin1String(kNoDisk), kSyntaxOrFocus);
        if (m_disk.system || m_disk.partitions > 0) {
            return say(QStringLiteral("Virtual Disk Service error:\r\nThere is not enough usable "
                                      "space for this operation."),
                       kServiceFailure);
        }
        // "size=N" asks for N MB; without it the partition takes the rest.
        const qint64 usable = qMax<qint64>(0, m_disk.size - kPartitionOffset);
        qint64 size = usable;
        const QString sizeParameter = parameter(params, QStringLiteral("size"));
        if (!sizeParameter.isEmpty()) {
            bool isNumber = false;
            const qint64 megabytes = sizeParameter.toLongLong(&isNumber, 10);
            if (!isNumber || megabytes <= 0 || !sizeParameter.at(0).isDigit())
                return say(QLatin1String(kBadArguments) +
                               QStringLiteral(" CREATE PARTITION PRIMARY"),
                           kBadParameters);
            if (megabytes > usable / kMegabyte) {
                return say(QStringLiteral(
                               "Virtual Disk Service error:\r\nThere is not enough usable free "
                               "space on specified disk(s) to create a partition at the requested "
                               "size and offset. Specify a different size and offset values or "
                               "don't specify either to create the maximum sized partition."),
                           kServiceFailure);
            }
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
        saveDisk(m_ctx.root, m_disk);
        m_havePartition = true;
        return say(QStringLiteral("DiskPart succeeded in creating the specified partition."), kOk);
    }

    int active() {
        if (!refresh() || !m_havePartition || m_disk.partitions < 1)
            return say(QLatin1String(kNoPartition), kSyntaxOrFocus);
        if (m_disk.partitionStyle != QLatin1String("MBR")) {
            return say(QStringLiteral("The selected disk is not a fixed MBR disk.\r\nThe ACTIVE "
                                      "command can only be used on fixed MBR disks."),
                       kServiceFailure);
        }
        m_disk.active = true;
        saveDisk(m_ctx.root, m_disk);
        return say(QStringLiteral("DiskPart marked the current partition as active."), kOk);
    }

    int format(const QStringList &params) {
        if (!haveVolume())
            return say(QLatin1String(kNoVolume), kSyntaxOrFocus);
        QString fs = parameter(params, QStringLiteral("fs")).toUpper();
        if (fs.isEmpty())
            fs = QStringLiteral("NTFS");
        if (fs == QLatin1String("EXFAT"))
            fs = QStringLiteral("exFAT");
        if (fs != QLatin1String("NTFS") && fs != QLatin1String("FAT32") &&
            fs != QLatin1String("FAT") && fs != QLatin1String("exFAT"))
            return say(QLatin1String(kBadArguments) + QStringLiteral(" FORMAT"), kBadParameters);
        if (m_disk.system)
            return say(QLatin1String(kDenied), kServiceFailure);
        // Windows formats FAT32 only up to 32 GiB.
        if (fs == QLatin1String("FAT32") && m_disk.partitionSize > (qint64(32) << 30))
            return say(QStringLiteral("Virtual Disk Service error:\r\nThe volume size is too big."),
                       kServiceFailure);
        wipeVolume();
        m_disk.fileSystem = fs;
        saveDisk(m_ctx.root, m_disk);
        return say(QStringLiteral("  100 percent completed\r\n\r\nDiskPart successfully "
                                  "formatted the volume."),
                   kOk);
    }

    int assign(const QStringList &params) {
        if (!haveVolume())
            return say(QLatin1String(kNoVolume), kSyntaxOrFocus);
        QString letter = parameter(params, QStringLiteral("letter")).toUpper();
        const QStringList current = lettersOf(m_ctx.root, m_disk.id);
        if (letter.isEmpty()) {
            // The next free letter, as diskpart picks it.
            for (char c = 'C'; c <= 'Z' && letter.isEmpty(); ++c) {
                if (!letterInUse(m_ctx.root, QString(QLatin1Char(c))))
                    letter = QString(QLatin1Char(c));
            }
        }
        if (letter.size() != 1 || letter.at(0) < QLatin1Char('A') ||
            letter.at(0) > QLatin1Char('Z'))
            return say(QLatin1String(kBadArguments) + QStringLiteral(" ASSIGN"), kBadParameters);
        if (m_disk.system)
            return say(QLatin1String(kDenied), kServiceFailure);
        if (current.contains(letter))
            return say(QStringLiteral("DiskPart successfully assigned the drive letter or mount "
                                      "point."),
                       kOk);
        if (letterInUse(m_ctx.root, letter)) {
            return say(QStringLiteral("Virtual Disk Service error:\r\nThe specified drive letter "
                                      "is not free to be assigned."),
                       kServiceFailure);
        }
        // A volume carries one drive letter: the new one replaces the old.
        for (const QString &old : current)
            removeLetter(m_ctx.root, old);
        if (!assignLetter(m_ctx.root, m_disk.id, letter))
            return say(QLatin1String(kDenied), kServiceFailure);
        return say(QStringLiteral("DiskPart successfully assigned the drive letter or mount "
                                  "point."),
                   kOk);
    }

    int remove(const QStringList &params) {
        if (!haveVolume())
            return say(QLatin1String(kNoVolume), kSyntaxOrFocus);
        const QStringList current = lettersOf(m_ctx.root, m_disk.id);
        QString letter = parameter(params, QStringLiteral("letter")).toUpper();
        if (letter.isEmpty())
            letter = current.value(0);
        if (m_disk.system)
            return say(QLatin1String(kDenied), kServiceFailure);
        if (letter.isEmpty() || !current.contains(letter)) {
            return say(QStringLiteral("Virtual Disk Service error:\r\nThe specified drive letter "
                                      "is not valid."),
                       kServiceFailure);
        }
        removeLetter(m_ctx.root, letter);
        return say(QStringLiteral("DiskPart successfully removed the drive letter or mount "
                                  "point."),
                   kOk);
    }

    ToolContext &m_ctx;
    HostDisk m_disk;
    bool m_haveDisk = false;
    bool m_havePartition = false;
};

QString decodeScript(const QByteArray &bytes) {
    if (bytes.startsWith("\xff\xfe")) {
        QString text;
        for (int i = 2; i + 1 < bytes.size(); i += 2)
            text += QChar(static_cast<ushort>(static_cast<uchar>(bytes.at(i)) |
                                              (static_cast<uchar>(bytes.at(i + 1)) << 8)));
        return text;
    }
    return QString::fromLatin1(bytes);
}

} // namespace

int runDiskpart(ToolContext &ctx) {
    const QString computer = simhost::hostSetting(ctx.root, QStringLiteral("system/computerName"),
                                                  QStringLiteral("WINHOST"))
                                 .toString();
    ctx.out->write(QStringLiteral("\r\nMicrosoft DiskPart version 10.0.19041.3636\r\n\r\n"
                                  "Copyright (C) Microsoft Corporation.\r\nOn computer: %1\r\n")
                       .arg(computer)
                       .toLocal8Bit());
    const QStringList &args = ctx.arguments;
    if (args.size() != 2 || args.at(0).compare(QLatin1String("/s"), Qt::CaseInsensitive) != 0) {
        // Without a script diskpart would wait for commands from a console
        // that nobody types into; odd arguments get the usage.
        ctx.out->write("\r\nMicrosoft DiskPart syntax:\r\n\tdiskpart [/s <script>] [/?]\r\n\r\n"
                       "\t/s <script> - Use a DiskPart script.\r\n\t/?          - Show this help "
                       "screen.\r\n");
        return kBadParameters;
    }
    QFile script(simhost::localPath(ctx.root, args.at(1)));
    if (args.at(1) == script.fileName() || !script.open(QIODevice::ReadOnly)) {
        ctx.out->write("\r\nThe system cannot find the file specified.\r\n");
        return kCannotOpenScript;
    }
    const QStringList lines = decodeScript(script.readAll()).split(QLatin1Char('\n'));
    script.close();

    DiskpartSession session(ctx);
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty())
            continue;
        bool exit = false;
        bool noerr = false;
        bool syntax = false;
        const int code = session.run(line, &exit, &noerr, &syntax);
        if (exit)
            return kOk;
        if (code != kOk && (syntax || !noerr))
            return code;
    }
    return kOk;
}

} // namespace hostsim
