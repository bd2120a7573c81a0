// The one door to the operating system. Every Windows call the tool makes goes
// through these functions; platform/win32 implements them with the Win32 API,
// sim/platform against the simulated Windows host used on Linux.
//
// Plain C++ only: this header and platform/win32 must build without Qt, so the
// Windows layer can be cross-compiled and tested on its own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace hostplatform {

// Exit code reported by runHiddenProcess() when the process could not be created.
constexpr long long kProcessNotStarted = -1;
// Exit code reported by runHiddenProcess() when the caller's stop check ended it.
constexpr long long kProcessStopped = -2;

// Asked about four times a second during a long wait; true ends the wait.
using StopCheck = std::function<bool()>;

// When a transfer counts as dead rather than slow: fewer than
// kStallMinimumBytes arrived within kStallWindowMs. That is under about a
// kilobyte a second, at which the image would take days: a server that goes
// silent, or one that trickles a byte now and then to keep the connection
// open, is given up within two windows, while any working link, however
// slow, goes on (the user can always stop it).
constexpr unsigned long long kStallWindowMs = 60000;
constexpr unsigned long long kStallMinimumBytes = 64 * 1024;

// The window a transfer's progress is judged over: kStallWindowMs on
// Windows; the simulated host may shorten it (host.ini network/stallWindowMs)
// so that tests of a silent or trickling server end quickly.
unsigned long long stallWindowMs();

class StallWatch {
public:
    explicit StallWatch(unsigned long long windowMs = stallWindowMs()) : m_windowMs(windowMs) {}
    // The transfer's total so far at a time in milliseconds (any steady
    // clock). True once a whole window has passed with too little progress.
    bool stalled(unsigned long long nowMs, unsigned long long totalBytes) {
        if (!m_started) {
            m_started = true;
            m_windowStartMs = nowMs;
            m_windowStartBytes = totalBytes;
            return false;
        }
        if (nowMs - m_windowStartMs < m_windowMs)
            return false;
        if (totalBytes < m_windowStartBytes + kStallMinimumBytes)
            return true;
        m_windowStartMs = nowMs;
        m_windowStartBytes = totalBytes;
        return false;
    }

private:
    unsigned long long m_windowMs;
    bool m_started = false;
    unsigned long long m_windowStartMs = 0;
    unsigned long long m_windowStartBytes = 0;
};

// The Windows system directory (GetSystemDirectoryW, 512 wide characters), for
// example C:\Windows\system32. Empty when the call fails.
std::wstring systemDirectory();

// The folder Windows is installed in (GetSystemWindowsDirectoryW, 512 wide
// characters), for example C:\Windows, which holds the boot files. Empty
// when the call fails.
std::wstring windowsDirectory();

// The user's temporary folder (GetTempPathW, 512 wide characters), ending in a
// backslash. Empty when the call fails. Command lines reach cmd unchanged only
// in ASCII, so a folder whose name has other characters (an accented or CJK
// user name) is given in its 8.3 short form (GetShortPathNameW) when that form
// is pure ASCII; otherwise the long name comes back as it is, and the commands
// that use it fail rather than act elsewhere. An ASCII folder comes back
// exactly as GetTempPathW gave it.
std::wstring tempDirectory();

// Whether a new file can be made in the folder (a Windows path): false when
// it is missing or read-only. Tries it, leaving nothing behind.
bool canCreateFilesIn(const std::wstring &windowsFolder);

// Creates the file as an empty hidden file, emptying one that exists, and
// closes it again at once. Returns false when it cannot be created.
bool createHiddenEmptyFile(const std::wstring &windowsPath);

// Starts program with commandLine, hidden, in a new console, waits for it and
// returns its exit code (0 when the code cannot be read), or
// kProcessNotStarted. program is a full path ("C:\...", "\\server\...");
// anything else is refused, since the system would look for it in folders
// that others may control (the tool's folder, the current folder, PATH).
// Every program starts in the system directory, never in the tool's current
// folder. Without a stop check it waits without limit; when the check says
// stop, the process is ended together with every process it started, and the
// result is kProcessStopped. The buffer must be writable and null-terminated,
// as CreateProcessW requires.
long long runHiddenProcess(const std::wstring &program, wchar_t *commandLine,
                           const StopCheck &stop = StopCheck());

// Lets the process load libraries only from the system directory and from
// its own folder, never from the current folder or PATH. Called first thing,
// before anything loads a library at run time.
void restrictLibrarySearch();

// Horizontal logical resolution of the screen (LOGPIXELSX); 0 when unknown.
int screenLogicalDpi();

// Asks that the system stays awake while the calling thread works (on), or
// clears the calling thread's request (off). The request belongs to the
// thread: clear it on the thread that set it.
void setKeepAwake(bool on);

// Starts a program through the shell by its full path (ShellExecuteW, default
// verb, no parameters, normal window, its own folder as its current folder).
// A relative name is refused. Returns true when the shell started it.
bool shellStart(const std::wstring &programPath);

