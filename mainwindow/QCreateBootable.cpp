// The main window: made and wired, and the way of a build through it, from
// the confirmation to its end, stopped, failed or finished.
#include "mainwindow/QCreateBootable.h"

#include "app/AppContext.h"
#include "app/HostRelaunch.h"
#include "app/ScreenScale.h"
#include "builder/ThreadDriveClone.h"
#include "dialogs/FocusRing.h"
#include "dialogs/InfoDialogClass.h"
#include "dialogs/WarningClass.h"
#include "dialogs/WindowLook.h"
#include "drives/DriveListing.h"
#include "mainwindow/BuildFailureText.h"
#include "mainwindow/ConnectivityProbe.h"
#include "mainwindow/DeviceWatcher.h"
#include "mainwindow/DriveText.h"
#include "platform/HostPlatform.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QMovie>
#include <QPushButton>
#include <QTimer>

QCreateBootable::QCreateBootable(QWidget *parent) : QDialog(parent), dragOffset(0, 0) {
    setupUi(this);
    setUpWindowLook();

    hasDriveRights = hostplatform::hasAdministratorRights();
    applyState(WindowState::Idle);
    progressBar->setMinimum(0);
    progressBar->setMaximum(100);
    progressBar->setValue(0);

    storeSystemDirectory();
    ApplyScaledLayout();

    // Runs the listing tool and waits for it, before the window first shows.
    ListUSBDrives();

    // The dialogs read the scale factor in their constructors, so they are
    // made only now. Each is a top-level window of its own, like the worker
    // they live until the process ends.
    warningDialog = new WarningClass(nullptr);
    warningDialog->hide();
    infoDialog = new InfoDialogClass(nullptr);
    workerThread = new ThreadDriveClone(nullptr);
    connectSignals();

    applyDpiLook();
    setUpKeyboard();
}

void QCreateBootable::setUpWindowLook() {
    windowlook::paintTitleStrip(label_3);
    label_3->setFont(windowlook::titleFont());

    // Everything below that depends on the scale comes after the probe.
    probeScreenScale();

    buildTitleStrip();
    windowlook::makeFrameless(this);
    windowlook::paintBody(this);

    const QFont body = windowlook::bodyFont();
    CancelButton->setFont(body);
    label->setFont(body);
    label_2->setFont(body);
    CreateBootable->setFont(body);
    DiskComboBox->setFont(body);
    progressBar->setFont(body);
}

void QCreateBootable::connectSignals() {
    connect(workerThread, SIGNAL(SetProgressValue(int)), this, SLOT(OnSetProgressValue(int)));
    connect(workerThread, SIGNAL(ProcessComplete()), this, SLOT(OnProcessComplete()));
    connect(workerThread, SIGNAL(PrintRunningProcess(QString)), this,
            SLOT(OnPrintRunningProcess(QString)));
    connect(workerThread, SIGNAL(IncompleteFile()), this, SLOT(IncompleteFileDownload()));
    connect(workerThread, SIGNAL(BuildFailed(int)), this, SLOT(OnBuildFailed(int)));
    connect(workerThread, SIGNAL(OnStopgGif()), this, SLOT(OnStopgGifFile()));
    connect(workerThread, &ThreadDriveClone::ChosenDriveSigned, this,
            &QCreateBootable::recordChosenDriveSignature);
    connect(this, SIGNAL(DriveArrived()), this, SLOT(USBConnected()));
    connect(this, SIGNAL(DriveRemoved()), this, SLOT(USBRemove()));
    connect(warningDialog->OkButton, SIGNAL(clicked()), this, SLOT(OnProcessStart()));
    connect(warningDialog->CancelButton, SIGNAL(clicked()), this, SLOT(OnProcessCancel()));
    connect(CreateBootable, SIGNAL(clicked()), this, SLOT(CreateBootableStart()));
    connect(infoDialog->RecreateButton, SIGNAL(clicked()), this, SLOT(OnProcessStart()));
    connect(infoDialog->CancelButton, SIGNAL(clicked()), this, SLOT(OnCancel()));
    connect(CancelButton, SIGNAL(clicked()), this, SLOT(OnCancel()));
    connect(titleCloseButton, SIGNAL(clicked()), this, SLOT(OnCancel()));
    // A build that the user stopped ends without a signal of its own.
    connect(workerThread, &QThread::finished, this, [this]() { buildThreadEnded(); });
    // However else the tool ends (the session ending), the kept image goes too.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, workerThread,
            [worker = workerThread]() { worker->discardKeptImage(); });

    // The source of the drive signals: disks plugged in or removed.
    auto *devices = new DeviceWatcher(this);
    connect(devices, SIGNAL(deviceArrived()), this, SIGNAL(DriveArrived()));
    connect(devices, SIGNAL(deviceRemoved()), this, SIGNAL(DriveRemoved()));
}

