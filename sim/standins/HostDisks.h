// The simulated host's disks as the stand-in tools see them: the disk
// descriptions under disks/, their partition state, and the drive letters
// under drives/ that point at their volumes.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace hostsim {

struct HostDisk {
    QString id;
    int number = 0;
    QString model;
    QString mediaType;
    qint64 size = 0;
    QString serial;           // SerialNumber
    QString deviceId;         // PNPDeviceID
    QString signature;        // Signature
    bool removed = false;     // unplugged: no tool sees it any more
    bool system = false;      // holds the running Windows installation
    int partitions = 1;       // 0 or 1: the stand-ins model one partition at most
    QString partitionStyle;   // "MBR", "GPT" or "RAW" (no partition table)
    bool active = false;      // the partition is marked active
    QString fileSystem;       // "NTFS", "FAT32", ... or "RAW" (not formatted)
    qint64 partitionSize = 0; // bytes; a partition starts 1 MiB into the disk
};

// The first partition starts this far into the disk, as diskpart aligns it.
constexpr qint64 kPartitionOffset = 1 << 20;

// Every disk of the host, present or removed, ordered by disk number.
QList<HostDisk> loadDisks(const QString &root);

// The present disk with this number, or false.
bool findDisk(const QString &root, int number, HostDisk *disk);

// Writes the disk's description back to its disk.ini.
void saveDisk(const QString &root, const HostDisk &disk);

// Local folder that holds the content of the disk's partition.
QString volumeFolder(const QString &root, const QString &diskId);

// Drive letters whose drives/<L> link points at the disk's volume.
QStringList lettersOf(const QString &root, const QString &diskId);

// Drive letters of a present disk's volume, "C" for the system disk; none
// for a removed disk.
QStringList volumeLetters(const QString &root, const HostDisk &disk);

// Whether drive letter L is in use (a folder or a link under drives/).
bool letterInUse(const QString &root, const QString &letter);

// Points drive letter L at the disk's volume.
bool assignLetter(const QString &root, const QString &diskId, const QString &letter);

// Takes drive letter L away from the volume it names.
bool removeLetter(const QString &root, const QString &letter);

// Deletes everything inside a folder, keeping the folder.
bool emptyFolder(const QString &folder);

// Applies the listing faults of disk.ini [faults] that are due before a
// drive listing runs (swapAfterListings with swapNumber, swapModel or
// swapRemoved).
void applyDueListingFaults(const QString &root);

// Counts one listing for each disk that a listing has shown.
void noteListed(const QString &root, const QList<HostDisk> &listed);

// Total size of the files inside a folder.
qint64 folderSize(const QString &folder);

} // namespace hostsim
