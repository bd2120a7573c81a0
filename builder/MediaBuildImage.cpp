// Where a build's image comes from: the image kept from the last verified
// download while it is still the published one, else a new download, sized,
// held and hashed, and checked against a pinned digest.
#include "builder/MediaBuildPipeline.h"

#include "builder/BuildCommands.h"
#include "builder/HostPath.h"
#include "builder/ThreadDriveClone.h"
#include "builder/WorkFolders.h"

#include <QFileInfo>

using namespace buildpaths;

bool MediaBuildPipeline::useKeptImage(const ImageSource &source, qint64 *imageSize,
                                      QByteArray *imageHash, std::optional<BuildFailure> *failure) {
    ImageCache &kept = m_worker.keptImage();
    if (!kept.holdsImage())
        return false;
    if (kept.stillPublished(source.link, source.pinnedDigest, m_log,
                            [this]() { return m_worker.stopRequested(); })) {
        m_verifiedImage = kept.image();
        m_heldImage = kept.takeHold();
        *imageSize = m_verifiedImage->size;
        *imageHash = m_verifiedImage->digest;
        emit m_worker.PrintRunningProcess(
            ThreadDriveClone::tr("Using the boot image already downloaded..."));
        return true;
    }
    // Stopped while the server was asked: the image stays for the next build.
    if (m_worker.stopRequested())
        return false;
    // Nothing of it is used: the download starts in a folder made new.
    kept.discard();
    const FolderClaim claim = claimWorkFolder(QLatin1String(kDownloadFolder));
    m_log.check(QStringLiteral("work folder made"), claim.made, QLatin1String(kDownloadFolder));
    if (!claim.made)
        *failure =
            claim.wasLink ? BuildFailure::WorkFolderRedirected : BuildFailure::DownloadFailed;
    return false;
}

std::optional<BuildFailure> MediaBuildPipeline::obtainImage(const ImageSource &source,
                                                            qint64 *imageSize,
                                                            QByteArray *imageHash) {
    std::optional<BuildFailure> failure;
    if (useKeptImage(source, imageSize, imageHash, &failure) || failure ||
        m_worker.stopRequested()) {
        emit m_worker.OnStopgGif();
        return failure;
    }
    hostplatform::RemoteVersion served;
    const hostplatform::DownloadResult downloaded = download(source.link, &served);
    emit m_worker.OnStopgGif();
    if (m_worker.stopRequested())
        return std::nullopt;
    if (downloaded == hostplatform::DownloadResult::NotAuthenticated)
        return BuildFailure::NotAuthenticated;

    // A download that failed may still leave a file of a passing size (a
    // partial transfer): only a finished download is an image.
    *imageSize = QFileInfo(hostPath(QLatin1String(kDownloadedImage))).size();
    const bool sizeOk = passesSizeTest(*imageSize);
    m_log.check(
        QStringLiteral("image size"), sizeOk,
        QStringLiteral("%1 bytes, at least %2 needed").arg(*imageSize).arg(kMinimumImageSize));
    if (downloaded != hostplatform::DownloadResult::Completed || !sizeOk)
        return downloaded == hostplatform::DownloadResult::Completed ? BuildFailure::ImageTooSmall
                                                                     : BuildFailure::DownloadFailed;
    if (const std::optional<BuildFailure> refusal = holdAndHashImage(*imageSize, imageHash))
        return refusal;
    if (!source.pinnedDigest.isEmpty()) {
        const bool published = *imageHash == source.pinnedDigest;
        m_log.check(QStringLiteral("image is the published one"), published,
                    QStringLiteral("SHA-256 %1 pinned")
                        .arg(QString::fromLatin1(source.pinnedDigest.toHex())));
        if (!published)
            return BuildFailure::ImageNotPublished;
    }
    // Verified: kept for another build of this run.
    m_verifiedImage = KeptImage{source.link, *imageHash, *imageSize, served};
    return std::nullopt;
}

void MediaBuildPipeline::keepImageOnlyIfIntact() {
    // The drive did not hold what the image's digest says: the image itself
    // may be what changed, and is kept only while it still has that digest.
    QByteArray digestNow;
    if (m_verifiedImage && (!sha256Of(QLatin1String(kDownloadedImage), &digestNow) ||
                            digestNow != m_verifiedImage->digest))
        m_verifiedImage.reset();
}
