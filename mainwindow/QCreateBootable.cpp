#include "mainwindow/QCreateBootable.h"

#include "app/AppContext.h"
#include "app/HostRelaunch.h"
#include "app/ScreenScale.h"
#include "builder/DriveListing.h"
#include "builder/ThreadDriveClone.h"
#include "builder/WorkFolders.h"
#include "dialogs/FocusRing.h"
#include "dialogs/InfoDialogClass.h"
#include "dialogs/LookStyles.h"
#include "dialogs/TitleDrag.h"
#include "dialogs/WarningClass.h"
#include "dialogs/WindowLook.h"
#include "mainwindow/BuildFailureText.h"
#include "mainwindow/ConnectivityProbe.h"
#include "mainwindow/DeviceWatcher.h"
#include "mainwindow/DriveText.h"
#include "mainwindow/MainWindowLayout.h"
#include "platform/HostPlatform.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMovie>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

namespace {

// Whether a control shows in a state. Kept: as the state before left it.
// Animated: shown when the screen's class has an animation, else kept.
enum class Shown { No, Yes, Kept, Animated };

struct StateLook {
    bool leave;  // Cancel and the title strip's close
    bool choose; // the start button shows; it and the list work if a drive is listed
    Shown status;
    Shown progress;
    Shown animation;
};

void setShown(QWidget *widget, Shown shown) {
    if (shown == Shown::Yes || shown == Shown::No)
        widget->setVisible(shown == Shown::Yes);
}

} // namespace

