// Announcements through UI Automation. UiaRaiseNotificationEvent exists from
// Windows 10 1709 on and MinGW's headers lack it, so it is looked up at run
// time, from the system folder only; on older systems nothing is announced
// and the status line, which assistive technology reads anyway, has to do.
#include "platform/HostPlatform.h"

#include <windows.h>

namespace hostplatform {

namespace {

// UI Automation's NotificationKind_ActionCompleted and
// NotificationProcessing_ImportantAll: the outcome of the build is read out
// in full, after whatever is being read.
constexpr int kActionCompleted = 2;
constexpr int kImportantAll = 0;

using HostProviderFromHwnd = HRESULT(WINAPI *)(HWND, IUnknown **);
using RaiseNotificationEvent = HRESULT(WINAPI *)(IUnknown *, int, int, BSTR, BSTR);
using AllocString = BSTR(WINAPI *)(const OLECHAR *);
using FreeString = void(WINAPI *)(BSTR);

template <typename F> F systemFunction(const wchar_t *dll, const char *name) {
    HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module ? reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(module, name)))
                  : nullptr;
}

} // namespace

bool announce(std::uintptr_t window, const std::wstring &text) {
    static const auto hostProvider =
        systemFunction<HostProviderFromHwnd>(L"uiautomationcore.dll", "UiaHostProviderFromHwnd");
    static const auto raise = systemFunction<RaiseNotificationEvent>(L"uiautomationcore.dll",
                                                                     "UiaRaiseNotificationEvent");
    static const auto allocString = systemFunction<AllocString>(L"oleaut32.dll", "SysAllocString");
    static const auto freeString = systemFunction<FreeString>(L"oleaut32.dll", "SysFreeString");
    if (!hostProvider || !raise || !allocString || !freeString || !window)
        return false;

    IUnknown *provider = nullptr;
    if (FAILED(hostProvider(reinterpret_cast<HWND>(window), &provider)) || !provider)
        return false;
    BSTR spoken = allocString(text.c_str());
    BSTR activity = allocString(L"BootableMediaCreator.BuildOutcome");
    const bool told = spoken && activity &&
                      SUCCEEDED(raise(provider, kActionCompleted, kImportantAll, spoken, activity));
    freeString(spoken);
    freeString(activity);
    provider->Release();
    return told;
}

} // namespace hostplatform
