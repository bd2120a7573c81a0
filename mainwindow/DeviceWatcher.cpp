#include "mainwindow/DeviceWatcher.h"

#ifdef Q_OS_WIN
#include <QCoreApplication>

#include <windows.h>
// dbt.h needs the declarations of windows.h.
#include <dbt.h>

DeviceWatcher::DeviceWatcher(QObject *parent) : QObject(parent) {
    // Top-level windows receive WM_DEVICECHANGE broadcasts for volumes.
    QCoreApplication::instance()->installNativeEventFilter(this);
}

DeviceWatcher::~DeviceWatcher() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool DeviceWatcher::nativeEventFilter(const QByteArray &eventType, void *message, long *) {
    if (eventType != "windows_generic_MSG")
        return false;
    const MSG *msg = static_cast<const MSG *>(message);
    if (msg->message != WM_DEVICECHANGE)
        return false;
    if (msg->wParam == DBT_DEVICEARRIVAL)
        emit deviceArrived();
    else if (msg->wParam == DBT_DEVICEREMOVECOMPLETE)
        emit deviceRemoved();
    return false;
}

#else
#include "platform/sim/SimHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>

namespace {
QString disksFolder() {
    return simhost::hostRoot() + QStringLiteral("/disks");
}

// What Windows would see of a disk: its [disk] section. The stand-in tools
// also keep notes of their own in the description (how often a disk was
// listed), and such a note is no disk being plugged in.
QString diskIdentity(const QString &descriptionFile) {
    QFile file(descriptionFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QStringList lines;
    bool inDiskSection = false;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('['))
            inDiskSection = line == "[disk]";
        else if (inDiskSection && !line.isEmpty())
            lines.append(QString::fromUtf8(line));
    }
    return lines.join(QLatin1Char('\n'));
}
} // namespace

DeviceWatcher::DeviceWatcher(QObject *parent) : QObject(parent) {
    // On the simulated host a disk is plugged in by adding its folder under
    // disks/ and removed by taking the folder away or editing its description.
    m_watcher = new QFileSystemWatcher(this);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &DeviceWatcher::rescan);
    m_disks = currentDisks();
}

DeviceWatcher::~DeviceWatcher() = default;

QStringList DeviceWatcher::currentDisks() {
    // Watch the folder of disks and each disk's own folder, so that a disk
    // whose description is written after its folder is still seen.
    const QDir folder(disksFolder());
    QStringList watched = {folder.path()};
    QStringList disks;
    for (const QString &id : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        watched.append(folder.filePath(id));
        const QString description = folder.filePath(id + QStringLiteral("/disk.ini"));
        if (QFileInfo::exists(description))
            disks.append(id + QLatin1Char('\n') + diskIdentity(description));
    }
    const QStringList already = m_watcher->directories();
    for (const QString &path : watched) {
        if (!already.contains(path))
            m_watcher->addPath(path);
    }
    return disks;
}

void DeviceWatcher::rescan() {
    const QStringList disks = currentDisks();
    const QStringList before = m_disks;
    m_disks = disks;
    for (const QString &d : disks) {
        if (!before.contains(d)) {
            emit deviceArrived();
            return;
        }
    }
    if (disks.size() != before.size())
        emit deviceRemoved();
}
#endif
