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
    // The tool never releases its window; whoever does (a test) takes the
    // kept image with it.
    ~QCreateBootable() override;

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
    // After the slots above, so that their indices in the meta-object do not
    // move.
    void OnBuildFailed(int cause);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // What the window lets the user see and do, from the start of the tool
    // to the end of a build. The dialogs over it are not part of it: the
    // confirmation may open over any state in which the start button shows.
    enum class WindowState {
        Idle,         // a drive may be chosen and a build started
        Probing,      // the connectivity check runs: nothing can be pressed
        NoConnection, // the check failed: a new start may be tried
        Downloading,  // the build fetches the image; the user may still leave
        Stopping,     // the user left the download; the build is ending
        Writing,      // the download is over; the drive is being written
        Failed,       // the build ended incomplete, behind the failure dialog
        Finished,     // the drive is ready; another build may start
    };
    // Sets every control's enabled and shown flags for the state. Applying
    // the current state again only follows a changed drive list.
    void applyState(WindowState state);

    // The constructor's parts: fonts and frame for the screen's scale, the
    // worker's, dialogs' and devices' signals, the keyboard's order and the
    // controls' names.
    void setUpWindowLook();
    void connectSignals();
    void setUpKeyboard();

    // Fills DiskComboBox with the removable disks that Windows lists.
    void ListUSBDrives();
    void recordChosenDriveSignature(const QString &signature);
    void refreshStaleDriveList();
    void buildThreadEnded();
    void showCentred(QDialog *dialog);
    void showNoConnectionNotice();
    void restartScanAnimation();

    void buildTitleStrip();
    void applyDpiLook();
    void nameControls();
    // The list's accessible name: its prompt and the chosen drive.
    void nameDriveList();
    // The status line, told to assistive technology as it changes.
    void setStatusText(const QString &text);
    // Reads the outcome of a build out to the user's screen reader.
    void announceOutcome(const QString &text);
    // Back from a dialog: keyboard input to this window, at focus.
    void takeBackKeyboard(QWidget *focus);
    // Started without the rights that preparing a drive needs: says so in
    // the status line, to the screen reader as well.
    void showRightsNotice();

    ThreadDriveClone *workerThread = nullptr;
    WarningClass *warningDialog = nullptr;
    InfoDialogClass *infoDialog = nullptr;
    QPushButton *titleCloseButton = nullptr;
    QMovie *scanMovie = nullptr;
    QPoint dragOffset;
    BaseLayout baseLayout;
    QLabel *titleLabel = nullptr; // carries the title inside label_3
    WindowState currentState = WindowState::Idle;
    // The process may prepare a drive (an administrator's rights); without
    // them no build can start, in any state.
    bool hasDriveRights = false;
    bool buildRunning = false;  // the worker has not yet reported the end of its build
    bool stoppingBuild = false; // the user stopped the build; its thread is ending
    // From the confirmation's OK until a build has completed or the check
    // failed, the current item's disk is the one being built (a build that
    // ended incomplete may be recreated on it), so the list must not change.
    bool driveChoiceInUse = false;
    bool driveListStale = false; // a disk changed while the list could not
};
