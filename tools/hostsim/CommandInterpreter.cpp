#include "tools/hostsim/CommandInterpreter.h"

#include "platform/sim/SimHost.h"
#include "tools/hostsim/ToolFaults.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace hostsim {

namespace {

QHash<QString, Tool> &tools() {
    static QHash<QString, Tool> registry;
    return registry;
}

constexpr int kNotRecognized = 9009;
constexpr int kElevationRequired = 740;

// Programs whose manifest asks for administrator rights: a process without
// them cannot start them, and cmd reports the Windows error as its code.
const char *const kAdministratorPrograms[] = {"diskpart.exe"};

// Interpreter commands: cmd runs these itself, whatever files exist.
const char *const kInternalCommands[] = {
    "assoc", "break", "call",  "cd",       "chdir",  "cls",    "color", "copy",     "date",
    "del",   "dir",   "echo",  "endlocal", "erase",  "exit",   "for",   "ftype",    "goto",
    "if",    "md",    "mkdir", "mklink",   "move",   "path",   "pause", "popd",     "prompt",
    "pushd", "rd",    "rem",   "ren",      "rename", "rmdir",  "set",   "setlocal", "shift",
    "start", "time",  "title", "type",     "ver",    "verify", "vol",
};

QString systemDirectory(const QString &root) {
    return simhost::hostSetting(root, QStringLiteral("system/systemDirectory")).toString();
}

// The environment a process of the host inherits, as far as a command line
// can name it.
QHash<QString, QString> hostVariables(const QString &root) {
    QString temp = simhost::hostSetting(root, QStringLiteral("system/tempDirectory")).toString();
    while (temp.endsWith(QLatin1Char('\\')))
        temp.chop(1);
    const QString system = systemDirectory(root);
    QHash<QString, QString> vars;
    vars.insert(QStringLiteral("SYSTEMROOT"), QStringLiteral("C:\\Windows"));
    vars.insert(QStringLiteral("WINDIR"), QStringLiteral("C:\\Windows"));
    vars.insert(QStringLiteral("SYSTEMDRIVE"), QStringLiteral("C:"));
    vars.insert(QStringLiteral("TEMP"), temp);
    vars.insert(QStringLiteral("TMP"), temp);
    vars.insert(QStringLiteral("PATHEXT"), QStringLiteral(".COM;.EXE;.BAT;.CMD"));
    vars.insert(QStringLiteral("PATH"), system + QStringLiteral(";C:\\Windows;") + system +
                                            QStringLiteral("\\Wbem;") + system +
                                            QStringLiteral("\\WindowsPowerShell\\v1.0\\"));
    const QString comspec = simhost::hostSetting(root, QStringLiteral("system/comspec")).toString();
    if (!comspec.isEmpty())
        vars.insert(QStringLiteral("COMSPEC"), comspec);
    return vars;
}

// Where a bare program name is looked for, in order, as the host's PATH has it.
QStringList searchPath(const QString &root) {
    const QString system = systemDirectory(root);
    return {system, QStringLiteral("C:\\Windows"), system + QStringLiteral("\\Wbem"),
            system + QStringLiteral("\\WindowsPowerShell\\v1.0")};
}

bool isExistingFile(const QString &root, const QString &windowsPath) {
    return QFileInfo(simhost::localPath(root, windowsPath)).isFile();
}

bool hasExtension(const QString &name) {
    const int slash = qMax(name.lastIndexOf(QLatin1Char('\\')), name.lastIndexOf(QLatin1Char('/')));
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > slash && dot < name.size() - 1;
}

// Resolves a program name to the Windows path of an existing file, or empty.
// A name without extension is tried with each extension of PATHEXT, never
// as it stands: cmd does not run a file without extension.
QString resolveProgram(const QString &root, const QString &name) {
    QStringList candidates;
    const bool hasPath = name.contains(QLatin1Char('\\')) || name.contains(QLatin1Char('/')) ||
                         name.contains(QLatin1Char(':'));
    if (hasPath) {
        // The process's current folder is not part of the simulation, so only
        // paths from the root of a drive can be found.
        if (name.startsWith(QLatin1Char('\\')) || name.startsWith(QLatin1Char('/')))
            candidates.append(QStringLiteral("C:") + name);
        else if (name.size() > 2 && name.at(1) == QLatin1Char(':') &&
                 (name.at(2) == QLatin1Char('\\') || name.at(2) == QLatin1Char('/')))
            candidates.append(name);
    } else {
        for (const QString &dir : searchPath(root))
            candidates.append(dir + QLatin1Char('\\') + name);
    }
    const QStringList extensions =
        hasExtension(name) ? QStringList{QString()}
                           : QStringList{QStringLiteral(".COM"), QStringLiteral(".EXE"),
                                         QStringLiteral(".BAT"), QStringLiteral(".CMD")};
    for (const QString &candidate : candidates) {
        for (const QString &ext : extensions) {
            if (isExistingFile(root, candidate + ext))
                return candidate + ext;
        }
    }
    return QString();
}

bool isInternalCommand(const QString &name) {
    for (const char *internal : kInternalCommands) {
        if (name.compare(QLatin1String(internal), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool needsAdministrator(const QString &fileName) {
    for (const char *program : kAdministratorPrograms) {
        if (fileName.compare(QLatin1String(program), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Replaces %NAME% by the variable's value where NAME is defined; anything
// else stays as written, as cmd leaves it on a command line (not in a batch
// file).
QString expandVariables(const QString &text, const QHash<QString, QString> &variables) {
    QString out;
    int i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('%')) {
            const int end = text.indexOf(QLatin1Char('%'), i + 1);
            if (end > i + 1) {
                const auto found = variables.constFind(text.mid(i + 1, end - i - 1).toUpper());
                if (found != variables.constEnd()) {
                    out += found.value();
                    i = end + 1;
                    continue;
                }
            }
        }
        out += c;
        ++i;
    }
    return out;
}

// cmd's rule for a command after /c that starts with a quote: the quotes are
// kept only when there are exactly two, nothing special and at least one
// blank lies between them and they enclose an existing program; otherwise
// the first and the last quote of the line are removed.
QString stripOuterQuotes(const QString &command, bool slashS,
                         const std::function<bool(const QString &)> &isProgram) {
    if (!command.startsWith(QLatin1Char('"')))
        return command;
    const int last = command.lastIndexOf(QLatin1Char('"'));
    if (!slashS && command.count(QLatin1Char('"')) == 2) {
        const QString inner = command.mid(1, last - 1);
        bool special = false;
        for (const QChar c : inner)
            special = special || QStringLiteral("&<>()@^|").contains(c);
        const bool blank = inner.contains(QLatin1Char(' ')) || inner.contains(QLatin1Char('\t'));
        if (!special && blank && isProgram && isProgram(inner))
            return command;
    }
    if (last <= 0)
        return command.mid(1);
    return command.mid(1, last - 1) + command.mid(last + 1);
}

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Splits the command text at unquoted "&", "&&", "||" and "|" and takes the
// redirections out of each command, honouring "^" escapes outside quotes.
QList<ParsedCommand> splitCommands(const QString &text) {
    QList<ParsedCommand> commands;
    ParsedCommand current;
    bool quoted = false;
    int i = 0;
    const int n = text.size();
    auto finish = [&](Chain chain) {
        current.next = chain;
        commands.append(current);
        current = ParsedCommand();
    };
    while (i < n) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            current.text += c;
            ++i;
            continue;
        }
        if (quoted) {
            current.text += c;
            ++i;
            continue;
        }
        if (c == QLatin1Char('^')) {
            if (i + 1 < n)
                current.text += text.at(i + 1);
            i += 2;
            continue;
        }
        if (c == QLatin1Char('&')) {
            const bool doubled = i + 1 < n && text.at(i + 1) == QLatin1Char('&');
            finish(doubled ? Chain::OnSuccess : Chain::Always);
            i += doubled ? 2 : 1;
            continue;
        }
        if (c == QLatin1Char('|')) {
            const bool doubled = i + 1 < n && text.at(i + 1) == QLatin1Char('|');
            finish(doubled ? Chain::OnFailure : Chain::Pipe);
            i += doubled ? 2 : 1;
            continue;
        }
        if (c == QLatin1Char('>') || c == QLatin1Char('<')) {
            Redirection r;
            r.handle = c == QLatin1Char('<') ? 0 : 1;
            // "2>" names the handle with a digit that stands alone before it.
            const QString &t = current.text;
            if (!t.isEmpty() && t.back().isDigit() &&
                (t.size() == 1 || isBlank(t.at(t.size() - 2)))) {
                r.handle = t.back().digitValue();
                current.text.chop(1);
            }
            ++i;
            if (c == QLatin1Char('>') && i < n && text.at(i) == QLatin1Char('>')) {
                r.append = true;
                ++i;
            }
            if (i + 1 < n && text.at(i) == QLatin1Char('&') && text.at(i + 1).isDigit()) {
                r.duplicateOf = text.at(i + 1).digitValue();
                i += 2;
                current.redirections.append(r);
                continue;
            }
            while (i < n && isBlank(text.at(i)))
                ++i;
            bool targetQuoted = false;
            while (i < n) {
                const QChar t2 = text.at(i);
                if (t2 == QLatin1Char('"')) {
                    targetQuoted = !targetQuoted;
                    ++i;
                    continue;
                }
                if (!targetQuoted && (isBlank(t2) || QStringLiteral("&|<>").contains(t2)))
                    break;
                if (!targetQuoted && t2 == QLatin1Char('^') && i + 1 < n) {
                    r.target += text.at(i + 1);
                    i += 2;
                    continue;
                }
                r.target += t2;
                ++i;
            }
            current.redirections.append(r);
            continue;
        }
        current.text += c;
        ++i;
    }
    finish(Chain::End);
    return commands;
}

// Splits "program rest" into the program token and the text after it. The
// program name ends at a blank or at one of cmd's delimiters ",;=/" outside
// quotes; the quotes around it are dropped.
void splitProgram(const QString &command, QString *program, QString *rest) {
    int i = 0;
    const int n = command.size();
    while (i < n && (isBlank(command.at(i)) || command.at(i) == QLatin1Char(',') ||
                     command.at(i) == QLatin1Char(';') || command.at(i) == QLatin1Char('=')))
        ++i;
    QString name;
    bool quoted = false;
    for (; i < n; ++i) {
        const QChar c = command.at(i);
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            continue;
        }
        if (!quoted && (isBlank(c) || QStringLiteral(",;=/").contains(c)))
            break;
        name += c;
    }
    *program = name;
    *rest = command.mid(i);
    if (rest->startsWith(QLatin1Char(' ')) || rest->startsWith(QLatin1Char('\t')))
        *rest = rest->mid(1);
}

// Output handles of one command.
struct Handles {
    QIODevice *out = nullptr;
    QIODevice *err = nullptr;
    bool outIsFile = false;
};

class CommandRunner {
public:
    CommandRunner(const QString &root, QIODevice *out, QIODevice *err)
        : m_root(root), m_out(out), m_err(err) {}

    // Runs one command; stop is set by "exit".
    int run(const ParsedCommand &command, QIODevice *pipedOut, bool *stop) {
        Handles handles{pipedOut ? pipedOut : m_out, m_err, false};
        QList<QFile *> opened;
        const auto closeAll = [&opened]() {
            for (QFile *f : opened) {
                f->close();
                delete f;
            }
        };
        for (const Redirection &r : command.redirections) {
            if (r.duplicateOf >= 0) {
                QIODevice *source = r.duplicateOf == 2 ? handles.err : handles.out;
                if (r.handle == 2) {
                    handles.err = source;
                } else if (r.handle == 1) {
                    handles.out = source;
                    handles.outIsFile = false;
                }
                continue;
            }
            if (r.target.isEmpty()) {
                m_err->write("The syntax of the command is incorrect.\r\n");
                closeAll();
                return 1;
            }
            const QString local = r.target.compare(QLatin1String("nul"), Qt::CaseInsensitive) == 0
                                      ? QStringLiteral("/dev/null")
                                      : simhost::localPath(m_root, r.target);
            if (r.handle == 0) {
                if (!QFileInfo(local).isFile()) {
                    m_err->write("The system cannot find the file specified.\r\n");
                    closeAll();
                    return 1;
                }
                continue; // no stand-in reads its input
            }
            auto *file = new QFile(local);
            const QIODevice::OpenMode mode =
                QIODevice::WriteOnly | (r.append ? QIODevice::Append : QIODevice::Truncate);
            // Only a drive-letter path can name a file of the host.
            const bool hostPath = local == QLatin1String("/dev/null") || local != r.target;
            if (!hostPath || !QFileInfo(local).absoluteDir().exists() || !file->open(mode)) {
                delete file;
                m_err->write("The system cannot find the path specified.\r\n");
                closeAll();
                return 1;
            }
            opened.append(file);
            if (r.handle == 2) {
                handles.err = file;
            } else {
                handles.out = file;
                handles.outIsFile = local != QLatin1String("/dev/null");
            }
        }
        const int code = runProgram(command.text, handles, stop);
        closeAll();
        return code;
    }

private:
    int runProgram(const QString &text, const Handles &handles, bool *stop) {
        QString program;
        QString rest;
        splitProgram(text, &program, &rest);
        if (program.isEmpty())
            return 0;

        if (isInternalCommand(program))
            return runInternal(program, rest, handles, stop);

        const QString resolved = resolveProgram(m_root, program);
        if (resolved.isEmpty()) {
            handles.err->write(QStringLiteral("'%1' is not recognized as an internal or external "
                                              "command,\r\noperable program or batch file.\r\n")
                                   .arg(program)
                                   .toLocal8Bit());
            return kNotRecognized;
        }
        const QString fileName = QFileInfo(simhost::localPath(m_root, resolved)).fileName();
        if (needsAdministrator(fileName) &&
            !simhost::hostSetting(m_root, QStringLiteral("system/elevated"), true).toBool()) {
            handles.err->write("The requested operation requires elevation.\r\n");
            return kElevationRequired;
        }
        const auto tool = tools().constFind(fileName.toLower());
        if (tool == tools().constEnd()) {
            handles.err->write(QStringLiteral("%1: no stand-in for this program on the simulated "
                                              "host\r\n")
                                   .arg(resolved)
                                   .toLocal8Bit());
            return 1;
        }
        int failed = 0;
        if (injectedFailure(m_root, fileName, handles.out, handles.err, &failed))
            return failed;
        ToolContext context{m_root,      resolved,         rest, splitArguments(rest), handles.out,
                            handles.err, handles.outIsFile};
        return (*tool)(context);
    }

    int runInternal(const QString &name, const QString &rest, const Handles &handles, bool *stop) {
        const QString lower = name.toLower();
        if (lower == QLatin1String("echo")) {
            // cmd would keep blanks before a redirection; nothing relies on them.
            const QString text = rest.trimmed();
            handles.out->write(text.isEmpty() ? QByteArray("ECHO is on.\r\n")
                                              : text.toLocal8Bit() + "\r\n");
            return 0;
        }
        if (lower == QLatin1String("rem"))
            return 0;
        if (lower == QLatin1String("exit")) {
            QStringList args = splitArguments(rest);
            args.removeAll(QStringLiteral("/b"));
            args.removeAll(QStringLiteral("/B"));
            *stop = true;
            return args.isEmpty() ? 0 : args.first().toInt();
        }
        handles.err->write(QStringLiteral("%1: this interpreter command is not emulated on the "
                                          "simulated host\r\n")
                               .arg(name)
                               .toLocal8Bit());
        return 1;
    }

    QString m_root;
    QIODevice *m_out;
    QIODevice *m_err;
};

} // namespace

void registerTool(const QString &fileName, Tool tool) {
    tools().insert(fileName.toLower(), std::move(tool));
}

QStringList splitArguments(const QString &text) {
    QStringList out;
    QString current;
    bool quoted = false;
    bool any = false;
    const int n = text.size();
    int i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\')) {
            int slashes = 0;
            while (i < n && text.at(i) == QLatin1Char('\\')) {
                ++slashes;
                ++i;
            }
            if (i < n && text.at(i) == QLatin1Char('"')) {
                current += QString(slashes / 2, QLatin1Char('\\'));
                if (slashes % 2 == 1) {
                    current += QLatin1Char('"');
                    ++i;
                }
                // An even count leaves the quote to the next round.
            } else {
                current += QString(slashes, QLatin1Char('\\'));
            }
            any = true;
            continue;
        }
        if (c == QLatin1Char('"')) {
            if (quoted && i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                current += QLatin1Char('"');
                i += 2;
            } else {
                quoted = !quoted;
                ++i;
            }
            any = true;
            continue;
        }
        if (isBlank(c) && !quoted) {
            if (any)
                out.append(current);
            current.clear();
            any = false;
            ++i;
            continue;
        }
        current += c;
        any = true;
        ++i;
    }
    if (any)
        out.append(current);
    return out;
}

ParsedLine parseInterpreterLine(const QString &line, const QHash<QString, QString> &variables,
                                const std::function<bool(const QString &)> &isProgram) {
    ParsedLine parsed;
    // The interpreter's own path: quoted, or up to the first blank.
    int i = 0;
    if (line.startsWith(QLatin1Char('"'))) {
        const int end = line.indexOf(QLatin1Char('"'), 1);
        i = end < 0 ? line.size() : end + 1;
    } else {
        while (i < line.size() && !isBlank(line.at(i)) && line.at(i) != QLatin1Char('/'))
            ++i;
    }
    // Its switches, up to /c (or /k, which runs the command the same way
    // before it would wait for input).
    bool slashS = false;
    for (;;) {
        while (i < line.size() && isBlank(line.at(i)))
            ++i;
        if (i + 1 >= line.size() || line.at(i) != QLatin1Char('/'))
            return parsed;
        const QChar sw = line.at(i + 1).toLower();
        if (sw == QLatin1Char('c') || sw == QLatin1Char('k')) {
            i += 2;
            break;
        }
        if (sw == QLatin1Char('s'))
            slashS = true;
        while (i < line.size() && !isBlank(line.at(i)))
            ++i;
    }
    while (i < line.size() && isBlank(line.at(i)))
        ++i;
    parsed.valid = true;
    parsed.command = stripOuterQuotes(expandVariables(line.mid(i), variables), slashS, isProgram);
    parsed.commands = splitCommands(parsed.command);
    return parsed;
}

int runInterpreterLine(const QString &root, const QString &line) {
    applyDueStickEvent(root);
    QFile stdOut;
    QFile stdErr;
    stdOut.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    stdErr.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);

