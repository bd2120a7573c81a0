// The stand-in for the Windows command interpreter on the simulated host: it
// reads a "cmd.exe /c ..." line as cmd does, resolves the program against the
// host root, runs the stand-in of that tool and logs the line with its exit
// code.
#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>

#include <functional>

namespace hostsim {

// What a stand-in tool gets: the host root, its arguments, and where its
// standard output and error go.
struct ToolContext {
    QString root;
    QString programPath; // Windows path of the resolved program
    QString argumentText; // everything after the program name, as written
    QStringList arguments; // argumentText split as the C runtime splits it
    QIODevice *out = nullptr;
    QIODevice *err = nullptr;
};

using Tool = std::function<int(ToolContext &)>;

// Registers the stand-in for a program file name (case-insensitive, with
// its extension, for example "diskpart.exe").
void registerTool(const QString &fileName, Tool tool);

// Splits a command text at blanks, honouring double quotes.
QStringList splitArguments(const QString &text);

// The parts of an interpreter line.
struct ParsedLine {
    bool valid = false;      // has a "/c" switch
    QString command;         // the command without the redirection
    QString appendTarget;    // file of ">>", empty when none
    QString overwriteTarget; // file of ">", empty when none
};
ParsedLine parseInterpreterLine(const QString &line);

// Runs one interpreter line against the host root and returns the exit code.
int runInterpreterLine(const QString &root, const QString &line);

} // namespace hostsim
