// The local file-system path of a Windows path, for Qt's file classes. On
// Windows it is the path itself; on the simulated host it lies in the host
// root. Every file operation of the builder goes through it.
#pragma once

#include "platform/HostPlatform.h"

#include <QString>

inline QString hostPath(const QString &windowsPath) {
    return QString::fromStdString(hostplatform::localPath(windowsPath.toStdString()));
}
