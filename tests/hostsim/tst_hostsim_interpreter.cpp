// The stand-in command interpreter: how it reads a line (chaining, quotes,
// escapes, variables, redirections) and finds programs, as cmd does.
#include "HostsimCommands.h"

#include <QtTest>

namespace {

const QString kOut = QStringLiteral("C:\\Users\\User\\AppData\\Local\\Temp\\out.txt");

} // namespace

class TestInterpreter : public QObject {
    Q_OBJECT

private slots:
    void missingProgramFailsWith9009();
    void bareNameIsFoundOnTheSearchPath();
    void unquotedAmpersandRunsASecondCommand();
    void conditionalChainsFollowTheExitCode();
    void exitEndsTheLine();
    void quotesCaretsAndVariables();
    void redirectionCreatesAppendsAndFails();
    void quotedProgramPathFollowsCmdsQuoteRule();
    void elevationIsRequiredForDiskpartAndDism();
    void faultsOnRequestStrikeAtTheirMoment();
};

void TestInterpreter::missingProgramFailsWith9009() {
    TestHost host;
    QVERIFY2(host.isValid(), qPrintable(host.error()));
    QVERIFY(host.write(QStringLiteral("C:\\mount\\winre\\keep.txt"), "x"));

    // The system directory has no rmdir.exe: rmdir is built into cmd.
    const QString line = systemProgram(QStringLiteral("rmdir.exe /S /Q C:\\mount"));
    QCOMPARE(runCommand(line), 9009LL);
    QCOMPARE(takeConsole(host),
             QByteArray("'C:\\Windows\\system32\\rmdir.exe' is not recognized as an internal or "
                        "external command,\r\noperable program or batch file.\r\n"));
    QVERIFY(QFile::exists(host.local(QStringLiteral("C:\\mount\\winre\\keep.txt"))));

    QCOMPARE(runCommand(QStringLiteral("nothere.exe /x")), 9009LL);
    // A program name without extension runs only with one of PATHEXT's.
    QCOMPARE(runCommand(QStringLiteral("C:\\Windows\\system32\\dism /cleanup-wim")), 0LL);

    const auto log = host.commands();
    QCOMPARE(log.size(), 3);
    QCOMPARE(log.at(0).line,
             QStringLiteral("C:\\Windows\\system32\\cmd.exe /c ") + line + QLatin1Char(' '));
    QCOMPARE(log.at(0).exitCode, 9009LL);
    QCOMPARE(log.at(1).exitCode, 9009LL);
}

void TestInterpreter::bareNameIsFoundOnTheSearchPath() {
    TestHost host;
    QVERIFY(host.isValid());
    QCOMPARE(runCommand(QStringLiteral("dism.exe /cleanup-wim")), 0LL);
    QVERIFY(takeConsole(host).contains("The operation completed successfully."));
    // WMIC lives in the Wbem folder of the search path.
    QCOMPARE(runCommand(QStringLiteral("WMIC diskdrive get Index")), 0LL);
    QVERIFY(takeConsole(host).startsWith("Index  \r\r\n0      \r\r\n1      \r\r\n"));
}

void TestInterpreter::unquotedAmpersandRunsASecondCommand() {
    TestHost host;
    QVERIFY(host.isValid());
    QCOMPARE(runCommand(QStringLiteral("echo one >> %1 & echo two >> %1").arg(kOut)), 0LL);
    QCOMPARE(host.read(kOut), QByteArray("one\r\ntwo\r\n"));

    // The exit code is the last command's.
    QCOMPARE(runCommand(QStringLiteral("dism.exe /cleanup-wim & dism.exe /nothing")), 87LL);
    QCOMPARE(runCommand(QStringLiteral("dism.exe /nothing & dism.exe /cleanup-wim")), 0LL);

    // Inside quotes "&" is text.
    QCOMPARE(runCommand(QStringLiteral("echo \"a&b\" >> %1").arg(kOut)), 0LL);
    QCOMPARE(host.read(kOut), QByteArray("one\r\ntwo\r\n\"a&b\"\r\n"));

    // The command log holds the line once, as built, with the last code.
    const auto log = host.commands();
    QCOMPARE(log.size(), 4);
    QCOMPARE(log.at(1).line, QStringLiteral("C:\\Windows\\system32\\cmd.exe /c dism.exe "
                                            "/cleanup-wim & dism.exe /nothing "));
    QCOMPARE(log.at(1).exitCode, 87LL);
}

