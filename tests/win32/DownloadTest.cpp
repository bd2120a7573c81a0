// Downloads from the servers on 127.0.0.1 that scripts/test-win32.sh runs
// (tests/win32/http_test_server.py), all serving one folder,
// BMC_TEST_HTTP_ROOT (a Windows path): BMC_TEST_HTTP_URL over http,
// BMC_TEST_HTTPS_URL over https with a certificate the system trusts,
// BMC_TEST_STRANGER_URL over https with one from an authority it does not know.
#include "Win32Test.h"

#include "platform/HostPlatform.h"

#include <wininet.h>

#include <cwchar>

using namespace win32test;

namespace {

constexpr auto kCompleted = hostplatform::DownloadResult::Completed;
constexpr auto kFailed = hostplatform::DownloadResult::Failed;

// Nothing listens on port 1: the connection is refused.
const std::wstring kRefused = L"http://127.0.0.1:1/boot.wim";

// A cache entry for url, as an earlier download through the same cache
// would have left it.
bool plantCacheEntry(const std::wstring &url, const std::string &content) {
    wchar_t cached[MAX_PATH * 2];
    static wchar_t headers[] = L"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n";
    FILETIME never = {0xFFFFFFFF, 0x7FFFFFFF}, now;
    GetSystemTimeAsFileTime(&now);
    return CreateUrlCacheEntryW(url.c_str(), 0, L"img", cached, 0) && writeFile(cached, content) &&
           CommitUrlCacheEntryW(url.c_str(), cached, never, now, NORMAL_CACHE_ENTRY, headers,
                                DWORD(wcslen(headers)), L"img", nullptr);
}

} // namespace

void downloadTests() {
    const char *base = std::getenv("BMC_TEST_HTTP_URL");
    const char *root = std::getenv("BMC_TEST_HTTP_ROOT");
    if (!CHECK(base && root))
        return; // scripts/test-win32.sh runs the server
    const std::wstring url = widen(base) + L"boot.wim";
    const std::wstring served = widen(root) + L"\\boot.wim";
    const std::wstring target = tempFolder() + L"bmc_download.wim";

    // Fresh content each time, never an earlier copy from the web cache, and
    // the progress heard to the end.
    CHECK(plantCacheEntry(url, "stale cached image"));
    for (const std::string content : {"first image", "second image, longer"}) {
        CHECK(writeFile(served, content));
        unsigned long long received = 0;
        CHECK(hostplatform::downloadToFile(url, target, nullptr,
                                           [&](unsigned long long got, unsigned long long) {
                                               received = got;
                                           }) == kCompleted);
        CHECK_EQ(readFile(target), content);
        CHECK_EQ(received, content.size());
    }

    // An error status or no server is a failure, never a success; a cached
    // copy is dropped all the same.
    removeFile(target);
    CHECK(hostplatform::downloadToFile(widen(base) + L"no-such-image.wim", target) == kFailed);
    CHECK(plantCacheEntry(kRefused, "stale cached image"));
    removeFile(target);
    CHECK(hostplatform::downloadToFile(kRefused, target) == kFailed);
    DWORD size = 0; // none left, not even one too large for no buffer
    CHECK(!GetUrlCacheEntryInfoW(kRefused.c_str(), nullptr, &size) &&
          GetLastError() != ERROR_INSUFFICIENT_BUFFER);
    CHECK(GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES);

    // The server below /trickle/ sends half and then a byte a second for a
    // minute; the user stops after two seconds.
    CHECK(writeFile(served, std::string(4 << 20, 'w')));
    const ULONGLONG started = GetTickCount64();
    CHECK(hostplatform::downloadToFile(widen(base) + L"trickle/boot.wim", target, [&]() {
              return GetTickCount64() - started >= 2000;
          }) == kFailed);
    CHECK(GetTickCount64() - started < 15000); // given up at the next byte
    removeFile(target);
    removeFile(served);
}

void authenticatedDownloadTests() {
    const char *http = std::getenv("BMC_TEST_HTTP_URL");
    const char *https = std::getenv("BMC_TEST_HTTPS_URL");
    const char *stranger = std::getenv("BMC_TEST_STRANGER_URL");
    const char *root = std::getenv("BMC_TEST_HTTP_ROOT");
    if (!CHECK(http && https && stranger && root))
        return; // scripts/test-win32.sh runs the servers
    const std::string content = "image served over https";
    const std::wstring served = widen(root) + L"\\secure.wim";
    const std::wstring target = tempFolder() + L"bmc_secure.wim";
    CHECK(writeFile(served, content));
    const auto redirect = [](const char *from, const char *to) {
        return widen(from) + L"redirect?to=" + widen(to) + L"secure.wim";
    };

    using hostplatform::DownloadResult;
    const struct {
        const char *what;
        std::wstring url;
        DownloadResult expected;
    } rows[] = {
        {"https, trusted", widen(https) + L"secure.wim", DownloadResult::Completed},
        {"https to https", redirect(https, https), DownloadResult::Completed},
        {"http to https", redirect(http, https), DownloadResult::Completed},
        {"http", widen(http) + L"secure.wim", DownloadResult::Completed},
        {"https, unknown authority", widen(stranger) + L"secure.wim",
         DownloadResult::NotAuthenticated},
        {"https to http", redirect(https, http), DownloadResult::NotAuthenticated},
        {"http to https to http", widen(http) + L"redirect?to=" + redirect(https, http),
         DownloadResult::NotAuthenticated},
    };
    for (const auto &row : rows) {
        removeFile(target);
        const DownloadResult result = hostplatform::downloadToFile(row.url, target);
        CHECK_EQ(std::string(row.what) + ": " + std::to_string(int(result)),
                 std::string(row.what) + ": " + std::to_string(int(row.expected)));
        // A refused server leaves no image behind that could pass for one.
        const std::string arrived = readFile(target);
        CHECK_EQ(std::string(row.what) + ": " + arrived,
                 std::string(row.what) + ": " +
                     (row.expected == DownloadResult::Completed ? content : ""));
    }
    removeFile(target);
    removeFile(served);
}
