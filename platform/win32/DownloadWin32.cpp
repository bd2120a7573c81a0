// Downloading a URL to a file on Windows: URL monikers, with the server's
// status and the version it sent watched, https kept on every hop, the
// user's stop and the stall rule applied as data arrives.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <urlmon.h>
#include <wininet.h>

#include "platform/HostPlatform.h"
#include "platform/win32/RemoteVersionWin32.h"

#include <string>

namespace hostplatform {

namespace {

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

} // namespace

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

} // namespace hostplatform
