// The tool starts against a fresh host, shows its window, ignores its
// command-line arguments and ends cleanly when its event loop is quit. The
// host's screen is a 144 dpi one: the scale follows it, and so do the fonts,
// whose points become pixels at the screen's dpi as on Windows.
#include "app/AppContext.h"
#include "app/Startup.h"
#include "dialogs/WindowLook.h"
#include "support/TestHost.h"

#include <QApplication>
#include <QFontInfo>
#include <QWidget>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

int main() {
    simhost::HostSpec screen144 = simhost::sampleHostSpec();
    screen144.dpi = 144;
    TestHost host(screen144);
    if (!host.isValid())
        return 2;

    // Quit the loop from outside once it runs, as the window's way out does,
    // after noting what was shown.
    std::atomic<bool> sawWindow{false};
    std::atomic<int> bodyPixels{0};
    std::thread quitter([&sawWindow, &bodyPixels]() {
        while (!QCoreApplication::instance())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [&sawWindow, &bodyPixels]() {
                for (QWidget *w : QApplication::topLevelWidgets())
                    sawWindow = sawWindow || (w->isVisible() && w->inherits("QCreateBootable"));
                bodyPixels = QFontInfo(windowlook::bodyFont()).pixelSize();
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

    // 10 points at 144 dpi.
    const bool ok = result == 0 && sawWindow && AppContext::scaleFactor() == 1.5f &&
                    bodyPixels == 20 &&
                    AppContext::systemDirPath() == QStringLiteral("C:\\Windows\\system32");
    std::printf("%s: exit %d, window shown %d, scale %.2f, body font %d px, system dir %s\n",
                ok ? "PASS" : "FAIL", result, int(sawWindow.load()),
                double(AppContext::scaleFactor()), int(bodyPixels.load()),
                qPrintable(AppContext::systemDirPath()));
    std::printf("%d passed, %d failed\n", ok ? 1 : 0, ok ? 0 : 1);
    return ok ? 0 : 1;
}
