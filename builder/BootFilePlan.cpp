#include "builder/BootFilePlan.h"

#include "command/CommandQuoting.h"

namespace {

QString onVolume(QChar letter, const char *path) {
    return QString(letter) + QLatin1Char(':') + QLatin1String(path);
}

// One step of the plan: a folder to create (source null) or a copy.
struct PlanStep {
    const char *source;
    const char *onVolume;
};

// UEFI firmware starts \EFI\BOOT\BOOTX64.EFI from a removable drive, so the
// boot application is copied under that name too, and still under its own.
// A destination ending in "*" names a file, so Xcopy asks nothing.
const PlanStep kPlan[] = {
    {nullptr, "\\boot\\fonts"},
    {nullptr, "\\boot\\resources"},
    {"\\Boot\\Fonts\\*", "\\boot\\fonts\\"},
    {"\\Boot\\Resources\\bootres.dll", "\\boot\\resources\\"},
    {"\\Boot\\DVD\\PCAT\\BCD", "\\boot\\"},
    {"\\Boot\\DVD\\PCAT\\boot.sdi", "\\boot\\"},
    {nullptr, "\\efi\\microsoft\\boot\\fonts"},
    {nullptr, "\\efi\\microsoft\\boot\\resources"},
    {"\\Boot\\EFI\\bootmgfw.efi", "\\efi\\boot\\"},
    {"\\Boot\\EFI\\bootmgfw.efi", "\\efi\\boot\\bootx64.efi*"},
    {"\\Boot\\Fonts\\*", "\\efi\\microsoft\\boot\\fonts\\"},
    {"\\Boot\\Resources\\bootres.dll", "\\efi\\microsoft\\boot\\resources\\"},
    {"\\Boot\\DVD\\EFI\\BCD", "\\efi\\microsoft\\boot\\"},
    {nullptr, "\\Sources"},
    {"\\Boot\\PCAT\\bootmgr", "\\"},
    {"\\Boot\\EFI\\bootmgr.efi", "\\"},
};

} // namespace

QList<BootFileAction> bootFilePlan(const QString &systemDirectory, const QString &windowsDirectory,
                                   QChar letter) {
    const QString xcopy = systemDirectory + QStringLiteral("\\Xcopy.exe /S /H /I ");
    QList<BootFileAction> plan;
    for (const PlanStep &step : kPlan) {
        if (!step.source)
            plan.append({BootFileAction::Kind::CreateFolder, onVolume(letter, step.onVolume)});
        else
            plan.append({BootFileAction::Kind::Copy,
                         xcopy + quoteIfNeeded(windowsDirectory + QLatin1String(step.source)) +
                             QLatin1Char(' ') + onVolume(letter, step.onVolume)});
    }
    return plan;
}

QStringList bootFileSources(const QString &windowsDirectory) {
    QStringList sources;
    for (const PlanStep &step : kPlan) {
        if (step.source)
            sources.append(windowsDirectory + QLatin1String(step.source));
    }
    return sources;
}

QString bootFontsFolder(const QString &windowsDirectory) {
    return windowsDirectory + QStringLiteral("\\Boot\\Fonts");
}

QList<DriveFile> finishedDriveLayout(const QString &windowsDirectory, QChar letter,
                                     const QStringList &fontFiles, const QString &imageSource) {
    auto file = [&](const char *onDrive, const char *source) {
        return DriveFile{onVolume(letter, onDrive), windowsDirectory + QLatin1String(source)};
    };
    QList<DriveFile> layout = {
        file("\\bootmgr", "\\Boot\\PCAT\\bootmgr"),
        file("\\bootmgr.efi", "\\Boot\\EFI\\bootmgr.efi"),
        file("\\boot\\BCD", "\\Boot\\DVD\\PCAT\\BCD"),
        file("\\boot\\boot.sdi", "\\Boot\\DVD\\PCAT\\boot.sdi"),
        file("\\boot\\resources\\bootres.dll", "\\Boot\\Resources\\bootres.dll"),
        file("\\efi\\boot\\bootmgfw.efi", "\\Boot\\EFI\\bootmgfw.efi"),
        file("\\efi\\boot\\bootx64.efi", "\\Boot\\EFI\\bootmgfw.efi"),
        file("\\efi\\microsoft\\boot\\BCD", "\\Boot\\DVD\\EFI\\BCD"),
        file("\\efi\\microsoft\\boot\\resources\\bootres.dll", "\\Boot\\Resources\\bootres.dll"),
        DriveFile{onVolume(letter, "\\sources\\boot.wim"), imageSource},
    };
    const QString fonts = bootFontsFolder(windowsDirectory) + QLatin1Char('\\');
    for (const QString &font : fontFiles) {
        layout.append({onVolume(letter, "\\boot\\fonts\\") + font, fonts + font});
        layout.append({onVolume(letter, "\\efi\\microsoft\\boot\\fonts\\") + font, fonts + font});
    }
    return layout;
}
