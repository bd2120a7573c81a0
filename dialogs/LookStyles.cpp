#include "dialogs/LookStyles.h"

namespace lookstyle {

const char *const kWhiteTextRule = "QPushButton {color : #ffffff;}";
const char *const kBlackTextRule = "QPushButton {color : #000000;}";
const char *const kBlackLabelRule = "QLabel {color : #000000;}";

namespace {

const char kButtonNormal96[] =
    "QPushButton{border-image: url(:/images/img_ButtonNormal.png)}"
    "QPushButton:hover { border-image: url(:/images/img_ButtonHover.png)}"
    "QPushButton:pressed { border-image: url(:/images/img_ButtonNormal.png);}";

const char kBigButtonThreeState96[] =
    "QPushButton{border-image: url(:/images/img_BigButton.png)}"
    "QPushButton:hover { border-image: url(:/images/img_BigButtonActive.png)}"
    "QPushButton:pressed { border-image: url(:/images/img_BigButton.png);}";

const char kBigButtonFourState96[] =
    "QPushButton{border-image: url(:/images/img_BigButton.png)}"
    "QPushButton:hover { border-image: url(:/images/img_BigButtonActive.png)}"
    "QPushButton:disabled { border-image: url(:/images/img_BigButton.png)}"
    "QPushButton:pressed { border-image: url(:/images/img_BigButton.png)}";

const char kTitleClose96[] = "QPushButton{border-image: url(:/images/img_CloseDis.png)}"
                             "QPushButton:hover { border-image: url(:/images/img_ClosePress.png)}"
                             "QPushButton:disabled { border-image: url(:/images/img_CloseDis.png)}"
                             "QPushButton:pressed { border-image: url(:/images/img_Close.png)}";

// The larger classes draw the close button from a set of their own, sized
// for the square button; 120 dpi has the same names in its folder.
const char kTitleClose144[] =
    "QPushButton{border-image: url(:/images/144-DPI/img_TitleClose.png)}"
    "QPushButton:hover { border-image: url(:/images/144-DPI/img_TitleCloseHover.png)}"
    "QPushButton:disabled { border-image: url(:/images/144-DPI/img_TitleClose.png)}"
    "QPushButton:pressed { border-image: url(:/images/144-DPI/img_TitleClosePressed.png)}";

// Points every picture of a 96-dpi style at the folder of the class.
QString forClass(const char *style96, DpiClass dpiClass) {
    if (dpiClass == DpiClass::None)
        return QString();
    QString style = QString::fromLatin1(style96);
    const QString folder = QString::fromLatin1(imageFolderOf(dpiClass));
    style.replace(QStringLiteral("url(:/images/"), QStringLiteral("url(") + folder);
    return style;
}

} // namespace

QString buttonNormal(DpiClass dpiClass) {
    return forClass(kButtonNormal96, dpiClass);
}

QString bigButtonThreeState(DpiClass dpiClass) {
    return forClass(kBigButtonThreeState96, dpiClass);
}

QString bigButtonFourState(DpiClass dpiClass) {
    return forClass(kBigButtonFourState96, dpiClass);
}

QString titleClose(DpiClass dpiClass) {
    switch (dpiClass) {
    case DpiClass::Dpi96:
        return QString::fromLatin1(kTitleClose96);
    case DpiClass::Dpi120:
        return QString::fromLatin1(kTitleClose144)
            .replace(QStringLiteral("144-DPI"), QStringLiteral("120-DPI"));
    case DpiClass::Dpi144:
        return QString::fromLatin1(kTitleClose144);
    case DpiClass::None:
        break;
    }
    return QString();
}

QString disabledRule(DpiClass dpiClass, DisabledPicture kind) {
    const char *fileName = kind == DisabledPicture::Button      ? "img_ButtonDisabled.png"
                           : kind == DisabledPicture::BigButton ? "img_BigButtonDisabled.png"
                                                                : "img_TitleCloseDisabled.png";
    const QString image = picture(dpiClass, fileName);
    const QString border =
        image.isEmpty() ? QString() : QStringLiteral("border-image: url(%1); ").arg(image);
    return QStringLiteral("QPushButton:disabled { %1color : #8a929c;}").arg(border);
}

QString picture(DpiClass dpiClass, const char *fileName) {
    if (dpiClass == DpiClass::None)
        return QString();
    return QString::fromLatin1(imageFolderOf(dpiClass)) + QString::fromLatin1(fileName);
}

} // namespace lookstyle
