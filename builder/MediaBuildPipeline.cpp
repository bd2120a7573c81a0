#include "builder/MediaBuildPipeline.h"

#include "app/AppContext.h"
#include "app/HostSide.h"
#include "builder/BootFilePlan.h"
#include "builder/BuildCommands.h"
#include "builder/DiskScript.h"
#include "builder/DiskpartFormat.h"
#include "builder/DriveListing.h"
#include "builder/FileGrowthWatch.h"
#include "builder/HostPath.h"
#include "builder/ProgressSpan.h"
#include "builder/ThreadDriveClone.h"
#include "builder/WorkFolders.h"
#include "command/ShellCommandRunner.h"
#include "platform/HostPlatform.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

using namespace buildpaths;

namespace {

QString path(const char *windowsPath) {
    return hostPath(QLatin1String(windowsPath));
}

bool volumeExists(QChar letter) {
    return QFileInfo(hostPath(QString(letter) + QStringLiteral(":\\"))).exists();
}

// Creates a folder on a volume only when the volume is there; a missing
// drive letter must never turn into a folder of its own.
void createFolder(const QString &windowsPath) {
    if (QFileInfo(hostPath(windowsPath.left(3))).exists())
        QDir().mkpath(hostPath(windowsPath));
}

constexpr int kProgressIntervalMs = 250;
const char kDownloadProgress[] =
    QT_TRANSLATE_NOOP("ThreadDriveClone", "Downloading the boot image: %1 of %2 MB");
const char kDownloadProgressOpen[] =
    QT_TRANSLATE_NOOP("ThreadDriveClone", "Downloading the boot image: %1 MB");
const char kCopyProgress[] =
    QT_TRANSLATE_NOOP("ThreadDriveClone", "Copying the boot image to the drive: %1 of %2 MB");

// "<what>: 120 of 480 MB", in whole MiB as Windows counts them; without a
// total the text has no place for one.
QString progressText(const char *source, qint64 done, qint64 total) {
    constexpr qint64 kMiB = 1 << 20;
    const QString text = QCoreApplication::translate("ThreadDriveClone", source).arg(done / kMiB);
    return total > 0 ? text.arg(total / kMiB) : text;
}

} // namespace

MediaBuildPipeline::MediaBuildPipeline(ThreadDriveClone &worker, const QString &systemDirectory,
                                       const ListedDrive &chosenDisk)
    : m_worker(worker), m_systemDirectory(systemDirectory), m_diskNumber(chosenDisk.number),
      m_chosenDisk(chosenDisk) {}

