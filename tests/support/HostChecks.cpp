#include "support/HostChecks.h"

#include "platform/sim/SimHost.h"
#include "support/TestHost.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace hostchecks {

const QString kSystem = QStringLiteral("C:\\Windows\\system32");
const QString kDownloadedFile = QStringLiteral("C:\\DownloadFIle\\boot.wim");

namespace {

const QString kInterpreter = QStringLiteral("C:\\Windows\\system32\\cmd.exe /c ");

// The tests' temporary folders hold at most a blank among the characters
// that make a path need quotes.
QString quoted(const QString &path) {
    return path.contains(QLatin1Char(' ')) ? QLatin1Char('"') + path + QLatin1Char('"') : path;
}

} // namespace

QStringList commandLines(const TestHost &host) {
    QStringList lines;
    for (const simhost::LoggedCommand &c : host.commands()) {
        QString line = c.line;
        if (line.startsWith(kInterpreter))
            line = line.mid(kInterpreter.size());
        if (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        lines.append(line);
    }
    return lines;
}

QString listingCommand(const QString &temp, bool wmic) {
    const QString file = quoted(temp + QStringLiteral("BootableMediaCreator\\DiskInfo.txt"));
    if (wmic)
        return kSystem +
               QStringLiteral("\\wbem\\WMIC.exe diskdrive where \"MediaType='Removable Media'\" "
                              "get Index,Model >> ") +
               file;
    return kSystem +
           QStringLiteral(R"(\WindowsPowerShell\v1.0\powershell.exe -NoProfile -NonInteractive )"
                          R"(-Command "[Console]::OutputEncoding = [Text.Encoding]::UTF8; )"
                          R"(Get-CimInstance -ClassName Win32_DiskDrive -Filter )"
                          R"(\"MediaType='Removable Media'\" | ForEach-Object { '' + $_.Index )"
                          R"(+ ' ' + $_.Model }" >> )") +
           file;
}

QString sizeCommand(const QString &temp, int disk) {
    return kSystem +
           QStringLiteral("\\wbem\\WMIC.exe diskdrive where Index=%1 get Size >> ").arg(disk) +
           quoted(temp + QStringLiteral("BootableMediaCreator\\DiskInfo.txt"));
}

QStringList buildCommands(const QString &temp, QChar letter) {
    const QString script = quoted(temp + QStringLiteral("BootableMediaCreator\\USBDiskFormat.bat"));
    const QString l(letter);
    const QString x = kSystem + QStringLiteral("\\Xcopy.exe /S /H /I C:\\Windows\\Boot\\");
    return {
        kSystem + "\\diskpart.exe /s " + script,
        kSystem + "\\dism.exe /cleanup-wim",
        x + "Fonts\\* " + l + ":\\boot\\fonts\\",
        x + "Resources\\bootres.dll " + l + ":\\boot\\resources\\",
        x + "DVD\\PCAT\\BCD " + l + ":\\boot\\",
        x + "DVD\\PCAT\\boot.sdi " + l + ":\\boot\\",
        x + "EFI\\bootmgfw.efi " + l + ":\\efi\\boot\\",
        x + "EFI\\bootmgfw.efi " + l + ":\\efi\\boot\\bootx64.efi*",
        x + "Fonts\\* " + l + ":\\efi\\microsoft\\boot\\fonts\\",
        x + "Resources\\bootres.dll " + l + ":\\efi\\microsoft\\boot\\resources\\",
        x + "DVD\\EFI\\BCD " + l + ":\\efi\\microsoft\\boot\\",
        x + "PCAT\\bootmgr " + l + ":\\",
        x + "EFI\\bootmgr.efi " + l + ":\\",
        kSystem + "\\dism.exe /cleanup-wim",
        kSystem + "\\Xcopy.exe /E /H /I C:\\DownloadFIle\\Boot.wim " + l + ":\\sources\\boot.wim*",
        kSystem + "\\diskpart.exe /s " + script,
        kSystem + "\\rmdir.exe /S /Q C:\\mount",
        kSystem + "\\rmdir.exe /S /Q C:\\DownloadFIle",
    };
}

QStringList formatToCleanUp(const QStringList &lines) {
    int first = -1;
    int last = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (first < 0 && lines.at(i).contains(QLatin1String("\\diskpart.exe ")))
            first = i;
        if (lines.at(i).contains(QLatin1String("\\rmdir.exe /S /Q C:\\DownloadFIle")))
            last = i;
    }
    return first < 0 || last < first ? QStringList() : lines.mid(first, last - first + 1);
}

QSet<QString> filesUnder(const QString &folder) {
    QSet<QString> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.insert(QDir(folder).relativeFilePath(it.next()).toLower());
    return files;
}

QSet<QString> recoveryDriveLayout(const TestHost &host) {
    QSet<QString> layout = {
        "bootmgr",
        "bootmgr.efi",
        "boot/bcd",
        "boot/boot.sdi",
        "boot/resources/bootres.dll",
        "efi/boot/bootmgfw.efi",
        "efi/boot/bootx64.efi",
        "efi/microsoft/boot/bcd",
        "efi/microsoft/boot/resources/bootres.dll",
        "sources/boot.wim",
    };
    for (const QString &font : filesUnder(host.local(QStringLiteral("C:\\Windows\\Boot\\Fonts")))) {
        layout.insert(QStringLiteral("boot/fonts/") + font);
        layout.insert(QStringLiteral("efi/microsoft/boot/fonts/") + font);
    }
    return layout;
}

QString volumeOf(const TestHost &host, const QString &diskId) {
    return host.root() + QStringLiteral("/disks/") + diskId + QStringLiteral("/volume");
}

QString letterTarget(const TestHost &host, QChar letter) {
    const QFileInfo drive(host.root() + QStringLiteral("/drives/") + letter);
    return drive.exists() ? drive.canonicalFilePath() : QString();
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

bool plugInDisk(const TestHost &host, const QString &id, int number, const QString &model,
                const QString &letter) {
    // Made beside the disks and moved in with one rename, as a disk appears
    // to Windows all at once.
    const QString staging = host.root() + QStringLiteral("/plugging-") + id;
    if (!QDir().mkpath(staging + QStringLiteral("/volume")))
        return false;
    {
        QSettings ini(staging + QStringLiteral("/disk.ini"), QSettings::IniFormat);
        ini.setValue(QStringLiteral("disk/number"), number);
        ini.setValue(QStringLiteral("disk/model"), model);
        ini.setValue(QStringLiteral("disk/mediaType"), QStringLiteral("Removable Media"));
        ini.setValue(QStringLiteral("disk/size"), 8004829184LL);
        ini.setValue(QStringLiteral("disk/system"), false);
        ini.setValue(QStringLiteral("disk/partitions"), 1);
        ini.setValue(QStringLiteral("disk/partitionStyle"), QStringLiteral("MBR"));
        ini.setValue(QStringLiteral("disk/active"), false);
        ini.setValue(QStringLiteral("disk/fileSystem"), QStringLiteral("FAT32"));
        ini.sync();
        if (ini.status() != QSettings::NoError)
            return false;
    }
    QFile note(staging + QStringLiteral("/volume/notes.txt"));
    if (!note.open(QIODevice::WriteOnly) || note.write("shopping list\n") < 0)
        return false;
    note.close();
    if (!QDir().rename(staging, host.root() + QStringLiteral("/disks/") + id))
        return false;
    return letter.isEmpty() || QFile::link(QStringLiteral("../disks/%1/volume").arg(id),
                                           host.root() + QStringLiteral("/drives/") + letter);
}

} // namespace hostchecks
