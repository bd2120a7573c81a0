// Checks the compiled catalogues in the build's BootableTranslation folder, reached as the
// tool reaches them: the host product's LanguageType picks the catalogues of the right
// language; every text the tool shows is translated, keeps what the code relies on (its
// markers, line feeds and edge blanks, the quoted button name) and reads the same wherever
// the same English appears; and every text fits its fixed-size widget at every screen scale.
//
// Fit is measured with the tool's fonts ("Segoe UI" 10 pt, 9 pt in the failure dialog's
// buttons) at the screen's dpi, in the widget's scaled width. Without Segoe UI (on Linux)
// the measure is an approximation: the font is substituted by an Arial-metric face
// (Liberation Sans, Arimo, Nimbus Sans), whose average Latin advance is within about 1 % of
// Segoe UI's (0.441 against 0.443 em), or else by Noto Sans, which runs wider (0.474 em), so
// its Latin widths are scaled by the ratio. Single glyphs differ, so buttons keep a margin
// of a few pixels. Japanese, Chinese, Korean and Hindi come from the Noto CJK and
// Devanagari faces, whose advances are close to those of the Windows fallback fonts, and
// are not scaled. With any other font the widths mean nothing, and the fit check is skipped.

#include "app/LanguageSelection.h"
#include "app/ScreenScale.h"
#include "dialogs/DialogLayouts.h"
#include "mainwindow/BuildFailureText.h"
#include "mainwindow/MainWindowLayout.h"

#include <QFontInfo>
#include <QImage>
#include <QTextLayout>
#include <QTranslator>
#include <QtTest>

