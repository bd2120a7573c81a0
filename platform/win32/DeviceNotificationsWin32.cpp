// Disk arrivals and removals as Windows reports them to a window.
#include "platform/HostPlatform.h"

#include <windows.h>
// dbt.h needs the declarations of windows.h.
#include <dbt.h>

#include <cstring>

namespace hostplatform {

namespace {

// GUID_DEVINTERFACE_DISK: every disk, whether or not it holds a volume.
const GUID kDiskInterfaceClass = {
    0x53f56307, 0xb6bf, 0x11d0, {0x94, 0xf2, 0x00, 0xa0, 0xc9, 0x1e, 0xfb, 0x8b}};

bool isDiskEvent(const DEV_BROADCAST_HDR *header) {
    if (header->dbch_devicetype == DBT_DEVTYP_VOLUME)
        return true;
    if (header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE ||
        header->dbch_size < sizeof(DEV_BROADCAST_DEVICEINTERFACE_W))
        return false;
    const auto *device = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W *>(header);
    return IsEqualGUID(device->dbcc_classguid, kDiskInterfaceClass) != 0;
}

} // namespace

void *startWatchingDevices(std::uintptr_t window, DeviceChangeCallback, void *) {
    if (!window)
        return nullptr;
    DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kDiskInterfaceClass;
    return RegisterDeviceNotificationW(reinterpret_cast<HWND>(window), &filter,
                                       DEVICE_NOTIFY_WINDOW_HANDLE);
}

void stopWatchingDevices(void *handle) {
    if (handle)
        UnregisterDeviceNotification(handle);
}

DeviceChange deviceChangeOf(const char *eventType, const void *message, std::uintptr_t window) {
    if (!eventType || !message || std::strcmp(eventType, "windows_generic_MSG") != 0)
        return DeviceChange::None;
    const MSG *msg = static_cast<const MSG *>(message);
    // A volume's arrival is broadcast to every top-level window of the
    // process (the dialogs too): only the main window's copy counts.
    if (msg->message != WM_DEVICECHANGE || reinterpret_cast<std::uintptr_t>(msg->hwnd) != window)
        return DeviceChange::None;
    if (msg->wParam != DBT_DEVICEARRIVAL && msg->wParam != DBT_DEVICEREMOVECOMPLETE)
        return DeviceChange::None;
    const auto *header = reinterpret_cast<const DEV_BROADCAST_HDR *>(msg->lParam);
    if (!header || !isDiskEvent(header))
        return DeviceChange::None;
    return msg->wParam == DBT_DEVICEARRIVAL ? DeviceChange::Arrived : DeviceChange::Removed;
}

} // namespace hostplatform