    const ParsedLine parsed =
        parseInterpreterLine(line, hostVariables(root), [&root](const QString &path) {
            return !resolveProgram(root, path).isEmpty();
        });
    if (!parsed.valid) {
        // An interpreter without /c would wait for input; nothing to do here.
        simhost::appendCommandLog(root, line, 0);
        return 0;
    }

    CommandRunner runner(root, &stdOut, &stdErr);
    int code = 0;
    bool stop = false;
    Chain previous = Chain::Always;
    QBuffer pipe;
    for (const ParsedCommand &command : parsed.commands) {
        const bool skip = (previous == Chain::OnSuccess && code != 0) ||
                          (previous == Chain::OnFailure && code == 0);
        if (!skip) {
            // A pipe's reader gets nothing from the stand-ins; what the
            // writer prints is dropped, as no stand-in reads its input.
            QIODevice *pipedOut = nullptr;
            if (command.next == Chain::Pipe) {
                pipe.close();
                pipe.setData(QByteArray());
                pipe.open(QIODevice::WriteOnly);
                pipedOut = &pipe;
            }
            code = runner.run(command, pipedOut, &stop);
            if (stop)
                break;
        }
        previous = command.next;
    }
    stdOut.close();
    stdErr.close();
    simhost::appendCommandLog(root, line, code);
    return code;
}

} // namespace hostsim
