// The operating system door on Windows: thin wrappers over the Win32 calls the
// tool needs, without Qt, so this file also builds and runs on its own.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <bcrypt.h>
#include <urlmon.h>
#include <wininet.h>

#include "platform/HostPlatform.h"
#include "platform/win32/RemoteVersionWin32.h"
#include "platform/win32/Win32Text.h"

#include <string>

namespace hostplatform {

using win32::widenUtf8;

namespace {

// Buffer size, in wide characters, for the folder queries.
constexpr DWORD kPathCapacity = 512;

// Watches a download for the server's answer. URLDownloadToFileW does not
// fail on every HTTP error status by itself (some implementations save the
// server's error page and return S_OK), so the status is checked here. Lives
// on the caller's stack: the download is synchronous and releases every
// reference before it returns, so the count only guards against misuse.
class DownloadStatus final : public IBindStatusCallback, public IHttpNegotiate {
public:
    DownloadStatus(const std::wstring &url, const StopCheck &stop, const TransferProgress &progress)
        : m_onHttps(isHttps(url)), m_stop(stop), m_progress(progress) {}

    // The HTTP status of the last response; 0 when none was reported.
    DWORD httpStatus() const { return m_httpStatus; }
    // Whether the transfer was given up because a redirect left https.
    bool leftHttps() const { return m_leftHttps; }
    // What the answer said of the version it sent.
    const RemoteVersion &version() const { return m_version; }

    static bool isHttps(const std::wstring &url) {
        return url.size() > 8 &&
               CompareStringOrdinal(url.c_str(), 8, L"https://", 8, TRUE) == CSTR_EQUAL;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(IBindStatusCallback)))
            *object = static_cast<IBindStatusCallback *>(this);
        else if (IsEqualIID(riid, __uuidof(IHttpNegotiate)))
            *object = static_cast<IHttpNegotiate *>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&m_references));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        return static_cast<ULONG>(InterlockedDecrement(&m_references));
    }

    // IBindStatusCallback: only the defaults are wanted.
    // The binding tells where the transfer is now (IWinInetInfo, once the
    // transfer has begun).
    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding *binding) override {
        releaseBinding();
        m_binding = binding;
        if (m_binding)
            m_binding->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPriority(LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return E_NOTIMPL; }
    // Called as data arrives: the one place a synchronous download can be
    // given up, by the user or because the server has all but stopped
    // sending. (The byte count is 32 bits wide; images stay far below.)
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG progress, ULONG progressMax, ULONG status,
                                         LPCWSTR statusText) override {
        // Once on https, every next hop must be too: the system follows a
        // redirect to http without a word, and the server's proof would then
        // be worth nothing. A redirect is reported with its new address where
        // the system reports it; the address the transfer is at now is read
        // at every step as well (Wine reports no redirect at all, and has
        // moved on by its next "connecting").
        std::wstring now;
        if (status == BINDSTATUS_REDIRECTING && statusText)
            now = statusText;
        else
            now = currentUrl();
        if (!now.empty()) {
            const bool toHttps = isHttps(now);
            if (m_onHttps && !toHttps) {
                m_leftHttps = true;
                return E_ABORT;
            }
            m_onHttps = toHttps;
        }
        if (m_progress &&
            (status == BINDSTATUS_DOWNLOADINGDATA || status == BINDSTATUS_ENDDOWNLOADDATA))
            m_progress(progress, progressMax);
        if ((m_stop && m_stop()) || m_watch.stalled(GetTickCount64(), progress))
            return E_ABORT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT, LPCWSTR) override {
        releaseBinding();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD *, BINDINFO *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC *, STGMEDIUM *) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown *) override { return E_NOTIMPL; }

    // IHttpNegotiate
    HRESULT STDMETHODCALLTYPE BeginningTransaction(LPCWSTR, LPCWSTR, DWORD,
                                                   LPWSTR *additionalHeaders) override {
        if (additionalHeaders)
            *additionalHeaders = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnResponse(DWORD responseCode, LPCWSTR responseHeaders, LPCWSTR,
                                         LPWSTR *additionalHeaders) override {
        if (additionalHeaders)
            *additionalHeaders = nullptr;
        m_httpStatus = responseCode;
        // The last answer's (after any redirect): the one the file came with.
        m_version = win32::versionFromHeaders(responseHeaders);
        // Stops the transfer of an error page where the implementation allows.
        return isHttpError(responseCode) ? E_ABORT : S_OK;
    }

    static bool isHttpError(DWORD status) { return status >= 400; }

    ~DownloadStatus() { releaseBinding(); }

private:
    // Empty when the binding does not say.
    std::wstring currentUrl() const {
        IWinInetInfo *info = nullptr;
        if (!m_binding ||
            m_binding->QueryInterface(IID_IWinInetInfo, reinterpret_cast<void **>(&info)) != S_OK)
            return std::wstring();
        wchar_t url[INTERNET_MAX_URL_LENGTH];
        DWORD size = sizeof(url);
        const bool known = info->QueryOption(INTERNET_OPTION_URL, url, &size) == S_OK;
        info->Release();
        return known ? std::wstring(url, wcsnlen(url, size / sizeof(wchar_t))) : std::wstring();
    }
    void releaseBinding() {
        if (m_binding)
            m_binding->Release();
        m_binding = nullptr;
    }

    LONG m_references = 1;
    DWORD m_httpStatus = 0;
    RemoteVersion m_version;
    bool m_onHttps;
    bool m_leftHttps = false;
    IBinding *m_binding = nullptr;
    const StopCheck &m_stop;
    const TransferProgress &m_progress;
    StallWatch m_watch;
};

