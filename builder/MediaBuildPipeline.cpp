// A build as its list of steps, from the log's start to the drive reported
// ready, and the ways a build ends; the steps' own work lies in the
// MediaBuild*.cpp files beside this one.
#include "builder/MediaBuildPipeline.h"

#include "builder/BuildCommands.h"
#include "builder/DiskScript.h"
#include "builder/DiskpartFormat.h"
#include "builder/FileGrowthWatch.h"
#include "builder/ProgressSpan.h"
#include "builder/ThreadDriveClone.h"
#include "builder/WorkFolders.h"
#include "command/HostPath.h"
#include "command/ShellCommandRunner.h"

#include <QElapsedTimer>
#include <QFile>

using namespace buildpaths;

namespace {

const char kCopyProgress[] =
    QT_TRANSLATE_NOOP("ThreadDriveClone", "Copying the boot image to the drive: %1 of %2 MB");

} // namespace

MediaBuildPipeline::MediaBuildPipeline(ThreadDriveClone &worker, const QString &systemDirectory,
                                       const ListedDrive &chosenDisk)
    : m_worker(worker), m_systemDirectory(systemDirectory), m_diskNumber(chosenDisk.number),
      m_chosenDisk(chosenDisk) {}

void MediaBuildPipeline::run() {
    using Step = bool (MediaBuildPipeline::*)();
    static constexpr Step kSteps[] = {
        &MediaBuildPipeline::makeWorkFolders, &MediaBuildPipeline::findImageSource,
        &MediaBuildPipeline::fetchImage,      &MediaBuildPipeline::confirmDrive,
        &MediaBuildPipeline::formatDrive,     &MediaBuildPipeline::copySystemFiles,
        &MediaBuildPipeline::copyImage,       &MediaBuildPipeline::checkFinishedDrive,
    };
    openLog();
    for (const Step step : kSteps) {
        if (!(this->*step)())
            return;
    }
    emit m_worker.SetProgressValue(100);
    m_log.note(QStringLiteral("build complete"));
    emit m_worker.ProcessComplete();
}

void MediaBuildPipeline::openLog() {
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
}

bool MediaBuildPipeline::makeWorkFolders() {
    const WorkFolders folders = prepareWorkFolders();
    if (folders == WorkFolders::Ready)
        return true;
    // Nowhere safe to put the image: the build cannot go on, and must not
    // look as if it could.
    emit m_worker.OnStopgGif();
    endIncomplete(folders == WorkFolders::Redirected ? BuildFailure::WorkFolderRedirected
                                                     : BuildFailure::DownloadFailed);
    return false;
}

bool MediaBuildPipeline::findImageSource() {
    m_source = chooseImageSource();
    if (!m_source.refusal)
        return true;
    // Without a link the window must still learn that the build is over.
    emit m_worker.OnStopgGif();
    endIncomplete(*m_source.refusal);
    return false;
}

bool MediaBuildPipeline::fetchImage() {
    const std::optional<BuildFailure> noImage = obtainImage(m_source, &m_imageSize, &m_imageHash);
    if (m_worker.stopRequested()) {
        endStopped();
        return false;
    }
    if (noImage) {
        endIncomplete(*noImage);
        return false;
    }
    return true;
}

bool MediaBuildPipeline::confirmDrive() {
    // The check that the chosen drive is still there is the last query
    // before the format; the layout is reckoned from the size the check has
    // just confirmed.
    if (!chosenDriveIsStillThere()) {
        endIncomplete(BuildFailure::DriveChanged);
        return false;
    }
    m_layout = chooseLayout(m_imageSize);
    // Decided while the disk is still untouched: a build that cannot fit
    // must not cost the user what is on the drive.
    if (!m_layout.fits) {
        m_log.note(QStringLiteral("the drive cannot hold this build: it was left as it was"));
        endIncomplete(BuildFailure::DriveTooSmall);
        return false;
    }
    m_letter = chooseVolumeLetter();
    if (m_letter.isNull()) {
        endIncomplete(BuildFailure::NoDriveLetter);
        return false;
    }
    return true;
}

bool MediaBuildPipeline::formatDrive() {
    // The last moment the user may still leave: from here on the drive is
    // being written, and a build stopped halfway would leave it unusable.
    if (!m_worker.beginWritingDrive()) {
        endStopped();
        return false;
    }
    emit m_worker.SetProgressValue(5);
    QString signature;
    const DiskpartFormatResult formatted = formatThroughDiskpart(
        {m_systemDirectory, m_chosenDisk, m_letter, m_layout},
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
        return false;
    }
    emit m_worker.SetProgressValue(10);
    emit m_worker.SetProgressValue(15);
    return true;
}

bool MediaBuildPipeline::copySystemFiles() {
    emit m_worker.PrintRunningProcess(ThreadDriveClone::tr("Copying system files..."));
    emit m_worker.SetProgressValue(20);
    runCommand(dismCleanupCommand(m_systemDirectory));
    emit m_worker.SetProgressValue(50);
    emit m_worker.SetProgressValue(65);

    emit m_worker.PrintRunningProcess(ThreadDriveClone::tr("Finalizing recovery drive..."));
    // Whether they all copied is judged with the finished drive.
    m_bootFilesCopied = copyBootFiles(m_letter);
    emit m_worker.SetProgressValue(75);

    const QString recEnv = hostPath(QLatin1String(kRecEnvFile));
    if (QFile::exists(recEnv))
        QFile::remove(recEnv);
    emit m_worker.PrintRunningProcess(ThreadDriveClone::tr("Copying resources..."));
    emit m_worker.PrintRunningProcess(ThreadDriveClone::tr("Finalizing all settings..."));
    emit m_worker.SetProgressValue(95);
    return true;
}

bool MediaBuildPipeline::copyImage() {
    runCommand(dismCleanupCommand(m_systemDirectory));
    if (!heldImageUnchanged()) {
        cleanUp();
        endIncomplete(BuildFailure::ImageChanged);
        return false;
    }
    {
        // Xcopy shows nothing of its own in a hidden console: the window
        // follows the image as it grows on the drive.
        ProgressInSpan bar(kCopySpan);
        const FileGrowthWatch copyProgress(
            hostPath(QString(m_letter) + QStringLiteral(":\\sources\\boot.wim")),
            [this, &bar](qint64 copied) {
                emit m_worker.PrintRunningProcess(progressText(kCopyProgress, copied, m_imageSize));
                const int value = bar.advance(copied, m_imageSize);
                if (value >= 0)
                    emit m_worker.SetProgressValue(value);
            });
        m_imageCopied =
            runCommand(imageCopyCommand(m_systemDirectory, imageSourcePath(), m_letter)) == 0;
    }
    m_log.check(QStringLiteral("image copy reported success"), m_imageCopied);
    return true;
}

bool MediaBuildPipeline::checkFinishedDrive() {
    // A copy whose tool reported a failure fails the build even where the
    // file looks right.
    const bool complete =
        finishedDriveIsComplete(m_letter, m_imageHash) && m_bootFilesCopied && m_imageCopied;
    // Xcopy read whatever stood under the image's name: it must still be the
    // file the digest was taken of.
    const bool imageKept = heldImageUnchanged();
    if (!complete)
        keepImageOnlyIfIntact();
    cleanUp();
    if (complete && imageKept)
        return true;
    endIncomplete(!imageKept                           ? BuildFailure::ImageChanged
                  : m_bootFilesCopied && m_imageCopied ? BuildFailure::CheckFailed
                                                       : BuildFailure::CopyFailed);
    return false;
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
