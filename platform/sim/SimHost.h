// The simulated Windows host: a folder (the host root) in which the tool runs
// on Linux as if it ran on Windows.
//
// Layout of a host root:
//   host.ini            system directory, temporary folder, COMSPEC, screen dpi,
//                       which tools exist, faults on request ([system], [faults])
//   registry.reg        the registry values the tool reads (see SimRegistry.h)
//   drives/<L>/         drive letter L: a folder, or a symbolic link to the
//                       volume folder of the disk that holds it
//   disks/<id>/disk.ini one simulated disk: number, model, media type, size
//   disks/<id>/volume/  the content of the disk's partition
//   hidden.txt          files that carry the hidden attribute
//   commands.log        every command line the interpreter ran, with its exit code
//   shell.log, power.log  programs started through the shell, keep-awake requests
//   instance.lock       held by the running copy of the tool
//   windows.log         window activations asked for by a second start
//   bits/<job>.job      a transfer job bitsadmin left with the service
#pragma once

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

namespace simhost {

// Environment variable naming the host root.
constexpr const char *kHostRootVariable = "BMC_HOST_ROOT";
// Environment variable naming the stand-in interpreter (default: hostsim-cmd
// beside the running executable).
constexpr const char *kInterpreterVariable = "BMC_HOSTSIM_CMD";

struct DiskSpec {
    QString id;        // folder name under disks/, for example "disk1"
    int number = 0;    // Windows disk number
    QString model;     // as WMIC reports it
    QString mediaType; // "Removable Media", "Fixed hard disk media", "External hard disk media"
    qint64 size = 0;   // bytes
    QString letter;    // drive letter of its volume, empty for none
};

struct RegistryValue {
    QString key;  // full key path, for example "HKEY_LOCAL_MACHINE\\Software\\..."
    QString name; // value name
    QVariant value;
};

struct HostSpec {
    QString systemDirectory = QStringLiteral("C:\\Windows\\system32");
    QString tempDirectory = QStringLiteral("C:\\Users\\User\\AppData\\Local\\Temp\\");
    QString comspec = QStringLiteral("C:\\Windows\\system32\\cmd.exe"); // empty: unset
    int dpi = 96;
    bool hasWmic = true;
    bool elevated = true; // the tool runs with administrator rights
    QList<DiskSpec> disks;
    QList<RegistryValue> registry;
    // Faults on request: host.ini [faults] (for example diskpartFailAt), and
    // per disk id its disk.ini [faults] (for example swapAfterListings).
    QMap<QString, QVariant> faults;
    QMap<QString, QMap<QString, QVariant>> diskFaults;
};

// The sample host: a fixed system disk 0 that must never be touched, a
// removable "Generic Flash Disk USB Device" as disk 1, the registry values of
// the host product and of Windows, and the Windows boot files.
HostSpec sampleHostSpec();

// Creates a fresh host root from setup (the folder must not hold a host yet,
// or is replaced when replace is true). Returns false with a reason on error.
bool createHost(const QString &root, const HostSpec &setup, QString *error = nullptr,
                bool replace = false);

// The host root of this process: $BMC_HOST_ROOT, or ~/BootableMediaCreatorHost.
// A root that holds no host yet gets the sample host on first use.
QString hostRoot();
QString defaultHostRoot();

// Maps a Windows path ("C:\a\b", "R:/x") to the local path inside root.
// Drive letters and names are matched case-insensitively, as on Windows;
// ".." never leaves the drive. Paths without a drive letter are returned as
// given (relative to the current directory).
QString localPath(const QString &root, const QString &windowsPath);

// host.ini access.
QVariant hostSetting(const QString &root, const QString &key,
                     const QVariant &defaultValue = QVariant());
void setHostSetting(const QString &root, const QString &key, const QVariant &value);

// Hidden attribute of a local file inside the host root.
void setHidden(const QString &root, const QString &localFile, bool hidden);
bool isHidden(const QString &root, const QString &localFile);
// Drops the hidden attribute of everything inside a local folder (after the
// folder was emptied, so that new files there start without it).
void forgetHiddenBelow(const QString &root, const QString &localFolder);

// The command log: one entry per interpreter run.
struct LoggedCommand {
    QString line;
    long long exitCode = 0;
};
void appendCommandLog(const QString &root, const QString &line, long long exitCode);
QList<LoggedCommand> readCommandLog(const QString &root);

void appendLog(const QString &root, const QString &logName, const QString &text);
QStringList readLog(const QString &root, const QString &logName);

// Streams an HTTP(S) GET of url into localFile. Returns false (and removes a
// partial file) when the transfer fails or the server answers with an error.
// giveUp, when given, is asked about four times a second with the time
// since the start and the bytes received so far; true abandons the transfer.
bool httpDownload(const QString &url, const QString &localFile, QString *error = nullptr,
                  const std::function<bool(qint64 milliseconds, qint64 bytes)> &giveUp = {});

} // namespace simhost
