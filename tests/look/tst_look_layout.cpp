// Base geometry tables of the three windows and the scaled-geometry
// arithmetic: single precision, truncated, never rounded.
#include "app/AppContext.h"
#include "app/ScreenScale.h"
#include "dialogs/DialogLayouts.h"
#include "dialogs/ScaledLayout.h"
#include "mainwindow/MainWindowLayout.h"

#include <QtTest>

Q_DECLARE_METATYPE(UiLanguage)

namespace {

using Rows = QVector<QPair<QString, QRect>>;

Rows rowsOf(const BaseLayout &layout) {
    Rows rows;
    for (const LayoutRow &row : layout.rows)
        rows.append({QString::fromLatin1(row.objectName), row.base});
    return rows;
}

Rows scaledRowsOf(const BaseLayout &layout, float scale) {
    Rows rows;
    for (const LayoutRow &row : layout.rows)
        rows.append({QString::fromLatin1(row.objectName), scaledRect(row, scale)});
    return rows;
}

QRect rect(int x, int y, int w, int h) {
    return QRect(x, y, w, h);
}

} // namespace

class TestLookLayout : public QObject {
    Q_OBJECT

private slots:
    void scaledValueTruncatesInSinglePrecision();
    void mainWindowTable_data();
    void mainWindowTable();
    void warningDialogTable();
    void infoDialogTable_data();
    void infoDialogTable();
    void mainWindowScaled_data();
    void mainWindowScaled();
    void warningDialogScaled_data();
    void warningDialogScaled();
    void infoDialogScaled_data();
    void infoDialogScaled();
    void windowSizesAtOtherFactors();
};

void TestLookLayout::scaledValueTruncatesInSinglePrecision() {
    // Truncation, not rounding.
    QCOMPARE(scaledValue(530, 1.25f), 662); // 662.5
    QCOMPARE(scaledValue(127, 1.25f), 158); // 158.75
    QCOMPARE(scaledValue(530, 0.75f), 397); // 397.5
    QCOMPARE(scaledValue(527, 1.5f), 790);  // 790.5
    QCOMPARE(scaledValue(0, 1.5f), 0);
    QCOMPARE(scaledValue(26, 0.0f), 0); // no screen: everything collapses, no crash

    // At 80 dpi the factor is 0.8333333 in single precision, a hair below
    // 5/6. The float product of 6 rounds up to exactly 5; in double precision
    // it stays below 5 and would truncate to 4.
    const float s80 = scaleForDpi(80);
    QCOMPARE(scaledValue(6, s80), 5);
    QCOMPARE(scaledValue(528, s80), 440); // the Korean main window width
    QCOMPARE(scaledValue(12, scaleForDpi(40)), 5);
}

void TestLookLayout::mainWindowTable_data() {
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<int>("width");
    QTest::addColumn<Rows>("rows");

    auto rows = [](int w, int cancelX, int createX, int createW, int labelW, QRect status,
                   int progressY) {
        return Rows{
            {"frame", rect(0, 0, w, 206)},
            {"CancelButton", rect(cancelX, 167, 101, 23)},
            {"CreateBootable", rect(createX, 167, createW, 23)},
            {"DiskComboBox", rect(100, 66, 351, 22)},
            {"ImageLabel", rect(20, 51, 64, 64)},
            {"label", rect(100, 46, labelW, 16)},
            {"label_2", status},
            {"label_3", rect(2, 2, w - 3, 26)},
            {"progressBar", rect(100, progressY, 388, 23)},
            {"ProcessLabel", rect(485, progressY - 3, 30, 30)},
        };
    };
    const Rows en = rows(530, 408, 242, 145, 420, rect(100, 96, 430, 35), 130);
    const Rows de = rows(560, 445, 210, 223, 450, rect(100, 96, 421, 35), 134);
    const Rows fr = rows(550, 428, 205, 213, 420, rect(100, 95, 421, 36), 134);
    const Rows es = rows(550, 433, 210, 213, 410, rect(100, 92, 421, 39), 135);
    const Rows asian = rows(520, 408, 233, 165, 390, rect(100, 96, 421, 32), 132);
    const Rows others = rows(528, 408, 233, 165, 390, rect(100, 96, 421, 36), 134);

    // Spot checks straight from the table, so the helper above cannot hide a
    // slip in the relations it builds in.
    QCOMPARE(en.at(7).second, rect(2, 2, 527, 26));
    QCOMPARE(es.at(9).second, rect(485, 132, 30, 30));
    QCOMPARE(others.at(7).second, rect(2, 2, 525, 26));

    QTest::newRow("EN") << UiLanguage::EN << 530 << en;
    QTest::newRow("DE") << UiLanguage::DE << 560 << de;
    QTest::newRow("FR") << UiLanguage::FR << 550 << fr;
    QTest::newRow("ES") << UiLanguage::ES << 550 << es;
    QTest::newRow("IT") << UiLanguage::IT << 520 << asian;
    QTest::newRow("JA") << UiLanguage::JA << 520 << asian;
    QTest::newRow("CN") << UiLanguage::CN << 520 << asian;
    QTest::newRow("KO") << UiLanguage::KO << 528 << others;
    QTest::newRow("DU") << UiLanguage::DU << 528 << others;
    QTest::newRow("BR") << UiLanguage::BR << 528 << others;
    QTest::newRow("HI") << UiLanguage::HI << 528 << others;
}

