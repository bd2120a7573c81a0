#include "CampaignServer.h"

#include "builder/BuildCommands.h"
#include "mainwindow/ConnectivityProbe.h"
#include "support/HostChecks.h"
#include "support/HttpTestServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

constexpr qint64 kChunk = 256 * 1024;
// The served image: just above the smallest size the tool accepts, so that
// a lost tail shows.
constexpr qint64 kImageSize = kMinimumImageSize + 65536;

class Listener : public QTcpServer {
public:
    std::function<void(qintptr)> onConnection;

protected:
    void incomingConnection(qintptr descriptor) override { onConnection(descriptor); }
};

bool flushed(QTcpSocket &socket, const std::atomic<bool> &stop, const std::atomic<int> &generation,
             int mine) {
    while (socket.bytesToWrite() > 0) {
        if (stop || generation != mine || socket.state() != QAbstractSocket::ConnectedState)
            return false;
        socket.waitForBytesWritten(100);
    }
    return true;
}

} // namespace

const char *CampaignServer::name(Behaviour behaviour) {
    switch (behaviour) {
    case Behaviour::Serve:
        return "serve";
    case Behaviour::NotFound:
        return "404";
    case Behaviour::ServerError:
        return "500";
    case Behaviour::Stall:
        return "stall";
    case Behaviour::Trickle:
        return "trickle";
    case Behaviour::CloseEarly:
        return "close-early";
    case Behaviour::LongerThanSent:
        return "lie-about-length";
    case Behaviour::HtmlPage:
        return "html-page";
    case Behaviour::ShortImage:
        return "short-image";
    }
    return "?";
}

CampaignServer::CampaignServer() = default;

qint64 CampaignServer::imageSize() {
    return kImageSize;
}

CampaignServer::~CampaignServer() {
    m_stop = true;
    wait();
    for (auto &handler : m_handlers)
        handler->wait();
}

bool CampaignServer::start(const QString &folder) {
    m_image = folder + QStringLiteral("/boot.wim");
    m_short = folder + QStringLiteral("/short.wim");
    m_page = folder + QStringLiteral("/index.html");
    if (!HttpTestServer::createSparseImage(m_image, kImageSize) ||
        !HttpTestServer::createSparseImage(m_short, kMinimumImageSize - 1))
        return false;
    QFile page(m_page);
    if (!page.open(QIODevice::WriteOnly) ||
        page.write("<html><body>The free encyclopedia</body></html>\n") < 0)
        return false;
    page.close();
    m_imageHash = hostchecks::sha256(m_image);
    QThread::start();
    while (m_port == 0 && isRunning())
        msleep(5);
    return m_port != 0 && !m_imageHash.isEmpty();
}

QString CampaignServer::imageLink() const {
    return QStringLiteral("http://127.0.0.1:%1/boot.wim").arg(m_port);
}

