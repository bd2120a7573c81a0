#include "support/HostChecks.h"

#include "sim/hosts/HostSetup.h"
#include "sim/platform/SimHost.h"
#include "support/TestHost.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSettings>

namespace hostchecks {

const QString kSystem = QStringLiteral("C:\\Windows\\system32");

namespace {

// The system and Windows directories of the host the test runs against.
QString hostSystem() {
    return simhost::hostSetting(simhost::hostRoot(), QStringLiteral("system/systemDirectory"))
        .toString();
}
QString hostWindows(const QString &root = simhost::hostRoot()) {
    return simhost::hostSetting(root, QStringLiteral("system/windowsDirectory")).toString();
}

// A file of the tool's folder in temp, quoted when it needs it (the tests'
// temporary folders hold at most a blank of the characters that need it).
QString toolFile(const QString &temp, const char *name) {
    const QString path = temp + QStringLiteral("BootableMediaCreator\\") + name;
    return path.contains(QLatin1Char(' ')) ? QLatin1Char('"') + path + QLatin1Char('"') : path;
}

// A query of WMIC, or on a host without WMIC of PowerShell's
// Get-CimInstance, appended to a file of the tool's folder in temp.
QString query(const QString &temp, bool wmic, const QString &byWmic, const QString &byCim,
              const char *file) {
    const QString powerShell = QStringLiteral(
        R"(\WindowsPowerShell\v1.0\powershell.exe -NoProfile -NonInteractive -Command )"
        R"("[Console]::OutputEncoding = [Text.Encoding]::UTF8; Get-CimInstance -ClassName )");
    return hostSystem() + (wmic ? "\\wbem\\WMIC.exe " + byWmic : powerShell + byCim + '"') +
           " >> " + toolFile(temp, file);
}

} // namespace

QStringList commandLines(const TestHost &host) {
    QStringList lines;
    const QString interpreter = hostSystem() + QStringLiteral("\\cmd.exe /d /c ");
    for (const simhost::LoggedCommand &c : host.commands()) {
        QString line = c.line.startsWith(interpreter) ? c.line.mid(interpreter.size()) : c.line;
        lines.append(line.endsWith(QLatin1Char(' ')) ? line.chopped(1) : line);
    }
    return lines;
}

QString listingCommand(const QString &temp, bool wmic) {
    return query(temp, wmic,
                 "diskdrive where \"MediaType='Removable Media'\" get "
                 "Index,Model,PNPDeviceID,SerialNumber,Signature,Size",
                 R"(Win32_DiskDrive -Filter \"MediaType='Removable Media'\" | ForEach-Object { )"
                 R"(($_.Index,$_.Model,$_.PNPDeviceID,$_.SerialNumber,$_.Signature,$_.Size) )"
                 R"(-join [char]9 })",
                 "DiskInfo.txt");
}

QString lettersCommand(const QString &temp, bool wmic) {
    return query(temp, wmic, "path Win32_LogicalDiskToPartition get Antecedent,Dependent",
                 R"(Win32_LogicalDiskToPartition | ForEach-Object { )"
                 R"($_.Antecedent.DeviceID + [char]9 + $_.Dependent.DeviceID })",
                 "DiskLetters.txt");
}

QStringList buildCommands(const QString &temp, QChar letter) {
    QStringList lines{"diskpart.exe", "dism.exe /cleanup-wim"};
    // The boot files: source in the Windows folder's Boot, then target on the drive.
    for (const char *copy :
         {"Fonts\\* boot\\fonts\\", "Resources\\bootres.dll boot\\resources\\",
          "DVD\\PCAT\\BCD boot\\", "DVD\\PCAT\\boot.sdi boot\\", "EFI\\bootmgfw.efi efi\\boot\\",
          "EFI\\bootmgfw.efi efi\\boot\\bootx64.efi*", "Fonts\\* efi\\microsoft\\boot\\fonts\\",
          "Resources\\bootres.dll efi\\microsoft\\boot\\resources\\",
          "DVD\\EFI\\BCD efi\\microsoft\\boot\\", "PCAT\\bootmgr ", "EFI\\bootmgr.efi "})
        lines << "Xcopy.exe /S /H /I " + hostWindows() + "\\Boot\\" +
                     QString(copy).replace(' ', QString(" %1:\\").arg(letter));
    lines << "dism.exe /cleanup-wim"
          << QString("Xcopy.exe /E /H /I C:\\DownloadFIle\\Boot.wim %1:\\sources\\boot.wim*")
                 .arg(letter)
          << "diskpart.exe /s " + toolFile(temp, "USBDiskFormat.bat") << "rmdir.exe /S /Q C:\\mount"
          << "rmdir.exe /S /Q C:\\DownloadFIle";
    for (QString &line : lines)
        line.prepend(hostSystem() + QLatin1Char('\\'));
    // diskpart started by itself, then the disks listed again while it
    // holds the disk it selected.
    lines.insert(1, listingCommand(temp));
    return lines;
}

QSet<QString> filesUnder(const QString &folder) {
    QSet<QString> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.insert(QDir(folder).relativeFilePath(it.next()).toLower());
    return files;
}

QStringList driveFaults(const TestHost &host, const QString &volume, const QByteArray &imageHash) {
    // Each file of the drive and its source in the host's Windows\Boot.
    const QString boot = hostWindows(host.root()) + QStringLiteral("\\Boot\\");
    QMap<QString, QString> sources{
        {"bootmgr", "PCAT\\bootmgr"},
        {"bootmgr.efi", "EFI\\bootmgr.efi"},
        {"boot/bcd", "DVD\\PCAT\\BCD"},
        {"boot/boot.sdi", "DVD\\PCAT\\boot.sdi"},
        {"boot/resources/bootres.dll", "Resources\\bootres.dll"},
        {"efi/boot/bootmgfw.efi", "EFI\\bootmgfw.efi"},
        {"efi/boot/bootx64.efi", "EFI\\bootmgfw.efi"},
        {"efi/microsoft/boot/bcd", "DVD\\EFI\\BCD"},
        {"efi/microsoft/boot/resources/bootres.dll", "Resources\\bootres.dll"},
        {"sources/boot.wim", QString()}};
    for (const QString &font : filesUnder(host.local(boot + QStringLiteral("Fonts"))))
        for (const char *folder : {"boot/fonts/", "efi/microsoft/boot/fonts/"})
            sources.insert(folder + font, "Fonts\\" + font);
    // The drive's files by their lower-case relative path, as Windows finds them.
    QMap<QString, QString> present;
    for (QDirIterator it(volume, QDir::Files | QDir::Hidden | QDir::System,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        present.insert(QDir(volume).relativeFilePath(path).toLower(), path);
    }
    QStringList faults;
    for (auto it = sources.constBegin(); it != sources.constEnd(); ++it) {
        const QString file = present.take(it.key());
        if (file.isEmpty())
            faults << "lacks " + it.key();
        else if (sha256(file) !=
                 (it.value().isNull() ? imageHash : sha256(host.local(boot + it.value()))))
            faults << QStringLiteral("%1 differs from its source (%2 bytes)")
                          .arg(it.key())
                          .arg(QFileInfo(file).size());
    }
    for (const QString &extra : present.keys())
        faults << "holds a stray " + extra;
    return faults;
}

QString volumeOf(const TestHost &host, const QString &diskId) {
    return host.root() + QStringLiteral("/disks/") + diskId + QStringLiteral("/volume");
}

QByteArray sha256(const QString &localFile) {
    QFile file(localFile);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return QByteArray();
    return hash.result();
}

QString buildLog(const TestHost &host, const QString &temp) {
    return QString::fromUtf8(host.read(temp + QStringLiteral("BootableMediaCreator.log")));
}

QStringList hostLog(const TestHost &host, const char *name) {
    return simhost::readLog(host.root(), QString::fromLatin1(name));
}

bool keepAwakeCleared(const TestHost &host, bool wasRequested) {
    const QStringList power = hostLog(host, "power.log");
    return power.isEmpty() ? !wasRequested : power.last().startsWith(QLatin1String("clear"));
}

bool plugInDisk(const TestHost &host, const simhost::DiskSpec &disk) {
    // Made on a host of its own beside this one and moved in with one
    // rename each, as a disk appears to Windows all at once.
    const QString staging = host.root() + QStringLiteral("-plugging");
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.disks = {setup.disks.first(), disk};
    const QString drive = QStringLiteral("/drives/") + disk.letter;
    const bool plugged =
        simhost::createHost(staging, setup) &&
        QDir().rename(staging + "/disks/" + disk.id, host.root() + "/disks/" + disk.id) &&
        (disk.letter.isEmpty() || QDir().rename(staging + drive, host.root() + drive));
    QDir(staging).removeRecursively();
    return plugged;
}

bool stickAsPluggedIn(const TestHost &host, const QString &diskId) {
    const QString folder = host.root() + QStringLiteral("/disks/") + diskId;
    // Nine keys of its description (its identity among them), one note.
    return QSettings(folder + "/disk.ini", QSettings::IniFormat).allKeys().size() == 9 &&
           filesUnder(folder + "/volume") == QSet<QString>{"notes.txt"} &&
           sha256(folder + "/volume/notes.txt") ==
               QCryptographicHash::hash("shopping list\n", QCryptographicHash::Sha256);
}

} // namespace hostchecks
