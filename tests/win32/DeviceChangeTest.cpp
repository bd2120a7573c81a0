// Which device-change messages count as a disk plugged in or removed, through
// the real message structures, and the registration for disk arrivals.
#include "Win32Check.h"
#include "Win32TestSupport.h"

#include "platform/HostPlatform.h"

#include <dbt.h>

using hostplatform::DeviceChange;

int main() {
    win32check::section("startWatchingDevices");
    // A message-only window: the tests run without a display.
    HWND window = CreateWindowExW(0, L"STATIC", L"main", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    CHECK(window != nullptr);
    const auto handle = reinterpret_cast<std::uintptr_t>(window);
    void *watch = hostplatform::startWatchingDevices(handle, nullptr, nullptr);
    CHECK(watch != nullptr);
    hostplatform::stopWatchingDevices(watch);
    CHECK(hostplatform::startWatchingDevices(0, nullptr, nullptr) == nullptr);
    // Only the handle is compared: a dialog's would be any other value.
    HWND other = reinterpret_cast<HWND>(handle + 0x10);

    win32check::section("deviceChangeOf");
    DEV_BROADCAST_VOLUME volume = {};
    volume.dbcv_size = sizeof(volume);
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    DEV_BROADCAST_DEVICEINTERFACE_W disk = {};
    disk.dbcc_size = sizeof(disk);
    disk.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    disk.dbcc_classguid = {
        0x53f56307, 0xb6bf, 0x11d0, {0x94, 0xf2, 0x00, 0xa0, 0xc9, 0x1e, 0xfb, 0x8b}};
    DEV_BROADCAST_DEVICEINTERFACE_W mouse = disk; // the HID class: no disk
    mouse.dbcc_classguid = {
        0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
    DEV_BROADCAST_PORT_W port = {};
    port.dbcp_size = sizeof(port);
    port.dbcp_devicetype = DBT_DEVTYP_PORT;

    struct Case {
        const char *what;
        const char *eventType;
        HWND to;
        UINT message;
        WPARAM event;
        const void *data;
        DeviceChange expected;
    };
    const Case cases[] = {
        {"volume arrived", "windows_generic_MSG", window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL,
         &volume, DeviceChange::Arrived},
        {"volume removed", "windows_generic_MSG", window, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
         &volume, DeviceChange::Removed},
        {"blank disk arrived", "windows_generic_MSG", window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL,
         &disk, DeviceChange::Arrived},
        {"disk removed", "windows_generic_MSG", window, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
         &disk, DeviceChange::Removed},
        {"the same for another window", "windows_generic_MSG", other, WM_DEVICECHANGE,
         DBT_DEVICEARRIVAL, &volume, DeviceChange::None},
        {"another interface class", "windows_generic_MSG", window, WM_DEVICECHANGE,
         DBT_DEVICEARRIVAL, &mouse, DeviceChange::None},
        {"a port", "windows_generic_MSG", window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, &port,
         DeviceChange::None},
        {"removal asked, not done", "windows_generic_MSG", window, WM_DEVICECHANGE,
         DBT_DEVICEQUERYREMOVE, &volume, DeviceChange::None},
        {"no structure", "windows_generic_MSG", window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, nullptr,
         DeviceChange::None},
        {"another message", "windows_generic_MSG", window, WM_SETTINGCHANGE, DBT_DEVICEARRIVAL,
         &volume, DeviceChange::None},
        {"another event type", "windows_dispatcher_MSG", window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL,
         &volume, DeviceChange::None},
    };
    for (const Case &c : cases) {
        MSG msg = {};
        msg.hwnd = c.to;
        msg.message = c.message;
        msg.wParam = c.event;
        msg.lParam = reinterpret_cast<LPARAM>(c.data);
        CHECK_EQ(static_cast<int>(hostplatform::deviceChangeOf(c.eventType, &msg, handle)),
                 static_cast<int>(c.expected));
        if (hostplatform::deviceChangeOf(c.eventType, &msg, handle) != c.expected)
            std::printf("  case: %s\n", c.what);
    }
    DestroyWindow(window);
    return win32check::finish();
}
