// The tool started in a process of its own from a folder of its own, with
// command-line arguments it ignores, on a 144 dpi screen: the language that the
// host product's "LanguageType" picks and the catalogues found beside the
// executable, the scale and font size that follow the screen, and the way out
// that starts the host product from the tool's folder and ends with exit code 0;
// a second start hands over to the copy running in its session, and only there.
#include "app/AppContext.h"
#include "platform/HostPlatform.h"
#include "sim/platform/SimRegistry.h"
#include "support/TestHost.h"

#include <QtTest>

#include <memory>

namespace {

const QString kToolName = QStringLiteral("BootableMediaCreator");
const QString kHostName = QStringLiteral("KestrinDataRecovery.exe");
const char *const kRecordVariable = "BMC_TEST_HOST_STARTS";

// An executable shell script that notes each start: its argument count and
// the folder it was started in, or a fixed word.
bool writeRecorder(const QString &file, const QString &line) {
    QFile script(file);
    return script.open(QIODevice::WriteOnly) &&
           script.write("#!/bin/sh\nprintf '%s\\n' \"" + line.toUtf8() + "\" >> \"$" +
                        kRecordVariable + "\"\n") > 0 &&
           script.setPermissions(script.permissions() | QFile::ExeOwner);
}

// What the tool printed (what the window showed, a "name=value" line each,
// and its exit code), then "ended N": the process's exit code, -1 when it did
// not end by itself.
QString runTool(const QString &toolFolder, const QString &currentDir, const QString &record,
                const QString &session = QStringLiteral("1")) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(kRecordVariable), record);
    env.insert(QLatin1String(simhost::kSessionVariable), session);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(currentDir);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(toolFolder + QLatin1Char('/') + kToolName,
                  {QStringLiteral("--no-such-option"), QStringLiteral("C:\\a.txt")});
    const bool ended =
        process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return QString::fromUtf8(process.readAllStandardOutput()) +
           QStringLiteral("ended %1\n").arg(ended ? process.exitCode() : -1);
}

// A small catalogue compiled with the build's lrelease: each message is
// context, source text, translation.
bool compileCatalogue(const QString &qmFile, const QList<QStringList> &messages) {
    QString ts = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
                                "<TS version=\"2.1\">\n");
    for (const QStringList &m : messages)
        ts += QStringLiteral("<context><name>%1</name><message><source>%2</source>"
                             "<translation>%3</translation></message></context>\n")
                  .arg(m.at(0), m.at(1), m.at(2));
    QFile source(qmFile + QStringLiteral(".ts"));
    if (!source.open(QIODevice::WriteOnly) || source.write((ts + "</TS>\n").toUtf8()) < 0)
        return false;
    source.close();
    return QProcess::execute(QStringLiteral(BMC_LRELEASE),
                             {QStringLiteral("-silent"), source.fileName(), "-qm", qmFile}) == 0;
}

} // namespace

