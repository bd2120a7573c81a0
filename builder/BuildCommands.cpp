#include "builder/BuildCommands.h"

#include "command/CommandQuoting.h"

#include <QUrl>

#include <cctype>

bool passesSizeTest(qint64 imageSize) {
    return imageSize >= kMinimumImageSize;
}

QStringList windowsVersionKeys() {
    return {QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\MicroSoft\\Windows NT\\CurrentVersion"),
            QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\MicroSoft\\Windows\\CurrentVersion")};
}

bool namesWindows7(const QString &productName) {
    return productName.contains(QLatin1String("Windows 7"), Qt::CaseInsensitive);
}

QString downloadLinkValueName(bool windows7) {
    return windows7 ? QStringLiteral("DownloadLink_Win7_bootwim")
                    : QStringLiteral("DownloadLink_bootwim");
}

QString pinnedDigestValueName(bool windows7) {
    return windows7 ? QStringLiteral("DownloadSha256_Win7_bootwim")
                    : QStringLiteral("DownloadSha256_bootwim");
}

QByteArray parsePinnedDigest(const QString &value, bool *malformed) {
    const QString digits = value.trimmed();
    *malformed = false;
    if (digits.isEmpty())
        return QByteArray();
    bool hex = digits.size() == 64;
    for (const QChar c : digits)
        hex = hex && isxdigit(c.unicode()) && c.unicode() < 0x80;
    *malformed = !hex;
    return hex ? QByteArray::fromHex(digits.toLatin1()) : QByteArray();
}

bool isAuthenticatedSource(const QString &link, const QByteArray &pinnedDigest) {
    return pinnedDigest.size() == 32 ||
           QUrl(link).scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

QString linkForLog(const QString &link) {
    return QUrl(link)
        .adjusted(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment)
        .toString();
}

bool isUsableDownloadLink(const QString &link) {
    for (const QChar c : link) {
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7f || c == QLatin1Char('"'))
            return false;
    }
    const QUrl url(link, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

QString bitsadminProgram(const QString &systemDirectory) {
    return systemDirectory + QStringLiteral("\\bitsadmin.exe");
}

QString bitsadminArguments(const QString &link) {
    return QStringLiteral("/transfer myDownloadJob /download /priority normal ") + link +
           QLatin1Char(' ') + QLatin1String(buildpaths::kDownloadedImage);
}

QString bitsadminCancelArguments() {
    return QStringLiteral("/cancel myDownloadJob");
}

QString imageSourcePath() {
    // Backslashes only: Xcopy reads an unquoted "/" as the start of a switch,
    // even in the middle of a path.
    return QLatin1String(buildpaths::kDownloadFolder) + QStringLiteral("\\Boot.wim");
}

QString imageCopyCommand(const QString &systemDirectory, const QString &imageSource, QChar letter) {
    return systemDirectory + QStringLiteral("\\Xcopy.exe /E /H /I ") + quoteIfNeeded(imageSource) +
           QLatin1Char(' ') + letter + QStringLiteral(":\\sources\\boot.wim*");
}

QString dismCleanupCommand(const QString &systemDirectory) {
    return systemDirectory + QStringLiteral("\\dism.exe /cleanup-wim");
}

QString rmdirCommand(const QString &systemDirectory, const QString &folder) {
    return systemDirectory + QStringLiteral("\\rmdir.exe /S /Q ") + quoteIfNeeded(folder);
}

QChar newVolumeLetter(const std::function<bool(QChar)> &letterInUse) {
    for (char letter = 'R'; letter <= 'Z'; ++letter) {
        if (!letterInUse(QLatin1Char(letter)))
            return QLatin1Char(letter);
    }
    return QChar();
}
