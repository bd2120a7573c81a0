// The idle main window with the confirmation over it, on a fresh simulated
// host, for a check through the real accessibility bus: prints what the
// windows tell assistive technology through Qt (each window's name, each
// focusable button's name, the drive list's label), then "ready", and keeps
// the windows up until its standard input closes.
#include "support/TestHost.h"
#include "support/ToolSession.h"

#include "app/AppContext.h"
#include "app/LanguageSelection.h"

#include <QAccessible>
#include <QApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

namespace {

void print(const char *kind, const QString &name) {
    std::printf("%s\t%s\n", kind, name.toUtf8().constData());
}

void describe(QAccessibleInterface *iface) {
    const QAccessible::State state = iface->state();
    if (state.invisible)
        return;
    if (iface->role() == QAccessible::Dialog)
        print("window", iface->text(QAccessible::Name));
    else if (iface->role() == QAccessible::ComboBox) {
        for (const auto &relation : iface->relations(QAccessible::Label))
            print("list", relation.first->text(QAccessible::Name));
    } else if (state.focusable && iface->role() == QAccessible::Button)
        print("button", iface->text(QAccessible::Name));
    for (int i = 0; i < iface->childCount(); ++i)
        describe(iface->child(i));
}

} // namespace

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
    for (QWidget *shown :
         {static_cast<QWidget *>(&window), static_cast<QWidget *>(onlyTopLevel<WarningClass>())})
        describe(QAccessible::queryAccessibleInterface(shown));
    std::printf("ready\n");
    std::fflush(stdout);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char byte;
        if (read(STDIN_FILENO, &byte, 1) <= 0)
            QCoreApplication::quit();
    });
    return app.exec();
}
