// Xcopy with each source and destination form the product uses, and its
// failures with their exit codes.
#include "HostsimCommands.h"

#include <QtTest>

namespace {

// A removable disk that already carries the drive letter R.
simhost::HostSpec driveRHost(qint64 size = 16008609792LL) {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.disks[1].letter = QStringLiteral("R");
    setup.disks[1].size = size;
    return setup;
}

QByteArray imageBytes(int size) {
    QByteArray bytes(size, '\0');
    quint32 x = 12345;
    for (int i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(x >> 24);
    }
    return bytes;
}

long long xcopy(const QString &arguments) {
    return runCommand(systemProgram(QStringLiteral("Xcopy.exe ")) + arguments);
}

} // namespace

class TestXcopy : public QObject {
    Q_OBJECT

private slots:
    void bootFilePlanForms();
    void hiddenFilesNeedSlashH();
    void imageToNameEndingInStar();
    void forwardSlashInSourceIsASwitch();
    void failuresAndTheirCodes_data();
    void failuresAndTheirCodes();
    void writeErrorOnRequestLeavesAPartialFile();
    void existingTargetAsksAQuestionNobodyAnswers();
    void quotedPathsWithBlanks();
};

void TestXcopy::bootFilePlanForms() {
    TestHost host(driveRHost());
    QVERIFY2(host.isValid(), qPrintable(host.error()));
    QCOMPARE(xcopy(QStringLiteral("/S /H /I C:\\Windows\\Boot\\Fonts\\* R:\\boot\\fonts\\")), 0LL);
    const QByteArray console = takeConsole(host);
    QVERIFY(console.startsWith("C:\\Windows\\Boot\\Fonts\\chs_boot.ttf\r\n"));
    QVERIFY(console.endsWith("\r\n8 File(s) copied\r\n"));
    const QStringList fonts =
        QDir(host.local(QStringLiteral("C:\\Windows\\Boot\\Fonts"))).entryList(QDir::Files);
    QCOMPARE(fonts.size(), 8);
    for (const QString &font : fonts) {
        QCOMPARE(host.read(QStringLiteral("R:\\boot\\fonts\\") + font),
                 host.read(QStringLiteral("C:\\Windows\\Boot\\Fonts\\") + font));
    }

    // A single file into a folder that does not exist yet.
    QCOMPARE(xcopy(QStringLiteral("/S /H /I C:\\Windows\\Boot\\Resources\\bootres.dll "
                                  "R:\\efi\\microsoft\\boot\\resources\\")),
             0LL);
    QCOMPARE(host.read(QStringLiteral("R:\\efi\\microsoft\\boot\\resources\\bootres.dll")),
             host.read(QStringLiteral("C:\\Windows\\Boot\\Resources\\bootres.dll")));
    // Into the root of the drive.
    QCOMPARE(xcopy(QStringLiteral("/S /H /I C:\\Windows\\Boot\\PCAT\\bootmgr R:\\")), 0LL);
    QCOMPARE(host.read(QStringLiteral("R:\\bootmgr")),
             host.read(QStringLiteral("C:\\Windows\\Boot\\PCAT\\bootmgr")));
    // /S also finds the name in subfolders.
    QVERIFY(host.write(QStringLiteral("C:\\Windows\\Boot\\PCAT\\en-US\\bootmgr"), "mui"));
    QCOMPARE(xcopy(QStringLiteral("/S /H /I /Y C:\\Windows\\Boot\\PCAT\\bootmgr R:\\")), 0LL);
    QCOMPARE(host.read(QStringLiteral("R:\\en-US\\bootmgr")), QByteArray("mui"));
}

void TestXcopy::hiddenFilesNeedSlashH() {
    TestHost host(driveRHost());
    QVERIFY(host.isValid());
    const QString font = QStringLiteral("C:\\Windows\\Boot\\Fonts\\wgl4_boot.ttf");
    simhost::setHidden(host.root(), host.local(font), true);

    QCOMPARE(xcopy(QStringLiteral("/S /I C:\\Windows\\Boot\\Fonts\\* R:\\a\\")), 0LL);
    QVERIFY(takeConsole(host).endsWith("\r\n7 File(s) copied\r\n"));
    QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("R:\\a\\wgl4_boot.ttf"))));
    // Found, but nothing qualifies.
    QCOMPARE(xcopy(QStringLiteral("/S /I ") + font + QStringLiteral(" R:\\b\\")), 1LL);
    QCOMPARE(takeConsole(host), QByteArray("0 File(s) copied\r\n"));

    QCOMPARE(xcopy(QStringLiteral("/S /H /I ") + font + QStringLiteral(" R:\\c\\")), 0LL);
    QCOMPARE(host.read(QStringLiteral("R:\\c\\wgl4_boot.ttf")), host.read(font));
    QVERIFY(simhost::isHidden(host.root(), host.local(QStringLiteral("R:\\c\\wgl4_boot.ttf"))));
}

