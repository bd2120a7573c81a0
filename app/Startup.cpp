#include "app/Startup.h"

#include "app/AppContext.h"
#include "app/LanguageSelection.h"
#include "app/NetworkSetup.h"
#include "mainwindow/QCreateBootable.h"

#include <QApplication>
#include <QTranslator>

int runTool(int &argc, char **argv)
{
    // No high-DPI attribute: windows are laid out in device pixels and all
    // scaling comes from the tool's own scale factor.
    auto *app = new QApplication(argc, argv);
    fixHostIdentity();

    auto *qtTranslator = new QTranslator;
    auto *toolTranslator = new QTranslator;
    installTranslators(selectLanguageFromHost(), *qtTranslator, *toolTranslator);
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
