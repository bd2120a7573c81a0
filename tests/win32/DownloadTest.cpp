// Downloads over HTTP from the server on 127.0.0.1 that scripts/test-win32.sh
// runs (tests/win32/http_test_server.py): BMC_TEST_HTTP_URL is its base
// address, BMC_TEST_HTTP_ROOT the folder it serves, as a Windows path.
#include "Win32Test.h"

#include "platform/HostPlatform.h"

#include <wininet.h>

#include <cwchar>

using namespace win32test;

namespace {

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
        CHECK(hostplatform::downloadToFile(
            url, target, nullptr,
            [&](unsigned long long got, unsigned long long) { received = got; }));
        CHECK_EQ(readFile(target), content);
        CHECK_EQ(received, content.size());
    }

    // An error status or no server is a failure, never a success; a cached
    // copy is dropped all the same.
    removeFile(target);
    CHECK(!hostplatform::downloadToFile(widen(base) + L"no-such-image.wim", target));
    CHECK(plantCacheEntry(kRefused, "stale cached image"));
    removeFile(target);
    CHECK(!hostplatform::downloadToFile(kRefused, target));
    DWORD size = 0; // none left, not even one too large for no buffer
    CHECK(!GetUrlCacheEntryInfoW(kRefused.c_str(), nullptr, &size) &&
          GetLastError() != ERROR_INSUFFICIENT_BUFFER);
    CHECK(GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES);

    // The server below /trickle/ sends half and then a byte a second for a
    // minute; the user stops after two seconds.
    CHECK(writeFile(served, std::string(4 << 20, 'w')));
    const ULONGLONG started = GetTickCount64();
    CHECK(!hostplatform::downloadToFile(widen(base) + L"trickle/boot.wim", target,
                                        [&]() { return GetTickCount64() - started >= 2000; }));
    CHECK(GetTickCount64() - started < 15000); // given up at the next byte
    removeFile(target);
    removeFile(served);
}
