// The process-wide record that the windows and the worker read instead of
// receiving these values as arguments. Each field has exactly one writer,
// which is the only friend allowed to set it.
#pragma once

#include "drives/DriveListing.h"

#include <QString>

enum class UiLanguage { EN, DE, FR, IT, ES, JA, CN, KO, DU, BR, HI };

enum class HostBrand { KestrinDataRecovery, TamselRecovery, VirelDataRecovery, MorrelScan };

class QCreateBootable;

class AppContext {
public:
    static UiLanguage language() { return s_language; }
    static HostBrand hostBrand() { return s_hostBrand; }
    static QString hostSettingsKey() { return s_hostSettingsKey; }
    static float scaleFactor() { return s_scaleFactor; }
    static QString systemDirPath() { return s_systemDirPath; }
    // The selected drive as the list showed it when the build started; the
    // builder checks that the disk at its number is still this very drive
    // before it erases anything.
    static ListedDrive selectedDisk() { return s_selectedDisk; }

private:
    // Writers, one per field.
    friend UiLanguage selectLanguageFromHost();            // language
    friend void fixHostIdentity();                         // hostBrand, hostSettingsKey
    friend void probeScreenScale();                        // scaleFactor
    friend void storeSystemDirectory();                    // systemDirPath
    friend void handOverSelectedDisk(const ListedDrive &); // selectedDisk

    static UiLanguage s_language;
    static HostBrand s_hostBrand;
    static QString s_hostSettingsKey;
    static float s_scaleFactor;
    static QString s_systemDirPath;
    static ListedDrive s_selectedDisk;
};

// Start-up: the host brand (a constant of the build) and the host product's
// registry key.
void fixHostIdentity();

// The main window's constructor: the Windows system directory.
void storeSystemDirectory();

// The start of a build: the chosen disk, before the worker starts.
void handOverSelectedDisk(const ListedDrive &drive);
