#include "command/ShellCommandRunner.h"

#include "platform/HostPlatform.h"

#include <cstring>

namespace {
constexpr std::size_t kWideCapacity = kMaxCommandLineLength + 1; // terminator included
} // namespace

std::string buildInterpreterLine(const std::string &interpreter, const char *command,
                                 const char *argument) {
    std::string line = interpreter;
    line += " /c ";
    line += command ? command : "";
    line += ' ';
    line += argument ? argument : "";
    return line;
}

long long ShellCommandRunner(const char *command, const char *argument) {
    return ShellCommandRunner(command, argument, std::function<bool()>());
}

long long ShellCommandRunner(const char *command, const char *argument,
                             const std::function<bool()> &stop) {
    std::string interpreter;
    if (!hostplatform::environmentVariable("COMSPEC", interpreter))
        interpreter = "CMD.EXE";

    const std::string line = buildInterpreterLine(interpreter, command, argument);
    if (line.size() > kMaxCommandLineLength)
        return kCommandNotStarted;

    // Byte-for-byte widening, as the C runtime's conversion in the default
    // C locale does on Windows.
    wchar_t wide[kWideCapacity];
    std::size_t i = 0;
    for (; i < line.size(); ++i)
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(line[i]));
    wide[i] = L'\0';

    const long long code = hostplatform::runHiddenProcess(wide, stop);
    if (code == hostplatform::kProcessStopped)
        return kCommandStopped;
    return code == hostplatform::kProcessNotStarted ? kCommandNotStarted : code;
}
