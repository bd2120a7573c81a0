// Follows a file that another process writes (the image copy on the drive,
// the fallback download) and reports its size a few times a second, from a
// thread of its own, until the watch is destroyed. The tools that write such
// files report no progress of their own.
#pragma once

#include <QString>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class FileGrowthWatch {
public:
    // report runs on the watch's thread, only when the size has changed.
    FileGrowthWatch(const QString &localFile, std::function<void(qint64)> report,
                    int intervalMs = 250);
    ~FileGrowthWatch();
    FileGrowthWatch(const FileGrowthWatch &) = delete;
    FileGrowthWatch &operator=(const FileGrowthWatch &) = delete;

private:
    void watch(const QString &localFile, int intervalMs);

    std::function<void(qint64)> m_report;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};