// How much of a transfer has arrived, and its whole size (0 when the server
// did not say). Called on the downloading thread, possibly very often.
using TransferProgress = std::function<void(unsigned long long received, unsigned long long total)>;

// How a download ended.
enum class DownloadResult {
    Completed, // the whole file arrived, the server answered without an error status
    Failed,    // no answer, an error status, a broken or abandoned transfer
    // The server could not prove who it is: its certificate did not pass the
    // system's validation, or an https address redirected to one that is not
    // https. Trying again, by any way, would meet the same server.
    NotAuthenticated,
};

// Downloads url to the file, never from the local web cache. An https
// address is only accepted from a server whose certificate the system
// validates (the system's own trust store: the machine's root certificates
// on Windows, the host root's trusted-roots.pem on the simulated host), and a
// redirect never leads from https to anything less. The transfer is given up
// when it stalls (StallWatch) or when the stop check says stop; what it
// wrote may stay behind then, for the caller to remove. progress, when given,
// hears of the data as it arrives.
//
// version, when given, gets what tells this version of the file from another
// on the server: its length and the validators of the answer (left empty
// where the download call does not show them).
struct RemoteVersion {
    long long length = -1;    // -1: not announced
    std::string etag;         // as the server sent it, quotes and all
    std::string lastModified; // the HTTP date as sent
};
DownloadResult downloadToFile(const std::wstring &url, const std::wstring &windowsPath,
                              const StopCheck &stop = StopCheck(),
                              const TransferProgress &progress = TransferProgress(),
                              RemoteVersion *version = nullptr);

// Asks the server what it now has under url (a HEAD request), under the
// rules of downloadToFile: never from a cache, an https server only with a
// certificate the system validates, no redirect from https to anything less.
// False when the server could not be asked, answered with anything but
// success, or did not answer within the stall window (stallWindowMs()): the
// caller then knows nothing of the file. The question is given up, false,
// as soon as the stop check says stop.
bool remoteVersion(const std::wstring &url, RemoteVersion *version,
                   const StopCheck &stop = StopCheck());

// What stands under a Windows path, without following a link.
enum class PathKind {
    Missing,
    File,
    Folder,
    // A symbolic link, junction, mount point or any other reparse point:
    // whatever it leads to is someone else's choice.
    Link,
};
PathKind pathKind(const std::wstring &windowsPath);

// Removes a link itself, never what it leads to. False when the path is
// not a link or it could not be removed.
bool removeLink(const std::wstring &windowsPath);

// Removes a folder with everything in it. A link found inside is removed
// itself and never followed, so nothing outside the folder is touched.
// False when anything stayed behind.
bool removeFolderTree(const std::wstring &windowsPath);

// Makes a new folder that only the tool's user, the Administrators and
// SYSTEM may change (on Windows an explicit, protected access list that
// inherits nothing from the parent, passed on to everything made inside).
// False when anything already stands under the name: the folder is either
// made by this call or not used at all.
bool createPrivateFolder(const std::wstring &windowsPath);

// Holds a file open so that, while it is held, no other process may write,
// rename or delete it; reading it stays allowed (a copy tool must). On
// Windows that is the share mode of the handle. The simulated host cannot
// stop other processes, so there the hold only remembers which file it was:
// stillAt() then tells a replaced file from the held one.
class HeldFile {
public:
    // localFile as localPath() gives it (UTF-8). A link is never held.
    explicit HeldFile(const std::string &localFile);
    ~HeldFile();
    HeldFile(const HeldFile &) = delete;
    HeldFile &operator=(const HeldFile &) = delete;

    bool isHeld() const;
    // Whether the file under the path is the held one, with the size it
    // had when it was taken.
    bool stillAt(const std::string &localFile) const;

private:
    struct State;
    State *m_state;
};

// Size of a SHA-256 digest, in bytes.
constexpr int kSha256Size = 32;

// SHA-256 of a local file (a path as localPath() gives it, UTF-8), read in
// large chunks, never whole, with the system's own implementation, which uses
// the processor's SHA instructions where there are any. Returns false when
// the file cannot be opened or read to its end; digest is undefined then.
//
// fromDevice reads past the system's file cache, so that a file just written
// is checked against what the device really holds, not against the cached
// copy of the writes (a drive that lost them must not pass). On Windows the
// file is opened without buffering (FILE_FLAG_NO_BUFFERING, sector-aligned
// reads); where the file system refuses that, it is read buffered instead. On
// the simulated host the written data is synced and dropped from the page
// cache before reading, which is a best effort only: the kernel may keep
// pages that are in use elsewhere.
bool sha256OfFile(const std::string &localFile, unsigned char digest[kSha256Size],
                  bool fromDevice = false);

