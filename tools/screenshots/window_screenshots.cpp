// Renders every window of the tool for one screen dpi and one interface
// language into PNG files, for looking at the look by eye:
//   window_screenshots <dpi> <language code> <output folder>
// The windows are built exactly as the tool builds them, against a fresh
// simulated host with that dpi and language; the main window is shown idle
// and during a build, the confirmation dialog with its confirmation text, and
// as started without administrator rights.
#include "app/AppContext.h"
#include "app/LanguageSelection.h"
#include "app/ScreenScale.h"
#include "builder/BuildFailure.h"
#include "dialogs/InfoDialogClass.h"
#include "dialogs/WarningClass.h"
#include "mainwindow/QCreateBootable.h"
#include "sim/hosts/HostSetup.h"
#include "sim/platform/SimHost.h"
#include "sim/platform/SimRegistry.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QThread>
#include <QTranslator>

#include <cstdio>

namespace {

template <typename T> T *topLevel() {
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *t = qobject_cast<T *>(w))
            return t;
    }
    return nullptr;
}

bool save(QWidget *window, const QString &path) {
    window->show();
    window->raise();
    QApplication::processEvents();
    const bool ok = window->grab().save(path);
    std::printf("%s %s (%dx%d)\n", ok ? "wrote" : "FAILED", qPrintable(path), window->width(),
                window->height());
    return ok;
}

// The window with the keyboard focus on control: the ring shows only in the
// active window.
bool saveFocused(QWidget *window, QWidget *control, const QString &path) {
    window->show();
    window->activateWindow();
    for (int i = 0; i < 200 && !window->isActiveWindow(); ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    control->setFocus();
    return save(window, path);
}

QString inWindow(const char *text) {
    return QCoreApplication::translate("QCreateBootable", text);
}

UiLanguage languageOfCode(const QString &code) {
    for (int i = 0; i <= static_cast<int>(UiLanguage::HI); ++i) {
        if (QString::fromLatin1(languageCode(static_cast<UiLanguage>(i))) == code)
            return static_cast<UiLanguage>(i);
    }
    return UiLanguage::EN;
}

// A fresh sample host with that screen and language at root, for this
// process.
bool makeHost(const QString &root, int dpi, UiLanguage language) {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.dpi = dpi;
    QString error;
    if (!simhost::createHost(root, setup, &error))
        return false;
    qputenv(simhost::kHostRootVariable, QFile::encodeName(root));
    fixHostIdentity();
    simhost::setRegistryValue(root, AppContext::hostSettingsKey(), QStringLiteral("LanguageType"),
                              static_cast<int>(language));
    selectLanguageFromHost();
    probeScreenScale();
    return true;
}

void enableLeaving(QCreateBootable &window, bool on) {
    window.CancelButton->setEnabled(on);
    window.label_3->findChild<QPushButton *>()->setEnabled(on);
}

// The main window idle, with focus, and in the states of a build.
bool saveMainWindow(QCreateBootable &window, const QString &stem) {
    bool ok = save(&window, stem + QStringLiteral("main-idle.png"));
    // Where the keyboard is: one Tab on from the drive list.
    ok &= saveFocused(&window, window.CreateBootable, stem + QStringLiteral("main-focus.png"));

    // As during a build: status line, progress and no start button.
    window.label_2->setText(inWindow("Please wait. Preparing the selected media. ") +
                            inWindow("This may take some time."));
    window.label_2->show();
    window.progressBar->setValue(42);
    window.progressBar->show();
    window.CreateBootable->hide();
    enableLeaving(window, false);
    ok &= save(&window, stem + QStringLiteral("main-building.png"));

    // The download under way: how much has arrived.
    window.label_2->setText(
        QCoreApplication::translate("ThreadDriveClone", "Downloading the boot image: %1 of %2 MB")
            .arg(120)
            .arg(480));
    window.progressBar->setValue(0);
    // While the image downloads the user may still stop the build.
    enableLeaving(window, true);
    ok &= save(&window, stem + QStringLiteral("main-downloading.png"));
    enableLeaving(window, false);

    // A failed build: the cause and where the log is, behind the failure dialog.
    window.progressBar->setValue(42);
    QMetaObject::invokeMethod(&window, "OnBuildFailed",
                              Q_ARG(int, static_cast<int>(BuildFailure::DriveChanged)));
    ok &= save(&window, stem + QStringLiteral("main-failed.png"));
    window.ApplyScaledLayout();
    window.progressBar->show();

    // The download being stopped: the way out already taken.
    window.label_2->setText(inWindow("Stopping the download..."));
    ok &= save(&window, stem + QStringLiteral("main-stopping.png"));
    return ok;
}

// Idle with an unusable temporary folder: the list names the cause.
bool saveWithoutTemp(QCreateBootable &window, const QString &stem) {
    window.label_2->hide();
    window.progressBar->hide();
    window.CreateBootable->show();
    window.CreateBootable->setEnabled(false);
    enableLeaving(window, true);
    window.DiskComboBox->clear();
    window.DiskComboBox->addItem(inWindow("Temporary folder missing or read-only"));
    window.DiskComboBox->setEnabled(false);
    const bool ok = save(&window, stem + QStringLiteral("main-notemp.png"));
    QMetaObject::invokeMethod(&window, "USBConnected"); // listed again
    return ok;
}

// The confirmation and the failure dialog, plain and with focus.
bool saveDialogs(const QCreateBootable &window, const QString &stem) {
    auto *warning = topLevel<WarningClass>();
    warning->HeaderLabel->setText(inWindow("Confirm Operation"));
    warning->InfoLabel->setText(
        inWindow("Please ensure that you have taken backup of your data on the selected USB "
                 "drive.\nThis operation will erase all data from the selected drive while "
                 "creating recovery drive."));
    warning->showDrive(window.DiskComboBox->currentData(Qt::AccessibleTextRole).toString());
    bool ok = save(warning, stem + QStringLiteral("confirm.png"));
    ok &= saveFocused(warning, warning->OkButton, stem + QStringLiteral("confirm-focus.png"));
    warning->hide();

    auto *info = topLevel<InfoDialogClass>();
    ok &= save(info, stem + QStringLiteral("failure.png"));
    ok &= saveFocused(info, info->CancelButton, stem + QStringLiteral("failure-focus.png"));
    info->hide();
    return ok;
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: window_screenshots <dpi> <language code> <output folder>\n");
        return 2;
    }
    const int dpi = args.at(1).toInt();
    const QString code = args.at(2).toUpper();
    const QDir out(args.at(3));
    const UiLanguage language = languageOfCode(code);

    QTemporaryDir hostDir;
    const QString root = hostDir.filePath(QStringLiteral("host"));
    if (!hostDir.isValid() || !makeHost(root, dpi, language) || !QDir().mkpath(out.path()))
        return 2;
    QTranslator qtTranslator;
    QTranslator toolTranslator;
    installTranslators(language, qtTranslator, toolTranslator);

    const QString stem = out.filePath(QStringLiteral("%1-%2-").arg(code).arg(dpi));
    // The list holds the sample host's stick, as the window listed it.
    QCreateBootable window;
    window.move(40, 40);
    bool ok = saveMainWindow(window, stem);
    ok &= saveWithoutTemp(window, stem);
    ok &= saveDialogs(window, stem);

    // Started without administrator rights: the notice instead of a start.
    simhost::setHostSetting(root, QStringLiteral("system/elevated"), false);
    QCreateBootable withoutRights;
    withoutRights.move(40, 40);
    ok &= save(&withoutRights, stem + QStringLiteral("main-norights.png"));
    return ok ? 0 : 1;
}
