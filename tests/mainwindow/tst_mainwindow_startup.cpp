// The tool started in a process of its own from a folder of its own: the
// language that the host product's "LanguageType" picks and the catalogues
// found beside the executable, and the way out that starts the host product
// from the tool's folder and ends with exit code 0.
#include "app/AppContext.h"
#include "app/LanguageSelection.h"
#include "platform/sim/SimRegistry.h"
#include "support/TestHost.h"

#include <QProcess>

#include "platform/HostPlatform.h"
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

namespace {

const QString kToolName = QStringLiteral("BootableMediaCreator");
const QString kHostName = QStringLiteral("KestrinDataRecovery.exe");
const char *const kRecordVariable = "BMC_TEST_HOST_STARTS";

struct ToolRun {
    bool finished = false;
    int exitCode = -1;
    QMap<QString, QString> shown; // what the window showed, by name
    QString output;
};

// Copies the tool into folder, as the host product's installation holds it.
bool installTool(const QString &folder) {
    const QString target = folder + QLatin1Char('/') + kToolName;
    return QFile::copy(QStringLiteral(BMC_TOOL_UNDER_TEST), target) &&
           QFile::setPermissions(target, QFile::permissions(target) | QFile::ExeOwner);
}

// An executable shell script that notes each start: its argument count and
// the folder it was started in, or a fixed word.
bool writeRecorder(const QString &file, const QString &line) {
    QFile script(file);
    if (!script.open(QIODevice::WriteOnly))
        return false;
    script.write("#!/bin/sh\nprintf '%s\\n' \"" + line.toUtf8() + "\" >> \"$" + kRecordVariable +
                 "\"\n");
    script.close();
    return script.setPermissions(script.permissions() | QFile::ExeOwner);
}

ToolRun runTool(const QString &toolFolder, const QString &currentDir, const QString &record) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(kRecordVariable), record);
    if (!env.contains(QStringLiteral("BMC_HOSTSIM_CMD")))
        env.insert(QStringLiteral("BMC_HOSTSIM_CMD"),
                   QCoreApplication::applicationDirPath() + QStringLiteral("/hostsim-cmd"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(currentDir);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(toolFolder + QLatin1Char('/') + kToolName, QStringList());
    ToolRun run;
    run.finished = process.waitForFinished(60000);
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    for (const QString &line : run.output.split(QLatin1Char('\n'))) {
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0)
            run.shown.insert(line.left(eq), line.mid(eq + 1));
    }
    return run;
}

QStringList linesOf(const QString &file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// A small catalogue compiled with the build's lrelease: each message is
// context, source text, translation.
bool compileCatalogue(const QString &qmFile, const QList<QStringList> &messages) {
    QString ts = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
                                "<TS version=\"2.1\">\n");
    for (const QStringList &m : messages) {
        ts += QStringLiteral("<context><name>%1</name><message><source>%2</source>"
                             "<translation>%3</translation></message></context>\n")
                  .arg(m.at(0), m.at(1), m.at(2));
    }
    ts += QStringLiteral("</TS>\n");
    const QString tsFile = qmFile + QStringLiteral(".ts");
    QFile source(tsFile);
    if (!source.open(QIODevice::WriteOnly) || source.write(ts.toUtf8()) < 0)
        return false;
    source.close();
    const int code =
        QProcess::execute(QStringLiteral(BMC_LRELEASE),
                          {QStringLiteral("-silent"), tsFile, QStringLiteral("-qm"), qmFile});
    QFile::remove(tsFile);
    return code == 0 && QFileInfo(qmFile).size() > 0;
}

void setLanguageType(const TestHost &host, const QVariant &value) {
    QVERIFY(simhost::setRegistryValue(host.root(), AppContext::hostSettingsKey(),
                                      QStringLiteral("LanguageType"), value));
}

} // namespace

class TestMainWindowStartup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void languageAndCatalogues_data();
    void languageAndCatalogues();
    void secondStartHandsOverToTheFirst();
    void leavingStartsTheHostFromTheToolsFolder_data();
    void leavingStartsTheHostFromTheToolsFolder();
};

void TestMainWindowStartup::initTestCase() {
    fixHostIdentity();
    QVERIFY(QFileInfo(QStringLiteral(BMC_TOOL_UNDER_TEST)).isExecutable());
    QVERIFY(QFileInfo(QStringLiteral(BMC_LRELEASE)).isExecutable());
}

void TestMainWindowStartup::languageAndCatalogues_data() {
    QTest::addColumn<QVariant>("languageType");
    QTest::addColumn<QString>("folder");    // catalogue folder made, empty for none
    QTest::addColumn<QStringList>("files"); // "qt", "tool", "damaged tool"
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("cancel");

    const QStringList both{"qt", "tool"};
    QTest::newRow("7: both Korean catalogues, the tool's first")
        << QVariant(7) << QStringLiteral("KO") << both << QStringLiteral("KO")
        << QStringLiteral("title from LANG_KO") << QStringLiteral("cancel from qt_ko");
    QTest::newRow("2: qt_fr alone")
        << QVariant(2) << QStringLiteral("FR") << QStringList{"qt"} << QStringLiteral("FR")
        << QStringLiteral("title from qt_fr") << QStringLiteral("cancel from qt_fr");
    QTest::newRow("2: damaged LANG_FR")
        << QVariant(2) << QStringLiteral("FR") << QStringList{"qt", "damaged tool"}
        << QStringLiteral("FR") << QStringLiteral("title from qt_fr")
        << QStringLiteral("cancel from qt_fr");
    QTest::newRow("2: BootableTranslation removed")
        << QVariant(2) << QString() << QStringList() << QStringLiteral("FR")
        << QStringLiteral("Create Recovery Drive") << QStringLiteral("Cancel");
}

