#include "app/HostRelaunch.h"

#include "platform/HostPlatform.h"

#include <QCoreApplication>
#include <QDir>

const char *hostExecutableFor(HostBrand brand) {
    switch (brand) {
    case HostBrand::KestrinDataRecovery:
        return "KestrinDataRecovery.exe";
    case HostBrand::TamselRecovery:
        return "TamselRecovery.exe";
    case HostBrand::VirelDataRecovery:
        return "VirelDataRecovery.exe";
    case HostBrand::MorrelScan:
        return "MorrelScan.exe";
    }
    return "KestrinDataRecovery.exe";
}

void relaunchHost() {
    const char *executable = hostExecutableFor(AppContext::hostBrand());
    hostplatform::setKeepAwake(false);
    // The name is relative: the shell finds it in the tool's own folder.
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    hostplatform::shellStart(executable);
    QCoreApplication::quit();
}
