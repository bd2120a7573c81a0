// Checks the compiled catalogues in the build's BootableTranslation folder, reached as the
// tool reaches them: the host product's LanguageType picks the catalogues of the right
// language; every text of the code (as lupdate finds it in the sources) is translated, keeps
// what the code relies on (its markers, line feeds and edge blanks, the quoted button name)
// and reads the same wherever the same English appears; and every text shown in a fixed-size
// widget fits it.
//
// Fit is measured with the tool's fonts ("Segoe UI" 10 pt, 9 pt in the failure dialog's
// buttons) at the screen's dpi, in the widget's scaled width. Without Segoe UI (on Linux)
// the font is substituted by an Arial-metric face (Liberation Sans, Arimo, Nimbus Sans),
// whose average Latin advance is within about 1 % of Segoe UI's (0.441 against 0.443 em),
// or else by Noto Sans, which runs wider (0.474 em), so its Latin widths are scaled by the
// ratio. Single glyphs differ, so buttons keep a margin of a few pixels. Japanese, Chinese,
// Korean and Hindi come from the Noto CJK and Devanagari faces, whose advances are close to
// those of the Windows fallback fonts, and are not scaled. The project's set-up installs
// these fonts; without them the widths mean nothing and the check fails.

#include "app/LanguageSelection.h"
#include "app/ScreenScale.h"
#include "dialogs/DialogLayouts.h"
#include "mainwindow/BuildFailureText.h"
#include "mainwindow/DriveText.h"
#include "mainwindow/MainWindowLayout.h"

#include <QFontInfo>
#include <QImage>
#include <QTextLayout>
#include <QtTest>

