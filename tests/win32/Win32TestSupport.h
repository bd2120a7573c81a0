// File, path and environment helpers shared by the Windows layer's tests. They
// call Win32 directly, never the layer under test, so a fault in the layer
// cannot hide itself.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdlib>
#include <string>

namespace win32test {

// ASCII and UTF-8 both way; the tests' own texts are ASCII.
inline std::wstring widen(const std::string &text) {
    if (text.empty())
        return std::wstring();
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    return wide;
}

inline std::string narrow(const std::wstring &text) {
    if (text.empty())
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size,
                        nullptr, nullptr);
    return bytes;
}

// The folder holding the running test executable, without a trailing backslash.
inline std::wstring ownFolder() {
    wchar_t buffer[MAX_PATH * 2];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH * 2);
    std::wstring path(buffer, length);
    return path.substr(0, path.find_last_of(L'\\'));
}

// The temporary folder as the test sees it, with its trailing backslash.
inline std::wstring tempFolder() {
    wchar_t buffer[MAX_PATH * 2];
    const DWORD length = GetTempPathW(MAX_PATH * 2, buffer);
    return std::wstring(buffer, length);
}

inline bool fileExists(const std::wstring &path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

inline bool folderExists(const std::wstring &path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// -1 when the file cannot be read.
inline long long fileSize(const std::wstring &path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

inline bool readFile(const std::wstring &path, std::string &content) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    content.clear();
    char chunk[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, chunk, sizeof(chunk), &got, nullptr) != FALSE) && got > 0)
        content.append(chunk, got);
    CloseHandle(file);
    return ok;
}

inline std::string readFileOrEmpty(const std::wstring &path) {
    std::string content;
    readFile(path, content);
    return content;
}

// Replaces the file's content; clears a hidden or read-only attribute first so
// the file can be rewritten.
inline bool writeFile(const std::wstring &path, const std::string &content) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written,
                              nullptr) != FALSE &&
                    written == content.size();
    CloseHandle(file);
    return ok;
}

inline void removeFile(const std::wstring &path) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

// Sets (or, with nullptr, removes) a variable in the C runtime's environment,
// the one the layer reads; the runtime passes it on to the process
// environment as well.
inline void setRuntimeEnvironment(const char *name, const char *value) {
    std::string assignment = name;
    assignment += '=';
    if (value)
        assignment += value;
    _putenv(assignment.c_str());
}

// Waits for a file that another process writes, polling; false if it has not
// appeared within the limit. Only for processes the test cannot wait on.
inline bool waitForFile(const std::wstring &path, DWORD limitMs) {
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    while (!fileExists(path) || fileSize(path) <= 0) {
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(50);
    }
    return true;
}

} // namespace win32test
