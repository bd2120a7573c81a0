// The operating-system door on the simulated Windows host (Linux builds).
#include "platform/HostPlatform.h"

#include "platform/sim/SimHost.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>
#include <QThread>

#include <openssl/evp.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
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

unsigned long long stallWindowMs() {
    const qlonglong window =
        simhost::hostSetting(simhost::hostRoot(), QStringLiteral("network/stallWindowMs"))
            .toLongLong();
    return window > 0 ? static_cast<unsigned long long>(window) : kStallWindowMs;
}

namespace {

RemoteVersion remoteVersionOf(const simhost::HttpVersion &version) {
    return {version.length, version.etag.toStdString(), version.lastModified.toStdString()};
}

} // namespace

bool remoteVersion(const std::wstring &url, RemoteVersion *version, const StopCheck &stop) {
    simhost::HttpVersion answered;
    // A silent server is given up as a silent download is.
    if (simhost::httpHead(simhost::hostRoot(), fromWide(url), &answered,
                          static_cast<int>(stallWindowMs()),
                          stop) != simhost::HttpOutcome::Completed)
        return false;
    *version = remoteVersionOf(answered);
    return true;
}

DownloadResult downloadToFile(const std::wstring &url, const std::wstring &windowsPath,
                              const StopCheck &stop, const TransferProgress &progress,
                              RemoteVersion *version) {
    const QString root = simhost::hostRoot();
    const QString local = simhost::localPath(root, fromWide(windowsPath));
    StallWatch watch;
    simhost::HttpVersion served;
    const simhost::HttpOutcome outcome = simhost::httpDownload(
        root, fromWide(url), local, nullptr,
        [&](qint64 milliseconds, qint64 bytes, qint64 total) {
            if (progress)
                progress(static_cast<unsigned long long>(bytes),
                         static_cast<unsigned long long>(qMax<qint64>(total, 0)));
            return (stop && stop()) || watch.stalled(static_cast<unsigned long long>(milliseconds),
                                                     static_cast<unsigned long long>(bytes));
        },
        &served);
    switch (outcome) {
    case simhost::HttpOutcome::Completed:
        if (version)
            *version = remoteVersionOf(served);
        return DownloadResult::Completed;
    case simhost::HttpOutcome::NotAuthenticated:
        return DownloadResult::NotAuthenticated;
    case simhost::HttpOutcome::Failed:
        break;
    }
    return DownloadResult::Failed;
}

bool sha256OfFile(const std::string &localFile, unsigned char digest[kSha256Size],
                  bool fromDevice) {
    // Read size: large enough that the calls cost nothing beside the hashing.
    constexpr std::size_t kChunk = 1 << 20;
    const int file = open(localFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return false;
    if (fromDevice) {
        // The page cache drops only clean pages: write the file out first. A
        // failed write-out means the device does not hold the data. What stays
        // cached after that (pages mapped elsewhere) is still read from memory.
        if (fdatasync(file) != 0 && errno == EIO) {
            close(file);
            return false;
        }
        posix_fadvise(file, 0, 0, POSIX_FADV_DONTNEED);
    }
    posix_fadvise(file, 0, 0, POSIX_FADV_SEQUENTIAL);
    const std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX *)> context(EVP_MD_CTX_new(),
                                                                      &EVP_MD_CTX_free);
    const std::unique_ptr<unsigned char[]> chunk(new unsigned char[kChunk]);
    bool ok = context && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) == 1;
    while (ok) {
        const ssize_t got = read(file, chunk.get(), kChunk);
        if (got == 0)
            break;
        if (got < 0) {
            ok = errno == EINTR;
            continue;
        }
        ok = EVP_DigestUpdate(context.get(), chunk.get(), static_cast<std::size_t>(got)) == 1;
    }
    close(file);
    unsigned int length = 0;
    return ok && EVP_DigestFinal_ex(context.get(), digest, &length) == 1 &&
           length == static_cast<unsigned int>(kSha256Size);
}

struct GrowingFileHash::State {
    std::string path;
    int file = -1;
    EVP_MD_CTX *context = EVP_MD_CTX_new();
    bool ok = context && EVP_DigestInit_ex(context, EVP_sha256(), nullptr) == 1;
    unsigned long long hashed = 0;
    std::unique_ptr<unsigned char[]> chunk{new unsigned char[1 << 20]};

    ~State() {
        if (file >= 0)
            close(file);
        EVP_MD_CTX_free(context);
    }

    // Hashes from where the last read ended up to the current end.
    void readToEnd() {
        if (file < 0)
            file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        while (ok && file >= 0) {
            const ssize_t got = read(file, chunk.get(), 1 << 20);
            if (got == 0)
                return;
            if (got < 0) {
                ok = errno == EINTR;
                continue;
            }
            ok = EVP_DigestUpdate(context, chunk.get(), static_cast<std::size_t>(got)) == 1;
            hashed += static_cast<unsigned long long>(got);
        }
    }
};

GrowingFileHash::GrowingFileHash(const std::string &localFile) : m_state(new State) {
    m_state->path = localFile;
}

GrowingFileHash::~GrowingFileHash() {
    delete m_state;
}

void GrowingFileHash::catchUp() {
    m_state->readToEnd();
}

bool GrowingFileHash::finish(unsigned char digest[kSha256Size]) {
    State &s = *m_state;
    s.readToEnd();
    // The file under the path must be the one read, and no longer or shorter.
    struct stat held {
    }, named{};
    if (!s.ok || s.file < 0 || fstat(s.file, &held) != 0 || stat(s.path.c_str(), &named) != 0 ||
        held.st_dev != named.st_dev || held.st_ino != named.st_ino ||
        static_cast<unsigned long long>(named.st_size) != s.hashed)
        return false;
    unsigned int length = 0;
    return EVP_DigestFinal_ex(s.context, digest, &length) == 1 &&
           length == static_cast<unsigned int>(kSha256Size);
}

unsigned long long GrowingFileHash::hashedBytes() const {
    return m_state->hashed;
}

std::string localPath(const std::string &windowsPath) {
    return simhost::localPath(simhost::hostRoot(), QString::fromStdString(windowsPath))
        .toStdString();
}

} // namespace hostplatform
