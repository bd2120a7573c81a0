// Where a build's image comes from: the link configured for this system and
// what vouches for it; the image kept from the last verified download while
// it is still the published one, else a new download, sized, held and hashed,
// and checked against a pinned digest.
#include "builder/MediaBuildPipeline.h"

#include "app/AppContext.h"
#include "app/HostSide.h"
#include "builder/BuildCommands.h"
#include "builder/ThreadDriveClone.h"
#include "builder/WorkFolders.h"
#include "command/HostPath.h"

#include <QFileInfo>

using namespace buildpaths;

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
