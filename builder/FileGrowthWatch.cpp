#include "builder/FileGrowthWatch.h"

#include <QFileInfo>
#include <QThread>

FileGrowthWatch::FileGrowthWatch(const QString &localFile, std::function<void(qint64)> report,
                                 int intervalMs)
    : m_report(std::move(report)) {
    m_thread.reset(
        QThread::create([this, localFile, intervalMs] { watch(localFile, intervalMs); }));
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
