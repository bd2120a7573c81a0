// Checks the compiled catalogues in the build's BootableTranslation folder: every text
// the tool shows is translated in every language, keeps what the code relies on (the one
// line feed, %p, the trailing blank, the quoted button name), reads the same wherever the
// same text appears, and fits the fixed-size widgets it is shown in.
//
// Fit is measured at 96 dpi with the tool's fonts ("Segoe UI" 10 pt, 9 pt in the failure
// dialog's buttons). Without Segoe UI (on Linux) the measure is an approximation: the
// font is substituted by an Arial-metric face (Liberation Sans, Arimo, Nimbus Sans), whose
// average Latin advance is within about 1 % of Segoe UI's (0.441 against 0.443 em), or
// else by Noto Sans, which runs wider (0.474 em), so its Latin widths are scaled by the
// ratio. Single glyphs differ, so buttons keep a margin of a few pixels. Japanese,
// Chinese, Korean and Hindi come from the Noto CJK and Devanagari faces, whose advances
// are close to those of the Windows fallback fonts, and are not scaled. With any other
// font the widths mean nothing, and the fit checks are skipped.

#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QTextLayout>
#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {

const char *const kConfirmationBody =
    "Please ensure that you have taken backup of your data on the selected USB drive.\n"
    "This operation will erase all data from the selected drive while creating recovery drive.";
const char *const kStatusStart = "Please wait. Preparing the selected media. ";
const char *const kStatusEnd = "This may take some time.";
const char *const kFailureMessage =
    "Boot Media has some components missing and has failed the self-test.";
const char *const kFailureHint = "Click 'Recreate Boot Media' to restart process.";
const char *const kNoticeBody = "Internet connection is required for creating recovery drive.";

struct SourceText {
    const char *context;
    const char *source;
};

// Every text the tool shows, in the context its code or form translates it in.
const SourceText kTexts[] = {
    {"Dialog", "Create Bootable Media"},
    {"Dialog", "Select the USB Drive to create recovery drive"},
    {"Dialog", "Creating recovery drive..."},
    {"Dialog", "%p%"},
    {"Dialog", "Create Recovery Drive"},
    {"Dialog", "Cancel"},
    {"QCreateBootable", "Create Recovery Drive"},
    {"QCreateBootable", "No USB drive found"},
    {"QCreateBootable", "Temporary folder missing or read-only"},
    {"QCreateBootable", "Stopping the download..."},
    {"QCreateBootable", "This program is already running."},
    {"QCreateBootable", "Process completed"},
    {"QCreateBootable", "Confirm Operation"},
    {"QCreateBootable", kConfirmationBody},
    {"QCreateBootable", "No Internet connection"},
    {"QCreateBootable", kNoticeBody},
    {"QCreateBootable", "OK"},
    {"QCreateBootable", kStatusStart},
    {"QCreateBootable", kStatusEnd},
    {"WarningDlg", "Confirm Operation"},
    {"WarningDlg", "OK"},
    {"WarningDlg", "Cancel"},
    {"WarningClass", "Confirm Operation"},
    {"WarningClass", "OK"},
    {"InfoDialog", "InfoDialog"},
    {"InfoDialog", "Cancel"},
    {"InfoDialog", "Recreate Boot Media"},
    {"InfoDialogClass", "Information"},
    {"InfoDialogClass", kFailureMessage},
    {"InfoDialogClass", kFailureHint},
    {"ThreadDriveClone", "Copying system files..."},
    {"ThreadDriveClone", "Finalizing recovery drive..."},
    {"ThreadDriveClone", "Copying resources..."},
    {"ThreadDriveClone", "Finalizing all settings..."},
};

const char *const kLanguages[] = {"EN", "DE", "FR", "IT", "ES", "JA", "CN", "KO", "DU", "BR", "HI"};

// Base widths at 96 dpi of the widgets whose size depends on the language.
struct LanguageGeometry {
    int createButton;   // main window, 10 pt
    int recreateButton; // failure dialog, 9 pt
    int promptLabel;    // main window, one line
    int statusLabel;    // main window, two lines
};

