#include "HttpTestServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

namespace {

constexpr int kIoTimeoutMs = 10000;
constexpr qint64 kChunk = 1 << 20;

// What is still to go out: an encrypting socket keeps the encrypted bytes
// apart, and they too must be out before the connection is closed.
qint64 pending(QTcpSocket &socket) {
    const auto *tls = qobject_cast<QSslSocket *>(&socket);
    return socket.bytesToWrite() + (tls ? tls->encryptedBytesToWrite() : 0);
}

bool flush(QTcpSocket &socket, qint64 keepAtMost) {
    // A deadline over the wait, not one call's answer: an encrypting socket
    // may say false while its data is still on the way.
    QDeadlineTimer deadline(kIoTimeoutMs);
    while (pending(socket) > keepAtMost) {
        if (socket.state() != QAbstractSocket::ConnectedState || deadline.hasExpired())
            return false; // the client went away
        const qint64 before = pending(socket);
        socket.waitForBytesWritten(int(qMax<qint64>(1, deadline.remainingTime())));
        if (pending(socket) < before)
            deadline.setRemainingTime(kIoTimeoutMs);
    }
    return true;
}

QByteArray head(const QByteArray &status, const char *type, qint64 length) {
    return QByteArray("HTTP/1.1 ") + status + "\r\nContent-Type: " + type +
           "\r\nContent-Length: " + QByteArray::number(length) + "\r\nConnection: close\r\n\r\n";
}

void answer(QTcpSocket &socket, const QByteArray &status, const QByteArray &body,
            const char *type = "text/plain") {
    socket.write(head(status, type, body.size()) + body);
    flush(socket, 0);
}

// Hands out sockets that speak TLS with the server's certificate.
class TlsServer : public QTcpServer {
public:
    TlsServer(const QSslCertificate &certificate, const QSslKey &key)
        : m_certificate(certificate), m_key(key) {}

protected:
    void incomingConnection(qintptr descriptor) override {
        auto *socket = new QSslSocket;
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        socket->setLocalCertificate(m_certificate);
        socket->setPrivateKey(m_key);
        socket->setPeerVerifyMode(QSslSocket::VerifyNone);
        socket->startServerEncryption();
        addPendingConnection(socket);
    }

private:
    QSslCertificate m_certificate;
    QSslKey m_key;
};

} // namespace

HttpTestServer::~HttpTestServer() {
    m_stop = true;
    wait();
}

bool HttpTestServer::useTls(const QString &certificateFile, const QString &keyFile) {
    QFile certificate(certificateFile), key(keyFile);
    if (!certificate.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly))
        return false;
    m_certificate = certificate.readAll();
    m_key = key.readAll();
    m_tls = true;
    return true;
}

bool HttpTestServer::start() {
    QThread::start();
    m_ready.acquire();
    return m_port != 0;
}

void HttpTestServer::setTrigger(qint64 atByte, std::function<void()> action) {
    QMutexLocker lock(&m_mutex);
    m_triggerAt = atByte;
    m_trigger = std::move(action);
    ++m_triggerSet;
}

bool HttpTestServer::createSparseImage(const QString &localFile, qint64 size) {
    QFile file(localFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || !file.resize(size))
        return false;
    const QByteArray marker("boot image marker");
    for (const qint64 at : {qint64(0), size / 2, size - marker.size()}) {
        if (at < 0 || !file.seek(at) || file.write(marker.left(int(size - at))) < 0)
            return false;
    }
    return true;
}

void HttpTestServer::run() {
    const std::unique_ptr<QTcpServer> listener(
        m_tls ? new TlsServer(QSslCertificate(m_certificate), QSslKey(m_key, QSsl::Rsa))
              : new QTcpServer);
    QTcpServer &server = *listener;
    if (server.listen(QHostAddress::LocalHost, 0))
        m_port = server.serverPort();
    m_ready.release();
    if (m_port == 0)
        return;
    while (!m_stop) {
        if (!server.waitForNewConnection(50))
            continue;
        while (QTcpSocket *socket = server.nextPendingConnection()) {
            // A client that refuses the certificate ends here.
            if (auto *tls = qobject_cast<QSslSocket *>(socket);
                tls && !tls->waitForEncrypted(kIoTimeoutMs)) {
                delete socket;
                continue;
            }
            handle(*socket);
            socket->disconnectFromHost();
            if (socket->state() != QAbstractSocket::UnconnectedState)
                socket->waitForDisconnected(1000);
            delete socket;
        }
    }
}

