#include "builder/FileGrowthWatch.h"

#include <QFileInfo>

#include <chrono>

FileGrowthWatch::FileGrowthWatch(const QString &localFile, std::function<void(qint64)> report,
                                 int intervalMs)
    : m_report(std::move(report)),
      m_thread([this, localFile, intervalMs] { watch(localFile, intervalMs); }) {}

FileGrowthWatch::~FileGrowthWatch() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void FileGrowthWatch::watch(const QString &localFile, int intervalMs) {
    qint64 reported = -1;
    std::unique_lock<std::mutex> lock(m_mutex);
    while (
        !m_wake.wait_for(lock, std::chrono::milliseconds(intervalMs), [this] { return m_stop; })) {
        QFileInfo info(localFile);
        const qint64 size = info.exists() ? info.size() : 0;
        if (size != reported) {
            reported = size;
            m_report(size);
        }
    }
}
