// The list of removable disks as Windows reports it: the listing commands,
// the parsers of their output files, and the routine that runs one listing.
// The drive list of the main window and the builder's last check before it
// erases a disk both use it, so they can never disagree about a disk.
#pragma once

#include <QList>
#include <QMap>
#include <QMetaType>
#include <QString>
#include <QStringList>

class QTextStream;

// One removable disk. Two sticks of one model differ in their serial number,
// device id or signature, and often in their size; the disk number alone is
// only the slot Windows gave the stick that is plugged in now.
struct ListedDrive {
    int number = 0;      // Windows disk number
    QString model;       // model text, without the blanks around it
    QString serial;      // SerialNumber, without the blanks around it; may be empty
    QString deviceId;    // PNPDeviceID
    qint64 size = -1;    // bytes; -1: unknown, or no medium in the drive
    QString signature;   // the disk signature as Windows gives it; empty where it has none
    QStringList letters; // "E:", of its volumes; shown to the user, never part of the identity
};
Q_DECLARE_METATYPE(ListedDrive)

// Whether two listings name the same drive: number, model, serial, device
// id, size and signature all equal. The letters do not count.
bool isSameDrive(const ListedDrive &a, const ListedDrive &b);

// The listing file: folder (ending in a backslash) + "DiskInfo.txt"; the
// letters' file beside it.
QString driveListingFile(const QString &folder);
QString driveLettersFile(const QString &folder);

// WMIC's query for the removable disks and for the drive letters of every
// partition, appended to file.
QString wmicListingCommand(const QString &systemDirectory, const QString &file);
QString wmicLettersCommand(const QString &systemDirectory, const QString &file);

// The same queries through PowerShell, for systems without WMIC: one line per
// disk (the fields in WMIC's column order, separated by a tab) and one per
// partition with a letter ("Disk #1, Partition #0", tab, "E:"), in UTF-8.
QString powerShellListingCommand(const QString &systemDirectory, const QString &file);
QString powerShellLettersCommand(const QString &systemDirectory, const QString &file);

// Reads the drives from a listing of either tool, in file order. WMIC's
// columns are read at the places its header gives them; lines without a
// plain decimal disk number are skipped.
QList<ListedDrive> parseDriveListing(QTextStream &listing);

// The drive letters of each disk number, from either tool's letters query.
QMap<int, QStringList> parseDriveLetters(QTextStream &letters);

struct DriveListingResult {
    bool opened = false; // false: the listing file could not be read
    QList<ListedDrive> drives;
    QString command;        // the command line that made the listing
    long long exitCode = 0; // its exit code, or kCommandNotStarted
    qint64 milliseconds = 0;
};

enum class DriveLetters { Skip, Ask };

// Runs one listing in folder, a folder of the tool's own: removes a stale
// listing file, runs WMIC (or PowerShell when WMIC is missing) through the
// command runner, reads the file (a byte-order mark decides its encoding)
// and removes it again. With DriveLetters::Ask a second query adds the
// letters; its failure costs only the letters.
DriveListingResult listRemovableDrives(const QString &systemDirectory, const QString &folder,
                                       DriveLetters letters);
