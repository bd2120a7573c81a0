#include "sim/standins/CommandInterpreter.h"

#include "sim/platform/SimHost.h"
#include "sim/platform/SimRegistry.h"
#include "sim/standins/ToolFaults.h"
#include "sim/standins/Tools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <unistd.h>

namespace hostsim {

namespace {

constexpr int kNotRecognized = 9009;

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString hostSetting(const QString &root, const char *key) {
    return simhost::hostSetting(root, QLatin1String(key)).toString();
}

QString windowsFolder(const QString &root) {
    return simhost::hostSetting(root, QStringLiteral("system/windowsDirectory"),
                                QStringLiteral("C:\\Windows"))
        .toString();
}

// The environment a process of the host inherits, as far as a command line
// can name it: Windows' own variables and the user's ([environment]).
QHash<QString, QString> hostVariables(const QString &root) {
    QString temp = hostSetting(root, "system/tempDirectory");
    while (temp.endsWith(QLatin1Char('\\')))
        temp.chop(1);
    const QString system = hostSetting(root, "system/systemDirectory");
    const QString windows = windowsFolder(root);
    QHash<QString, QString> vars{
        {QStringLiteral("SYSTEMROOT"), windows},
        {QStringLiteral("WINDIR"), windows},
        {QStringLiteral("SYSTEMDRIVE"), windows.left(2)},
        {QStringLiteral("TEMP"), temp},
        {QStringLiteral("TMP"), temp},
        {QStringLiteral("PATHEXT"), QStringLiteral(".COM;.EXE;.BAT;.CMD")},
        {QStringLiteral("PATH"), system + QLatin1Char(';') + windows + QLatin1Char(';') + system +
                                     QStringLiteral("\\Wbem;") + system +
                                     QStringLiteral("\\WindowsPowerShell\\v1.0\\")}};
    const QString comspec = hostSetting(root, "system/comspec");
    if (!comspec.isEmpty())
        vars.insert(QStringLiteral("COMSPEC"), comspec);
    QSettings ini(root + QStringLiteral("/host.ini"), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("environment"));
    for (const QString &name : ini.childKeys())
        vars.insert(name.toUpper(), ini.value(name).toString());
    return vars;
}

// Resolves a program name to the Windows path of an existing file, or empty:
// a path from the root of a drive, or a bare name, which cmd looks for in
// its current folder first and then on the search path. Names are taken
// with their extension, as the tool's lines give every program.
QString resolveProgram(const QString &root, const QString &name, const QString &workingFolder) {
    QStringList candidates;
    if (name.contains(QLatin1Char('\\')) || name.contains(QLatin1Char('/')) ||
        name.contains(QLatin1Char(':'))) {
        if (name.size() > 2 && name.at(1) == QLatin1Char(':') &&
            (name.at(2) == QLatin1Char('\\') || name.at(2) == QLatin1Char('/')))
            candidates.append(name);
    } else {
        const QString system = hostSetting(root, "system/systemDirectory");
        for (const QString &dir :
             {workingFolder, system, windowsFolder(root), system + QStringLiteral("\\Wbem"),
              system + QStringLiteral("\\WindowsPowerShell\\v1.0")}) {
            if (!dir.isEmpty())
                candidates.append(dir + QLatin1Char('\\') + name);
        }
    }
    for (const QString &candidate : candidates) {
        if (QFileInfo(simhost::localPath(root, candidate)).isFile())
            return candidate;
    }
    return QString();
}

// Replaces %NAME% by the variable's value where NAME is defined; anything
// else stays as written, as cmd leaves it on a command line (not in a batch
// file).
QString expandVariables(const QString &text, const QHash<QString, QString> &variables) {
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        const int end = text.at(i) == QLatin1Char('%') ? text.indexOf(QLatin1Char('%'), i + 1) : -1;
        const auto found = end > i + 1 ? variables.constFind(text.mid(i + 1, end - i - 1).toUpper())
                                       : variables.constEnd();
        if (found != variables.constEnd()) {
            out += found.value();
            i = end;
        } else {
            out += text.at(i);
        }
    }
    return out;
}

// cmd's rule for a command after /c that starts with a quote: the quotes are
// kept only when there are exactly two, nothing special and at least one
// blank lies between them and they enclose an existing program; otherwise
// the first and the last quote of the line are removed.
QString stripOuterQuotes(const QString &command,
                         const std::function<bool(const QString &)> &isProgram) {
    if (!command.startsWith(QLatin1Char('"')))
        return command;
    const int last = command.lastIndexOf(QLatin1Char('"'));
    if (command.count(QLatin1Char('"')) == 2) {
        const QString inner = command.mid(1, last - 1);
        bool special = false;
        for (const QChar c : inner)
            special = special || QStringLiteral("&<>()@^|").contains(c);
        const bool blank = inner.contains(QLatin1Char(' ')) || inner.contains(QLatin1Char('\t'));
        if (!special && blank && isProgram(inner))
            return command;
    }
    if (last <= 0)
        return command.mid(1);
    return command.mid(1, last - 1) + command.mid(last + 1);
}

// Splits the command text at unquoted "&" and takes the output redirection
// out of each command, honouring "^" escapes outside quotes.
QList<ParsedCommand> splitCommands(const QString &text) {
    QList<ParsedCommand> commands{ParsedCommand()};
    bool quoted = false;
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        ParsedCommand &current = commands.last();
        const QChar c = text.at(i);
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (quoted || c == QLatin1Char('"')) {
            current.text += c;
        } else if (c == QLatin1Char('^')) {
            if (++i < n)
                current.text += text.at(i);
        } else if (c == QLatin1Char('&')) {
            commands.append(ParsedCommand());
        } else if (c == QLatin1Char('>')) {
            current.append = i + 1 < n && text.at(i + 1) == QLatin1Char('>');
            for (i += current.append ? 2 : 1; i < n && isBlank(text.at(i));)
                ++i;
            current.output.clear();
            bool targetQuoted = false;
            for (; i < n; ++i) {
                const QChar t = text.at(i);
                if (t == QLatin1Char('"'))
                    targetQuoted = !targetQuoted;
                else if (!targetQuoted &&
                         (isBlank(t) || t == QLatin1Char('&') || t == QLatin1Char('>')))
                    break;
                else
                    current.output += t;
            }
            --i;
        } else {
            current.text += c;
        }
    }
    return commands;
}