namespace {

// The language each of the host product's LanguageType values (0 to 10) stands for.
const char *const kLocales[] = {"en",    "de", "fr", "it",    "es", "ja",
                                "zh_CN", "ko", "nl", "pt_BR", "hi"};

// Where a text is shown: a widget of one of the three windows, its font, how many lines it
// holds, and the pixels at 96 dpi that the widget keeps for itself (a button's skin, the
// drive list's arrow and padding).
enum Window { Main, Warning, Info };
struct Place {
    Window window;
    const char *widget;
    int points, lines, reserved;
};
const Place kStatus{Main, "label_2", 10, 1, 0};
const Place kStatus2{Main, "label_2", 10, 2, 0};
const Place kDriveItem{Main, "DiskComboBox", 10, 1, 30};
const Place kBody{Warning, "InfoLabel", 10, 4, 0};
const Place kDriveLine{Warning, "DriveLabel", 10, 1, 0};
const Place kWarningOk{Warning, "OkButton", 10, 1, 8};
const Place kWarningCancel{Warning, "CancelButton", 10, 1, 8};

const char *const kStatusStart = "Please wait. Preparing the selected media. ";
const char *const kStatusEnd = "This may take some time.";
const char *const kRecreateButton = "Recreate Boot Media";
const char *const kFailureHint = "Click 'Recreate Boot Media' to restart process.";

// The texts shown in a fixed-size widget, in the context the code or form translates them in.
const struct {
    const char *context;
    const char *source;
    Place place;
} kPlaced[] = {
    {"Dialog", "Select the USB Drive to create recovery drive", {Main, "label", 10, 1, 0}},
    {"Dialog", "Creating recovery drive...", kStatus},
    {"Dialog", "Create Recovery Drive", {Main, "CreateBootable", 10, 1, 8}},
    {"Dialog", "Cancel", {Main, "CancelButton", 10, 1, 8}},
    {"QCreateBootable", "No USB drive found", kDriveItem},
    {"QCreateBootable", "Temporary folder missing or read-only", kDriveItem},
    {"QCreateBootable", "Stopping the download...", kStatus},
    {"QCreateBootable", "Process completed", kStatus},
    {"QCreateBootable",
     "Administrator rights are needed to prepare a drive. Start the program again as an "
     "administrator.",
     kStatus2},
    {"QCreateBootable",
     "Please ensure that you have taken backup of your data on the selected USB drive.\n"
     "This operation will erase all data from the selected drive while creating recovery drive.",
     kBody},
    {"QCreateBootable", "Internet connection is required for creating recovery drive.", kBody},
    {"QCreateBootable", "OK", kWarningCancel},
    {"WarningDlg", "OK", kWarningOk},
    {"WarningDlg", "Cancel", kWarningCancel},
    {"InfoDialog", "Cancel", {Info, "CancelButton", 9, 1, 8}},
    {"InfoDialog", kRecreateButton, {Info, "RecreateButton", 9, 1, 8}},
    {"InfoDialogClass",
     "Boot Media has some components missing and has failed the self-test.",
     {Info, "label", 10, 2, 0}},
    {"InfoDialogClass", kFailureHint, {Info, "label_2", 10, 2, 0}},
    {"ThreadDriveClone", "Copying system files...", kStatus},
    {"ThreadDriveClone", "Finalizing recovery drive...", kStatus},
    {"ThreadDriveClone", "Copying resources...", kStatus},
    {"ThreadDriveClone", "Finalizing all settings...", kStatus},
    {"ThreadDriveClone", "Downloading the boot image: %1 of %2 MB", kStatus},
    {"ThreadDriveClone", "Downloading the boot image: %1 MB", kStatus},
    {"ThreadDriveClone", "Copying the boot image to the drive: %1 of %2 MB", kStatus},
    {"ThreadDriveClone", "Using the boot image already downloaded...", kStatus},
};

QString shown(const char *context, const char *source) {
    return QCoreApplication::translate(context, source);
}

// Every (context, text) the sources translate, as lupdate reads the code and the forms.
QList<QPair<QByteArray, QByteArray>> textsOfTheCode() {
    QTemporaryDir dir;
    const QString ts = dir.filePath(QStringLiteral("all.ts"));
    QStringList arguments{QStringLiteral("-silent"), QStringLiteral("-recursive")};
    for (const char *folder : {"app", "builder", "dialogs", "mainwindow"})
        arguments << QStringLiteral(BMC_SOURCE_DIR "/") + QLatin1String(folder);
    QList<QPair<QByteArray, QByteArray>> texts;
    QProcess lupdate;
    lupdate.setStandardErrorFile(QProcess::nullDevice()); // its notes on the code's classes
    lupdate.start(QStringLiteral(BMC_LUPDATE), arguments << QStringLiteral("-ts") << ts);
    if (!lupdate.waitForFinished(60000) || lupdate.exitCode() != 0)
        return texts;
    QFile file(ts);
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    QByteArray context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText().toUtf8();
        else if (xml.name() == QLatin1String("source"))
            texts.append({context, xml.readElementText().toUtf8()});
    }
    return texts;
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
    for (const QChar c : text)
        if (c.unicode() > 0x024F && !(c.unicode() >= 0x2000 && c.unicode() <= 0x206F))
            return 1.0;
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
    for (const LayoutRow &row : layout.rows)
        if (qstrcmp(row.objectName, place.widget) == 0)
            return scaledRect(row, scale);
    return QRect();
}

} // namespace

