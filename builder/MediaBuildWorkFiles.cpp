// The build's work folders and files: made new and the tool's own before the
// build, and gone after it, however it ends, but for a verified image kept
// for the next build.
#include "builder/MediaBuildPipeline.h"

#include "builder/BuildCommands.h"
#include "builder/DiskScript.h"
#include "builder/ThreadDriveClone.h"
#include "builder/WorkFolders.h"
#include "command/HostPath.h"

#include <QDir>
#include <QFile>

using namespace buildpaths;

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
    made = made && QDir().mkdir(hostPath(QLatin1String(kWinreFolder)));
    return redirected ? WorkFolders::Redirected : made ? WorkFolders::Ready : WorkFolders::Failed;
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