// Splits "program rest" into the program token and the text after it. The
// program name ends at a blank or at one of cmd's delimiters ",;=/" outside
// quotes; the quotes around it are dropped.
void splitProgram(const QString &command, QString *program, QString *rest) {
    int i = 0;
    const int n = command.size();
    while (i < n && (isBlank(command.at(i)) || QStringLiteral(",;=").contains(command.at(i))))
        ++i;
    bool quoted = false;
    for (; i < n; ++i) {
        const QChar c = command.at(i);
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (isBlank(c) || QStringLiteral(",;=/").contains(c)))
            break;
        else
            *program += c;
    }
    *rest = command.mid(i < n && isBlank(command.at(i)) ? i + 1 : i);
}

int runCommand(const QString &root, const ParsedCommand &command, const QString &workingFolder,
               QIODevice *out, QIODevice *err) {
    QFile file;
    if (!command.output.isEmpty()) {
        const QString local = simhost::localPath(root, command.output);
        file.setFileName(local);
        // Only a drive-letter path can name a file of the host.
        if (local == command.output || !QFileInfo(local).absoluteDir().exists() ||
            !file.open(QIODevice::WriteOnly |
                       (command.append ? QIODevice::Append : QIODevice::Truncate))) {
            err->write("The system cannot find the path specified.\r\n");
            return 1;
        }
        out = &file;
    }
    QString program;
    QString rest;
    splitProgram(command.text, &program, &rest);
    if (program.isEmpty())
        return 0;
    // cmd's own echo and exit, for the runner's own tests.
    if (program.compare(QLatin1String("echo"), Qt::CaseInsensitive) == 0) {
        out->write(rest.trimmed().toLocal8Bit() + "\r\n");
        return 0;
    }
    if (program.compare(QLatin1String("exit"), Qt::CaseInsensitive) == 0)
        return rest.trimmed().toInt();
    const QString resolved = resolveProgram(root, program, workingFolder);
    if (resolved.isEmpty()) {
        err->write(QStringLiteral("'%1' is not recognized as an internal or external command,\r\n"
                                  "operable program or batch file.\r\n")
                       .arg(program)
                       .toLocal8Bit());
        return kNotRecognized;
    }
    return runProgram(root, resolved, rest, {out, err, file.isOpen()});
}

// The AutoRun commands of the registry, machine's first, then the user's.
QStringList autoRunCommands(const QString &root) {
    QStringList commands;
    for (const char *hive : {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER"}) {
        const QString command =
            simhost::registryValue(root,
                                   QLatin1String(hive) +
                                       QStringLiteral("\\Software\\Microsoft\\Command Processor"),
                                   QStringLiteral("AutoRun"))
                .toString();
        if (!command.isEmpty())
            commands.append(command);
    }
    return commands;
}

} // namespace

