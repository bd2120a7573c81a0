// The operating system door on Windows: the system's folders, files in
// them, text conversion and paths. Thin wrappers over the Win32 calls, without
// Qt, so the layer also builds and runs on its own. Downloads, hashing, the
// screen and power, processes and the session have files of their own here.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "platform/HostPlatform.h"
#include "platform/win32/Win32Text.h"

#include <string>

namespace hostplatform {

namespace {

// Buffer size, in wide characters, for the folder queries.
constexpr DWORD kPathCapacity = 512;

bool isAscii(const std::wstring &text) {
    for (const wchar_t c : text) {
        if (c > 0x7F)
            return false;
    }
    return true;
}

} // namespace

std::wstring win32::widenUtf8(const std::string &text) {
    if (text.empty())
        return std::wstring();
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                         static_cast<int>(text.size()), nullptr, 0);
    if (size <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                        &wide[0], size);
    return wide;
}

std::wstring systemDirectory() {
    wchar_t buffer[kPathCapacity];
    const UINT length = GetSystemDirectoryW(buffer, kPathCapacity);
    // A result of kPathCapacity or more is the size a larger buffer would need:
    // the buffer holds nothing usable then.
    if (length == 0 || length >= kPathCapacity)
        return std::wstring();
    return std::wstring(buffer, length);
}

std::wstring windowsDirectory() {
    wchar_t buffer[kPathCapacity];
    // The system's own folder, not the user's view of it (GetWindowsDirectoryW
    // gives a private folder on a terminal server).
    const UINT length = GetSystemWindowsDirectoryW(buffer, kPathCapacity);
    if (length == 0 || length >= kPathCapacity)
        return std::wstring();
    return std::wstring(buffer, length);
}

std::wstring tempDirectory() {
    wchar_t buffer[kPathCapacity];
    const DWORD length = GetTempPathW(kPathCapacity, buffer);
    if (length == 0 || length >= kPathCapacity)
        return std::wstring();
    const std::wstring folder(buffer, length);
    if (isAscii(folder))
        return folder;

    // Command lines are widened byte for byte, so only ASCII reaches cmd as
    // written: try the 8.3 form, which exists only where the volume keeps
    // short names and the name needed one.
    wchar_t shortBuffer[kPathCapacity];
    const DWORD shortLength = GetShortPathNameW(folder.c_str(), shortBuffer, kPathCapacity);
    if (shortLength == 0 || shortLength >= kPathCapacity)
        return folder;
    std::wstring shortFolder(shortBuffer, shortLength);
    if (!isAscii(shortFolder))
        return folder;
    if (shortFolder.back() != L'\\')
        shortFolder += L'\\';
    return shortFolder;
}

bool canCreateFilesIn(const std::wstring &windowsFolder) {
    if (windowsFolder.empty())
        return false;
    std::wstring probe = windowsFolder;
    if (probe.back() != L'\\')
        probe += L'\\';
    // A name no one else uses; the file goes with its handle.
    probe += L"bmc" + std::to_wstring(GetCurrentProcessId()) + L"_" +
             std::to_wstring(GetTickCount64()) + L".tmp";
    const HANDLE file = CreateFileW(
        probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

bool createHiddenEmptyFile(const std::wstring &windowsPath) {
    const HANDLE file = CreateFileW(windowsPath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    CloseHandle(file);

    // Windows applies the attribute when it truncates an existing file, but
    // not every implementation of the API does (Wine keeps the old ones): make
    // sure an emptied file is hidden too.
    if (existed) {
        const DWORD attributes = GetFileAttributesW(windowsPath.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_HIDDEN))
            SetFileAttributesW(windowsPath.c_str(),
                               (attributes & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_HIDDEN);
    }
    return true;
}

std::string localPath(const std::string &windowsPath) {
    return windowsPath;
}

} // namespace hostplatform
