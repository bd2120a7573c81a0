// The image of the last build that downloaded and verified one, kept in the
// download folder for the next build of this run of the tool: a Recreate
// after a stick was pulled, or a second stick, then costs no second
// download. It stays held as during a build, so no other process may change
// it, and it is removed when the tool ends.
#pragma once

#include "platform/HostPlatform.h"

#include <QByteArray>
#include <QString>

#include <memory>

class BuildLog;

struct KeptImage {
    QString link;      // the link it came from
    QByteArray digest; // its SHA-256, taken as it arrived
    qint64 size = 0;
    hostplatform::RemoteVersion version; // what the server said of it then
};

// Whether the server's answer now names the version that was downloaded: the
// same length, and the same ETag or, from a server that sends none, the same
// Last-Modified. A server that sends neither confirms nothing.
bool sameRemoteVersion(const hostplatform::RemoteVersion &kept,
                       const hostplatform::RemoteVersion &now);

class ImageCache {
public:
    ImageCache() = default;
    ~ImageCache();
    ImageCache(const ImageCache &) = delete;
    ImageCache &operator=(const ImageCache &) = delete;

    bool holdsImage() const { return m_held != nullptr; }
    const KeptImage &image() const { return m_image; }

    // Keeps the image under the download's name, held as it is.
    void keep(const KeptImage &image, std::unique_ptr<hostplatform::HeldFile> held);
    // Whether the kept image may serve a build from link: it came from that
    // link, it is still the held file with the digest on record, and it is
    // the published one (the pinned digest where there is one, else the
    // server confirms that it still serves that version). The log says why.
    // The question to the server is given up when stop says so.
    bool stillPublished(const QString &link, const QByteArray &pinnedDigest, BuildLog &log,
                        const hostplatform::StopCheck &stop);
    // The hold, for the build that uses the image; it hands it back with
    // keep() when the build ends.
    std::unique_ptr<hostplatform::HeldFile> takeHold();
    // Forgets a kept image and removes it together with the download folder.
    void discard();

private:
    bool unchangedOnDisk(BuildLog &log);

    KeptImage m_image;
    std::unique_ptr<hostplatform::HeldFile> m_held;
};