class TestMainWindowStartup : public QObject {
    Q_OBJECT
    std::unique_ptr<TestHost> m_host;
    std::unique_ptr<QTemporaryDir> m_toolDir;

private slots:
    // A fresh host with a 144 dpi screen, and the tool copied into a folder
    // of its own, as the host product's installation holds it.
    void init() {
        fixHostIdentity();
        simhost::HostSpec screen144 = simhost::sampleHostSpec();
        screen144.dpi = 144;
        m_host.reset(); // gives the process back its earlier host first
        m_host = std::make_unique<TestHost>(screen144);
        m_toolDir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_host->isValid() && m_toolDir->isValid());
        // Copied with its permissions: still a program.
        QVERIFY(QFile::copy(QStringLiteral(BMC_TOOL_UNDER_TEST), m_toolDir->filePath(kToolName)));
    }

    void languageAndCatalogues_data() {
        QTest::addColumn<QString>("folder");    // catalogue folder made, empty for none
        QTest::addColumn<QStringList>("files"); // "qt", "tool", "damaged tool"
        QTest::addColumn<QStringList>("shown"); // the title, the Cancel button
        QTest::newRow("7: both Korean catalogues, the tool's first")
            << "KO" << QStringList{"qt", "tool"}
            << QStringList{"title from LANG_KO", "cancel from qt_ko"};
        QTest::newRow("2: damaged LANG_FR") << "FR" << QStringList{"qt", "damaged tool"}
                                            << QStringList{"title from qt_fr", "cancel from qt_fr"};
        QTest::newRow("2: BootableTranslation removed")
            << "" << QStringList() << QStringList{"Create Recovery Drive", "Cancel"};
    }

    void languageAndCatalogues() {
        QFETCH(QString, folder);
        QFETCH(QStringList, files);
        QFETCH(QStringList, shown);
        const QString language = folder.isEmpty() ? QStringLiteral("FR") : folder;
        QVERIFY(simhost::setRegistryValue(m_host->root(), AppContext::hostSettingsKey(),
                                          QStringLiteral("LanguageType"),
                                          language == "KO" ? 7 : 2));
        const QString dir = m_toolDir->filePath(QStringLiteral("BootableTranslation/") + folder);
        const QString qt = "qt_" + folder.toLower();
        const QString tool = dir + "/LANG_" + folder + ".qm";
        if (!folder.isEmpty())
            QVERIFY(QDir().mkpath(dir));
        if (files.contains(QLatin1String("qt")))
            QVERIFY(
                compileCatalogue(dir + '/' + qt + ".qm",
                                 {{"QCreateBootable", "Create Recovery Drive", "title from " + qt},
                                  {"Dialog", "Cancel", "cancel from " + qt}}));
        if (files.contains(QLatin1String("tool")))
            QVERIFY(compileCatalogue(
                tool, {{"QCreateBootable", "Create Recovery Drive", "title from LANG_" + folder}}));
        if (files.contains(QLatin1String("damaged tool"))) {
            QFile damaged(tool);
            QVERIFY(damaged.open(QIODevice::WriteOnly) &&
                    damaged.write(QByteArray(64, '\x3c')) == 64);
        }

        const QString output = runTool(m_toolDir->path(), m_toolDir->path(), QString());
        // The drive list is made in any language, its numbers written as the
        // language writes them; scale and fonts follow the screen (10 points
        // at 144 dpi are 20 pixels).
        const QString size = language == "FR" ? "14,9" : "14.9";
        QCOMPARE(
            output.split('\n'),
            QStringList({"language=" + language, "title=" + shown.at(0), "cancel=" + shown.at(1),
                         "drive=Generic Flash Disk USB Device (" + size + " GB, E:)", "scale=1.5",
                         "font=20", "system=C:\\Windows\\system32", "exit=0", "ended 0", ""}));
    }

    void leavingStartsTheHostFromTheToolsFolder_data() {
        QTest::addColumn<bool>("hostBesideTool");
        QTest::newRow("host executable beside the tool") << true;
        QTest::newRow("no host executable") << false;
    }

    void leavingStartsTheHostFromTheToolsFolder() {
        QFETCH(bool, hostBesideTool);
        QTemporaryDir elsewhere;
        QVERIFY(elsewhere.isValid());
        const QString toolFolder = QFileInfo(m_toolDir->path()).canonicalFilePath();
        if (hostBesideTool)
            QVERIFY(writeRecorder(m_toolDir->filePath(kHostName), QStringLiteral("$# $(pwd -P)")));
        // The current directory the tool is started in holds another one, which
        // must never be the one started.
        QVERIFY(writeRecorder(elsewhere.filePath(kHostName), QStringLiteral("started elsewhere")));
        const QString record = QStringLiteral("starts.txt"); // in the host's folder, as its logs

        const QString output =
            runTool(m_toolDir->path(), elsewhere.path(), m_host->root() + '/' + record);
        QVERIFY2(output.endsWith(QLatin1String("exit=0\nended 0\n")), qPrintable(output));
        // The one program started (the simulated host notes each start) is the
        // one in the tool's folder, by its full path; without it nothing is
        // started at all.
        const QString beside = QFileInfo(m_toolDir->path()).absoluteFilePath() + '/' + kHostName;
        QCOMPARE(simhost::readLog(m_host->root(), QStringLiteral("shell.log")),
                 hostBesideTool ? QStringList{QStringLiteral("started ") + beside} : QStringList());
        // Started with no arguments, in the tool's folder; the host is not
        // waited for, so its note may come after the tool has ended.
        QTRY_COMPARE(simhost::readLog(m_host->root(), record),
                     hostBesideTool ? QStringList{"0 " + toolFolder} : QStringList());
    }

    void secondStartHandsOverToTheFirst_data() {
        QTest::addColumn<QString>("session"); // the second start's
        QTest::newRow("same session") << "1";
        QTest::newRow("another user's session") << "2";
    }

    void secondStartHandsOverToTheFirst() {
        QFETCH(QString, session);
        // This test is the copy that runs already, in session 1.
        qunsetenv(simhost::kSessionVariable);
        QVERIFY(hostplatform::claimSingleInstance());
        const QString output = runTool(m_toolDir->path(), m_toolDir->path(), QString(), session);
        if (session != QLatin1String("1")) {
            // A copy of its own, which shows its window and leaves as usual.
            QVERIFY2(output.contains("\ntitle=Create Recovery Drive\n") &&
                         output.endsWith(QLatin1String("exit=0\nended 0\n")),
                     qPrintable(output));
            QVERIFY(simhost::readLog(m_host->root(), QStringLiteral("windows.log")).isEmpty());
            return;
        }
        // No window of its own, no listing, nothing started: the first copy's
        // window is brought to the front instead.
        QCOMPARE(output, QStringLiteral("exit=0\nended 0\n"));
        QVERIFY(m_host->commands().isEmpty());
        QVERIFY(simhost::readLog(m_host->root(), QStringLiteral("shell.log")).isEmpty());
        QCOMPARE(simhost::readLog(m_host->root(), QStringLiteral("windows.log")),
                 QStringList{QStringLiteral("activate the main window of process %1")
                                 .arg(QCoreApplication::applicationPid())});
    }
};

QTEST_GUILESS_MAIN(TestMainWindowStartup)
#include "tst_mainwindow_startup.moc"
