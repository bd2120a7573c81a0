// Follows a file that another process writes (the image copy on the drive)
// and reports its size a few times a second, from a thread of its own, until
// the watch is destroyed. The tools that write such files report no progress
// of their own.
#pragma once

#include <QMutex>
#include <QString>
#include <QWaitCondition>

#include <functional>
#include <memory>

class QThread;

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
    QMutex m_mutex;
    QWaitCondition m_wake;
    bool m_stop = false;
    // Qt's threads, not std::thread: MinGW's win32 thread model has none.
    std::unique_ptr<QThread> m_thread;
};
