#include "app/HostRelaunch.h"

#include "platform/HostPlatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// Bare file name of a host product's executable, expected beside the tool.
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

} // namespace

void relaunchHost() {
    const char *executable = hostExecutableFor(AppContext::hostBrand());
    hostplatform::setKeepAwake(false);
    // By its full path beside the tool: a relative name would be looked for
    // in the current folder and on PATH, where anyone may have put one.
    const QString path = QDir::toNativeSeparators(QCoreApplication::applicationDirPath() +
                                                  QLatin1Char('/') + QLatin1String(executable));
    if (QFileInfo(path).isFile())
        hostplatform::shellStart(path.toStdWString());
    QCoreApplication::quit();
}