// Whether a download failed because the server's certificate did not pass
// the system's validation. URL monikers report most of these as
// INET_E_INVALID_CERTIFICATE; the WinINet codes come through as they are
// where a layer passes them on unmapped.
bool isCertificateError(HRESULT result) {
    static const HRESULT kCertificateErrors[] = {
        INET_E_INVALID_CERTIFICATE,
        INET_E_SECURITY_PROBLEM,
        HRESULT_FROM_WIN32(ERROR_INTERNET_INVALID_CA),
        HRESULT_FROM_WIN32(ERROR_INTERNET_SEC_CERT_CN_INVALID),
        HRESULT_FROM_WIN32(ERROR_INTERNET_SEC_CERT_DATE_INVALID),
        HRESULT_FROM_WIN32(ERROR_INTERNET_SEC_CERT_ERRORS),
        HRESULT_FROM_WIN32(ERROR_INTERNET_SEC_CERT_REVOKED),
        HRESULT_FROM_WIN32(ERROR_INTERNET_SEC_CERT_REV_FAILED),
        HRESULT_FROM_WIN32(ERROR_INTERNET_SEC_CERT_NO_REV),
        HRESULT_FROM_WIN32(ERROR_INTERNET_SEC_INVALID_CERT),
        HRESULT_FROM_WIN32(ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR),
    };
    for (const HRESULT known : kCertificateErrors) {
        if (result == known)
            return true;
    }
    return false;
}

// Read size for hashing: large enough that the calls cost nothing beside the
// hashing, small enough never to matter for memory. A multiple of every
// sector size, as reads without buffering require.
constexpr DWORD kHashChunk = 1 << 20;

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

namespace {

// The handles and the buffer of one hashing, released on every way out.
struct FileHashing {
    HANDLE file = INVALID_HANDLE_VALUE;
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    // From VirtualAlloc: page-aligned, hence sector-aligned.
    void *buffer = nullptr;

