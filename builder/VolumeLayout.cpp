#include "builder/VolumeLayout.h"

namespace {

constexpr qint64 kGibibyte = Q_INT64_C(1) << 30;

// FAT32 holds no file of 4 GiB or more.
constexpr qint64 kFat32LargestFile = 4 * kGibibyte - 1;
// Windows formats FAT32 only up to about 32 GiB, and where exactly each
// version draws the line is not certain: the tool stays clear of it, so that
// a large stick never fails at the format once it has been cleaned.
constexpr qint64 kFat32LargestVolume = 32000 * kMebibyte;

// The space a file system takes from a volume for itself: its tables (two
// FATs of 4 bytes per cluster of at least 2 KiB, or NTFS's bitmap and master
// file table), at most 1/256 of the volume, and a fixed reserve for the boot
// area, the root folder, the partly used last cluster of every file and, on
// NTFS, its 64 MiB journal.
qint64 fileSystemOverhead(VolumeFileSystem fileSystem, qint64 volumeBytes) {
    const qint64 reserve = fileSystem == VolumeFileSystem::Fat32 ? 8 * kMebibyte : 72 * kMebibyte;
    return reserve + (volumeBytes + 255) / 256;
}

} // namespace

VolumeLayout chooseVolumeLayout(qint64 diskBytes, qint64 imageBytes, qint64 bootFileBytes) {
    VolumeLayout layout;
    if (diskBytes < 0 || imageBytes < 0 || bootFileBytes < 0)
        return layout;
    layout.fileSystem =
        imageBytes <= kFat32LargestFile ? VolumeFileSystem::Fat32 : VolumeFileSystem::Ntfs;
    layout.volumeBytes = qMax<qint64>(0, diskBytes - kPartitionOffset);
    if (layout.fileSystem == VolumeFileSystem::Fat32 && layout.volumeBytes > kFat32LargestVolume) {
        layout.partitionMegabytes = kFat32LargestVolume / kMebibyte;
        layout.volumeBytes = kFat32LargestVolume;
    }
    layout.neededBytes =
        imageBytes + bootFileBytes + fileSystemOverhead(layout.fileSystem, layout.volumeBytes);
    layout.fits = layout.neededBytes <= layout.volumeBytes;
    return layout;
}
