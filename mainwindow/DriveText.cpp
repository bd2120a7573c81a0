#include "mainwindow/DriveText.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QLocale>
#include <QStyleOptionComboBox>

namespace {

QLocale localeOf(UiLanguage language) {
    switch (language) {
    case UiLanguage::EN:
        return QLocale(QLocale::English, QLocale::UnitedStates);
    case UiLanguage::DE:
        return QLocale(QLocale::German, QLocale::Germany);
    case UiLanguage::FR:
        return QLocale(QLocale::French, QLocale::France);
    case UiLanguage::IT:
        return QLocale(QLocale::Italian, QLocale::Italy);
    case UiLanguage::ES:
        return QLocale(QLocale::Spanish, QLocale::Spain);
    case UiLanguage::JA:
        return QLocale(QLocale::Japanese, QLocale::Japan);
    case UiLanguage::CN:
        return QLocale(QLocale::Chinese, QLocale::China);
    case UiLanguage::KO:
        return QLocale(QLocale::Korean, QLocale::SouthKorea);
    case UiLanguage::DU:
        return QLocale(QLocale::Dutch, QLocale::Netherlands);
    case UiLanguage::BR:
        return QLocale(QLocale::Portuguese, QLocale::Brazil);
    case UiLanguage::HI:
        return QLocale(QLocale::Hindi, QLocale::India);
    }
    return QLocale::c();
}

QString composed(const QString &model, const QString &gigabytes, const QString &letters) {
    if (gigabytes.isEmpty())
        return model;
    if (letters.isEmpty()) {
        //: A drive without a drive letter: %1 its model, %2 its size in GB (one decimal)
        return QCoreApplication::translate("QCreateBootable", "%1 (%2 GB)").arg(model, gigabytes);
    }
    //: A drive: %1 its model, %2 its size in GB (one decimal), %3 its drive letters ("E:")
    return QCoreApplication::translate("QCreateBootable", "%1 (%2 GB, %3)")
        .arg(model, gigabytes, letters);
}

// The width the list gives the current item's text.
int textWidthOf(QComboBox *list) {
    QStyleOptionComboBox option;
    option.initFrom(list);
    const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, list);
    return field.width() - 2;
}

} // namespace

QString driveText(const ListedDrive &drive, UiLanguage language, const QFontMetrics *metrics,
                  int width) {
    // Explorer's GB are GiB, cut (never rounded up) to one decimal: a stick
    // never shows more than it holds.
    constexpr qint64 kGiB = qint64(1) << 30;
    const QString gigabytes =
        drive.size < 0 ? QString()
                       : localeOf(language).toString(double(drive.size * 10 / kGiB) / 10, 'f', 1);
    const QString letters = drive.letters.join(QLatin1Char(' '));
    const QString whole = composed(drive.model, gigabytes, letters);
    if (!metrics || metrics->horizontalAdvance(whole) <= width)
        return whole;
    const int rest = metrics->horizontalAdvance(composed(QString(), gigabytes, letters));
    return composed(metrics->elidedText(drive.model, Qt::ElideRight, qMax(0, width - rest)),
                    gigabytes, letters);
}

void addDriveItem(QComboBox *list, const ListedDrive &drive, UiLanguage language) {
    const QFontMetrics metrics(list->font());
    list->addItem(driveText(drive, language, &metrics, textWidthOf(list)), QVariant(drive.number));
    const int item = list->count() - 1;
    const QString whole = driveText(drive, language);
    list->setItemData(item, QVariant::fromValue(drive), kDriveRole);
    list->setItemData(item, whole, Qt::ToolTipRole);
    list->setItemData(item, whole, Qt::AccessibleTextRole);
}
