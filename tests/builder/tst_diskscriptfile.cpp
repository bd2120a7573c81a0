// The diskpart script file on the simulated host: created hidden before it is
// written, LF line ends, no final line break, earlier content replaced.
#include "builder/DiskScript.h"
#include "support/TestHost.h"

#include <QtTest>

class TestDiskScriptFile : public QObject {
    Q_OBJECT

private slots:
    void formatScriptIsWrittenHiddenWithLfOnly();
    void letterRemovalReplacesALeftOverFormatScript();
    void unwritableFolderIsReported();
};

void TestDiskScriptFile::formatScriptIsWrittenHiddenWithLfOnly() {
    TestHost host;
    QVERIFY2(host.isValid(), qPrintable(host.error()));
    const QString file = diskScriptFile(QStringLiteral("C:\\Users\\User\\AppData\\Local\\Temp\\"));
    QVERIFY(writeDiskScript(file, formatScript(2)));
    QCOMPARE(host.read(file), QByteArray("select disk 2\n clean \n convert mbr \n create partition "
                                         "primary \n select partition 1 \n active \n format quick "
                                         "fs=fat32 \n assign letter=R \n exit"));
    QVERIFY(simhost::isHidden(host.root(), host.local(file)));
}

void TestDiskScriptFile::letterRemovalReplacesALeftOverFormatScript() {
    TestHost host;
    QVERIFY(host.isValid());
    const QString file = diskScriptFile(QStringLiteral("C:\\Users\\User\\AppData\\Local\\Temp\\"));
    // Left behind visible by a process that ended in the middle of a format.
    QVERIFY(host.write(file, formatScript(1).toLatin1()));
    QVERIFY(!simhost::isHidden(host.root(), host.local(file)));
    QVERIFY(writeDiskScript(file, letterRemovalScript()));
    QCOMPARE(host.read(file), QByteArray("Remove letter=Q"));
    QVERIFY(simhost::isHidden(host.root(), host.local(file)));
}

void TestDiskScriptFile::unwritableFolderIsReported() {
    TestHost host;
    QVERIFY(host.isValid());
    QVERIFY(
        !writeDiskScript(QStringLiteral("C:\\No such folder\\USBDiskFormat.bat"), formatScript(1)));
    QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("C:\\No such folder"))));
}

QTEST_GUILESS_MAIN(TestDiskScriptFile)
#include "tst_diskscriptfile.moc"
