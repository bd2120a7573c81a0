// Command lines as they reach a Windows host: the exact interpreter line the
// product's command runner starts and the result it hands back, and the
// stand-ins' faithful rules that the tool's command lines depend on: how cmd
// and the C runtime read a line, and the limits of diskpart and Xcopy whose
// loss would let a wrong build pass.
#include "command/ShellCommandRunner.h"
#include "hostsim/WmicTable.h"
#include "platform/HostPlatform.h"
#include "sim/standins/CommandInterpreter.h"
#include "support/HostChecks.h"
#include "support/TestHost.h"

#include <QtTest>

namespace {

const QString kSystem = QStringLiteral("C:\\Windows\\system32\\");
// A program that someone other than Windows put on the host.
const QString kPlanted = QStringLiteral("C:\\Users\\Public\\cmd.exe");

long long run(const QString &command, const QString &argument = QString()) {
    return ShellCommandRunner(command.toUtf8().constData(), argument.toUtf8().constData());
}

} // namespace

class TestHostsim : public QObject {
    Q_OBJECT

private slots:
    void runnerStartsTheInterpreterLine_data() {
        QTest::addColumn<QString>("program"); // empty: the command through the interpreter
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<qint64>("result");
        QTest::addColumn<QString>("line");        // what the host ran; empty: nothing ran
        QTest::addColumn<QStringList>("console"); // its last lines of output; none: not looked at
        const QString cmd = kSystem + QStringLiteral("cmd.exe");
        // rmdir is an interpreter command, not a program of the system directory.
        const QString missing = kSystem + QStringLiteral("rmdir.exe");
        const QString quoted = QStringLiteral("\"C:\\Temp Work\\x\"  /S");
        const QString bitsadmin = kSystem + QStringLiteral("bitsadmin.exe");
        const QString none;
        const auto row = [](const char *name, const QString &program, const QString &command,
                            const QString &argument, qint64 result, const QString &line,
                            const QStringList &console = {}) {
            QTest::newRow(name) << program << command << argument << result << line << console;
        };
        row("exit code", none, "exit 7", none, 7, cmd + " /d /c exit 7 ");
        // An unknown program, its argument as given, and cmd's message; the
        // whole line may be 511 characters, a longer one is refused, never cut
        // and run.
        const QString prefix = cmd + " /d /c " + missing + ' ';
        const QString fill = quoted + QString(511 - prefix.size() - quoted.size(), 'x');
        row("511 characters", none, missing, fill, 9009, prefix + fill,
            {QString("'%1' is not recognized as an internal or external command,\r").arg(missing),
             "operable program or batch file.\r"});
        row("512 characters", none, missing, fill + 'y', kCommandNotStarted, none);
        // Started directly, no interpreter reads the arguments.
        row("program: %41% and & as written", bitsadmin, "/cancel %41%&x", none, 1,
            bitsadmin + " /cancel %41%&x", {"Unable to find job named %41%&x.\r"});
        row("program by a bare name: refused", "bitsadmin.exe", "/cancel x", none,
            kCommandNotStarted, none);
        row("program that is not there", kSystem + "nothere.exe", "/a", none, kCommandNotStarted,
            none);
        row("a program someone put there: noted, nothing of Windows runs", kPlanted, "/d /c exit 0",
            none, 1, kPlanted + " /d /c exit 0", {kPlanted + ": not a program of Windows\r"});
    }
    // The user's environment may name another interpreter (COMSPEC) and a
    // command for cmd to run first (AutoRun); neither is ever used.
    void runnerStartsTheInterpreterLine() {
        QFETCH(QString, program);
        QFETCH(QString, command);
        QFETCH(QString, argument);
        QFETCH(qint64, result);
        QFETCH(QString, line);
        QFETCH(QStringList, console);
        simhost::HostSpec setup = simhost::sampleHostSpec();
        setup.comspec = kPlanted;
        setup.registry.append({"HKEY_CURRENT_USER\\Software\\Microsoft\\Command Processor",
                               "AutoRun", "echo ran>>C:\\autorun.txt"});
        TestHost host(setup);
        QVERIFY2(host.isValid(), qPrintable(host.error()));
        QVERIFY(host.write(kPlanted, "planted"));
        simhost::setHostSetting(host.root(), "environment/41", "planted");
        QCOMPARE(program.isEmpty()
                     ? run(command, argument)
                     : ProgramRunner(program.toUtf8().constData(), command.toUtf8().constData()),
                 result);
        // Logged: the line, its exit code, the program and the folder it ran in.
        const QString started = program.isEmpty() ? kSystem + "cmd.exe" : program;
        QStringList ran;
        for (const simhost::LoggedCommand &c : host.commands())
            ran << c.line << QString::number(c.exitCode) << c.program << c.workingFolder;
        QCOMPARE(ran, line.isEmpty() ? QStringList()
                                     : QStringList({line, QString::number(result), started,
                                                    kSystem.chopped(1)}));
        const QStringList output = simhost::readLog(host.root(), QStringLiteral("console.log"));
        QCOMPARE(output.mid(output.size() - console.size()), console);
        QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("C:\\autorun.txt"))));
        // The stand-in cmd does run AutoRun when a line lacks /d, as cmd does.
        if (result == 7) {
            hostsim::runInterpreterLine(host.root(), kSystem + "cmd.exe /c exit 0", QString());
            QCOMPARE(host.read(QStringLiteral("C:\\autorun.txt")), QByteArray("ran\r\n"));
        }
    }

    void cmdReadsTheLine_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("commands"); // text, then "|>>file" or "|>file"
        const QString pf = QStringLiteral("\"C:\\Program Files\\x.exe\"");
        QTest::newRow("two quotes around a program: kept") << pf + " /a" << QStringList{pf + " /a"};
        QTest::newRow("more quotes: first and last dropped")
            << pf + " \"/a\"" << QStringList{"C:\\Program Files\\x.exe\" \"/a"};
        QTest::newRow("quotes around no program: dropped")
            << "\"C:\\No Such\\y.exe\" /a" << QStringList{"C:\\No Such\\y.exe /a"};
        QTest::newRow("ampersand splits, unless quoted or after a caret")
            << "a.exe 1 & b.exe \"x&y\" x^&y ^> z"
            << QStringList{"a.exe 1 ", " b.exe \"x&y\" x&y > z"};
        QTest::newRow("backslash does not escape a quote for cmd")
            << "p.exe \"x \\\"a & b\\\"\"" << QStringList{"p.exe \"x \\\"a ", " b\\\"\""};
        QTest::newRow("set variables expand, others stay")
            << "a.exe %temp%\\f %NOPE% %20b%20" << QStringList{"a.exe C:\\T\\f %NOPE% %20b%20"};
        QTest::newRow("append to a quoted file, write a file, then the next command")
            << "w.exe get >> \"C:\\A B\\l.txt\"& w.exe >C:\\l.txt& x.exe"
            << QStringList{"w.exe get |>>C:\\A B\\l.txt", " w.exe |>C:\\l.txt", " x.exe"};
    }
    void cmdReadsTheLine() {
        QFETCH(QString, line);
        QFETCH(QStringList, commands);
        const auto parsed = hostsim::parseInterpreterLine(
            kSystem + QStringLiteral("cmd.exe /c ") + line, {{QStringLiteral("TEMP"), "C:\\T"}},
            [](const QString &path) { return path == QLatin1String("C:\\Program Files\\x.exe"); });
        QStringList got;
        for (const hostsim::ParsedCommand &c : parsed)
            got.append(c.text +
                       (c.output.isEmpty() ? QString() : (c.append ? "|>>" : "|>") + c.output));
        QCOMPARE(got, commands);
        QVERIFY(hostsim::parseInterpreterLine(kSystem + "cmd.exe /k a.exe", {}, {}).isEmpty());
    }

    void runtimeSplitsArguments_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("blanks outside quotes, empty and doubled quotes")
            << "a  \"b c\"\td \"\" \"a\"\"b\" c" << QStringList{"a", "b c", "d", "", "a\"b", "c"};
        QTest::newRow("backslashes before no quote")
            << "a\\\\b c\\" << QStringList{"a\\\\b", "c\\"};
        QTest::newRow("odd backslashes: literal quote; even: quote ends")
            << "\"a\\\"b\" \"a\\\\\" b" << QStringList{"a\"b", "a\\", "b"};
        QTest::newRow("the listing's filter")
            << "-Filter \\\"MediaType='Removable Media'\\\" | x"
            << QStringList{"-Filter", "\"MediaType='Removable", "Media'\"", "|", "x"};
    }
    void runtimeSplitsArguments() {
        QFETCH(QString, text);
        QFETCH(QStringList, arguments);
        QCOMPARE(hostsim::splitArguments(text), arguments);
    }

    void linesRunAsOnWindows() {
        simhost::HostSpec setup = simhost::sampleHostSpec();
        setup.disks[1].serial = QStringLiteral("  AA 01"); // blanks of its own, as some report it
        setup.disks[1].deviceId = R"(USBSTOR\DISK&VEN_GENERIC&PROD_FLASH_DISK&REV_8.07\AA01&0)";
        setup.disks[1].signature = QStringLiteral("2796295453");
        TestHost host(setup);
        QVERIFY2(host.isValid(), qPrintable(host.error()));
        // ">>" appends; WMIC writes UTF-16 with a byte-order mark, CR CR LF line
        // ends, its columns ordered by name and each as wide as its widest
        // value and two blanks.
        const QString wmic = kSystem + QStringLiteral("wbem\\WMIC.exe ");
        for (const QString query : {"diskdrive where \"MediaType='Removable Media'\" get "
                                    "Size,SerialNumber,Model,Signature,PNPDeviceID,Index",
                                    "path Win32_LogicalDiskToPartition get Dependent,Antecedent"})
            QCOMPARE(run(wmic + query + " >> C:\\l.txt"), 0LL);
        const QString node = R"(\\WINHOST\root\cimv2:Win32_)";
        const QString expected =
            QChar(0xfeff) +
            wmicTable({{"Index", "Model", "PNPDeviceID", "SerialNumber", "Signature", "Size"},
                       {"1", "Generic Flash Disk USB Device", setup.disks[1].deviceId, "  AA 01",
                        "2796295453", "16008609792"}}) +
            QChar(0xfeff) +
            wmicTable({{"Antecedent", "Dependent"},
                       {node + R"(DiskPartition.DeviceID="Disk #0, Partition #0")",
                        node + R"(LogicalDisk.DeviceID="C:")"},
                       {node + R"(DiskPartition.DeviceID="Disk #1, Partition #0")",
                        node + R"(LogicalDisk.DeviceID="E:")"}});
        const QByteArray table = host.read(QStringLiteral("C:\\l.txt"));
        QCOMPARE(QString(reinterpret_cast<const QChar *>(table.constData()), table.size() / 2),
                 expected);
        // A bare name is found on the search path.
        QCOMPARE(run(QStringLiteral("bitsadmin.exe /cancel none >> C:\\b.txt")), 1LL);
        QVERIFY(host.read(QStringLiteral("C:\\b.txt")).contains("Unable to find job named none."));
    }

    void toolLimits_data() {
        QTest::addColumn<qint64>("disk");
        QTest::addColumn<QString>("command"); // diskpart script, or the Xcopy line
        QTest::addColumn<int>("code");
        const QString make =
            QStringLiteral("select disk 1\nclean\nconvert mbr\ncreate partition primary");
        const QString fat32 = QStringLiteral("\nselect partition 1\nformat quick fs=fat32\nexit");
        const qint64 stick = 16008609792; // 15266 MiB after the first MiB
        const qint64 large = 64023257088;
        QTest::newRow("partition as large as the disk") << stick << make + " size=15266" << 0;
        QTest::newRow("partition larger than the disk") << stick << make + " size=15267" << 4;
        QTest::newRow("FAT32 of 32 GiB") << large << make + " size=32768" + fat32 << 0;
        QTest::newRow("FAT32 over 32 GiB") << large << make + fat32 << 4;
        // Refused before a byte is written; without the FAT limit the disk is
        // too small for the file.
        QTest::newRow("file of 4 GiB onto FAT")
            << (qint64(4) << 30) << "Xcopy.exe /E /H /I C:\\big.wim E:\\big.wim*" << 5;
    }
    void toolLimits() {
        QFETCH(qint64, disk);
        QFETCH(QString, command);
        QFETCH(int, code);
        simhost::HostSpec setup = simhost::sampleHostSpec();
        setup.disks[1].size = disk;
        TestHost host(setup);
        QVERIFY(host.isValid());
        QFile big(host.local(QStringLiteral("C:\\big.wim")));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(qint64(4) << 30));
        big.close();
        if (!command.startsWith(QLatin1String("Xcopy"))) {
            QVERIFY(host.write(QStringLiteral("C:\\s.txt"), command.toLatin1()));
            command = QStringLiteral("diskpart.exe /s C:\\s.txt");
        }
        QCOMPARE(run(kSystem + command), qint64(code));
        QVERIFY(!QFileInfo::exists(host.local(QStringLiteral("E:\\big.wim"))));
    }

    // diskpart driven through its input on the host: answers up to each
    // prompt, a selection that is the disk itself (a stick swapped in at its
    // number after "select" is not selected, and clean erases nothing), and
    // a wait that ends at its limit with the program.
    void consoleSession_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QVariantMap>("hostFaults");
        QTest::addColumn<QStringList>("commands"); // "!" + a line for the interpreter
        QTest::addColumn<QString>("lastAnswer");   // empty: none within the limit
        QTest::addColumn<qint64>("exitCode");
        const QString diskpart = kSystem + QStringLiteral("diskpart.exe");
        const QStringList select{"select disk 1", "detail disk"};
        QTest::newRow("a stick swapped in after select is not cleaned")
            << diskpart << QVariantMap{{"stickEvent", "swap"}, {"stickEventAtLine", 2}}
            << select + QStringList{"!exit 0", "clean"} << "\r\nThere is no disk selected." << 0LL;
        QTest::newRow("detail disk of the selected disk")
            << diskpart << QVariantMap() << select
            << "\r\nGeneric Flash Disk USB Device\r\nDisk ID: " << 0LL;
        QTest::newRow("no answer: ended at the limit")
            << diskpart << QVariantMap{{"diskpartHangAt", "detail"}} << select << QString()
            << qint64(hostplatform::kProcessStopped);
        QTest::newRow("no program by that path: nothing starts")
            << kSystem + QStringLiteral("nothere.exe") << QVariantMap() << QStringList()
            << QString() << qint64(hostplatform::kProcessNotStarted);
    }
    void consoleSession() {
        QFETCH(QString, program);
        QFETCH(QVariantMap, hostFaults);
        QFETCH(QStringList, commands);
        QFETCH(QString, lastAnswer);
        QFETCH(qint64, exitCode);
        simhost::HostSpec setup = simhost::sampleHostSpec();
        setup.faults = hostFaults; // the sample host has none of its own
        TestHost host(setup);
        QVERIFY2(host.isValid(), qPrintable(host.error()));
        hostplatform::ConsoleSession session;
        const bool started =
            session.start(program.toStdWString(), std::wstring(), kSystem.toStdWString());
        QCOMPARE(started, exitCode != hostplatform::kProcessNotStarted);
        std::string answer;
        bool answered = session.readUntil("DISKPART> ", &answer, 60000);
        QVERIFY2(answered == started, answer.c_str());
        for (const QString &command : commands) {
            if (command.startsWith('!')) {
                QCOMPARE(run(command.mid(1)), 0LL);
                continue;
            }
            QVERIFY(session.send(command.toStdString()));
            answered = session.readUntil("DISKPART> ", &answer, lastAnswer.isEmpty() ? 500 : 60000);
        }
        QCOMPARE(answered, !lastAnswer.isEmpty());
        if (answered)
            QVERIFY2(QString::fromStdString(answer).startsWith(lastAnswer), answer.c_str());
        QCOMPARE(session.finish(lastAnswer.isEmpty() ? 0 : 60000), exitCode);
        // Logged by its full path when it started; its exit code once it
        // ended, 1 when it had to be ended.
        const auto log = host.commands();
        QCOMPARE(log.isEmpty() ? QString() : log.first().line, started ? program : QString());
        if (started)
            QCOMPARE(log.first().exitCode,
                     exitCode == hostplatform::kProcessStopped ? 1 : exitCode);
        if (hostFaults.contains("stickEvent"))
            QVERIFY(hostchecks::stickAsPluggedIn(host, QStringLiteral("disk7")));
    }
};

QTEST_GUILESS_MAIN(TestHostsim)
#include "tst_hostsim.moc"
