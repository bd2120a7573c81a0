// The campaign's web server on 127.0.0.1: "the internet" for the tool's
// connectivity check (as its proxy) and the boot image, served the way bad
// servers serve it: refusing, stalling, trickling, closing early, lying about
// the length, sending an HTML page or a slightly short image. Each connection
// gets a thread of its own, so a stalled download never holds up the next
// request.
#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class CampaignServer : public QThread {
public:
    enum class Behaviour {
        Serve,          // the whole image
        NotFound,       // 404
        ServerError,    // 500
        Stall,          // the head, then nothing until the client gives up
        Trickle,        // half the image, then a byte now and then, for good
        CloseEarly,     // announces the image, sends part of it, closes
        LongerThanSent, // announces more bytes than the image has, sends the image, closes
        HtmlPage,       // 200 with a small HTML page
        ShortImage,     // an image one byte under the smallest the tool accepts
    };
    static const char *name(Behaviour behaviour);

    CampaignServer();
    ~CampaignServer() override;

    // Makes the images (sparse) in folder and starts listening.
    bool start(const QString &folder);
    quint16 port() const { return m_port; }
    QString imageLink() const;
    QString proxy() const;
    QByteArray imageHash() const { return m_imageHash; }
    QString imageFile() const { return m_image; }
    static qint64 imageSize();

    // How the image is served from now on; firstOnly: only the first image
    // request misbehaves, later ones (a retry, the fallback) get the image.
    void setBehaviour(Behaviour behaviour, bool firstOnly, qint64 cutAt, int trickleMs);
    // Ends every open answer (the trickle and the stall of a run that is over).
    void dropConnections();
    // Runs action on the application's thread, and waits for it, once the
    // first image answer of the run has sent atByte bytes of the image (0:
    // as soon as its head is out). Cleared by setBehaviour.
    void setTrigger(qint64 atByte, std::function<void()> action);

protected:
    void run() override;

private:
    void handle(qintptr descriptor);

    QString m_image, m_short, m_page;
    QByteArray m_imageHash;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_generation{0};
    std::atomic<int> m_imageRequests{0};
    mutable QMutex m_mutex;
    Behaviour m_behaviour = Behaviour::Serve;
    bool m_firstOnly = false;
    qint64 m_cutAt = 0;
    int m_trickleMs = 500;
    std::vector<std::unique_ptr<QThread>> m_handlers;
    qint64 m_triggerAt = -1;
    std::function<void()> m_trigger;
};
