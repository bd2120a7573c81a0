// The command runner: the exact interpreter line that reaches the simulated
// host and the result that comes back, and the rule that tells a dead
// transfer from a slow one.
#include "command/ShellCommandRunner.h"
#include "platform/HostPlatform.h"
#include "support/TestHost.h"

#include <QtTest>

class TestCommandRunner : public QObject {
    Q_OBJECT

private slots:
    void runsTheInterpreterLine_data();
    void runsTheInterpreterLine();
    void stallRule_data();
    void stallRule();
};

void TestCommandRunner::runsTheInterpreterLine_data() {
    QTest::addColumn<QString>("comspec"); // empty: unset
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<qint64>("result");
    QTest::addColumn<QString>("line"); // what the host ran; empty: nothing ran
    const QString cmd = QStringLiteral("C:\\Windows\\system32\\cmd.exe");
    // rmdir is an interpreter command, not a program of the system directory.
    const QString missing = QStringLiteral("C:\\Windows\\system32\\rmdir.exe");
    const QString quoted = QStringLiteral("\"C:\\Temp Work\\x\"  /S");
    QTest::newRow("exit code") << cmd << "exit 7"
                               << "" << 7LL << cmd + " /c exit 7 ";
    QTest::newRow("COMSPEC unset") << ""
                                   << "exit 3"
                                   << "" << 3LL << "CMD.EXE /c exit 3 ";
    QTest::newRow("no interpreter") << "C:\\Windows\\system32\\nothere\\cmd.exe"
                                    << "exit 0"
                                    << "" << kCommandNotStarted << "";
    QTest::newRow("unknown program, argument as given")
        << cmd << missing << quoted << 9009LL << cmd + " /c " + missing + ' ' + quoted;
    // The whole line may be 511 characters; a longer one is refused, never cut and run.
    const QString prefix = cmd + " /c " + missing + ' ';
    const QString fill(511 - prefix.size(), QLatin1Char('x'));
    QTest::newRow("511 characters") << cmd << missing << fill << 9009LL << prefix + fill;
    QTest::newRow("512 characters") << cmd << missing << fill + 'y' << kCommandNotStarted << "";
}

void TestCommandRunner::runsTheInterpreterLine() {
    QFETCH(QString, comspec);
    QFETCH(QString, command);
    QFETCH(QString, argument);
    QFETCH(qint64, result);
    QFETCH(QString, line);
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.comspec = comspec;
    TestHost host(setup);
    QVERIFY2(host.isValid(), qPrintable(host.error()));
    QCOMPARE(ShellCommandRunner(command.toUtf8().constData(), argument.toUtf8().constData()),
             result);
    const auto ran = host.commands();
    QCOMPARE(ran.size(), line.isEmpty() ? 0 : 1);
    if (!line.isEmpty()) {
        QCOMPARE(ran.at(0).line, line);
        QCOMPARE(ran.at(0).exitCode, result);
    }
}

void TestCommandRunner::stallRule_data() {
    // Samples "milliseconds:bytes so far", and the index of the first one at
    // which the transfer counts as dead (-1: never).
    QTest::addColumn<QString>("samples");
    QTest::addColumn<int>("stalledAt");
    QTest::newRow("silent for a whole minute") << "0:0 59999:0 60000:0" << 2;
    QTest::newRow("64 KiB a minute is enough")
        << "0:0 60000:65536 119999:65536 120000:131072" << -1;
    QTest::newRow("a byte short of 64 KiB") << "0:0 60000:65535" << 1;
    QTest::newRow("each window judged from the last") << "0:0 60000:65536 120000:131071" << 2;
    QTest::newRow("half the image, then a byte every 50 s")
        << "0:119113402 50000:119113403 100000:119113404" << 2;
}

void TestCommandRunner::stallRule() {
    QFETCH(QString, samples);
    QFETCH(int, stalledAt);
    hostplatform::StallWatch watch;
    int first = -1;
    const QStringList list = samples.split(QLatin1Char(' '));
    for (int i = 0; i < list.size() && first < 0; ++i) {
        if (watch.stalled(list[i].section(':', 0, 0).toULongLong(),
                          list[i].section(':', 1, 1).toULongLong()))
            first = i;
    }
    QCOMPARE(first, stalledAt);
}

QTEST_GUILESS_MAIN(TestCommandRunner)
#include "tst_commandrunner.moc"
