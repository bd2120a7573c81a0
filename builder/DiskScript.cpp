#include "builder/DiskScript.h"

#include "builder/HostPath.h"
#include "command/CommandQuoting.h"
#include "platform/HostPlatform.h"

#include <QFile>
#include <QTextStream>

QString diskScriptFile(const QString &tempDirectory) {
    return tempDirectory + QStringLiteral("USBDiskFormat.bat");
}

QString formatScript(int diskNumber, QChar letter, VolumeFileSystem fileSystem,
                     qint64 partitionMegabytes) {
    const QString size =
        partitionMegabytes > 0 ? QStringLiteral("size=%1 ").arg(partitionMegabytes) : QString();
    const QString fs =
        fileSystem == VolumeFileSystem::Fat32 ? QStringLiteral("fat32") : QStringLiteral("ntfs");
    return QStringLiteral("select disk ") + QString::number(diskNumber) +
           QStringLiteral("\n clean \n convert mbr \n create partition primary ") + size +
           QStringLiteral("\n select partition 1 \n active \n format quick fs=") + fs +
           QStringLiteral(" \n assign letter=") + letter + QStringLiteral(" \n exit");
}

QString letterRemovalScript() {
    return QStringLiteral("Remove letter=Q");
}

QString diskpartCommand(const QString &systemDirectory, const QString &scriptFile) {
    return systemDirectory + QStringLiteral("\\diskpart.exe /s ") + quoteIfNeeded(scriptFile);
}

bool writeDiskScript(const QString &scriptFile, const QString &script) {
    // Created hidden before anything is written, so the script is never
    // visible in the temporary folder, not even for a moment.
    if (!hostplatform::createHiddenEmptyFile(scriptFile.toStdWString()))
        return false;
    QFile file(hostPath(scriptFile));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QTextStream stream(&file);
    stream << script;
    stream.flush();
    const bool written = stream.status() == QTextStream::Ok && file.error() == QFile::NoError;
    file.close();
    return written && file.error() == QFile::NoError;
}
