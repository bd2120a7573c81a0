#include "mainwindow/BuildFailureText.h"

#include "builder/BuildCommands.h"

#include <QCoreApplication>

namespace {

const char *sentenceOf(BuildFailure cause) {
    switch (cause) {
    case BuildFailure::NoDownloadLink:
        return QT_TRANSLATE_NOOP("QCreateBootable",
                                 "No download link for the boot image is configured.");
    case BuildFailure::DownloadFailed:
        return QT_TRANSLATE_NOOP("QCreateBootable", "The boot image could not be downloaded.");
    case BuildFailure::ImageTooSmall:
        return QT_TRANSLATE_NOOP("QCreateBootable",
                                 "The downloaded boot image is too small to be complete.");
    case BuildFailure::DriveChanged:
        return QT_TRANSLATE_NOOP("QCreateBootable", "The selected drive was removed or changed.");
    case BuildFailure::DriveTooSmall:
        return QT_TRANSLATE_NOOP("QCreateBootable",
                                 "The selected drive is too small for the boot image.");
    case BuildFailure::NoDriveLetter:
        return QT_TRANSLATE_NOOP("QCreateBootable",
                                 "No free drive letter is available for the drive.");
    case BuildFailure::FormatFailed:
        return QT_TRANSLATE_NOOP("QCreateBootable", "The drive could not be formatted.");
    case BuildFailure::CopyFailed:
        return QT_TRANSLATE_NOOP("QCreateBootable", "Copying to the drive failed.");
    case BuildFailure::CheckFailed:
        return QT_TRANSLATE_NOOP("QCreateBootable", "The finished drive failed its check.");
    case BuildFailure::InsecureLink:
        return QT_TRANSLATE_NOOP("QCreateBootable", "The download link is not secure.");
    case BuildFailure::NotAuthenticated:
        return QT_TRANSLATE_NOOP("QCreateBootable",
                                 "The download server could not prove that it is genuine.");
    case BuildFailure::ImageNotPublished:
        return QT_TRANSLATE_NOOP("QCreateBootable",
                                 "The downloaded boot image is not the published one.");
    case BuildFailure::ImageChanged:
        return QT_TRANSLATE_NOOP("QCreateBootable",
                                 "The boot image was changed on this computer during the build.");
    case BuildFailure::WorkFolderRedirected:
        return QT_TRANSLATE_NOOP("QCreateBootable",
                                 "A work folder led to another place; it was removed unused.");
    }
    return QT_TRANSLATE_NOOP("QCreateBootable", "The finished drive failed its check.");
}

} // namespace

QString buildFailureText(BuildFailure cause) {
    // The cause on the first line, the log on the second: a path must not be
    // broken across lines. The log lies in the user's temporary folder; %TEMP% is short, fits the
    // status line whatever the user's name, and opens in Explorer as typed.
    const QString log = QStringLiteral("%TEMP%\\") + QLatin1String(buildpaths::kBuildLogName);
    return QCoreApplication::translate("QCreateBootable", sentenceOf(cause)) + QLatin1Char('\n') +
           QCoreApplication::translate("QCreateBootable", "Details: %1").arg(log);
}
