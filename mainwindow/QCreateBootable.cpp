#include "mainwindow/QCreateBootable.h"

#include "app/AppContext.h"
#include "app/ScreenScale.h"
#include "dialogs/InfoDialogClass.h"
#include "dialogs/LookStyles.h"
#include "dialogs/TitleDrag.h"
#include "dialogs/WarningClass.h"
#include "dialogs/WindowLook.h"
#include "mainwindow/MainWindowLayout.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

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

    label_2->hide();
    progressBar->hide();
    progressBar->setMinimum(0);
    progressBar->setMaximum(100);
    progressBar->setValue(0);

    storeSystemDirectory();
    ApplyScaledLayout();

    // The dialogs read the scale factor in their constructors, so they are
    // made only now. Each is a top-level window of its own.
    warningDialog = new WarningClass(nullptr);
    warningDialog->hide();
    infoDialog = new InfoDialogClass(nullptr);

    applyDpiLook();
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
    titleCloseButton->setStyleSheet(lookstyle::titleClose(dpiClassOf(AppContext::scaleFactor())));

    auto *strip = new QHBoxLayout;
    strip->setSpacing(0);
    strip->setContentsMargins(0, 0, 0, 0);
    strip->addWidget(titleLabel, 1);
    strip->addWidget(titleCloseButton, 0);
    label_3->setLayout(strip);
}

void QCreateBootable::applyDpiLook() {
    const DpiClass dpiClass = dpiClassOf(AppContext::scaleFactor());
    CreateBootable->setStyleSheet(lookstyle::buttonNormal(dpiClass) +
                                  QString::fromLatin1(lookstyle::kWhiteTextRule));
    CancelButton->setStyleSheet(lookstyle::bigButtonThreeState(dpiClass));
    const QString picture = lookstyle::picture(dpiClass, "Bootable.png");
    if (!picture.isEmpty())
        ImageLabel->setPixmap(QPixmap(picture));
}

void QCreateBootable::ApplyScaledLayout() {
    baseLayout = mainWindowLayout(AppContext::language());
    applyScaledLayout(this, baseLayout, AppContext::scaleFactor());
}

void QCreateBootable::CreateBootableStart() {}

void QCreateBootable::OnPrintRunningProcess(QString) {}

void QCreateBootable::OnProcessComplete() {}

void QCreateBootable::IncompleteFileDownload() {}

void QCreateBootable::OnStopgGifFile() {}

void QCreateBootable::OnSetProgressValue(int) {}

void QCreateBootable::OnProcessStart() {}

void QCreateBootable::OnProcessCancel() {}

void QCreateBootable::OnCancel() {}

void QCreateBootable::USBConnected() {}

void QCreateBootable::USBRemove() {}

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
        if (titleLabel)
            titleLabel->setText(tr("Create Recovery Drive"));
    }
    QWidget::changeEvent(event);
}
