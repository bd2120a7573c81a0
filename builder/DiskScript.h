// The diskpart scripts of a build and the hidden script file that carries
// them to diskpart.
#pragma once

#include "builder/VolumeLayout.h"

#include <QChar>
#include <QString>

// The script file: tempDirectory (ending in a backslash) + "USBDiskFormat.bat".
QString diskScriptFile(const QString &tempDirectory);

// Cleans the disk, makes it MBR with one active partition (of
// partitionMegabytes MB, or the whole disk when 0), formats it with the file
// system and gives it the drive letter. Lines are separated by LF, no final
// break.
QString formatScript(int diskNumber, QChar letter = QLatin1Char('R'),
                     VolumeFileSystem fileSystem = VolumeFileSystem::Fat32,
                     qint64 partitionMegabytes = 0);

// Detaches the letter Q. No volume is selected first; diskpart then fails
// without effect, which the build accepts.
QString letterRemovalScript();

// system directory + "\diskpart.exe /s " + the script file.
QString diskpartCommand(const QString &systemDirectory, const QString &scriptFile);

// Creates (or empties) the script file as a hidden file, then writes the
// script into it. Returns false when the file could not be written.
bool writeDiskScript(const QString &scriptFile, const QString &script);
