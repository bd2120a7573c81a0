// powershell.exe on the simulated host, as far as the drive listing needs it
// where WMIC is not installed. It runs exactly the listing and the size of
// one disk, and fails like PowerShell on any other command line.
#include "tools/hostsim/Tools.h"

#include "tools/hostsim/HostDisks.h"

#include <QRegularExpression>

namespace hostsim {

namespace {

// The argument text of the drive listing, as the interpreter hands it on.
const char kListingArguments[] =
    "-NoProfile -NonInteractive -Command \"[Console]::OutputEncoding = [Text.Encoding]::UTF8; "
    "Get-CimInstance -ClassName Win32_DiskDrive -Filter "
    "\\\"MediaType='Removable Media'\\\" | ForEach-Object { '' + $_.Index + ' ' + $_.Model }\"";

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
    static const QRegularExpression sizeQuery(QStringLiteral(
        "^-NoProfile -NonInteractive -Command \"\\(Get-CimInstance -ClassName Win32_DiskDrive "
        "-Filter 'Index=(\\d+)'\\)\\.Size\"$"));
    const QRegularExpressionMatch size = sizeQuery.match(text);
    if (size.hasMatch()) {
        HostDisk disk;
        if (findDisk(ctx.root, size.captured(1).toInt(), &disk))
            ctx.out->write(QByteArray::number(disk.size) + "\r\n");
        return 0;
    }
    if (text != QLatin1String(kListingArguments))
        return commandNotFound(ctx);

    applyDueListingFaults(ctx.root);
    QList<HostDisk> listed;
    for (const HostDisk &disk : loadDisks(ctx.root)) {
        if (!disk.removed &&
            disk.mediaType.compare(QLatin1String("Removable Media"), Qt::CaseInsensitive) == 0)
            listed.append(disk);
    }
    noteListed(ctx.root, listed);
    // One line per object, in the console encoding the command asked for
    // (UTF-8; .NET writes no byte-order mark to a redirected console).
    for (const HostDisk &disk : listed)
        ctx.out->write(QStringLiteral("%1 %2\r\n").arg(disk.number).arg(disk.model).toUtf8());
    return 0;
}

} // namespace hostsim
