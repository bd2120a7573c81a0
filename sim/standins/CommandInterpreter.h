// The stand-in for the Windows command interpreter on the simulated host: it
// reads a "cmd.exe /c ..." line as cmd does (quote stripping, %VAR%
// expansion, "^" escapes, "&", output redirection), resolves each program
// against the host root, runs the stand-in of that tool and logs the line
// with its exit code. Only what the tool's own command lines use is read,
// and cmd's "echo" and "exit N" for the runner's tests.
#pragma once

#include <QFile>
#include <QHash>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>

namespace hostsim {

// What a stand-in tool gets: the host root, its arguments, and where its
// standard output and error go.
struct ToolContext {
    QString root;
    QString argumentText;  // everything after the program name, as written
    QStringList arguments; // argumentText split as the C runtime splits it
    QIODevice *out = nullptr;
    QIODevice *err = nullptr;
    bool outIsFile = false; // standard output redirected to a file
    // Standard input when a program holds it (a console session); null for
    // an interpreter line, whose hidden console nobody types into.
    std::FILE *in = nullptr;
};

// Splits a command text into arguments as the Microsoft C runtime does:
// blanks separate arguments outside double quotes; 2n backslashes before a
// quote give n backslashes and a quote that toggles quoting, 2n+1 give n
// backslashes and a literal quote; "" inside quotes is a literal quote.
QStringList splitArguments(const QString &text);

// One command of an interpreter line, its output redirection taken out.
struct ParsedCommand {
    QString text;
    QString output; // file of ">" or ">>", empty when none
    bool append = false;
};

// The commands of an interpreter line; empty when it has no "/c" switch
// (only "/d" may come before it). variables maps upper-case names to values
// for %NAME% expansion; names not in it stay as written, as on a command
// line. isProgram tells whether a Windows path names an existing program; it
// decides whether cmd keeps the quotes around a quoted program path.
// autoRunOff, when given, tells whether the line has "/d".
QList<ParsedCommand> parseInterpreterLine(const QString &line,
                                          const QHash<QString, QString> &variables,
                                          const std::function<bool(const QString &)> &isProgram,
                                          bool *autoRunOff = nullptr);

// Runs one interpreter line against the host root, in workingFolder (a
// Windows path, where cmd looks first for a program named without a path),
// and returns the exit code. Without "/d" the registry's AutoRun commands
// ("...\Software\Microsoft\Command Processor", machine and user) run first.
int runInterpreterLine(const QString &root, const QString &line, const QString &workingFolder);

// Where a program's standard output and error go.
struct ProgramOutput {
    QIODevice *out;
    QIODevice *err;
    bool outIsFile;          // standard output redirected to a file
    std::FILE *in = nullptr; // standard input, when the program's starter holds it
};

// The process's own standard output and error, written through at once.
struct StandardStreams {
    QFile out, err;
    StandardStreams() {
        out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
        err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
};

// Runs the program file (a Windows path of an existing file) with its
// argument text: the stand-in of a program of the host, named by its file
// name; a program the host setup did not make only notes that it ran
// (foreign.log) and fails.
int runProgram(const QString &root, const QString &program, const QString &argumentText,
               const ProgramOutput &output);

// What the simulated process start runs: the program with the command line,
// in workingFolder, noted in the command log. cmd.exe is the stand-in
// interpreter; any other program is run directly, its arguments reaching it
// as written (no %NAME% expansion, no "&").
int runStartedProgram(const QString &root, const QString &program, const QString &workingFolder,
                      const QString &line);

// Runs a program started directly, by its full Windows path, with its
// standard input and output held by the starter (a console session), and
// returns its exit code. The start is logged when it happens, as the
// interpreter logs a line, so that a fault due at it comes first.
int runConsoleSession(const QString &root, const QString &program, const QString &workingFolder,
                      const QString &arguments);

} // namespace hostsim
