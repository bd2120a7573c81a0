// The fixed paths, values and command lines of a build other than the disk
// scripts and the boot-file plan: download, size test, image copy, clean-up.
#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

#include <functional>

namespace buildpaths {
inline const char kDownloadFolder[] = "C:\\DownloadFIle";
inline const char kDownloadedImage[] = "C:\\DownloadFIle\\boot.wim";
inline const char kMountFolder[] = "C:\\mount";
inline const char kWinreFolder[] = "C:\\mount\\winre";
inline const char kRecEnvFile[] = "C:\\mount\\winre\\sources\\recovery\\RecEnv.exe";
inline const char kBuildLogName[] = "BootableMediaCreator.log";
} // namespace buildpaths

// The smallest image accepted as a complete download (0x0E330D74 bytes).
constexpr qint64 kMinimumImageSize = 238226804;

bool passesSizeTest(qint64 imageSize);

// The two registry keys whose "ProductName" tells whether this is Windows 7,
// in the order they are asked.
QStringList windowsVersionKeys();
bool namesWindows7(const QString &productName);

// The host product's value that holds the image link for this system.
QString downloadLinkValueName(bool windows7);

// The host product's value that may pin the image's SHA-256 for that link.
QString pinnedDigestValueName(bool windows7);

// The pinned digest: 64 hex digits (either case, blanks around ignored) as
// 32 bytes. Empty for an empty value; *malformed is set for a value that is
// there but is no digest, which must not pass for no pin at all.
QByteArray parsePinnedDigest(const QString &value, bool *malformed);

// Whether the image from this link can be trusted to be the publisher's: an
// https link (the system checks the server's certificate), or any usable
// link with a pinned digest (the image itself is checked).
bool isAuthenticatedSource(const QString &link, const QByteArray &pinnedDigest);

// The link as the log may show it: scheme, host, port and path. A user
// name, a password or a query may hold secrets and are left out.
QString linkForLog(const QString &link);

// Whether the link may be used at all: a plain http or https URL of printable
// ASCII without blanks or double quotes, so it can be handed to the download
// and, quoted, to a command line.
bool isUsableDownloadLink(const QString &link);

// The fallback download when the system's own download call fails:
// bitsadmin of the system directory, started directly (ProgramRunner). No
// interpreter reads its arguments, so a link's "%41%" or "&" reaches it as
// written; the link holds no blank or quote, so it is one argument as it is.
QString bitsadminProgram(const QString &systemDirectory);
QString bitsadminArguments(const QString &link);
// Cancels the fallback's job: the transfer service keeps a job, and its
// partial file, after bitsadmin itself has been ended.
QString bitsadminCancelArguments();

// The downloaded image as the image copy names it: C:\DownloadFIle\Boot.wim
// (file names ignore case, so it is the downloaded boot.wim).
QString imageSourcePath();

// Copies the image to <letter>:\sources\boot.wim. The destination ends in
// "*", which tells Xcopy that it names a file, so it asks nothing.
QString imageCopyCommand(const QString &systemDirectory, const QString &imageSource,
                         QChar letter = QLatin1Char('R'));

QString dismCleanupCommand(const QString &systemDirectory);
QString rmdirCommand(const QString &systemDirectory, const QString &folder);

// The drive letter for the new partition: R when no volume holds it, else
// the first free one of S to Z; a null QChar when all are taken.
QChar newVolumeLetter(const std::function<bool(QChar)> &letterInUse);
