// Downloads from the servers on 127.0.0.1 that scripts/test-win32.sh runs
// (scripts/demo_server.py), all serving one folder,
// BMC_TEST_HTTP_ROOT (a Windows path): BMC_TEST_HTTP_URL over http,
// BMC_TEST_HTTPS_URL over https with a certificate the system trusts,
// BMC_TEST_STRANGER_URL over https with one from an authority it does not know.
#include <winsock2.h> // before windows.h

#include "Win32Test.h"

#include "platform/HostPlatform.h"

#include <wininet.h>

#include <cwchar>

using namespace win32test;
using hostplatform::DownloadResult;

namespace {

// A cache entry for url, as an earlier download through the same cache
// would have left it.
bool plantCacheEntry(const std::wstring &url) {
    wchar_t cached[MAX_PATH * 2];
    static wchar_t headers[] = L"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n";
    FILETIME never = {0xFFFFFFFF, 0x7FFFFFFF}, now;
    GetSystemTimeAsFileTime(&now);
    return CreateUrlCacheEntryW(url.c_str(), 0, L"img", cached, 0) &&
           writeFile(cached, "stale cached image") &&
           CommitUrlCacheEntryW(url.c_str(), cached, never, now, NORMAL_CACHE_ENTRY, headers,
                                DWORD(wcslen(headers)), L"img", nullptr);
}

} // namespace

void downloadTests() {
    const char *http = std::getenv("BMC_TEST_HTTP_URL");
    const char *https = std::getenv("BMC_TEST_HTTPS_URL");
    const char *stranger = std::getenv("BMC_TEST_STRANGER_URL");
    const char *root = std::getenv("BMC_TEST_HTTP_ROOT");
    if (!CHECK(http && https && stranger && root))
        return; // scripts/test-win32.sh runs the servers
    const std::wstring served = widen(root) + L"\\boot.wim",
                       target = tempFolder() + L"bmc_download.wim";
    const auto redirect = [](const char *from, const char *to) {
        return widen(from) + L"redirect?to=" + widen(to) + L"boot.wim";
    };
    const auto refused = DownloadResult::NotAuthenticated;
    const struct {
        const char *what;
        std::wstring url;
        DownloadResult expected;
    } rows[] = {
        {"http", widen(http) + L"boot.wim", DownloadResult::Completed},
        {"https, trusted", widen(https) + L"boot.wim", DownloadResult::Completed},
        {"https to https", redirect(https, https), DownloadResult::Completed},
        {"http to https", redirect(http, https), DownloadResult::Completed},
        {"an error status", widen(http) + L"no-such-image.wim", DownloadResult::Failed},
        {"no server", L"http://127.0.0.1:1/boot.wim", DownloadResult::Failed},
        {"https, unknown authority", widen(stranger) + L"boot.wim", refused},
        {"https to http", redirect(https, http), refused},
        {"http to https to http", widen(http) + L"redirect?to=" + redirect(https, http), refused},
    };
    for (const auto &row : rows) {
        // Content of its own for each row: never an earlier download's, nor
        // the copy an earlier download left in the web cache.
        const std::string content = std::string("image for ") + row.what;
        CHECK(writeFile(served, content) && plantCacheEntry(row.url));
        removeFile(target);
        unsigned long long received = 0;
        const auto progress = [&](unsigned long long got, unsigned long long) { received = got; };
        hostplatform::RemoteVersion version;
        CHECK_ROW(row.what,
                  hostplatform::downloadToFile(row.url, target, nullptr, progress, &version),
                  row.expected);
        // A refused server leaves no image behind that could pass for one,
        // and where nothing arrived, no cached copy to answer a later
        // download; an error status may leave its page, never an image.
        const bool completed = row.expected == DownloadResult::Completed;
        const std::string arrived = readFile(target);
        if (row.expected == DownloadResult::Failed && !arrived.empty())
            CHECK_ROW(row.what, arrived != content && arrived != "stale cached image", true);
        else
            CHECK_ROW(row.what, arrived, completed ? content : "");
        CHECK_ROW(row.what, received, completed ? content.size() : received);
        // The version the file came with (Python's server: its length and
        // Last-Modified, no ETag), and the same when the server is asked
        // again; a server not proven, or one that sends elsewhere, tells
        // nothing.
        hostplatform::RemoteVersion now;
        const bool direct = completed && row.url.find(L"redirect") == std::wstring::npos;
        CHECK_ROW(row.what, hostplatform::remoteVersion(row.url, &now), direct);
        if (completed)
            CHECK_ROW(row.what,
                      version.length == static_cast<long long>(content.size()) &&
                          !version.lastModified.empty(),
                      true);
        if (direct)
            CHECK_ROW(row.what,
                      now.length == version.length && now.etag == version.etag &&
                          now.lastModified == version.lastModified,
                      true);
        DWORD size = 0; // none left, not even one too large for no buffer
        if (!completed && arrived.empty())
            CHECK_ROW(row.what,
                      GetUrlCacheEntryInfoW(row.url.c_str(), nullptr, &size) ||
                          GetLastError() == ERROR_INSUFFICIENT_BUFFER,
                      false);
    }

    // The server below /trickle/ sends half and then a byte a second, for
    // days; the user stops after two seconds. A download that ignored the
    // stop would go on asking (and only the stall rule would end it).
    CHECK(writeFile(served, std::string(4 << 20, 'w')));
    const ULONGLONG started = GetTickCount64();
    int askedAfterStop = 0;
    CHECK(hostplatform::downloadToFile(widen(http) + L"trickle/boot.wim", target, [&]() {
              const bool stop = GetTickCount64() - started >= 2000;
              askedAfterStop += stop;
              return stop;
          }) == DownloadResult::Failed);
    // Given up at the first answer "stop"; ignored, it would be asked each second.
    CHECK(askedAfterStop >= 1 && askedAfterStop <= 3);
    removeFile(target);
    removeFile(served);

    // A server that takes the question and never answers: the question is
    // given up at the first "stop", not at the end of the stall window.
    WSADATA winsock;
    SOCKET silent = INVALID_SOCKET;
    sockaddr_in address{AF_INET, 0, {{{127, 0, 0, 1}}}, {}};
    int addressSize = sizeof(address);
    if (CHECK(WSAStartup(MAKEWORD(2, 2), &winsock) == 0) &&
        CHECK((silent = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) != INVALID_SOCKET) &&
        CHECK(bind(silent, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0 &&
              listen(silent, 4) == 0 &&
              getsockname(silent, reinterpret_cast<sockaddr *>(&address), &addressSize) == 0)) {
        const std::wstring url =
            L"http://127.0.0.1:" + std::to_wstring(ntohs(address.sin_port)) + L"/boot.wim";
        int asked = 0;
        hostplatform::RemoteVersion none;
        CHECK(!hostplatform::remoteVersion(url, &none, [&]() { return ++asked >= 3; }));
        CHECK_EQ(asked, 3);
    }
    closesocket(silent); // of no effect when there is none
    WSACleanup();
}
