// The texts and decisions of a build, pinned exactly: disk scripts, boot-file
// plan, command lines, size threshold, link choice and checks, drive letter,
// quoting, and the drive listing's commands and parser.
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
    void formatScriptSelectsTheDiskAndAssignsR_data();
    void formatScriptSelectsTheDiskAndAssignsR();
    void formatScriptFollowsAnotherLetter();
    void formatScriptForEveryVolumeLayout();
    void volumeLayoutAtItsBoundaries_data();
    void volumeLayoutAtItsBoundaries();
    void diskpartLineQuotesOnlyAScriptPathThatNeedsIt();
    void bootFilePlanIsSixteenActionsInOrder();
    void bootFilePlanOnAnotherLetterChangesOnlyTheLetter();
    void finishedDriveLayoutListsEveryFileAndBothFontCopies();
    void imageCopyLine();
    void bitsadminLineQuotesTheLink();
    void cleanupLines();
    void sizeThreshold();
    void windows7IsFoundInAnyLetterCase();
    void downloadLinkCheck_data();
    void downloadLinkCheck();
    void newVolumeLetterSkipsLettersInUse();
    void quoteIfNeeded_data();
    void quoteIfNeeded();
    void listingCommands();
    void listingParser_data();
    void listingParser();
    void diskSizeAnswer_data();
    void diskSizeAnswer();
};

void TestBuilderCores::formatScriptSelectsTheDiskAndAssignsR_data() {
    QTest::addColumn<int>("disk");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("0") << 0 << "select disk 0";
    QTest::newRow("2") << 2 << "select disk 2";
    QTest::newRow("12") << 12 << "select disk 12";
}

void TestBuilderCores::formatScriptSelectsTheDiskAndAssignsR() {
    QFETCH(int, disk);
    QFETCH(QString, firstLine);
    QCOMPARE(formatScript(disk), firstLine + QStringLiteral("\n clean \n convert mbr \n create "
                                                            "partition primary \n select "
                                                            "partition 1 \n active \n format "
                                                            "quick fs=fat32 \n assign letter=R "
                                                            "\n exit"));
    QVERIFY(!formatScript(disk).contains(QLatin1Char('\r')));
}

void TestBuilderCores::formatScriptFollowsAnotherLetter() {
    QString expected = formatScript(3);
    expected.replace(QStringLiteral("letter=R"), QStringLiteral("letter=S"));
    QCOMPARE(formatScript(3, QLatin1Char('S')), expected);
    QCOMPARE(letterRemovalScript(), QStringLiteral("Remove letter=Q"));
}

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

void TestBuilderCores::diskpartLineQuotesOnlyAScriptPathThatNeedsIt() {
    const QString temp = QStringLiteral("C:\\Users\\User\\AppData\\Local\\Temp\\");
    QCOMPARE(diskScriptFile(temp), temp + QStringLiteral("USBDiskFormat.bat"));
    QCOMPARE(diskpartCommand(QStringLiteral("C:\\Windows\\system32"), diskScriptFile(temp)),
             QStringLiteral("C:\\Windows\\system32\\diskpart.exe /s "
                            "C:\\Users\\User\\AppData\\Local\\Temp\\USBDiskFormat.bat"));
    QCOMPARE(diskpartCommand(QStringLiteral("C:\\Windows\\system32"),
                             QStringLiteral("C:\\Users\\Jane Doe\\Temp\\USBDiskFormat.bat")),
             QStringLiteral("C:\\Windows\\system32\\diskpart.exe /s "
                            "\"C:\\Users\\Jane Doe\\Temp\\USBDiskFormat.bat\""));
}

void TestBuilderCores::bootFilePlanIsSixteenActionsInOrder() {
    using K = BootFileAction::Kind;
    const QString x = QStringLiteral("C:\\Windows\\system32\\Xcopy.exe /S /H /I ");
    const QList<BootFileAction> expected = {
        {K::CreateFolder, "R:\\boot\\fonts"},
        {K::CreateFolder, "R:\\boot\\resources"},
        {K::Copy, x + "C:\\Windows\\Boot\\Fonts\\* R:\\boot\\fonts\\"},
        {K::Copy, x + "C:\\Windows\\Boot\\Resources\\bootres.dll R:\\boot\\resources\\"},
        {K::Copy, x + "C:\\Windows\\Boot\\DVD\\PCAT\\BCD R:\\boot\\"},
        {K::Copy, x + "C:\\Windows\\Boot\\DVD\\PCAT\\boot.sdi R:\\boot\\"},
        {K::CreateFolder, "R:\\efi\\microsoft\\boot\\fonts"},
        {K::CreateFolder, "R:\\efi\\microsoft\\boot\\resources"},
        {K::Copy, x + "C:\\Windows\\Boot\\EFI\\bootmgfw.efi R:\\efi\\boot\\"},
        {K::Copy, x + "C:\\Windows\\Boot\\EFI\\bootmgfw.efi R:\\efi\\boot\\bootx64.efi*"},
        {K::Copy, x + "C:\\Windows\\Boot\\Fonts\\* R:\\efi\\microsoft\\boot\\fonts\\"},
        {K::Copy,
         x + "C:\\Windows\\Boot\\Resources\\bootres.dll R:\\efi\\microsoft\\boot\\resources\\"},
        {K::Copy, x + "C:\\Windows\\Boot\\DVD\\EFI\\BCD R:\\efi\\microsoft\\boot\\"},
        {K::CreateFolder, "R:\\Sources"},
        {K::Copy, x + "C:\\Windows\\Boot\\PCAT\\bootmgr R:\\"},
        {K::Copy, x + "C:\\Windows\\Boot\\EFI\\bootmgr.efi R:\\"},
    };
    const QList<BootFileAction> plan = bootFilePlan(QStringLiteral("C:\\Windows\\system32"));
    QCOMPARE(plan.size(), 16);
    for (int i = 0; i < plan.size(); ++i) {
        QCOMPARE(plan.at(i).kind, expected.at(i).kind);
        QCOMPARE(plan.at(i).text, expected.at(i).text);
    }
}

