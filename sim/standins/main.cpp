// hostsim-cmd: starts programs on the simulated host.
// Usage: hostsim-cmd --start <host root> <program> <working folder> <command line>
//        hostsim-cmd --session <host root> <program> <working folder> <arguments>
//        hostsim-cmd <host root> <interpreter line>
// The first is the simulated process start (a program of the host by its
// Windows path); the second starts a program whose input and output the tool
// holds (a console session); the third runs an interpreter line in the
// folder that a process started without one inherits (host.ini
// system/currentDirectory).
#include "sim/standins/CommandInterpreter.h"

#include "sim/platform/SimHost.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

int run(char *argv[]) {
    if (std::strcmp(argv[1], "--session") == 0)
        return hostsim::runConsoleSession(QString::fromLocal8Bit(argv[2]),
                                          QString::fromUtf8(argv[3]), QString::fromUtf8(argv[4]),
                                          QString::fromUtf8(argv[5]));
    if (std::strcmp(argv[1], "--start") == 0)
        return hostsim::runStartedProgram(QString::fromLocal8Bit(argv[2]),
                                          QString::fromUtf8(argv[3]), QString::fromUtf8(argv[4]),
                                          QString::fromUtf8(argv[5]));
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString line = QString::fromUtf8(argv[2]);
    const QString inherited =
        simhost::hostSetting(root, QStringLiteral("system/currentDirectory")).toString();
    const int code = hostsim::runInterpreterLine(root, line, inherited);
    simhost::appendCommandLog(root, {line, code, QString(), inherited});
    return code;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const bool started = argc == 6 && (std::strcmp(argv[1], "--start") == 0 ||
                                       std::strcmp(argv[1], "--session") == 0);
    if (argc != 3 && !started) {
        std::fprintf(stderr, "usage: hostsim-cmd --start <host root> <program> <working folder> "
                             "<command line>\n       hostsim-cmd --session <host root> <program> "
                             "<working folder> <arguments>\n       hostsim-cmd <host root> "
                             "<interpreter line>\n");
        return 2;
    }
    const int code = run(argv);
    // The full 32-bit exit code goes to descriptor 3 when the caller opened it;
    // a process exit status keeps only 8 bits.
    if (fcntl(3, F_GETFD) != -1) {
        const std::string text = std::to_string(code);
        if (write(3, text.data(), text.size()) < 0)
            std::fprintf(stderr, "hostsim-cmd: cannot report the exit code\n");
    }
    return code & 0xff;
}
