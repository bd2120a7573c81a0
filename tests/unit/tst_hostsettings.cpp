// Registry values read through the simulated host, the language the host
// product's "LanguageType" selects, and the temporary folder.
#include "app/AppContext.h"
#include "app/HostSide.h"
#include "app/LanguageSelection.h"
#include "platform/HostPlatform.h"
#include "platform/sim/SimRegistry.h"
#include "support/TestHost.h"

#include <QtTest>

namespace {
const QString kKey = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Kestrin Data "
                                    "Recovery\\Data Recovery\\Kestrin Data Recovery for Windows");
const QString kLink = QStringLiteral("DownloadLink_bootwim");
} // namespace

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
        QCOMPARE(readRegistryValue(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\MicroSoft\\"
                                                  "Windows NT\\CurrentVersion"),
                                   QStringLiteral("productname")),
                 QVariant(QStringLiteral("Windows 10 Pro")));
        QVERIFY(!readRegistryValue(kKey, QStringLiteral("NoSuchValue")).isValid());
        QVERIFY(!readRegistryValue(kKey + "\\Sub", QStringLiteral("LanguageType")).isValid());
        // The language is read from the host's key; a string holding a number reads like it.
        QVERIFY(simhost::setRegistryValue(host.root(), kKey, QStringLiteral("LanguageType"), "4"));
        QCOMPARE(selectLanguageFromHost(), UiLanguage::ES);
        QCOMPARE(AppContext::language(), UiLanguage::ES);
    }

    void registryTextRoundTrips_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("quote, backslash, blank, ampersand") << "http://h/a b\"c\\d&e";
        QTest::newRow("backslash before the closing quote") << "C:\\Temp Work\\";
        QTest::newRow("a value separator") << "\"=\"x";
        QTest::newRow("a string that reads like a dword") << "dword:00000007";
        QTest::newRow("a key header") << "[HKEY_LOCAL_MACHINE\\x]";
        QTest::newRow("not ASCII") << QStringLiteral("Gr\u00f6\u00dfe \u6587");
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

    // Work files are named by appending to the folder, as on Windows, where
    // GetTempPathW always ends it in a backslash whatever TMP says.
    void tempFolderEndsInBackslash() {
        for (const char *configured : {"C:\\Temp Work", "C:\\Temp Work\\"}) {
            simhost::HostSpec setup = simhost::sampleHostSpec();
            setup.tempDirectory = configured;
            TestHost host(setup);
            QVERIFY(host.isValid());
            QCOMPARE(QString::fromStdWString(hostplatform::tempDirectory()), "C:\\Temp Work\\");
        }
    }
};

QTEST_GUILESS_MAIN(TestHostSettings)
#include "tst_hostsettings.moc"
