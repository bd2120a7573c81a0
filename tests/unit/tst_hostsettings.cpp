// Registry values read through the simulated host, and the language that the
// host product's "LanguageType" selects.
#include "app/AppContext.h"
#include "app/HostRegistry.h"
#include "app/LanguageSelection.h"
#include "platform/HostPlatform.h"
#include "platform/sim/SimRegistry.h"
#include "support/TestHost.h"

#include <QtTest>

Q_DECLARE_METATYPE(UiLanguage)

namespace {
const QString kKey = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Kestrin Data "
                                    "Recovery\\Data Recovery\\Kestrin Data Recovery for Windows");
}

class TestHostSettings : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { fixHostIdentity(); }
    void hostKeyIsTheWow6432NodeCopy();
    void registryValuesOfTheHost();
    void registryFileRoundTripsAwkwardText();
    void languageFromLanguageType_data();
    void languageFromLanguageType();
    void translationFolderPerLanguage();
    void tempFolderEndsInBackslash();
};

void TestHostSettings::hostKeyIsTheWow6432NodeCopy() {
    QCOMPARE(AppContext::hostSettingsKey(), kKey);
    QCOMPARE(AppContext::hostBrand(), HostBrand::KestrinDataRecovery);
}

void TestHostSettings::registryValuesOfTheHost() {
    TestHost host;
    QVERIFY(host.isValid());
    QCOMPARE(readRegistryValue(kKey, QStringLiteral("LanguageType")), QVariant(0));
    QCOMPARE(readRegistryValue(kKey, QStringLiteral("DownloadLink_bootwim")).toString(),
             QStringLiteral("http://127.0.0.1:8080/boot.wim"));
    // Key paths and names ignore case, as in the registry.
    QCOMPARE(readRegistryValue(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\MicroSoft\\"
                                              "Windows NT\\CurrentVersion"),
                               QStringLiteral("productname"))
                 .toString(),
             QStringLiteral("Windows 10 Pro"));
    QVERIFY(!readRegistryValue(kKey, QStringLiteral("NoSuchValue")).isValid());
    QVERIFY(!readRegistryValue(kKey + QStringLiteral("\\Sub"), QStringLiteral("LanguageType"))
                 .isValid());

    // A string holding a number reads like the number.
    QVERIFY(simhost::setRegistryValue(host.root(), kKey, QStringLiteral("LanguageType"),
                                      QStringLiteral("4")));
    QCOMPARE(selectLanguageFromHost(), UiLanguage::ES);
    QVERIFY(simhost::setRegistryValue(host.root(), kKey, QStringLiteral("LanguageType"), 7));
    QCOMPARE(selectLanguageFromHost(), UiLanguage::KO);
    QCOMPARE(AppContext::language(), UiLanguage::KO);
    QVERIFY(
        simhost::setRegistryValue(host.root(), kKey, QStringLiteral("LanguageType"), QVariant()));
    QCOMPARE(selectLanguageFromHost(), UiLanguage::EN);
}

void TestHostSettings::registryFileRoundTripsAwkwardText() {
    TestHost host;
    QVERIFY(host.isValid());
    const QString text = QStringLiteral("http://h/a b\"c\\d&e");
    QVERIFY(
        simhost::setRegistryValue(host.root(), kKey, QStringLiteral("DownloadLink_bootwim"), text));
    QCOMPARE(readRegistryValue(kKey, QStringLiteral("DownloadLink_bootwim")).toString(), text);
    // The other values of the key are kept.
    QCOMPARE(readRegistryValue(kKey, QStringLiteral("DownloadLink_Win7_bootwim")).toString(),
             QStringLiteral("http://127.0.0.1:8080/boot.wim"));
}

void TestHostSettings::languageFromLanguageType_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<UiLanguage>("language");
    QTest::newRow("1") << QVariant(1) << UiLanguage::DE;
    QTest::newRow("6") << QVariant(6) << UiLanguage::CN;
    QTest::newRow("8") << QVariant(8) << UiLanguage::DU;
    QTest::newRow("10") << QVariant(10) << UiLanguage::HI;
    QTest::newRow("string 9") << QVariant(QStringLiteral("9")) << UiLanguage::BR;
    QTest::newRow("0") << QVariant(0) << UiLanguage::EN;
    QTest::newRow("11") << QVariant(11) << UiLanguage::EN;
    QTest::newRow("-1") << QVariant(-1) << UiLanguage::EN;
    QTest::newRow("-3") << QVariant(-3) << UiLanguage::EN;
    QTest::newRow("text") << QVariant(QStringLiteral("German")) << UiLanguage::EN;
    QTest::newRow("missing") << QVariant() << UiLanguage::EN;
}

void TestHostSettings::languageFromLanguageType() {
    QFETCH(QVariant, value);
    QFETCH(UiLanguage, language);
    QCOMPARE(languageForLanguageType(value), language);
}

void TestHostSettings::translationFolderPerLanguage() {
    QCOMPARE(translationDirFor(QStringLiteral("/opt/tool"), UiLanguage::KO),
             QStringLiteral("/opt/tool/BootableTranslation/KO"));
    QCOMPARE(translationDirFor(QStringLiteral("/opt/tool"), UiLanguage::EN),
             QStringLiteral("/opt/tool/BootableTranslation/EN"));
    QCOMPARE(QString::fromLatin1(languageCode(UiLanguage::DU)), QStringLiteral("DU"));
}

// Work files are named by appending to the folder, as on Windows, where
// GetTempPathW always ends it in a backslash whatever TMP says.
void TestHostSettings::tempFolderEndsInBackslash() {
    for (const QString &configured :
         {QStringLiteral("C:\\Temp Work"), QStringLiteral("C:\\Temp Work\\")}) {
        simhost::HostSpec setup = simhost::sampleHostSpec();
        setup.tempDirectory = configured;
        TestHost host(setup);
        QVERIFY(host.isValid());
        QCOMPARE(QString::fromStdWString(hostplatform::tempDirectory()),
                 QStringLiteral("C:\\Temp Work\\"));
    }
}

QTEST_GUILESS_MAIN(TestHostSettings)
#include "tst_hostsettings.moc"