    FileHashing() = default;
    FileHashing(const FileHashing &) = delete;
    FileHashing &operator=(const FileHashing &) = delete;
    ~FileHashing() {
        if (buffer)
            VirtualFree(buffer, 0, MEM_RELEASE);
        if (hash)
            BCryptDestroyHash(hash);
        if (algorithm)
            BCryptCloseAlgorithmProvider(algorithm, 0);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
};

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

unsigned long long stallWindowMs() {
    return kStallWindowMs;
}

DownloadResult downloadToFile(const std::wstring &url, const std::wstring &windowsPath,
                              const StopCheck &stop, const TransferProgress &progress,
                              RemoteVersion *version) {
    // URLDownloadToFileW may answer from the local web cache; a build must
    // never get an older image that was cached under the same address.
    // If an existing entry cannot be removed, report failure rather than risk
    // it: the caller then downloads in a way that bypasses this cache.
    if (!DeleteUrlCacheEntryW(url.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        return DownloadResult::Failed;
    // A server that sends nothing at all calls no progress callback: the
    // receive time-out (process-wide, for the connections made from here on)
    // ends that wait after the same minute the stall rule allows.
    DWORD receiveTimeout = static_cast<DWORD>(kStallWindowMs);
    InternetSetOptionW(nullptr, INTERNET_OPTION_RECEIVE_TIMEOUT, &receiveTimeout,
                       sizeof(receiveTimeout));
    DownloadStatus status(url, stop, progress);
    const HRESULT result =
        URLDownloadToFileW(nullptr, url.c_str(), windowsPath.c_str(), 0, &status);
    if (status.leftHttps() || isCertificateError(result))
        return DownloadResult::NotAuthenticated;
    if (result != S_OK || DownloadStatus::isHttpError(status.httpStatus()))
        return DownloadResult::Failed;
    if (version)
        *version = status.version();
    return DownloadResult::Completed;
}

bool sha256OfFile(const std::string &localFile, unsigned char digest[kSha256Size],
                  bool fromDevice) {
    const std::wstring path = widenUtf8(localFile);
    if (path.empty())
        return false;
    FileHashing hashing;
    // Without buffering, every read comes from the device (the system first
    // writes out what it still holds for the file). Some file systems and
    // network redirectors refuse the flag: the buffered read is still a check
    // worth having, and better than failing a good build.
    bool unbuffered = fromDevice;
    if (unbuffered)
        hashing.file =
            CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (hashing.file == INVALID_HANDLE_VALUE) {
        unbuffered = false;
        hashing.file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    }
    if (hashing.file == INVALID_HANDLE_VALUE)
        return false;
    // CNG allocates the hash object itself when given none (Windows 7 on).
    if (!BCRYPT_SUCCESS(
            BCryptOpenAlgorithmProvider(&hashing.algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
        !BCRYPT_SUCCESS(
            BCryptCreateHash(hashing.algorithm, &hashing.hash, nullptr, 0, nullptr, 0, 0)))
        return false;
    hashing.buffer = VirtualAlloc(nullptr, kHashChunk, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!hashing.buffer)
        return false;

    auto *const chunk = static_cast<unsigned char *>(hashing.buffer);
    for (;;) {
        // Always the whole buffer: without buffering only the last read may
        // come back short, with the rest of the file.
        DWORD got = 0;
        if (!ReadFile(hashing.file, chunk, kHashChunk, &got, nullptr))
            return false;
        if (got > 0 && !BCRYPT_SUCCESS(BCryptHashData(hashing.hash, chunk, got, 0)))
            return false;
        // A short read is the end of the file; without buffering, a read
        // after it would start off a sector boundary, which the system refuses.
        if (got == 0 || (unbuffered && got < kHashChunk))
            break;
    }
    return BCRYPT_SUCCESS(BCryptFinishHash(hashing.hash, digest, kSha256Size, 0));
}

struct GrowingFileHash::State {
    std::wstring path;
    FileHashing hashing;
    bool ok = false;
    unsigned long long hashed = 0;

    State() {
        ok = BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&hashing.algorithm, BCRYPT_SHA256_ALGORITHM,
                                                        nullptr, 0)) &&
             BCRYPT_SUCCESS(
                 BCryptCreateHash(hashing.algorithm, &hashing.hash, nullptr, 0, nullptr, 0, 0));
        hashing.buffer =
            VirtualAlloc(nullptr, kHashChunk, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        ok = ok && hashing.buffer;
    }

    // Hashes from where the last read ended up to the current end. The
    // writer keeps the file open for writing, so it is shared for that.
    void readToEnd() {
        HANDLE &file = hashing.file;
        if (file == INVALID_HANDLE_VALUE)
            file = CreateFileW(path.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        auto *const chunk = static_cast<unsigned char *>(hashing.buffer);
        while (ok && file != INVALID_HANDLE_VALUE) {
            DWORD got = 0;
            if (!ReadFile(file, chunk, kHashChunk, &got, nullptr)) {
                ok = false;
                return;
            }
            if (got == 0)
                return;
            ok = BCRYPT_SUCCESS(BCryptHashData(hashing.hash, chunk, got, 0));
            hashed += got;
        }
    }
};

GrowingFileHash::GrowingFileHash(const std::string &localFile) : m_state(new State) {
    m_state->path = widenUtf8(localFile);
}

GrowingFileHash::~GrowingFileHash() {
    delete m_state;
}

void GrowingFileHash::catchUp() {
    m_state->readToEnd();
}

bool GrowingFileHash::finish(unsigned char digest[kSha256Size]) {
    State &s = *m_state;
    s.readToEnd();
    if (!s.ok || s.hashing.file == INVALID_HANDLE_VALUE)
        return false;
    // The file under the path must be the one read (a download may put a
    // finished copy in its place at the end), and no longer or shorter.
    BY_HANDLE_FILE_INFORMATION held{}, named{};
    const HANDLE again = CreateFileW(s.path.c_str(), FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
    if (again == INVALID_HANDLE_VALUE)
        return false;
    const bool same =
        GetFileInformationByHandle(s.hashing.file, &held) &&
        GetFileInformationByHandle(again, &named) &&
        held.dwVolumeSerialNumber == named.dwVolumeSerialNumber &&
        held.nFileIndexHigh == named.nFileIndexHigh && held.nFileIndexLow == named.nFileIndexLow &&
        ((static_cast<unsigned long long>(named.nFileSizeHigh) << 32) | named.nFileSizeLow) ==
            s.hashed;
    CloseHandle(again);
    return same && BCRYPT_SUCCESS(BCryptFinishHash(s.hashing.hash, digest, kSha256Size, 0));
}

unsigned long long GrowingFileHash::hashedBytes() const {
    return m_state->hashed;
}

std::string localPath(const std::string &windowsPath) {
    return windowsPath;
}

} // namespace hostplatform