void TestBuilderCores::bootFilePlanOnAnotherLetterChangesOnlyTheLetter() {
    const QString system = QStringLiteral("D:\\WinNT\\System32");
    const QList<BootFileAction> onR = bootFilePlan(system);
    const QList<BootFileAction> onT = bootFilePlan(system, QLatin1Char('T'));
    QCOMPARE(onT.size(), onR.size());
    for (int i = 0; i < onR.size(); ++i) {
        QString text = onR.at(i).text;
        text.replace(QStringLiteral("R:\\"), QStringLiteral("T:\\"));
        QCOMPARE(onT.at(i).text, text);
        QVERIFY(!onT.at(i).text.contains(QStringLiteral("R:")));
        if (onT.at(i).kind == BootFileAction::Kind::Copy)
            QVERIFY(onT.at(i).text.startsWith(system + QStringLiteral("\\Xcopy.exe /S /H /I ")));
    }
}

void TestBuilderCores::finishedDriveLayoutListsEveryFileAndBothFontCopies() {
    const QList<DriveFile> layout = finishedDriveLayout(
        QLatin1Char('R'), {QStringLiteral("a_boot.ttf"), QStringLiteral("b_boot.ttf")},
        QStringLiteral("C:\\DownloadFIle\\boot.wim"));
    // Each file on the drive with the original it must equal.
    const QMap<QString, QString> expected = {
        {"R:\\bootmgr", "C:\\Windows\\Boot\\PCAT\\bootmgr"},
        {"R:\\bootmgr.efi", "C:\\Windows\\Boot\\EFI\\bootmgr.efi"},
        {"R:\\boot\\BCD", "C:\\Windows\\Boot\\DVD\\PCAT\\BCD"},
        {"R:\\boot\\boot.sdi", "C:\\Windows\\Boot\\DVD\\PCAT\\boot.sdi"},
        {"R:\\boot\\resources\\bootres.dll", "C:\\Windows\\Boot\\Resources\\bootres.dll"},
        {"R:\\efi\\boot\\bootmgfw.efi", "C:\\Windows\\Boot\\EFI\\bootmgfw.efi"},
        {"R:\\efi\\boot\\bootx64.efi", "C:\\Windows\\Boot\\EFI\\bootmgfw.efi"},
        {"R:\\efi\\microsoft\\boot\\BCD", "C:\\Windows\\Boot\\DVD\\EFI\\BCD"},
        {"R:\\efi\\microsoft\\boot\\resources\\bootres.dll",
         "C:\\Windows\\Boot\\Resources\\bootres.dll"},
        {"R:\\sources\\boot.wim", "C:\\DownloadFIle\\boot.wim"},
        {"R:\\boot\\fonts\\a_boot.ttf", "C:\\Windows\\Boot\\Fonts\\a_boot.ttf"},
        {"R:\\boot\\fonts\\b_boot.ttf", "C:\\Windows\\Boot\\Fonts\\b_boot.ttf"},
        {"R:\\efi\\microsoft\\boot\\fonts\\a_boot.ttf", "C:\\Windows\\Boot\\Fonts\\a_boot.ttf"},
        {"R:\\efi\\microsoft\\boot\\fonts\\b_boot.ttf", "C:\\Windows\\Boot\\Fonts\\b_boot.ttf"},
    };
    QMap<QString, QString> actual;
    for (const DriveFile &file : layout)
        actual.insert(file.onDrive, file.source);
    QCOMPARE(layout.size(), expected.size());
    QCOMPARE(actual, expected);
    const QList<DriveFile> onS = finishedDriveLayout(QLatin1Char('S'), {}, QStringLiteral("x"));
    QVERIFY(std::any_of(onS.begin(), onS.end(), [](const DriveFile &f) {
        return f.onDrive == QLatin1String("S:\\sources\\boot.wim");
    }));
}

