// The simulated Windows host: a folder (the host root) in which the tool runs
// on Linux as if it ran on Windows.
//
// Layout of a host root:
//   host.ini            Windows and system directory, temporary folder, screen
//                       dpi, whether the tool runs as an administrator
//                       (elevated), the user's environment, faults on request
//                       ([system], [environment], [faults])
//   registry.reg        the registry values the tool reads (see SimRegistry.h)
//   drives/<L>/         drive letter L: a folder, or a symbolic link to the
//                       volume folder of the disk that holds it
//   disks/<id>/disk.ini one simulated disk: number, model, media type, size
//   disks/<id>/volume/  the content of the disk's partition
//   hidden.txt          files that carry the hidden attribute
//   commands.log        every program the tool started: its command line, exit
//                       code, program and working folder; a console session is
//                       noted at its start and again when it ends
//   foreign.log         programs that ran although Windows did not bring them
//                       (any program file the host setup did not make)
//   shell.log, power.log  programs started through the shell, keep-awake requests
//   instance-<n>.lock   held by the running copy of the tool in session n
//   windows.log         window activations asked for by a second start
//   bits/<job>.job      a transfer job bitsadmin left with the service
//   trusted-roots.pem   the certificate authorities the host trusts for https
#pragma once

#include <QList>
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
// The program that starts the host's programs: $BMC_HOSTSIM_CMD, else
// hostsim-cmd beside the running executable.
QString standInLauncher();
// Environment variable naming the session a process runs in (a number;
// default 1): each session has its own running copy of the tool.
constexpr const char *kSessionVariable = "BMC_HOST_SESSION";

// The host root of this process: $BMC_HOST_ROOT, or ~/BootableMediaCreatorHost.
// A root that holds no host yet is made on first use by the maker set here
// (the tool's Linux build sets one that makes the sample host).
QString hostRoot();
void setFirstUseHostMaker(bool (*make)(const QString &root));

// Maps a Windows path ("C:\a\b", "R:/x") to the local path inside root.
// Drive letters and names are matched case-insensitively, as on Windows;
// ".." never leaves the drive. Paths without a drive letter are returned as
// given (relative to the current directory).
QString localPath(const QString &root, const QString &windowsPath);

// host.ini access.
QVariant hostSetting(const QString &root, const QString &key,
                     const QVariant &defaultValue = QVariant());
void setHostSetting(const QString &root, const QString &key, const QVariant &value);

// The content of every program file the host setup makes: one of Windows'
// own programs, for which a stand-in runs.
inline const char kHostProgramContent[] = "stand-in program of the simulated host\n";
// Whether a local file is such a program; anything else was put there by
// someone else.
bool isHostProgram(const QString &localFile);

// Hidden attribute of a local file inside the host root.
void setHidden(const QString &root, const QString &localFile, bool hidden);
bool isHidden(const QString &root, const QString &localFile);
// Drops the hidden attribute of everything inside a local folder (after the
// folder was emptied, so that new files there start without it).
void forgetHiddenBelow(const QString &root, const QString &localFolder);

// The command log: one entry per process the tool started. program and
// workingFolder are empty in entries of a start that did not name them.
struct LoggedCommand {
    QString line;
    long long exitCode = 0;
    QString program;       // the Windows path the process was started from
    QString workingFolder; // its current folder, as a Windows path
};
void appendCommandLog(const QString &root, const LoggedCommand &entry);
QList<LoggedCommand> readCommandLog(const QString &root);
// A console session is logged when it starts, with the exit code Windows
// reports for a process that is still running; the code it ended with
// takes its place once it has ended.
constexpr long long kStillRunning = 259; // STILL_ACTIVE
void noteSessionEnded(const QString &root, const QString &line, long long exitCode);

void appendLog(const QString &root, const QString &logName, const QString &text);
QStringList readLog(const QString &root, const QString &logName);

// The host's trust store: the certificate authorities whose certificates
// an https server may show, as PEM, in root/trusted-roots.pem. No file: no
// https server is trusted.
QString trustedRootsFile(const QString &root);

enum class HttpOutcome {
    Completed,
    Failed,
    // The server's certificate did not pass against the host's trust store,
    // or an https address redirected to one that is not https.
    NotAuthenticated,
};

// Streams an HTTP(S) GET of url into localFile, trusting only the
// authorities of root's trust store, following redirects but never from
// https to anything less. Anything but Completed removes a partial file.
// giveUp, when given, is asked about four times a second with the time
// since the start, the bytes received so far and the announced length (-1
// when unknown); true abandons the transfer.
// What tells one version of a served file from another.
struct HttpVersion {
    qint64 length = -1; // -1: not announced
    QByteArray etag;
    QByteArray lastModified;
};

HttpOutcome httpDownload(
    const QString &root, const QString &url, const QString &localFile, QString *error = nullptr,
    const std::function<bool(qint64 milliseconds, qint64 bytes, qint64 total)> &giveUp = {},
    HttpVersion *version = nullptr);

// A HEAD request of url under the same trust rules as httpDownload; the
// version the server announces when it answers with success. A server that
// has not answered within timeoutMs has failed, and so has a question given
// up because giveUp (asked ten times a second) said so.
HttpOutcome httpHead(const QString &root, const QString &url, HttpVersion *version, int timeoutMs,
                     const std::function<bool()> &giveUp);

} // namespace simhost
