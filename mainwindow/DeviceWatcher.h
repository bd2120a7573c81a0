// Tells the main window when a disk is plugged in or removed, so that its
// drive list stays current without a restart.
#pragma once

#include "platform/HostPlatform.h"

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QTimer>

class QWidget;

class DeviceWatcher : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT

public:
    // Watches for the window: only messages for it count.
    explicit DeviceWatcher(QWidget *window);
    ~DeviceWatcher() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, long *result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    // How long a burst of changes is gathered before the one signal for it.
    static constexpr int kBurstMilliseconds = 300;

signals:
    // One per burst: arrived when anything arrived in it, else removed.
    void deviceArrived();
    void deviceRemoved();

private:
    void watchWindow();
    static void notifyFromHost(void *context, hostplatform::DeviceChange change);
    void noteChange(hostplatform::DeviceChange change);
    void endBurst();

    QWidget *m_window;
    void *m_watch = nullptr;
    std::uintptr_t m_watchedWindow = 0;
    QTimer m_burst;
    bool m_arrived = false;
    bool m_removed = false;
};
