// A console program driven through its standard input, on the simulated
// host: the stand-in interpreter runs the program's stand-in in its session
// mode, with a socket for its input (a write to a program that has ended
// must fail, not raise SIGPIPE in the tool) and a pipe for its output. As for
// interpreter lines, the full 32-bit exit code comes back on descriptor 3.
#include "platform/HostPlatform.h"

#include "sim/platform/SimHost.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

extern char **environ;

namespace hostplatform {

namespace {

long long millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

void closeIfOpen(int *fd) {
    if (*fd >= 0)
        close(*fd);
    *fd = -1;
}

} // namespace

struct ConsoleSession::State {
    pid_t pid = 0;
    int input = -1;  // the program's standard input (a socket)
    int output = -1; // its standard output and error
    int code = -1;   // where it reports its exit code
    QString line;    // as the host logs it
    std::string pending;

    // Starts argv[0] with a socket for its input, one pipe for its output
    // and error and one for its exit code, in a process group of its own.
    bool spawn(char *const argv[]) {
        int inputPair[2] = {-1, -1}, outputPipe[2] = {-1, -1}, codePipe[2] = {-1, -1};
        bool made = socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, inputPair) == 0 &&
                    pipe2(outputPipe, O_CLOEXEC) == 0 && pipe2(codePipe, O_CLOEXEC) == 0;
        if (made) {
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_adddup2(&actions, inputPair[1], 0);
            posix_spawn_file_actions_adddup2(&actions, outputPipe[1], 1);
            posix_spawn_file_actions_adddup2(&actions, outputPipe[1], 2);
            posix_spawn_file_actions_adddup2(&actions, codePipe[1], 3);
            posix_spawnattr_t attributes;
            posix_spawnattr_init(&attributes);
            posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
            posix_spawnattr_setpgroup(&attributes, 0);
            made = posix_spawn(&pid, argv[0], &actions, &attributes, argv, environ) == 0;
            posix_spawnattr_destroy(&attributes);
            posix_spawn_file_actions_destroy(&actions);
        }
        for (int *child : {&inputPair[1], &outputPipe[1], &codePipe[1]})
            closeIfOpen(child);
        input = inputPair[0];
        output = outputPipe[0];
        code = codePipe[0];
        if (!made) {
            pid = 0;
            for (int *own : {&input, &output, &code})
                closeIfOpen(own);
        }
        return made;
    }

    // Waits at most timeoutMs for output and appends it; false once the
    // program has closed its output.
    bool readSome(int timeoutMs) {
        pollfd ready = {output, POLLIN, 0};
        const int polled = poll(&ready, 1, timeoutMs);
        if (polled <= 0)
            return polled == 0 || errno == EINTR;
        char buffer[4096];
        const ssize_t n = read(output, buffer, sizeof buffer);
        if (n > 0)
            pending.append(buffer, static_cast<std::size_t>(n));
        return n > 0 || (n < 0 && errno == EINTR);
    }
};

ConsoleSession::ConsoleSession() : m_state(new State) {}

ConsoleSession::~ConsoleSession() {
    if (m_state->pid > 0)
        finish(0);
    delete m_state;
}

bool ConsoleSession::start(const std::wstring &programPath, const std::wstring &arguments,
                           const std::wstring &workingFolder) {
    State &s = *m_state;
    const QString root = simhost::hostRoot();
    const QString program = QString::fromStdWString(programPath);
    const QString local = simhost::localPath(root, program);
    // A full path to a program of the host, and a folder to start in, or
    // nothing starts (CreateProcessW fails alike).
    if (s.pid > 0 || local == program || !QFileInfo(local).isFile() ||
        !QFileInfo(simhost::localPath(root, QString::fromStdWString(workingFolder))).isDir())
        return false;
    s.line = arguments.empty() ? program
                               : program + QLatin1Char(' ') + QString::fromStdWString(arguments);
    const QByteArray interpreter = QFile::encodeName(simhost::standInLauncher());
    const QByteArray rootArg = QFile::encodeName(root);
    const QByteArray programArg = program.toUtf8();
    const QByteArray folderArg = QString::fromStdWString(workingFolder).toUtf8();
    const QByteArray argumentArg = QString::fromStdWString(arguments).toUtf8();
    char session[] = "--session";
    char *argv[] = {const_cast<char *>(interpreter.constData()),
                    session,
                    const_cast<char *>(rootArg.constData()),
                    const_cast<char *>(programArg.constData()),
                    const_cast<char *>(folderArg.constData()),
                    const_cast<char *>(argumentArg.constData()),
                    nullptr};
    return s.spawn(argv);
}

bool ConsoleSession::send(const std::string &line) {
    State &s = *m_state;
    const std::string text = line + "\r\n";
    std::size_t sent = 0;
    while (s.input >= 0 && sent < text.size()) {
        const ssize_t n = ::send(s.input, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno != EINTR)
            return false;
        sent += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return s.input >= 0;
}

bool ConsoleSession::readUntil(const std::string &prompt, std::string *text,
                               unsigned long timeoutMs) {
    State &s = *m_state;
    const auto started = std::chrono::steady_clock::now();
    for (;;) {
        const std::size_t at = s.pending.find(prompt);
        if (!prompt.empty() && at != std::string::npos) {
            *text = s.pending.substr(0, at + prompt.size());
            s.pending.erase(0, at + prompt.size());
            return true;
        }
        const long long left = static_cast<long long>(timeoutMs) - millisecondsSince(started);
        if (s.output < 0 || left <= 0 || !s.readSome(static_cast<int>(left))) {
            text->swap(s.pending);
            s.pending.clear();
            return false;
        }
    }
}

long long ConsoleSession::finish(unsigned long timeoutMs) {
    State &s = *m_state;
    if (s.pid <= 0)
        return kProcessNotStarted;
    closeIfOpen(&s.input);
    // Its last output is read and dropped, so that a full pipe cannot hold
    // it up; it has ended once its output closes.
    const auto started = std::chrono::steady_clock::now();
    bool ended = s.output < 0;
    while (!ended && millisecondsSince(started) < static_cast<long long>(timeoutMs)) {
        ended = !s.readSome(
            static_cast<int>(static_cast<long long>(timeoutMs) - millisecondsSince(started)));
        s.pending.clear();
    }
    if (!ended)
        kill(-s.pid, SIGKILL);
    std::string reported;
    char buffer[32];
    for (ssize_t n; (n = read(s.code, buffer, sizeof buffer)) != 0;) {
        if (n > 0)
            reported.append(buffer, static_cast<std::size_t>(n));
        else if (errno != EINTR)
            break;
    }
    int status = 0;
    while (waitpid(s.pid, &status, 0) < 0 && errno == EINTR) {
    }
    s.pid = 0;
    closeIfOpen(&s.output);
    closeIfOpen(&s.code);
    if (!ended) {
        // Ended as a job ends its processes, with exit code 1.
        simhost::noteSessionEnded(simhost::hostRoot(), s.line, 1);
        return kProcessStopped;
    }
    if (!reported.empty())
        return std::stoll(reported);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

} // namespace hostplatform
