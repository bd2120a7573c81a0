#include "builder/ImageCache.h"

#include "builder/BuildCommands.h"
#include "builder/BuildLog.h"
#include "builder/WorkFolders.h"
#include "command/HostPath.h"

namespace {

std::string imageFile() {
    return hostPath(QLatin1String(buildpaths::kDownloadedImage)).toStdString();
}

} // namespace

bool sameRemoteVersion(const hostplatform::RemoteVersion &kept,
                       const hostplatform::RemoteVersion &now) {
    if (kept.length < 0 || kept.length != now.length)
        return false;
    if (!kept.etag.empty() || !now.etag.empty())
        return kept.etag == now.etag;
    return !kept.lastModified.empty() && kept.lastModified == now.lastModified;
}

ImageCache::~ImageCache() {
    discard();
}

void ImageCache::keep(const KeptImage &image, std::unique_ptr<hostplatform::HeldFile> held) {
    m_image = image;
    m_held = std::move(held);
}

std::unique_ptr<hostplatform::HeldFile> ImageCache::takeHold() {
    return std::move(m_held);
}

void ImageCache::discard() {
    // Without a hold the folder is no kept image's: a build may be using it.
    if (!m_held)
        return;
    // The hold goes first, or the image could not be removed.
    m_held.reset();
    m_image = KeptImage();
    releaseWorkFolder(QLatin1String(buildpaths::kDownloadFolder));
}

namespace {

// The log says of every kept image whether it serves the build, and why.
bool verdict(BuildLog &log, bool used, const QString &why) {
    log.note(QStringLiteral("the image kept from the last download is %1: %2")
                 .arg(used ? QLatin1String("used, no download")
                           : QLatin1String("not used, downloaded again"),
                      why));
    return used;
}

QString describe(const hostplatform::RemoteVersion &version) {
    return QStringLiteral("%1 bytes, ETag %2, Last-Modified %3")
        .arg(version.length)
        .arg(QString::fromStdString(version.etag), QString::fromStdString(version.lastModified));
}

} // namespace

bool ImageCache::unchangedOnDisk(BuildLog &log) {
    // The hold keeps other processes from writing on Windows, not on every
    // host: the digest is taken again, and only the one on record will do.
    if (!m_held || !m_held->stillAt(imageFile()))
        return verdict(log, false, QStringLiteral("another file stands under its name"));
    unsigned char digest[hostplatform::kSha256Size];
    if (!hostplatform::sha256OfFile(imageFile(), digest) ||
        QByteArray(reinterpret_cast<const char *>(digest), hostplatform::kSha256Size) !=
            m_image.digest)
        return verdict(log, false,
                       QStringLiteral("its SHA-256 is no longer the one taken as it arrived"));
    return true;
}

bool ImageCache::stillPublished(const QString &link, const QByteArray &pinnedDigest, BuildLog &log,
                                const hostplatform::StopCheck &stop) {
    if (link != m_image.link)
        return verdict(log, false, QStringLiteral("it came from another link"));
    if (!unchangedOnDisk(log))
        return false;
    if (!pinnedDigest.isEmpty())
        return verdict(log, pinnedDigest == m_image.digest,
                       QStringLiteral("SHA-256 %1, %2 pinned")
                           .arg(QString::fromLatin1(m_image.digest.toHex()),
                                QString::fromLatin1(pinnedDigest.toHex())));
    hostplatform::RemoteVersion now;
    if (!hostplatform::remoteVersion(link.toStdWString(), &now, stop))
        return verdict(log, false,
                       stop && stop()
                           ? QStringLiteral("the build was stopped while the server was asked")
                           : QStringLiteral("the server could not be asked"));
    return verdict(log, sameRemoteVersion(m_image.version, now),
                   QStringLiteral("the server announces %1; downloaded: %2")
                       .arg(describe(now), describe(m_image.version)));
}
