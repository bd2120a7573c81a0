// The command runner: the exact interpreter line, and what reaches the
// caller when the simulated host's interpreter runs it.
#include "command/ShellCommandRunner.h"
#include "platform/HostPlatform.h"
#include "support/TestHost.h"

#include <QtTest>

class TestCommandRunner : public QObject {
    Q_OBJECT

private slots:
    void lineIsInterpreterSlashCCommandBlankArgument_data();
    void lineIsInterpreterSlashCCommandBlankArgument();
    void appendsThroughRedirectionAndPassesExitCodes();
    void comspecUnsetFallsBackToCmdOnSearchPath();
    void missingInterpreterReturnsAtOnce();
    void lineOf511CharactersRunsAndLongerIsRefused();
    void unknownProgramFailsLikeCmd();
    void stallRuleTellsADeadTransferFromASlowOne_data();
    void stallRuleTellsADeadTransferFromASlowOne();
};

void TestCommandRunner::lineIsInterpreterSlashCCommandBlankArgument_data() {
    QTest::addColumn<QString>("interpreter");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("line");
    QTest::newRow("comspec") << "C:\\Windows\\system32\\cmd.exe"
                             << "C:\\Windows\\system32\\dism.exe /cleanup-wim"
                             << ""
                             << "C:\\Windows\\system32\\cmd.exe /c "
                                "C:\\Windows\\system32\\dism.exe /cleanup-wim ";
    QTest::newRow("fallback") << "CMD.EXE"
                              << "echo x"
                              << ""
                              << "CMD.EXE /c echo x ";
    QTest::newRow("argument") << "CMD.EXE"
                              << "echo"
                              << "a b"
                              << "CMD.EXE /c echo a b";
    QTest::newRow("empty command") << "CMD.EXE"
                                   << ""
                                   << ""
                                   << "CMD.EXE /c  ";
}

void TestCommandRunner::lineIsInterpreterSlashCCommandBlankArgument() {
    QFETCH(QString, interpreter);
    QFETCH(QString, command);
    QFETCH(QString, argument);
    QFETCH(QString, line);
    QCOMPARE(QString::fromStdString(buildInterpreterLine(interpreter.toStdString(),
                                                         command.toUtf8().constData(),
                                                         argument.toUtf8().constData())),
             line);
}

void TestCommandRunner::appendsThroughRedirectionAndPassesExitCodes() {
    TestHost host;
    QVERIFY2(host.isValid(), qPrintable(host.error()));
    const QByteArray target = "C:\\Users\\User\\AppData\\Local\\Temp\\out.txt";
    QCOMPARE(ShellCommandRunner("echo first >> " + target, ""), 0LL);
    QCOMPARE(ShellCommandRunner("echo second >> " + target, ""), 0LL);
    QCOMPARE(host.read(QString::fromLatin1(target)), QByteArray("first\r\nsecond\r\n"));

    QCOMPARE(ShellCommandRunner("exit 7", ""), 7LL);
    QCOMPARE(ShellCommandRunner("exit 0", ""), 0LL);

    const auto log = host.commands();
    QCOMPARE(log.size(), 4);
    QCOMPARE(log.at(0).line, "C:\\Windows\\system32\\cmd.exe /c echo first >> " +
                                 QString::fromLatin1(target) + ' ');
    QCOMPARE(log.at(2).exitCode, 7LL);
}

void TestCommandRunner::comspecUnsetFallsBackToCmdOnSearchPath() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.comspec.clear();
    TestHost host(setup);
    QVERIFY(host.isValid());
    QCOMPARE(ShellCommandRunner("exit 3", ""), 3LL);
    QCOMPARE(host.commands().value(0).line, QStringLiteral("CMD.EXE /c exit 3 "));
}

