// What the end-to-end tests look at on a simulated host after the tool ran:
// the command lines it ran, the files on a disk, the work files, the logs.
#pragma once

#include <QByteArray>
#include <QChar>
#include <QSet>
#include <QString>
#include <QStringList>

class TestHost;
namespace simhost {
struct DiskSpec;
}

namespace hostchecks {

extern const QString kSystem; // the sample host's system directory

// Command lines the tool started, in order, without the interpreter's own
// "<system directory>\cmd.exe /d /c " and the blank the empty argument
// leaves at the end. The commands of the host the test runs against.
QStringList commandLines(const TestHost &host);

// The drive listing command for a temporary folder (WMIC, or PowerShell on
// a host without WMIC), with the listing file quoted when it needs it, and
// the query of the drive letters that follows it in the window's listing.
QString listingCommand(const QString &temp, bool wmic = true);
QString lettersCommand(const QString &temp, bool wmic = true);

// The commands of a complete build from its format step on (diskpart's
// session), with the new volume on letter.
QStringList buildCommands(const QString &temp, QChar letter);

// Relative paths (lower case, '/') of every file under a local folder.
QSet<QString> filesUnder(const QString &folder);
// What is wrong with a finished recovery drive's volume folder, one line
// each: a file missing or stray, or one unlike its source (the host's boot
// file, or the image of imageHash). Empty when the drive is whole.
QStringList driveFaults(const TestHost &host, const QString &volume, const QByteArray &imageHash);

QString volumeOf(const TestHost &host, const QString &diskId);

QByteArray sha256(const QString &localFile);

// The support log of the last build (BootableMediaCreator.log in temp).
QString buildLog(const TestHost &host, const QString &temp);

// Lines of a host log (shell.log, power.log).
QStringList hostLog(const TestHost &host, const char *name);
// No keep-awake request stands: the last one was cleared, or, unless one
// must have been made, none was made.
bool keepAwakeCleared(const TestHost &host, bool wasRequested = false);

// Plugs a disk into the running host at once (its description, volume and
// letter appear together).
bool plugInDisk(const TestHost &host, const simhost::DiskSpec &disk);

// Whether the stick that the host's stick event plugged in as diskId is
// still as it was plugged in: its description and one note on its volume.
bool stickAsPluggedIn(const TestHost &host, const QString &diskId);

} // namespace hostchecks
