// What the Qt side of the tool takes from the machine it runs on: registry
// values, the web's proxy, the display's fonts and dpi. One file per system
// implements it: app/win32 for Windows, sim/app for the simulated host.
#pragma once

#include <QString>
#include <QVariant>

// The registry value, or an invalid QVariant when the key or the value is
// missing: the host product's key and the Windows version keys.
QVariant readRegistryValue(const QString &key, const QString &name);

// Makes Qt's network access (the connectivity probe) follow the machine's
// proxy settings, as the system's own downloads do.
void applyHostNetworkSettings();

// Settles, before the QApplication exists, how the display is driven.
void prepareHostDisplay();