void QCreateBootable::setUpKeyboard() {
    // Keyboard users meet the controls in the order they read them, and
    // start on the drive list; the ring shows where they are.
    setTabOrder(DiskComboBox, CreateBootable);
    setTabOrder(CreateBootable, CancelButton);
    setTabOrder(CancelButton, titleCloseButton);
    nameControls();
    if (!hasDriveRights) {
        showRightsNotice();
        // Told once the window is up, where a screen reader can place it.
        QTimer::singleShot(0, this, [this]() { announceOutcome(label_2->text()); });
    }
    new FocusRing(this);
    DiskComboBox->setFocus();
    connect(DiskComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this]() { nameDriveList(); });
}

QCreateBootable::~QCreateBootable() {
    workerThread->discardKeptImage();
}

void QCreateBootable::showCentred(QDialog *dialog) {
    dialog->move(centredPosition(geometry(), dialog->size()));
    dialog->show();
    // The keyboard goes to the dialog, so that it can be answered at once.
    dialog->raise();
    dialog->activateWindow();
}

void QCreateBootable::takeBackKeyboard(QWidget *focus) {
    activateWindow();
    if (focus && focus->isEnabled())
        focus->setFocus();
}

void QCreateBootable::CreateBootableStart() {
    // After a failed connection check the dialog still has its notice form.
    warningDialog->showConfirmationButtons();
    warningDialog->HeaderLabel->setText(tr("Confirm Operation"));
    warningDialog->InfoLabel->setText(
        tr("Please ensure that you have taken backup of your data on the selected USB drive.\n"
           "This operation will erase all data from the selected drive while creating recovery "
           "drive."));
    warningDialog->showDrive(DiskComboBox->currentData(Qt::AccessibleTextRole).toString());
    showCentred(warningDialog);
}

void QCreateBootable::OnPrintRunningProcess(QString text) {
    setStatusText(text);
}

void QCreateBootable::OnProcessComplete() {
    buildRunning = false;
    driveChoiceInUse = false;
    applyState(WindowState::Finished);
    setStatusText(tr("Process completed"));
    announceOutcome(label_2->text());
    DiskComboBox->setFocus();
    // Disks plugged in or removed during the build show up now.
    refreshStaleDriveList();
}

void QCreateBootable::IncompleteFileDownload() {
    // The build is over, but its drive stays chosen: Recreate builds on it.
    buildRunning = false;
    showCentred(infoDialog);
}

void QCreateBootable::OnBuildFailed(int cause) {
    // The failure dialog says that the drive is not usable; the status line
    // behind it says why. The text comes first: the state makes room for it.
    setStatusText(buildFailureText(static_cast<BuildFailure>(cause)));
    applyState(WindowState::Failed);
    announceOutcome(label_2->text());
}

void QCreateBootable::OnStopgGifFile() {
    if (scanMovie)
        scanMovie->stop();
    applyState(WindowState::Writing);
}