void TestXcopy::imageToNameEndingInStar() {
    TestHost host(driveRHost());
    QVERIFY(host.isValid());
    // Larger than one copy chunk, and not a multiple of it.
    const QByteArray image = imageBytes(3 * 1024 * 1024 + 12345);
    QVERIFY(host.write(QStringLiteral("C:\\DownloadFIle\\boot.wim"), image));
    QVERIFY(QDir().mkpath(host.local(QStringLiteral("R:\\Sources"))));

    QCOMPARE(xcopy(QStringLiteral("/E /H /I C:\\DownloadFIle\\Boot.wim R:\\sources\\boot.wim*")),
             0LL);
    QCOMPARE(takeConsole(host), QByteArray("C:\\DownloadFIle\\boot.wim\r\n1 File(s) copied\r\n"));
    // Into the existing folder of another case, as a file, without a question.
    const QStringList folders =
        QDir(host.local(QStringLiteral("R:\\"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QVERIFY(folders.contains(QStringLiteral("Sources")));
    QVERIFY(!folders.contains(QStringLiteral("sources")));
    QCOMPARE(host.read(QStringLiteral("R:\\Sources\\boot.wim")), image);
    QVERIFY(!QFileInfo::exists(host.root() + QStringLiteral("/prompts.log")));
}

void TestXcopy::forwardSlashInSourceIsASwitch() {
    TestHost host(driveRHost());
    QVERIFY(host.isValid());
    QVERIFY(host.write(QStringLiteral("C:\\DownloadFIle\\boot.wim"), imageBytes(4096)));
    QCOMPARE(xcopy(QStringLiteral("/E /H /I C:/DownloadFIle\\Boot.wim R:\\sources\\boot.wim*")),
             4LL);
    QCOMPARE(takeConsole(host), QByteArray("Invalid switch - /DownloadFIle\\Boot.wim\r\n"));
    QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("R:\\sources"))));
}

void TestXcopy::failuresAndTheirCodes_data() {
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<long long>("code");
    QTest::addColumn<QByteArray>("console");
    QTest::newRow("no such file") << "/S /H /I C:\\Windows\\Boot\\nothere.dll R:\\boot\\" << 4LL
                                  << QByteArray(
                                         "File not found - nothere.dll\r\n0 File(s) copied\r\n");
    QTest::newRow("no such folder") << "/S /H /I C:\\Windows\\Nothere\\* R:\\boot\\" << 4LL
                                    << QByteArray("File not found - *\r\n0 File(s) copied\r\n");
    QTest::newRow("no drive Q") << "/S /H /I C:\\Windows\\Boot\\PCAT\\bootmgr Q:\\" << 4LL
                                << QByteArray(
                                       "Invalid drive specification\r\n0 File(s) copied\r\n");
    QTest::newRow("no source drive")
        << "/S /H /I K:\\bootmgr R:\\" << 4LL
        << QByteArray("Invalid drive specification\r\n0 File(s) copied\r\n");
    // The C runtime reads backslash-quote as a quote inside the path.
    QTest::newRow("quoted folder ending in a backslash")
        << "/S /H /I \"C:\\Windows\\Boot\\Fonts\\\" R:\\f\\" << 4LL
        << QByteArray("Invalid path\r\n0 File(s) copied\r\n");
    QTest::newRow("three paths") << "/S C:\\a R:\\ R:\\b" << 4LL
                                 << QByteArray("Invalid number of parameters\r\n");
    QTest::newRow("unknown switch") << "/S /Z9 C:\\Windows\\Boot\\PCAT\\bootmgr R:\\" << 4LL
                                    << QByteArray("Invalid switch - /Z9\r\n");
}

void TestXcopy::failuresAndTheirCodes() {
    QFETCH(QString, arguments);
    QFETCH(long long, code);
    QFETCH(QByteArray, console);
    TestHost host(driveRHost());
    QVERIFY(host.isValid());
    QCOMPARE(xcopy(arguments), code);
    QCOMPARE(takeConsole(host), console);
    QCOMPARE(host.commands().value(0).exitCode, code);
}

