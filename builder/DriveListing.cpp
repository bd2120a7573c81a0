#include "builder/DriveListing.h"

#include "builder/HostPath.h"
#include "command/CommandQuoting.h"
#include "command/ShellCommandRunner.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTextStream>

namespace {

bool isAllDigits(const QString &token) {
    if (token.isEmpty())
        return false;
    for (const QChar c : token) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// WMIC's doubled line end leaves a lone "\r" as the last token of a line.
bool isOnlyControlCharacters(const QString &token) {
    for (const QChar c : token) {
        if (c.category() != QChar::Other_Control)
            return false;
    }
    return true;
}

} // namespace

QString driveListingFile(const QString &tempDirectory) {
    return tempDirectory + QStringLiteral("DiskInfo.txt");
}

QString wmicListingCommand(const QString &systemDirectory, const QString &listingFile) {
    return systemDirectory +
           QStringLiteral("\\wbem\\WMIC.exe diskdrive where \"MediaType='Removable Media'\" "
                          "get Index,Model >> ") +
           quoteIfNeeded(listingFile);
}

QString powerShellListingCommand(const QString &systemDirectory, const QString &listingFile) {
    return systemDirectory +
           QStringLiteral(
               R"(\WindowsPowerShell\v1.0\powershell.exe -NoProfile -NonInteractive -Command )"
               R"("[Console]::OutputEncoding = [Text.Encoding]::UTF8; )"
               R"(Get-CimInstance -ClassName Win32_DiskDrive -Filter \"MediaType='Removable Media'\" )"
               R"(| ForEach-Object { '' + $_.Index + ' ' + $_.Model }" >> )") +
           quoteIfNeeded(listingFile);
}

ListedDrive parseDriveLine(const QString &line, bool *ok) {
    *ok = false;
    ListedDrive drive;
    // WMIC's header line ("Index  Model") fails the number test below; a
    // model may hold the word "Index" itself and is a drive all the same.
    QStringList tokens = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (tokens.size() < 2 || !isAllDigits(tokens.first()))
        return drive;
    if (isOnlyControlCharacters(tokens.last()))
        tokens.removeLast();
    bool isNumber = false;
    drive.number = tokens.first().toInt(&isNumber, 10);
    if (!isNumber)
        return drive; // too large for a disk number
    for (int i = 1; i < tokens.size(); ++i)
        drive.model += tokens.at(i) + QLatin1Char(' ');
    *ok = true;
    return drive;
}

QList<ListedDrive> parseDriveListing(QTextStream &listing) {
    QList<ListedDrive> drives;
    QString line;
    while (listing.readLineInto(&line)) {
        bool ok = false;
        const ListedDrive drive = parseDriveLine(line, &ok);
        if (ok)
            drives.append(drive);
    }
    return drives;
}

DriveListingResult listRemovableDrives(const QString &systemDirectory,
                                       const QString &tempDirectory) {
    DriveListingResult result;
    const QString listingFile = driveListingFile(tempDirectory);
    const QString local = hostPath(listingFile);
    const bool hasWmic =
        QFileInfo(hostPath(systemDirectory + QStringLiteral("\\wbem\\WMIC.exe"))).isFile();
    result.command = hasWmic ? wmicListingCommand(systemDirectory, listingFile)
                             : powerShellListingCommand(systemDirectory, listingFile);

    // The listing is appended to the file: an old listing that cannot be
    // removed would be read as today's, so it counts as no listing at all.
    if (QFile::exists(local) && !QFile::remove(local)) {
        result.exitCode = kCommandNotStarted;
        return result;
    }
    QElapsedTimer timer;
    timer.start();
    result.exitCode = ShellCommandRunner(result.command.toUtf8().constData(), "");
    result.milliseconds = timer.elapsed();

    QFile file(local);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return result;
    result.opened = true;
    QTextStream stream(&file);
    // WMIC writes UTF-16 with a byte-order mark, which decides by itself;
    // PowerShell is told to write UTF-8, so a model such as "Überstick" is
    // not read in whatever 8-bit code page this system happens to use.
    if (!hasWmic)
        stream.setCodec("UTF-8");
    result.drives = parseDriveListing(stream);
    file.close();
    QFile::remove(local);
    return result;
}
