// The worker that builds the recovery drive on its own thread. It takes the
// chosen disk from AppContext at the start of every build and reports only
// through its signals.
#pragma once

#include "builder/ImageCache.h"

#include <QString>
#include <QThread>

#include <atomic>

class ThreadDriveClone : public QThread {
    Q_OBJECT

public:
    explicit ThreadDriveClone(QObject *parent = nullptr);
    ~ThreadDriveClone() override;

    // Asks the running build to stop. Granted only while nothing has been
    // written to the drive yet; returns whether it was. A stopped build
    // removes its work files and ends without a signal of its own.
    bool requestStop();
    bool stopRequested() const;
    // Called by the build just before it starts writing the drive: from then
    // on no stop is granted. False when a stop came first.
    bool beginWritingDrive();

    // The image kept between the builds of this run, for the build only.
    ImageCache &keptImage() { return m_keptImage; }
    // Removes the kept image, for the tool's end, so that nothing of it stays
    // on the system drive. A build that still runs is stopped where it can be
    // (the download, the question to the server) and waited for, so that
    // what it keeps at its end goes too.
    void discardKeptImage();

signals:
    void SetProgressValue(int i);
    void ProcessComplete();
    void PrintRunningProcess(QString);
    void IncompleteFile();
    void OnStopgGif();
    // The cause of a build that ends incomplete (a BuildFailure), sent just
    // before IncompleteFile().
    void BuildFailed(int cause);
    // The chosen drive's signature after the format wrote it a new one.
    void ChosenDriveSigned(QString signature);

protected:
    void run() override;

private:
    // The Windows system directory, refilled at the start of every build;
    // every tool path of the build is built on it.
    QString systemDirectory;

    enum Phase { Stoppable, Stopping, WritingDrive };
    std::atomic<int> m_phase{Stoppable};
    ImageCache m_keptImage;
};
