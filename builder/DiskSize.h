// The size of one disk as Windows reports it, asked of the same listing tool
// that lists the removable disks (WMIC, or PowerShell where WMIC is gone).
#pragma once

#include <QString>

class QTextStream;

// "Size" of disk diskNumber, appended to listingFile.
QString wmicDiskSizeCommand(const QString &systemDirectory, int diskNumber,
                            const QString &listingFile);
QString powerShellDiskSizeCommand(const QString &systemDirectory, int diskNumber,
                                  const QString &listingFile);

// The size in bytes from the tool's output: the first line that holds only
// a number. -1 when there is none (no such disk, or no medium in it).
qint64 parseDiskSize(QTextStream &output);

struct DiskSizeResult {
    qint64 bytes = -1; // -1: unknown
    QString command;
    long long exitCode = 0;
    qint64 milliseconds = 0;
};

// Runs the query through the command runner and reads its answer from the
// listing file in tempDirectory, which it removes before and after.
DiskSizeResult queryDiskSize(const QString &systemDirectory, const QString &tempDirectory,
                             int diskNumber);
