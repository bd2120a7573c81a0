// The simulated process start: what CreateProcessW would run for a program
// path and a command line, and the command log's note of it.
#include "sim/standins/CommandInterpreter.h"

#include "sim/platform/SimHost.h"
#include "sim/standins/ToolFaults.h"

#include <QFileInfo>

namespace hostsim {

namespace {

// The command line after the program's own name (quoted, or up to the
// first blank), as the C runtime of the program skips it.
QString argumentText(const QString &line) {
    int i = 0;
    if (line.startsWith(QLatin1Char('"'))) {
        const int end = line.indexOf(QLatin1Char('"'), 1);
        i = end < 0 ? line.size() : end + 1;
    }
    while (i < line.size() && line.at(i) != QLatin1Char(' ') && line.at(i) != QLatin1Char('\t'))
        ++i;
    while (i < line.size() && (line.at(i) == QLatin1Char(' ') || line.at(i) == QLatin1Char('\t')))
        ++i;
    return line.mid(i);
}

int runDirectly(const QString &root, const QString &program, const QString &line) {
    applyDueHostEvents(root);
    StandardStreams streams;
    return runProgram(root, program, argumentText(line), {&streams.out, &streams.err, false});
}

} // namespace

int runStartedProgram(const QString &root, const QString &program, const QString &workingFolder,
                      const QString &line) {
    const QString local = simhost::localPath(root, program);
    const bool interpreter =
        simhost::isHostProgram(local) &&
        QFileInfo(local).fileName().compare(QLatin1String("cmd.exe"), Qt::CaseInsensitive) == 0;
    const int code = interpreter ? runInterpreterLine(root, line, workingFolder)
                                 : runDirectly(root, program, line);
    simhost::appendCommandLog(root, {line, code, program, workingFolder});
    return code;
}

} // namespace hostsim