void TestInterpreter::conditionalChainsFollowTheExitCode() {
    TestHost host;
    QVERIFY(host.isValid());
    QCOMPARE(runCommand(QStringLiteral("dism.exe /nothing && echo skipped >> %1").arg(kOut)), 87LL);
    QVERIFY(!QFile::exists(host.local(kOut)));
    QCOMPARE(runCommand(QStringLiteral("dism.exe /nothing || echo ran >> %1").arg(kOut)), 0LL);
    QCOMPARE(runCommand(QStringLiteral("dism.exe /cleanup-wim || echo skipped >> %1").arg(kOut)),
             0LL);
    QCOMPARE(
        runCommand(QStringLiteral("dism.exe /nothing && echo no >> %1 & echo yes >> %1").arg(kOut)),
        0LL);
    QCOMPARE(host.read(kOut), QByteArray("ran\r\nyes\r\n"));
    // A pipe runs both sides; the code is the right side's.
    QCOMPARE(runCommand(QStringLiteral("dism.exe /nothing | dism.exe /cleanup-wim")), 0LL);
}

void TestInterpreter::exitEndsTheLine() {
    TestHost host;
    QVERIFY(host.isValid());
    QCOMPARE(runCommand(QStringLiteral("exit 3 & echo never >> %1").arg(kOut)), 3LL);
    QVERIFY(!QFile::exists(host.local(kOut)));
    QCOMPARE(runCommand(QStringLiteral("exit /b 4")), 4LL);
}

void TestInterpreter::quotesCaretsAndVariables() {
    TestHost host;
    QVERIFY(host.isValid());
    QCOMPARE(runCommand(QStringLiteral("echo a^&b ^> c >> %1").arg(kOut)), 0LL);
    // Defined variables expand, undefined ones stay as written (as in a
    // percent-encoded link).
    QCOMPARE(runCommand(QStringLiteral("echo %SystemRoot% %20b%20 %TEMP% >> %1").arg(kOut)), 0LL);
    QCOMPARE(
        host.read(kOut),
        QByteArray("a&b > c\r\nC:\\Windows %20b%20 C:\\Users\\User\\AppData\\Local\\Temp\r\n"));
}

void TestInterpreter::redirectionCreatesAppendsAndFails() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.tempDirectory = QStringLiteral("C:\\Users\\A B\\AppData\\Local\\Temp\\");
    TestHost host(setup);
    QVERIFY(host.isValid());
    const QString quoted = QStringLiteral("\"C:\\Users\\A B\\AppData\\Local\\Temp\\x.txt\"");
    QCOMPARE(runCommand(QStringLiteral("echo first >> ") + quoted), 0LL);
    QCOMPARE(runCommand(QStringLiteral("echo second>>") + quoted), 0LL);
    QCOMPARE(host.read(QStringLiteral("C:\\Users\\A B\\AppData\\Local\\Temp\\x.txt")),
             QByteArray("first\r\nsecond\r\n"));
    QCOMPARE(runCommand(QStringLiteral("echo third > ") + quoted), 0LL);
    QCOMPARE(host.read(QStringLiteral("C:\\Users\\A B\\AppData\\Local\\Temp\\x.txt")),
             QByteArray("third\r\n"));
    takeConsole(host);

    // A redirection into a missing folder fails before the command runs.
    QCOMPARE(runCommand(QStringLiteral("exit 7 >> C:\\nothere\\x.txt")), 1LL);
    QCOMPARE(takeConsole(host), QByteArray("The system cannot find the path specified.\r\n"));
    QCOMPARE(runCommand(QStringLiteral("exit 7 >> Q:\\x.txt")), 1LL);
    QCOMPARE(takeConsole(host), QByteArray("The system cannot find the path specified.\r\n"));
    // "2>" sends the error text to the file.
    QCOMPARE(runCommand(QStringLiteral("nothere.exe 2>> ") + quoted), 9009LL);
    QVERIFY(host.read(QStringLiteral("C:\\Users\\A B\\AppData\\Local\\Temp\\x.txt"))
                .contains("'nothere.exe' is not recognized"));
    QVERIFY(takeConsole(host).isEmpty());
}

