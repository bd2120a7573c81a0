#include "drives/DriveListing.h"

#include "command/CommandQuoting.h"
#include "command/HostPath.h"
#include "command/ShellCommandRunner.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {

// WMIC's columns in the order it writes them (by name), which the
// PowerShell query keeps too.
enum Column { Index, Model, DeviceId, Serial, Signature, Size, ColumnCount };
const char *const kColumnNames[ColumnCount] = {"Index",        "Model",     "PNPDeviceID",
                                               "SerialNumber", "Signature", "Size"};

const char kPowerShell[] =
    R"(\WindowsPowerShell\v1.0\powershell.exe -NoProfile -NonInteractive -Command )"
    R"("[Console]::OutputEncoding = [Text.Encoding]::UTF8; Get-CimInstance -ClassName )";

bool isAllDigits(const QString &token) {
    if (token.isEmpty())
        return false;
    for (const QChar c : token) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// WMIC's doubled line end leaves a "\r" behind at the end of every line.
// (A tab there is an empty last field of PowerShell's.)
QString withoutLineEnd(QString line) {
    while (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    return line;
}

// Where each column starts in a WMIC header (-1: not asked for). A header
// holds nothing but column names, Index among them; starts is left as it
// was by any other line.
bool readHeader(const QString &line, int (&starts)[ColumnCount]) {
    int found[ColumnCount];
    std::fill(std::begin(found), std::end(found), -1);
    static const QRegularExpression word(QStringLiteral("\\S+"));
    for (auto it = word.globalMatch(line); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const auto *name = std::find_if(std::begin(kColumnNames), std::end(kColumnNames),
                                        [&](const char *n) { return match.captured() == n; });
        if (name == std::end(kColumnNames))
            return false;
        found[name - std::begin(kColumnNames)] = match.capturedStart();
    }
    if (found[Index] < 0)
        return false;
    std::copy(std::begin(found), std::end(found), std::begin(starts));
    return true;
}

// A cell runs from its column's start to the next column's: a model or a
// serial number may hold blanks of its own.
QString cell(const QString &line, const int (&starts)[ColumnCount], int column) {
    if (starts[column] < 0)
        return QString();
    int end = line.size();
    for (const int start : starts) {
        if (start > starts[column])
            end = qMin(end, start);
    }
    return line.mid(starts[column], end - starts[column]).trimmed();
}

bool readDrive(const QStringList &fields, ListedDrive *drive) {
    bool ok = false;
    drive->number = fields.at(Index).toInt(&ok, 10);
    if (!isAllDigits(fields.at(Index)) || !ok)
        return false; // no number, or one too large for a disk number
    drive->model = fields.at(Model);
    drive->deviceId = fields.at(DeviceId);
    drive->serial = fields.at(Serial);
    drive->signature = fields.at(Signature);
    const qint64 size = fields.at(Size).toLongLong(&ok, 10);
    drive->size = isAllDigits(fields.at(Size)) && ok ? size : -1;
    return true;
}

// Runs a query whose output is appended to file, and reads the file. The
// file goes first: an old answer that cannot be removed would be read as
// today's, so it counts as no answer at all.
bool runQuery(const QString &command, const QString &file, bool utf8,
              const std::function<void(QTextStream &)> &read, long long *exitCode,
              qint64 *milliseconds) {
    const QString local = hostPath(file);
    if (QFile::exists(local) && !QFile::remove(local)) {
        *exitCode = kCommandNotStarted;
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    *exitCode = ShellCommandRunner(command.toUtf8().constData(), "");
    *milliseconds = timer.elapsed();
    QFile output(local);
    if (!output.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream stream(&output);
    // WMIC writes UTF-16 with a byte-order mark, which decides by itself;
    // PowerShell is told to write UTF-8, so a model such as "Überstick" is
    // not read in whatever 8-bit code page this system happens to use.
    if (utf8)
        stream.setCodec("UTF-8");
    read(stream);
    output.close();
    QFile::remove(local);
    return true;
}

} // namespace

bool isSameDrive(const ListedDrive &a, const ListedDrive &b) {
    return a.number == b.number && a.model == b.model && a.serial == b.serial &&
           a.deviceId == b.deviceId && a.size == b.size && a.signature == b.signature;
}

QString driveListingFile(const QString &folder) {
    return folder + QStringLiteral("DiskInfo.txt");
}

QString driveLettersFile(const QString &folder) {
    return folder + QStringLiteral("DiskLetters.txt");
}

QString wmicListingCommand(const QString &systemDirectory, const QString &file) {
    return systemDirectory +
           QStringLiteral("\\wbem\\WMIC.exe diskdrive where \"MediaType='Removable Media'\" "
                          "get Index,Model,PNPDeviceID,SerialNumber,Signature,Size >> ") +
           quoteIfNeeded(file);
}

QString wmicLettersCommand(const QString &systemDirectory, const QString &file) {
    return systemDirectory +
           QStringLiteral("\\wbem\\WMIC.exe path Win32_LogicalDiskToPartition get "
                          "Antecedent,Dependent >> ") +
           quoteIfNeeded(file);
}

QString powerShellListingCommand(const QString &systemDirectory, const QString &file) {
    return systemDirectory + QLatin1String(kPowerShell) +
           QStringLiteral(
               R"(Win32_DiskDrive -Filter \"MediaType='Removable Media'\" | ForEach-Object { )"
               R"(($_.Index,$_.Model,$_.PNPDeviceID,$_.SerialNumber,$_.Signature,$_.Size) )"
               R"(-join [char]9 }" >> )") +
           quoteIfNeeded(file);
}

QString powerShellLettersCommand(const QString &systemDirectory, const QString &file) {
    return systemDirectory + QLatin1String(kPowerShell) +
           QStringLiteral(R"(Win32_LogicalDiskToPartition | ForEach-Object { )"
                          R"($_.Antecedent.DeviceID + [char]9 + $_.Dependent.DeviceID }" >> )") +
           quoteIfNeeded(file);
}

QList<ListedDrive> parseDriveListing(QTextStream &listing) {
    QList<ListedDrive> drives;
    int starts[ColumnCount];
    bool afterHeader = false;
    QString raw;
    while (listing.readLineInto(&raw)) {
        const QString line = withoutLineEnd(raw);
        QStringList fields;
        if (line.contains(QLatin1Char('\t'))) {
            fields = line.split(QLatin1Char('\t'));
            if (fields.size() != ColumnCount)
                continue;
            for (QString &field : fields)
                field = field.trimmed();
        } else if (readHeader(line, starts)) {
            afterHeader = true;
            continue;
        } else if (afterHeader) {
            for (int column = 0; column < ColumnCount; ++column)
                fields.append(cell(line, starts, column));
        } else {
            continue;
        }
        ListedDrive drive;
        if (readDrive(fields, &drive))
            drives.append(drive);
    }
    return drives;
}

QMap<int, QStringList> parseDriveLetters(QTextStream &letters) {
    // WMIC: ...Win32_DiskPartition.DeviceID="Disk #1, Partition #0"  ...
    // Win32_LogicalDisk.DeviceID="E:"; PowerShell: the two ids and a tab.
    static const QRegularExpression pair(
        QStringLiteral("Disk #(\\d+), Partition #\\d+\"?\\s*"
                       "(?:\\S*Win32_LogicalDisk\\.DeviceID=\"|\\t)([A-Za-z]):\"?\\s*$"));
    QMap<int, QStringList> found;
    QString raw;
    while (letters.readLineInto(&raw)) {
        const QRegularExpressionMatch match = pair.match(withoutLineEnd(raw));
        bool ok = false;
        const int disk = match.captured(1).toInt(&ok, 10);
        const QString letter = match.captured(2).toUpper() + QLatin1Char(':');
        if (match.hasMatch() && ok && !found.value(disk).contains(letter))
            found[disk].append(letter);
    }
    return found;
}

DriveListingResult listRemovableDrives(const QString &systemDirectory, const QString &folder,
                                       DriveLetters letters) {
    DriveListingResult result;
    const bool hasWmic =
        QFileInfo(hostPath(systemDirectory + QStringLiteral("\\wbem\\WMIC.exe"))).isFile();
    const QString listingFile = driveListingFile(folder);
    result.command = hasWmic ? wmicListingCommand(systemDirectory, listingFile)
                             : powerShellListingCommand(systemDirectory, listingFile);
    result.opened = runQuery(
        result.command, listingFile, !hasWmic,
        [&](QTextStream &stream) { result.drives = parseDriveListing(stream); }, &result.exitCode,
        &result.milliseconds);
    if (letters == DriveLetters::Skip || result.drives.isEmpty())
        return result;

    const QString lettersFile = driveLettersFile(folder);
    QMap<int, QStringList> lettersOf;
    long long exitCode = 0;
    qint64 milliseconds = 0;
    runQuery(
        hasWmic ? wmicLettersCommand(systemDirectory, lettersFile)
                : powerShellLettersCommand(systemDirectory, lettersFile),
        lettersFile, !hasWmic, [&](QTextStream &stream) { lettersOf = parseDriveLetters(stream); },
        &exitCode, &milliseconds);
    for (ListedDrive &drive : result.drives)
        drive.letters = lettersOf.value(drive.number);
    return result;
}
