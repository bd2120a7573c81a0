#include "dialogs/WarningClass.h"

#include "app/AppContext.h"
#include "app/ScreenScale.h"
#include "dialogs/DialogLayouts.h"
#include "dialogs/FocusRing.h"
#include "dialogs/LookStyles.h"
#include "dialogs/TitleDrag.h"
#include "dialogs/WindowLook.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPixmap>
#include <QShowEvent>

WarningClass::WarningClass(QWidget *parent) : QDialog(parent), dragOffset(0, 0) {
    setupUi(this);
    ApplyScaledLayout();

    windowlook::paintTitleStrip(HeaderLabel);
    HeaderLabel->setText(tr("Confirm Operation"));
    HeaderLabel->setFont(windowlook::titleFont());
    InfoLabel->setFont(windowlook::bodyFont());
    OkButton->setFont(windowlook::bodyFont());
    CancelButton->setFont(windowlook::bodyFont());

    windowlook::makeFrameless(this);
    windowlook::paintBody(this);

    const QString picture =
        lookstyle::picture(dpiClassOf(AppContext::scaleFactor()), "img_Warning.png");
    if (!picture.isEmpty())
        ImageLabel->setPixmap(QPixmap(picture));

    InfoLabel->setStyleSheet(QString::fromLatin1(lookstyle::kBlackLabelRule));
    InfoLabel->setFont(windowlook::bodyFont());
    DriveLabel->setStyleSheet(QString::fromLatin1(lookstyle::kBlackLabelRule));
    QFont drive = windowlook::bodyFont();
    drive.setBold(true);
    DriveLabel->setFont(drive);

    // These two buttons keep the 96-dpi button pictures at every scale.
    const QString buttonStyle =
        lookstyle::buttonNormal(DpiClass::Dpi96) + QString::fromLatin1(lookstyle::kWhiteTextRule);
    OkButton->setStyleSheet(buttonStyle);
    CancelButton->setStyleSheet(buttonStyle);

    connect(OkButton, SIGNAL(clicked()), this, SLOT(OnOk()));
    setTabOrder(OkButton, CancelButton);
    new FocusRing(this);
}

void WarningClass::ApplyScaledLayout() {
    baseLayout = warningDialogLayout();
    applyScaledLayout(this, baseLayout, AppContext::scaleFactor());
}

void WarningClass::showConfirmationButtons() {
    OkButton->show();
    CancelButton->setText(QCoreApplication::translate("WarningDlg", "Cancel"));
    InfoLabel->setFont(windowlook::bodyFont());
}

void WarningClass::showDrive(const QString &text) {
    DriveLabel->setText(
        DriveLabel->fontMetrics().elidedText(text, Qt::ElideMiddle, DriveLabel->width()));
    DriveLabel->setToolTip(text);
    DriveLabel->setAccessibleName(text);
    DriveLabel->setVisible(!text.isEmpty());
}

void WarningClass::OnOk() {
    // The main window acts on OK through its own connection.
}

void WarningClass::mousePressEvent(QMouseEvent *event) {
    titledrag::press(this, event, dragOffset);
}

void WarningClass::mouseReleaseEvent(QMouseEvent *) {
    titledrag::release();
}

void WarningClass::mouseMoveEvent(QMouseEvent *event) {
    titledrag::move(this, event, dragOffset, titledrag::StripHeight::Fixed);
}

void WarningClass::changeEvent(QEvent *event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi(this);
        HeaderLabel->setText(tr("Confirm Operation"));
        OkButton->setText(tr("OK"));
        ApplyScaledLayout();
    }
    QWidget::changeEvent(event);
}

void WarningClass::showEvent(QShowEvent *event) {
    // The caller fills the texts before it shows the dialog: a screen reader
    // opening it hears the title on its strip, the drive it is for and the
    // message under it.
    const QString drive = DriveLabel->isHidden() ? QString() : DriveLabel->accessibleName();
    setAccessibleName(drive.isEmpty() ? HeaderLabel->text()
                                      : HeaderLabel->text() + QStringLiteral(": ") + drive);
    setAccessibleDescription(InfoLabel->text());
    ImageLabel->setAccessibleName(tr("Warning"));
    QDialog::showEvent(event);
    (OkButton->isVisible() ? OkButton : CancelButton)->setFocus();
}