void TestInterpreter::quotedProgramPathFollowsCmdsQuoteRule() {
    TestHost host;
    QVERIFY(host.isValid());
    QVERIFY(host.write(QStringLiteral("C:\\Program Files\\Tools\\dism.exe"), "stand-in"));
    // Exactly two quotes around an existing program: kept, and it runs.
    QCOMPARE(runCommand(QStringLiteral("\"C:\\Program Files\\Tools\\dism.exe\" /cleanup-wim")),
             0LL);
    takeConsole(host);
    // More quotes on the line: cmd drops the first and the last one, which
    // splits the program path at its blank.
    QCOMPARE(runCommand(QStringLiteral("\"C:\\Program Files\\Tools\\dism.exe\" \"/cleanup-wim\"")),
             9009LL);
    QVERIFY(takeConsole(host).startsWith("'C:\\Program' is not recognized"));
}

void TestInterpreter::elevationIsRequiredForDiskpartAndDism() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.elevated = false;
    TestHost host(setup);
    QVERIFY(host.isValid());
    QVERIFY(host.write(QStringLiteral("C:\\s.txt"), "select disk 1\nclean"));
    QCOMPARE(runCommand(systemProgram(QStringLiteral("diskpart.exe /s C:\\s.txt"))), 740LL);
    QCOMPARE(takeConsole(host), QByteArray("The requested operation requires elevation.\r\n"));
    QVERIFY(QFile::exists(host.local(QStringLiteral("E:\\Holiday photos\\beach.jpg"))));
    QCOMPARE(runCommand(systemProgram(QStringLiteral("dism.exe /cleanup-wim"))), 740LL);
    QVERIFY(takeConsole(host).contains("Elevated permissions are required to run DISM."));
}

void TestInterpreter::faultsOnRequestStrikeAtTheirMoment() {
    // DISM's second start fails as the real one does when access is denied;
    // the stick is taken out just before the third command line.
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.faults.insert(QStringLiteral("toolFailures"), QStringLiteral("dism.exe:2:0"));
    setup.faults.insert(QStringLiteral("stickEvent"), QStringLiteral("unplug"));
    setup.faults.insert(QStringLiteral("stickEventAtLine"), 3);
    TestHost host(setup);
    QVERIFY(host.isValid());
    const QString dism = systemProgram(QStringLiteral("dism.exe /cleanup-wim"));
    const QString photo = host.local(QStringLiteral("E:\\Holiday photos\\beach.jpg"));

    QCOMPARE(runCommand(dism), 0LL);
    takeConsole(host);
    QCOMPARE(runCommand(dism), 5LL);
    QCOMPARE(takeConsole(host), QByteArray("\r\nError: 5\r\n\r\nAccess is denied.\r\n"));
    QVERIFY(QFile::exists(photo));
    QCOMPARE(runCommand(dism), 0LL); // only the second start fails
    QVERIFY(!QFile::exists(photo));
    QVERIFY(!QFileInfo::exists(host.root() + QStringLiteral("/disks/disk1")));
}

QTEST_GUILESS_MAIN(TestInterpreter)
#include "tst_hostsim_interpreter.moc"
