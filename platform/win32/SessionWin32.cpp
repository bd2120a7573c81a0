// What the tool may do in the user's session: the rights of its token, and
// the claim that makes it the one running copy there.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "platform/HostPlatform.h"

namespace hostplatform {

namespace {

// A name in the session's own namespace ("Local\"): only processes of this
// session can make or hold it, so a copy, or anything else, in another
// user's session neither keeps the tool from starting nor is kept out by it.
// A private namespace bound to the user's SID would also shut out a second
// account in this same session; but such a process only runs here when the
// user started it (runas, an elevated and a plain copy side by side), and a
// copy there is one that must not run beside this one, so it ought to be
// found. The note of the holder's process id lives beside it.
const wchar_t kInstanceMutex[] = L"Local\\BootableMediaCreator.Instance";
const wchar_t kInstanceNote[] = L"Local\\BootableMediaCreator.InstanceProcess";

struct WindowSearch {
    DWORD processId;
    HWND largest;
    LONG largestArea;
};

BOOL CALLBACK considerWindow(HWND window, LPARAM parameter) {
    auto *search = reinterpret_cast<WindowSearch *>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window) || GetWindow(window, GW_OWNER))
        return TRUE;
    // The main window is the largest of the tool's top-level windows; its
    // dialogs are smaller.
    RECT frame;
    if (!GetWindowRect(window, &frame))
        return TRUE;
    const LONG area = (frame.right - frame.left) * (frame.bottom - frame.top);
    if (!search->largest || area > search->largestArea) {
        search->largest = window;
        search->largestArea = area;
    }
    return TRUE;
}

// Whether the token holds the Administrators group enabled. CheckTokenMembership
// wants an impersonation token: the primary one is copied as such.
bool holdsAdministrators(HANDLE primary) {
    HANDLE identity = nullptr;
    if (!DuplicateToken(primary, SecurityIdentification, &identity))
        return false;
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    BOOL member = FALSE;
    if (AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                 DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
        if (!CheckTokenMembership(identity, administrators, &member))
            member = FALSE;
        FreeSid(administrators);
    }
    CloseHandle(identity);
    return member != FALSE;
}

} // namespace

bool hasAdministratorRights() {
    // The process's own token: the one every tool started from here inherits.
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE, &token))
        return false;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    const bool elevated =
        GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size) &&
        elevation.TokenIsElevated;
    const bool rights = elevated && holdsAdministrators(token);
    CloseHandle(token);
    return rights;
}

bool claimSingleInstance() {
    // Held until the process ends; the system releases it then, even after a crash.
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, kInstanceMutex);
    // Without a mutex (denied: a process of this session under another
    // account, or with other rights, made the name) a copy may run there
    // that this one cannot see into: refused, and the start-up says that
    // the program already runs rather than ending unseen or running beside
    // it.
    if (!mutex)
        return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    const HANDLE note = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                           sizeof(DWORD), kInstanceNote);
    if (note) {
        if (void *view = MapViewOfFile(note, FILE_MAP_WRITE, 0, 0, sizeof(DWORD))) {
            *static_cast<volatile DWORD *>(view) = GetCurrentProcessId();
            UnmapViewOfFile(view);
        }
        // Kept open with the mutex, for the next start to read.
    }
    return true;
}

bool activateRunningInstance() {
    const HANDLE note = OpenFileMappingW(FILE_MAP_READ, FALSE, kInstanceNote);
    if (!note)
        return false;
    DWORD processId = 0;
    if (const void *view = MapViewOfFile(note, FILE_MAP_READ, 0, 0, sizeof(DWORD))) {
        processId = *static_cast<const volatile DWORD *>(view);
        UnmapViewOfFile(view);
    }
    CloseHandle(note);
    if (!processId)
        return false;
    WindowSearch search = {processId, nullptr, 0};
    EnumWindows(considerWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.largest)
        return false;
    // Asynchronous: a copy that is busy must not hold this one up.
    if (IsIconic(search.largest))
        ShowWindowAsync(search.largest, SW_RESTORE);
    // A process the user has just started may hand the foreground on.
    SetForegroundWindow(search.largest);
    return true;
}

} // namespace hostplatform
