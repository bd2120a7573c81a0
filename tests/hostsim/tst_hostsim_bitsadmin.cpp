// bitsadmin /transfer against a server on 127.0.0.1: a real download, and a
// failed one that leaves no file behind.
#include "HostsimCommands.h"
#include "support/HttpTestServer.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kTarget = QStringLiteral("C:\\DownloadFIle\\boot.wim");

QString transfer(const QString &link) {
    return QStringLiteral("bitsadmin.exe /transfer myDownloadJob /download /priority normal ") +
           link + QLatin1Char(' ') + kTarget;
}

QStringList leftovers(const TestHost &host) {
    return QDir(host.local(QStringLiteral("C:\\DownloadFIle")))
        .entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

class TestBitsadmin : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void downloadsTheWholeFile();
    void unquotedAmpersandCutsTheLink();
    void failedTransferLeavesNoFile_data();
    void failedTransferLeavesNoFile();
    void missingFolderFails();

private:
    QTemporaryDir m_files;
    QByteArray m_image;
    HttpTestServer m_server;
};

void TestBitsadmin::initTestCase() {
    QVERIFY(m_files.isValid());
    m_image.resize(3 * 1024 * 1024 + 999);
    for (int i = 0; i < m_image.size(); ++i)
        m_image[i] = static_cast<char>((i * 7919) >> 3);
    QFile file(m_files.filePath(QStringLiteral("boot.wim")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(m_image), qint64(m_image.size()));
    file.close();
    m_server.serveFile(QStringLiteral("/boot.wim"), file.fileName());
    QVERIFY(m_server.start());
}

void TestBitsadmin::downloadsTheWholeFile() {
    TestHost host;
    QVERIFY2(host.isValid(), qPrintable(host.error()));
    QVERIFY(QDir().mkpath(host.local(QStringLiteral("C:\\DownloadFIle"))));
    m_server.setMode(HttpTestServer::Mode::Serve);
    const QString link = m_server.url(QStringLiteral("/boot.wim?id=7&lang=en"));
    const int before = m_server.requestTargets().size();

    // A quoted link passes "&" on to bitsadmin as part of the link.
    QCOMPARE(runCommand(transfer(QLatin1Char('"') + link + QLatin1Char('"'))), 0LL);
    QCOMPARE(m_server.requestTargets().mid(before), QStringList{"/boot.wim?id=7&lang=en"});
    QCOMPARE(host.read(kTarget), m_image);
    QCOMPARE(leftovers(host), QStringList{"boot.wim"});
    QVERIFY(takeConsole(host).contains("Transfer complete."));
    QVERIFY(!simhost::isHidden(host.root(), host.local(kTarget)));
}

void TestBitsadmin::unquotedAmpersandCutsTheLink() {
    TestHost host;
    QVERIFY(host.isValid());
    QVERIFY(QDir().mkpath(host.local(QStringLiteral("C:\\DownloadFIle"))));
    m_server.setMode(HttpTestServer::Mode::Serve);
    const int before = m_server.requestTargets().size();
    // Unquoted, cmd ends the command at "&" and runs the rest as a second
    // command: bitsadmin gets no target file, and "lang=en" is no program.
    QCOMPARE(runCommand(transfer(m_server.url(QStringLiteral("/boot.wim?id=7&lang=en")))), 9009LL);
    QCOMPARE(m_server.requestTargets().size(), before);
    QVERIFY(!QFileInfo::exists(host.local(kTarget)));
    QVERIFY(takeConsole(host).contains("'lang' is not recognized"));
}

void TestBitsadmin::failedTransferLeavesNoFile_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("error");
    QTest::newRow("not found") << int(HttpTestServer::Mode::Serve) << "/nothere.wim"
                               << QByteArray("ERROR CODE:    0x80190194");
    QTest::newRow("cut short") << int(HttpTestServer::Mode::Truncated) << "/boot.wim"
                               << QByteArray("ERROR CODE:    0x80072efe");
}

void TestBitsadmin::failedTransferLeavesNoFile() {
    QFETCH(int, mode);
    QFETCH(QString, path);
    QFETCH(QByteArray, error);
    TestHost host;
    QVERIFY(host.isValid());
    QVERIFY(QDir().mkpath(host.local(QStringLiteral("C:\\DownloadFIle"))));
    m_server.setMode(static_cast<HttpTestServer::Mode>(mode));
    const long long code = runCommand(transfer(m_server.url(path)));
    m_server.setMode(HttpTestServer::Mode::Serve);
    QCOMPARE(code, 1LL);
    QVERIFY(takeConsole(host).contains(error));
    QCOMPARE(leftovers(host), QStringList());

    // An older file at the target stays as it was.
    QVERIFY(host.write(kTarget, "older"));
    m_server.setMode(static_cast<HttpTestServer::Mode>(mode));
    QCOMPARE(runCommand(transfer(m_server.url(path))), 1LL);
    m_server.setMode(HttpTestServer::Mode::Serve);
    QCOMPARE(host.read(kTarget), QByteArray("older"));
    QCOMPARE(leftovers(host), QStringList{"boot.wim"});
}

void TestBitsadmin::missingFolderFails() {
    TestHost host;
    QVERIFY(host.isValid());
    QCOMPARE(runCommand(transfer(m_server.url(QStringLiteral("/boot.wim")))), 1LL);
    QVERIFY(takeConsole(host).contains("0x80070003"));
    QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("C:\\DownloadFIle"))));
}

QTEST_GUILESS_MAIN(TestBitsadmin)
#include "tst_hostsim_bitsadmin.moc"