int runProgram(const QString &root, const QString &program, const QString &argumentText,
               const ProgramOutput &output) {
    const QString local = simhost::localPath(root, program);
    if (!simhost::isHostProgram(local)) {
        // Someone else's program: the simulation has nothing to run for it,
        // but notes that it would have run.
        simhost::appendLog(root, QStringLiteral("foreign.log"), program);
        output.err->write(program.toLocal8Bit() + ": not a program of Windows\r\n");
        return 1;
    }
    const QString fileName = QFileInfo(local).fileName();
    const Tool tool = standInFor(fileName);
    if (!tool) {
        output.err->write(program.toLocal8Bit() + ": no stand-in on the simulated host\r\n");
        return 1;
    }
    int failed = 0;
    if (injectedFailure(root, fileName, output.out, output.err, &failed))
        return failed;
    ToolContext context{root,       argumentText, splitArguments(argumentText),
                        output.out, output.err,   output.outIsFile,
                        output.in};
    return tool(context);
}

QStringList splitArguments(const QString &text) {
    QStringList out;
    QString current;
    bool quoted = false;
    bool any = false;
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\')) {
            int slashes = 0;
            for (; i < n && text.at(i) == QLatin1Char('\\'); ++i)
                ++slashes;
            const bool beforeQuote = i < n && text.at(i) == QLatin1Char('"');
            current += QString(beforeQuote ? slashes / 2 : slashes, QLatin1Char('\\'));
            if (beforeQuote && slashes % 2 == 1)
                current += QLatin1Char('"');
            else
                --i; // an even count leaves the quote to the next round
            any = true;
        } else if (c == QLatin1Char('"')) {
            if (quoted && i + 1 < n && text.at(i + 1) == QLatin1Char('"'))
                current += text.at(++i);
            else
                quoted = !quoted;
            any = true;
        } else if (isBlank(c) && !quoted) {
            if (any)
                out.append(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any)
        out.append(current);
    return out;
}

QList<ParsedCommand> parseInterpreterLine(const QString &line,
                                          const QHash<QString, QString> &variables,
                                          const std::function<bool(const QString &)> &isProgram,
                                          bool *autoRunOff) {
    // The interpreter's own path, quoted or up to the first blank, then its
    // switches up to /c.
    int i = 0;
    if (line.startsWith(QLatin1Char('"'))) {
        const int end = line.indexOf(QLatin1Char('"'), 1);
        i = end < 0 ? line.size() : end + 1;
    }
    while (i < line.size() && !isBlank(line.at(i)) && line.at(i) != QLatin1Char('/'))
        ++i;
    bool noAutoRun = false;
    for (;;) {
        while (i < line.size() && isBlank(line.at(i)))
            ++i;
        const QString option = line.mid(i, 2).toLower();
        if (option == QLatin1String("/c"))
            break;
        if (option != QLatin1String("/d"))
            return {};
        noAutoRun = true;
        i += 2;
    }
    if (autoRunOff)
        *autoRunOff = noAutoRun;
    for (i += 2; i < line.size() && isBlank(line.at(i));)
        ++i;
    return splitCommands(stripOuterQuotes(expandVariables(line.mid(i), variables), isProgram));
}

int runInterpreterLine(const QString &root, const QString &line, const QString &workingFolder) {
    applyDueHostEvents(root);
    StandardStreams streams;
    const QHash<QString, QString> variables = hostVariables(root);
    const auto isProgram = [&](const QString &path) {
        return !resolveProgram(root, path, workingFolder).isEmpty();
    };
    bool autoRunOff = false;
    const QList<ParsedCommand> commands =
        parseInterpreterLine(line, variables, isProgram, &autoRunOff);
    // Without /d, cmd first runs what the registry's AutoRun values say.
    if (!commands.isEmpty() && !autoRunOff) {
        for (const QString &autoRun : autoRunCommands(root)) {
            for (const ParsedCommand &command : splitCommands(expandVariables(autoRun, variables)))
                runCommand(root, command, workingFolder, &streams.out, &streams.err);
        }
    }
    // An interpreter without /c would wait for input; it has nothing to run.
    int code = 0;
    for (const ParsedCommand &command : commands)
        code = runCommand(root, command, workingFolder, &streams.out, &streams.err);
    return code;
}

int runConsoleSession(const QString &root, const QString &program, const QString &workingFolder,
                      const QString &arguments) {
    applyDueHostEvents(root);
    const QString line = arguments.isEmpty() ? program : program + QLatin1Char(' ') + arguments;
    simhost::appendCommandLog(root, {line, simhost::kStillRunning, program, workingFolder});
    // Written through at once: whoever holds the program's output waits for
    // its prompt.
    QFile stdOut;
    stdOut.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    const int code = runProgram(root, program, arguments, {&stdOut, &stdOut, false, stdin});
    simhost::noteSessionEnded(root, line, code);
    return code;
}

} // namespace hostsim
