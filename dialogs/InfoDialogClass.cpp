#include "dialogs/InfoDialogClass.h"

#include "app/AppContext.h"
#include "app/ScreenScale.h"
#include "dialogs/DialogLayouts.h"
#include "dialogs/FocusRing.h"
#include "dialogs/LookStyles.h"
#include "dialogs/TitleDrag.h"
#include "dialogs/WindowLook.h"

#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QPixmap>
#include <QShowEvent>

InfoDialogClass::InfoDialogClass(QWidget *parent) : QDialog(parent), dragOffset(0, 0) {
    setupUi(this);
    ApplyScaledLayout();

    windowlook::paintTitleStrip(HeaderLabel);
    HeaderLabel->setText(tr("Information"));
    HeaderLabel->setAlignment(Qt::AlignCenter);
    HeaderLabel->setFont(windowlook::titleFont());

    windowlook::makeFrameless(this);
    windowlook::paintBody(this);

    label->setFont(windowlook::bodyFont());
    label_2->setFont(windowlook::bodyFont());
    setMessageTexts();

    const DpiClass dpiClass = dpiClassOf(AppContext::scaleFactor());
    const QString picture = lookstyle::picture(dpiClass, "img_SelectRegion.png");
    if (!picture.isEmpty())
        ImageLbl->setPixmap(QPixmap(picture));

    CancelButton->setStyleSheet(lookstyle::bigButtonFourState(dpiClass) +
                                QString::fromLatin1(lookstyle::kBlackTextRule));
    RecreateButton->setStyleSheet(lookstyle::buttonNormal(dpiClass) +
                                  QString::fromLatin1(lookstyle::kWhiteTextRule));
    setTabOrder(RecreateButton, CancelButton);
    new FocusRing(this);
}

void InfoDialogClass::setMessageTexts() {
    label->setText(tr("Boot Media has some components missing and has failed the self-test."));
    label_2->setText(tr("Click 'Recreate Boot Media' to restart process."));
}

void InfoDialogClass::ApplyScaledLayout() {
    baseLayout = infoDialogLayout(AppContext::language());
    applyScaledLayout(this, baseLayout, AppContext::scaleFactor());
}

void InfoDialogClass::mousePressEvent(QMouseEvent *event) {
    titledrag::press(this, event, dragOffset);
}

void InfoDialogClass::mouseReleaseEvent(QMouseEvent *) {
    titledrag::release();
}

void InfoDialogClass::mouseMoveEvent(QMouseEvent *event) {
    titledrag::move(this, event, dragOffset, titledrag::StripHeight::Scaled);
}

void InfoDialogClass::changeEvent(QEvent *event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi(this);
        HeaderLabel->setText(tr("Information"));
        setMessageTexts();
        ApplyScaledLayout();
    }
    QWidget::changeEvent(event);
}

void InfoDialogClass::keyPressEvent(QKeyEvent *event) {
    // While this dialog is up every control of the main window is disabled:
    // hiding it with Escape would leave the user no way on. Its two buttons
    // are the only ways out; Return still presses the default one.
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void InfoDialogClass::closeEvent(QCloseEvent *event) {
    // A close from the window system (Alt+F4) means what Cancel means: hiding
    // the dialog alone would leave the main window with every control
    // disabled and no way on.
    if (isVisible())
        CancelButton->click();
    QDialog::closeEvent(event);
}

void InfoDialogClass::showEvent(QShowEvent *event) {
    // The caller fills the texts before it shows the dialog: a screen reader
    // opening it hears the title on its strip and the message under it.
    setAccessibleName(HeaderLabel->text());
    setAccessibleDescription(label->text() + QLatin1Char(' ') + label_2->text());
    ImageLbl->setAccessibleName(tr("Error"));
    QDialog::showEvent(event);
    (RecreateButton)->setFocus();
}
