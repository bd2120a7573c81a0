// The screen-scale probe: snapping of the factor and the class it selects.
#include "app/AppContext.h"
#include "app/ScreenScale.h"
#include "support/TestHost.h"

#include <QtTest>

Q_DECLARE_METATYPE(DpiClass)

class TestScreenScale : public QObject {
    Q_OBJECT

private slots:
    void factorAndClassForDpi_data();
    void factorAndClassForDpi();
    void classOfFactorsBetweenSteps();
    void probeReadsTheHostScreen();
};

void TestScreenScale::factorAndClassForDpi_data() {
    QTest::addColumn<int>("dpi");
    QTest::addColumn<float>("scale");
    QTest::addColumn<DpiClass>("dpiClass");
    QTest::newRow("96") << 96 << 1.0f << DpiClass::Dpi96;
    QTest::newRow("97 snaps up") << 97 << 1.25f << DpiClass::Dpi120;
    QTest::newRow("100 snaps up") << 100 << 1.25f << DpiClass::Dpi120;
    QTest::newRow("119 snaps up") << 119 << 1.25f << DpiClass::Dpi120;
    QTest::newRow("120") << 120 << 1.25f << DpiClass::Dpi120;
    QTest::newRow("121 snaps up") << 121 << 1.5f << DpiClass::Dpi144;
    QTest::newRow("130 snaps up") << 130 << 1.5f << DpiClass::Dpi144;
    QTest::newRow("143 snaps up") << 143 << 1.5f << DpiClass::Dpi144;
    QTest::newRow("144") << 144 << 1.5f << DpiClass::Dpi144;
    QTest::newRow("168 unchanged") << 168 << 1.75f << DpiClass::Dpi144;
    QTest::newRow("192 unchanged") << 192 << 2.0f << DpiClass::Dpi144;
    QTest::newRow("90 below") << 90 << 0.9375f << DpiClass::None;
    QTest::newRow("72 below") << 72 << 0.75f << DpiClass::None;
    QTest::newRow("no screen") << 0 << 0.0f << DpiClass::None;
}

void TestScreenScale::factorAndClassForDpi() {
    QFETCH(int, dpi);
    QFETCH(float, scale);
    QFETCH(DpiClass, dpiClass);
    QCOMPARE(scaleForDpi(dpi), scale);
    QCOMPARE(dpiClassOf(scaleForDpi(dpi)), dpiClass);
}

void TestScreenScale::classOfFactorsBetweenSteps() {
    // Factors that snapping never yields still get a sound class.
    QCOMPARE(dpiClassOf(1.1f), DpiClass::None);
    QCOMPARE(dpiClassOf(1.3f), DpiClass::None);
    QCOMPARE(dpiClassOf(1.5f), DpiClass::Dpi144);
    QCOMPARE(QString::fromLatin1(imageFolderOf(DpiClass::Dpi120)), ":/images/120-DPI/");
    QCOMPARE(QString::fromLatin1(imageFolderOf(DpiClass::None)), QString());
}

void TestScreenScale::probeReadsTheHostScreen() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.dpi = 130;
    TestHost host(setup);
    QVERIFY(host.isValid());
    probeScreenScale();
    QCOMPARE(AppContext::scaleFactor(), 1.5f);

    // A resolution that cannot be read lays the windows out at 96 dpi rather
    // than at 0 x 0 pixels.
    simhost::setHostSetting(host.root(), QStringLiteral("system/dpi"), 0);
    probeScreenScale();
    QCOMPARE(AppContext::scaleFactor(), 1.0f);
}

QTEST_GUILESS_MAIN(TestScreenScale)
#include "tst_screenscale.moc"
