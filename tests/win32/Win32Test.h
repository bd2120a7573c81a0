// Check harness and Win32 helpers for the Windows layer's tests. No framework,
// so the executable runs under Wine without extra DLLs. The helpers call
// Win32 directly, never the layer under test, so a fault there cannot hide.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace win32test {

inline int &failures() {
    static int count = 0;
    return count;
}

inline bool record(bool ok, const char *what, const std::string &detail, const char *file,
                   int line) {
    if (!ok) {
        ++failures();
        std::printf("FAIL %s:%d: %s%s\n", file, line, what, detail.c_str());
        std::fflush(stdout);
    }
    return ok;
}

inline bool recordEqual(long long actual, long long expected, const char *what, const char *file,
                        int line) {
    return record(actual == expected, what,
                  " (got " + std::to_string(actual) + ", expected " + std::to_string(expected) +
                      ")",
                  file, line);
}

inline bool recordEqual(const std::string &actual, const std::string &expected, const char *what,
                        const char *file, int line) {
    return record(actual == expected, what,
                  "\n  got      \"" + actual + "\"\n  expected \"" + expected + "\"", file, line);
}

// UTF-8 and UTF-16 both ways.
inline std::wstring widen(const std::string &text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(
        CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], int(wide.size()))));
    return wide;
}

inline std::string narrow(const std::wstring &text) {
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0],
                            static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

// This executable's full path; the tests start it as their probe.
inline std::wstring ownPath() {
    wchar_t buffer[MAX_PATH * 2];
    return std::wstring(buffer, GetModuleFileNameW(nullptr, buffer, MAX_PATH * 2));
}

// With its trailing backslash.
inline std::wstring tempFolder() {
    wchar_t buffer[MAX_PATH * 2];
    return std::wstring(buffer, GetTempPathW(MAX_PATH * 2, buffer));
}

inline bool fileExists(const std::wstring &path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Empty when the file cannot be read.
inline std::string readFile(const std::wstring &path) {
    std::string content;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    char chunk[4096];
    DWORD got = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, chunk, sizeof(chunk), &got, nullptr) &&
           got > 0)
        content.append(chunk, got);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return content;
}

// Replaces the file, unshared: fails while anyone else holds it open.
inline bool writeFile(const std::wstring &path, const std::string &content) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok = file != INVALID_HANDLE_VALUE &&
                    WriteFile(file, content.data(), DWORD(content.size()), &written, nullptr) &&
                    written == content.size();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return ok;
}

inline void removeFile(const std::wstring &path) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

// Sets (nullptr: removes) a variable of the C runtime's environment, which
// the layer reads; the runtime passes it on to the process environment too.
inline void setRuntimeEnvironment(const char *name, const char *value) {
    _putenv((std::string(name) + "=" + (value ? value : "")).c_str());
}

// For files that a process the test cannot wait on writes.
inline bool waitForFile(const std::wstring &path) {
    for (int i = 0; i < 600 && readFile(path).empty(); ++i)
        Sleep(100);
    return !readFile(path).empty();
}

} // namespace win32test

#define CHECK(condition)                                                                           \
    win32test::record(static_cast<bool>(condition), #condition, "", __FILE__, __LINE__)
#define CHECK_EQ(actual, expected)                                                                 \
    win32test::recordEqual((actual), (expected), #actual " == " #expected, __FILE__, __LINE__)