void MediaBuildPipeline::run() {
    m_tempDirectory = QString::fromStdWString(hostplatform::tempDirectory());
    m_windowsDirectory = QString::fromStdWString(hostplatform::windowsDirectory());
    m_scratchFolder = scratchFolder(m_tempDirectory);
    m_scriptFile = diskScriptFile(m_scratchFolder);
    m_log.open(hostPath(m_tempDirectory + QLatin1String(kBuildLogName)));
    m_log.note(QStringLiteral("build for disk %1 \"%2\" (serial \"%3\", device %4, %5 bytes, "
                              "signature \"%6\"), system directory %7, Windows in %8")
                   .arg(m_diskNumber)
                   .arg(m_chosenDisk.model, m_chosenDisk.serial, m_chosenDisk.deviceId)
                   .arg(m_chosenDisk.size)
                   .arg(m_chosenDisk.signature, m_systemDirectory, m_windowsDirectory));

    const WorkFolders folders = prepareWorkFolders();
    if (folders != WorkFolders::Ready) {
        // Nowhere safe to put the image: the build cannot go on, and must
        // not look as if it could.
        emit m_worker.OnStopgGif();
        endIncomplete(folders == WorkFolders::Redirected ? BuildFailure::WorkFolderRedirected
                                                         : BuildFailure::DownloadFailed);
        return;
    }

    const ImageSource source = chooseImageSource();
    if (source.refusal) {
        // Without a link the window must still learn that the build is over.
        emit m_worker.OnStopgGif();
        endIncomplete(*source.refusal);
        return;
    }

    qint64 imageSize = 0;
    QByteArray imageHash;
    const std::optional<BuildFailure> noImage = obtainImage(source, &imageSize, &imageHash);
    if (m_worker.stopRequested()) {
        endStopped();
        return;
    }
    if (noImage) {
        endIncomplete(*noImage);
        return;
    }

    // The check that the chosen drive is still there is the last query
    // before the format; the layout is reckoned from the size the check has
    // just confirmed.
    if (!chosenDriveIsStillThere()) {
        endIncomplete(BuildFailure::DriveChanged);
        return;
    }
    const VolumeLayout layout = chooseLayout(imageSize);
    // Decided while the disk is still untouched: a build that cannot fit
    // must not cost the user what is on the drive.
    if (!layout.fits) {
        m_log.note(QStringLiteral("the drive cannot hold this build: it was left as it was"));
        endIncomplete(BuildFailure::DriveTooSmall);
        return;
    }
    const QChar letter = chooseVolumeLetter();
    if (letter.isNull()) {
        endIncomplete(BuildFailure::NoDriveLetter);
        return;
    }

    // The last moment the user may still leave: from here on the drive is
    // being written, and a build stopped halfway would leave it unusable.
    if (!m_worker.beginWritingDrive()) {
        endStopped();
        return;
    }
    emit m_worker.SetProgressValue(5);
    QString signature;
    const DiskpartFormatResult formatted = formatThroughDiskpart(
        {m_systemDirectory, m_chosenDisk, letter, layout},
        [this]() { return chosenDriveIsStillThere(); }, m_log, &signature);
    // The new partition table brought the disk a new signature: the window
    // records it, or a new build on this drive would take it for another.
    if (formatted == DiskpartFormatResult::Formatted && signature != m_chosenDisk.signature)
        emit m_worker.ChosenDriveSigned(signature);
    if (formatted != DiskpartFormatResult::Formatted) {
        // A disk that diskpart did not show as the chosen one was not written.
        if (formatted == DiskpartFormatResult::Failed)
            cleanUp();
        endIncomplete(formatted == DiskpartFormatResult::Failed ? BuildFailure::FormatFailed
                                                                : BuildFailure::DriveChanged);
        return;
    }
    emit m_worker.SetProgressValue(10);
    emit m_worker.SetProgressValue(15);

    emit m_worker.PrintRunningProcess(ThreadDriveClone::tr("Copying system files..."));
    const QString imageSource = imageSourcePath();
    emit m_worker.SetProgressValue(20);
    runCommand(dismCleanupCommand(m_systemDirectory));
    emit m_worker.SetProgressValue(50);
    emit m_worker.SetProgressValue(65);

    emit m_worker.PrintRunningProcess(ThreadDriveClone::tr("Finalizing recovery drive..."));
    const bool bootFilesCopied = copyBootFiles(letter);
    emit m_worker.SetProgressValue(75);

    if (QFile::exists(path(kRecEnvFile)))
        QFile::remove(path(kRecEnvFile));
    emit m_worker.PrintRunningProcess(ThreadDriveClone::tr("Copying resources..."));
    emit m_worker.PrintRunningProcess(ThreadDriveClone::tr("Finalizing all settings..."));
    emit m_worker.SetProgressValue(95);

    runCommand(dismCleanupCommand(m_systemDirectory));
    if (!heldImageUnchanged()) {
        cleanUp();
        endIncomplete(BuildFailure::ImageChanged);
        return;
    }
    bool imageCopied = false;
    {
        // Xcopy shows nothing of its own in a hidden console: the window
        // follows the image as it grows on the drive.
        ProgressInSpan bar(kCopySpan);
        const FileGrowthWatch copyProgress(
            hostPath(QString(letter) + QStringLiteral(":\\sources\\boot.wim")),
            [this, imageSize, &bar](qint64 copied) {
                emit m_worker.PrintRunningProcess(progressText(kCopyProgress, copied, imageSize));
                const int value = bar.advance(copied, imageSize);
                if (value >= 0)
                    emit m_worker.SetProgressValue(value);
            });
        imageCopied = runCommand(imageCopyCommand(m_systemDirectory, imageSource, letter)) == 0;
    }
    m_log.check(QStringLiteral("image copy reported success"), imageCopied);

    // A copy whose tool reported a failure fails the build even where the
    // file looks right.
    const bool complete =
        finishedDriveIsComplete(letter, imageHash) && bootFilesCopied && imageCopied;
    // Xcopy read whatever stood under the image's name: it must still be the
    // file the digest was taken of.
    const bool imageKept = heldImageUnchanged();
    if (!complete)
        keepImageOnlyIfIntact();
    cleanUp();
    if (!complete || !imageKept) {
        endIncomplete(!imageKept                       ? BuildFailure::ImageChanged
                      : bootFilesCopied && imageCopied ? BuildFailure::CheckFailed
                                                       : BuildFailure::CopyFailed);
        return;
    }
    emit m_worker.SetProgressValue(100);
    m_log.note(QStringLiteral("build complete"));
    emit m_worker.ProcessComplete();
}

