// How the chosen disk is partitioned and formatted for a build, decided from
// its size and from what the drive must hold, before anything touches it.
#pragma once

#include <QtGlobal>

enum class VolumeFileSystem { Fat32, Ntfs };

constexpr qint64 kMebibyte = Q_INT64_C(1) << 20;
// diskpart starts the first partition 1 MiB into the disk.
constexpr qint64 kPartitionOffset = kMebibyte;

struct VolumeLayout {
    VolumeFileSystem fileSystem = VolumeFileSystem::Fat32;
    qint64 partitionMegabytes = 0; // diskpart's "size=" in MB; 0: the rest of the disk
    qint64 volumeBytes = 0;        // size of the partition
    qint64 neededBytes = 0;        // the files plus the file system's own space
    bool fits = false;             // the drive can hold everything
};

// UEFI firmware starts only from FAT, so the drive is FAT32 whenever the
// image allows it, on a partition of at most 32000 MB; an image of 4 GiB or
// more gets NTFS over the whole disk (BIOS start-up only). A negative size
// means unknown, which never fits.
VolumeLayout chooseVolumeLayout(qint64 diskBytes, qint64 imageBytes, qint64 bootFileBytes);
