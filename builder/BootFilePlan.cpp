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

QStringList finishedDriveLayout(QChar letter, const QStringList &fontFiles) {
    QStringList layout = {
        onVolume(letter, "\\bootmgr"),
        onVolume(letter, "\\bootmgr.efi"),
        onVolume(letter, "\\boot\\BCD"),
        onVolume(letter, "\\boot\\boot.sdi"),
        onVolume(letter, "\\boot\\resources\\bootres.dll"),
        onVolume(letter, "\\efi\\boot\\bootmgfw.efi"),
        onVolume(letter, "\\efi\\microsoft\\boot\\BCD"),
        onVolume(letter, "\\efi\\microsoft\\boot\\resources\\bootres.dll"),
        onVolume(letter, "\\sources\\boot.wim"),
    };
    for (const QString &font : fontFiles) {
        layout.append(onVolume(letter, "\\boot\\fonts\\") + font);
        layout.append(onVolume(letter, "\\efi\\microsoft\\boot\\fonts\\") + font);
    }
    return layout;
}
