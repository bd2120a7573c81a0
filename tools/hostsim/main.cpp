// hostsim-cmd: the simulated host's command interpreter.
// Usage: hostsim-cmd <host root> <interpreter line>
#include "tools/hostsim/CommandInterpreter.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <string>

#include <fcntl.h>
#include <unistd.h>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: hostsim-cmd <host root> <interpreter line>\n");
        return 2;
    }
    const int code =
        hostsim::runInterpreterLine(QString::fromLocal8Bit(argv[1]), QString::fromUtf8(argv[2]));
    // The full 32-bit exit code goes to descriptor 3 when the caller opened it;
    // a process exit status keeps only 8 bits.
    if (fcntl(3, F_GETFD) != -1) {
        const std::string text = std::to_string(code);
        if (write(3, text.data(), text.size()) < 0)
            std::fprintf(stderr, "hostsim-cmd: cannot report the exit code\n");
    }
    return code & 0xff;
}
