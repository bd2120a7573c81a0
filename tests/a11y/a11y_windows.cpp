// The idle main window with the confirmation over it, on a fresh simulated
// host, for a read through the real accessibility bus (atspi_names.py):
// prints "ready" once both are up and keeps them up until its standard input
// closes.
#include "support/TestHost.h"
#include "support/ToolSession.h"

#include "app/AppContext.h"
#include "app/LanguageSelection.h"

#include <QApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    TestHost host;
    if (!host.isValid())
        return 2;
    fixHostIdentity();
    selectLanguageFromHost();
    QCreateBootable window;
    window.show();
    if (!ToolSession::press(window.CreateBootable))
        return 3;
    std::printf("ready\n");
    std::fflush(stdout);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [] {
        char byte;
        if (read(STDIN_FILENO, &byte, 1) <= 0)
            QCoreApplication::quit();
    });
    return app.exec();
}
