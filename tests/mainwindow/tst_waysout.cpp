// No state without a way out: a connectivity check that is never answered
// ends as failed, and closing the failure dialog from the window system
// means what its Cancel button means.
#include "dialogs/InfoDialogClass.h"
#include "mainwindow/ConnectivityProbe.h"
#include "support/TestHost.h"

#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

class TestWaysOut : public QObject {
    Q_OBJECT

private slots:
    void checkThatIsNeverAnsweredFails();
    void closingTheFailureDialogPressesCancel();
};

void TestWaysOut::checkThatIsNeverAnsweredFails() {
    // A proxy that accepts the connection and then says nothing at all.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    QList<QTcpSocket *> held;
    connect(&silent, &QTcpServer::newConnection, this, [&]() {
        while (QTcpSocket *s = silent.nextPendingConnection())
            held.append(s);
    });
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), silent.serverPort()));

    QCOMPARE(ConnectivityProbe::run(300), false);
    QVERIFY(!held.isEmpty()); // the request did reach the silent server

    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    qDeleteAll(held);
}

void TestWaysOut::closingTheFailureDialogPressesCancel() {
    TestHost host;
    QVERIFY(host.isValid());
    InfoDialogClass dialog(nullptr);
    QSignalSpy cancel(dialog.CancelButton, SIGNAL(clicked()));
    QSignalSpy recreate(dialog.RecreateButton, SIGNAL(clicked()));
    dialog.show();
    QVERIFY(dialog.isVisible());

    dialog.close();
    QCOMPARE(cancel.count(), 1);
    QCOMPARE(recreate.count(), 0);
    QVERIFY(!dialog.isVisible());

    // Closing it again while hidden changes nothing.
    dialog.close();
    QCOMPARE(cancel.count(), 1);
}

QTEST_MAIN(TestWaysOut)
#include "tst_waysout.moc"
