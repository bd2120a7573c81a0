// The decisions of a build at their boundaries: the disk script, volume
// layout, size threshold, link choice and checks, drive letter, quoting, and
// the parsers of the listing tools' real output. The command lines themselves
// are pinned once, end to end (tests/support/HostChecks).
#include "builder/BootFilePlan.h"
#include "builder/BuildCommands.h"
#include "builder/DiskScript.h"
#include "builder/DiskSize.h"
#include "builder/DriveListing.h"
#include "builder/VolumeLayout.h"
#include "command/CommandQuoting.h"

#include <QSet>
#include <QTextStream>
#include <QtTest>
#include <algorithm>

class TestBuilderCores : public QObject {
    Q_OBJECT

private slots:
    void formatScriptForEveryVolumeLayout();
    void volumeLayoutAtItsBoundaries_data();
    void volumeLayoutAtItsBoundaries();
    void sizeThreshold();
    void windows7IsFoundInAnyLetterCase();
    void downloadLinkCheck_data();
    void downloadLinkCheck();
    void newVolumeLetterSkipsLettersInUse();
    void quoteIfNeeded_data();
    void quoteIfNeeded();
    void listingParser_data();
    void listingParser();
    void diskSizeAnswer_data();
    void diskSizeAnswer();
};

// The one line that decides which disk is erased, and the volume it gets.
void TestBuilderCores::formatScriptForEveryVolumeLayout() {
    QCOMPARE(formatScript(4, QLatin1Char('T'), VolumeFileSystem::Fat32, 32768),
             QStringLiteral("select disk 4\n clean \n convert mbr \n create partition primary "
                            "size=32768 \n select partition 1 \n active \n format quick fs=fat32 "
                            "\n assign letter=T \n exit"));
    QCOMPARE(formatScript(1, QLatin1Char('R'), VolumeFileSystem::Ntfs, 0),
             QStringLiteral("select disk 1\n clean \n convert mbr \n create partition primary "
                            "\n select partition 1 \n active \n format quick fs=ntfs \n "
                            "assign letter=R \n exit"));
}

// Sizes in bytes. The first partition starts 1 MiB into the disk; FAT32
// takes 8 MiB and NTFS 72 MiB of a volume for itself, plus 1/256 of it.
void TestBuilderCores::volumeLayoutAtItsBoundaries_data() {
    QTest::addColumn<qint64>("disk");
    QTest::addColumn<qint64>("image");
    QTest::addColumn<qint64>("bootFiles");
    QTest::addColumn<bool>("fat32");
    QTest::addColumn<qint64>("partitionMB"); // 0: the whole disk
    QTest::addColumn<bool>("fits");
    const qint64 MiB = 1 << 20;
    const qint64 GiB = qint64(1) << 30;
    const qint64 image = 300000000;
    const qint64 boot = 20000000;
    QTest::newRow("16 GB stick") << qint64(16008609792) << image << boot << true << qint64(0)
                                 << true;
    QTest::newRow("disk of 32 GiB: whole disk")
        << 32 * GiB << image << boot << true << qint64(0) << true;
    QTest::newRow("partition of exactly 32 GiB: whole disk")
        << 32 * GiB + MiB << image << boot << true << qint64(0) << true;
    QTest::newRow("one byte more: 32 GiB partition")
        << 32 * GiB + MiB + 1 << image << boot << true << qint64(32768) << true;
    QTest::newRow("2 TB disk: 32 GiB partition")
        << qint64(2000365289472) << image << boot << true << qint64(32768) << true;
    QTest::newRow("image of 4 GiB - 1: FAT32")
        << 64 * GiB << 4 * GiB - 1 << boot << true << qint64(32768) << true;
    QTest::newRow("image of exactly 4 GiB: NTFS, whole disk")
        << 64 * GiB << 4 * GiB << boot << false << qint64(0) << true;
    QTest::newRow("5 GiB image on an 8 GB stick: NTFS")
        << qint64(8004304896) << 5 * GiB << boot << false << qint64(0) << true;
    // Volume 1,024,000,000: 8 MiB + 4,000,000 for FAT32 leaves 1,011,611,392.
    QTest::newRow("disk exactly large enough")
        << 1024000000 + MiB << 1011611392 - boot << boot << true << qint64(0) << true;
    QTest::newRow("disk one byte short")
        << 1024000000 + MiB - 1 << 1011611392 - boot << boot << true << qint64(0) << false;
    // Volume 6,400,000,000: 72 MiB + 25,000,000 for NTFS leaves 6,299,502,528.
    QTest::newRow("NTFS disk exactly large enough")
        << 6400000000 + MiB << 6299502528 - boot << boot << false << qint64(0) << true;
    QTest::newRow("NTFS disk one byte short")
        << 6400000000 + MiB - 1 << 6299502528 - boot << boot << false << qint64(0) << false;
    QTest::newRow("128 MiB stick")
        << 128 * MiB << qint64(238226804) << boot << true << qint64(0) << false;
    QTest::newRow("disk smaller than its partition offset")
        << MiB / 2 << qint64(0) << qint64(0) << true << qint64(0) << false;
    QTest::newRow("size unknown") << qint64(-1) << image << boot << true << qint64(0) << false;
}