MediaBuildPipeline::WorkFolders MediaBuildPipeline::prepareWorkFolders() {
    // Without a temporary folder the scratch folder's name would be
    // relative, that is wherever the current folder happens to be.
    if (m_tempDirectory.isEmpty())
        return WorkFolders::Failed;
    bool redirected = false;
    bool made = true;
    QStringList folders{QString::fromLatin1(kMountFolder), m_scratchFolder};
    // A kept image's folder stays as it is; the image is checked before use.
    if (!m_worker.keptImage().holdsImage())
        folders.append(QString::fromLatin1(kDownloadFolder));
    for (const QString &folder : folders) {
        const FolderClaim claim = claimWorkFolder(folder);
        if (claim.wasLink)
            m_log.check(QStringLiteral("work folder is no link"), false,
                        folder + QStringLiteral(": the link was removed, what it led to was not "
                                                "touched"));
        m_log.check(QStringLiteral("work folder made"), claim.made, folder);
        redirected = redirected || claim.wasLink;
        made = made && claim.made;
    }
    // Inside the tool's own folder, it is the tool's own too.
    made = made && QDir().mkdir(path(kWinreFolder));
    return redirected ? WorkFolders::Redirected : made ? WorkFolders::Ready : WorkFolders::Failed;
}

MediaBuildPipeline::ImageSource MediaBuildPipeline::chooseImageSource() {
    bool windows7 = false;
    for (const QString &key : windowsVersionKeys()) {
        const QString productName =
            readRegistryValue(key, QStringLiteral("ProductName")).toString();
        if (namesWindows7(productName)) {
            windows7 = true;
            break;
        }
    }
    m_log.note(windows7 ? QStringLiteral("Windows 7: using its own image")
                        : QStringLiteral("not Windows 7"));
    ImageSource source;
    source.link = readRegistryValue(AppContext::hostSettingsKey(), downloadLinkValueName(windows7))
                      .toString();
    bool malformed = false;
    source.pinnedDigest = parsePinnedDigest(
        readRegistryValue(AppContext::hostSettingsKey(), pinnedDigestValueName(windows7))
            .toString(),
        &malformed);

    const bool usable = isUsableDownloadLink(source.link);
    m_log.check(QStringLiteral("download link"), usable,
                source.link.isEmpty() ? QStringLiteral("none configured")
                                      : linkForLog(source.link));
    if (!usable) {
        source.refusal = BuildFailure::NoDownloadLink;
        return source;
    }
    // A digest that is there but unreadable is a pin that cannot be kept,
    // not the absence of one.
    const bool authenticated =
        !malformed && isAuthenticatedSource(source.link, source.pinnedDigest);
    m_log.check(QStringLiteral("download link is secure"), authenticated,
                malformed                       ? QStringLiteral("the pinned SHA-256 is malformed")
                : source.pinnedDigest.isEmpty() ? QStringLiteral("https, no SHA-256 pinned")
                                                : QStringLiteral("SHA-256 pinned"));
    if (!authenticated)
        source.refusal = BuildFailure::InsecureLink;
    return source;
}

std::optional<BuildFailure> MediaBuildPipeline::holdAndHashImage(qint64 imageSize,
                                                                 QByteArray *imageHash) {
    // Held from before its digest is finished until the drive is checked:
    // no other process may change the file Xcopy will read.
    const std::string local = hostPath(QLatin1String(kDownloadedImage)).toStdString();
    m_heldImage.reset(new hostplatform::HeldFile(local));
    m_log.check(QStringLiteral("image held against changes"), m_heldImage->isHeld());
    if (!m_heldImage->isHeld())
        return BuildFailure::ImageChanged;

    unsigned char arrived[hostplatform::kSha256Size];
    // How much was hashed while the download ran tells whether the download
    // wrote the file as it arrived or only at its end.
    const qint64 hashedEarly = m_arrivingImage ? qint64(m_arrivingImage->hashedBytes()) : 0;
    const bool hashedOnArrival = m_arrivingImage && m_arrivingImage->finish(arrived);
    m_arrivingImage.reset();
    if (hashedOnArrival)
        *imageHash = QByteArray(reinterpret_cast<const char *>(arrived), hostplatform::kSha256Size);
    const bool hashed = hashedOnArrival || sha256Of(QLatin1String(kDownloadedImage), imageHash);
    m_log.check(QStringLiteral("image readable"), hashed,
                hashed ? QStringLiteral("SHA-256 %1 (%2)")
                             .arg(QString::fromLatin1(imageHash->toHex()),
                                  hashedOnArrival
                                      ? QStringLiteral("%1 of %2 bytes hashed as they arrived")
                                            .arg(hashedEarly)
                                            .arg(imageSize)
                                      : QStringLiteral("in one pass"))
                       : QString());
    if (!hashed)
        return BuildFailure::DownloadFailed;
    // The digest is the held file's only if that file is still the one
    // under the name.
    if (!heldImageUnchanged())
        return BuildFailure::ImageChanged;
    return std::nullopt;
}