class TranslationCataloguesTest : public QObject {
    Q_OBJECT
    QList<QPair<QByteArray, QByteArray>> m_texts;

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
        m_texts = textsOfTheCode();
        QVERIFY2(m_texts.size() > 40, "lupdate found too few texts in the sources");
        // Any other LanguageType means English.
        for (const QVariant &other :
             {QVariant(11), QVariant(-1), QVariant(QStringLiteral("German")), QVariant()})
            QCOMPARE(languageForLanguageType(other), UiLanguage::EN);
    }

    // LanguageType N, as a number or as text, leads to the catalogues of its language, the
    // tool's and, where the build found one, Qt's. Every text is translated (English keeps
    // the source), and what the code relies on is kept: each %N and %p once, the line
    // feeds, the blanks at either end, the button name the hint quotes, and one wording for
    // the same English.
    void everyTextIsTranslatedFaithfully_data() {
        QTest::addColumn<int>("languageType");
        QTest::addColumn<QString>("locale");
        for (int type = 0; type < int(std::size(kLocales)); ++type)
            QTest::newRow(kLocales[type]) << type << QLocale(kLocales[type]).name();
    }
    void everyTextIsTranslatedFaithfully() {
        QFETCH(int, languageType);
        QFETCH(QString, locale);
        QCOMPARE(languageForLanguageType(QString::number(languageType)),
                 languageForLanguageType(languageType));
        const Catalogues catalogues(languageType);
        QCOMPARE(QLocale(catalogues.tool.language()).name(), locale);
        const QString code = languageCode(languageForLanguageType(languageType));
        // Qt's English catalogue holds plural forms only, and names no language.
        if (languageType != 0 &&
            QString::fromLatin1(BMC_QT_CATALOGUE_CODES).split(QLatin1Char(',')).contains(code))
            QCOMPARE(QLocale(catalogues.qt.language()).name(), locale);

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
        for (const auto &[context, source] : qAsConst(m_texts)) {
            const QString translated = shown(context, source);
            const QString what =
                QStringLiteral("%1 / %2: %3")
                    .arg(QString::fromUtf8(context), QString::fromUtf8(source), translated);
            QVERIFY2(catalogues.tool.translate(context, source).isEmpty() == (languageType == 0),
                     qPrintable("untranslated " + what));
            QVERIFY2(shape(translated) == shape(QString::fromUtf8(source)), qPrintable(what));
            const QString earlier = wordings.value(QString::fromUtf8(source), translated);
            QVERIFY2(earlier == translated, qPrintable(what + " and elsewhere " + earlier));
            wordings.insert(QString::fromUtf8(source), translated);
        }
        QVERIFY2(
            shown("InfoDialogClass", kFailureHint).contains(shown("InfoDialog", kRecreateButton)),
            qPrintable(shown("InfoDialogClass", kFailureHint)));

        if (latinScale <= 0)
            QFAIL("no stand-in for Segoe UI with known metrics: run scripts/install-deps.sh");
        const UiLanguage language = languageForLanguageType(languageType);
        QVector<QPair<QString, Place>> all;
        for (const auto &text : kPlaced)
            all.append({shown(text.context, text.source), text.place});
        all.append({shown("QCreateBootable", kStatusStart) + shown("QCreateBootable", kStatusEnd),
                    kStatus2});
        // A stick of a long model and four-digit size, as the list and the
        // confirmation name it.
        const ListedDrive stick{1,     "Generic Flash Disk USB Device", {}, {}, 2000365289472, {},
                                {"E:"}};
        for (const Place &place : {kDriveItem, kDriveLine})
            all.append({driveText(stick, language), place});
        for (int cause = 1; cause <= int(BuildFailure::WorkFolderRedirected); ++cause)
            all.append({buildFailureText(BuildFailure(cause)), kStatus2});
        // Each screen class: its widths are rounded on their own, and its fonts are hinted
        // at their own pixel sizes.
        for (const int dpi : {96, 120, 144}) {
            for (auto [text, place] : qAsConst(all)) {
                text.replace(QRegularExpression(QStringLiteral("%[0-9]")), QStringLiteral("4095"));
                const qreal width = scaledWidget(language, place, scaleForDpi(dpi)).width() -
                                    place.reserved * scaleForDpi(dpi);
                QString why;
                QVERIFY2(fits(text, place.points, dpi, width, place.lines, &why),
                         qPrintable(QString::number(dpi) + " dpi: " + why));
            }
        }
    }
};

QTEST_MAIN(TranslationCataloguesTest)
#include "tst_translations.moc"
