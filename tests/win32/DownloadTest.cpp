// Downloads over HTTP from a server on 127.0.0.1 that scripts/test-win32.sh
// runs: BMC_TEST_HTTP_URL is its base address, BMC_TEST_HTTP_ROOT the folder
// it serves, as a Windows path.
// Winsock 2 before windows.h, which would otherwise bring in the old winsock.h.
#include <winsock2.h>

#include "Win32Check.h"
#include "Win32TestSupport.h"

#include "platform/HostPlatform.h"

#include <wininet.h>

#include <cstdlib>
#include <cwchar>
#include <string>

using namespace win32test;

namespace {

constexpr int kSkipped = 77;

// A loopback port that nothing listens on: bound once, then released.
unsigned short closedPort() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return 0;
    unsigned short port = 0;
    const SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (probe != INVALID_SOCKET) {
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof(address);
        if (bind(probe, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0 &&
            getsockname(probe, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            port = ntohs(address.sin_port);
        closesocket(probe);
    }
    WSACleanup();
    return port;
}

bool hasCacheEntry(const std::wstring &url) {
    DWORD size = 0;
    if (GetUrlCacheEntryInfoW(url.c_str(), nullptr, &size))
        return true;
    return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

// Records a cache entry for url whose local copy holds content, as an
// earlier download through the same cache would have left it.
bool plantCacheEntry(const std::wstring &url, const std::string &content) {
    wchar_t cached[MAX_PATH * 2];
    if (!CreateUrlCacheEntryW(url.c_str(), 0, L"img", cached, 0))
        return false;
    if (!writeFile(cached, content))
        return false;
    FILETIME never = {0xFFFFFFFF, 0x7FFFFFFF};
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    static const wchar_t headers[] =
        L"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n";
    return CommitUrlCacheEntryW(url.c_str(), cached, never, now, NORMAL_CACHE_ENTRY,
                                const_cast<wchar_t *>(headers), static_cast<DWORD>(wcslen(headers)),
                                L"img", nullptr) != FALSE;
}

void freshContentEveryTime(const std::wstring &base, const std::wstring &root) {
    win32check::section("second download gets the new content");
    const std::wstring url = base + L"boot.wim";
    const std::wstring served = root + L"\\boot.wim";
    const std::wstring target = tempFolder() + L"bmc_download_target.wim";
    removeFile(target);

    CHECK(writeFile(served, "first image"));
    CHECK(hostplatform::downloadToFile(url, target));
    CHECK_EQ(readFileOrEmpty(target), "first image");

    CHECK(writeFile(served, "second image, longer"));
    CHECK(hostplatform::downloadToFile(url, target));
    CHECK_EQ(readFileOrEmpty(target), "second image, longer");
    removeFile(target);
    removeFile(served);
}

std::wstring closedPortUrl(const wchar_t *file) {
    const unsigned short port = closedPort();
    CHECK(port != 0);
    return L"http://127.0.0.1:" + std::to_wstring(port) + L"/" + file;
}

struct HeldDownload {
    std::wstring url;
    std::wstring target;
    bool succeeded = false;
};

DWORD WINAPI runHeldDownload(void *parameter) {
    auto *download = static_cast<HeldDownload *>(parameter);
    download->succeeded = hostplatform::downloadToFile(download->url, download->target);
    return 0;
}

// The server holds requests below /hold/ until the test writes "release" into
// the served folder, and writes "holding" there when one arrives; so the test
// can look at the cache while the request is under way.
void cachedCopyDroppedBeforeRequest(const std::wstring &base, const std::wstring &root) {
    win32check::section("a cached copy is dropped before the request is sent");
    const std::wstring holding = root + L"\\holding";
    const std::wstring release = root + L"\\release";
    const std::wstring served = root + L"\\held.wim";
    removeFile(holding);
    removeFile(release);
    CHECK(writeFile(served, "served image"));

    HeldDownload download;
    download.url = base + L"hold/held.wim";
    download.target = tempFolder() + L"bmc_download_held.wim";
    removeFile(download.target);
    CHECK(plantCacheEntry(download.url, "stale cached image"));
    CHECK(hasCacheEntry(download.url));

    const HANDLE worker = CreateThread(nullptr, 0, runHeldDownload, &download, 0, nullptr);
    CHECK(worker != nullptr);
    if (worker) {
        CHECK(waitForFile(holding, 60000));
        CHECK(!hasCacheEntry(download.url));
        CHECK(writeFile(release, "go"));
        WaitForSingleObject(worker, INFINITE);
        CloseHandle(worker);
    }
    CHECK(download.succeeded);
    CHECK_EQ(readFileOrEmpty(download.target), "served image");
    removeFile(download.target);
    removeFile(served);
    removeFile(holding);
    removeFile(release);
}

void cachedCopyDroppedWhenDownloadFails() {
    win32check::section("a cached copy is dropped even when the download fails");
    const std::wstring target = tempFolder() + L"bmc_download_cached.wim";
    removeFile(target);
    const std::wstring unreachable = closedPortUrl(L"cached.wim");
    CHECK(plantCacheEntry(unreachable, "stale cached image"));
    CHECK(hasCacheEntry(unreachable));
    CHECK(!hostplatform::downloadToFile(unreachable, target));
    CHECK(!hasCacheEntry(unreachable));
    CHECK(!fileExists(target));
}

void failuresReported(const std::wstring &base) {
    win32check::section("failed downloads");
    const std::wstring target = tempFolder() + L"bmc_download_missing.wim";
    removeFile(target);
    // The server's error page is no image, whatever the implementation did
    // with it.
    CHECK(!hostplatform::downloadToFile(base + L"no-such-image.wim", target));
    removeFile(target);

    CHECK(!hostplatform::downloadToFile(closedPortUrl(L"boot.wim"), target));
    CHECK(!fileExists(target));
}

void tricklingDownloadCanBeStopped(const std::wstring &base, const std::wstring &root) {
    win32check::section("a trickling download stops when asked");
    const std::wstring served = root + L"\\trickle.wim";
    const std::wstring target = tempFolder() + L"bmc_download_trickle.wim";
    removeFile(target);
    // Large enough that the first half arrives in several pieces.
    CHECK(writeFile(served, std::string(4 << 20, 'w')));
    // The user asks to stop after three seconds; the server would go on
    // for another minute.
    const ULONGLONG started = GetTickCount64();
    int asked = 0;
    const bool downloaded =
        hostplatform::downloadToFile(base + L"trickle/trickle.wim", target, [&]() {
            ++asked;
            return GetTickCount64() - started >= 3000;
        });
    CHECK(!downloaded);
    CHECK(asked > 0);
    // Given up at the next byte, a second apart.
    CHECK(GetTickCount64() - started < 15000);
    removeFile(target);
    removeFile(served);
}

} // namespace

int main() {
    const char *base = std::getenv("BMC_TEST_HTTP_URL");
    const char *root = std::getenv("BMC_TEST_HTTP_ROOT");
    if (!base || !root) {
        std::printf("BMC_TEST_HTTP_URL and BMC_TEST_HTTP_ROOT not set: no server to download "
                    "from (scripts/test-win32.sh runs one)\n");
        return kSkipped;
    }
    std::wstring baseUrl = widen(base);
    if (baseUrl.empty() || baseUrl.back() != L'/')
        baseUrl += L'/';
    freshContentEveryTime(baseUrl, widen(root));
    cachedCopyDroppedBeforeRequest(baseUrl, widen(root));
    cachedCopyDroppedWhenDownloadFails();
    failuresReported(baseUrl);
    tricklingDownloadCanBeStopped(baseUrl, widen(root));
    return win32check::finish();
}
