// One build of the recovery drive, step by step, on the worker thread: work
// folders, download, size test, last check that the chosen disk is still the
// very drive the user chose, format, boot files, image, check of the finished
// drive, clean-up.
// Reports through the worker's signals.
#pragma once

#include "builder/BuildFailure.h"
#include "builder/BuildLog.h"
#include "builder/ImageCache.h"
#include "builder/VolumeLayout.h"
#include "drives/DriveListing.h"
#include "platform/HostPlatform.h"

#include <QByteArray>
#include <QChar>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class ThreadDriveClone;

class MediaBuildPipeline {
public:
    MediaBuildPipeline(ThreadDriveClone &worker, const QString &systemDirectory,
                       const ListedDrive &chosenDisk);

    void run();

private:
    // The build's steps, in order, after the log is opened. Each returns
    // whether the build goes on; one that returns false has ended it, failed
    // or stopped.
    void openLog();
    bool makeWorkFolders();
    bool findImageSource();
    bool fetchImage();
    bool confirmDrive();
    bool formatDrive();
    bool copySystemFiles();
    bool copyImage();
    bool checkFinishedDrive();

    enum class WorkFolders { Ready, Failed, Redirected };
    // The work folders, made new and the tool's own.
    WorkFolders prepareWorkFolders();

    struct ImageSource {
        QString link;
        QByteArray pinnedDigest; // empty: none pinned
        std::optional<BuildFailure> refusal;
    };
    // The link for this system and what vouches for its image.
    ImageSource chooseImageSource();
    // The image for this build: the kept one while it is still the published
    // one, else a new download, verified. The failure when there is none; a
    // stop shows as the worker's stopRequested().
    std::optional<BuildFailure> obtainImage(const ImageSource &source, qint64 *imageSize,
                                            QByteArray *imageHash);
    // Whether the kept image serves this build. One that does not is
    // removed and its folder made new; *failure when that cannot be done.
    bool useKeptImage(const ImageSource &source, qint64 *imageSize, QByteArray *imageHash,
                      std::optional<BuildFailure> *failure);
    // served gets what the server said of the version it sent.
    hostplatform::DownloadResult download(const QString &link, hostplatform::RemoteVersion *served);
    // The transfer service's try, after the first attempt failed.
    hostplatform::DownloadResult downloadByBitsadmin(const QString &link);
    // Holds the downloaded image and takes its digest; the failure when
    // either cannot be done.
    std::optional<BuildFailure> holdAndHashImage(qint64 imageSize, QByteArray *imageHash);
    // Whether the file under the image's name is still the held one.
    bool heldImageUnchanged();
    // Whether the disk at the chosen number is still the drive the user
    // chose: the same model, serial number, device id, size and signature.
    bool chosenDriveIsStillThere();
    // The chosen drive's size against what the drive will hold.
    VolumeLayout chooseLayout(qint64 imageSize);
    QChar chooseVolumeLetter();
    bool copyBootFiles(QChar letter);
    bool finishedDriveIsComplete(QChar letter, const QByteArray &imageHash);
    void keepImageOnlyIfIntact();
    void cleanUp();
    void removeWorkFiles();
    void endIncomplete(BuildFailure cause);
    void endStopped();

    long long runCommand(const QString &command, const std::function<bool()> &stop = {});
    // Starts the program directly (no interpreter), shown in the log as
    // shownAs (its link may hold secrets).
    long long runProgram(const QString &program, const QString &arguments, const QString &shownAs,
                         const std::function<bool()> &stop);
    bool sha256Of(const QString &windowsPath, QByteArray *hash);

    ThreadDriveClone &m_worker;
    const QString m_systemDirectory;
    const int m_diskNumber;
    const ListedDrive m_chosenDisk;
    QString m_tempDirectory;
    QString m_windowsDirectory;
    QString m_scratchFolder;
    QString m_scriptFile;
    BuildLog m_log;
    // What one step hands to the next.
    ImageSource m_source;
    qint64 m_imageSize = 0;
    QByteArray m_imageHash;
    VolumeLayout m_layout;
    QChar m_letter;
    bool m_bootFilesCopied = false;
    bool m_imageCopied = false;
    // The first download attempt's file, hashed as it arrives.
    std::unique_ptr<hostplatform::GrowingFileHash> m_arrivingImage;
    // The downloaded image, held from its digest until the drive is checked.
    std::unique_ptr<hostplatform::HeldFile> m_heldImage;
    // The image once it is known to be the published one.
    std::optional<KeptImage> m_verifiedImage;
};
