// How the chosen disk is partitioned and formatted for a build, decided from
// its size and from what the drive must hold, before anything touches it.
#pragma once

#include <QtGlobal>

enum class VolumeFileSystem { Fat32, Ntfs };

constexpr qint64 kMebibyte = Q_INT64_C(1) << 20;
constexpr qint64 kGibibyte = Q_INT64_C(1) << 30;

// FAT32 holds no file of 4 GiB or more.
constexpr qint64 kFat32LargestFile = 4 * kGibibyte - 1;
// Windows formats FAT32 only up to about 32 GiB, and where exactly each
// version draws the line is not certain: the tool stays clear of it, so that
// a large stick never fails at the format once it has been cleaned.
constexpr qint64 kFat32LargestVolume = 32000 * kMebibyte;
// diskpart starts the first partition 1 MiB into the disk.
constexpr qint64 kPartitionOffset = kMebibyte;

struct VolumeLayout {
    VolumeFileSystem fileSystem = VolumeFileSystem::Fat32;
    qint64 partitionMegabytes = 0; // diskpart's "size=" in MB; 0: the rest of the disk
    qint64 volumeBytes = 0;        // size of the partition
    qint64 neededBytes = 0;        // the files plus the file system's own space
    bool fits = false;             // the drive can hold everything
};

// The space a file system takes from a volume for itself: its tables (two
// FATs of 4 bytes per cluster of at least 2 KiB, or NTFS's bitmap and master
// file table), at most 1/256 of the volume, and a fixed reserve for the boot
// area, the root folder, the partly used last cluster of every file and, on
// NTFS, its 64 MiB journal.
qint64 fileSystemOverhead(VolumeFileSystem fileSystem, qint64 volumeBytes);

// UEFI firmware starts only from FAT, so the drive is FAT32 whenever the
// image allows it, on a partition of at most 32000 MB; an image of 4 GiB or
// more gets NTFS over the whole disk (BIOS start-up only). A negative size
// means unknown, which never fits.
VolumeLayout chooseVolumeLayout(qint64 diskBytes, qint64 imageBytes, qint64 bootFileBytes);
