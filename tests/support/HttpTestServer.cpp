#include "HttpTestServer.h"

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

constexpr int kIoTimeoutMs = 10000;
constexpr qint64 kChunk = 1 << 20;

bool readRequestHead(QTcpSocket &socket, QByteArray *head) {
    while (!head->contains("\r\n\r\n")) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(kIoTimeoutMs))
            return false;
        head->append(socket.readAll());
        if (head->size() > 64 * 1024)
            return false;
    }
    return true;
}

bool flush(QTcpSocket &socket, qint64 keepAtMost) {
    while (socket.bytesToWrite() > keepAtMost) {
        if (!socket.waitForBytesWritten(kIoTimeoutMs))
            return false; // the client went away
    }
    return true;
}

void answer(QTcpSocket &socket, const char *status, const QByteArray &body) {
    socket.write(QByteArray("HTTP/1.1 ") + status + "\r\nContent-Type: text/plain\r\n" +
                 "Content-Length: " + QByteArray::number(body.size()) +
                 "\r\nConnection: close\r\n\r\n" + body);
    flush(socket, 0);
}

} // namespace

HttpTestServer::HttpTestServer() = default;

HttpTestServer::~HttpTestServer() {
    m_stop = true;
    wait();
}

bool HttpTestServer::start() {
    QThread::start();
    m_ready.acquire();
    return m_port != 0;
}

QString HttpTestServer::url(const QString &target) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(target);
}

void HttpTestServer::serveFile(const QString &urlPath, const QString &localFile) {
    QMutexLocker lock(&m_mutex);
    m_files.insert(urlPath, localFile);
}

void HttpTestServer::setMode(Mode mode) {
    QMutexLocker lock(&m_mutex);
    m_mode = mode;
}

void HttpTestServer::failNextRequests(int count) {
    QMutexLocker lock(&m_mutex);
    m_failures = count;
}

void HttpTestServer::setHeld(bool held) {
    QMutexLocker lock(&m_mutex);
    m_held = held;
}

QStringList HttpTestServer::requestTargets() const {
    QMutexLocker lock(&m_mutex);
    return m_targets;
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
    QTcpServer server;
    if (server.listen(QHostAddress::LocalHost, 0))
        m_port = server.serverPort();
    m_ready.release();
    if (m_port == 0)
        return;
    while (!m_stop) {
        if (!server.waitForNewConnection(50))
            continue;
        while (QTcpSocket *socket = server.nextPendingConnection()) {
            handle(*socket);
            socket->disconnectFromHost();
            if (socket->state() != QAbstractSocket::UnconnectedState)
                socket->waitForDisconnected(1000);
            delete socket;
        }
    }
}

void HttpTestServer::handle(QTcpSocket &socket) {
    QByteArray head;
    if (!readRequestHead(socket, &head))
        return;
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    if (requestLine.size() < 2)
        return answer(socket, "400 Bad Request", "bad request\n");
    const QByteArray method = requestLine.at(0);
    const QString target = QString::fromLatin1(requestLine.at(1));

    QString localFile;
    Mode mode;
    bool fail = false;
    {
        QMutexLocker lock(&m_mutex);
        m_targets.append(target);
        localFile = m_files.value(target.section(QLatin1Char('?'), 0, 0));
        mode = m_mode;
        if (m_failures > 0) {
            --m_failures;
            fail = true;
        }
    }
    for (;;) {
        QMutexLocker lock(&m_mutex);
        if (!m_held || m_stop)
            break;
        lock.unlock();
        msleep(20);
    }
    QFile file(localFile);
    if (fail || mode == Mode::NotFound || localFile.isEmpty() || !file.open(QIODevice::ReadOnly))
        return answer(socket, "404 Not Found", "not found\n");

    const qint64 size = file.size();
    socket.write("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                 QByteArray::number(size) + "\r\nConnection: close\r\n\r\n");
    if (method == "HEAD")
        return void(flush(socket, 0));
    const qint64 toSend = mode == Mode::Truncated || mode == Mode::Trickle ? size / 2 : size;
    qint64 sent = 0;
    while (sent < toSend && !m_stop) {
        const QByteArray chunk = file.read(qMin(kChunk, toSend - sent));
        if (chunk.isEmpty() || socket.write(chunk) != chunk.size())
            return;
        sent += chunk.size();
        if (!flush(socket, 4 * kChunk))
            return;
    }
    if (mode == Mode::Trickle)
        return trickle(socket, file);
    flush(socket, 0);
}

void HttpTestServer::trickle(QTcpSocket &socket, QFile &file) {
    // Just enough to keep a connection open, never enough to finish, until
    // the client goes away.
    if (!flush(socket, 0))
        return;
    while (!m_stop) {
        for (int i = 0; i < 10 && !m_stop; ++i)
            msleep(100);
        const QByteArray byte = file.read(1);
        if (byte.isEmpty() || socket.write(byte) != 1 || !flush(socket, 0))
            return;
        socket.waitForReadyRead(0); // notices a peer that has closed
        if (socket.state() != QAbstractSocket::ConnectedState)
            return;
    }
}
