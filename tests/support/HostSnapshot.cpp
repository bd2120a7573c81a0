#include "support/HostSnapshot.h"

#include "support/HostChecks.h"
#include "support/TestHost.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace {

QString describe(const QFileInfo &entry) {
    if (entry.isSymLink())
        return QStringLiteral("link to ") + entry.symLinkTarget();
    if (entry.isDir())
        return QStringLiteral("folder");
    return QStringLiteral("%1 bytes, SHA-256 %2")
        .arg(entry.size())
        .arg(QString::fromLatin1(hostchecks::sha256(entry.filePath()).toHex()));
}

} // namespace

HostSnapshot HostSnapshot::take(const TestHost &host, const QString &chosenDisk,
                                const QStringList &exceptOnC) {
    HostSnapshot snapshot;
    const QString root = host.root();
    const QString chosenVolume =
        QFileInfo(root + "/disks/" + chosenDisk + "/volume").canonicalFilePath();
    // A stick taken out keeps what is on it: it is looked at where it went.
    for (const char *folder : {"/disks", "/unplugged"}) {
        const QDir disks(root + QLatin1String(folder));
        for (const QString &id : disks.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
            if (id != chosenDisk)
                snapshot.addTree(QStringLiteral("disks/") + id, disks.filePath(id), {});
    }
    QStringList skipOnC;
    for (const QString &path : exceptOnC)
        skipOnC.append(QFileInfo(host.local(path)).absoluteFilePath());
    const QDir drives(root + QStringLiteral("/drives"));
    for (const QFileInfo &letter :
         drives.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QString label = QStringLiteral("drives/") + letter.fileName();
        // A letter of the chosen disk may come and go; any other stays.
        if (!letter.isSymLink())
            snapshot.addTree(
                label, letter.filePath(),
                letter.fileName().compare("C", Qt::CaseInsensitive) == 0 ? skipOnC : QStringList());
        else if (letter.canonicalFilePath() != chosenVolume || chosenVolume.isEmpty())
            snapshot.m_entries.insert(label, describe(letter));
    }
    return snapshot;
}

void HostSnapshot::addTree(const QString &label, const QString &folder, const QStringList &skip) {
    const QDir base(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        bool skipped = false;
        for (const QString &s : skip)
            skipped = skipped || path == s || path.startsWith(s + QLatin1Char('/'));
        if (!skipped)
            m_entries.insert(label + QLatin1Char('/') + base.relativeFilePath(path),
                             describe(it.fileInfo()));
    }
}

QStringList HostSnapshot::differencesTo(const HostSnapshot &later) const {
    QStringList differences;
    for (auto it = m_entries.constBegin(); it != m_entries.constEnd(); ++it) {
        if (!later.m_entries.contains(it.key()))
            differences.append(QStringLiteral("gone: ") + it.key());
        else if (later.m_entries.value(it.key()) != it.value())
            differences.append(QStringLiteral("changed: %1 (%2 -> %3)")
                                   .arg(it.key(), it.value(), later.m_entries.value(it.key())));
    }
    for (auto it = later.m_entries.constBegin(); it != later.m_entries.constEnd(); ++it) {
        if (!m_entries.contains(it.key()))
            differences.append(QStringLiteral("new: %1 (%2)").arg(it.key(), it.value()));
    }
    return differences;
}