namespace {

// The host product's LanguageType values and the language each one stands for.
struct Language {
    int languageType;
    const char *locale;
};
const Language kLanguages[] = {{0, "en"}, {1, "de"},    {2, "fr"},    {3, "it"},
                               {4, "es"}, {5, "ja"},    {6, "zh_CN"}, {7, "ko"},
                               {8, "nl"}, {9, "pt_BR"}, {10, "hi"}};

// Where a text is shown: a widget of one of the three windows, its font, how many lines it
// holds, and the pixels at 96 dpi that the widget keeps for itself (a button's skin, the
// drive list's arrow and padding).
enum Window { None, Main, Warning, Info };
struct Place {
    Window window;
    const char *widget;
    int points;
    int lines;
    int reserved;
};
const Place kNowhere{None, nullptr, 0, 0, 0};
const Place kCreate{Main, "CreateBootable", 10, 1, 8};
const Place kMainCancel{Main, "CancelButton", 10, 1, 8};
const Place kWarningOk{Warning, "OkButton", 10, 1, 8};
const Place kWarningCancel{Warning, "CancelButton", 10, 1, 8};
const Place kInfoCancel{Info, "CancelButton", 9, 1, 8};
const Place kRecreate{Info, "RecreateButton", 9, 1, 8};
const Place kPrompt{Main, "label", 10, 1, 0};
const Place kStatus{Main, "label_2", 10, 1, 0};
const Place kStatus2{Main, "label_2", 10, 2, 0};
const Place kDriveItem{Main, "DiskComboBox", 10, 1, 30};
const Place kBody{Warning, "InfoLabel", 10, 4, 0};
const Place kFailureTop{Info, "label", 10, 2, 0};
const Place kFailureBottom{Info, "label_2", 10, 2, 0};

const char *const kStatusStart = "Please wait. Preparing the selected media. ";
const char *const kStatusEnd = "This may take some time.";
const char *const kRecreateButton = "Recreate Boot Media";
const char *const kFailureHint = "Click 'Recreate Boot Media' to restart process.";

struct Text {
    const char *context;
    const char *source;
    Place place;
};
// Every text the tool shows, in the context its code or form translates it in.
const Text kTexts[] = {
    {"Dialog", "Create Bootable Media", kNowhere},
    {"Dialog", "Select the USB Drive to create recovery drive", kPrompt},
    {"Dialog", "Creating recovery drive...", kStatus},
    {"Dialog", "%p%", kNowhere},
    {"Dialog", "Create Recovery Drive", kCreate},
    {"Dialog", "Cancel", kMainCancel},
    {"QCreateBootable", "Create Recovery Drive", kNowhere},
    {"QCreateBootable", "No USB drive found", kDriveItem},
    {"QCreateBootable", "Temporary folder missing or read-only", kDriveItem},
    {"QCreateBootable", "Stopping the download...", kStatus},
    {"QCreateBootable", "This program is already running.", kNowhere},
    {"QCreateBootable", "Process completed", kStatus},
    {"QCreateBootable", "Confirm Operation", kNowhere},
    {"QCreateBootable",
     "Please ensure that you have taken backup of your data on the selected USB drive.\n"
     "This operation will erase all data from the selected drive while creating recovery drive.",
     kBody},
    {"QCreateBootable", "No Internet connection", kNowhere},
    {"QCreateBootable", "Internet connection is required for creating recovery drive.", kBody},
    {"QCreateBootable", "OK", kWarningCancel},
    {"QCreateBootable", kStatusStart, kNowhere}, // shown with kStatusEnd after it
    {"QCreateBootable", kStatusEnd, kNowhere},
    {"WarningDlg", "Confirm Operation", kNowhere},
    {"WarningDlg", "OK", kWarningOk},
    {"WarningDlg", "Cancel", kWarningCancel},
    {"WarningClass", "Confirm Operation", kNowhere},
    {"WarningClass", "OK", kWarningOk},
    {"InfoDialog", "InfoDialog", kNowhere},
    {"InfoDialog", "Cancel", kInfoCancel},
    {"InfoDialog", kRecreateButton, kRecreate},
    {"InfoDialogClass", "Information", kNowhere},
    {"InfoDialogClass", "Boot Media has some components missing and has failed the self-test.",
     kFailureTop},
    {"InfoDialogClass", kFailureHint, kFailureBottom},
    {"ThreadDriveClone", "Copying system files...", kStatus},
    {"ThreadDriveClone", "Finalizing recovery drive...", kStatus},
    {"ThreadDriveClone", "Copying resources...", kStatus},
    {"ThreadDriveClone", "Finalizing all settings...", kStatus},
    // The causes of a failed build and its details line: shown through buildFailureText().
    {"QCreateBootable", "No download link for the boot image is configured.", kNowhere},
    {"QCreateBootable", "The boot image could not be downloaded.", kNowhere},
    {"QCreateBootable", "The downloaded boot image is too small to be complete.", kNowhere},
    {"QCreateBootable", "The selected drive was removed or changed.", kNowhere},
    {"QCreateBootable", "The selected drive is too small for the boot image.", kNowhere},
    {"QCreateBootable", "No free drive letter is available for the drive.", kNowhere},
    {"QCreateBootable", "The drive could not be formatted.", kNowhere},
    {"QCreateBootable", "Copying to the drive failed.", kNowhere},
    {"QCreateBootable", "The finished drive failed its check.", kNowhere},
    {"QCreateBootable", "Details: %1", kNowhere},
    {"ThreadDriveClone", "Downloading the boot image: %1 of %2 MB", kStatus},
    {"ThreadDriveClone", "Downloading the boot image: %1 MB", kStatus},
    {"ThreadDriveClone", "Copying the boot image to the drive: %1 of %2 MB", kStatus},
    // Read out by screen readers, never shown.
    {"QCreateBootable", "Close", kNowhere},
    {"QCreateBootable", "Progress of the recovery drive", kNowhere},
    {"QCreateBootable", "Recovery drive", kNowhere},
    {"QCreateBootable", "Busy", kNowhere},
    {"QCreateBootable", "The download was stopped. The drive was not changed.", kNowhere},
    {"WarningClass", "Warning", kNowhere},
    {"InfoDialogClass", "Error", kNowhere},
};

QString shown(const char *context, const char *source) {
    return QCoreApplication::translate(context, source);
}

// A language's two catalogues, found and installed by the tool's own code while this lives.
struct Catalogues {
    QTranslator qt, tool;
    explicit Catalogues(int languageType) {
        installTranslators(languageForLanguageType(languageType), qt, tool);
    }
    ~Catalogues() {
        QCoreApplication::removeTranslator(&tool);
        QCoreApplication::removeTranslator(&qt);
    }
};

// How much narrower Segoe UI sets Latin text than the font that stands in for it, or 0 if
// the stand-in's metrics are unknown.
qreal latinScale = 0;

qreal scaleFor(const QString &text) {
    for (const QChar c : text) {
        if (c.unicode() > 0x024F && !(c.unicode() >= 0x2000 && c.unicode() <= 0x206F))
            return 1.0;
    }
    return latinScale;
}

// Lays the text out as a word-wrapping label does on a screen of the given dpi: line feeds
// break lines, words wrap at the width, a word longer than the width overflows (and shows
// in the widest line). True when it takes at most `lines` lines, none wider than `width`.
bool fits(const QString &text, int points, int dpi, qreal width, int lines, QString *why) {
    QImage screen(1, 1, QImage::Format_RGB32);
    screen.setDotsPerMeterX(qRound(dpi / 0.0254));
    screen.setDotsPerMeterY(qRound(dpi / 0.0254));
    QFont font(QStringLiteral("Segoe UI"));
    font.setPointSize(points);
    // A narrower font in the given width wraps as this one does in a proportionally wider one.
    const qreal scale = scaleFor(text);
    QTextLayout layout(QString(text).replace(QLatin1Char('\n'), QChar::LineSeparator), font,
                       &screen);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    int used = 0;
    qreal widest = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width / scale);
        widest = qMax(widest, line.naturalTextWidth() * scale);
        ++used;
    }
    layout.endLayout();
    *why = QString::asprintf("\"%s\" takes %d lines (at most %d) and %.1f px of %.1f px",
                             qPrintable(text), used, lines, widest, width);
    return used <= lines && widest <= width;
}

