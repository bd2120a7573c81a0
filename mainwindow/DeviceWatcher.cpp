#include "mainwindow/DeviceWatcher.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

DeviceWatcher::DeviceWatcher(QWidget *window) : QObject(window), m_window(window) {
    // Plugging in a stick brings a disk and then one or more volumes, each
    // reported on its own: the list is rebuilt once, after the burst, since
    // every listing starts a WMIC process.
    m_burst.setSingleShot(true);
    m_burst.setInterval(kBurstMilliseconds);
    connect(&m_burst, &QTimer::timeout, this, &DeviceWatcher::endBurst);

    QCoreApplication::instance()->installNativeEventFilter(this);
    // The window gets its native handle when it is first shown, and a new one
    // whenever Qt has to make it again: registered for each.
    m_window->installEventFilter(this);
    watchWindow();
}

DeviceWatcher::~DeviceWatcher() {
    hostplatform::stopWatchingDevices(m_watch);
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void DeviceWatcher::watchWindow() {
    const auto handle = static_cast<std::uintptr_t>(m_window->internalWinId());
    if (m_watch && handle == m_watchedWindow)
        return;
    hostplatform::stopWatchingDevices(m_watch);
    m_watchedWindow = handle;
    m_watch = hostplatform::startWatchingDevices(handle, &DeviceWatcher::notifyFromHost, this);
}

bool DeviceWatcher::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_window &&
        (event->type() == QEvent::WinIdChange || event->type() == QEvent::Show))
        watchWindow();
    return QObject::eventFilter(watched, event);
}

bool DeviceWatcher::nativeEventFilter(const QByteArray &eventType, void *message, long *) {
    noteChange(hostplatform::deviceChangeOf(
        eventType.constData(), message, static_cast<std::uintptr_t>(m_window->internalWinId())));
    return false;
}

void DeviceWatcher::notifyFromHost(void *context, hostplatform::DeviceChange change) {
    static_cast<DeviceWatcher *>(context)->noteChange(change);
}

void DeviceWatcher::noteChange(hostplatform::DeviceChange change) {
    if (change == hostplatform::DeviceChange::None)
        return;
    if (change == hostplatform::DeviceChange::Arrived)
        m_arrived = true;
    else
        m_removed = true;
    m_burst.start();
}

void DeviceWatcher::endBurst() {
    const bool arrived = m_arrived;
    const bool removed = m_removed;
    m_arrived = m_removed = false;
    if (arrived)
        emit deviceArrived();
    else if (removed)
        emit deviceRemoved();
}