void TestLookLayout::mainWindowTable() {
    QFETCH(UiLanguage, language);
    QFETCH(int, width);
    QFETCH(Rows, rows);
    const BaseLayout layout = mainWindowLayout(language);
    QCOMPARE(layout.window, QSize(width, 206));
    QCOMPARE(rowsOf(layout), rows);
}

void TestLookLayout::warningDialogTable() {
    const BaseLayout layout = warningDialogLayout();
    QCOMPARE(layout.window, QSize(489, 172));
    const Rows expected = {
        {"frame", rect(0, 0, 489, 172)},      {"CancelButton", rect(375, 137, 101, 23)},
        {"HeaderLabel", rect(2, 2, 486, 26)}, {"ImageLabel", rect(15, 54, 66, 66)},
        {"InfoLabel", rect(95, 50, 381, 80)}, {"OkButton", rect(252, 137, 101, 23)},
    };
    QCOMPARE(rowsOf(layout), expected);
    for (const LayoutRow &row : layout.rows) {
        const bool header = QByteArray(row.objectName) == "HeaderLabel";
        QCOMPARE(row.rule == LayoutRow::InsetByOnePixel, header);
    }
}

void TestLookLayout::infoDialogTable_data() {
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<Rows>("rows");

    auto rows = [](int labelY, int label2Y, int recreateX, int recreateW) {
        return Rows{
            {"HeaderLabel", rect(2, 2, 427, 26)},
            {"frame", rect(0, 0, 430, 180)},
            {"ImageLbl", rect(5, 44, 67, 67)},
            {"label", rect(77, labelY, 312, 40)},
            {"label_2", rect(77, label2Y, 311, 40)},
            {"CancelButton", rect(330, 134, 81, 26)},
            {"RecreateButton", rect(recreateX, 134, recreateW, 26)},
        };
    };
    const Rows standard = rows(43, 86, 160, 150);
    const Rows wide = rows(43, 86, 140, 170);
    QTest::newRow("EN") << UiLanguage::EN << standard;
    QTest::newRow("FR") << UiLanguage::FR << standard;
    QTest::newRow("JA") << UiLanguage::JA << standard;
    QTest::newRow("KO") << UiLanguage::KO << standard;
    QTest::newRow("DE") << UiLanguage::DE << rows(43, 86, 115, 190);
    QTest::newRow("IT") << UiLanguage::IT << wide;
    QTest::newRow("ES") << UiLanguage::ES << wide;
    QTest::newRow("DU") << UiLanguage::DU << wide;
    QTest::newRow("BR") << UiLanguage::BR << wide;
    QTest::newRow("HI") << UiLanguage::HI << wide;
    QTest::newRow("CN") << UiLanguage::CN << rows(32, 80, 170, 140);
}

void TestLookLayout::infoDialogTable() {
    QFETCH(UiLanguage, language);
    QFETCH(Rows, rows);
    const BaseLayout layout = infoDialogLayout(language);
    QCOMPARE(layout.window, QSize(430, 180));
    QCOMPARE(rowsOf(layout), rows);
}

