// The stand-in for the Windows command interpreter on the simulated host: it
// reads a "cmd.exe /c ..." line as cmd does (quote stripping, %VAR%
// expansion, "^" escapes, "&", "&&", "||", "|", redirections), resolves each
// program against the host root, runs the stand-in of that tool and logs the
// line with its exit code.
#pragma once

#include <QHash>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace hostsim {

// What a stand-in tool gets: the host root, its arguments, and where its
// standard output and error go.
struct ToolContext {
    QString root;
    QString programPath;   // Windows path of the resolved program
    QString argumentText;  // everything after the program name, as written
    QStringList arguments; // argumentText split as the C runtime splits it
    QIODevice *out = nullptr;
    QIODevice *err = nullptr;
    bool outIsFile = false; // standard output redirected to a file
};

using Tool = std::function<int(ToolContext &)>;

// Registers the stand-in for a program file name (case-insensitive, with
// its extension, for example "diskpart.exe").
void registerTool(const QString &fileName, Tool tool);

// Splits a command text into arguments as the Microsoft C runtime does:
// blanks separate arguments outside double quotes; 2n backslashes before a
// quote give n backslashes and a quote that toggles quoting, 2n+1 give n
// backslashes and a literal quote; "" inside quotes is a literal quote.
QStringList splitArguments(const QString &text);

// One redirection of a command: handle 0 ("<"), 1 or 2, to a file or to
// another handle ("2>&1").
struct Redirection {
    int handle = 1;
    bool append = false;
    QString target;       // file, empty when duplicating a handle
    int duplicateOf = -1; // handle of "N>&M", -1 when none
};

// How a command is chained to the one after it.
enum class Chain { End, Always, OnSuccess, OnFailure, Pipe };

// One command of an interpreter line, with its redirections removed.
struct ParsedCommand {
    QString text;
    QList<Redirection> redirections;
    Chain next = Chain::End;
};

// The parts of an interpreter line.
struct ParsedLine {
    bool valid = false; // has a "/c" (or "/k") switch
    QString command;    // the text after the switch, after quote stripping
    QList<ParsedCommand> commands;
};

// Parses an interpreter line. variables maps upper-case names to values for
// %NAME% expansion; names not in it stay as written, as on a command line.
// isProgram tells whether a Windows path names an existing program; it
// decides whether cmd keeps the quotes around a quoted program path.
ParsedLine parseInterpreterLine(const QString &line, const QHash<QString, QString> &variables = {},
                                const std::function<bool(const QString &)> &isProgram = {});

// Runs one interpreter line against the host root and returns the exit code.
int runInterpreterLine(const QString &root, const QString &line);

} // namespace hostsim
