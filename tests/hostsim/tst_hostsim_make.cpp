// hostsim-make: a host made from the command line, as the demo makes it,
// and used through the product's runner.
#include "HostsimCommands.h"

#include "platform/sim/SimRegistry.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

int make(const QStringList &args, QByteArray *errors = nullptr) {
    QProcess process;
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/hostsim-make"), args);
    if (!process.waitForFinished(60000))
        return -1;
    if (errors)
        *errors = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace

class TestHostMake : public QObject {
    Q_OBJECT

private slots:
    void makesTheDescribedHost();
    void refusesBadArguments_data();
    void refusesBadArguments();
};

void TestHostMake::makesTheDescribedHost() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString root = dir.filePath(QStringLiteral("host"));
    const QString key = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Test");
    QByteArray errors;
    QCOMPARE(make({root,
                   QStringLiteral("--disk"),
                   QStringLiteral("sys:0:System SSD:fixed:C"),
                   QStringLiteral("--disk"),
                   QStringLiteral("usb:2:Generic Flash Disk USB Device:removable:E:8000000000"),
                   QStringLiteral("--disk"),
                   QStringLiteral("old:3:Old Stick:removable:R"),
                   QStringLiteral("--temp"),
                   QStringLiteral("C:\\Users\\A B\\AppData\\Local\\Temp\\"),
                   QStringLiteral("--dpi"),
                   QStringLiteral("144"),
                   QStringLiteral("--no-wmic"),
                   QStringLiteral("--registry"),
                   key + QStringLiteral("|LanguageType|dword:00000007"),
                   QStringLiteral("--registry"),
                   key + QStringLiteral("|Link|http://a/b?c&d"),
                   QStringLiteral("--fault"),
                   QStringLiteral("diskpartFailAt=format"),
                   QStringLiteral("--disk-fault"),
                   QStringLiteral("usb:swapAfterListings=1"),
                   QStringLiteral("--disk-fault"),
                   QStringLiteral("usb:swapNumber=5")},
                  &errors),
             0);
    QVERIFY2(errors.isEmpty(), errors.constData());

    QSettings ini(root + QStringLiteral("/host.ini"), QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("system/tempDirectory")).toString(),
             QStringLiteral("C:\\Users\\A B\\AppData\\Local\\Temp\\"));
    QCOMPARE(ini.value(QStringLiteral("system/dpi")).toInt(), 144);
    QCOMPARE(ini.value(QStringLiteral("faults/diskpartFailAt")).toString(),
             QStringLiteral("format"));
    QCOMPARE(simhost::registryValue(root, key, QStringLiteral("LanguageType")), QVariant(7));
    QCOMPARE(simhost::registryValue(root, key, QStringLiteral("Link")),
             QVariant(QStringLiteral("http://a/b?c&d")));
    QVERIFY(
        QFileInfo(simhost::localPath(root, QStringLiteral("C:\\Users\\A B\\AppData\\Local\\Temp")))
            .isDir());
    QVERIFY(!QFileInfo::exists(
        simhost::localPath(root, QStringLiteral("C:\\Windows\\system32\\wbem\\WMIC.exe"))));
    // The letter R already belongs to the old stick, with a file on it.
    QVERIFY(QFileInfo::exists(
        simhost::localPath(root, QStringLiteral("R:\\Holiday photos\\beach.jpg"))));

    // The host works through the product's runner: the PowerShell listing
    // sees the removable disks, and the listing fault renumbers one.
    qputenv(simhost::kHostRootVariable, QFile::encodeName(root));
    const QString listing = systemProgram(QStringLiteral(
        R"(WindowsPowerShell\v1.0\powershell.exe -NoProfile -NonInteractive -Command "[Console]::OutputEncoding = [Text.Encoding]::UTF8; Get-CimInstance -ClassName Win32_DiskDrive -Filter \"MediaType='Removable Media'\" | ForEach-Object { '' + $_.Index + ' ' + $_.Model }" >> C:\list.txt)"));
    QCOMPARE(runCommand(listing), 0LL);
    QCOMPARE(runCommand(listing), 0LL);
    QFile file(simhost::localPath(root, QStringLiteral("C:\\list.txt")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("2 Generic Flash Disk USB Device\r\n3 Old Stick\r\n"
                                        "3 Old Stick\r\n5 Generic Flash Disk USB Device\r\n"));
    qunsetenv(simhost::kHostRootVariable);

    // An existing host is kept unless replaced.
    QCOMPARE(make({root}), 1);
    QVERIFY(QFileInfo::exists(simhost::localPath(root, QStringLiteral("C:\\list.txt"))));
    QCOMPARE(make({root, QStringLiteral("--replace")}), 0);
    QVERIFY(!QFileInfo::exists(simhost::localPath(root, QStringLiteral("C:\\list.txt"))));
    // The sample host: the removable disk 1 as E:.
    QVERIFY(QFileInfo::exists(simhost::localPath(root, QStringLiteral("E:\\"))));
}

void TestHostMake::refusesBadArguments_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no root") << QStringList{"--no-wmic"};
    QTest::newRow("short disk") << QStringList{"ROOT", "--disk", "a:1:model"};
    QTest::newRow("disk number") << QStringList{"ROOT", "--disk", "a:x:model:removable"};
    QTest::newRow("letter") << QStringList{"ROOT", "--disk", "a:1:model:removable:RR"};
    QTest::newRow("dpi") << QStringList{"ROOT", "--dpi", "big"};
    QTest::newRow("fault") << QStringList{"ROOT", "--fault", "novalue"};
    QTest::newRow("disk fault for no disk") << QStringList{"ROOT", "--disk-fault", "zz:a=1"};
    QTest::newRow("registry") << QStringList{"ROOT", "--registry", "key|name"};
    QTest::newRow("unknown") << QStringList{"ROOT", "--frobnicate", "1"};
    QTest::newRow("missing value") << QStringList{"ROOT", "--temp"};
}

void TestHostMake::refusesBadArguments() {
    QFETCH(QStringList, args);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString root = dir.filePath(QStringLiteral("host"));
    args.replaceInStrings(QStringLiteral("ROOT"), root);
    QByteArray errors;
    QCOMPARE(make(args, &errors), 2);
    QVERIFY(errors.startsWith("hostsim-make: "));
    QVERIFY(!QFileInfo::exists(root));
}

QTEST_GUILESS_MAIN(TestHostMake)
#include "tst_hostsim_make.moc"
