// The worker that builds the recovery drive on its own thread. It takes the
// chosen disk from AppContext at the start of every build and reports only
// through its signals.
#pragma once

#include <QString>
#include <QThread>

class ThreadDriveClone : public QThread {
    Q_OBJECT

public:
    explicit ThreadDriveClone(QObject *parent = nullptr);
    ~ThreadDriveClone() override;

signals:
    void SetProgressValue(int i);
    void ProcessComplete();
    void PrintRunningProcess(QString);
    void IncompleteFile();
    // The cause of a build that ends incomplete (a BuildFailure), sent just
    // before IncompleteFile().
    void BuildFailed(int cause);
    void OnStopgGif();

protected:
    void run() override;

private:
    // The Windows system directory, refilled at the start of every build;
    // every tool path of the build is built on it.
    QString systemDirectory;
};
