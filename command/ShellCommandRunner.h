// Runs one command line through the Windows command interpreter, hidden, and
// waits for it to end; or starts one of Windows' programs directly, where no
// interpreter may read its arguments. Every external tool of the system is
// started here, by its full path in the system directory.
//
// Plain C++ on purpose: it builds with the Windows layer alone.
#pragma once

#include <functional>
#include <string>

// Result of the runners: the command's exit code, or kCommandNotStarted when
// no process could be created (program missing, no system directory, or a
// line too long to pass on whole).
constexpr long long kCommandNotStarted = -1;
// Result of a runner when its stop check ended the command.
constexpr long long kCommandStopped = -2;

// Longest command line that is passed on; the wide buffer holds 512 wide
// characters including the terminator.
constexpr std::size_t kMaxCommandLineLength = 511;

// Runs "<system directory>\cmd.exe /d /c <command> <argument>" hidden and
// waits without limit. Both texts are UTF-8; every byte reaches the child as
// the wide character of the same value, so only ASCII passes unchanged. A
// line longer than kMaxCommandLineLength is refused rather than cut: a
// truncated command line could run something other than what was built.
long long ShellCommandRunner(const char *command, const char *argument);

// The same, for a command that may have to be given up: the stop check is
// asked about four times a second, and when it says stop the command is
// ended with everything it started, and the result is kCommandStopped.
long long ShellCommandRunner(const char *command, const char *argument,
                             const std::function<bool()> &stop);

// Starts the program (a full path, ASCII) directly, with the line "<program>
// <arguments>" (the program quoted when it holds a blank): no interpreter
// reads the arguments, so "%NAME%" and "&" reach the program as written. The
// C runtime of the program still splits them at blanks and reads double
// quotes. Refusals, stop and result as for ShellCommandRunner.
long long ProgramRunner(const char *program, const char *arguments,
                        const std::function<bool()> &stop = {});
