#include "builder/BootFilePlan.h"

namespace {

QString onVolume(QChar letter, const char *path) {
    return QString(letter) + QLatin1Char(':') + QLatin1String(path);
}

} // namespace

QList<BootFileAction> bootFilePlan(const QString &systemDirectory, QChar letter) {
    using Kind = BootFileAction::Kind;
    const QString xcopy = systemDirectory + QStringLiteral("\\Xcopy.exe /S /H /I ");
    auto folder = [letter](const char *path) {
        return BootFileAction{Kind::CreateFolder, onVolume(letter, path)};
    };
    auto copy = [&](const char *source, const char *destination) {
        return BootFileAction{Kind::Copy, xcopy + QLatin1String(source) + QLatin1Char(' ') +
                                              onVolume(letter, destination)};
    };
    return {
        folder("\\boot\\fonts"),
        folder("\\boot\\resources"),
        copy("C:\\Windows\\Boot\\Fonts\\*", "\\boot\\fonts\\"),
        copy("C:\\Windows\\Boot\\Resources\\bootres.dll", "\\boot\\resources\\"),
        copy("C:\\Windows\\Boot\\DVD\\PCAT\\BCD", "\\boot\\"),
        copy("C:\\Windows\\Boot\\DVD\\PCAT\\boot.sdi", "\\boot\\"),
        folder("\\efi\\microsoft\\boot\\fonts"),
        folder("\\efi\\microsoft\\boot\\resources"),
        copy("C:\\Windows\\Boot\\EFI\\bootmgfw.efi", "\\efi\\boot\\"),
        copy("C:\\Windows\\Boot\\Fonts\\*", "\\efi\\microsoft\\boot\\fonts\\"),
        copy("C:\\Windows\\Boot\\Resources\\bootres.dll", "\\efi\\microsoft\\boot\\resources\\"),
        copy("C:\\Windows\\Boot\\DVD\\EFI\\BCD", "\\efi\\microsoft\\boot\\"),
        folder("\\Sources"),
        copy("C:\\Windows\\Boot\\PCAT\\bootmgr", "\\"),
        copy("C:\\Windows\\Boot\\EFI\\bootmgr.efi", "\\"),
    };
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
