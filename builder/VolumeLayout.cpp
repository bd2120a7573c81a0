#include "builder/VolumeLayout.h"

qint64 fileSystemOverhead(VolumeFileSystem fileSystem, qint64 volumeBytes) {
    const qint64 reserve = fileSystem == VolumeFileSystem::Fat32 ? 8 * kMebibyte : 72 * kMebibyte;
    return reserve + (volumeBytes + 255) / 256;
}

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