void TestXcopy::writeErrorOnRequestLeavesAPartialFile() {
    simhost::HostSpec setup = driveRHost();
    setup.faults.insert(QStringLiteral("xcopyWriteErrorFor"),
                        QStringLiteral("R:\\sources\\boot.wim*"));
    TestHost host(setup);
    QVERIFY(host.isValid());
    const QByteArray image = imageBytes(2 * 1024 * 1024 + 7);
    QVERIFY(host.write(QStringLiteral("C:\\DownloadFIle\\boot.wim"), image));
    // Another destination is not affected.
    QCOMPARE(xcopy(QStringLiteral("/E /H /I C:\\DownloadFIle\\boot.wim R:\\copy\\")), 0LL);
    takeConsole(host);

    QCOMPARE(xcopy(QStringLiteral("/E /H /I C:\\DownloadFIle\\Boot.wim R:\\sources\\boot.wim*")),
             5LL);
    QVERIFY(takeConsole(host).endsWith("I/O device error.\r\n0 File(s) copied\r\n"));
    const QByteArray partial = host.read(QStringLiteral("R:\\sources\\boot.wim"));
    QVERIFY(!partial.isEmpty());
    QVERIFY(partial.size() < image.size());
    QVERIFY(image.startsWith(partial));
}

void TestXcopy::existingTargetAsksAQuestionNobodyAnswers() {
    TestHost host(driveRHost());
    QVERIFY(host.isValid());
    QVERIFY(host.write(QStringLiteral("R:\\bootmgr"), "older"));
    QCOMPARE(xcopy(QStringLiteral("/S /H /I C:\\Windows\\Boot\\PCAT\\bootmgr R:\\")), 2LL);
    QCOMPARE(host.read(QStringLiteral("R:\\bootmgr")), QByteArray("older"));
    QCOMPARE(simhost::readLog(host.root(), QStringLiteral("prompts.log")),
             QStringList{"Xcopy.exe: Overwrite R:\\bootmgr (Yes/No/All)? "});
    QCOMPARE(xcopy(QStringLiteral("/S /H /I /Y C:\\Windows\\Boot\\PCAT\\bootmgr R:\\")), 0LL);
    QCOMPARE(host.read(QStringLiteral("R:\\bootmgr")),
             host.read(QStringLiteral("C:\\Windows\\Boot\\PCAT\\bootmgr")));

    // A destination without backslash that does not exist: file or folder?
    QCOMPARE(xcopy(QStringLiteral("/S /H /I C:\\Windows\\Boot\\PCAT\\bootmgr R:\\newname")), 2LL);
    QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("R:\\newname"))));
}

void TestXcopy::quotedPathsWithBlanks() {
    TestHost host(driveRHost());
    QVERIFY(host.isValid());
    QVERIFY(host.write(QStringLiteral("C:\\Users\\A B\\My File.txt"), "content"));
    QCOMPARE(xcopy(QStringLiteral("/S /H /I \"C:\\Users\\A B\\My File.txt\" \"R:\\x y\\\\\"")),
             0LL);
    QCOMPARE(host.read(QStringLiteral("R:\\x y\\My File.txt")), QByteArray("content"));

    // FAT holds no file of 4 GiB: refused before anything is written.
    TestHost fat(driveRHost(qint64(64) << 30));
    QVERIFY(fat.isValid());
    {
        QFile big(fat.local(QStringLiteral("C:\\DownloadFIle\\boot.wim")));
        QVERIFY(QDir().mkpath(QFileInfo(big).absolutePath()));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(qint64(4) << 30)); // sparse
    }
    QCOMPARE(xcopy(QStringLiteral("/E /H /I C:\\DownloadFIle\\Boot.wim R:\\sources\\boot.wim*")),
             5LL);
    QCOMPARE(takeConsole(fat), QByteArray("File creation error - The file size exceeds the limit "
                                          "allowed and cannot be saved.\r\n0 File(s) copied\r\n"));
    QVERIFY(!QFileInfo::exists(fat.local(QStringLiteral("R:\\sources\\boot.wim"))));

    // Not enough room on the drive: nothing is written.
    TestHost small(driveRHost(1024 * 1024));
    QVERIFY(small.isValid());
    QVERIFY(small.write(QStringLiteral("C:\\DownloadFIle\\boot.wim"), imageBytes(2 * 1024 * 1024)));
    QCOMPARE(xcopy(QStringLiteral("/E /H /I C:\\DownloadFIle\\Boot.wim R:\\sources\\boot.wim*")),
             4LL);
    QCOMPARE(takeConsole(small), QByteArray("Insufficient disk space\r\n0 File(s) copied\r\n"));
    QVERIFY(!QFileInfo::exists(small.local(QStringLiteral("R:\\sources\\boot.wim"))));
}

QTEST_GUILESS_MAIN(TestXcopy)
#include "tst_hostsim_xcopy.moc"
