// Makes simulated Windows hosts: the setup of a host root (its disks,
// registry values and faults on request) and the sample host. Used by
// hostsim-make, by the tests and, on Linux, by the tool on its first start.
#pragma once

#include "sim/platform/SimHost.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>

namespace simhost {

struct DiskSpec {
    QString id;        // folder name under disks/, for example "disk1"
    int number = 0;    // Windows disk number
    QString model;     // as WMIC reports it
    QString mediaType; // "Removable Media", "Fixed hard disk media", "External hard disk media"
    qint64 size = 0;   // bytes
    QString letter;    // drive letter of its volume, empty for none; "C" is the system disk
    // What tells it from another disk of its model, as Windows reports it;
    // made up from the id and the model where left empty.
    QString serial{};    // SerialNumber
    QString deviceId{};  // PNPDeviceID, for example
                         // USBSTOR\DISK&VEN_ALPHA&PROD_USB_DEVICE&REV_1.00\<serial>&0
    QString signature{}; // Signature, a decimal number
};

// Fills the serial number, device id and signature a disk lacks, from seed
// (its id, or anything else that differs between two sticks) and its model.
void completeIdentity(DiskSpec &disk, const QString &seed);

struct RegistryValue {
    QString key;  // full key path, for example "HKEY_LOCAL_MACHINE\\Software\\..."
    QString name; // value name
    QVariant value;
};

struct HostSpec {
    QString tempDirectory = QStringLiteral("C:\\Users\\User\\AppData\\Local\\Temp\\");
    // Where Windows is installed; the system directory is its system32, the
    // boot files are in its Boot folder.
    QString windowsDirectory = QStringLiteral("C:\\Windows");
    // The user's COMSPEC; the tool must not use it. Empty: unset.
    QString comspec = QStringLiteral("C:\\Windows\\system32\\cmd.exe");
    int dpi = 96;
    bool elevated = true; // the tool runs with an administrator's full token
    bool hasWmic = true;
    QList<DiskSpec> disks;
    QList<RegistryValue> registry;
    // Faults on request: host.ini [faults] (for example diskpartFailAt), and
    // per disk id its disk.ini [faults] (for example swapAfterListings).
    QMap<QString, QVariant> faults;
    QMap<QString, QMap<QString, QVariant>> diskFaults;
};

// The sample host: a fixed system disk 0 that must never be touched, a
// removable "Generic Flash Disk USB Device" as disk 1 on E:, the registry
// values of the host product and of Windows, and the Windows boot files.
HostSpec sampleHostSpec();

// Creates a fresh host root from setup; the folder must not hold a host yet.
// Returns false with a reason on error.
bool createHost(const QString &root, const HostSpec &setup, QString *error = nullptr);

} // namespace simhost
