// Disk arrivals and removals on the simulated host: a disk is plugged in by
// adding its folder under disks/ and removed by taking the folder away or
// editing its description. No window messages come; changes are reported
// through the callback.
#include "platform/HostPlatform.h"

#include "sim/platform/SimHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QStringList>

namespace hostplatform {

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

class DiskFolderWatch {
public:
    DiskFolderWatch(DeviceChangeCallback notify, void *context)
        : m_notify(notify), m_context(context) {
        QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged,
                         [this](const QString &) { rescan(); });
        m_disks = currentDisks();
    }

private:
    QStringList currentDisks() {
        // Watch the folder of disks and each disk's own folder, so that a
        // disk whose description is written after its folder is still seen.
        const QDir folder(disksFolder());
        QStringList watched = {folder.path()};
        QStringList disks;
        for (const QString &id : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            watched.append(folder.filePath(id));
            const QString description = folder.filePath(id + QStringLiteral("/disk.ini"));
            if (QFileInfo::exists(description))
                disks.append(id + QLatin1Char('\n') + diskIdentity(description));
        }
        const QStringList already = m_watcher.directories();
        for (const QString &path : watched) {
            if (!already.contains(path))
                m_watcher.addPath(path);
        }
        return disks;
    }

    void rescan() {
        const QStringList disks = currentDisks();
        const QStringList before = m_disks;
        m_disks = disks;
        if (!m_notify)
            return;
        for (const QString &d : disks) {
            if (!before.contains(d)) {
                m_notify(m_context, DeviceChange::Arrived);
                return;
            }
        }
        if (disks.size() != before.size())
            m_notify(m_context, DeviceChange::Removed);
    }

    QFileSystemWatcher m_watcher;
    QStringList m_disks; // description of every disk, to tell what changed
    DeviceChangeCallback m_notify;
    void *m_context;
};

} // namespace

void *startWatchingDevices(std::uintptr_t, DeviceChangeCallback notify, void *context) {
    return new DiskFolderWatch(notify, context);
}

void stopWatchingDevices(void *handle) {
    delete static_cast<DiskFolderWatch *>(handle);
}

DeviceChange deviceChangeOf(const char *, const void *, std::uintptr_t) {
    return DeviceChange::None;
}

} // namespace hostplatform