bool MediaBuildPipeline::heldImageUnchanged() {
    const bool unchanged =
        m_heldImage &&
        m_heldImage->stillAt(hostPath(QLatin1String(kDownloadedImage)).toStdString());
    if (!unchanged)
        m_log.check(QStringLiteral("image unchanged since its digest"), false,
                    QLatin1String(kDownloadedImage));
    return unchanged;
}

hostplatform::DownloadResult MediaBuildPipeline::download(const QString &link,
                                                          hostplatform::RemoteVersion *served) {
    using hostplatform::DownloadResult;
    QElapsedTimer timer;
    timer.start();
    const auto stop = [this]() { return m_worker.stopRequested(); };
    // The image is hashed as it arrives wherever the download writes it as
    // it goes, so the self-check needs no second pass over it. (URLDownloadToFileW
    // writes the file only at its end, from the web cache: there the hash
    // is taken then, in one pass.)
    m_arrivingImage.reset(
        new hostplatform::GrowingFileHash(hostPath(QLatin1String(kDownloadedImage)).toStdString()));
    QElapsedTimer sinceReport;
    ProgressInSpan bar(kDownloadSpan);
    const auto progress = [&](unsigned long long received, unsigned long long total) {
        // Once the user has stopped the build the window says so; no amount
        // may take its place.
        if (stop() || (sinceReport.isValid() && sinceReport.elapsed() < kProgressIntervalMs))
            return;
        sinceReport.start();
        m_arrivingImage->catchUp();
        emit m_worker.PrintRunningProcess(
            total > 0 ? progressText(kDownloadProgress, qint64(received), qint64(total))
                      : progressText(kDownloadProgressOpen, qint64(received), 0));
        const int value = bar.advance(qint64(received), qint64(total));
        if (value >= 0)
            emit m_worker.SetProgressValue(value);
    };
    const DownloadResult result = hostplatform::downloadToFile(
        link.toStdWString(), QString::fromLatin1(kDownloadedImage).toStdWString(), stop, progress,
        served);
    m_log.note(QStringLiteral("download of %1 %2 (%3 ms)")
                   .arg(linkForLog(link),
                        result == DownloadResult::Completed ? QLatin1String("succeeded")
                        : result == DownloadResult::NotAuthenticated
                            ? QLatin1String("refused: the server could not prove who it is")
                            : QLatin1String("failed"))
                   .arg(timer.elapsed()));
    if (result == DownloadResult::Completed)
        return result;
    // Whatever the failed attempt left behind must not pass for the image.
    m_arrivingImage.reset();
    QFile::remove(path(kDownloadedImage));
    // The fallback would meet the same server: no second try.
    if (stop() || result == DownloadResult::NotAuthenticated)
        return result;

    // The fallback is bounded like the first attempt: the transfer service
    // would wait on a stalled server for days. Its progress shows as the
    // growth of its temporary file beside the image.
    const QString bitsadmin = bitsadminProgram(m_systemDirectory);
    const QString shown = bitsadmin + QLatin1Char(' ') + bitsadminArguments(linkForLog(link));
    qDebug().noquote() << shown;
    hostplatform::StallWatch watch;
    QElapsedTimer fallbackTimer;
    fallbackTimer.start();
    const QString folder = path(kDownloadFolder);
    const long long code = runProgram(bitsadmin, bitsadminArguments(link), shown, [&]() {
        const qint64 arrived = bytesIn(folder);
        if (stop())
            return true;
        emit m_worker.PrintRunningProcess(progressText(kDownloadProgressOpen, arrived, 0));
        return watch.stalled(static_cast<unsigned long long>(fallbackTimer.elapsed()),
                             static_cast<unsigned long long>(arrived));
    });
    if (code == kCommandStopped) {
        m_log.check(QStringLiteral("download by bitsadmin"), false,
                    stop() ? QStringLiteral("stopped by the user")
                           : QStringLiteral("given up: no progress"));
        // Ending bitsadmin leaves its job with the service, partial file and all.
        runProgram(bitsadmin, bitsadminCancelArguments(),
                   bitsadmin + QLatin1Char(' ') + bitsadminCancelArguments(), {});
        QFile::remove(path(kDownloadedImage));
        return DownloadResult::Failed;
    }
    const bool fetched = code == 0;
    m_log.check(QStringLiteral("download by bitsadmin"), fetched);
    return fetched ? DownloadResult::Completed : DownloadResult::Failed;
}

