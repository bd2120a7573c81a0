#include "builder/BootFilePlan.h"

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
    {"C:\\Windows\\Boot\\Fonts\\*", "\\boot\\fonts\\"},
    {"C:\\Windows\\Boot\\Resources\\bootres.dll", "\\boot\\resources\\"},
    {"C:\\Windows\\Boot\\DVD\\PCAT\\BCD", "\\boot\\"},
    {"C:\\Windows\\Boot\\DVD\\PCAT\\boot.sdi", "\\boot\\"},
    {nullptr, "\\efi\\microsoft\\boot\\fonts"},
    {nullptr, "\\efi\\microsoft\\boot\\resources"},
    {"C:\\Windows\\Boot\\EFI\\bootmgfw.efi", "\\efi\\boot\\"},
    {"C:\\Windows\\Boot\\EFI\\bootmgfw.efi", "\\efi\\boot\\bootx64.efi*"},
    {"C:\\Windows\\Boot\\Fonts\\*", "\\efi\\microsoft\\boot\\fonts\\"},
    {"C:\\Windows\\Boot\\Resources\\bootres.dll", "\\efi\\microsoft\\boot\\resources\\"},
    {"C:\\Windows\\Boot\\DVD\\EFI\\BCD", "\\efi\\microsoft\\boot\\"},
    {nullptr, "\\Sources"},
    {"C:\\Windows\\Boot\\PCAT\\bootmgr", "\\"},
    {"C:\\Windows\\Boot\\EFI\\bootmgr.efi", "\\"},
};

} // namespace

QList<BootFileAction> bootFilePlan(const QString &systemDirectory, QChar letter) {
    const QString xcopy = systemDirectory + QStringLiteral("\\Xcopy.exe /S /H /I ");
    QList<BootFileAction> plan;
    for (const PlanStep &step : kPlan) {
        if (!step.source)
            plan.append({BootFileAction::Kind::CreateFolder, onVolume(letter, step.onVolume)});
        else
            plan.append({BootFileAction::Kind::Copy, xcopy + QLatin1String(step.source) +
                                                         QLatin1Char(' ') +
                                                         onVolume(letter, step.onVolume)});
    }
    return plan;
}

QStringList bootFileSources() {
    QStringList sources;
    for (const PlanStep &step : kPlan) {
        if (step.source)
            sources.append(QLatin1String(step.source));
    }
    return sources;
}

QString bootFontsFolder() {
    return QStringLiteral("C:\\Windows\\Boot\\Fonts");
}

QList<DriveFile> finishedDriveLayout(QChar letter, const QStringList &fontFiles,
                                     const QString &imageSource) {
    auto file = [letter](const char *onDrive, const char *source) {
        return DriveFile{onVolume(letter, onDrive), QLatin1String(source)};
    };
    QList<DriveFile> layout = {
        file("\\bootmgr", "C:\\Windows\\Boot\\PCAT\\bootmgr"),
        file("\\bootmgr.efi", "C:\\Windows\\Boot\\EFI\\bootmgr.efi"),
        file("\\boot\\BCD", "C:\\Windows\\Boot\\DVD\\PCAT\\BCD"),
        file("\\boot\\boot.sdi", "C:\\Windows\\Boot\\DVD\\PCAT\\boot.sdi"),
        file("\\boot\\resources\\bootres.dll", "C:\\Windows\\Boot\\Resources\\bootres.dll"),
        file("\\efi\\boot\\bootmgfw.efi", "C:\\Windows\\Boot\\EFI\\bootmgfw.efi"),
        file("\\efi\\boot\\bootx64.efi", "C:\\Windows\\Boot\\EFI\\bootmgfw.efi"),
        file("\\efi\\microsoft\\boot\\BCD", "C:\\Windows\\Boot\\DVD\\EFI\\BCD"),
        file("\\efi\\microsoft\\boot\\resources\\bootres.dll",
             "C:\\Windows\\Boot\\Resources\\bootres.dll"),
        DriveFile{onVolume(letter, "\\sources\\boot.wim"), imageSource},
    };
    const QString fonts = bootFontsFolder() + QLatin1Char('\\');
    for (const QString &font : fontFiles) {
        layout.append({onVolume(letter, "\\boot\\fonts\\") + font, fonts + font});
        layout.append({onVolume(letter, "\\efi\\microsoft\\boot\\fonts\\") + font, fonts + font});
    }
    return layout;
}
