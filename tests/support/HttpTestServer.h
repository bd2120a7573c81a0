// A small HTTP server on 127.0.0.1 for tests that download the boot image.
// It runs on a thread of its own, so a test may block (QThread::wait) while
// the tool, or a tool it starts, downloads. Files are streamed from disk,
// never held in memory.
#pragma once

#include <QHash>
#include <QMutex>
#include <QSemaphore>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>

class QFile;
class QTcpSocket;

class HttpTestServer : public QThread {
public:
    enum class Mode {
        Serve,     // 200 with the whole file
        NotFound,  // 404 for every request
        Truncated, // announces the whole file, sends half of it, closes
        Trickle,   // announces the whole file, sends half, then a byte a second
    };

    HttpTestServer();
    ~HttpTestServer() override;

    // Starts listening on a free port of 127.0.0.1. False when it cannot.
    bool start();
    quint16 port() const { return m_port; }
    // "http://127.0.0.1:<port>" + target, for example url("/boot.wim?a=1").
    QString url(const QString &target) const;

    // Serves localFile for GET (and HEAD) of urlPath; the query is ignored.
    // Other paths answer 404.
    void serveFile(const QString &urlPath, const QString &localFile);
    void setMode(Mode mode);
    // The next count requests answer 404, whatever the mode.
    void failNextRequests(int count);
    // While held, a request is recorded and then kept waiting for its answer
    // until the server is released (or stopped).
    void setHeld(bool held);
    // Request targets (path and query) as received, in order.
    QStringList requestTargets() const;

    // A file of the given size that takes no disk space: zeros, with a few
    // marker bytes at its start, middle and end so that a copy that loses or
    // shifts data does not look like the original.
    static bool createSparseImage(const QString &localFile, qint64 size);

protected:
    void run() override;

private:
    void handle(QTcpSocket &socket);
    void trickle(QTcpSocket &socket, QFile &file);

    mutable QMutex m_mutex;
    QHash<QString, QString> m_files;
    Mode m_mode = Mode::Serve;
    int m_failures = 0;
    QStringList m_targets;
    bool m_held = false;
    QSemaphore m_ready;
    std::atomic<bool> m_stop{false};
    quint16 m_port = 0;
};
