#include "builder/WorkFolders.h"

#include "platform/HostPlatform.h"

namespace {

std::wstring wide(QString windowsFolder) {
    while (windowsFolder.endsWith(QLatin1Char('\\')))
        windowsFolder.chop(1);
    return windowsFolder.toStdWString();
}

} // namespace

QString scratchFolder(const QString &tempDirectory) {
    return tempDirectory + QStringLiteral("BootableMediaCreator\\");
}

FolderClaim claimWorkFolder(const QString &windowsFolder) {
    const std::wstring folder = wide(windowsFolder);
    FolderClaim claim;
    switch (hostplatform::pathKind(folder)) {
    case hostplatform::PathKind::Link:
        claim.wasLink = true;
        if (!hostplatform::removeLink(folder))
            return claim;
        break;
    case hostplatform::PathKind::Folder:
        // Whatever is in a folder the tool did not just make may have been
        // put there by someone else: nothing of it is used.
        if (!hostplatform::removeFolderTree(folder))
            return claim;
        break;
    case hostplatform::PathKind::File:
        return claim;
    case hostplatform::PathKind::Missing:
        break;
    }
    // Exclusive: had anything taken the name again since, this fails.
    claim.made = hostplatform::createPrivateFolder(folder);
    return claim;
}

void releaseWorkFolder(const QString &windowsFolder) {
    const std::wstring folder = wide(windowsFolder);
    switch (hostplatform::pathKind(folder)) {
    case hostplatform::PathKind::Link:
        hostplatform::removeLink(folder);
        break;
    case hostplatform::PathKind::Folder:
        hostplatform::removeFolderTree(folder);
        break;
    case hostplatform::PathKind::File:
    case hostplatform::PathKind::Missing:
        break;
    }
}

ScopedScratchFolder::ScopedScratchFolder(const QString &tempDirectory)
    : m_path(scratchFolder(tempDirectory)), m_made(claimWorkFolder(m_path).made) {}

ScopedScratchFolder::~ScopedScratchFolder() {
    if (m_made)
        releaseWorkFolder(m_path);
}
