// What the build puts on the new volume: the boot files for BIOS and UEFI
// start-up, taken from the running Windows installation, and the image.
#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

struct BootFileAction {
    enum class Kind { CreateFolder, Copy };
    Kind kind;
    QString text; // the folder's Windows path, or the copy's command line
};

inline bool operator==(const BootFileAction &a, const BootFileAction &b) {
    return a.kind == b.kind && a.text == b.text;
}

// The folder creations and copies, in the order they run. The boot files
// come from the Boot folder of windowsDirectory (the running installation's
// own, wherever it is); letter is the new volume's drive letter.
QList<BootFileAction> bootFilePlan(const QString &systemDirectory, const QString &windowsDirectory,
                                   QChar letter = QLatin1Char('R'));

// The source of every copy of the plan, in order, once per copy (a file
// copied twice is named twice); a source ending in "\*" names every file of
// its folder.
QStringList bootFileSources(const QString &windowsDirectory);

// Where the boot fonts are taken from.
QString bootFontsFolder(const QString &windowsDirectory);

// One file of a finished drive and the file it was copied from.
struct DriveFile {
    QString onDrive; // Windows path on the new volume
    QString source;  // Windows path of the original
};

// Every file that a finished drive holds, with its source. fontFiles are the
// names of the files in bootFontsFolder(); each is copied to both font
// folders. imageSource is the downloaded image.
QList<DriveFile> finishedDriveLayout(const QString &windowsDirectory, QChar letter,
                                     const QStringList &fontFiles, const QString &imageSource);
