// The question whether a server still serves the file that was downloaded:
// a HEAD request through WinINet, the system's own HTTP, with its
// certificate validation.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <wininet.h>

#include "platform/win32/RemoteVersionWin32.h"

#include <cwchar>
#include <string>

namespace hostplatform {
namespace win32 {

namespace {

std::string narrowAscii(const std::wstring &text) {
    std::string out;
    for (const wchar_t c : text)
        out.push_back(c > 0 && c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

std::wstring trimmed(const std::wstring &text) {
    const std::size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return std::wstring();
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

} // namespace

RemoteVersion versionFromHeaders(const wchar_t *headers) {
    RemoteVersion version;
    if (!headers)
        return version;
    const std::wstring all(headers);
    std::size_t start = 0;
    while (start < all.size()) {
        std::size_t end = all.find(L"\r\n", start);
        if (end == std::wstring::npos)
            end = all.size();
        const std::wstring line = all.substr(start, end - start);
        start = end + 2;
        const std::size_t colon = line.find(L':');
        if (colon == std::wstring::npos)
            continue;
        const std::wstring name = trimmed(line.substr(0, colon));
        const std::wstring value = trimmed(line.substr(colon + 1));
        if (_wcsicmp(name.c_str(), L"ETag") == 0)
            version.etag = narrowAscii(value);
        else if (_wcsicmp(name.c_str(), L"Last-Modified") == 0)
            version.lastModified = narrowAscii(value);
        else if (_wcsicmp(name.c_str(), L"Content-Length") == 0 && !value.empty() &&
                 value.find_first_not_of(L"0123456789") == std::wstring::npos)
            version.length = static_cast<long long>(std::wcstoll(value.c_str(), nullptr, 10));
    }
    return version;
}

} // namespace win32

namespace {

struct InternetHandle {
    HINTERNET handle;
    ~InternetHandle() {
        if (handle)
            InternetCloseHandle(handle);
    }
};

// Sends the HEAD request and reads the version its answer names.
bool askForVersion(HINTERNET request, RemoteVersion *version) {
    // A certificate that does not pass fails the send: WinINet validates
    // unless told not to, and nothing here tells it so.
    if (!HttpSendRequestW(request, nullptr, 0, nullptr, 0))
        return false;
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                        nullptr) ||
        status < 200 || status >= 300)
        return false;
    DWORD length = 0;
    HttpQueryInfoW(request, HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &length, nullptr);
    if (length == 0)
        return false;
    std::wstring headers(length / sizeof(wchar_t) + 1, L'\0');
    if (!HttpQueryInfoW(request, HTTP_QUERY_RAW_HEADERS_CRLF, &headers[0], &length, nullptr))
        return false;
    *version = win32::versionFromHeaders(headers.c_str());
    return true;
}

// The whole question, from the link to the answer's version.
bool askServer(const std::wstring &url, RemoteVersion *version) {
    wchar_t host[INTERNET_MAX_HOST_NAME_LENGTH] = L"";
    wchar_t path[INTERNET_MAX_URL_LENGTH] = L"";
    wchar_t extra[INTERNET_MAX_URL_LENGTH] = L"";
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = INTERNET_MAX_HOST_NAME_LENGTH;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = INTERNET_MAX_URL_LENGTH;
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = INTERNET_MAX_URL_LENGTH;
    if (!InternetCrackUrlW(url.c_str(), 0, 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTPS && parts.nScheme != INTERNET_SCHEME_HTTP))
        return false;
    // Never from the web cache, and no redirect followed: an answer from
    // anywhere but the link itself confirms nothing (the caller downloads).
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                  INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_AUTO_REDIRECT |
                  INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS)
        flags |= INTERNET_FLAG_SECURE;
    const InternetHandle session{
        InternetOpenW(L"BootableMediaCreator", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)};
    if (!session.handle)
        return false;
    DWORD timeout = static_cast<DWORD>(kStallWindowMs);
    InternetSetOptionW(session.handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
    InternetSetOptionW(session.handle, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof(timeout));
    const InternetHandle connection{InternetConnectW(session.handle, host, parts.nPort, nullptr,
                                                     nullptr, INTERNET_SERVICE_HTTP, 0, 0)};
    if (!connection.handle)
        return false;
    const std::wstring target = std::wstring(path) + extra;
    const InternetHandle request{HttpOpenRequestW(connection.handle, L"HEAD", target.c_str(),
                                                  nullptr, nullptr, nullptr, flags, 0)};
    return request.handle && askForVersion(request.handle, version);
}

// One question on a thread of its own, so that the caller can give it up at
// once: not every WinINet call returns when its handle is closed under it,
// nor within the timeouts set on it (Wine's do not). The thread and the
// caller share it; the last to let go frees it, so that a question given up
// ends on its own, whenever WinINet returns.
struct Question {
    std::wstring url;
    RemoteVersion version;
    bool answered = false;
    HANDLE done = nullptr; // set once the answer, or the failure, is in
    LONG holders = 2;
};

void letGo(Question *question) {
    if (InterlockedDecrement(&question->holders) == 0) {
        CloseHandle(question->done);
        delete question;
    }
}

DWORD WINAPI askOnThread(void *context) {
    auto *question = static_cast<Question *>(context);
    question->answered = askServer(question->url, &question->version);
    SetEvent(question->done);
    letGo(question);
    return 0;
}

} // namespace

bool remoteVersion(const std::wstring &url, RemoteVersion *version, const StopCheck &stop) {
    auto *question = new Question;
    question->url = url;
    question->done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const HANDLE thread =
        question->done ? CreateThread(nullptr, 0, &askOnThread, question, 0, nullptr) : nullptr;
    if (!thread) {
        if (question->done)
            CloseHandle(question->done);
        delete question;
        return false;
    }
    CloseHandle(thread);
    // Given up at the caller's stop, and at the stall window whatever
    // WinINet's own timeouts do.
    bool answered = false;
    const ULONGLONG started = GetTickCount64();
    for (;;) {
        if (WaitForSingleObject(question->done, 100) == WAIT_OBJECT_0) {
            answered = question->answered;
            if (answered)
                *version = question->version;
            break;
        }
        if ((stop && stop()) || GetTickCount64() - started >= kStallWindowMs)
            break;
    }
    letGo(question);
    return answered;
}

} // namespace hostplatform
