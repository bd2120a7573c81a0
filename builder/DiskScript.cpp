#include "builder/DiskScript.h"

#include "command/CommandQuoting.h"
#include "command/HostPath.h"
#include "platform/HostPlatform.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

namespace {

// The lines of an answer, without line ends and outer blanks, and without
// blank lines and echoes of the prompt or the command before the first
// line that says something.
QStringList answerLines(const QString &answer) {
    QStringList lines;
    for (const QString &raw : answer.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        const bool echo = line.startsWith(QLatin1String(kDiskpartPrompt).trimmed()) ||
                          line.compare(QLatin1String("detail disk"), Qt::CaseInsensitive) == 0;
        if (!lines.isEmpty() || (!line.isEmpty() && !echo))
            lines.append(line);
    }
    return lines;
}

bool isDiskId(const QString &token) {
    static const QRegularExpression id(QStringLiteral(
        "^([0-9A-Fa-f]{8}|\\{[0-9A-Fa-f]{8}(-[0-9A-Fa-f]{4}){3}-[0-9A-Fa-f]{12}\\})$"));
    return id.match(token).hasMatch();
}

} // namespace

QString selectDiskCommand(int diskNumber) {
    return QStringLiteral("select disk ") + QString::number(diskNumber);
}

QStringList formatCommands(QChar letter, VolumeFileSystem fileSystem, qint64 partitionMegabytes) {
    const QString size =
        partitionMegabytes > 0 ? QStringLiteral(" size=%1").arg(partitionMegabytes) : QString();
    const QString fs =
        fileSystem == VolumeFileSystem::Fat32 ? QStringLiteral("fat32") : QStringLiteral("ntfs");
    return {QStringLiteral("clean"),
            QStringLiteral("convert mbr"),
            QStringLiteral("create partition primary") + size,
            QStringLiteral("select partition 1"),
            QStringLiteral("active"),
            QStringLiteral("format quick fs=") + fs,
            QStringLiteral("assign letter=") + letter};
}

DiskDetail parseDiskDetail(const QString &answer) {
    const QStringList lines = answerLines(answer);
    DiskDetail detail;
    detail.model = lines.value(0);
    for (int i = 1; i < lines.size() && !lines.at(i).isEmpty() && detail.diskId.isEmpty(); ++i) {
        for (const QString &token :
             lines.at(i).split(QRegularExpression(QStringLiteral("[\\s:]+")), Qt::SkipEmptyParts)) {
            if (isDiskId(token)) {
                detail.diskId = token.toUpper();
                break;
            }
        }
    }
    return detail;
}

QString listedSignature(const QString &diskId) {
    bool mbr = false;
    const quint32 signature = diskId.toUInt(&mbr, 16);
    return mbr && diskId.size() == 8 ? QString::number(signature) : QString();
}

bool detailShowsDrive(const DiskDetail &shown, const ListedDrive &chosen) {
    // A disk without a signature (GPT) is told apart by the rest.
    return !shown.diskId.isEmpty() && shown.model.simplified() == chosen.model.simplified() &&
           (chosen.signature.isEmpty() || listedSignature(shown.diskId) == chosen.signature);
}

bool detailShowsVolume(const QString &answer, QChar letter, VolumeFileSystem fileSystem) {
    const QString fs =
        fileSystem == VolumeFileSystem::Fat32 ? QStringLiteral("FAT32") : QStringLiteral("NTFS");
    // A volume's row: its number, its letter (when it has one), its label,
    // its file system and more. The model's line is the disk's, not a
    // volume's.
    static const QRegularExpression number(QStringLiteral("^\\d+$"));
    for (const QString &line : answerLines(answer).mid(1)) {
        const QStringList tokens = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const int at = tokens.indexOf(number) + 1;
        if (at > 0 && at < tokens.size() && tokens.at(at) == QString(letter.toUpper()) &&
            QStringList(tokens.mid(at + 1)).contains(fs, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString diskScriptFile(const QString &tempDirectory) {
    return tempDirectory + QStringLiteral("USBDiskFormat.bat");
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