void TestBuilderCores::volumeLayoutAtItsBoundaries() {
    QFETCH(qint64, disk);
    QFETCH(qint64, image);
    QFETCH(qint64, bootFiles);
    QFETCH(bool, fat32);
    QFETCH(qint64, partitionMB);
    QFETCH(bool, fits);
    const VolumeLayout layout = chooseVolumeLayout(disk, image, bootFiles);
    QCOMPARE(layout.fits, fits);
    if (disk < 0)
        return;
    QCOMPARE(layout.fileSystem == VolumeFileSystem::Fat32, fat32);
    QCOMPARE(layout.partitionMegabytes, partitionMB);
    QVERIFY(!fat32 || layout.volumeBytes <= qint64(32) << 30);
}

void TestBuilderCores::sizeThreshold() {
    QCOMPARE(kMinimumImageSize, qint64(0x0E330D74));
    QVERIFY(!passesSizeTest(0));
    QVERIFY(!passesSizeTest(238226803));
    QVERIFY(passesSizeTest(238226804));
    QVERIFY(passesSizeTest(Q_INT64_C(5000000000)));
}

void TestBuilderCores::windows7IsFoundInAnyLetterCase() {
    QVERIFY(namesWindows7(QStringLiteral("Windows 7 Professional")));
    QVERIFY(namesWindows7(QStringLiteral("microsoft windows 7 ultimate")));
    QVERIFY(namesWindows7(QStringLiteral("WINDOWS 7")));
    QVERIFY(!namesWindows7(QStringLiteral("Windows 10 Pro")));
    QVERIFY(!namesWindows7(QStringLiteral("Windows7")));
    QVERIFY(!namesWindows7(QString()));
    QVERIFY(downloadLinkValueName(true) != downloadLinkValueName(false));
}

void TestBuilderCores::downloadLinkCheck_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("usable");
    QTest::newRow("http") << "http://dl.example.com/pe/boot.wim" << true;
    QTest::newRow("https with query and &") << "https://dl.example.com/get?f=boot.wim&v=2" << true;
    QTest::newRow("port") << "http://127.0.0.1:8080/boot.wim" << true;
    QTest::newRow("scheme in capitals") << "HTTP://dl.example.com/boot.wim" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("no scheme") << "dl.example.com/boot.wim" << false;
    QTest::newRow("ftp") << "ftp://dl.example.com/boot.wim" << false;
    QTest::newRow("file") << "file:///C:/boot.wim" << false;
    QTest::newRow("no host") << "http:///boot.wim" << false;
    QTest::newRow("blank") << "http://dl.example.com/boot wim" << false;
    QTest::newRow("leading blank") << " http://dl.example.com/boot.wim" << false;
    QTest::newRow("double quote") << "http://dl.example.com/a\"&calc" << false;
    QTest::newRow("line feed") << "http://dl.example.com/boot.wim\n&del x" << false;
    QTest::newRow("tab") << "http://dl.example.com/\tboot.wim" << false;
    QTest::newRow("non-ASCII") << QString::fromUtf8("http://dl.example.com/b\xc3\xb6ot.wim")
                               << false;
}

void TestBuilderCores::downloadLinkCheck() {
    QFETCH(QString, link);
    QFETCH(bool, usable);
    QCOMPARE(isUsableDownloadLink(link), usable);
}

void TestBuilderCores::newVolumeLetterSkipsLettersInUse() {
    auto inUse = [](const QString &letters) {
        return [letters](QChar l) { return letters.contains(l); };
    };
    QCOMPARE(newVolumeLetter(inUse(QStringLiteral("CDEQ"))), QChar(QLatin1Char('R')));
    QCOMPARE(newVolumeLetter(inUse(QStringLiteral("R"))), QChar(QLatin1Char('S')));
    QCOMPARE(newVolumeLetter(inUse(QStringLiteral("RSTU"))), QChar(QLatin1Char('V')));
    QCOMPARE(newVolumeLetter(inUse(QStringLiteral("RSTUVWXY"))), QChar(QLatin1Char('Z')));
    QVERIFY(newVolumeLetter(inUse(QStringLiteral("RSTUVWXYZ"))).isNull());
}

