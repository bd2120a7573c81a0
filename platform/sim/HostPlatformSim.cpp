// The operating-system door on the simulated Windows host (Linux builds).
#include "platform/HostPlatform.h"

#include "platform/sim/SimHost.h"

#include <QCoreApplication>
#include <QDir>
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

// The stand-in interpreter: $BMC_HOSTSIM_CMD, else hostsim-cmd beside the
// running executable.
QString interpreterProgram() {
    const QByteArray fromEnv = qgetenv(simhost::kInterpreterVariable);
    if (!fromEnv.isEmpty())
        return QString::fromLocal8Bit(fromEnv);
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QFileInfo(self).absolutePath() + QStringLiteral("/hostsim-cmd");
}

// First token of a command line as CreateProcessW reads it without an
// application name: quoted, or up to the first blank.
QString firstToken(const QString &line) {
    if (line.startsWith(QLatin1Char('"'))) {
        const int end = line.indexOf(QLatin1Char('"'), 1);
        return end < 0 ? line.mid(1) : line.mid(1, end - 1);
    }
    const int blank = line.indexOf(QLatin1Char(' '));
    return blank < 0 ? line : line.left(blank);
}

// Whether the program named by the line exists on the host and is its
// command interpreter. A bare name is searched in the system directory, as
// the search path of a Windows process would find it.
bool isHostInterpreter(const QString &root, const QString &program) {
    QString windowsPath = program;
    if (!program.contains(QLatin1Char('\\')) && !program.contains(QLatin1Char('/'))) {
        windowsPath =
            simhost::hostSetting(root, QStringLiteral("system/systemDirectory")).toString() +
            QLatin1Char('\\') + program;
    }
    if (!windowsPath.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive) &&
        !QFileInfo(simhost::localPath(root, windowsPath)).isFile())
        windowsPath += QStringLiteral(".exe");
    const QFileInfo file(simhost::localPath(root, windowsPath));
    return file.isFile() &&
           file.fileName().compare(QLatin1String("cmd.exe"), Qt::CaseInsensitive) == 0;
}

} // namespace

std::wstring systemDirectory() {
    return settingW("system/systemDirectory");
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

bool environmentVariable(const char *name, std::string &value) {
    if (qstrcmp(name, "COMSPEC") == 0) {
        // The host's own environment, as a Windows process would inherit it.
        const QString comspec =
            simhost::hostSetting(simhost::hostRoot(), QStringLiteral("system/comspec")).toString();
        if (comspec.isEmpty())
            return false;
        value = comspec.toStdString();
        return true;
    }
    const char *v = std::getenv(name);
    if (!v)
        return false;
    value = v;
    return true;
}

long long runHiddenProcess(wchar_t *commandLine, const StopCheck &stop) {
    if (!commandLine)
        return kProcessNotStarted;
    // Undo the byte-for-byte widening: each wide character carries one byte.
    std::string bytes;
    for (const wchar_t *p = commandLine; *p; ++p)
        bytes.push_back(static_cast<char>(static_cast<unsigned char>(*p & 0xff)));
    const QString line = QString::fromUtf8(bytes.c_str());

    const QString root = simhost::hostRoot();
    if (!isHostInterpreter(root, firstToken(line)))
        return kProcessNotStarted;

    const QByteArray program = QFile::encodeName(interpreterProgram());
    const QByteArray rootArg = QFile::encodeName(root);
    const QByteArray consoleLog = QFile::encodeName(root + QStringLiteral("/console.log"));
    char *argv[] = {const_cast<char *>(program.constData()),
                    const_cast<char *>(rootArg.constData()), const_cast<char *>(bytes.c_str()),
                    nullptr};

    // Windows exit codes are 32 bits wide, a Linux exit status 8: the
    // interpreter reports its code on descriptor 3. Its hidden console goes
    // to the host's console log.
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
    const int spawned =
        posix_spawn(&pid, program.constData(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(codePipe[1]);
    if (spawned != 0) {
        close(codePipe[0]);
        return kProcessNotStarted;
    }
    std::string reported;
    char buffer[32];
    bool stopped = false;
    for (;;) {
        if (stop) {
            pollfd ready = {codePipe[0], POLLIN, 0};
            const int polled = poll(&ready, 1, 250);
            if (polled == 0 || (polled < 0 && errno == EINTR)) {
                if (stop()) {
                    stopped = true;
                    kill(-pid, SIGKILL);
                    break;
                }
                continue;
            }
        }
        const ssize_t n = read(codePipe[0], buffer, sizeof buffer);
        if (n > 0)
            reported.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
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

int screenLogicalDpi() {
    return simhost::hostSetting(simhost::hostRoot(), QStringLiteral("system/dpi"), 96).toInt();
}

void setKeepAwake(bool on) {
    simhost::appendLog(simhost::hostRoot(), QStringLiteral("power.log"),
                       QStringLiteral("%1 thread=%2")
                           .arg(on ? QLatin1String("keep-awake") : QLatin1String("clear"))
                           .arg(reinterpret_cast<quintptr>(QThread::currentThreadId())));
}

bool shellStart(const char *fileName) {
    // The shell looks in the current directory for a relative name.
    const QString name = QString::fromUtf8(fileName);
    const QFileInfo program(QDir::current().absoluteFilePath(name));
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

DownloadResult downloadToFile(const std::wstring &url, const std::wstring &windowsPath,
                              const StopCheck &stop, const TransferProgress &progress) {
    const QString root = simhost::hostRoot();
    const QString local = simhost::localPath(root, fromWide(windowsPath));
    StallWatch watch;
    const simhost::HttpOutcome outcome = simhost::httpDownload(
        root, fromWide(url), local, nullptr, [&](qint64 milliseconds, qint64 bytes, qint64 total) {
            if (progress)
                progress(static_cast<unsigned long long>(bytes),
                         static_cast<unsigned long long>(qMax<qint64>(total, 0)));
            return (stop && stop()) || watch.stalled(static_cast<unsigned long long>(milliseconds),
                                                     static_cast<unsigned long long>(bytes));
        });
    switch (outcome) {
    case simhost::HttpOutcome::Completed:
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
