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
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {
bool sawWindow = false;
int bodyPixels = 0;
} // namespace

int main() {
    simhost::HostSpec screen144 = simhost::sampleHostSpec();
    screen144.dpi = 144;
    TestHost host(screen144);
    if (!host.isValid())
        return 2;

    // Once the event loop runs, note what was shown and quit, as the window's way out does.
    qAddPreRoutine([] {
        QTimer::singleShot(0, [] {
            for (QWidget *w : QApplication::topLevelWidgets())
                sawWindow = sawWindow || (w->isVisible() && w->inherits("QCreateBootable"));
            bodyPixels = QFontInfo(windowlook::bodyFont()).pixelSize();
            QCoreApplication::quit();
        });
    });
    char name[] = "BootableMediaCreator", unknown[] = "--no-such-option", path[] = "C:\\a.txt";
    char *argv[] = {name, unknown, path, nullptr};
    int argc = 3;
    const int result = runTool(argc, argv);

    // 10 points at 144 dpi.
    const bool ok = result == 0 && sawWindow && AppContext::scaleFactor() == 1.5f &&
                    bodyPixels == 20 && AppContext::systemDirPath() == "C:\\Windows\\system32";
    std::printf("%s: exit %d, window shown %d, scale %.2f, body font %d px, system dir %s\n",
                ok ? "PASS" : "FAIL", result, int(sawWindow), double(AppContext::scaleFactor()),
                bodyPixels, qPrintable(AppContext::systemDirPath()));
    return ok ? 0 : 1;
}
