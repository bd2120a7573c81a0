// The build's dealings with the chosen drive: that it is still the drive the
// user chose, what it will hold and under which letter, the boot files copied
// to it, and the check of the finished drive against its sources.
#include "builder/MediaBuildPipeline.h"

#include "builder/BootFilePlan.h"
#include "builder/BuildCommands.h"
#include "command/HostPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

using namespace buildpaths;

namespace {

bool volumeExists(QChar letter) {
    return QFileInfo(hostPath(QString(letter) + QStringLiteral(":\\"))).exists();
}

// Creates a folder on a volume only when the volume is there; a missing
// drive letter must never turn into a folder of its own.
void createFolder(const QString &windowsPath) {
    if (QFileInfo(hostPath(windowsPath.left(3))).exists())
        QDir().mkpath(hostPath(windowsPath));
}

bool sameContent(const QString &windowsPathA, const QString &windowsPathB) {
    QFile a(hostPath(windowsPathA));
    QFile b(hostPath(windowsPathB));
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly))
        return false;
    return a.readAll() == b.readAll() && a.error() == QFile::NoError && b.error() == QFile::NoError;
}

} // namespace

bool MediaBuildPipeline::chosenDriveIsStillThere() {
    // The list may have been made minutes ago; the drive in that slot may
    // have been swapped since, for a stick of the very same model. Only the
    // drive the user chose may be erased.
    const DriveListingResult listing =
        listRemovableDrives(m_systemDirectory, m_scratchFolder, DriveLetters::Skip);
    m_log.command(listing.command, listing.exitCode, listing.milliseconds);
    // A listing tool that failed may have written a partial list.
    const bool listed = listing.opened && listing.exitCode == 0;
    const auto same = [this](const ListedDrive &d) { return isSameDrive(d, m_chosenDisk); };
    const bool present = listed && std::any_of(listing.drives.begin(), listing.drives.end(), same);
    const auto atNumber =
        std::find_if(listing.drives.begin(), listing.drives.end(),
                     [this](const ListedDrive &d) { return d.number == m_chosenDisk.number; });
    m_log.check(QStringLiteral("chosen disk still attached"), present,
                !listing.opened ? QStringLiteral("the drive listing could not be read")
                : atNumber == listing.drives.end() || present
                    ? QStringLiteral("%1 removable disk(s) listed").arg(listing.drives.size())
                    : QStringLiteral("disk %1 is now \"%2\" (serial \"%3\", device %4, %5 "
                                     "bytes, signature \"%6\")")
                          .arg(atNumber->number)
                          .arg(atNumber->model, atNumber->serial, atNumber->deviceId)
                          .arg(atNumber->size)
                          .arg(atNumber->signature));
    return present;
}

VolumeLayout MediaBuildPipeline::chooseLayout(qint64 imageSize) {
    const qint64 diskBytes = m_chosenDisk.size;
    qint64 bootFiles = 0;
    for (const QString &source : bootFileSources(m_windowsDirectory)) {
        if (source.endsWith(QLatin1String("\\*"))) {
            const QFileInfoList files =
                QDir(hostPath(source.chopped(2)))
                    .entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
            for (const QFileInfo &file : files)
                bootFiles += file.size();
        } else {
            bootFiles += QFileInfo(hostPath(source)).size();
        }
    }
    const VolumeLayout layout = chooseVolumeLayout(diskBytes, imageSize, bootFiles);
    const QString fileSystem = layout.fileSystem == VolumeFileSystem::Fat32
                                   ? QStringLiteral("FAT32")
                                   : QStringLiteral("NTFS");
    m_log.check(
        QStringLiteral("drive large enough for the image and the boot files"), layout.fits,
        diskBytes < 0
            ? QStringLiteral("the size of the disk is unknown, or it holds no medium")
            : QStringLiteral("disk %1 bytes, %2 partition of %3 bytes, %4 bytes needed (image "
                             "%5, boot files %6, file system %7)")
                  .arg(diskBytes)
                  .arg(fileSystem)
                  .arg(layout.volumeBytes)
                  .arg(layout.neededBytes)
                  .arg(imageSize)
                  .arg(bootFiles)
                  .arg(layout.neededBytes - imageSize - bootFiles));
    if (layout.fileSystem == VolumeFileSystem::Ntfs) {
        m_log.note(QStringLiteral("the image is 4 GiB or larger, more than FAT32 can hold: the "
                                  "drive gets NTFS and starts BIOS computers only; UEFI start-up "
                                  "needs an image under 4 GiB"));
    }
    return layout;
}

