// The list of removable disks as Windows reports it: the listing command, the
// parser of its output file, and the routine that runs one listing. The drive
// list of the main window and the builder's last check before it erases a
// disk both use it, so they can never disagree about a disk.
#pragma once

#include <QList>
#include <QString>

class QTextStream;

struct ListedDrive {
    int number = 0; // Windows disk number
    QString model;  // model text as the list shows it
};

inline bool operator==(const ListedDrive &a, const ListedDrive &b) {
    return a.number == b.number && a.model == b.model;
}

// The listing file: tempDirectory (ending in a backslash) + "DiskInfo.txt".
QString driveListingFile(const QString &tempDirectory);

// WMIC's query for the removable disks, appended to listingFile.
QString wmicListingCommand(const QString &systemDirectory, const QString &listingFile);

// The same query through PowerShell, for systems without WMIC: one line
// "<Index> <Model>" per removable disk, written in UTF-8.
QString powerShellListingCommand(const QString &systemDirectory, const QString &listingFile);

// Reads the drives from a listing, in file order. Lines that do not start
// with a disk number (WMIC's header among them) are skipped.
QList<ListedDrive> parseDriveListing(QTextStream &listing);
ListedDrive parseDriveLine(const QString &line, bool *ok);

struct DriveListingResult {
    bool opened = false; // false: the listing file could not be read
    QList<ListedDrive> drives;
    QString command;        // the command line that made the listing
    long long exitCode = 0; // its exit code, or kCommandNotStarted
    qint64 milliseconds = 0;
};

// Runs one listing: removes a stale listing file, runs WMIC (or PowerShell
// when WMIC is missing) through the command runner, reads the file (a
// byte-order mark decides its encoding) and removes it again.
DriveListingResult listRemovableDrives(const QString &systemDirectory,
                                       const QString &tempDirectory);
