#include "app/HostRegistry.h"

#ifdef Q_OS_WIN
#include <QSettings>
#else
#include "platform/sim/SimHost.h"
#include "platform/sim/SimRegistry.h"
#endif

QVariant readRegistryValue(const QString &key, const QString &name) {
#ifdef Q_OS_WIN
    const QSettings settings(key, QSettings::NativeFormat);
    return settings.value(name);
#else
    return simhost::registryValue(simhost::hostRoot(), key, name);
#endif
}
