#include "builder/FileGrowthWatch.h"

#include <QFileInfo>
#include <QThread>

namespace {

// QThread::create needs std::future, which MinGW's win32 thread model lacks.
class FunctionThread : public QThread {
public:
    explicit FunctionThread(std::function<void()> body) : m_body(std::move(body)) {}

protected:
    void run() override { m_body(); }

private:
    std::function<void()> m_body;
};

} // namespace

FileGrowthWatch::FileGrowthWatch(const QString &localFile, std::function<void(qint64)> report,
                                 int intervalMs)
    : m_report(std::move(report)) {
    m_thread.reset(
        new FunctionThread([this, localFile, intervalMs] { watch(localFile, intervalMs); }));
    m_thread->start();
}

FileGrowthWatch::~FileGrowthWatch() {
    {
        QMutexLocker lock(&m_mutex);
        m_stop = true;
        m_wake.wakeAll();
    }
    m_thread->wait();
}

void FileGrowthWatch::watch(const QString &localFile, int intervalMs) {
    qint64 reported = -1;
    QMutexLocker lock(&m_mutex);
    while (!m_stop) {
        m_wake.wait(&m_mutex, static_cast<unsigned long>(intervalMs));
        if (m_stop)
            break;
        const QFileInfo info(localFile);
        const qint64 size = info.exists() ? info.size() : 0;
        if (size != reported) {
            reported = size;
            m_report(size);
        }
    }
}