QRect scaledWidget(UiLanguage language, const Place &place, float scale) {
    const BaseLayout layout = place.window == Main      ? mainWindowLayout(language)
                              : place.window == Warning ? warningDialogLayout()
                                                        : infoDialogLayout(language);
    for (const LayoutRow &row : layout.rows) {
        if (qstrcmp(row.objectName, place.widget) == 0)
            return scaledRect(row, scale);
    }
    return QRect();
}

QString localeName(const QString &name) {
    return QLocale(name).name();
}

void addLanguages() {
    QTest::addColumn<int>("languageType");
    QTest::addColumn<QString>("locale");
    for (const Language &language : kLanguages)
        QTest::newRow(language.locale) << language.languageType << QString(language.locale);
}

} // namespace

class TranslationCataloguesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        const QStringList arialMetric = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                         QStringLiteral("Nimbus Sans"), QStringLiteral("Arial")};
        const QString noto = QStringLiteral("Noto Sans");
        QFont::insertSubstitutions(QStringLiteral("Segoe UI"), arialMetric + QStringList{noto});
        // The family without its foundry ("Nimbus Sans [urw]").
        const QString family = QFontInfo(QFont(QStringLiteral("Segoe UI"))).family();
        const QString name = family.section(QStringLiteral(" ["), 0, 0);
        latinScale = arialMetric.contains(name) || name == QLatin1String("Segoe UI") ? 1.0
                     : name == noto                                                  ? 0.443 / 0.474
                                                                                     : 0;
        qInfo("\"Segoe UI\" is measured with \"%s\", Latin widths scaled by %.3f",
              qPrintable(family), latinScale);
    }

    // LanguageType N, as a number or as text, leads to the catalogues of its language, the
    // tool's and, where the build found one, Qt's; anything else means English.
    void languageTypePicksItsCatalogues_data() { addLanguages(); }
    void languageTypePicksItsCatalogues() {
        QFETCH(int, languageType);
        QFETCH(QString, locale);
        QCOMPARE(languageForLanguageType(QString::number(languageType)),
                 languageForLanguageType(languageType));
        const Catalogues catalogues(languageType);
        QCOMPARE(localeName(catalogues.tool.language()), localeName(locale));
        const QString code = languageCode(languageForLanguageType(languageType));
        // Qt's English catalogue holds plural forms only, and names no language.
        if (languageType != 0 &&
            QString::fromLatin1(BMC_QT_CATALOGUE_CODES).split(QLatin1Char(',')).contains(code))
            QCOMPARE(localeName(catalogues.qt.language()), localeName(locale));
        for (const QVariant &other :
             {QVariant(11), QVariant(-1), QVariant(QStringLiteral("German")), QVariant(QString()),
              QVariant()})
            QCOMPARE(languageForLanguageType(other), UiLanguage::EN);
    }

    // Every text is translated (English keeps the source), and what the code relies on is
    // kept: each %N and %p once, the line feeds, the blanks at either end, the button name
    // the hint quotes, and one wording for the same English.
    void everyTextIsTranslatedFaithfully_data() { addLanguages(); }
    void everyTextIsTranslatedFaithfully() {
        QFETCH(int, languageType);
        const Catalogues catalogues(languageType);
        const QRegularExpression markers(QStringLiteral("%[0-9p]"));
        const QRegularExpression edges(QStringLiteral("^(\\s*).*?(\\s*)$"),
                                       QRegularExpression::DotMatchesEverythingOption);
        const auto shape = [&](const QString &text) {
            QStringList found;
            for (auto it = markers.globalMatch(text); it.hasNext();)
                found << it.next().captured();
            found.sort();
            const auto edge = edges.match(text);
            return QStringList{found.join(QString()),
                               QString::number(text.count(QLatin1Char('\n'))), edge.captured(1),
                               edge.captured(2)};
        };
        QHash<QString, QString> wordings;
        for (const Text &text : kTexts) {
            const QString translated = shown(text.context, text.source);
            const QString what =
                QStringLiteral("%1 / %2: %3").arg(text.context, text.source, translated);
            QVERIFY2(catalogues.tool.translate(text.context, text.source).isEmpty() ==
                         (languageType == 0),
                     qPrintable("untranslated " + what));
            QVERIFY2(shape(translated) == shape(QString::fromUtf8(text.source)), qPrintable(what));
            const QString earlier = wordings.value(QString::fromUtf8(text.source), translated);
            QVERIFY2(earlier == translated, qPrintable(what + " and elsewhere " + earlier));
            wordings.insert(QString::fromUtf8(text.source), translated);
        }
        QVERIFY2(
            shown("InfoDialogClass", kFailureHint).contains(shown("InfoDialog", kRecreateButton)),
            qPrintable(shown("InfoDialogClass", kFailureHint)));
    }

    void textsFitTheirWidgets_data() {
        QTest::addColumn<int>("languageType");
        QTest::addColumn<int>("dpi");
        // The screen the base widths are made for; BMC_TEST_FIT_DPI="96,120,144" tries more.
        const QStringList dpis =
            qEnvironmentVariable("BMC_TEST_FIT_DPI", QStringLiteral("96")).split(QLatin1Char(','));
        for (const Language &language : kLanguages) {
            for (const QString &dpi : dpis)
                QTest::addRow("%s at %s dpi", language.locale, qPrintable(dpi))
                    << language.languageType << dpi.toInt();
        }
    }
    void textsFitTheirWidgets() {
        QFETCH(int, languageType);
        QFETCH(int, dpi);
        if (latinScale == 0)
            QSKIP("no stand-in for Segoe UI with known metrics (install fonts-liberation2, "
                  "fonts-urw-base35 or fonts-noto-core)");
        const Catalogues catalogues(languageType);
        const UiLanguage language = languageForLanguageType(languageType);
        const float scale = scaleForDpi(dpi);
        QVector<QPair<QString, Place>> all;
        for (const Text &text : kTexts) {
            if (text.place.window != None)
                all.append({shown(text.context, text.source), text.place});
        }
        all.append({shown("QCreateBootable", kStatusStart) + shown("QCreateBootable", kStatusEnd),
                    kStatus2});
        for (int cause = 1; cause <= int(BuildFailure::CheckFailed); ++cause)
            all.append({buildFailureText(BuildFailure(cause)), kStatus2});
        for (auto &[text, place] : all) {
            text.replace(QRegularExpression(QStringLiteral("%[0-9]")), QStringLiteral("4095"));
            const qreal width =
                scaledWidget(language, place, scale).width() - place.reserved * scale;
            QString why;
            QVERIFY2(fits(text, place.points, dpi, width, place.lines, &why), qPrintable(why));
        }
    }
};

QTEST_MAIN(TranslationCataloguesTest)
#include "tst_translations.moc"
