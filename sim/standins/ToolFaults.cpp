#include "sim/standins/ToolFaults.h"

#include "sim/hosts/HostSetup.h"
#include "sim/platform/SimHost.h"
#include "sim/standins/HostDisks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSettings>
#include <QStringList>

#include <cstdio>

namespace hostsim {

namespace {

struct KnownFailure {
    const char *program; // lower case
    int exitCode;
    bool onError; // message on standard error, else on standard output
    const char *message;
};

// What each Windows tool prints and returns when it fails on its own: a
// device, a service or the system refusing, not a wrong command line.
const KnownFailure kFailures[] = {
    {"wmic.exe", 44135, true, "ERROR:\r\nDescription = Invalid query\r\n"},
    {"wmic.exe", int(0x80041003), true, "ERROR:\r\nDescription = Access denied\r\n"},
    {"wmic.exe", int(0x80041006), true, "ERROR:\r\nDescription = Out of memory\r\n"},
    {"powershell.exe", 1, true,
     "Get-Disk : Access denied\r\n    + CategoryInfo          : PermissionDenied\r\n"},
    {"diskpart.exe", 1, false, "\r\nDiskPart has encountered an error: Fatal error.\r\n"},
    {"diskpart.exe", 4, false, "\r\nVirtual Disk Service error:\r\nThe device is not ready.\r\n"},
    {"diskpart.exe", 4, false,
     "\r\nDiskPart has encountered an error: The media is write protected.\r\nSee the System "
     "Event Log for more information.\r\n"},
    {"diskpart.exe", 5, false, "\r\nThere is no disk selected to set the partition.\r\n"},
    {"dism.exe", 5, false, "\r\nError: 5\r\n\r\nAccess is denied.\r\n"},
    {"dism.exe", 740, false,
     "\r\nError: 740\r\n\r\nElevated permissions are required to run DISM.\r\n"},
    {"dism.exe", 1392, false,
     "\r\nError: 1392\r\n\r\nThe file or directory is corrupted and "
     "unreadable.\r\n"},
    {"xcopy.exe", 1, false, "File not found - *\r\n0 File(s) copied\r\n"},
    {"xcopy.exe", 2, false, "^C"},
    {"xcopy.exe", 4, false, "Insufficient disk space\r\n0 File(s) copied\r\n"},
    {"xcopy.exe", 4, false, "Invalid drive specification\r\n0 File(s) copied\r\n"},
    {"xcopy.exe", 4, false, "File creation error - Access is denied.\r\n0 File(s) copied\r\n"},
    {"xcopy.exe", 5, false, "Disk write error\r\n0 File(s) copied\r\n"},
    {"bitsadmin.exe", 1, false,
     "ERROR CODE:    0x80200010 - A connection could not be established.\r\n"},
    {"bitsadmin.exe", 1, false,
     "ERROR CODE:    0x80190194 - HTTP status 404: The requested URL "
     "does not exist on the server.\r\n"},
};

QList<const KnownFailure *> failuresOf(const QString &fileName) {
    QList<const KnownFailure *> found;
    for (const KnownFailure &failure : kFailures) {
        if (fileName.compare(QLatin1String(failure.program), Qt::CaseInsensitive) == 0)
            found.append(&failure);
    }
    return found;
}

// A stick of the model and size given; seed tells its serial number, device
// id and signature from those of any other stick.
bool plugIn(const QString &root, const simhost::DiskSpec &stick, const QString &seed) {
    simhost::DiskSpec disk = stick;
    disk.mediaType = QStringLiteral("Removable Media");
    simhost::completeIdentity(disk, seed);
    // Made beside the disks and moved in with one rename: a disk appears all at once.
    const QString staging = root + QStringLiteral("/plugging-") + disk.id;
    if (!QDir().mkpath(staging + QStringLiteral("/volume")))
        return false;
    {
        QSettings ini(staging + QStringLiteral("/disk.ini"), QSettings::IniFormat);
        ini.setValue(QStringLiteral("disk/number"), disk.number);
        ini.setValue(QStringLiteral("disk/model"), disk.model);
        ini.setValue(QStringLiteral("disk/mediaType"), disk.mediaType);
        ini.setValue(QStringLiteral("disk/size"), disk.size);
        ini.setValue(QStringLiteral("disk/serial"), disk.serial);
        ini.setValue(QStringLiteral("disk/deviceId"), disk.deviceId);
        ini.setValue(QStringLiteral("disk/signature"), disk.signature);
        ini.setValue(QStringLiteral("disk/partitions"), 1);
        ini.setValue(QStringLiteral("disk/fileSystem"), QStringLiteral("FAT32"));
    }
    QFile note(staging + QStringLiteral("/volume/notes.txt"));
    if (!note.open(QIODevice::WriteOnly) || note.write("shopping list\n") < 0)
        return false;
    note.close();
    if (!QDir().rename(staging, root + QStringLiteral("/disks/") + disk.id))
        return false;
    return disk.letter.isEmpty() || assignLetter(root, disk.id, disk.letter);
}

void unplug(const QString &root, const QString &id) {
    // Its letters go with it.
    for (const QString &letter : lettersOf(root, id))
        removeLetter(root, letter);
    QDir().mkpath(root + QStringLiteral("/unplugged"));
    QDir().rename(root + QStringLiteral("/disks/") + id, root + QStringLiteral("/unplugged/") + id);
}

} // namespace

void applyDueStickEvent(const QString &root) {
    const QString event =
        simhost::hostSetting(root, QStringLiteral("faults/stickEvent")).toString();
    if (event.isEmpty() ||
        simhost::hostSetting(root, QStringLiteral("faults/stickEventDone"), false).toBool())
        return;
    const int due = simhost::hostSetting(root, QStringLiteral("faults/stickEventAtLine")).toInt();
    if (simhost::readCommandLog(root).size() + 1 != due)
        return;
    simhost::setHostSetting(root, QStringLiteral("faults/stickEventDone"), true);
    const QString disk =
        simhost::hostSetting(root, QStringLiteral("faults/stickEventDisk"), QStringLiteral("disk1"))
            .toString();
    const QSettings chosen(root + QStringLiteral("/disks/") + disk + QStringLiteral("/disk.ini"),
                           QSettings::IniFormat);
    const int number = chosen.value(QStringLiteral("disk/number")).toInt();
    const qint64 stickSize = 16008609792LL;
    if (event == QLatin1String("unplug")) {
        unplug(root, disk);
    } else if (event == QLatin1String("swap")) {
        unplug(root, disk);
        plugIn(root, {"disk7", number, "Delta Blade USB Device", {}, stickSize, {}}, "disk7");
    } else if (event == QLatin1String("swap-lookalike")) {
        // The same model and size in the same slot: only what tells two
        // sticks of a model apart differs.
        const QString model = chosen.value(QStringLiteral("disk/model")).toString();
        const qint64 size = chosen.value(QStringLiteral("disk/size")).toLongLong();
        unplug(root, disk);
        plugIn(root, {"disk7", number, model, {}, size, {}}, "look-alike of " + disk);
    } else if (event == QLatin1String("plug-other")) {
        plugIn(root, {"disk2", 2, "Epsilon Traveler 3.0 USB Device", {}, stickSize, "E"}, "disk2");
    }
}

void applyDueIntrusion(const QString &root) {
    const QString intrusion =
        simhost::hostSetting(root, QStringLiteral("faults/intrusion")).toString();
    if (intrusion.isEmpty() ||
        simhost::hostSetting(root, QStringLiteral("faults/intrusionDone"), false).toBool() ||
        simhost::readCommandLog(root).size() + 1 !=
            simhost::hostSetting(root, QStringLiteral("faults/intrusionAtLine")).toInt())
        return;
    simhost::setHostSetting(root, QStringLiteral("faults/intrusionDone"), true);
    const QString image = simhost::localPath(root, QStringLiteral("C:\\DownloadFIle\\boot.wim"));
    const qint64 size = QFileInfo(image).size();
    if (size <= 0)
        return;
    const QByteArray planted("someone else's image");
    if (intrusion == QLatin1String("modify-image")) {
        QFile file(image);
        if (file.open(QIODevice::ReadWrite))
            file.write(planted);
    } else if (intrusion == QLatin1String("replace-image")) {
        QFile other(image + QStringLiteral(".other"));
        if (other.open(QIODevice::WriteOnly) && other.resize(size) && other.write(planted) > 0) {
            other.close();
            ::rename(QFile::encodeName(other.fileName()).constData(),
                     QFile::encodeName(image).constData());
        }
    }
}

bool injectedFailure(const QString &root, const QString &fileName, QIODevice *out, QIODevice *err,
                     int *exitCode) {
    const QString plan =
        simhost::hostSetting(root, QStringLiteral("faults/toolFailures")).toStringList().join(',');
    if (plan.isEmpty())
        return false;
    const QString counter = QStringLiteral("faults/runs_") + fileName.toLower();
    const int run = simhost::hostSetting(root, counter, 0).toInt() + 1;
    simhost::setHostSetting(root, counter, run);
    for (const QString &entry : plan.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList parts = entry.trimmed().split(QLatin1Char(':'));
        if (parts.size() != 3 || parts[0].compare(fileName, Qt::CaseInsensitive) != 0 ||
            parts[1].toInt() != run)
            continue;
        const QList<const KnownFailure *> failures = failuresOf(fileName);
        const int kind = parts[2].toInt();
        if (kind < 0 || kind >= failures.size())
            return false;
        const KnownFailure *failure = failures.at(kind);
        (failure->onError ? err : out)->write(failure->message);
        *exitCode = failure->exitCode;
        return true;
    }
    return false;
}

} // namespace hostsim
