// The simulated host's sessions: the rights the tool's process has
// (host.ini system/elevated) and the claim of the one running copy in its
// session, a lock on a file of the host root named after the session.
#include "platform/HostPlatform.h"

#include "sim/platform/SimHost.h"

#include <QFile>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace hostplatform {

namespace {

// The session this process runs in ($BMC_HOST_SESSION, a number; 1 when it
// is unset or anything else), as Windows gives each logged-on user one.
QString sessionLockFile() {
    bool number = false;
    const uint session = qEnvironmentVariable(simhost::kSessionVariable).toUInt(&number);
    return simhost::hostRoot() + QStringLiteral("/instance-%1.lock").arg(number ? session : 1);
}

} // namespace

bool hasAdministratorRights() {
    return simhost::hostSetting(simhost::hostRoot(), QStringLiteral("system/elevated"), true)
        .toBool();
}

bool claimSingleInstance() {
    // Held by the open descriptor until the process ends.
    const QByteArray lockFile = QFile::encodeName(sessionLockFile());
    const int fd = open(lockFile.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // A lock file that cannot be opened belongs to someone else: as on
    // Windows, a copy may run there unseen.
    if (fd < 0)
        return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    const QByteArray pid = QByteArray::number(static_cast<qint64>(getpid()));
    if (ftruncate(fd, 0) == 0 && write(fd, pid.constData(), static_cast<size_t>(pid.size())) < 0) {
        // The claim stands without the note; activation then finds nobody.
    }
    return true;
}

bool activateRunningInstance() {
    // The simulated window system: the request is noted in windows.log, for
    // the holder of the claim named by its process id.
    QFile lock(sessionLockFile());
    if (!lock.open(QIODevice::ReadOnly))
        return false;
    const qint64 pid = lock.readAll().trimmed().toLongLong();
    if (pid <= 0 || kill(static_cast<pid_t>(pid), 0) != 0)
        return false;
    simhost::appendLog(simhost::hostRoot(), QStringLiteral("windows.log"),
                       QStringLiteral("activate the main window of process %1").arg(pid));
    return true;
}

} // namespace hostplatform