QString CampaignServer::proxy() const {
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

void CampaignServer::setBehaviour(Behaviour behaviour, bool firstOnly, qint64 cutAt,
                                  int trickleMs) {
    QMutexLocker lock(&m_mutex);
    m_behaviour = behaviour;
    m_firstOnly = firstOnly;
    m_cutAt = qBound<qint64>(1, cutAt, kImageSize - 1);
    m_trickleMs = trickleMs;
    m_imageRequests = 0;
    m_triggerAt = -1;
    m_trigger = nullptr;
}

void CampaignServer::setTrigger(qint64 atByte, std::function<void()> action) {
    QMutexLocker lock(&m_mutex);
    m_triggerAt = atByte;
    m_trigger = std::move(action);
}

void CampaignServer::dropConnections() {
    ++m_generation;
}

void CampaignServer::run() {
    Listener listener;
    listener.onConnection = [this](qintptr descriptor) {
        // Finished handlers are let go as new ones come.
        for (auto it = m_handlers.begin(); it != m_handlers.end();) {
            if ((*it)->isFinished())
                it = m_handlers.erase(it);
            else
                ++it;
        }
        m_handlers.emplace_back(QThread::create([this, descriptor] { handle(descriptor); }));
        m_handlers.back()->start();
    };
    if (!listener.listen(QHostAddress::LocalHost, 0)) {
        return;
    }
    m_port = listener.serverPort();
    while (!m_stop)
        listener.waitForNewConnection(50);
}

void CampaignServer::handle(qintptr descriptor) {
    const int mine = m_generation;
    QTcpSocket socket;
    if (!socket.setSocketDescriptor(descriptor))
        return;
    QByteArray head;
    while (!head.contains("\r\n\r\n")) {
        if (m_stop || head.size() > 65536 || !socket.waitForReadyRead(10000))
            return;
        head += socket.readAll();
    }
    const QList<QByteArray> line = head.left(head.indexOf("\r\n")).split(' ');
    const QString target = line.size() > 1 ? QString::fromLatin1(line.at(1)) : QString();
    const bool isHead = line.value(0) == "HEAD";

    auto answer = [&](const char *status, const char *type, const QByteArray &body) {
        socket.write(QByteArray("HTTP/1.1 ") + status + "\r\nContent-Type: " + type +
                     "\r\nContent-Length: " + QByteArray::number(body.size()) +
                     "\r\nConnection: close\r\n\r\n" + (isHead ? QByteArray() : body));
        flushed(socket, m_stop, m_generation, mine);
        socket.disconnectFromHost();
    };
    auto fileContent = [](const QString &file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };

    if (target == ConnectivityProbe::url())
        return answer("200 OK", "text/html", fileContent(m_page));
    if (target.section(QLatin1Char('?'), 0, 0) != QLatin1String("/boot.wim"))
        return answer("404 Not Found", "text/plain", "not found\n");

    Behaviour behaviour;
    qint64 cutAt;
    int trickleMs;
    std::function<void()> trigger;
    qint64 triggerAt = -1;
    {
        QMutexLocker lock(&m_mutex);
        const int request = ++m_imageRequests;
        if (request == 1 && m_trigger) {
            trigger = m_trigger;
            triggerAt = m_triggerAt;
        }
        behaviour = (m_firstOnly && request > 1) ? Behaviour::Serve : m_behaviour;
        cutAt = m_cutAt;
        trickleMs = m_trickleMs;
    }
    switch (behaviour) {
    case Behaviour::NotFound:
        return answer("404 Not Found", "text/plain", "not found\n");
    case Behaviour::ServerError:
        return answer("500 Internal Server Error", "text/plain", "try again later\n");
    case Behaviour::HtmlPage:
        return answer("200 OK", "text/html", fileContent(m_page));
    default:
        break;
    }

    QFile file(behaviour == Behaviour::ShortImage ? m_short : m_image);
    if (!file.open(QIODevice::ReadOnly))
        return answer("500 Internal Server Error", "text/plain", "no image\n");
    const qint64 size = file.size();
    const qint64 announced = behaviour == Behaviour::LongerThanSent ? size + 4096 : size;
    socket.write("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                 QByteArray::number(announced) + "\r\nConnection: close\r\n\r\n");
    if (isHead || !flushed(socket, m_stop, m_generation, mine))
        return;
    auto fireAt = [&](qint64 sent) {
        if (trigger && sent >= triggerAt) {
            QMetaObject::invokeMethod(QCoreApplication::instance(), trigger,
                                      Qt::BlockingQueuedConnection);
            trigger = nullptr;
        }
    };
    fireAt(0);
    if (behaviour == Behaviour::Stall) {
        // Nothing more, until the client hangs up or the run is over.
        while (!m_stop && m_generation == mine && socket.state() == QAbstractSocket::ConnectedState)
            socket.waitForReadyRead(100);
        return;
    }
    qint64 toSend = size;
    if (behaviour == Behaviour::CloseEarly)
        toSend = cutAt;
    else if (behaviour == Behaviour::Trickle)
        toSend = size / 2;
    qint64 sent = 0;
    while (sent < toSend) {
        const QByteArray chunk = file.read(qMin(kChunk, toSend - sent));
        if (chunk.isEmpty() || socket.write(chunk) != chunk.size() ||
            !flushed(socket, m_stop, m_generation, mine))
            return;
        sent += chunk.size();
        fireAt(sent);
    }
    if (behaviour == Behaviour::Trickle) {
        // One byte now and then: never silent long enough to trip a no-data
        // limit, never done.
        while (sent < size && !m_stop && m_generation == mine &&
               socket.state() == QAbstractSocket::ConnectedState) {
            socket.write(file.read(1));
            ++sent;
            if (!flushed(socket, m_stop, m_generation, mine))
                return;
            for (int waited = 0; waited < trickleMs && !m_stop && m_generation == mine;
                 waited += 50)
                socket.waitForReadyRead(50);
        }
        return;
    }
    socket.disconnectFromHost();
    if (socket.state() != QAbstractSocket::UnconnectedState)
        socket.waitForDisconnected(2000);
}
