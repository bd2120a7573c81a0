// The tool's start-up exactly as its own executable runs it, for tests that
// need a process of its own (a folder of its own beside the executable, a
// current directory elsewhere, the exit code). Once the main window is up it
// prints what the window shows and leaves through the window's Cancel button.
#include "app/AppContext.h"
#include "app/LanguageSelection.h"
#include "app/Startup.h"
#include "dialogs/WindowLook.h"
#include "mainwindow/QCreateBootable.h"

#include <QApplication>
#include <QFontInfo>
#include <QTimer>

#include <cstdio>

namespace {

void print(const char *name, const QString &value) {
    std::printf("%s=%s\n", name, value.toUtf8().constData());
}

void leaveOnceShown() {
    // Runs as soon as the event loop does, after the window was shown.
    QTimer::singleShot(0, []() {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *window = qobject_cast<QCreateBootable *>(w);
            if (!window || !window->isVisible())
                continue;
            print("language", QString::fromLatin1(languageCode(AppContext::language())));
            print("title", window->label_3->findChild<QLabel *>()->text());
            print("cancel", window->CancelButton->text());
            print("drive", window->DiskComboBox->itemText(0));
            print("scale", QString::number(double(AppContext::scaleFactor())));
            print("font", QString::number(QFontInfo(windowlook::bodyFont()).pixelSize()));
            print("system", AppContext::systemDirPath());
            std::fflush(stdout);
            window->CancelButton->click();
            return;
        }
        std::printf("no main window\n");
        QCoreApplication::exit(3);
    });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(leaveOnceShown)

int main(int argc, char *argv[]) {
    const int result = runTool(argc, argv);
    std::printf("exit=%d\n", result);
    return result;
}
