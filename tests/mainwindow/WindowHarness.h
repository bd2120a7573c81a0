// The main window as the tool builds it, on a simulated host, with what its
// tests need around it: its two dialogs, a stand-in for the machine's web
// proxy that answers the connectivity check, and a one-line description of
// the window's controls to compare against the window's states.
#pragma once

#include "app/AppContext.h"
#include "app/NetworkSetup.h"
#include "dialogs/InfoDialogClass.h"
#include "dialogs/WarningClass.h"
#include "mainwindow/QCreateBootable.h"
#include "platform/sim/SimHost.h"
#include "platform/sim/SimRegistry.h"
#include "support/TestHost.h"

#include <QApplication>
#include <QDir>
#include <QMovie>
#include <QPushButton>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <functional>

namespace mwtest {

inline const QString kTemp = QStringLiteral("C:\\Users\\User\\AppData\\Local\\Temp\\");
inline const QString kListingFile = kTemp + QStringLiteral("DiskInfo.txt");
inline const QString kNoDrive = QStringLiteral("No USB drive found");
inline const QString kNoDriveItem = QStringLiteral("\"No USB drive found\" -> no data");

// How MainWindow::items() shows a drive.
inline QString driveItem(const QString &text, int number) {
    return QStringLiteral("\"%1\" -> disk %2").arg(text).arg(number);
}

inline simhost::DiskSpec removableDisk(int number, const QString &model) {
    return {QStringLiteral("disk%1").arg(number), number,        model,
            QStringLiteral("Removable Media"),    16008609792LL, QString()};
}

// The sample host without its removable disk: only the fixed system disk.
inline simhost::HostSpec hostWithoutUsbDrive() {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    for (int i = setup.disks.size() - 1; i >= 0; --i) {
        if (setup.disks.at(i).mediaType == QLatin1String("Removable Media"))
            setup.disks.removeAt(i);
    }
    return setup;
}

// Plugs a disk into a running host the way the simulated host describes one.
inline void plugIn(const TestHost &host, const simhost::DiskSpec &disk) {
    const QString folder = host.root() + QStringLiteral("/disks/") + disk.id;
    QDir().mkpath(folder + QStringLiteral("/volume"));
    QSettings ini(folder + QStringLiteral("/disk.ini"), QSettings::IniFormat);
    ini.setValue(QStringLiteral("disk/number"), disk.number);
    ini.setValue(QStringLiteral("disk/model"), disk.model);
    ini.setValue(QStringLiteral("disk/mediaType"), disk.mediaType);
    ini.setValue(QStringLiteral("disk/size"), disk.size);
    ini.sync();
}

inline void unplug(const TestHost &host, const QString &diskId) {
    QDir(host.root() + QStringLiteral("/disks/") + diskId).removeRecursively();
}

// Listings the simulated WMIC (or PowerShell) has made so far.
inline int listingsRun(const TestHost &host) {
    int count = 0;
    for (const simhost::LoggedCommand &c : host.commands()) {
        if (c.line.contains(QLatin1String("DiskInfo.txt")))
            ++count;
    }
    return count;
}

// Stands in for the machine's web proxy on 127.0.0.1: on the simulated host
// every request of the tool for a site outside the machine goes through it.
// It answers on the GUI thread, so a test can look at the window while the
// connectivity check waits for the answer.
class ProbeProxy {
public:
    enum class Answer { Body, CloseWithoutData };

    ProbeProxy() {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this]() { accept(); });
    }
    bool listen() { return m_server.listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return m_server.serverPort(); }

    Answer answer = Answer::Body;
    QByteArray status = "200 OK";
    // Runs when a request has arrived, before it is answered.
    std::function<void()> onRequest;
    QList<QByteArray> requestLines;

