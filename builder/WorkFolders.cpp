#include "builder/WorkFolders.h"

#include "platform/HostPlatform.h"

namespace {

std::wstring wide(QString windowsFolder) {
    while (windowsFolder.endsWith(QLatin1Char('\\')))
        windowsFolder.chop(1);
    return windowsFolder.toStdWString();
}

// Clears the name: a link is removed itself, a folder with its content
// (links inside removed, never followed); a file stays. True when nothing
// stands under the name any more.
bool clearName(const std::wstring &folder, bool *wasLink) {
    switch (hostplatform::pathKind(folder)) {
    case hostplatform::PathKind::Link:
        *wasLink = true;
        return hostplatform::removeLink(folder);
    case hostplatform::PathKind::Folder:
        return hostplatform::removeFolderTree(folder);
    case hostplatform::PathKind::File:
        return false;
    case hostplatform::PathKind::Missing:
        break;
    }
    return true;
}

} // namespace

QString scratchFolder(const QString &tempDirectory) {
    return tempDirectory + QStringLiteral("BootableMediaCreator\\");
}

FolderClaim claimWorkFolder(const QString &windowsFolder) {
    const std::wstring folder = wide(windowsFolder);
    FolderClaim claim;
    // Whatever is in a folder the tool did not just make may have been put
    // there by someone else: nothing of it is used. Made exclusively: had
    // anything taken the name again since, this fails.
    claim.made = clearName(folder, &claim.wasLink) && hostplatform::createPrivateFolder(folder);
    return claim;
}

void releaseWorkFolder(const QString &windowsFolder) {
    bool wasLink = false;
    clearName(wide(windowsFolder), &wasLink);
}

ScopedScratchFolder::ScopedScratchFolder(const QString &tempDirectory)
    : m_path(scratchFolder(tempDirectory)), m_made(claimWorkFolder(m_path).made) {}

ScopedScratchFolder::~ScopedScratchFolder() {
    if (m_made)
        releaseWorkFolder(m_path);
}
