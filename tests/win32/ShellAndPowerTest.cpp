// Starting a program through the shell from the current folder, the way the
// tool restarts its host program, and the keep-awake request.
#include "Win32Check.h"
#include "Win32TestSupport.h"

#include "platform/HostPlatform.h"

#include <cstdio>
#include <string>

using namespace win32test;

namespace {

void startByNameFromOwnFolder() {
    win32check::section("shellStart");
    const std::wstring marker = tempFolder() + L"bmc_shell_marker.txt";
    removeFile(marker);
    setRuntimeEnvironment("BMC_PROBE_MARKER", narrow(marker).c_str());

    // Start elsewhere, then move to the program's folder and name it bare.
    CHECK(SetCurrentDirectoryW(tempFolder().c_str()));
    CHECK(SetCurrentDirectoryW(ownFolder().c_str()));
    CHECK(hostplatform::shellStart("win32_probe.exe"));
    // The shell does not wait for the program; give it time to write.
    CHECK(waitForFile(marker, 60000));
    CHECK_EQ(readFileOrEmpty(marker), narrow(ownFolder() + L"\\win32_probe.exe"));
    removeFile(marker);

    CHECK(!hostplatform::shellStart("bmc_no_such_program.exe"));
    CHECK(!fileExists(marker));
}

EXECUTION_STATE clearAndReadPrevious() {
    return SetThreadExecutionState(ES_CONTINUOUS);
}

void keepAwake() {
    win32check::section("setKeepAwake");
    // Each SetThreadExecutionState call returns the state it replaced, so the
    // test's own clearing call shows what the layer left set.
    clearAndReadPrevious();
    hostplatform::setKeepAwake(true);
    CHECK_EQ(static_cast<long long>(clearAndReadPrevious()),
             static_cast<long long>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED));

    hostplatform::setKeepAwake(true);
    hostplatform::setKeepAwake(false);
    CHECK_EQ(static_cast<long long>(clearAndReadPrevious()), static_cast<long long>(ES_CONTINUOUS));

    // Clearing twice is harmless and leaves nothing requested.
    hostplatform::setKeepAwake(false);
    hostplatform::setKeepAwake(false);
    CHECK_EQ(static_cast<long long>(clearAndReadPrevious()), static_cast<long long>(ES_CONTINUOUS));
}

} // namespace

long long runProbe(const std::wstring &arguments) {
    std::wstring line = L"\"" + ownFolder() + L"\\win32_probe.exe\" " + arguments;
    return hostplatform::runHiddenProcess(&line[0]);
}

void oneCopyAtATime() {
    win32check::section("one copy at a time");
    // Before any copy runs, a start is not refused.
    CHECK_EQ(runProbe(L"second"), 5);
    CHECK(hostplatform::claimSingleInstance());
    // Still starting, without a window: refused, with nothing to bring up.
    CHECK_EQ(runProbe(L"second"), 4);

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"BmcTestMainWindow";
    RegisterClassW(&windowClass);
    const HWND window =
        CreateWindowExW(0, L"BmcTestMainWindow", L"main window", WS_OVERLAPPEDWINDOW, 10, 10, 500,
                        300, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) {
        // Wine without any display driver makes no windows at all.
        std::printf("no window can be made here (error %lu): activation not tried\n",
                    static_cast<unsigned long>(GetLastError()));
        return;
    }
    ShowWindow(window, SW_SHOWMINIMIZED);
    // The second start runs while this copy keeps its window answering, as
    // the tool's event loop does.
    struct Second {
        long long code = -1;
        static DWORD WINAPI run(void *self) {
            static_cast<Second *>(self)->code = runProbe(L"second");
            return 0;
        }
    } second;
    const HANDLE starter = CreateThread(nullptr, 0, Second::run, &second, 0, nullptr);
    CHECK(starter != nullptr);
    while (starter &&
           MsgWaitForMultipleObjects(1, &starter, FALSE, 60000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    if (starter)
        CloseHandle(starter);
    CHECK_EQ(second.code, 0);
    // Brought back from the task bar.
    for (int i = 0; i < 50 && IsIconic(window); ++i) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(100);
    }
    CHECK(!IsIconic(window));
    DestroyWindow(window);
}

int main() {
    startByNameFromOwnFolder();
    keepAwake();
    oneCopyAtATime();
    return win32check::finish();
}
