#include "sim/hosts/HostSetup.h"

#include "sim/platform/SimRegistry.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace simhost {

namespace {

// Placeholders for the Windows installation's own programs. The interpreter
// resolves a program by finding its file, then runs the stand-in for its name.
const char *const kSystemPrograms[] = {
    "cmd.exe",   "diskpart.exe",  "dism.exe",      "WindowsPowerShell/v1.0/powershell.exe",
    "Xcopy.exe", "bitsadmin.exe", "wbem/WMIC.exe",
};

// The boot files that the recovery drive is made of, as a Windows
// installation keeps them in its Boot folder.
const char *const kBootFiles[] = {
    "DVD/PCAT/BCD",           "DVD/PCAT/boot.sdi",      "DVD/EFI/BCD",
    "EFI/bootmgfw.efi",       "EFI/bootmgr.efi",        "PCAT/bootmgr",
    "Resources/bootres.dll",  "Fonts/chs_boot.ttf",     "Fonts/cht_boot.ttf",
    "Fonts/jpn_boot.ttf",     "Fonts/kor_boot.ttf",     "Fonts/malgun_boot.ttf",
    "Fonts/segmono_boot.ttf", "Fonts/segoe_slboot.ttf", "Fonts/wgl4_boot.ttf",
};

bool writeFile(const QString &path, const QByteArray &content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

void writeSettings(QSettings &ini, const QString &group, const QMap<QString, QVariant> &values) {
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        ini.setValue(group + QLatin1Char('/') + it.key(), it.value());
}

// One disk with one formatted partition, as a disk in use has; the stand-in
// tools take the partition's other details from the media type.
bool makeDisk(const QString &root, DiskSpec disk, const QMap<QString, QVariant> &faults) {
    completeIdentity(disk, disk.id);
    const QString dir = root + QStringLiteral("/disks/") + disk.id;
    QDir().mkpath(dir + QStringLiteral("/volume"));
    const QString letter = disk.letter.left(1).toUpper();
    const bool system = letter == QLatin1String("C");
    {
        QSettings ini(dir + QStringLiteral("/disk.ini"), QSettings::IniFormat);
        writeSettings(ini, QStringLiteral("disk"),
                      {{QStringLiteral("number"), disk.number},
                       {QStringLiteral("model"), disk.model},
                       {QStringLiteral("mediaType"), disk.mediaType},
                       {QStringLiteral("size"), disk.size},
                       {QStringLiteral("serial"), disk.serial},
                       {QStringLiteral("deviceId"), disk.deviceId},
                       {QStringLiteral("signature"), disk.signature},
                       {QStringLiteral("system"), system}});
        writeSettings(ini, QStringLiteral("faults"), faults);
    }
    if (system) {
        // The system volume is a plain folder of its own, so that the tool's
        // work files on C: never count as a change of the disk.
        return writeFile(dir + QStringLiteral("/volume/SYSTEM-DISK.txt"),
                         "System disk of the simulated host. Nothing may change it.\n");
    }
    return letter.isEmpty() || (QFile::link(QStringLiteral("../disks/%1/volume").arg(disk.id),
                                            root + QStringLiteral("/drives/") + letter) &&
                                writeFile(dir + QStringLiteral("/volume/Holiday photos/beach.jpg"),
                                          "user data on " + disk.model.toUtf8() + '\n'));
}

} // namespace

void completeIdentity(DiskSpec &disk, const QString &seed) {
    const QByteArray hash =
        QCryptographicHash::hash((seed + '|' + disk.model).toUtf8(), QCryptographicHash::Sha1);
    if (disk.serial.isEmpty())
        disk.serial = QString::fromLatin1(hash.left(8).toHex().toUpper());
    if (disk.signature.isEmpty())
        disk.signature = QString::number(quint32(quint8(hash[8])) << 24 | quint8(hash[9]) << 16 |
                                         quint8(hash[10]) << 8 | quint8(hash[11]));
    if (disk.deviceId.isEmpty()) {
        // Vendor and product as the USB storage driver names them: the
        // model's first word, then the rest.
        QString model = disk.model.toUpper();
        model.replace(QLatin1Char(' '), QLatin1Char('_'));
        const QString bus = disk.mediaType == QLatin1String("Removable Media")
                                ? QStringLiteral("USBSTOR")
                                : QStringLiteral("SCSI");
        disk.deviceId = QStringLiteral("%1\\DISK&VEN_%2&PROD_%3&REV_1.00\\%4&0")
                            .arg(bus, model.section(QLatin1Char('_'), 0, 0),
                                 model.section(QLatin1Char('_'), 1), disk.serial);
    }
}

HostSpec sampleHostSpec() {
    HostSpec setup;
    setup.disks.append({QStringLiteral("disk0"), 0, QStringLiteral("NVMe System Disk 512GB"),
                        QStringLiteral("Fixed hard disk media"), 512110190592LL,
                        QStringLiteral("C")});
    setup.disks.append({QStringLiteral("disk1"), 1, QStringLiteral("Generic Flash Disk USB Device"),
                        QStringLiteral("Removable Media"), 16008609792LL, QStringLiteral("E")});
    const QString key =
        QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Kestrin Data "
                       "Recovery\\Data Recovery\\Kestrin Data Recovery for Windows");
    const QString link = QStringLiteral("https://localhost:8443/boot.wim");
    const QString windows = QStringLiteral("Windows 10 Pro");
    setup.registry = {
        {key, QStringLiteral("LanguageType"), 0},
        {key, QStringLiteral("DownloadLink_bootwim"), link},
        {key, QStringLiteral("DownloadLink_Win7_bootwim"), link},
        {QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"),
         QStringLiteral("ProductName"), windows},
        {QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion"),
         QStringLiteral("ProductName"), windows},
    };
    return setup;
}

