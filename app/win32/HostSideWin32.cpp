#include "app/HostSide.h"

#include <QNetworkProxyFactory>
#include <QSettings>

QVariant readRegistryValue(const QString &key, const QString &name) {
    const QSettings settings(key, QSettings::NativeFormat);
    return settings.value(name);
}

void applyHostNetworkSettings() {
    QNetworkProxyFactory::setUseSystemConfiguration(true);
}

// Windows itself turns font points into pixels at the screen's logical dpi.
void prepareHostDisplay() {}
