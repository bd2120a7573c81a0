// The main window's answers to the window system: closing, dragging by the
// title strip, the keyboard at window level and a change of language.
#include "mainwindow/QCreateBootable.h"

#include "dialogs/InfoDialogClass.h"
#include "dialogs/TitleDrag.h"
#include "dialogs/WarningClass.h"

#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>

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