bool createHost(const QString &root, const HostSpec &setup, QString *error) {
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (QFileInfo::exists(root + QStringLiteral("/host.ini")))
        return fail(QStringLiteral("a host already exists in %1").arg(root));
    const QString systemDirectory = setup.windowsDirectory + QStringLiteral("\\system32");
    if (!QDir().mkpath(root + QStringLiteral("/drives/C")) ||
        !QDir().mkpath(root + QStringLiteral("/disks")))
        return fail(QStringLiteral("cannot create %1").arg(root));
    {
        QSettings ini(root + QStringLiteral("/host.ini"), QSettings::IniFormat);
        writeSettings(ini, QStringLiteral("system"),
                      {{QStringLiteral("windowsDirectory"), setup.windowsDirectory},
                       {QStringLiteral("systemDirectory"), systemDirectory},
                       {QStringLiteral("tempDirectory"), setup.tempDirectory},
                       {QStringLiteral("comspec"), setup.comspec},
                       {QStringLiteral("dpi"), setup.dpi},
                       {QStringLiteral("elevated"), setup.elevated}});
        writeSettings(ini, QStringLiteral("faults"), setup.faults);
        ini.sync();
        if (ini.status() != QSettings::NoError)
            return fail(QStringLiteral("cannot write host.ini"));
    }
    for (const DiskSpec &disk : setup.disks) {
        if (!makeDisk(root, disk, setup.diskFaults.value(disk.id)))
            return fail(QStringLiteral("cannot make disk %1").arg(disk.id));
    }
    const QString system = localPath(root, systemDirectory);
    for (const char *program : kSystemPrograms) {
        if (setup.hasWmic || !QLatin1String(program).endsWith(QLatin1String("WMIC.exe")))
            writeFile(system + QLatin1Char('/') + QLatin1String(program), kHostProgramContent);
    }
    QDir().mkpath(localPath(root, setup.tempDirectory));
    const QString boot = localPath(root, setup.windowsDirectory + QStringLiteral("\\Boot"));
    for (const char *file : kBootFiles) {
        writeFile(boot + QLatin1Char('/') + QLatin1String(file),
                  QByteArray("boot file ") + file + " of the simulated host\n");
    }
    for (const RegistryValue &v : setup.registry) {
        if (!setRegistryValue(root, v.key, v.name, v.value))
            return fail(QStringLiteral("cannot write registry.reg"));
    }
    return true;
}

} // namespace simhost
