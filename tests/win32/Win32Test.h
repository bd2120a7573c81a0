// Check harness and Win32 helpers for the Windows layer's tests. No framework,
// so the executable runs under Wine without extra DLLs. The helpers call
// Win32 directly, never the layer under test, so a fault there cannot hide.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <type_traits>

namespace win32test {

inline int failures = 0;

// UTF-8 and UTF-16 both ways.
inline std::wstring widen(const std::string &text) {
    std::wstring wide(text.size(), L'\0');
    const int n = int(text.size());
    return wide.substr(0, MultiByteToWideChar(CP_UTF8, 0, text.data(), n, &wide[0], n));
}

inline std::string narrow(const std::wstring &text) {
    std::string bytes(text.size() * 3, '\0');
    const int n = int(text.size());
    return bytes.substr(
        0, WideCharToMultiByte(CP_UTF8, 0, text.data(), n, &bytes[0], 3 * n, nullptr, nullptr));
}

// A value as a failure shows it: text quoted, numbers and enumerations as numbers.
template <typename T> std::string shown(const T &value) {
    if constexpr (std::is_constructible<std::string, T>::value)
        return "\"" + std::string(value) + "\"";
    else if constexpr (std::is_constructible<std::wstring, T>::value)
        return "\"" + narrow(value) + "\"";
    else
        return std::to_string(static_cast<long long>(value));
}

template <typename Actual, typename Expected>
bool recordEqual(const std::string &row, const Actual &actual, const Expected &expected,
                 const char *what, const char *file, int line) {
    const bool ok = actual == expected;
    if (!ok) {
        ++failures;
        std::printf("FAIL %s:%d: %s for %s\n  got      %s\n  expected %s\n", file, line, what,
                    row.c_str(), shown(actual).c_str(), shown(expected).c_str());
        std::fflush(stdout);
    }
    return ok;
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

inline bool exists(const std::wstring &path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Empty when the file cannot be read, also while a writer holds it unshared.
inline std::string readFile(const std::wstring &path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
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

} // namespace win32test

#define CHECK(condition)                                                                           \
    win32test::recordEqual("", static_cast<bool>(condition), true, #condition, __FILE__, __LINE__)
// For a row of a table: the row's name is shown with a failure.
#define CHECK_ROW(row, actual, expected)                                                           \
    win32test::recordEqual(win32test::shown(row), (actual), (expected), #actual " == " #expected,  \
                           __FILE__, __LINE__)
#define CHECK_EQ(actual, expected) CHECK_ROW("", actual, expected)