void TestCommandRunner::missingInterpreterReturnsAtOnce() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.comspec = QStringLiteral("C:\\Windows\\system32\\nothere\\cmd.exe");
    TestHost host(setup);
    QVERIFY(host.isValid());
    QCOMPARE(ShellCommandRunner("exit 0", ""), kCommandNotStarted);
    QVERIFY(host.commands().isEmpty());
}

void TestCommandRunner::lineOf511CharactersRunsAndLongerIsRefused() {
    TestHost host;
    QVERIFY(host.isValid());
    const QByteArray prefix = "C:\\Windows\\system32\\cmd.exe /c ";
    // "echo " + padding + trailing blank makes the whole line.
    const int padding = 511 - prefix.size() - 5 - 1;
    const QByteArray command = "echo " + QByteArray(padding, 'x');
    QCOMPARE(ShellCommandRunner(command, ""), 0LL);
    QCOMPARE(host.commands().size(), 1);
    QCOMPARE(host.commands().at(0).line.size(), 511);
    QCOMPARE(host.commands().at(0).line, QString::fromLatin1(prefix + command + ' '));

    // One character more is refused whole, never cut and run.
    QCOMPARE(ShellCommandRunner(command + "y", ""), kCommandNotStarted);
    QCOMPARE(host.commands().size(), 1);
}

void TestCommandRunner::unknownProgramFailsLikeCmd() {
    TestHost host;
    QVERIFY(host.isValid());
    // rmdir is an interpreter command, not a program of the system directory.
    QCOMPARE(ShellCommandRunner("C:\\Windows\\system32\\rmdir.exe /S /Q C:\\mount", ""), 9009LL);
    QCOMPARE(host.commands().value(0).exitCode, 9009LL);
}

void TestCommandRunner::stallRuleTellsADeadTransferFromASlowOne_data() {
    // Samples of (milliseconds since the start, bytes so far), and the
    // index of the first sample at which the transfer counts as stalled.
    QTest::addColumn<QList<qint64>>("times");
    QTest::addColumn<QList<qint64>>("bytes");
    QTest::addColumn<int>("stalledAt");
    const qint64 half = 119113402;
    QTest::newRow("silent from the start")
        << QList<qint64>{0, 30000, 59999, 60000} << QList<qint64>{0, 0, 0, 0} << 3;
    QTest::newRow("half the image, then a byte every 50 seconds")
        << QList<qint64>{0, 50000, 100000, 150000}
        << QList<qint64>{half, half + 1, half + 2, half + 3} << 2;
    QTest::newRow("a kilobyte short of the floor in a minute")
        << QList<qint64>{0, 60000} << QList<qint64>{0, 63 * 1024} << 1;
    QTest::newRow("2 KiB a second for ten minutes: slow, not dead")
        << QList<qint64>{0, 60000, 120000, 300000, 600000}
        << QList<qint64>{0, 120 * 1024, 240 * 1024, 600 * 1024, 1200 * 1024} << -1;
    QTest::newRow("a long pause inside a fast transfer")
        << QList<qint64>{0, 10000, 60000, 100000, 119000}
        << QList<qint64>{0, 10000000, 10000000, 10000000, 20000000} << -1;
    QTest::newRow("fast, then silent") << QList<qint64>{0, 60000, 100000, 120000}
                                       << QList<qint64>{0, 50000000, 50000000, 50000000} << 3;
}

void TestCommandRunner::stallRuleTellsADeadTransferFromASlowOne() {
    QFETCH(QList<qint64>, times);
    QFETCH(QList<qint64>, bytes);
    QFETCH(int, stalledAt);
    hostplatform::StallWatch watch;
    int first = -1;
    for (int i = 0; i < times.size() && first < 0; ++i) {
        if (watch.stalled(static_cast<unsigned long long>(times.at(i)),
                          static_cast<unsigned long long>(bytes.at(i))))
            first = i;
    }
    QCOMPARE(first, stalledAt);
}

QTEST_GUILESS_MAIN(TestCommandRunner)
#include "tst_commandrunner.moc"
