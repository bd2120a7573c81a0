#include "tools/hostsim/CommandInterpreter.h"

#include "platform/sim/SimHost.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <cstdio>

namespace hostsim {

namespace {

QHash<QString, Tool> &tools()
{
    static QHash<QString, Tool> registry;
    return registry;
}

constexpr int kNotRecognized = 9009;

// Where a bare program name is looked for, in order, as a Windows PATH has it.
QStringList searchPath(const QString &root)
{
    const QString system =
        simhost::hostSetting(root, QStringLiteral("system/systemDirectory")).toString();
    return {system, QStringLiteral("C:\\Windows"), system + QStringLiteral("\\Wbem"),
            system + QStringLiteral("\\WindowsPowerShell\\v1.0")};
}

// Resolves a program name to the Windows path of an existing file, or empty.
QString resolveProgram(const QString &root, const QString &name)
{
    QStringList candidates;
    const bool hasPath = name.contains(QLatin1Char('\\')) || name.contains(QLatin1Char('/')) ||
                         name.contains(QLatin1Char(':'));
    if (hasPath) {
        candidates.append(name);
    } else {
        for (const QString &dir : searchPath(root))
            candidates.append(dir + QLatin1Char('\\') + name);
    }
    const QStringList extensions = {QString(), QStringLiteral(".exe"), QStringLiteral(".com")};
    for (const QString &candidate : candidates) {
        for (const QString &ext : extensions) {
            if (!ext.isEmpty() && QFileInfo(candidate).suffix().size() > 0 && hasPath)
                continue;
            const QString windowsPath = candidate + ext;
            if (QFileInfo(simhost::localPath(root, windowsPath)).isFile())
                return windowsPath;
        }
    }
    return QString();
}

// Splits "program rest" into the program token and the raw rest.
void splitProgram(const QString &command, QString *program, QString *rest)
{
    const QString text = command.trimmed();
    if (text.startsWith(QLatin1Char('"'))) {
        const int end = text.indexOf(QLatin1Char('"'), 1);
        *program = end < 0 ? text.mid(1) : text.mid(1, end - 1);
        *rest = end < 0 ? QString() : text.mid(end + 1);
    } else {
        const int blank = text.indexOf(QLatin1Char(' '));
        *program = blank < 0 ? text : text.left(blank);
        *rest = blank < 0 ? QString() : text.mid(blank + 1);
    }
    if (rest->startsWith(QLatin1Char(' ')))
        *rest = rest->mid(1);
}

int runBuiltIn(const QString &name, const QString &rest, QIODevice *out, bool *handled)
{
    *handled = true;
    const QString lower = name.toLower();
    if (lower == QLatin1String("echo")) {
        out->write(rest.trimmed().toLocal8Bit() + "\r\n");
        return 0;
    }
    if (lower == QLatin1String("exit")) {
        QStringList args = splitArguments(rest);
        args.removeAll(QStringLiteral("/b"));
        args.removeAll(QStringLiteral("/B"));
        return args.isEmpty() ? 0 : args.first().toInt();
    }
    *handled = false;
    return 0;
}

} // namespace

void registerTool(const QString &fileName, Tool tool)
{
    tools().insert(fileName.toLower(), std::move(tool));
}

QStringList splitArguments(const QString &text)
{
    QStringList out;
    QString current;
    bool quoted = false;
    bool any = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            any = true;
        } else if (c == QLatin1Char(' ') && !quoted) {
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

ParsedLine parseInterpreterLine(const QString &line)
{
    ParsedLine parsed;
    // The interpreter's own path ends at the first blank (or closing quote).
    QString program;
    QString rest;
    splitProgram(line, &program, &rest);
    if (!rest.startsWith(QLatin1String("/c "), Qt::CaseInsensitive) &&
        rest.compare(QLatin1String("/c"), Qt::CaseInsensitive) != 0)
        return parsed;
    parsed.valid = true;
    const QString command = rest.mid(3);

    // A redirection outside quotes ends the command.
    bool quoted = false;
    for (int i = 0; i < command.size(); ++i) {
        const QChar c = command.at(i);
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('>'))
            continue;
        const bool append = i + 1 < command.size() && command.at(i + 1) == QLatin1Char('>');
        const QStringList target = splitArguments(command.mid(i + (append ? 2 : 1)));
        parsed.command = command.left(i);
        if (!target.isEmpty())
            (append ? parsed.appendTarget : parsed.overwriteTarget) = target.first();
        return parsed;
    }
    parsed.command = command;
    return parsed;
}

int runInterpreterLine(const QString &root, const QString &line)
{
    QFile stdOut;
    QFile stdErr;
    stdOut.open(stdout, QIODevice::WriteOnly);
    stdErr.open(stderr, QIODevice::WriteOnly);

    const ParsedLine parsed = parseInterpreterLine(line);
    int code = 1;
    if (!parsed.valid) {
        code = 0; // an interpreter without /c would wait for input; nothing to do here
        simhost::appendCommandLog(root, line, code);
        return code;
    }

    QIODevice *out = &stdOut;
    QFile redirected;
    const QString target = !parsed.appendTarget.isEmpty() ? parsed.appendTarget
                                                          : parsed.overwriteTarget;
    if (!target.isEmpty()) {
        redirected.setFileName(simhost::localPath(root, target));
        const QIODevice::OpenMode mode =
            QIODevice::WriteOnly |
            (parsed.appendTarget.isEmpty() ? QIODevice::Truncate : QIODevice::Append);
        if (!redirected.open(mode)) {
            stdErr.write("The system cannot find the path specified.\r\n");
            simhost::appendCommandLog(root, line, 1);
            return 1;
        }
        out = &redirected;
    }

    QString program;
    QString rest;
    splitProgram(parsed.command, &program, &rest);
    bool handled = false;
    if (program.isEmpty()) {
        code = 0;
    } else {
        code = runBuiltIn(program, rest, out, &handled);
        if (!handled) {
            const QString resolved = resolveProgram(root, program);
            const QString fileName =
                resolved.mid(resolved.lastIndexOf(QRegularExpression(QStringLiteral("[\\\\/]"))) + 1);
            const auto tool = tools().constFind(fileName.toLower());
            if (resolved.isEmpty()) {
                stdErr.write(QStringLiteral("'%1' is not recognized as an internal or external "
                                            "command,\r\noperable program or batch file.\r\n")
                                 .arg(program)
                                 .toLocal8Bit());
                code = kNotRecognized;
            } else if (tool == tools().constEnd()) {
                stdErr.write(QStringLiteral("%1: no stand-in for this program on the simulated "
                                            "host\r\n")
                                 .arg(resolved)
                                 .toLocal8Bit());
                code = 1;
            } else {
                ToolContext context{root, resolved, rest, splitArguments(rest), out, &stdErr};
                code = (*tool)(context);
            }
        }
    }
    if (redirected.isOpen())
        redirected.close();
    simhost::appendCommandLog(root, line, code);
    return code;
}

} // namespace hostsim
