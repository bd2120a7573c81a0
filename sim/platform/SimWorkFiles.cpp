// The simulated host's side of the tool's own work files: links are never
// followed, folders are made new, and a held file is remembered by identity.
#include "platform/HostPlatform.h"

#include "sim/platform/SimHost.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hostplatform {

namespace {

QByteArray localOf(const std::wstring &windowsPath) {
    return QFile::encodeName(
        simhost::localPath(simhost::hostRoot(), QString::fromStdWString(windowsPath)));
}

int removeEntry(const char *path, const struct stat *, int, struct FTW *) {
    // Walked without following links, deepest first: a link is removed as
    // the entry it is, whatever it leads to.
    return ::remove(path) == 0 ? 0 : -1;
}

} // namespace

PathKind pathKind(const std::wstring &windowsPath) {
    struct stat info {};
    if (lstat(localOf(windowsPath).constData(), &info) != 0)
        return PathKind::Missing;
    if (S_ISLNK(info.st_mode))
        return PathKind::Link;
    return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::File;
}

bool removeLink(const std::wstring &windowsPath) {
    return pathKind(windowsPath) == PathKind::Link && unlink(localOf(windowsPath).constData()) == 0;
}

bool removeFolderTree(const std::wstring &windowsPath) {
    if (pathKind(windowsPath) != PathKind::Folder)
        return false;
    const QByteArray local = localOf(windowsPath);
    simhost::forgetHiddenBelow(simhost::hostRoot(), QFile::decodeName(local));
    return nftw(local.constData(), removeEntry, 16, FTW_PHYS | FTW_DEPTH) == 0;
}

bool createPrivateFolder(const std::wstring &windowsPath) {
    // Only the owner: the nearest the simulated host comes to an access list
    // of the user, the Administrators and SYSTEM. mkdir never replaces
    // anything, not even a dangling link.
    return mkdir(localOf(windowsPath).constData(), 0700) == 0;
}

struct HeldFile::State {
    int fd = -1;
    struct stat held {};
};

HeldFile::HeldFile(const std::string &localFile) : m_state(new State) {
    m_state->fd = open(localFile.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (m_state->fd >= 0 &&
        (fstat(m_state->fd, &m_state->held) != 0 || !S_ISREG(m_state->held.st_mode))) {
        close(m_state->fd);
        m_state->fd = -1;
    }
}

HeldFile::~HeldFile() {
    if (m_state->fd >= 0)
        close(m_state->fd);
    delete m_state;
}

bool HeldFile::isHeld() const {
    return m_state->fd >= 0;
}

bool HeldFile::stillAt(const std::string &localFile) const {
    struct stat named {
    }, now{};
    return isHeld() && lstat(localFile.c_str(), &named) == 0 && fstat(m_state->fd, &now) == 0 &&
           named.st_dev == m_state->held.st_dev && named.st_ino == m_state->held.st_ino &&
           now.st_size == m_state->held.st_size;
}

} // namespace hostplatform
