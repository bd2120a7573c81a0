// hostsim-cmd: the simulated host's command interpreter.
// Usage: hostsim-cmd <host root> <interpreter line>
//        hostsim-cmd <host root> --session <program> <arguments>
//        (a program started directly, its input and output held by the tool)
#include "tools/hostsim/CommandInterpreter.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <unistd.h>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const bool session = argc == 5 && std::strcmp(argv[2], "--session") == 0;
    if (argc != 3 && !session) {
        std::fprintf(stderr, "usage: hostsim-cmd <host root> <interpreter line>\n"
                             "       hostsim-cmd <host root> --session <program> <arguments>\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const int code = session ? hostsim::runConsoleSession(root, QString::fromUtf8(argv[3]),
                                                          QString::fromUtf8(argv[4]))
                             : hostsim::runInterpreterLine(root, QString::fromUtf8(argv[2]));
    // The full 32-bit exit code goes to descriptor 3 when the caller opened it;
    // a process exit status keeps only 8 bits.
    if (fcntl(3, F_GETFD) != -1) {
        const std::string text = std::to_string(code);
        if (write(3, text.data(), text.size()) < 0)
            std::fprintf(stderr, "hostsim-cmd: cannot report the exit code\n");
    }
    return code & 0xff;
}
