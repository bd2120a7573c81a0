// The main window's look and voice: the title strip, the pictures and
// style sheets of the screen's scale, the controls' shown and enabled flags
// in each window state, and what a screen reader is told.
#include "mainwindow/QCreateBootable.h"

#include "app/AppContext.h"
#include "app/ScreenScale.h"
#include "dialogs/LookStyles.h"
#include "dialogs/WindowLook.h"
#include "mainwindow/MainWindowLayout.h"
#include "platform/HostPlatform.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

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