void TestBuilderCores::quoteIfNeeded_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("written");
    QTest::newRow("plain") << "C:\\Users\\User\\AppData\\Local\\Temp\\DiskInfo.txt"
                           << "C:\\Users\\User\\AppData\\Local\\Temp\\DiskInfo.txt";
    QTest::newRow("slash and dot") << "C:/DownloadFIle\\Boot.wim"
                                   << "C:/DownloadFIle\\Boot.wim";
    QTest::newRow("blank") << "C:\\Users\\Jane Doe\\x"
                           << "\"C:\\Users\\Jane Doe\\x\"";
    const QString specials = QStringLiteral("&()^;,=!'+`~[]{}");
    for (const QChar c : specials) {
        const QString path = QStringLiteral("C:\\Users\\a") + c + QStringLiteral("b\\x");
        QTest::newRow(qPrintable(QStringLiteral("special ") + c)) << path << '"' + path + '"';
    }
}

void TestBuilderCores::quoteIfNeeded() {
    QFETCH(QString, path);
    QFETCH(QString, written);
    QCOMPARE(::quoteIfNeeded(path), written);
}

void TestBuilderCores::diskSizeAnswer_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<qint64>("bytes");
    QTest::newRow("WMIC") << "Size         \r\n16008609792  \r\n\r\n" << qint64(16008609792);
    QTest::newRow("PowerShell") << "2000365289472\r\n" << qint64(2000365289472);
    QTest::newRow("no such disk") << "" << qint64(-1);
    QTest::newRow("no medium in the drive") << "Size  \r\n      \r\n\r\n" << qint64(-1);
    QTest::newRow("a sign is no size") << "Size\r\n-5\r\n+7\r\n" << qint64(-1);
}

void TestBuilderCores::diskSizeAnswer() {
    QFETCH(QString, answer);
    QFETCH(qint64, bytes);
    QTextStream stream(&answer);
    QCOMPARE(parseDiskSize(stream), bytes);
}

void TestBuilderCores::listingParser_data() {
    QTest::addColumn<QString>("listing");
    QTest::addColumn<QList<int>>("numbers");
    QTest::addColumn<QStringList>("models");
    QTest::newRow("WMIC, doubled line end left as \\r")
        << "Index  Model                          \r\n"
           "1      Generic Flash Disk USB Device  \r\n"
        << QList<int>{1} << QStringList{"Generic Flash Disk USB Device "};
    QTest::newRow("WMIC line with its \\r token")
        << "Index  Model  \r\r\n1      Generic Flash Disk USB Device  \r\r\n"
        << QList<int>{1} << QStringList{"Generic Flash Disk USB Device "};
    QTest::newRow("PowerShell, two drives in file order")
        << "3 SanDisk Ultra USB Device\r\n2 Kingston DataTraveler 3.0 USB Device\r\n"
        << QList<int>{3, 2}
        << QStringList{"SanDisk Ultra USB Device ", "Kingston DataTraveler 3.0 USB Device "};
    QTest::newRow("number and control token only: empty model") << "4 \r\r\n"
                                                                << QList<int>{4} << QStringList{""};
    QTest::newRow("single token, empty line, blanks") << "7\n\n    \n"
                                                      << QList<int>{} << QStringList{};
    QTest::newRow("only the header is the header: a model may hold Index")
        << "Index  Model  \r\r\n1      Index Drive USB Device  \r\r\n2      Other Drive  \r\r\n"
        << QList<int>{1, 2} << QStringList{"Index Drive USB Device ", "Other Drive "};
    QTest::newRow("first token not a plain decimal number")
        << "-1 Bad Drive\n+2 Bad Drive\n0x3 Bad Drive\nDisk Bad Drive\n"
           "99999999999 Too Large\n12 Good Drive\n"
        << QList<int>{12} << QStringList{"Good Drive "};
}

void TestBuilderCores::listingParser() {
    QFETCH(QString, listing);
    QFETCH(QList<int>, numbers);
    QFETCH(QStringList, models);
    QString text = listing;
    QTextStream stream(&text, QIODevice::ReadOnly);
    const QList<ListedDrive> drives = parseDriveListing(stream);
    QCOMPARE(drives.size(), numbers.size());
    for (int i = 0; i < drives.size(); ++i) {
        QCOMPARE(drives.at(i).number, numbers.at(i));
        QCOMPARE(drives.at(i).model, models.at(i));
    }
}

QTEST_GUILESS_MAIN(TestBuilderCores)
#include "tst_buildercores.moc"
