#include "builder/DiskSize.h"

#include "builder/DriveListing.h"
#include "builder/HostPath.h"
#include "command/CommandQuoting.h"
#include "command/ShellCommandRunner.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

QString wmicDiskSizeCommand(const QString &systemDirectory, int diskNumber,
                            const QString &listingFile) {
    return systemDirectory +
           QStringLiteral("\\wbem\\WMIC.exe diskdrive where Index=%1 get Size >> ")
               .arg(diskNumber) +
           quoteIfNeeded(listingFile);
}

QString powerShellDiskSizeCommand(const QString &systemDirectory, int diskNumber,
                                  const QString &listingFile) {
    return systemDirectory +
           QStringLiteral(
               R"(\WindowsPowerShell\v1.0\powershell.exe -NoProfile -NonInteractive -Command )"
               R"("(Get-CimInstance -ClassName Win32_DiskDrive -Filter 'Index=%1').Size" >> )")
               .arg(diskNumber) +
           quoteIfNeeded(listingFile);
}

qint64 parseDiskSize(QTextStream &output) {
    QString line;
    while (output.readLineInto(&line)) {
        const QString value = line.trimmed();
        if (value.isEmpty())
            continue;
        bool number = false;
        const qint64 bytes = value.toLongLong(&number, 10);
        if (number && bytes >= 0 && value.at(0).isDigit())
            return bytes;
    }
    return -1;
}

DiskSizeResult queryDiskSize(const QString &systemDirectory, const QString &tempDirectory,
                             int diskNumber) {
    DiskSizeResult result;
    const QString listingFile = driveListingFile(tempDirectory);
    const QString local = hostPath(listingFile);
    const bool hasWmic =
        QFileInfo(hostPath(systemDirectory + QStringLiteral("\\wbem\\WMIC.exe"))).isFile();
    result.command = hasWmic ? wmicDiskSizeCommand(systemDirectory, diskNumber, listingFile)
                             : powerShellDiskSizeCommand(systemDirectory, diskNumber, listingFile);
    // The answer is appended to the file: an old one would be read as today's.
    if (QFile::exists(local) && !QFile::remove(local)) {
        result.exitCode = kCommandNotStarted;
        return result;
    }
    QElapsedTimer timer;
    timer.start();
    result.exitCode = ShellCommandRunner(result.command.toUtf8().constData(), "");
    result.milliseconds = timer.elapsed();
    QFile file(local);
    if (result.exitCode == 0 && file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream stream(&file); // a byte-order mark (WMIC writes UTF-16) decides the encoding
        result.bytes = parseDiskSize(stream);
        file.close();
    }
    QFile::remove(local);
    return result;
}
