// The simulated host's registry: a file in the format of a Windows .reg
// export, holding only the keys and values the tool reads.
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion]
//   "ProductName"="Windows 10 Pro"
//   "LanguageType"=dword:00000007
//
// Key paths and value names match case-insensitively, as in the registry.
#pragma once

#include <QString>
#include <QVariant>

namespace simhost {

// The value, or an invalid QVariant when the key or value does not exist.
// A dword reads as int, a string as QString.
QVariant registryValue(const QString &root, const QString &key, const QString &name);

// Sets (or, with an invalid value, removes) one value, keeping all others.
bool setRegistryValue(const QString &root, const QString &key, const QString &name,
                      const QVariant &value);

} // namespace simhost
