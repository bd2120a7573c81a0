// A small HTTP server on 127.0.0.1 for tests that download the boot image.
// It runs on a thread of its own, so a test may block (QThread::wait) while
// the tool, or a tool it starts, downloads. Files are streamed from disk,
// never held in memory. Besides serving them well it serves them the way bad
// servers do: refusing, stalling, trickling, closing early, announcing more
// than it sends, sending an HTML page or a short file.
#pragma once

#include <QHash>
#include <QMutex>
#include <QSemaphore>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <functional>

class QFile;
class QTcpSocket;

class HttpTestServer : public QThread {
public:
    enum class Mode {
        Serve,        // 200 with the whole file
        NotFound,     // 404 for every request
        Truncated,    // announces the whole file, sends its first part (setCut),
                      // closes
        Trickle,      // announces the whole file, sends half, then a byte a second
        ServerError,  // 500
        Stall,        // announces the whole file, then sends nothing (to HEAD:
                      // nothing at all)
        OverAnnounce, // announces 4096 bytes more than the file has, sends the
                      // file, closes
        HtmlPage,     // 200 with a small HTML page
        Short,        // a whole answer, but of only the file's first part (setCut)
    };

    ~HttpTestServer() override;

    // Speaks https with this certificate and key (PEM files), set before
    // start(). False when they cannot be read.
    bool useTls(const QString &certificateFile, const QString &keyFile);

    // Starts listening on a free port of 127.0.0.1. False when it cannot.
    bool start();
    quint16 port() const { return m_port; }
    // "http://127.0.0.1:<port>" + target, for example url("/boot.wim?a=1");
    // with TLS "https://localhost:<port>" + target, the name the
    // certificate is for.
    QString url(const QString &target) const {
        return QString(m_tls ? "https://localhost:%1%2" : "http://127.0.0.1:%1%2")
            .arg(QString::number(m_port), target);
    }

    // Serves localFile for GET of urlPath; the query is ignored.
    // Other paths answer 404.
    void serveFile(const QString &urlPath, const QString &localFile) {
        QMutexLocker lock(&m_mutex);
        m_files.insert(urlPath, localFile);
    }
    // GET of urlPath answers "302 Found" with this location.
    void redirect(const QString &urlPath, const QString &location) {
        QMutexLocker lock(&m_mutex);
        m_redirects.insert(urlPath, location);
    }
    void setMode(Mode mode) { set(m_mode, mode); }
    // The length of the part Truncated and Short send; 0 (the default): half the
    // file.
    void setCut(qint64 bytes) { set(m_cut, bytes); }
    // Sends files at no more than this many bytes a second; 0: as fast as it can.
    void setRate(qint64 bytesPerSecond) { set(m_rate, bytesPerSecond); }
    // The next count requests are answered as mode how says, whatever the mode.
    void failNextRequests(int count, Mode how = Mode::NotFound) {
        QMutexLocker lock(&m_mutex);
        std::tie(m_failures, m_failMode) = std::make_pair(count, how);
    }
    // Ends every answer still open (a stall, a trickle) at once.
    void dropConnections() { ++m_generation; }
    // Runs action on the application's thread, and waits for it, once the
    // next answer with a body has sent atByte bytes of it (0: as soon as its
    // head is out). Called on the application's thread; a null action clears
    // what was set, even an answer's that has not reached atByte yet.
    void setTrigger(qint64 atByte, std::function<void()> action);
    // Request targets (path and query) of GET requests as received, in order.
    QStringList requestTargets() const { return get(m_targets); }
    // The same of HEAD requests.
    QStringList headTargets() const { return get(m_heads); }
    // A served file's answers carry an ETag and a Last-Modified date; this
    // gives every file a new ETag, as a server does for a new version.
    // Only the application's thread changes it, so reading it unlocked is safe.
    void changeVersion() { set(m_version, m_version + 1); }

    // A file of the given size that takes no disk space: zeros, with a few
    // marker bytes at its start, middle and end so that a copy that loses or
    // shifts data does not look like the original.
    static bool createSparseImage(const QString &localFile, qint64 size);

protected:
    void run() override;

private:
    template <typename T> void set(T &field, const T &value) {
        QMutexLocker lock(&m_mutex);
        field = value;
    }
    template <typename T> T get(const T &field) const {
        QMutexLocker lock(&m_mutex);
        return field;
    }
    void handle(QTcpSocket &socket);
    bool live(int generation) const { return !m_stop && m_generation == generation; }

    mutable QMutex m_mutex;
    QHash<QString, QString> m_files;
    QHash<QString, QString> m_redirects;
    bool m_tls = false;
    QByteArray m_certificate;
    QByteArray m_key;
    Mode m_mode = Mode::Serve;
    Mode m_failMode = Mode::NotFound;
    qint64 m_cut = 0;
    qint64 m_rate = 0;
    int m_failures = 0;
    QStringList m_targets;
    QStringList m_heads;
    int m_version = 1;
    qint64 m_triggerAt = 0;
    std::function<void()> m_trigger;
    std::atomic<int> m_triggerSet{0};
    QSemaphore m_ready;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_generation{0};
    quint16 m_port = 0;
};