private:
    void accept() {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket,
                             [this, socket]() { read(socket); });
        }
    }

    void read(QTcpSocket *socket) {
        QByteArray head = socket->property("head").toByteArray() + socket->readAll();
        socket->setProperty("head", head);
        if (!head.contains("\r\n\r\n"))
            return;
        requestLines.append(head.left(head.indexOf("\r\n")));
        if (onRequest)
            onRequest();
        if (answer == Answer::Body) {
            const QByteArray body = "<html><body>portal</body></html>";
            socket->write("HTTP/1.1 " + status + "\r\nContent-Type: text/html\r\nContent-Length: " +
                          QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        }
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
};

// A port of 127.0.0.1 on which nothing listens.
inline quint16 closedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

// Sends the tool's web requests through the proxy on this port, as the host
// configuration does for the real tool at start-up.
inline void useProxy(const TestHost &host, quint16 port) {
    simhost::setHostSetting(host.root(), QStringLiteral("network/httpProxy"),
                            QStringLiteral("127.0.0.1:%1").arg(port));
    applyHostNetworkSettings();
}

inline void setDownloadLink(const TestHost &host, const QString &url) {
    simhost::setRegistryValue(host.root(), AppContext::hostSettingsKey(),
                              QStringLiteral("DownloadLink_bootwim"), url);
}

// The main window with its dialogs, shown; the dialogs are found among the
// top-level windows that its constructor made.
class MainWindow {
public:
    MainWindow() {
        const QWidgetList before = QApplication::topLevelWidgets();
        window = new QCreateBootable(nullptr);
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (before.contains(w))
                continue;
            if (auto *d = qobject_cast<WarningClass *>(w))
                warning = d;
            if (auto *d = qobject_cast<InfoDialogClass *>(w))
                info = d;
        }
        titleClose = window->label_3->findChild<QPushButton *>();
        window->move(100, 80);
        window->show();
    }
    ~MainWindow() {
        delete warning;
        delete info;
        delete window;
    }
    MainWindow(const MainWindow &) = delete;
    MainWindow &operator=(const MainWindow &) = delete;

    bool isComplete() const { return window && warning && info && titleClose; }
    QComboBox *combo() const { return window->DiskComboBox; }

    // Each item as "<text>" -> disk <number>, "-> no data" for an item
    // without a disk number; data that is not an int is spelled out.
    QStringList items() const {
        QStringList list;
        for (int i = 0; i < combo()->count(); ++i) {
            const QVariant data = combo()->itemData(i, Qt::UserRole);
            const QString text = QLatin1Char('"') + combo()->itemText(i) + QLatin1Char('"');
            if (!data.isValid())
                list.append(text + QStringLiteral(" -> no data"));
            else if (data.userType() == QMetaType::Int)
                list.append(text + QStringLiteral(" -> disk %1").arg(data.toInt()));
            else
                list.append(text +
                            QStringLiteral(" -> %1 %2").arg(data.typeName(), data.toString()));
        }
        return list;
    }

    // The controls of the window in one line, in the columns of its states:
    // list, start button, the two ways out, status line and progress,
    // animation, and the two dialogs.
    QString describe() const {
        auto onOff = [](const QWidget *w) { return QLatin1String(w->isEnabled() ? "on" : "off"); };
        auto shown = [](const QWidget *w) {
            return QLatin1String(w->isVisible() ? "shown" : "hidden");
        };
        QString leave = onOff(window->CancelButton);
        if (window->CancelButton->isEnabled() != titleClose->isEnabled())
            leave = QStringLiteral("mixed");
        QString animation = shown(window->ProcessLabel);
        if (window->ProcessLabel->isVisible()) {
            const QMovie *movie = window->ProcessLabel->movie();
            animation += !movie                              ? QStringLiteral(",empty")
                         : movie->state() == QMovie::Running ? QStringLiteral(",running")
                                                             : QStringLiteral(",stopped");
        }
        QString progress = shown(window->progressBar);
        if (window->progressBar->isVisible())
            progress += QStringLiteral(" %1").arg(window->progressBar->value());
        return QStringLiteral("list %1 | create %2,%3 | leave %4 | status %5 | progress %6 | "
                              "animation %7 | confirm %8 | failure %9")
            .arg(onOff(combo()), shown(window->CreateBootable), onOff(window->CreateBootable),
                 leave, shown(window->label_2), progress, animation, shown(warning), shown(info));
    }

    // Where a dialog belongs: its centre on the centre of the window.
    QPoint centredFor(const QWidget *dialog) const {
        const QRect r = window->geometry();
        return {(r.width() - dialog->width()) / 2 + r.x(),
                (r.height() - dialog->height()) / 2 + r.y()};
    }

    QCreateBootable *window = nullptr;
    WarningClass *warning = nullptr;
    InfoDialogClass *info = nullptr;
    QPushButton *titleClose = nullptr;
};

// The states of the window that do not depend on an earlier state.
inline const QString kIdleWithDrives =
    QStringLiteral("list on | create shown,on | leave on | status hidden | progress hidden | "
                   "animation shown,empty | confirm hidden | failure hidden");
inline const QString kIdleWithoutDrive =
    QStringLiteral("list off | create shown,off | leave on | status hidden | progress hidden | "
                   "animation shown,empty | confirm hidden | failure hidden");

inline void click(QWidget *button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace mwtest