void TestMainWindowStartup::languageAndCatalogues() {
    QFETCH(QVariant, languageType);
    QFETCH(QString, folder);
    QFETCH(QStringList, files);
    QFETCH(QString, language);
    QFETCH(QString, title);
    QFETCH(QString, cancel);

    TestHost host;
    QVERIFY(host.isValid());
    setLanguageType(host, languageType);
    QTemporaryDir toolDir;
    QVERIFY(toolDir.isValid());
    QVERIFY(installTool(toolDir.path()));

    if (!folder.isEmpty()) {
        const QString dir = toolDir.filePath(QStringLiteral("BootableTranslation/") + folder);
        QVERIFY(QDir().mkpath(dir));
        const QString qt = QStringLiteral("qt_") + folder.toLower();
        const QString tool = QStringLiteral("LANG_") + folder;
        if (files.contains(QLatin1String("qt"))) {
            QVERIFY(
                compileCatalogue(dir + QLatin1Char('/') + qt + QStringLiteral(".qm"),
                                 {{"QCreateBootable", "Create Recovery Drive", "title from " + qt},
                                  {"Dialog", "Cancel", "cancel from " + qt}}));
        }
        if (files.contains(QLatin1String("tool"))) {
            QVERIFY(compileCatalogue(
                dir + QLatin1Char('/') + tool + QStringLiteral(".qm"),
                {{"QCreateBootable", "Create Recovery Drive", "title from " + tool}}));
        }
        if (files.contains(QLatin1String("damaged tool"))) {
            QFile damaged(dir + QLatin1Char('/') + tool + QStringLiteral(".qm"));
            QVERIFY(damaged.open(QIODevice::WriteOnly));
            damaged.write(QByteArray(64, '\x3c'));
        }
    }

    const ToolRun run = runTool(toolDir.path(), toolDir.path(), QString());
    QVERIFY2(run.finished, qPrintable(run.output));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.shown.value(QStringLiteral("language")), language);
    QCOMPARE(run.shown.value(QStringLiteral("title")), title);
    QCOMPARE(run.shown.value(QStringLiteral("cancel")), cancel);
    // The drive list is made as in any language.
    QCOMPARE(run.shown.value(QStringLiteral("drive")),
             QStringLiteral("Generic Flash Disk USB Device "));
}

void TestMainWindowStartup::leavingStartsTheHostFromTheToolsFolder_data() {
    QTest::addColumn<bool>("hostBesideTool");
    QTest::newRow("host executable beside the tool") << true;
    QTest::newRow("no host executable") << false;
}

void TestMainWindowStartup::leavingStartsTheHostFromTheToolsFolder() {
    QFETCH(bool, hostBesideTool);
    TestHost host;
    QVERIFY(host.isValid());
    QTemporaryDir toolDir;
    QTemporaryDir elsewhere;
    QVERIFY(toolDir.isValid() && elsewhere.isValid());
    QVERIFY(installTool(toolDir.path()));
    const QString toolFolder = QFileInfo(toolDir.path()).canonicalFilePath();
    if (hostBesideTool)
        QVERIFY(writeRecorder(toolDir.filePath(kHostName), QStringLiteral("$# $(pwd -P)")));
    // The current directory the tool is started in holds another one, which
    // must never be the one started.
    QVERIFY(writeRecorder(elsewhere.filePath(kHostName), QStringLiteral("started elsewhere")));
    const QString record = elsewhere.filePath(QStringLiteral("starts.txt"));

    const ToolRun run = runTool(toolDir.path(), elsewhere.path(), record);
    QVERIFY2(run.finished, qPrintable(run.output));
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.output.endsWith(QLatin1String("exit=0\n")), qPrintable(run.output));

    const QStringList shell = simhost::readLog(host.root(), QStringLiteral("shell.log"));
    QCOMPARE(shell.size(), 1);
    QCOMPARE(shell.first(),
             QStringLiteral("%1 %2/%3")
                 .arg(hostBesideTool ? QLatin1String("started") : QLatin1String("failed"))
                 .arg(QFileInfo(toolDir.path()).absoluteFilePath(), kHostName));
    if (hostBesideTool) {
        // Started once, with no arguments, in the tool's folder; the host is
        // not waited for, so its note may come after the tool has ended.
        QTRY_COMPARE(linesOf(record), QStringList{QStringLiteral("0 ") + toolFolder});
    }
    QTest::qWait(200);
    QCOMPARE(linesOf(record),
             hostBesideTool ? QStringList{QStringLiteral("0 ") + toolFolder} : QStringList());
}

void TestMainWindowStartup::secondStartHandsOverToTheFirst() {
    TestHost host;
    QVERIFY(host.isValid());
    QTemporaryDir toolDir;
    QVERIFY(toolDir.isValid());
    QVERIFY(installTool(toolDir.path()));
    // This test is the copy that runs already.
    QVERIFY(hostplatform::claimSingleInstance());

    const ToolRun run = runTool(toolDir.path(), toolDir.path(), QString());
    QVERIFY2(run.finished, qPrintable(run.output));
    QCOMPARE(run.exitCode, 0);
    // No window of its own, no listing, nothing started: the first copy's
    // window is brought to the front instead.
    QVERIFY2(!run.shown.contains(QStringLiteral("title")), qPrintable(run.output));
    QVERIFY(host.commands().isEmpty());
    QVERIFY(simhost::readLog(host.root(), QStringLiteral("shell.log")).isEmpty());
    QCOMPARE(simhost::readLog(host.root(), QStringLiteral("windows.log")),
             QStringList{QStringLiteral("activate the main window of process %1")
                             .arg(QCoreApplication::applicationPid())});
}

QTEST_GUILESS_MAIN(TestMainWindowStartup)
#include "tst_mainwindow_startup.moc"