void TestBuilderCores::imageCopyLine() {
    QCOMPARE(imageSourcePath(), QStringLiteral("C:\\DownloadFIle\\Boot.wim"));
    QCOMPARE(imageCopyCommand(QStringLiteral("C:\\Windows\\system32"), imageSourcePath()),
             QStringLiteral("C:\\Windows\\system32\\Xcopy.exe /E /H /I C:\\DownloadFIle\\Boot.wim "
                            "R:\\sources\\boot.wim*"));
    QCOMPARE(imageCopyCommand(QStringLiteral("C:\\Windows\\system32"), imageSourcePath(),
                              QLatin1Char('S')),
             QStringLiteral("C:\\Windows\\system32\\Xcopy.exe /E /H /I C:\\DownloadFIle\\Boot.wim "
                            "S:\\sources\\boot.wim*"));
}

void TestBuilderCores::bitsadminLineQuotesTheLink() {
    QCOMPARE(bitsadminCommand(QStringLiteral("http://example.com/boot.wim")),
             QStringLiteral("bitsadmin.exe /transfer myDownloadJob /download /priority normal "
                            "\"http://example.com/boot.wim\" C:\\DownloadFIle\\boot.wim"));
    QCOMPARE(bitsadminCommand(QStringLiteral("https://h.example/get?id=7&lang=en")),
             QStringLiteral("bitsadmin.exe /transfer myDownloadJob /download /priority normal "
                            "\"https://h.example/get?id=7&lang=en\" C:\\DownloadFIle\\boot.wim"));
}

void TestBuilderCores::cleanupLines() {
    const QString s = QStringLiteral("C:\\Windows\\system32");
    QCOMPARE(dismCleanupCommand(s), QStringLiteral("C:\\Windows\\system32\\dism.exe /cleanup-wim"));
    QCOMPARE(rmdirCommand(s, QStringLiteral("C:\\mount")),
             QStringLiteral("C:\\Windows\\system32\\rmdir.exe /S /Q C:\\mount"));
    QCOMPARE(rmdirCommand(s, QStringLiteral("C:\\DownloadFIle")),
             QStringLiteral("C:\\Windows\\system32\\rmdir.exe /S /Q C:\\DownloadFIle"));
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
    QCOMPARE(downloadLinkValueName(true), QStringLiteral("DownloadLink_Win7_bootwim"));
    QCOMPARE(downloadLinkValueName(false), QStringLiteral("DownloadLink_bootwim"));
    QCOMPARE(windowsVersionKeys(),
             QStringList({"HKEY_LOCAL_MACHINE\\SOFTWARE\\MicroSoft\\Windows NT\\CurrentVersion",
                          "HKEY_LOCAL_MACHINE\\SOFTWARE\\MicroSoft\\Windows\\CurrentVersion"}));
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

void TestBuilderCores::listingCommands() {
    const QString s = QStringLiteral("C:\\Windows\\system32");
    QCOMPARE(driveListingFile(QStringLiteral("C:\\T\\")), QStringLiteral("C:\\T\\DiskInfo.txt"));
    QCOMPARE(wmicListingCommand(s, QStringLiteral("C:\\T\\DiskInfo.txt")),
             QStringLiteral("C:\\Windows\\system32\\wbem\\WMIC.exe diskdrive where "
                            "\"MediaType='Removable Media'\" get Index,Model >> "
                            "C:\\T\\DiskInfo.txt"));
    QCOMPARE(wmicListingCommand(s, QStringLiteral("C:\\A B\\DiskInfo.txt")),
             QStringLiteral("C:\\Windows\\system32\\wbem\\WMIC.exe diskdrive where "
                            "\"MediaType='Removable Media'\" get Index,Model >> "
                            "\"C:\\A B\\DiskInfo.txt\""));
    QCOMPARE(powerShellListingCommand(s, QStringLiteral("C:\\T\\DiskInfo.txt")),
             QStringLiteral("C:\\Windows\\system32\\WindowsPowerShell\\v1.0\\powershell.exe "
                            "-NoProfile -NonInteractive -Command \"[Console]::OutputEncoding = "
                            "[Text.Encoding]::UTF8; Get-CimInstance -ClassName "
                            "Win32_DiskDrive -Filter \\\"MediaType='Removable Media'\\\" | "
                            "ForEach-Object { '' + $_.Index + ' ' + $_.Model }\" >> "
                            "C:\\T\\DiskInfo.txt"));
    QCOMPARE(wmicDiskSizeCommand(s, 12, QStringLiteral("C:\\A B\\DiskInfo.txt")),
             QStringLiteral("C:\\Windows\\system32\\wbem\\WMIC.exe diskdrive where Index=12 get "
                            "Size >> \"C:\\A B\\DiskInfo.txt\""));
    QCOMPARE(powerShellDiskSizeCommand(s, 2, QStringLiteral("C:\\T\\DiskInfo.txt")),
             QStringLiteral("C:\\Windows\\system32\\WindowsPowerShell\\v1.0\\powershell.exe "
                            "-NoProfile -NonInteractive -Command \"(Get-CimInstance -ClassName "
                            "Win32_DiskDrive -Filter 'Index=2').Size\" >> C:\\T\\DiskInfo.txt"));
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
