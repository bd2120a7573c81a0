// Style-sheet texts of every image-skinned button and the pictures of every
// window, per screen class, and that each picture they name is in the bundle
// at the size its class needs.
#include "app/ScreenScale.h"
#include "dialogs/LookStyles.h"

#include <QImageReader>
#include <QRegularExpression>
#include <QtTest>

Q_DECLARE_METATYPE(DpiClass)

class TestLookStyles : public QObject {
    Q_OBJECT

private slots:
    void buttonStyles_data();
    void buttonStyles();
    void titleCloseStyles_data();
    void titleCloseStyles();
    void noClassSetsNothing();
    void pictures_data();
    void pictures();
    void everyStyledPictureIsInTheBundle_data();
    void everyStyledPictureIsInTheBundle();
};

void TestLookStyles::buttonStyles_data() {
    QTest::addColumn<DpiClass>("dpiClass");
    QTest::addColumn<QString>("normal");
    QTest::addColumn<QString>("bigThree");
    QTest::addColumn<QString>("bigFour");

    QTest::newRow("96")
        << DpiClass::Dpi96
        << "QPushButton{border-image: url(:/images/img_ButtonNormal.png)}QPushButton:hover { "
           "border-image: url(:/images/img_ButtonHover.png)}QPushButton:pressed { border-image: "
           "url(:/images/img_ButtonNormal.png);}"
        << "QPushButton{border-image: url(:/images/img_BigButton.png)}QPushButton:hover { "
           "border-image: url(:/images/img_BigButtonActive.png)}QPushButton:pressed { "
           "border-image: url(:/images/img_BigButton.png);}"
        << "QPushButton{border-image: url(:/images/img_BigButton.png)}QPushButton:hover { "
           "border-image: url(:/images/img_BigButtonActive.png)}QPushButton:disabled { "
           "border-image: url(:/images/img_BigButton.png)}QPushButton:pressed { border-image: "
           "url(:/images/img_BigButton.png)}";
    QTest::newRow("120")
        << DpiClass::Dpi120
        << "QPushButton{border-image: url(:/images/120-DPI/img_ButtonNormal.png)}"
           "QPushButton:hover { border-image: url(:/images/120-DPI/img_ButtonHover.png)}"
           "QPushButton:pressed { border-image: url(:/images/120-DPI/img_ButtonNormal.png);}"
        << "QPushButton{border-image: url(:/images/120-DPI/img_BigButton.png)}"
           "QPushButton:hover { border-image: url(:/images/120-DPI/img_BigButtonActive.png)}"
           "QPushButton:pressed { border-image: url(:/images/120-DPI/img_BigButton.png);}"
        << "QPushButton{border-image: url(:/images/120-DPI/img_BigButton.png)}"
           "QPushButton:hover { border-image: url(:/images/120-DPI/img_BigButtonActive.png)}"
           "QPushButton:disabled { border-image: url(:/images/120-DPI/img_BigButton.png)}"
           "QPushButton:pressed { border-image: url(:/images/120-DPI/img_BigButton.png)}";
    QTest::newRow("144")
        << DpiClass::Dpi144
        << "QPushButton{border-image: url(:/images/144-DPI/img_ButtonNormal.png)}"
           "QPushButton:hover { border-image: url(:/images/144-DPI/img_ButtonHover.png)}"
           "QPushButton:pressed { border-image: url(:/images/144-DPI/img_ButtonNormal.png);}"
        << "QPushButton{border-image: url(:/images/144-DPI/img_BigButton.png)}"
           "QPushButton:hover { border-image: url(:/images/144-DPI/img_BigButtonActive.png)}"
           "QPushButton:pressed { border-image: url(:/images/144-DPI/img_BigButton.png);}"
        << "QPushButton{border-image: url(:/images/144-DPI/img_BigButton.png)}"
           "QPushButton:hover { border-image: url(:/images/144-DPI/img_BigButtonActive.png)}"
           "QPushButton:disabled { border-image: url(:/images/144-DPI/img_BigButton.png)}"
           "QPushButton:pressed { border-image: url(:/images/144-DPI/img_BigButton.png)}";
}

void TestLookStyles::buttonStyles() {
    QFETCH(DpiClass, dpiClass);
    QFETCH(QString, normal);
    QFETCH(QString, bigThree);
    QFETCH(QString, bigFour);
    QCOMPARE(lookstyle::buttonNormal(dpiClass), normal);
    QCOMPARE(lookstyle::bigButtonThreeState(dpiClass), bigThree);
    QCOMPARE(lookstyle::bigButtonFourState(dpiClass), bigFour);

    // The rules that follow an image style, appended without separator.
    QCOMPARE(QString::fromLatin1(lookstyle::kWhiteTextRule),
             QStringLiteral("QPushButton {color : #ffffff;}"));
    QCOMPARE(QString::fromLatin1(lookstyle::kBlackTextRule),
             QStringLiteral("QPushButton {color : #000000;}"));
    QCOMPARE(QString::fromLatin1(lookstyle::kBlackLabelRule),
             QStringLiteral("QLabel {color : #000000;}"));
}

