// What the tool reads of the host: registry values through the simulated
// host, and the screen's scale (snapping of the factor,
// the class it selects, and the single-precision truncation every scaled
// length goes through). The language LanguageType selects is pinned by the
// catalogue and start-up suites; the temporary folder by the Windows layer's
// suite (win32_system) and the end-to-end builds.
#include "app/AppContext.h"
#include "app/HostSide.h"
#include "app/ScreenScale.h"
#include "dialogs/ScaledLayout.h"
#include "sim/platform/SimRegistry.h"
#include "support/TestHost.h"

#include <QtTest>

namespace {
const QString kKey = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Kestrin Data "
                                    "Recovery\\Data Recovery\\Kestrin Data Recovery for Windows");
const QString kLink = QStringLiteral("DownloadLink_bootwim");
} // namespace

Q_DECLARE_METATYPE(DpiClass)

class TestHostSettings : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { fixHostIdentity(); }

    void registryValuesOfTheHost() {
        QCOMPARE(AppContext::hostSettingsKey(), kKey);
        TestHost host;
        QVERIFY(host.isValid());
        QCOMPARE(readRegistryValue(kKey, QStringLiteral("LanguageType")), QVariant(0));
        // Key paths and names ignore case, as in the registry.
        const QString version =
            QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\MicroSoft\\Windows NT\\CurrentVersion");
        QCOMPARE(readRegistryValue(version, "productname"), QVariant("Windows 10 Pro"));
        QVERIFY(!readRegistryValue(kKey, QStringLiteral("NoSuchValue")).isValid());
        QVERIFY(!readRegistryValue(kKey + "\\Sub", QStringLiteral("LanguageType")).isValid());
    }

    void registryTextRoundTrips_data() {
        QTest::addColumn<QString>("text");
        // A key header first, a value separator, quote, backslash, blank,
        // ampersand, not ASCII, and a backslash before the closing quote.
        QTest::newRow("special characters")
            << QStringLiteral("[HKEY_LOCAL_MACHINE\\x] \"=\"x http://h/a b\"c\\d&e Gr\u00f6\u00dfe "
                              "\u6587 C:\\Temp Work\\");
        QTest::newRow("a string that reads like a dword") << "dword:00000007";
        QTest::newRow("empty") << "";
    }
    void registryTextRoundTrips() {
        QFETCH(QString, text);
        TestHost host;
        QVERIFY(host.isValid());
        QVERIFY(simhost::setRegistryValue(host.root(), kKey, kLink, text));
        QCOMPARE(readRegistryValue(kKey, kLink), QVariant(text));
        // The other values of the key are kept.
        QCOMPARE(readRegistryValue(kKey, QStringLiteral("DownloadLink_Win7_bootwim")),
                 QVariant(QStringLiteral("https://localhost:8443/boot.wim")));
    }

    void screenScaleForDpi_data() {
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
    void screenScaleForDpi() {
        QFETCH(int, dpi);
        QFETCH(float, scale);
        QFETCH(DpiClass, dpiClass);
        QFETCH(int, length);
        QCOMPARE(scaleForDpi(dpi), scale);
        QCOMPARE(dpiClassOf(scaleForDpi(dpi)), dpiClass);
        QCOMPARE(scaledValue(528, scaleForDpi(dpi)), length);
        QCOMPARE(scaledValue(127, 1.25f), 158); // truncated, not rounded
    }

    // The probe reads the host's screen; a resolution that cannot be read lays
    // the windows out at 96 dpi rather than at 0 x 0 pixels.
    void probeReadsTheHostScreen() {
        TestHost host;
        QVERIFY(host.isValid());
        for (const auto &[dpi, scale] : {std::pair(130, 1.5f), std::pair(0, 1.0f)}) {
            simhost::setHostSetting(host.root(), QStringLiteral("system/dpi"), dpi);
            probeScreenScale();
            QCOMPARE(AppContext::scaleFactor(), scale);
        }
    }
};

QTEST_GUILESS_MAIN(TestHostSettings)
#include "tst_hostsettings.moc"
