// The tool starts against a fresh host, shows its window, ignores its
// command-line arguments and ends cleanly when its event loop is quit.
#include "app/AppContext.h"
#include "app/Startup.h"
#include "support/TestHost.h"

#include <QApplication>
#include <QWidget>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

int main() {
    TestHost host;
    if (!host.isValid())
        return 2;

    // Quit the loop from outside once it runs, as the window's way out does,
    // after noting what was shown.
    std::atomic<bool> sawWindow{false};
    std::thread quitter([&sawWindow]() {
        while (!QCoreApplication::instance())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [&sawWindow]() {
                for (QWidget *w : QApplication::topLevelWidgets())
                    sawWindow = sawWindow || (w->isVisible() && w->inherits("QCreateBootable"));
                QCoreApplication::quit();
            },
            Qt::QueuedConnection);
    });

    char name[] = "BootableMediaCreator";
    char unknown[] = "--no-such-option";
    char path[] = "C:\\some\\file.txt";
    char *argv[] = {name, unknown, path, nullptr};
    int argc = 3;
    const int result = runTool(argc, argv);
    quitter.join();

    const bool ok = result == 0 && sawWindow && AppContext::scaleFactor() == 1.0f &&
                    AppContext::systemDirPath() == QStringLiteral("C:\\Windows\\system32");
    std::printf("%s: exit %d, window shown %d, scale %.2f, system dir %s\n", ok ? "PASS" : "FAIL",
                result, int(sawWindow.load()), double(AppContext::scaleFactor()),
                qPrintable(AppContext::systemDirPath()));
    std::printf("%d passed, %d failed\n", ok ? 1 : 0, ok ? 0 : 1);
    return ok ? 0 : 1;
}
