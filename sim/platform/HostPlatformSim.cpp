// The operating-system door on the simulated Windows host (Linux builds):
// folders and files, processes, screen and power, the shell's start. Downloads
// and hashing have files of their own beside this one.
#include "platform/HostPlatform.h"

#include "sim/platform/SimHost.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace hostplatform {

namespace {

QString fromWide(const std::wstring &w) {
    return QString::fromStdWString(w);
}

std::wstring settingW(const char *key) {
    return simhost::hostSetting(simhost::hostRoot(), QString::fromLatin1(key))
        .toString()
        .toStdWString();
}

// "X:\..." on a drive of the host: the only kind of path the simulated
// host starts (it has no network shares).
bool isFullPath(const QString &path) {
    return path.size() >= 3 && path.at(0).isLetter() && path.at(0).unicode() < 0x80 &&
           path.at(1) == QLatin1Char(':') && path.at(2) == QLatin1Char('\\');
}

} // namespace

std::wstring systemDirectory() {
    return settingW("system/systemDirectory");
}

std::wstring windowsDirectory() {
    return simhost::hostSetting(simhost::hostRoot(), QStringLiteral("system/windowsDirectory"),
                                QStringLiteral("C:\\Windows"))
        .toString()
        .toStdWString();
}

std::wstring tempDirectory() {
    // GetTempPathW always ends the folder in a backslash, however TMP is set.
    std::wstring folder = settingW("system/tempDirectory");
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

bool canCreateFilesIn(const std::wstring &windowsFolder) {
    const QString root = simhost::hostRoot();
    QString folder = fromWide(windowsFolder);
    if (folder.isEmpty())
        return false;
    // The host may mark folders read-only for everyone, as Windows
    // permissions can (file modes do not stop a test run as root).
    QString bare = folder;
    while (bare.endsWith(QLatin1Char('\\')))
        bare.chop(1);
    const QStringList readOnly =
        simhost::hostSetting(root, QStringLiteral("faults/readOnlyFolders")).toStringList();
    for (QString marked : readOnly) {
        while (marked.endsWith(QLatin1Char('\\')))
            marked.chop(1);
        if (marked.compare(bare, Qt::CaseInsensitive) == 0)
            return false;
    }
    const QString local = simhost::localPath(root, bare);
    if (!QFileInfo(local).isDir())
        return false;
    QTemporaryFile probe(local + QStringLiteral("/bmcXXXXXX.tmp"));
    return probe.open();
}

bool createHiddenEmptyFile(const std::wstring &windowsPath) {
    const QString root = simhost::hostRoot();
    const QString local = simhost::localPath(root, fromWide(windowsPath));
    QFile file(local);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.close();
    simhost::setHidden(root, local, true);
    return true;
}

namespace {

// Reads what the started process reports on its code pipe until it ends,
// or until the stop check says stop (the whole group is ended then).
// Returns whether it was stopped.
bool readReport(int codePipe, pid_t pid, const StopCheck &stop, std::string *reported) {
    char buffer[32];
    for (;;) {
        if (stop) {
            pollfd ready = {codePipe, POLLIN, 0};
            const int polled = poll(&ready, 1, 250);
            if (polled == 0 || (polled < 0 && errno == EINTR)) {
                if (stop()) {
                    kill(-pid, SIGKILL);
                    return true;
                }
                continue;
            }
        }
        const ssize_t n = read(codePipe, buffer, sizeof buffer);
        if (n > 0)
            reported->append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            return false;
    }
}

// Starts argv (hostsim-cmd) hidden and waits for it, as runHiddenProcess.
long long spawnAndWait(char *argv[], const QString &root, const StopCheck &stop) {
    const QByteArray consoleLog = QFile::encodeName(root + QStringLiteral("/console.log"));
    // Windows exit codes are 32 bits wide, a Linux exit status 8: the
    // started program reports its code on descriptor 3. Its hidden console
    // goes to the host's console log.
    int codePipe[2];
    if (pipe2(codePipe, O_CLOEXEC) != 0)
        return kProcessNotStarted;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, codePipe[1], 3);
    posix_spawn_file_actions_addopen(&actions, 1, consoleLog.constData(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    // A group of its own, so that a stop ends the interpreter together with
    // whatever it started, as a job object does on Windows.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(codePipe[1]);
    if (spawned != 0) {
        close(codePipe[0]);
        return kProcessNotStarted;
    }
    std::string reported;
    const bool stopped = readReport(codePipe[0], pid, stop, &reported);
    close(codePipe[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return stopped ? kProcessStopped : 0; // the exit code cannot be read: counts as 0
    }
    if (stopped)
        return kProcessStopped;
    if (!reported.empty())
        return std::stoll(reported);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

} // namespace

long long runHiddenProcess(const std::wstring &program, wchar_t *commandLine,
                           const StopCheck &stop) {
    if (!commandLine)
        return kProcessNotStarted;
    // Undo the byte-for-byte widening: each wide character carries one byte.
    std::string bytes;
    for (const wchar_t *p = commandLine; *p; ++p)
        bytes.push_back(static_cast<char>(static_cast<unsigned char>(*p & 0xff)));

    const QString root = simhost::hostRoot();
    const QString programPath = fromWide(program);
    const QString folder = fromWide(systemDirectory());
    if (!isFullPath(programPath) || folder.isEmpty() ||
        !QFileInfo(simhost::localPath(root, programPath)).isFile())
        return kProcessNotStarted;

    // hostsim-cmd starts the program: the stand-in interpreter for cmd.exe,
    // the stand-in tool for any other program of the host.
    const QByteArray launcher = QFile::encodeName(simhost::standInLauncher());
    const QByteArray rootArg = QFile::encodeName(root);
    const QByteArray programArg = programPath.toUtf8();
    const QByteArray folderArg = folder.toUtf8();
    char startSwitch[] = "--start";
    char *argv[] = {const_cast<char *>(launcher.constData()),
                    startSwitch,
                    const_cast<char *>(rootArg.constData()),
                    const_cast<char *>(programArg.constData()),
                    const_cast<char *>(folderArg.constData()),
                    const_cast<char *>(bytes.c_str()),
                    nullptr};
    return spawnAndWait(argv, root, stop);
}

int screenLogicalDpi() {
    return simhost::hostSetting(simhost::hostRoot(), QStringLiteral("system/dpi"), 96).toInt();
}

void setKeepAwake(bool on) {
    simhost::appendLog(simhost::hostRoot(), QStringLiteral("power.log"),
                       QStringLiteral("%1 thread=%2")
                           .arg(on ? QLatin1String("keep-awake") : QLatin1String("clear"))
                           .arg(reinterpret_cast<quintptr>(QThread::currentThreadId())));
}

void restrictLibrarySearch() {
    // The simulated host loads no Windows libraries.
}

bool shellStart(const std::wstring &programPath) {
    // On the simulated host the tool's own folder is a local folder: the
    // program is given by its local path, and started in its own folder.
    const QFileInfo program(fromWide(programPath));
    if (program.isRelative())
        return false;
    const QString root = simhost::hostRoot();
    const bool started =
        program.isFile() && program.isExecutable() &&
        QProcess::startDetached(program.absoluteFilePath(), {}, program.absolutePath());
    simhost::appendLog(
        root, QStringLiteral("shell.log"),
        QStringLiteral("%1 %2").arg(started ? QLatin1String("started") : QLatin1String("failed"),
                                    program.absoluteFilePath()));
    return started;
}

std::string localPath(const std::string &windowsPath) {
    return simhost::localPath(simhost::hostRoot(), QString::fromStdString(windowsPath))
        .toStdString();
}

} // namespace hostplatform
