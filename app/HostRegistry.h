// Reads values of the registry: the host product's key and the Windows
// version keys. On Windows through QSettings in the native format; on the
// simulated host from its registry file.
#pragma once

#include <QString>
#include <QVariant>

// The value, or an invalid QVariant when the key or the value is missing.
QVariant readRegistryValue(const QString &key, const QString &name);