void TestLookLayout::mainWindowScaled_data() {
    QTest::addColumn<float>("scale");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<Rows>("rows");

    QTest::newRow("1.0") << 1.0f << QSize(530, 206)
                         << Rows{{"frame", rect(0, 0, 530, 206)},
                                 {"CancelButton", rect(408, 167, 101, 23)},
                                 {"CreateBootable", rect(242, 167, 145, 23)},
                                 {"DiskComboBox", rect(100, 66, 351, 22)},
                                 {"ImageLabel", rect(20, 51, 64, 64)},
                                 {"label", rect(100, 46, 420, 16)},
                                 {"label_2", rect(100, 96, 430, 35)},
                                 {"label_3", rect(2, 2, 527, 26)},
                                 {"progressBar", rect(100, 130, 388, 23)},
                                 {"ProcessLabel", rect(485, 127, 30, 30)}};
    QTest::newRow("1.25") << 1.25f << QSize(662, 257)
                          << Rows{{"frame", rect(0, 0, 662, 257)},
                                  {"CancelButton", rect(510, 208, 126, 28)},
                                  {"CreateBootable", rect(302, 208, 181, 28)},
                                  {"DiskComboBox", rect(125, 82, 438, 27)},
                                  {"ImageLabel", rect(25, 63, 80, 80)},
                                  {"label", rect(125, 57, 525, 20)},
                                  {"label_2", rect(125, 120, 537, 43)},
                                  {"label_3", rect(2, 2, 658, 32)},
                                  {"progressBar", rect(125, 162, 485, 28)},
                                  {"ProcessLabel", rect(606, 158, 37, 37)}};
    QTest::newRow("1.5") << 1.5f << QSize(795, 309)
                         << Rows{{"frame", rect(0, 0, 795, 309)},
                                 {"CancelButton", rect(612, 250, 151, 34)},
                                 {"CreateBootable", rect(363, 250, 217, 34)},
                                 {"DiskComboBox", rect(150, 99, 526, 33)},
                                 {"ImageLabel", rect(30, 76, 96, 96)},
                                 {"label", rect(150, 69, 630, 24)},
                                 {"label_2", rect(150, 144, 645, 52)},
                                 {"label_3", rect(3, 3, 790, 39)},
                                 {"progressBar", rect(150, 195, 582, 34)},
                                 {"ProcessLabel", rect(727, 190, 45, 45)}};
}

void TestLookLayout::mainWindowScaled() {
    QFETCH(float, scale);
    QFETCH(QSize, window);
    QFETCH(Rows, rows);
    const BaseLayout layout = mainWindowLayout(UiLanguage::EN);
    QCOMPARE(scaledSize(layout.window, scale), window);
    QCOMPARE(scaledRowsOf(layout, scale), rows);
}

void TestLookLayout::warningDialogScaled_data() {
    QTest::addColumn<float>("scale");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<Rows>("rows");

    QTest::newRow("1.0") << 1.0f << QSize(489, 172)
                         << Rows{{"frame", rect(0, 0, 489, 172)},
                                 {"CancelButton", rect(375, 137, 101, 23)},
                                 {"HeaderLabel", rect(3, 3, 484, 26)},
                                 {"ImageLabel", rect(15, 54, 66, 66)},
                                 {"InfoLabel", rect(95, 50, 381, 80)},
                                 {"OkButton", rect(252, 137, 101, 23)}};
    QTest::newRow("1.25") << 1.25f << QSize(611, 215)
                          << Rows{{"frame", rect(0, 0, 611, 215)},
                                  {"CancelButton", rect(468, 171, 126, 28)},
                                  {"HeaderLabel", rect(3, 3, 605, 32)},
                                  {"ImageLabel", rect(18, 67, 82, 82)},
                                  {"InfoLabel", rect(118, 62, 476, 100)},
                                  {"OkButton", rect(315, 171, 126, 28)}};
    QTest::newRow("1.5") << 1.5f << QSize(733, 258)
                         << Rows{{"frame", rect(0, 0, 733, 258)},
                                 {"CancelButton", rect(562, 205, 151, 34)},
                                 {"HeaderLabel", rect(4, 4, 727, 39)},
                                 {"ImageLabel", rect(22, 81, 99, 99)},
                                 {"InfoLabel", rect(142, 75, 571, 120)},
                                 {"OkButton", rect(378, 205, 151, 34)}};
}