void QCreateBootable::OnSetProgressValue(int value) {
    progressBar->setValue(value);
    QAccessibleValueChangeEvent changed(progressBar, progressBar->value());
    QAccessible::updateAccessibility(&changed);
}

void QCreateBootable::OnProcessStart() {
    warningDialog->hide();
    infoDialog->hide();

    // The drive comes from the current item; the notice item carries none
    // and must never start a build.
    const QVariant disk = DiskComboBox->currentData(kDriveRole);
    if (!disk.isValid() || buildRunning || !hasDriveRights)
        return;

    applyState(WindowState::Probing);
    driveChoiceInUse = true;
    const bool online = ConnectivityProbe::run();
    if (!online) {
        // A short drop of the network must not mean leaving the tool: the
        // user can try again once the notice is dismissed.
        driveChoiceInUse = false;
        applyState(WindowState::NoConnection);
        showNoConnectionNotice();
        refreshStaleDriveList();
        return;
    }

    ApplyScaledLayout(); // undoes a failed build's taller status line
    progressBar->setValue(0);
    handOverSelectedDisk(disk.value<ListedDrive>());
    restartScanAnimation();
    setStatusText(tr("Please wait. Preparing the selected media. ") +
                  tr("This may take some time."));
    // The previous build has reported its end, but its thread may still be
    // returning; starting a running thread would start nothing.
    workerThread->wait();
    buildRunning = true;
    workerThread->start(QThread::InheritPriority);
    applyState(WindowState::Downloading);
    // The one thing to do while the image downloads is to stop it.
    takeBackKeyboard(CancelButton);
}

void QCreateBootable::showNoConnectionNotice() {
    warningDialog->OkButton->hide();
    warningDialog->CancelButton->setText(tr("OK"));
    warningDialog->CancelButton->show();
    warningDialog->InfoLabel->setFont(QFont(QStringLiteral("Segoe UI"), 10));
    warningDialog->HeaderLabel->setText(tr("No Internet connection"));
    warningDialog->InfoLabel->setText(
        tr("Internet connection is required for creating recovery drive."));
    warningDialog->showDrive(QString());
    showCentred(warningDialog);
}

void QCreateBootable::restartScanAnimation() {
    // Each start gets a fresh animation; the previous one is released.
    if (scanMovie) {
        ProcessLabel->setMovie(nullptr);
        delete scanMovie;
        scanMovie = nullptr;
    }
    const DpiClass dpiClass = dpiClassOf(AppContext::scaleFactor());
    if (dpiClass == DpiClass::None)
        return;
    scanMovie =
        new QMovie(QString::fromLatin1(imageFolderOf(dpiClass)) + QStringLiteral("img_Scan.gif"));
    ProcessLabel->setMovie(scanMovie);
    scanMovie->start();
}

void QCreateBootable::OnProcessCancel() {
    warningDialog->hide();
    takeBackKeyboard(CreateBootable->isVisible() ? static_cast<QWidget *>(CreateBootable)
                                                 : DiskComboBox);
}

void QCreateBootable::OnCancel() {
    if (buildRunning) {
        // Cancel during the download stops the build, not the tool.
        if (!stoppingBuild && workerThread->requestStop()) {
            stoppingBuild = true;
            applyState(WindowState::Stopping);
            setStatusText(tr("Stopping the download..."));
        }
        return;
    }
    // The image kept for another build goes with the tool.
    workerThread->discardKeptImage();
    relaunchHost();
}

void QCreateBootable::buildThreadEnded() {
    if (!stoppingBuild)
        return;
    // Back to where a new build can start.
    stoppingBuild = false;
    buildRunning = false;
    driveChoiceInUse = false;
    if (scanMovie)
        scanMovie->stop();
    ProcessLabel->setMovie(nullptr);
    progressBar->setValue(0);
    applyState(WindowState::Idle);
    refreshStaleDriveList();
    announceOutcome(tr("The download was stopped. The drive was not changed."));
    DiskComboBox->setFocus();
}
