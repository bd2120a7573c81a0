// What the build tells diskpart and what it reads from diskpart's answers;
// the hidden script file that carries the letter removal to diskpart.
#pragma once

#include "builder/VolumeLayout.h"
#include "drives/DriveListing.h"

#include <QChar>
#include <QString>
#include <QStringList>

// What diskpart writes when it waits for the next command.
constexpr char kDiskpartPrompt[] = "DISKPART> ";

// "select disk N", N in decimal.
QString selectDiskCommand(int diskNumber);

// The commands that make the selected disk the recovery drive: clean it,
// make it MBR with one active partition (of partitionMegabytes MB, or the
// whole disk when 0), format it with the file system and give it the drive
// letter.
QStringList formatCommands(QChar letter, VolumeFileSystem fileSystem, qint64 partitionMegabytes);

// What diskpart's "detail disk" shows of the selected disk. Its labels are
// in the system's language, so only what reads the same in every language
// is taken: the model is the first line that is neither blank nor the
// command or prompt echoed; the disk ID is the first token after it, in the
// lines up to the first blank one, of eight hex digits (the MBR signature)
// or a {GUID} (a GPT disk). Without a disk ID no disk was selected.
struct DiskDetail {
    QString model;
    QString diskId;
};
DiskDetail parseDiskDetail(const QString &answer);

// An MBR disk's ID as diskpart shows it (eight hex digits) in the decimal
// form Windows lists as the disk's signature; empty for any other ID.
QString listedSignature(const QString &diskId);

// Whether the disk diskpart shows is the chosen one.
bool detailShowsDrive(const DiskDetail &shown, const ListedDrive &chosen);

// Whether the answer to "detail disk" lists a volume on the letter with the
// file system.
bool detailShowsVolume(const QString &answer, QChar letter, VolumeFileSystem fileSystem);

// The script file: tempDirectory (ending in a backslash) + "USBDiskFormat.bat".
QString diskScriptFile(const QString &tempDirectory);

// Detaches the letter Q. No volume is selected first; diskpart then fails
// without effect, which the build accepts.
QString letterRemovalScript();

// system directory + "\diskpart.exe /s " + the script file.
QString diskpartCommand(const QString &systemDirectory, const QString &scriptFile);

// Creates (or empties) the script file as a hidden file, then writes the
// script into it. Returns false when the file could not be written.
bool writeDiskScript(const QString &scriptFile, const QString &script);
