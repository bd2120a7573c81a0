// Tells the main window when a disk is plugged in or removed, so that its
// drive list stays current without a restart.
#pragma once

#include <QObject>
#include <QStringList>

#ifdef Q_OS_WIN
#include <QAbstractNativeEventFilter>
#endif

class DeviceWatcher : public QObject
#ifdef Q_OS_WIN
    ,
                      public QAbstractNativeEventFilter
#endif
{
    Q_OBJECT

public:
    explicit DeviceWatcher(QObject *parent = nullptr);
    ~DeviceWatcher() override;

#ifdef Q_OS_WIN
    bool nativeEventFilter(const QByteArray &eventType, void *message, long *result) override;
#endif

signals:
    void deviceArrived();
    void deviceRemoved();

#ifndef Q_OS_WIN
private:
    QStringList currentDisks();
    void rescan();

    class QFileSystemWatcher *m_watcher = nullptr;
    QStringList m_disks; // description of every disk, to tell what changed
#endif
};
