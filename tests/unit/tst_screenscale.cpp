// The screen-scale probe: snapping of the factor, the class it selects, and
// the single-precision truncation every scaled length goes through.
#include "app/AppContext.h"
#include "app/ScreenScale.h"
#include "dialogs/ScaledLayout.h"
#include "support/TestHost.h"

#include <QtTest>

Q_DECLARE_METATYPE(DpiClass)

class TestScreenScale : public QObject {
    Q_OBJECT

private slots:
    void factorAndClassForDpi_data();
    void factorAndClassForDpi();
    void probeReadsTheHostScreen();
};

void TestScreenScale::factorAndClassForDpi_data() {
    QTest::addColumn<int>("dpi");
    QTest::addColumn<float>("scale");
    QTest::addColumn<DpiClass>("dpiClass");
    QTest::addColumn<int>("length"); // 528 scaled
    QTest::newRow("96") << 96 << 1.0f << DpiClass::Dpi96 << 528;
    QTest::newRow("97 snaps up") << 97 << 1.25f << DpiClass::Dpi120 << 660;
    QTest::newRow("120") << 120 << 1.25f << DpiClass::Dpi120 << 660;
    QTest::newRow("121 snaps up") << 121 << 1.5f << DpiClass::Dpi144 << 792;
    QTest::newRow("144") << 144 << 1.5f << DpiClass::Dpi144 << 792;
    QTest::newRow("168 unchanged") << 168 << 1.75f << DpiClass::Dpi144 << 924;
    QTest::newRow("90 below") << 90 << 0.9375f << DpiClass::None << 495;
    // 0.8333333 in single precision: the float product is exactly 440; in
    // double precision it would truncate to 439.
    QTest::newRow("80 below") << 80 << 0.8333333f << DpiClass::None << 440;
    QTest::newRow("no screen") << 0 << 0.0f << DpiClass::None << 0;
}

void TestScreenScale::factorAndClassForDpi() {
    QFETCH(int, dpi);
    QFETCH(float, scale);
    QFETCH(DpiClass, dpiClass);
    QFETCH(int, length);
    QCOMPARE(scaleForDpi(dpi), scale);
    QCOMPARE(dpiClassOf(scaleForDpi(dpi)), dpiClass);
    QCOMPARE(scaledValue(528, scaleForDpi(dpi)), length);
    QCOMPARE(scaledValue(127, 1.25f), 158); // truncated, not rounded
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
