// The operating system door on Windows: thin wrappers over the Win32 calls the
// tool needs, without Qt, so this file also builds and runs on its own.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <shellapi.h>
#include <urlmon.h>
#include <wininet.h>

#include "platform/HostPlatform.h"

#include <cstdlib>

namespace hostplatform {

namespace {
// Buffer size, in wide characters, for the folder queries.
constexpr DWORD kPathCapacity = 512;
} // namespace

std::wstring systemDirectory() {
    wchar_t buffer[kPathCapacity];
    const UINT length = GetSystemDirectoryW(buffer, kPathCapacity);
    // A result of kPathCapacity or more is the size a larger buffer would need:
    // the buffer holds nothing usable then.
    if (length == 0 || length >= kPathCapacity)
        return std::wstring();
    return std::wstring(buffer, length);
}

std::wstring tempDirectory() {
    wchar_t buffer[kPathCapacity];
    const DWORD length = GetTempPathW(kPathCapacity, buffer);
    if (length == 0 || length >= kPathCapacity)
        return std::wstring();
    return std::wstring(buffer, length);
}

bool createHiddenEmptyFile(const std::wstring &windowsPath) {
    // CREATE_ALWAYS truncates an existing file and applies the attributes to it.
    const HANDLE file = CreateFileW(windowsPath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

bool environmentVariable(const char *name, std::string &value) {
    if (!name)
        return false;
    const char *found = std::getenv(name);
    if (!found)
        return false;
    value = found;
    return true;
}

long long runHiddenProcess(wchar_t *commandLine) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};

    if (!CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                        nullptr, nullptr, &startup, &process))
        return kProcessNotStarted;

    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.hProcess, &exitCode))
        exitCode = 0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // Widened unsigned, so that an exit code of 0xFFFFFFFF never reads as
    // kProcessNotStarted.
    return static_cast<long long>(exitCode);
}

int screenLogicalDpi() {
    const HDC screen = GetDC(nullptr);
    if (!screen)
        return 0;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

void setKeepAwake(bool on) {
    // ES_CONTINUOUS alone clears this thread's earlier continuous request.
    if (on)
        SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    else
        SetThreadExecutionState(ES_CONTINUOUS);
}

bool shellStart(const char *fileName) {
    const HINSTANCE result =
        ShellExecuteA(nullptr, nullptr, fileName, nullptr, nullptr, SW_SHOWNORMAL);
    // ShellExecute reports errors as values of 32 or less.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool downloadToFile(const std::wstring &url, const std::wstring &windowsPath) {
    // URLDownloadToFileW may answer from the local web cache; a build must
    // never get an older image that was cached under the same address.
    // If an existing entry cannot be removed, report failure rather than risk
    // it: the caller then downloads in a way that bypasses this cache.
    if (!DeleteUrlCacheEntryW(url.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        return false;
    return URLDownloadToFileW(nullptr, url.c_str(), windowsPath.c_str(), 0, nullptr) == S_OK;
}

std::string localPath(const std::string &windowsPath) {
    return windowsPath;
}

} // namespace hostplatform
