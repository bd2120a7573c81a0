// The interface language that the user chose in the host product, and the
// two translators (Qt's own catalogue, then the tool's) that serve it.
#pragma once

#include "app/AppContext.h"

#include <QString>
#include <QVariant>

class QTranslator;

// Two-letter code of a language: folder and catalogue names ("EN", "KO", ...).
const char *languageCode(UiLanguage language);

// "LanguageType" 1 to 10 picks a language; anything else (missing, out of
// range, not a number) is English. A numeric string reads like the number.
UiLanguage languageForLanguageType(const QVariant &languageType);

// Reads "LanguageType" from the host product's key and stores the language.
UiLanguage selectLanguageFromHost();

// Loads "qt_<code>" into qtTranslator and "LANG_<CODE>" into toolTranslator
// from the language's folder and installs both, in this order, whether found
// or not: the tool's catalogue, installed last, wins over Qt's.
void installTranslators(UiLanguage language, QTranslator &qtTranslator,
                        QTranslator &toolTranslator);
