// The main window's drive list: filled from the removable disks Windows
// lists, kept on the chosen drive as disks come and go, and held still while
// its drive is in use.
#include "mainwindow/QCreateBootable.h"

#include "app/AppContext.h"
#include "builder/WorkFolders.h"
#include "dialogs/WarningClass.h"
#include "drives/DriveListing.h"
#include "mainwindow/DriveText.h"
#include "platform/HostPlatform.h"

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

void QCreateBootable::recordChosenDriveSignature(const QString &signature) {
    // The list holds still while its drive is in use: the current item is
    // the drive being built.
    ListedDrive drive = DiskComboBox->currentData(kDriveRole).value<ListedDrive>();
    drive.signature = signature;
    DiskComboBox->setItemData(DiskComboBox->currentIndex(), QVariant::fromValue(drive), kDriveRole);
}

void QCreateBootable::USBConnected() {
    ListUSBDrives();
}

void QCreateBootable::USBRemove() {
    ListUSBDrives();
}
