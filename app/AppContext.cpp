#include "app/AppContext.h"

#include "platform/HostPlatform.h"

UiLanguage AppContext::s_language = UiLanguage::EN;
HostBrand AppContext::s_hostBrand = HostBrand::KestrinDataRecovery;
QString AppContext::s_hostSettingsKey;
float AppContext::s_scaleFactor = 0.0f;
QString AppContext::s_systemDirPath;
ListedDrive AppContext::s_selectedDisk;

void fixHostIdentity() {
    AppContext::s_hostBrand = HostBrand::KestrinDataRecovery;
    // The explicit Wow6432Node reaches the 32-bit registry view's copy of the
    // host product's key from this 64-bit process.
    AppContext::s_hostSettingsKey =
        QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Kestrin Data Recovery\\"
                       "Data Recovery\\Kestrin Data Recovery for Windows");
}

void storeSystemDirectory() {
    AppContext::s_systemDirPath = QString::fromStdWString(hostplatform::systemDirectory());
}

void handOverSelectedDisk(const ListedDrive &drive) {
    AppContext::s_selectedDisk = drive;
}