QChar MediaBuildPipeline::chooseVolumeLetter() {
    const QChar letter = newVolumeLetter(&volumeExists);
    m_log.check(QStringLiteral("drive letter for the new volume"), !letter.isNull(),
                letter.isNull() ? QStringLiteral("R to Z are all in use")
                                : QString(letter) + QLatin1Char(':'));
    return letter;
}

bool MediaBuildPipeline::copyBootFiles(QChar letter) {
    // Without the Windows folder the sources would be relative to the
    // current drive's root, which anyone may fill.
    if (m_windowsDirectory.isEmpty()) {
        m_log.check(QStringLiteral("boot file copies reported success"), false,
                    QStringLiteral("the Windows folder is unknown"));
        return false;
    }
    // Every copy is tried, so the log names each one that failed.
    bool allCopied = true;
    for (const BootFileAction &action :
         bootFilePlan(m_systemDirectory, m_windowsDirectory, letter)) {
        if (action.kind == BootFileAction::Kind::CreateFolder)
            createFolder(action.text);
        else if (runCommand(action.text) != 0)
            allCopied = false;
    }
    m_log.check(QStringLiteral("boot file copies reported success"), allCopied);
    return allCopied;
}

bool MediaBuildPipeline::finishedDriveIsComplete(QChar letter, const QByteArray &imageHash) {
    const QString imageOnDrive = QString(letter) + QStringLiteral(":\\sources\\boot.wim");
    const QStringList fonts = QDir(hostPath(bootFontsFolder(m_windowsDirectory)))
                                  .entryList(QDir::Files | QDir::Hidden | QDir::System);
    // Every file must be the one it was copied from: a copy cut short by a
    // write error still exists, so existence proves nothing.
    QStringList missing;
    QStringList differing;
    for (const DriveFile &file :
         finishedDriveLayout(m_windowsDirectory, letter, fonts, QLatin1String(kDownloadedImage))) {
        const QFileInfo copy(hostPath(file.onDrive));
        if (!copy.isFile()) {
            missing.append(file.onDrive);
            continue;
        }
        if (copy.size() != QFileInfo(hostPath(file.source)).size()) {
            differing.append(file.onDrive);
            continue;
        }
        // The image is compared by its hash below; the boot files are small
        // enough to compare whole.
        if (file.onDrive != imageOnDrive && !sameContent(file.source, file.onDrive))
            differing.append(file.onDrive);
    }
    m_log.check(QStringLiteral("boot files and image on the drive"), missing.isEmpty(),
                missing.isEmpty()
                    ? QString()
                    : QStringLiteral("missing: ") + missing.join(QStringLiteral(", ")));
    m_log.check(
        QStringLiteral("files on the drive identical to their sources"), differing.isEmpty(),
        differing.isEmpty() ? QString()
                            : QStringLiteral("differing: ") + differing.join(QStringLiteral(", ")));

    // Read from the drive itself, not from the file cache that still holds
    // what was just copied: a drive that lost the writes must fail here.
    unsigned char digest[hostplatform::kSha256Size];
    const bool read = hostplatform::sha256OfFile(hostPath(imageOnDrive).toStdString(), digest,
                                                 /*fromDevice=*/true);
    const QByteArray copiedHash =
        read ? QByteArray(reinterpret_cast<const char *>(digest), hostplatform::kSha256Size)
             : QByteArray();
    const bool identical = read && copiedHash == imageHash;
    m_log.check(QStringLiteral("image on the drive identical to the download"), identical,
                QStringLiteral("SHA-256 %1").arg(QString::fromLatin1(copiedHash.toHex())));
    return missing.isEmpty() && differing.isEmpty() && identical;
}