qint64 MediaBuildPipeline::bytesIn(const QString &localFolder) {
    qint64 total = 0;
    const QFileInfoList files =
        QDir(localFolder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &file : files)
        total += file.size();
    return total;
}

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

bool MediaBuildPipeline::sameContent(const QString &windowsPathA, const QString &windowsPathB) {
    QFile a(hostPath(windowsPathA));
    QFile b(hostPath(windowsPathB));
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly))
        return false;
    return a.readAll() == b.readAll() && a.error() == QFile::NoError && b.error() == QFile::NoError;
}

void MediaBuildPipeline::cleanUp() {
    if (writeDiskScript(m_scriptFile, letterRemovalScript()))
        runCommand(diskpartCommand(m_systemDirectory, m_scriptFile));
    else
        m_log.check(QStringLiteral("letter removal script written"), false, m_scriptFile);
    QFile::remove(hostPath(m_scriptFile));

    // These two fail on Windows (there is no rmdir.exe); the removals of
    // empty folders below do the real work without touching anything else.
    runCommand(rmdirCommand(m_systemDirectory, QLatin1String(kMountFolder)));
    runCommand(rmdirCommand(m_systemDirectory, QLatin1String(kDownloadFolder)));
    removeWorkFiles();
}

void MediaBuildPipeline::removeWorkFiles() {
    m_arrivingImage.reset();
    // A verified image stays, held, for another build of this run (the tool
    // removes it when it ends); any other is never left behind, however the
    // build ends. The hold goes first, or the image could not be removed.
    const std::string image = hostPath(QLatin1String(kDownloadedImage)).toStdString();
    if (m_verifiedImage && m_heldImage && m_heldImage->stillAt(image))
        m_worker.keptImage().keep(*m_verifiedImage, std::move(m_heldImage));
    m_heldImage.reset();
    if (!m_tempDirectory.isEmpty())
        releaseWorkFolder(m_scratchFolder);
    releaseWorkFolder(QLatin1String(kMountFolder));
    if (!m_worker.keptImage().holdsImage())
        releaseWorkFolder(QLatin1String(kDownloadFolder));
}

void MediaBuildPipeline::endIncomplete(BuildFailure cause) {
    // A build the user stopped is not a failed one: no failure dialog.
    if (m_worker.stopRequested()) {
        endStopped();
        return;
    }
    removeWorkFiles();
    m_log.note(QStringLiteral("build incomplete"));
    emit m_worker.BuildFailed(static_cast<int>(cause));
    emit m_worker.IncompleteFile();
}

void MediaBuildPipeline::endStopped() {
    removeWorkFiles();
    m_log.note(QStringLiteral("build stopped by the user before the drive was touched"));
}

long long MediaBuildPipeline::runCommand(const QString &command,
                                         const std::function<bool()> &stop) {
    QElapsedTimer timer;
    timer.start();
    const long long code = ShellCommandRunner(command.toUtf8().constData(), "", stop);
    m_log.command(command, code, timer.elapsed());
    return code;
}

long long MediaBuildPipeline::runProgram(const QString &program, const QString &arguments,
                                         const QString &shownAs,
                                         const std::function<bool()> &stop) {
    QElapsedTimer timer;
    timer.start();
    const long long code =
        ProgramRunner(program.toUtf8().constData(), arguments.toUtf8().constData(), stop);
    m_log.command(shownAs, code, timer.elapsed());
    return code;
}

bool MediaBuildPipeline::sha256Of(const QString &windowsPath, QByteArray *hash) {
    unsigned char digest[hostplatform::kSha256Size];
    if (!hostplatform::sha256OfFile(hostPath(windowsPath).toStdString(), digest))
        return false;
    *hash = QByteArray(reinterpret_cast<const char *>(digest), hostplatform::kSha256Size);
    return true;
}
