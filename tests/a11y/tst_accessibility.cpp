// The three windows as a screen reader and a keyboard-only user meet them,
// through whole builds on a fresh simulated host: every control named, the
// outcome of each build told, the keyboard reaching everything, and a bar
// that follows the two long steps of a slow build.
#include "support/HostChecks.h"
#include "support/ToolSession.h"

#include "app/AppContext.h"
#include "app/LanguageSelection.h"

#include "builder/BuildFailure.h"
#include "mainwindow/BuildFailureText.h"

#include <QAccessible>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

using namespace hostchecks;

namespace {

constexpr int kBuildTimeoutMs = 180000;

const QString kStoppedText = QStringLiteral("The download was stopped. The drive was not changed.");

// What a screen reader would find missing in a shown window: a window not
// named as its title strip (the confirmation: and the drive it is for), a focusable control without
// a name, a list or a progress bar that neither a name nor a label says what it is for.
QStringList faultsOf(QWidget *window, const QString &title) {
    QStringList faults;
    QAccessibleInterface *root = QAccessible::queryAccessibleInterface(window);
    if (!root->text(QAccessible::Name).startsWith(title))
        faults << QStringLiteral("window named '%1'").arg(root->text(QAccessible::Name));
    QList<QAccessibleInterface *> all{root}; // the whole tree, grown as it is walked
    for (int i = 0; i < all.size(); ++i) {
        QAccessibleInterface *iface = all.at(i);
        for (int c = 0; c < iface->childCount(); ++c)
            if (QAccessibleInterface *child = iface->child(c))
                all << child;
        const QAccessible::State state = iface->state();
        if (state.invisible)
            continue;
        const QString name = iface->text(QAccessible::Name).trimmed();
        const QString what =
            iface->object() ? iface->object()->objectName() : QString::number(iface->role(), 16);
        QString label;
        for (const auto &relation : iface->relations(QAccessible::Label))
            label += relation.first->text(QAccessible::Name);
        if (state.focusable && name.isEmpty())
            faults << what + QStringLiteral(" focusable without a name");
        // The list's name is the drive it shows; what it asks is its label.
        if (iface->role() == QAccessible::ComboBox && label.isEmpty())
            faults << what + QStringLiteral(" list without a label");
        if (iface->role() == QAccessible::ProgressBar && name.isEmpty() && label.isEmpty())
            faults << what + QStringLiteral(" progress bar without a name");
        if (iface->role() == QAccessible::Graphic && name.isEmpty())
            faults << what + QStringLiteral(" picture without a name");
    }
    return faults;
}

// Checks every window the user sees now.
void verifyNamed(ToolSession &session, const char *state) {
    QCreateBootable *window = session.window();
    const QString title = window->label_3->findChild<QLabel *>()->text();
    QStringList faults = faultsOf(window, title);
    for (QDialog *dialog :
         {static_cast<QDialog *>(session.warning()), static_cast<QDialog *>(session.info())})
        if (dialog->isVisible())
            faults += faultsOf(dialog,
                               dialog->findChild<QLabel *>(QStringLiteral("HeaderLabel"))->text());
    QVERIFY2(faults.isEmpty(), qPrintable(QLatin1String(state) + QLatin1String(": ") +
                                          faults.join(QLatin1String("; "))));
}

// Sends a key to whatever has the keyboard focus, as the keyboard does.
void key(Qt::Key which) {
    QVERIFY2(QApplication::focusWidget(), "nothing has the keyboard focus");
    QTest::keyClick(QApplication::focusWidget(), which);
}

// A dialog opens over the middle of the main window, not wherever the window
// system would put it.
bool centredOver(const QWidget *dialog, const QWidget *window) {
    return (dialog->frameGeometry().center() - window->frameGeometry().center())
               .manhattanLength() <= 2;
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
    E2eServer m_server;

private slots:
    void initTestCase() { QVERIFY(m_server.start()); }
    void init() { m_server.reset(); }

    void namedInEveryStateAndOutcomeTold_data() {
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("told");
        QTest::newRow("completed") << "completed" << QStringLiteral("Process completed");
        QTest::newRow("failed") << "failed"
                                << buildFailureText(BuildFailure::ImageTooSmall)
                                       .replace(QLatin1Char('\n'), QLatin1Char(' '));
        QTest::newRow("stopped") << "stopped" << kStoppedText;
        QTest::newRow("no connection") << "no connection" << QString();
    }

    void namedInEveryStateAndOutcomeTold() {
        QFETCH(QString, outcome);
        QFETCH(QString, told);
        const QString link =
            outcome == "failed" ? m_server.shortImageLink() : m_server.goodImageLink();
        ToolSession session(simhost::sampleHostSpec(), link,
                            outcome == "no connection" ? E2eServer::deadProxy() : m_server.proxy());
        if (outcome == "completed") {
            // A slow server and a slow stick, for the bar's rise within the long steps.
            m_server.https().setRate(60 << 20);
            simhost::setHostSetting(session.host().root(),
                                    QStringLiteral("system/driveWriteBytesPerSecond"), 60 << 20);
        }
        QVERIFY(session.open());
        QCreateBootable *window = session.window();
        QSignalSpy values(window->progressBar, &QProgressBar::valueChanged);
        verifyNamed(session, "idle");
        QVERIFY(ToolSession::press(window->CreateBootable));
        verifyNamed(session, "confirming");

        if (outcome == "stopped")
            m_server.https().setMode(HttpTestServer::Mode::Trickle);
        // Dragged while it asked: the notice that follows opens over the window where it is now.
        window->move(window->pos() + QPoint(40, 30));
        QVERIFY(ToolSession::press(session.warning()->OkButton));
        if (outcome == "no connection") {
            QVERIFY(session.warning()->isVisible());
            QVERIFY(centredOver(session.warning(), window));
            verifyNamed(session, "notice");
        } else {
            verifyNamed(session, "building");
            if (outcome == "stopped") {
                QTRY_VERIFY_WITH_TIMEOUT(window->label_2->text().startsWith("Downloading"), 30000);
                QVERIFY(ToolSession::press(window->CancelButton));
                verifyNamed(session, "stopping");
                QTRY_VERIFY_WITH_TIMEOUT(window->CreateBootable->isVisible(), 30000);
            } else {
                QTRY_VERIFY_WITH_TIMEOUT(session.buildEnded(), kBuildTimeoutMs);
            }
            verifyNamed(session, qPrintable(outcome));
        }

        // One announcement per build, its outcome; none for a build never begun.
        const QStringList announced = hostLog(session.host(), "announcements.log");
        QCOMPARE(announced, told.isEmpty() ? QStringList() : QStringList{told});

        // The bar never goes back, and rises within the span before the format
        // and within the one after the last checkpoint but one.
        QList<int> shown;
        for (const QList<QVariant> &value : values)
            shown.append(value.first().toInt());
        // Back to idle after a stop, the bar starts again from nothing.
        if (outcome == "stopped" && !shown.isEmpty() && shown.last() == 0)
            shown.removeLast();
        QString all;
        QDebug(&all) << shown;
        QVERIFY2(std::is_sorted(shown.begin(), shown.end()), qPrintable(all));
        const auto within = [&](int from, int to) {
            return std::count_if(shown.begin(), shown.end(),
                                 [&](int v) { return v > from && v < to; });
        };
        // The server and the stick are slowed to about four seconds each, so
        // the reports (four a second at most) show the bar moving, not one jump.
        if (outcome == "completed")
            QVERIFY2(within(0, 5) >= 2 && within(95, 100) >= 2, qPrintable(all));
    }

    // A whole build, a failure and its recreation, answered with Tab, Space and
    // Return only.
    void keyboardOnly() {
        ToolSession session(simhost::sampleHostSpec(), m_server.shortImageLink(), m_server.proxy());
        QVERIFY(session.open());
        QCreateBootable *window = session.window();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(window->DiskComboBox));
        // At window level Escape does not hide the window, and Return presses
        // no button.
        key(Qt::Key_Escape);
        key(Qt::Key_Return);
        QVERIFY(window->isVisible());
        QVERIFY(!session.warning()->isVisible());
        const QList<QWidget *> order{window->CreateBootable, window->CancelButton,
                                     session.titleCloseButton(), window->DiskComboBox};
        for (QWidget *next : order) {
            key(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }

        // Tab to the start, Space: the confirmation takes the keyboard. Escape
        // hides it without pressing OK; asked again, Return confirms. The image
        // is short: the failure dialog takes the keyboard next.
        key(Qt::Key_Tab);
        QSignalSpy confirmed(session.warning()->OkButton, &QPushButton::clicked);
        for (Qt::Key answer : {Qt::Key_Escape, Qt::Key_Return}) {
            // After Escape, Windows gives the keyboard back to the window
            // beneath; the offscreen platform activates none. The window is
            // dragged elsewhere first: the dialog follows it.
            window->move(window->pos() + QPoint(40, 30));
            window->activateWindow();
            QTRY_COMPARE(QApplication::focusWidget(),
                         static_cast<QWidget *>(window->CreateBootable));
            key(Qt::Key_Space);
            QTRY_COMPARE(QApplication::focusWidget(),
                         static_cast<QWidget *>(session.warning()->OkButton));
            QVERIFY(centredOver(session.warning(), window));
            key(answer);
            QCOMPARE(confirmed.count(), answer == Qt::Key_Return ? 1 : 0);
            QTRY_VERIFY(!session.warning()->isVisible());
        }
        QTRY_VERIFY_WITH_TIMEOUT(session.failureShown(), kBuildTimeoutMs);
        InfoDialogClass *info = session.info();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(info->RecreateButton));
        QVERIFY(centredOver(info, window));
        // Escape would strand the user with a disabled main window: it does nothing.
        key(Qt::Key_Escape);
        QVERIFY(info->isVisible());
        key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(info->CancelButton));
        key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(info->RecreateButton));

        // Recreate with Return, from a server that now serves the whole image.
        session.setLink(m_server.goodImageLink());
        key(Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(session.buildCompleted(), kBuildTimeoutMs);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(window->DiskComboBox));
        QVERIFY(QFileInfo::exists(session.host().local(QStringLiteral("R:\\sources\\boot.wim"))));
    }
};

// With --hold: the idle main window with the confirmation over it, on a fresh
// simulated host, for a read through the real accessibility bus
// (atspi_names.py); prints "ready" once both are up and keeps them up until
// its standard input closes.
int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    if (argc < 2 || qstrcmp(argv[1], "--hold") != 0) {
        TestAccessibility test;
        return QTest::qExec(&test, argc, argv);
    }
    TestHost host;
    fixHostIdentity();
    selectLanguageFromHost();
    QCreateBootable window;
    window.show();
    if (!host.isValid() || !ToolSession::press(window.CreateBootable))
        return 2;
    std::printf("ready\n");
    std::fflush(stdout);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [] {
        char byte;
        if (read(STDIN_FILENO, &byte, 1) <= 0)
            QCoreApplication::quit();
    });
    return app.exec();
}
#include "tst_accessibility.moc"
