#include "sim/standins/HostDisks.h"

#include "sim/platform/SimHost.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

namespace hostsim {

namespace {

QString diskFolder(const QString &root, const QString &diskId) {
    return root + QStringLiteral("/disks/") + diskId;
}

QString diskIni(const QString &root, const QString &diskId) {
    return diskFolder(root, diskId) + QStringLiteral("/disk.ini");
}

HostDisk readDisk(const QString &root, const QString &diskId) {
    QSettings ini(diskIni(root, diskId), QSettings::IniFormat);
    HostDisk disk;
    disk.id = diskId;
    disk.number = ini.value(QStringLiteral("disk/number")).toInt();
    disk.model = ini.value(QStringLiteral("disk/model")).toString();
    disk.mediaType = ini.value(QStringLiteral("disk/mediaType")).toString();
    disk.size = ini.value(QStringLiteral("disk/size")).toLongLong();
    disk.serial = ini.value(QStringLiteral("disk/serial")).toString();
    disk.deviceId = ini.value(QStringLiteral("disk/deviceId")).toString();
    disk.signature = ini.value(QStringLiteral("disk/signature")).toString();
    disk.removed = ini.value(QStringLiteral("disk/removed"), false).toBool();
    disk.system = ini.value(QStringLiteral("disk/system"), false).toBool();
    disk.partitions = ini.value(QStringLiteral("disk/partitions"), 1).toInt();
    disk.partitionStyle = ini.value(QStringLiteral("disk/partitionStyle"), QStringLiteral("MBR"))
                              .toString()
                              .toUpper();
    disk.active = ini.value(QStringLiteral("disk/active"), disk.system).toBool();
    const QString defaultFs = disk.mediaType == QLatin1String("Removable Media")
                                  ? QStringLiteral("FAT32")
                                  : QStringLiteral("NTFS");
    disk.fileSystem = ini.value(QStringLiteral("disk/fileSystem"), defaultFs).toString();
    disk.partitionSize = ini.value(QStringLiteral("disk/partitionSize"),
                                   qMax<qint64>(0, disk.size - kPartitionOffset))
                             .toLongLong();
    return disk;
}

} // namespace

QList<HostDisk> loadDisks(const QString &root) {
    QList<HostDisk> disks;
    const QStringList ids =
        QDir(root + QStringLiteral("/disks")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &id : ids) {
        if (QFileInfo::exists(diskIni(root, id)))
            disks.append(readDisk(root, id));
    }
    std::stable_sort(disks.begin(), disks.end(),
                     [](const HostDisk &a, const HostDisk &b) { return a.number < b.number; });
    return disks;
}

bool findDisk(const QString &root, int number, HostDisk *disk) {
    for (const HostDisk &d : loadDisks(root)) {
        if (!d.removed && d.number == number) {
            *disk = d;
            return true;
        }
    }
    return false;
}

void saveDisk(const QString &root, const HostDisk &disk) {
    QSettings ini(diskIni(root, disk.id), QSettings::IniFormat);
    ini.setValue(QStringLiteral("disk/number"), disk.number);
    ini.setValue(QStringLiteral("disk/model"), disk.model);
    ini.setValue(QStringLiteral("disk/mediaType"), disk.mediaType);
    ini.setValue(QStringLiteral("disk/size"), disk.size);
    ini.setValue(QStringLiteral("disk/removed"), disk.removed);
    ini.setValue(QStringLiteral("disk/system"), disk.system);
    ini.setValue(QStringLiteral("disk/partitions"), disk.partitions);
    ini.setValue(QStringLiteral("disk/partitionStyle"), disk.partitionStyle);
    ini.setValue(QStringLiteral("disk/signature"), disk.signature);
    ini.setValue(QStringLiteral("disk/active"), disk.active);
    ini.setValue(QStringLiteral("disk/fileSystem"), disk.fileSystem);
    ini.setValue(QStringLiteral("disk/partitionSize"), disk.partitionSize);
}

QString volumeFolder(const QString &root, const QString &diskId) {
    return diskFolder(root, diskId) + QStringLiteral("/volume");
}

QStringList lettersOf(const QString &root, const QString &diskId) {
    QStringList letters;
    const QString volume = QFileInfo(volumeFolder(root, diskId)).canonicalFilePath();
    if (volume.isEmpty())
        return letters;
    const QDir drives(root + QStringLiteral("/drives"));
    for (const QFileInfo &entry :
         drives.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (entry.isSymLink() && entry.canonicalFilePath() == volume)
            letters.append(entry.fileName().toUpper());
    }
    return letters;
}

QStringList volumeLetters(const QString &root, const HostDisk &disk) {
    if (disk.removed)
        return {};
    // The system volume is a folder of its own, not a link to the disk.
    return disk.system ? QStringList{QStringLiteral("C")} + lettersOf(root, disk.id)
                       : lettersOf(root, disk.id);
}

bool letterInUse(const QString &root, const QString &letter) {
    const QFileInfo entry(root + QStringLiteral("/drives/") + letter.toUpper());
    return entry.exists() || entry.isSymLink();
}

bool assignLetter(const QString &root, const QString &diskId, const QString &letter) {
    if (letterInUse(root, letter))
        return false;
    return QFile::link(QStringLiteral("../disks/%1/volume").arg(diskId),
                       root + QStringLiteral("/drives/") + letter.toUpper());
}

bool removeLetter(const QString &root, const QString &letter) {
    const QString path = root + QStringLiteral("/drives/") + letter.toUpper();
    // Only a link can go: a plain folder is the system drive itself.
    return QFileInfo(path).isSymLink() && QFile::remove(path);
}

bool emptyFolder(const QString &folder) {
    bool ok = true;
    const QDir dir(folder);
    for (const QFileInfo &entry :
         dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        // A link is removed itself, never what it points at.
        if (entry.isDir() && !entry.isSymLink())
            ok = QDir(entry.filePath()).removeRecursively() && ok;
        else
            ok = QFile::remove(entry.filePath()) && ok;
    }
    return ok;
}

void applyDueListingFaults(const QString &root) {
    for (const HostDisk &listed : loadDisks(root)) {
        QSettings ini(diskIni(root, listed.id), QSettings::IniFormat);
        const QVariant after = ini.value(QStringLiteral("faults/swapAfterListings"));
        if (!after.isValid() || ini.value(QStringLiteral("faults/swapped"), false).toBool())
            continue;
        if (ini.value(QStringLiteral("faults/listed"), 0).toInt() < after.toInt())
            continue;
        HostDisk disk = listed;
        const QVariant number = ini.value(QStringLiteral("faults/swapNumber"));
        const QVariant model = ini.value(QStringLiteral("faults/swapModel"));
        if (number.isValid())
            disk.number = number.toInt();
        if (model.isValid())
            disk.model = model.toString();
        if (ini.value(QStringLiteral("faults/swapRemoved"), false).toBool()) {
            // Unplugged: its letters go with it.
            disk.removed = true;
            for (const QString &letter : lettersOf(root, disk.id))
                removeLetter(root, letter);
        }
        ini.setValue(QStringLiteral("faults/swapped"), true);
        ini.sync();
        saveDisk(root, disk);
    }
}

void noteListed(const QString &root, const QList<HostDisk> &listed) {
    for (const HostDisk &disk : listed) {
        QSettings ini(diskIni(root, disk.id), QSettings::IniFormat);
        if (!ini.contains(QStringLiteral("faults/swapAfterListings")))
            continue;
        ini.setValue(QStringLiteral("faults/listed"),
                     ini.value(QStringLiteral("faults/listed"), 0).toInt() + 1);
    }
}

qint64 folderSize(const QString &folder) {
    qint64 total = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (!it.fileInfo().isSymLink())
            total += it.fileInfo().size();
    }
    return total;
}

} // namespace hostsim
