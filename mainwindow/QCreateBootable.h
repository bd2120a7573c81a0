// The tool's main window: a frameless dialog in which the user picks a USB
// drive, confirms, watches the build and leaves the tool.
#pragma once

#include "dialogs/ScaledLayout.h"
#include "ui_QCreateBootable.h"

#include <QDialog>
#include <QPoint>

class InfoDialogClass;
class QLabel;
class QMovie;
class QPushButton;
class ThreadDriveClone;
class WarningClass;

class QCreateBootable : public QDialog, public Ui::Dialog {
    Q_OBJECT

public:
    explicit QCreateBootable(QWidget *parent = nullptr);

    // Fixed size and position of every child for the screen's scale factor
    // and the interface language.
    void ApplyScaledLayout();

signals:
    void DriveArrived();
    void DriveRemoved();

private slots:
    void CreateBootableStart();
    void OnPrintRunningProcess(QString text);
    void OnProcessComplete();
    void IncompleteFileDownload();
    void OnStopgGifFile();
    void OnSetProgressValue(int value);
    void OnProcessStart();
    void OnProcessCancel();
    void OnCancel();
    void USBConnected();
    void USBRemove();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Fills DiskComboBox with the removable disks that Windows lists.
    void ListUSBDrives();
    void refreshStaleDriveList();
    void buildThreadEnded();
    void showCentred(QDialog *dialog);

    void buildTitleStrip();
    void applyDpiLook();

    ThreadDriveClone *workerThread = nullptr;
    WarningClass *warningDialog = nullptr;
    InfoDialogClass *infoDialog = nullptr;
    QPushButton *titleCloseButton = nullptr;
    QMovie *scanMovie = nullptr;
    QPoint dragOffset;
    BaseLayout baseLayout;
    QLabel *titleLabel = nullptr; // carries the title inside label_3
    bool probing = false;         // the connectivity check is running
    bool buildRunning = false;    // the worker has not yet reported the end of its build
    bool stoppingBuild = false;   // the user stopped the build; its thread is ending
    // From the confirmation's OK until a build has completed or the check
    // failed, the current item's disk is the one being built (a build that
    // ended incomplete may be recreated on it), so the list must not change.
    bool driveChoiceInUse = false;
    bool driveListStale = false; // a disk changed while the list could not
};