QCreateBootable::QCreateBootable(QWidget *parent) : QDialog(parent), dragOffset(0, 0) {
    setupUi(this);

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

    applyDpiLook();

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

void QCreateBootable::nameControls() {
    // What a screen reader says for controls that carry no text of their
    // own, in the user's language; the window is named as its title strip.
    setAccessibleName(titleLabel->text());
    titleCloseButton->setAccessibleName(tr("Close"));
    label->setBuddy(DiskComboBox);
    nameDriveList();
    progressBar->setAccessibleName(tr("Progress of the recovery drive"));
    ImageLabel->setAccessibleName(tr("Recovery drive"));
    ProcessLabel->setAccessibleName(tr("Busy"));
}

void QCreateBootable::nameDriveList() {
    // The list is named by its prompt and the chosen drive, whole, however
    // short the shown text had to be.
    const QString drive = DiskComboBox->currentData(Qt::AccessibleTextRole).toString();
    DiskComboBox->setAccessibleName(drive.isEmpty() ? label->text()
                                                    : label->text() + QStringLiteral(": ") + drive);
}

void QCreateBootable::setStatusText(const QString &text) {
    label_2->setText(text);
    QAccessibleEvent changed(label_2, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void QCreateBootable::showRightsNotice() {
    const QString notice = tr("Administrator rights are needed to prepare a drive. Start the "
                              "program again as an administrator.");
    setStatusText(notice);
    setAccessibleDescription(notice);
}

void QCreateBootable::announceOutcome(const QString &text) {
    // The status line changes where the user's screen reader is not looking:
    // the end of a build is told as well.
    hostplatform::announce(static_cast<std::uintptr_t>(winId()), text.toStdWString());
}

void QCreateBootable::ListUSBDrives() {
    // The list's disk number is in use by a build, or by the check before
    // it: the list is rebuilt once that is over.
    if (driveChoiceInUse) {
        driveListStale = true;
        return;
    }
    driveListStale = false;

    // A disk plugged in or removed must not move the choice to another
    // drive, nor to a stick of the same model that took the chosen one's slot.
    const QVariant chosen = DiskComboBox->currentData(kDriveRole);

    DiskComboBox->clear();
    const std::wstring tempDirectory = hostplatform::tempDirectory();
    // Listing, scripts and log all go to the temporary folder: without it
    // the tool can do nothing, and must say so rather than that no drive is
    // plugged in.
    const bool tempUsable = hostplatform::canCreateFilesIn(tempDirectory);
    DriveListingResult listing;
    if (tempUsable) {
        // The listing goes to a folder of the tool's own: nothing else may
        // change it between WMIC writing it and the tool reading it.
        const ScopedScratchFolder scratch(QString::fromStdWString(tempDirectory));
        if (scratch.isMade())
            listing =
                listRemovableDrives(AppContext::systemDirPath(), scratch.path(), DriveLetters::Ask);
    }
    bool chosenStillThere = false;
    for (const ListedDrive &drive : listing.drives) {
        addDriveItem(DiskComboBox, drive, AppContext::language());
        if (!chosenStillThere && chosen.isValid() &&
            isSameDrive(drive, chosen.value<ListedDrive>())) {
            chosenStillThere = true;
            DiskComboBox->setCurrentIndex(DiskComboBox->count() - 1);
        }
    }
    // An unreadable listing counts as an empty one: an empty list must never
    // lead to a build.
    if (!tempUsable)
        DiskComboBox->addItem(tr("Temporary folder missing or read-only"));
    else if (DiskComboBox->count() == 0)
        DiskComboBox->addItem(tr("No USB drive found"));
    // The start button and the list follow whether a drive is listed now.
    applyState(currentState);

    // An open confirmation was given for the drive chosen when it was shown;
    // with that drive gone or replaced, it cannot stand for whichever drive
    // is now first.
    if (warningDialog && warningDialog->isVisible() && warningDialog->OkButton->isVisible() &&
        chosen.isValid() && !chosenStillThere)
        warningDialog->hide();
}

void QCreateBootable::refreshStaleDriveList() {
    if (driveListStale)
        ListUSBDrives();
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

void QCreateBootable::applyState(WindowState state) {
    currentState = state;
    // clang-format off
    const StateLook look = [state]() -> StateLook {
        using S = Shown;
        switch (state) {
        //                                leave  choose  status   progress animation
        case WindowState::Idle:         return {true,  true,  S::No,   S::No,   S::Yes};
        // The check starts from idle, a finished or a failed build; the
        // status line and the bar stay as that left them.
        case WindowState::Probing:      return {false, false, S::Kept, S::Kept, S::Kept};
        case WindowState::NoConnection: return {true,  true,  S::Kept, S::Kept, S::Kept};
        // Nothing is written to the drive while the image downloads.
        case WindowState::Downloading:  return {true,  false, S::Yes,  S::Yes,  S::Animated};
        case WindowState::Stopping:     return {false, false, S::Kept, S::Kept, S::Kept};
        // Once the drive is being written, the build can no longer be left.
        case WindowState::Writing:      return {false, false, S::Yes,  S::Yes,  S::No};
        case WindowState::Failed:       return {false, false, S::Yes,  S::Yes,  S::No};
        case WindowState::Finished:     return {true,  true,  S::Yes,  S::Yes,  S::No};
        }
        return {false, false, S::Kept, S::Kept, S::Kept};
    }();
    // clang-format on
    // Only a listed drive carries a disk number; a notice carries none.
    const bool hasDrive = DiskComboBox->itemData(0, Qt::UserRole).isValid();
    titleCloseButton->setEnabled(look.leave);
    CancelButton->setEnabled(look.leave);
    CreateBootable->setEnabled(look.choose && hasDrive && hasDriveRights);
    CreateBootable->setVisible(look.choose);
    DiskComboBox->setEnabled(look.choose && hasDrive && hasDriveRights);
    // Without the rights the status line keeps saying so.
    setShown(label_2, hasDriveRights ? look.status : Shown::Yes);
    setShown(progressBar, look.progress);
    setShown(ProcessLabel, look.animation == Shown::Animated
                               ? (scanMovie ? Shown::Yes : Shown::Kept)
                               : look.animation);
    if (state == WindowState::Failed) {
        // A failure's cause and the log's place take two lines, where some
        // languages' status lines have one. The bar says nothing of a
        // failed build: its room goes to the text until the next start lays
        // the window out again.
        const int needed = label_2->heightForWidth(label_2->width());
        if (needed > label_2->height()) {
            progressBar->hide();
            label_2->setFixedHeight(qMin(needed, progressBar->geometry().bottom() - label_2->y()));
        }
    }
}

void QCreateBootable::buildTitleStrip() {
    titleLabel = new QLabel;
    titleLabel->setFont(windowlook::titleFont());
    titleLabel->setText(tr("Create Recovery Drive"));
    titleLabel->setAlignment(Qt::AlignCenter);

    const int side = scaledValue(26, AppContext::scaleFactor());
    titleCloseButton = new QPushButton;
    titleCloseButton->setFlat(true);
    titleCloseButton->setFixedSize(side, side);
    const DpiClass dpiClass = dpiClassOf(AppContext::scaleFactor());
    titleCloseButton->setStyleSheet(
        lookstyle::titleClose(dpiClass) +
        lookstyle::disabledRule(dpiClass, lookstyle::DisabledPicture::TitleClose));

    auto *strip = new QHBoxLayout;
    strip->setSpacing(0);
    strip->setContentsMargins(0, 0, 0, 0);
    strip->addWidget(titleLabel, 1);
    strip->addWidget(titleCloseButton, 0);
    label_3->setLayout(strip);
}

void QCreateBootable::applyDpiLook() {
    const DpiClass dpiClass = dpiClassOf(AppContext::scaleFactor());
    CreateBootable->setStyleSheet(
        lookstyle::buttonNormal(dpiClass) + QString::fromLatin1(lookstyle::kWhiteTextRule) +
        lookstyle::disabledRule(dpiClass, lookstyle::DisabledPicture::Button));
    CancelButton->setStyleSheet(
        lookstyle::bigButtonThreeState(dpiClass) +
        lookstyle::disabledRule(dpiClass, lookstyle::DisabledPicture::BigButton));
    const QString picture = lookstyle::picture(dpiClass, "Bootable.png");
    if (!picture.isEmpty())
        ImageLabel->setPixmap(QPixmap(picture));
}

void QCreateBootable::ApplyScaledLayout() {
    baseLayout = mainWindowLayout(AppContext::language());
    applyScaledLayout(this, baseLayout, AppContext::scaleFactor());
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

void QCreateBootable::recordChosenDriveSignature(const QString &signature) {
    // The list holds still while its drive is in use: the current item is
    // the drive being built.
    ListedDrive drive = DiskComboBox->currentData(kDriveRole).value<ListedDrive>();
    drive.signature = signature;
    DiskComboBox->setItemData(DiskComboBox->currentIndex(), QVariant::fromValue(drive), kDriveRole);
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

void QCreateBootable::USBConnected() {
    ListUSBDrives();
}

void QCreateBootable::USBRemove() {
    ListUSBDrives();
}

void QCreateBootable::closeEvent(QCloseEvent *event) {
    // A close from the window system (Alt+F4, the system menu, the task bar)
    // never just hides the window: that would end the tool without the
    // host product, or leave a windowless process behind a dialog.
    event->ignore();
    // An open dialog takes the close as its own; the failure dialog's
    // close means its Cancel.
    if (infoDialog && infoDialog->isVisible()) {
        infoDialog->close();
        return;
    }
    if (warningDialog && warningDialog->isVisible()) {
        warningDialog->close();
        return;
    }
    // During the download the close stops the build, as Cancel does; once
    // the drive is being written it is refused.
    if (currentState == WindowState::Probing)
        return;
    OnCancel();
}

void QCreateBootable::mousePressEvent(QMouseEvent *event) {
    titledrag::press(this, event, dragOffset);
}

void QCreateBootable::mouseReleaseEvent(QMouseEvent *) {
    titledrag::release();
}

void QCreateBootable::mouseMoveEvent(QMouseEvent *event) {
    titledrag::move(this, event, dragOffset, titledrag::StripHeight::Fixed);
}

void QCreateBootable::keyPressEvent(QKeyEvent *event) {
    // The window closes only through its own buttons: Escape must not hide
    // it, and Return at window level must not press a default button.
    if (event->key() == Qt::Key_Escape)
        event->ignore();
    else
        event->accept();
}

void QCreateBootable::changeEvent(QEvent *event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi(this);
        // The title shows in the strip's own title label; label_3 stays empty
        // so the title is never drawn twice.
        if (titleLabel) {
            titleLabel->setText(tr("Create Recovery Drive"));
            nameControls();
            if (!hasDriveRights)
                showRightsNotice();
        }
    }
    QWidget::changeEvent(event);
}
