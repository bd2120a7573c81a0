#include "mainwindow/ConnectivityProbe.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <memory>

namespace ConnectivityProbe {

QString url() {
    return QStringLiteral("http://www.wikipedia.org/");
}

bool run(int timeoutMs) {
    auto manager = std::make_unique<QNetworkAccessManager>();
    auto request = std::make_unique<QNetworkRequest>(QUrl(url()));
    QNetworkReply *reply = manager->get(*request);
    auto loop = std::make_unique<QEventLoop>();
    QObject::connect(reply, SIGNAL(readyRead()), loop.get(), SLOT(quit()));
    QObject::connect(reply, SIGNAL(finished()), loop.get(), SLOT(quit()));
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, SIGNAL(timeout()), reply, SLOT(abort()));
    timeout.start(timeoutMs);
    if (!reply->isFinished())
        loop->exec();
    timeout.stop();
    const bool reachable = reply->bytesAvailable() != 0;
    // The reply goes with its manager.
    loop.reset();
    request.reset();
    manager.reset();
    return reachable;
}

} // namespace ConnectivityProbe

QPoint centredPosition(const QRect &windowGeometry, const QSize &dialogSize) {
    return {(windowGeometry.width() - dialogSize.width()) / 2 + windowGeometry.x(),
            (windowGeometry.height() - dialogSize.height()) / 2 + windowGeometry.y()};
}
