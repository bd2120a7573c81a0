#include "command/ShellCommandRunner.h"

#include "platform/HostPlatform.h"

namespace {

constexpr std::size_t kWideCapacity = kMaxCommandLineLength + 1; // terminator included

std::string quotedIfBlank(const std::string &path) {
    return path.find(' ') == std::string::npos ? path : '"' + path + '"';
}

// The system directory as 8-bit text; empty when it is unknown or not ASCII
// (a line is widened byte for byte, so nothing else would reach the child).
std::string systemDirectoryText() {
    std::string text;
    for (const wchar_t c : hostplatform::systemDirectory()) {
        if (c <= 0 || c >= 0x80)
            return std::string();
        text.push_back(static_cast<char>(c));
    }
    return text;
}

// Widens the line byte for byte, as the C runtime's conversion in the
// default C locale does on Windows, and starts program with it.
long long startLine(const std::string &program, const std::string &line,
                    const std::function<bool()> &stop) {
    if (program.empty() || line.size() > kMaxCommandLineLength)
        return kCommandNotStarted;
    wchar_t wide[kWideCapacity];
    std::size_t i = 0;
    for (; i < line.size(); ++i)
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(line[i]));
    wide[i] = L'\0';
    const std::wstring programWide(program.begin(), program.end());
    const long long code = hostplatform::runHiddenProcess(programWide, wide, stop);
    if (code == hostplatform::kProcessStopped)
        return kCommandStopped;
    return code == hostplatform::kProcessNotStarted ? kCommandNotStarted : code;
}

// The interpreter line: the interpreter's path (quoted when it holds a
// blank), " /d /c " (/d: no AutoRun command of the registry runs first), the
// command, one blank, the argument.
std::string buildInterpreterLine(const std::string &interpreter, const char *command,
                                 const char *argument) {
    std::string line = quotedIfBlank(interpreter);
    line += " /d /c ";
    line += command ? command : "";
    line += ' ';
    line += argument ? argument : "";
    return line;
}

} // namespace

long long ShellCommandRunner(const char *command, const char *argument) {
    return ShellCommandRunner(command, argument, std::function<bool()>());
}

long long ShellCommandRunner(const char *command, const char *argument,
                             const std::function<bool()> &stop) {
    const std::string system = systemDirectoryText();
    if (system.empty())
        return kCommandNotStarted;
    const std::string interpreter = system + "\\cmd.exe";
    return startLine(interpreter, buildInterpreterLine(interpreter, command, argument), stop);
}

long long ProgramRunner(const char *program, const char *arguments,
                        const std::function<bool()> &stop) {
    const std::string path = program ? program : "";
    for (const char c : path) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return kCommandNotStarted;
    }
    return startLine(path, quotedIfBlank(path) + ' ' + (arguments ? arguments : ""), stop);
}
