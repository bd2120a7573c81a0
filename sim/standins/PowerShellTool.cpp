// powershell.exe on the simulated host, as far as the drive listing needs it
// where WMIC is not installed. It runs exactly the listing of the removable
// disks and that of the drive letters, and fails like PowerShell on any
// other command line.
#include "sim/standins/Tools.h"

#include "sim/standins/HostDisks.h"

namespace hostsim {

namespace {

// The argument texts of the two listings, as the interpreter hands them on.
const char kCimQuery[] = "-NoProfile -NonInteractive -Command \"[Console]::OutputEncoding = "
                         "[Text.Encoding]::UTF8; Get-CimInstance -ClassName ";
const char kListingQuery[] =
    "Win32_DiskDrive -Filter \\\"MediaType='Removable Media'\\\" | ForEach-Object { "
    "($_.Index,$_.Model,$_.PNPDeviceID,$_.SerialNumber,$_.Signature,$_.Size) -join [char]9 }\"";
const char kLettersQuery[] = "Win32_LogicalDiskToPartition | ForEach-Object { "
                             "$_.Antecedent.DeviceID + [char]9 + $_.Dependent.DeviceID }\"";

int commandNotFound(ToolContext &ctx) {
    ctx.err->write("The term is not recognized as the name of a cmdlet, function, script file, "
                   "or operable program.\r\n    + FullyQualifiedErrorId : "
                   "CommandNotFoundException\r\n");
    return 1;
}

} // namespace

int runPowerShell(ToolContext &ctx) {
    // Blanks left where the interpreter took out a redirection do not count.
    QString text = ctx.argumentText;
    while (text.endsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char('\t')))
        text.chop(1);
    // One line per object, in the console encoding the command asked for
    // (UTF-8; .NET writes no byte-order mark to a redirected console).
    if (text == QLatin1String(kCimQuery) + QLatin1String(kLettersQuery)) {
        for (const HostDisk &disk : loadDisks(ctx.root)) {
            for (const QString &letter : volumeLetters(ctx.root, disk))
                ctx.out->write(QStringLiteral("Disk #%1, Partition #0\t%2:\r\n")
                                   .arg(disk.number)
                                   .arg(letter)
                                   .toUtf8());
        }
        return 0;
    }
    if (text != QLatin1String(kCimQuery) + QLatin1String(kListingQuery))
        return commandNotFound(ctx);

    applyDueListingFaults(ctx.root);
    QList<HostDisk> listed;
    for (const HostDisk &disk : loadDisks(ctx.root)) {
        if (!disk.removed &&
            disk.mediaType.compare(QLatin1String("Removable Media"), Qt::CaseInsensitive) == 0)
            listed.append(disk);
    }
    noteListed(ctx.root, listed);
    for (const HostDisk &disk : listed) {
        const QStringList fields{
            QString::number(disk.number), disk.model, disk.deviceId, disk.serial, disk.signature,
            QString::number(disk.size)};
        ctx.out->write((fields.join(QLatin1Char('\t')) + QStringLiteral("\r\n")).toUtf8());
    }
    return 0;
}

} // namespace hostsim