LanguageGeometry geometryOf(const QString &code) {
    static const QHash<QString, LanguageGeometry> table = {
        {"EN", {145, 150, 420, 430}}, {"DE", {223, 190, 450, 421}}, {"FR", {213, 150, 420, 421}},
        {"ES", {213, 170, 410, 421}}, {"IT", {165, 170, 390, 421}}, {"JA", {165, 150, 390, 421}},
        {"CN", {165, 140, 390, 421}}, {"KO", {165, 150, 390, 421}}, {"DU", {165, 170, 390, 421}},
        {"BR", {165, 170, 390, 421}}, {"HI", {165, 170, 390, 421}},
    };
    return table.value(code);
}

const int kDialogButtonWidth = 101;       // main window and confirmation dialog, 10 pt
const int kFailureCancelWidth = 81;       // failure dialog, 9 pt
const int kFailureLabelWidth = 311;       // the narrower of the two message labels
const int kConfirmationLabelWidth = 381;  // 80 px high: four lines
const int kButtonMargin = 8;              // the button skins leave a few pixels each side
const int kDriveListTextWidth = 351 - 30; // the drive list, less its arrow and padding

// A paint device at 96 dpi, so point sizes turn into the pixel sizes of a 96 dpi screen
// whatever the test platform reports.
QPaintDevice *screen96() {
    static QImage image = [] {
        QImage img(1, 1, QImage::Format_RGB32);
        img.setDotsPerMeterX(3780);
        img.setDotsPerMeterY(3780);
        return img;
    }();
    return &image;
}

// How much narrower Segoe UI sets Latin text than the font that stands in for it, or 0 if
// the stand-in's metrics are unknown.
qreal latinScale = 0;

bool isLatin(const QString &text) {
    for (const QChar c : text) {
        if (c.unicode() > 0x024F && !(c.unicode() >= 0x2000 && c.unicode() <= 0x206F))
            return false;
    }
    return true;
}

qreal scaleFor(const QString &text) {
    return isLatin(text) ? latinScale : 1.0;
}

QFont uiFont(int points) {
    QFont font(QStringLiteral("Segoe UI"));
    font.setPointSize(points);
    return font;
}

qreal textWidth(const QString &text, int points) {
    return QFontMetricsF(uiFont(points), screen96()).horizontalAdvance(text) * scaleFor(text);
}

struct Wrapped {
    int lines = 0;
    qreal widest = 0;
};

// Lays the text out as a word-wrapping label does: line feeds break lines, words wrap
// at the width, a word longer than the width overflows (and shows in `widest`).
Wrapped wrap(const QString &text, int width) {
    // A narrower font in the given width wraps as this one does in a proportionally
    // wider one.
    const qreal scale = scaleFor(text);
    const qreal layoutWidth = width / scale;
    QString laidOut = text;
    laidOut.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(laidOut, uiFont(10), screen96());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    Wrapped result;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(layoutWidth);
        result.widest = qMax(result.widest, line.naturalTextWidth() * scale);
        ++result.lines;
    }
    layout.endLayout();
    return result;
}

QString catalogueDir(const QString &code) {
    return QStringLiteral(BMC_TRANSLATION_DIR "/") + code;
}

QStringList qtCatalogueCodes() {
    QStringList codes = QString::fromLatin1(BMC_QT_CATALOGUE_CODES).split(QLatin1Char(','));
    codes.removeAll(QString());
    return codes;
}

// Returns the quoted part of a text: from its first opening quotation mark to the mark
// that closes it, without the blanks that French puts inside « ».
QString quotedPart(const QString &text) {
    static const QHash<QChar, QChar> pairs = {
        {QChar(u'\''), QChar(u'\'')},   {QChar(u'"'), QChar(u'"')},
        {QChar(0x201E), QChar(0x201C)}, {QChar(0x201A), QChar(0x2018)},
        {QChar(0x201C), QChar(0x201D)}, {QChar(0x2018), QChar(0x2019)},
        {QChar(0x00AB), QChar(0x00BB)}, {QChar(0x300C), QChar(0x300D)},
        {QChar(0x300E), QChar(0x300F)}, {QChar(u'['), QChar(u']')},
    };
    for (int i = 0; i < text.size(); ++i) {
        const auto closing = pairs.constFind(text.at(i));
        if (closing == pairs.constEnd())
            continue;
        const int end = text.indexOf(*closing, i + 1);
        if (end < 0)
            return QString();
        return text.mid(i + 1, end - i - 1).trimmed();
    }
    return QString();
}

} // namespace

class TranslationCataloguesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTranslator> loadTool(const QString &code) {
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(QStringLiteral("LANG_") + code, catalogueDir(code)))
            return nullptr;
        return translator;
    }

    // What the tool shows: the translation, or the source text where there is none.
    static QString shown(const QTranslator &translator, const char *context, const char *source) {
        const QString translated = translator.translate(context, source);
        return translated.isEmpty() ? QString::fromUtf8(source) : translated;
    }

    static void addLanguages(bool withEnglish) {
        QTest::addColumn<QString>("code");
        for (const char *code : kLanguages) {
            if (withEnglish || qstrcmp(code, "EN") != 0)
                QTest::newRow(code) << QString::fromLatin1(code);
        }
    }

private slots:
    void initTestCase() {
        // BMC_TEST_UI_FONT forces one stand-in, to try the checks with another font.
        const QString forced = qEnvironmentVariable("BMC_TEST_UI_FONT");
        const QStringList arialMetric = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                         QStringLiteral("Nimbus Sans"), QStringLiteral("Arial")};
        const QString noto = QStringLiteral("Noto Sans");
        QFont::insertSubstitutions(QStringLiteral("Segoe UI"), forced.isEmpty()
                                                                   ? arialMetric + QStringList{noto}
                                                                   : QStringList{forced});

        const QString family = QFontInfo(uiFont(10)).family();
        const auto startsWithAny = [&family](const QStringList &names) {
            for (const QString &name : names) {
                // Exact family, or family followed by its foundry ("Nimbus Sans [urw]").
                if (family == name || family.startsWith(name + QLatin1String(" [")))
                    return true;
            }
            return false;
        };
        if (startsWithAny(arialMetric + QStringList{QStringLiteral("Segoe UI")}))
            latinScale = 1.0;
        else if (startsWithAny({noto}))
            latinScale = 0.443 / 0.474;
        qInfo("\"Segoe UI\" is measured with \"%s\", Latin widths scaled by %.3f",
              qPrintable(family), latinScale);
        QVERIFY2(QFile::exists(catalogueDir(QStringLiteral("EN"))),
                 "the build has not written BootableTranslation/EN");
    }

    void everyLanguageHasItsCatalogue_data() { addLanguages(true); }
    void everyLanguageHasItsCatalogue() {
        QFETCH(QString, code);
        const auto translator = loadTool(code);
        QVERIFY2(translator, qPrintable("LANG_" + code + ".qm is missing or damaged"));
        if (code == QLatin1String("EN")) {
            // The English catalogue exists so that the folder is complete, and leaves
            // every source text as it is.
            for (const SourceText &text : kTexts)
                QVERIFY2(translator->translate(text.context, text.source).isEmpty(), text.source);
        } else {
            QVERIFY(!translator->isEmpty());
        }
    }

    // Unfinished texts are left out when the catalogues are compiled, so a text still
    // in draft shows up here as a missing one.
    void everyTextIsTranslated_data() { addLanguages(false); }
    void everyTextIsTranslated() {
        QFETCH(QString, code);
        const auto translator = loadTool(code);
        QVERIFY(translator);
        QStringList missing;
        for (const SourceText &text : kTexts) {
            if (translator->translate(text.context, text.source).trimmed().isEmpty())
                missing << QStringLiteral("%1 / %2").arg(text.context, text.source);
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral("; "))));
    }

    // The same English text in different windows reads the same in every language.
    void sharedTextsReadTheSame_data() { addLanguages(false); }
    void sharedTextsReadTheSame() {
        QFETCH(QString, code);
        const auto translator = loadTool(code);
        QVERIFY(translator);
        const auto &t = *translator;
        QCOMPARE(shown(t, "QCreateBootable", "Create Recovery Drive"),
                 shown(t, "Dialog", "Create Recovery Drive"));
        QCOMPARE(shown(t, "WarningDlg", "Cancel"), shown(t, "Dialog", "Cancel"));
        QCOMPARE(shown(t, "InfoDialog", "Cancel"), shown(t, "Dialog", "Cancel"));
        QCOMPARE(shown(t, "WarningDlg", "OK"), shown(t, "WarningClass", "OK"));
        QCOMPARE(shown(t, "QCreateBootable", "OK"), shown(t, "WarningClass", "OK"));
        QCOMPARE(shown(t, "WarningDlg", "Confirm Operation"),
                 shown(t, "WarningClass", "Confirm Operation"));
        QCOMPARE(shown(t, "QCreateBootable", "Confirm Operation"),
                 shown(t, "WarningClass", "Confirm Operation"));
        QCOMPARE(shown(t, "InfoDialog", "InfoDialog"), shown(t, "InfoDialogClass", "Information"));
    }

    void textsKeepWhatTheCodeReliesOn_data() { addLanguages(true); }
    void textsKeepWhatTheCodeReliesOn() {
        QFETCH(QString, code);
        const auto translator = loadTool(code);
        QVERIFY(translator);
        const auto &t = *translator;

        const QString body = shown(t, "QCreateBootable", kConfirmationBody);
        QCOMPARE(body.count(QLatin1Char('\n')), 1);
        QVERIFY(!body.section(QLatin1Char('\n'), 0, 0).trimmed().isEmpty());
        QVERIFY(!body.section(QLatin1Char('\n'), 1, 1).trimmed().isEmpty());

        const QString format = shown(t, "Dialog", "%p%");
        QVERIFY2(format.contains(QLatin1String("%p")), qPrintable(format));

        // The status line is two pieces joined without a separator.
        const QString statusStart = shown(t, "QCreateBootable", kStatusStart);
        QVERIFY2(statusStart.endsWith(QLatin1Char(' ')), qPrintable(statusStart));
        QVERIFY(!statusStart.endsWith(QLatin1String("  ")));
        QVERIFY(!shown(t, "QCreateBootable", kStatusEnd).startsWith(QLatin1Char(' ')));

        const QString hint = shown(t, "InfoDialogClass", kFailureHint);
        QCOMPARE(quotedPart(hint), shown(t, "InfoDialog", "Recreate Boot Media"));
    }

    void buttonTextsFitTheirButtons_data() { addLanguages(true); }
    void buttonTextsFitTheirButtons() {
        QFETCH(QString, code);
        if (latinScale == 0)
            QSKIP("no stand-in for Segoe UI with known metrics (install fonts-liberation2, "
                  "fonts-urw-base35 or fonts-noto-core)");
        const auto translator = loadTool(code);
        QVERIFY(translator);
        const auto &t = *translator;
        const LanguageGeometry geometry = geometryOf(code);

        struct Button {
            const char *context;
            const char *source;
            int points;
            int width;
        };
        const Button buttons[] = {
            {"Dialog", "Create Recovery Drive", 10, geometry.createButton},
            {"Dialog", "Cancel", 10, kDialogButtonWidth},
            {"WarningDlg", "OK", 10, kDialogButtonWidth},
            {"WarningDlg", "Cancel", 10, kDialogButtonWidth},
            {"WarningClass", "OK", 10, kDialogButtonWidth},
            {"QCreateBootable", "OK", 10, kDialogButtonWidth},
            {"InfoDialog", "Cancel", 9, kFailureCancelWidth},
            {"InfoDialog", "Recreate Boot Media", 9, geometry.recreateButton},
        };
        for (const Button &button : buttons) {
            const QString text = shown(t, button.context, button.source);
            const qreal width = textWidth(text, button.points);
            QVERIFY2(width + kButtonMargin <= button.width,
                     qPrintable(QStringLiteral("\"%1\" is %2 px wide, button %3 px")
                                    .arg(text)
                                    .arg(width, 0, 'f', 1)
                                    .arg(button.width)));
        }
    }

    void labelTextsFitTheirLabels_data() { addLanguages(true); }
    void labelTextsFitTheirLabels() {
        QFETCH(QString, code);
        if (latinScale == 0)
            QSKIP("no stand-in for Segoe UI with known metrics (install fonts-liberation2, "
                  "fonts-urw-base35 or fonts-noto-core)");
        const auto translator = loadTool(code);
        QVERIFY(translator);
        const auto &t = *translator;
        const LanguageGeometry geometry = geometryOf(code);

        struct Label {
            QString text;
            int width;
            int maxLines;
        };
        const Label labels[] = {
            // 16 px high: one line only.
            {shown(t, "Dialog", "Select the USB Drive to create recovery drive"),
             geometry.promptLabel, 1},
            {shown(t, "QCreateBootable", kStatusStart) + shown(t, "QCreateBootable", kStatusEnd),
             geometry.statusLabel, 2},
            {shown(t, "Dialog", "Creating recovery drive..."), geometry.statusLabel, 1},
            {shown(t, "QCreateBootable", "Process completed"), geometry.statusLabel, 1},
            {shown(t, "QCreateBootable", "Stopping the download..."), geometry.statusLabel, 1},
            // An item of the drive list: one line, never cut.
            {shown(t, "QCreateBootable", "No USB drive found"), kDriveListTextWidth, 1},
            {shown(t, "QCreateBootable", "Temporary folder missing or read-only"),
             kDriveListTextWidth, 1},
            {shown(t, "ThreadDriveClone", "Copying system files..."), geometry.statusLabel, 1},
            {shown(t, "ThreadDriveClone", "Finalizing recovery drive..."), geometry.statusLabel, 1},
            {shown(t, "ThreadDriveClone", "Copying resources..."), geometry.statusLabel, 1},
            {shown(t, "ThreadDriveClone", "Finalizing all settings..."), geometry.statusLabel, 1},
            {shown(t, "QCreateBootable", kConfirmationBody), kConfirmationLabelWidth, 4},
            {shown(t, "QCreateBootable", kNoticeBody), kConfirmationLabelWidth, 4},
            // 40 px high: two lines.
            {shown(t, "InfoDialogClass", kFailureMessage), kFailureLabelWidth, 2},
            {shown(t, "InfoDialogClass", kFailureHint), kFailureLabelWidth, 2},
        };
        for (const Label &label : labels) {
            const Wrapped wrapped = wrap(label.text, label.width);
            QVERIFY2(wrapped.lines <= label.maxLines && wrapped.widest <= label.width,
                     qPrintable(QStringLiteral("\"%1\" takes %2 lines (at most %3) and %4 px "
                                               "of %5 px")
                                    .arg(label.text)
                                    .arg(wrapped.lines)
                                    .arg(label.maxLines)
                                    .arg(wrapped.widest, 0, 'f', 1)
                                    .arg(label.width)));
        }
    }

    // Qt's own catalogue is shipped under the tool's name wherever Qt translates the
    // language, and it is the right language: its standard buttons agree with the tool's.
    void qtCatalogueMatchesTheLanguage_data() { addLanguages(true); }
    void qtCatalogueMatchesTheLanguage() {
        QFETCH(QString, code);
        const QString name = QStringLiteral("qt_") + code.toLower();
        const QString path = catalogueDir(code) + QLatin1Char('/') + name + QStringLiteral(".qm");
        if (!qtCatalogueCodes().contains(code)) {
            QVERIFY2(!QFile::exists(path), qPrintable(path + " was not expected"));
            return;
        }
        QTranslator qt;
        QVERIFY2(qt.load(name, catalogueDir(code)), qPrintable(path));
        if (code == QLatin1String("EN"))
            return; // Qt's English catalogue holds plural forms only.
        const auto tool = loadTool(code);
        QVERIFY(tool);
        QCOMPARE(qt.translate("QPlatformTheme", "Cancel"), shown(*tool, "Dialog", "Cancel"));
        QCOMPARE(qt.translate("QPlatformTheme", "OK"), shown(*tool, "WarningClass", "OK"));
    }
};

QTEST_MAIN(TranslationCataloguesTest)
#include "tst_translations.moc"