void TestLookLayout::warningDialogScaled() {
    QFETCH(float, scale);
    QFETCH(QSize, window);
    QFETCH(Rows, rows);
    const BaseLayout layout = warningDialogLayout();
    QCOMPARE(scaledSize(layout.window, scale), window);
    QCOMPARE(scaledRowsOf(layout, scale), rows);
}

void TestLookLayout::infoDialogScaled_data() {
    QTest::addColumn<float>("scale");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<Rows>("rows");

    QTest::newRow("1.0") << 1.0f << QSize(430, 180)
                         << Rows{{"HeaderLabel", rect(2, 2, 427, 26)},
                                 {"frame", rect(0, 0, 430, 180)},
                                 {"ImageLbl", rect(5, 44, 67, 67)},
                                 {"label", rect(77, 43, 312, 40)},
                                 {"label_2", rect(77, 86, 311, 40)},
                                 {"CancelButton", rect(330, 134, 81, 26)},
                                 {"RecreateButton", rect(160, 134, 150, 26)}};
    QTest::newRow("1.25") << 1.25f << QSize(537, 225)
                          << Rows{{"HeaderLabel", rect(2, 2, 533, 32)},
                                  {"frame", rect(0, 0, 537, 225)},
                                  {"ImageLbl", rect(6, 55, 83, 83)},
                                  {"label", rect(96, 53, 390, 50)},
                                  {"label_2", rect(96, 107, 388, 50)},
                                  {"CancelButton", rect(412, 167, 101, 32)},
                                  {"RecreateButton", rect(200, 167, 187, 32)}};
    QTest::newRow("1.5") << 1.5f << QSize(645, 270)
                         << Rows{{"HeaderLabel", rect(3, 3, 640, 39)},
                                 {"frame", rect(0, 0, 645, 270)},
                                 {"ImageLbl", rect(7, 66, 100, 100)},
                                 {"label", rect(115, 64, 468, 60)},
                                 {"label_2", rect(115, 129, 466, 60)},
                                 {"CancelButton", rect(495, 201, 121, 39)},
                                 {"RecreateButton", rect(240, 201, 225, 39)}};
}

void TestLookLayout::infoDialogScaled() {
    QFETCH(float, scale);
    QFETCH(QSize, window);
    QFETCH(Rows, rows);
    const BaseLayout layout = infoDialogLayout(UiLanguage::EN);
    QCOMPARE(scaledSize(layout.window, scale), window);
    QCOMPARE(scaledRowsOf(layout, scale), rows);
}

void TestLookLayout::windowSizesAtOtherFactors() {
    const BaseLayout main = mainWindowLayout(UiLanguage::EN);
    QCOMPARE(scaledSize(main.window, 0.75f), QSize(397, 154));
    QCOMPARE(scaledSize(main.window, 1.75f), QSize(927, 360));
    QCOMPARE(scaledSize(main.window, 2.0f), QSize(1060, 412));

    // The confirmation dialog's strip keeps its one-pixel inset at any factor:
    // 2 * 1.75 + 1 = 4.5, 486 * 1.75 - 2 = 848.5, 26 * 1.75 = 45.5.
    const BaseLayout warning = warningDialogLayout();
    QCOMPARE(scaledSize(warning.window, 1.75f), QSize(855, 301));
    QCOMPARE(scaledRect(warning.rows.at(2), 1.75f), rect(4, 4, 848, 45));
    QCOMPARE(scaledRect(warning.rows.at(2), 2.0f), rect(5, 5, 970, 52));
    QCOMPARE(scaledRect(warning.rows.at(2), 0.75f), rect(2, 2, 362, 19));

    const BaseLayout info = infoDialogLayout(UiLanguage::EN);
    QCOMPARE(scaledSize(info.window, 0.75f), QSize(322, 135));
    QCOMPARE(scaledSize(info.window, 2.0f), QSize(860, 360));
}

QTEST_APPLESS_MAIN(TestLookLayout)
#include "tst_look_layout.moc"