void TestLookStyles::titleCloseStyles_data() {
    QTest::addColumn<DpiClass>("dpiClass");
    QTest::addColumn<QString>("style");
    QTest::newRow("96") << DpiClass::Dpi96
                        << "QPushButton{border-image: url(:/images/img_CloseDis.png)}"
                           "QPushButton:hover { border-image: url(:/images/img_ClosePress.png)}"
                           "QPushButton:disabled { border-image: url(:/images/img_CloseDis.png)}"
                           "QPushButton:pressed { border-image: url(:/images/img_Close.png)}";
    QTest::newRow("120")
        << DpiClass::Dpi120
        << "QPushButton{border-image: url(:/images/120-DPI/img_TitleClose.png)}"
           "QPushButton:hover { border-image: url(:/images/120-DPI/img_TitleCloseHover.png)}"
           "QPushButton:disabled { border-image: url(:/images/120-DPI/img_TitleClose.png)}"
           "QPushButton:pressed { border-image: url(:/images/120-DPI/img_TitleClosePressed.png)}";
    QTest::newRow("144")
        << DpiClass::Dpi144
        << "QPushButton{border-image: url(:/images/144-DPI/img_TitleClose.png)}"
           "QPushButton:hover { border-image: url(:/images/144-DPI/img_TitleCloseHover.png)}"
           "QPushButton:disabled { border-image: url(:/images/144-DPI/img_TitleClose.png)}"
           "QPushButton:pressed { border-image: url(:/images/144-DPI/img_TitleClosePressed.png)}";
}

void TestLookStyles::titleCloseStyles() {
    QFETCH(DpiClass, dpiClass);
    QFETCH(QString, style);
    QCOMPARE(lookstyle::titleClose(dpiClass), style);
}

void TestLookStyles::noClassSetsNothing() {
    QVERIFY(lookstyle::buttonNormal(DpiClass::None).isEmpty());
    QVERIFY(lookstyle::bigButtonThreeState(DpiClass::None).isEmpty());
    QVERIFY(lookstyle::bigButtonFourState(DpiClass::None).isEmpty());
    QVERIFY(lookstyle::titleClose(DpiClass::None).isEmpty());
    QVERIFY(lookstyle::picture(DpiClass::None, "Bootable.png").isEmpty());
}

void TestLookStyles::pictures_data() {
    QTest::addColumn<DpiClass>("dpiClass");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("side");

    const struct {
        const char *file;
        int side96, side120, side144;
    } pictures[] = {{"Bootable.png", 67, 83, 100},
                    {"img_Warning.png", 67, 83, 100},
                    {"img_SelectRegion.png", 67, 82, 100},
                    {"img_Scan.gif", 32, 40, 48}};
    for (const auto &p : pictures) {
        const QString file = QString::fromLatin1(p.file);
        QTest::addRow("%s 96", p.file) << DpiClass::Dpi96 << file << ":/images/" + file << p.side96;
        QTest::addRow("%s 120", p.file)
            << DpiClass::Dpi120 << file << ":/images/120-DPI/" + file << p.side120;
        QTest::addRow("%s 144", p.file)
            << DpiClass::Dpi144 << file << ":/images/144-DPI/" + file << p.side144;
    }
}

void TestLookStyles::pictures() {
    QFETCH(DpiClass, dpiClass);
    QFETCH(QString, fileName);
    QFETCH(QString, path);
    QFETCH(int, side);
    QCOMPARE(lookstyle::picture(dpiClass, fileName.toLatin1().constData()), path);
    QImageReader reader(path);
    QCOMPARE(reader.size(), QSize(side, side));
}

void TestLookStyles::everyStyledPictureIsInTheBundle_data() {
    QTest::addColumn<QString>("style");
    QTest::addColumn<QSize>("buttonPicture"); // size of every picture the style names

    QTest::newRow("normal 96") << lookstyle::buttonNormal(DpiClass::Dpi96) << QSize(81, 26);
    QTest::newRow("normal 120") << lookstyle::buttonNormal(DpiClass::Dpi120) << QSize(81, 26);
    QTest::newRow("normal 144") << lookstyle::buttonNormal(DpiClass::Dpi144) << QSize(81, 26);
    QTest::newRow("big 96") << lookstyle::bigButtonFourState(DpiClass::Dpi96) << QSize(159, 29);
    QTest::newRow("big 120") << lookstyle::bigButtonFourState(DpiClass::Dpi120) << QSize(198, 36);
    QTest::newRow("big 144") << lookstyle::bigButtonFourState(DpiClass::Dpi144) << QSize(238, 43);
    QTest::newRow("close 96") << lookstyle::titleClose(DpiClass::Dpi96) << QSize(45, 29);
    QTest::newRow("close 120") << lookstyle::titleClose(DpiClass::Dpi120) << QSize(56, 36);
    QTest::newRow("close 144") << lookstyle::titleClose(DpiClass::Dpi144) << QSize(67, 43);
}

void TestLookStyles::everyStyledPictureIsInTheBundle() {
    QFETCH(QString, style);
    QFETCH(QSize, buttonPicture);
    const QRegularExpression url(QStringLiteral("url\\(([^)]+)\\)"));
    int named = 0;
    for (auto it = url.globalMatch(style); it.hasNext(); ++named) {
        const QString path = it.next().captured(1);
        QImageReader reader(path);
        QVERIFY2(reader.canRead(), qPrintable(path));
        QCOMPARE(reader.size(), buttonPicture);
    }
    QVERIFY(named >= 3);
}

QTEST_GUILESS_MAIN(TestLookStyles)
#include "tst_look_styles.moc"