// SHA-256 of a file that another writer is still filling from start to end
// (a download), taken as it grows, so that no separate pass is needed once it
// is done. catchUp() hashes what has been appended since its last call, and
// is cheap when nothing has; finish() hashes the rest and gives the digest of
// the whole file. finish() is false when the file cannot be read, or when
// the file now under the path is not the one followed (replaced, or shorter
// than what was hashed): the caller then hashes it in one pass instead.
class GrowingFileHash {
public:
    explicit GrowingFileHash(const std::string &localFile);
    ~GrowingFileHash();
    GrowingFileHash(const GrowingFileHash &) = delete;
    GrowingFileHash &operator=(const GrowingFileHash &) = delete;

    void catchUp();
    bool finish(unsigned char digest[kSha256Size]);
    // Bytes hashed so far.
    unsigned long long hashedBytes() const;

private:
    struct State;
    State *m_state;
};
// Makes this process the one running copy of the tool in the user's session,
// for as long as it lives; false when another copy there already is, or may
// be (the name is held by a process this one cannot see into). Two copies
// would format the same disk and delete each other's image. Copies in other
// sessions neither block this one nor are blocked by it.
bool claimSingleInstance();

// Brings the main window of the copy that holds the claim to the front,
// restoring it when minimised. False when there is no window to bring (that
// copy is still starting, or runs in another user's session).
bool activateRunningInstance();

// Whether this process holds the rights that preparing a drive needs (diskpart
// refuses to run without them): an administrator's full token. On Windows the
// process's own token, the one every tool it starts inherits, must be
// elevated and hold the Administrators group enabled. Both are asked:
// under User Account Control an administrator's filtered token holds the
// group only for deny, and elevation alone also comes with other privileged
// groups (Backup Operators) whose members diskpart turns away. False when
// the token cannot be read. On the simulated host: host.ini system/elevated,
// true unless set otherwise.
bool hasAdministratorRights();

// The local file-system path for a Windows path, as UTF-8. Identity on Windows;
// on the simulated host, the path inside the host root.
std::string localPath(const std::string &windowsPath);

// What a message of the window system says about the machine's disks.
enum class DeviceChange { None, Arrived, Removed };

// Called with each disk change that does not come as a window message (the
// simulated host watches its disks itself).
using DeviceChangeCallback = void (*)(void *context, DeviceChange change);

// Starts watching disks for the window (an HWND on Windows). Windows sends
// volume arrivals to every top-level window on its own; this also asks for
// the arrivals and removals of disks themselves (the disk interface class),
// so that a blank stick, which brings no volume, is seen too. The changes
// then come as window messages (see deviceChangeOf); notify is only called
// on the simulated host. Returns a handle for stopWatchingDevices, or
// nullptr when nothing was registered.
void *startWatchingDevices(std::uintptr_t window, DeviceChangeCallback notify, void *context);
void stopWatchingDevices(void *handle);

// The disk change a native message (Qt's event type name and the message)
// reports when the message is meant for window; None for anything else:
// other messages, other windows, other kinds of devices.
DeviceChange deviceChangeOf(const char *eventType, const void *message, std::uintptr_t window);

} // namespace hostplatform

namespace hostplatform {

// Tells the user's screen reader what came of something they waited for (the
// end of a build), without moving the keyboard focus. window is the window it
// concerns (an HWND on Windows). On Windows a UI Automation notification,
// where the system has one (Windows 10 1709 and later); the simulated host
// appends the text as a line to announcements.log in its root. False when
// nothing could be told.
bool announce(std::uintptr_t window, const std::wstring &text);

} // namespace hostplatform

namespace hostplatform {

// A hidden console program that the tool drives one command at a time
// through its standard input, reading each answer from its standard output
// up to the prompt that says it waits for the next (diskpart without /s).
// The program is started by its full path only, never searched for; its
// standard error goes where its output goes. Ending the session ends the
// program together with everything it started.
class ConsoleSession {
public:
    ConsoleSession();
    // Ends a program that is still running.
    ~ConsoleSession();
    ConsoleSession(const ConsoleSession &) = delete;
    ConsoleSession &operator=(const ConsoleSession &) = delete;

    // Starts programPath (a full Windows path) with the argument text
    // (empty: none), hidden, in workingFolder. False when it could not be
    // started, or when a session was started before.
    bool start(const std::wstring &programPath, const std::wstring &arguments,
               const std::wstring &workingFolder);
    // Writes one line and a line break to the program's input. False when
    // the program no longer reads it.
    bool send(const std::string &line);
    // Reads the program's output until it has written prompt, for at most
    // timeoutMs. text gets what came since the last prompt, the prompt
    // included, as UTF-8 (Windows programs write in the console's OEM code
    // page). False when the limit passed or the program ended first; text
    // then holds what did come.
    bool readUntil(const std::string &prompt, std::string *text, unsigned long timeoutMs);
    // Closes the program's input and waits at most timeoutMs for it to end;
    // when it does not, it is ended. Returns its exit code, kProcessStopped
    // when it had to be ended, kProcessNotStarted without a started program.
    long long finish(unsigned long timeoutMs);

private:
    struct State;
    State *m_state;
};

} // namespace hostplatform
