#include "app/Startup.h"

#include "app/AppContext.h"
#include "app/LanguageSelection.h"
#include "app/HostSide.h"
#include "mainwindow/QCreateBootable.h"
#include "platform/HostPlatform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QThread>
#include <QTranslator>

namespace {

// The first copy may still be listing drives before its window shows: give
// it a few seconds before saying that it runs somewhere unseen.
bool activateRunningInstanceSoon() {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (hostplatform::activateRunningInstance())
            return true;
        if (waited.elapsed() > 5000)
            return false;
        QThread::msleep(200);
    }
}

} // namespace

int runTool(int &argc, char **argv) {
    prepareHostDisplay();
    // No high-DPI attribute: windows are laid out in device pixels and all
    // scaling comes from the tool's own scale factor.
    auto *app = new QApplication(argc, argv);
    fixHostIdentity();

    auto *qtTranslator = new QTranslator;
    auto *toolTranslator = new QTranslator;
    installTranslators(selectLanguageFromHost(), *qtTranslator, *toolTranslator);

    // A second copy would list, format and clean up alongside the first:
    // it hands over to the first one before it touches anything.
    if (!hostplatform::claimSingleInstance()) {
        if (!activateRunningInstanceSoon())
            QMessageBox::information(
                nullptr, QCoreApplication::translate("QCreateBootable", "Create Recovery Drive"),
                QCoreApplication::translate("QCreateBootable", "This program is already running."));
        delete toolTranslator;
        delete qtTranslator;
        delete app;
        return 0;
    }
    applyHostNetworkSettings();

    // Lives until the process ends: neither the window nor the worker it owns
    // is destroyed or waited for at exit.
    auto *window = new QCreateBootable(nullptr);
    window->show();

    const int result = QApplication::exec();

    delete toolTranslator;
    delete qtTranslator;
    delete app;
    return result;
}