void HttpTestServer::handle(QTcpSocket &socket) {
    const int generation = m_generation;
    QByteArray request;
    // Bounded as a whole, for the same reason as flush(): an encrypting
    // socket may wake without data (a handshake message) and say false.
    const QDeadlineTimer deadline(kIoTimeoutMs);
    while (!request.contains("\r\n\r\n")) {
        if (request.size() > 65536 || deadline.hasExpired() ||
            socket.state() != QAbstractSocket::ConnectedState)
            return;
        if (socket.bytesAvailable() == 0)
            socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        request += socket.readAll();
    }
    const QList<QByteArray> requestLine = request.left(request.indexOf("\r\n")).split(' ');
    const QString target = QString::fromLatin1(requestLine.value(1)); // none: 404

    const bool headOnly = requestLine.value(0) == "HEAD";
    QMutexLocker lock(&m_mutex);
    (headOnly ? m_heads : m_targets).append(target);
    const int version = m_version;
    const QString localFile = m_files.value(target.section(QLatin1Char('?'), 0, 0));
    const QString location = m_redirects.value(target.section(QLatin1Char('?'), 0, 0));
    const Mode mode = m_failures > 0 ? m_failMode : m_mode;
    m_failures = qMax(0, m_failures - 1);
    const qint64 cut = m_cut, rate = m_rate;
    lock.unlock();
    if (headOnly && mode == Mode::Stall) {
        // Silent to the question: not even a status line.
        while (live(generation) && socket.state() == QAbstractSocket::ConnectedState)
            socket.waitForReadyRead(100);
        return;
    }
    if (!location.isEmpty())
        return answer(socket, "302 Found\r\nLocation: " + location.toUtf8(), {});
    if (mode == Mode::ServerError)
        return answer(socket, "500 Internal Server Error", "try again later\n");
    if (mode == Mode::HtmlPage)
        return answer(socket, "200 OK", "<html><body>Welcome</body></html>\n", "text/html");
    QFile file(localFile);
    if (mode == Mode::NotFound || localFile.isEmpty() || !file.open(QIODevice::ReadOnly))
        return answer(socket, "404 Not Found", "not found\n");

    const qint64 size = file.size();
    const qint64 part = cut > 0 ? qMin(cut, size) : size / 2;
    const qint64 whole = mode == Mode::Short ? part : size;
    const QByteArray validators =
        "ETag: \"" + QByteArray::number(size) + '-' + QByteArray::number(version) +
        "\"\r\nLast-Modified: " +
        QLocale::c()
            .toString(QFileInfo(file).lastModified().toUTC(), "ddd, dd MMM yyyy hh:mm:ss 'GMT'")
            .toLatin1();
    socket.write(head("200 OK\r\n" + validators, "application/octet-stream",
                      mode == Mode::OverAnnounce ? whole + 4096 : whole));
    if (!flush(socket, 0) || headOnly)
        return;
    lock.relock();
    std::function<void()> trigger = std::exchange(m_trigger, nullptr);
    const qint64 triggerAt = m_triggerAt;
    const int triggerSet = m_triggerSet;
    lock.unlock();
    const qint64 toSend = mode == Mode::Stall                                ? 0
                          : mode == Mode::Truncated || mode == Mode::Trickle ? part
                                                                             : whole;
    qint64 sent = 0;
    QElapsedTimer sending;
    sending.start();
    while (live(generation)) {
        if (trigger && sent >= triggerAt) {
            // Not when a new trigger (or none) has been set since.
            const auto fire = [&] { return triggerSet == m_triggerSet ? trigger() : void(); };
            QMetaObject::invokeMethod(QCoreApplication::instance(), fire,
                                      Qt::BlockingQueuedConnection);
            trigger = nullptr;
        }
        if (sent >= toSend)
            break;
        const QByteArray chunk = file.read(qMin(kChunk, toSend - sent));
        if (chunk.isEmpty() || socket.write(chunk) != chunk.size())
            return;
        sent += chunk.size();
        if (rate > 0)
            msleep(static_cast<unsigned long>(
                qMax<qint64>(0, sent * 1000 / rate - sending.elapsed())));
        if (!flush(socket, 4 * kChunk))
            return;
    }
    if (!flush(socket, 0) || (mode != Mode::Stall && mode != Mode::Trickle))
        return;
    // Just enough to keep the connection open (a byte a second while
    // trickling), never enough to finish, until the client goes away or the
    // answers are dropped.
    QElapsedTimer quiet;
    quiet.start();
    while (live(generation) && socket.state() == QAbstractSocket::ConnectedState) {
        socket.waitForReadyRead(100); // notices a peer that has closed
        if (mode == Mode::Trickle && quiet.elapsed() >= 1000) {
            quiet.restart();
            if (socket.write(file.read(1)) != 1 || !flush(socket, 0))
                return;
        }
    }
}
