// The folders the tool writes in and reads back from: on the system drive
// (the image) and in the temporary folder (the drive listing and the
// diskpart script, which other programs read seconds after the tool wrote
// them). Each is made new by the tool, so that only its user, the
// Administrators and SYSTEM can change what is in it, and a link planted in
// its place is never followed.
#pragma once

#include <QString>

// The tool's own folder in the temporary folder (which ends in a backslash):
// tempDirectory + "BootableMediaCreator\", ending in a backslash too.
QString scratchFolder(const QString &tempDirectory);

struct FolderClaim {
    bool made = false;    // the folder is new and the tool's own
    bool wasLink = false; // a link stood in its place (removed, never followed)
};

// Makes windowsFolder new and the tool's own. A leftover folder of an
// earlier run goes first, with its content; a link in its place is removed
// itself, never what it leads to, and reported; a file in the way stays,
// and the claim fails.
FolderClaim claimWorkFolder(const QString &windowsFolder);

// Removes a work folder with its content. A link found in its place or in
// it is removed itself, never followed; a file in its place stays.
void releaseWorkFolder(const QString &windowsFolder);

// Claims the scratch folder for as long as it lives, for a listing outside
// a build.
class ScopedScratchFolder {
public:
    explicit ScopedScratchFolder(const QString &tempDirectory);
    ~ScopedScratchFolder();
    ScopedScratchFolder(const ScopedScratchFolder &) = delete;
    ScopedScratchFolder &operator=(const ScopedScratchFolder &) = delete;

    bool isMade() const { return m_made; }
    QString path() const { return m_path; }

private:
    QString m_path;
    bool m_made = false;
};
