#include "app/LanguageSelection.h"

#include "app/HostSide.h"

#include <QCoreApplication>
#include <QTranslator>

namespace {

struct LanguageRow {
    int languageType;
    UiLanguage language;
    const char *code;
};

const LanguageRow kLanguages[] = {
    {0, UiLanguage::EN, "EN"}, {1, UiLanguage::DE, "DE"},  {2, UiLanguage::FR, "FR"},
    {3, UiLanguage::IT, "IT"}, {4, UiLanguage::ES, "ES"},  {5, UiLanguage::JA, "JA"},
    {6, UiLanguage::CN, "CN"}, {7, UiLanguage::KO, "KO"},  {8, UiLanguage::DU, "DU"},
    {9, UiLanguage::BR, "BR"}, {10, UiLanguage::HI, "HI"},
};

} // namespace

const char *languageCode(UiLanguage language) {
    for (const LanguageRow &row : kLanguages) {
        if (row.language == language)
            return row.code;
    }
    return "EN";
}

UiLanguage languageForLanguageType(const QVariant &languageType) {
    bool ok = false;
    const int value = languageType.toInt(&ok);
    for (const LanguageRow &row : kLanguages) {
        if (ok && row.languageType == value && value >= 1)
            return row.language;
    }
    return UiLanguage::EN;
}

UiLanguage selectLanguageFromHost() {
    const QVariant value =
        readRegistryValue(AppContext::hostSettingsKey(), QStringLiteral("LanguageType"));
    AppContext::s_language = languageForLanguageType(value);
    return AppContext::s_language;
}

namespace {

// Folder of a language's catalogues: "<applicationDir>/BootableTranslation/<CODE>".
QString translationDirFor(const QString &applicationDir, UiLanguage language) {
    return applicationDir + QStringLiteral("/BootableTranslation/") +
           QString::fromLatin1(languageCode(language));
}

} // namespace

void installTranslators(UiLanguage language, QTranslator &qtTranslator,
                        QTranslator &toolTranslator) {
    const QString dir = translationDirFor(QCoreApplication::applicationDirPath(), language);
    const QString code = QString::fromLatin1(languageCode(language));
    // A missing catalogue leaves an empty translator, which translates nothing.
    qtTranslator.load(QStringLiteral("qt_") + code.toLower(), dir);
    QCoreApplication::installTranslator(&qtTranslator);
    toolTranslator.load(QStringLiteral("LANG_") + code, dir);
    QCoreApplication::installTranslator(&toolTranslator);
}
