// Sends the tool's visible window the device-change messages that Windows
// sends when a stick is plugged in, as the system does: synchronously, with
// the broadcast structure marshalled into the receiving process.
//
//   devicechange volume|disk <count>
//     volume  a volume arrived (DBT_DEVTYP_VOLUME)
//     disk    a disk arrived (the disk interface class, no volume)
//     count   how many arrivals, one right after the other
// Exits 1 when no window of the tool got them.
#include <windows.h>
// dbt.h needs the declarations of windows.h.
#include <dbt.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

namespace {

// Qt's windows: the only ones in the prefix while the tool runs.
BOOL CALLBACK collect(HWND window, LPARAM found) {
    wchar_t className[128] = L"";
    GetClassNameW(window, className, 128);
    if (std::wcsncmp(className, L"Qt", 2) == 0 && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND> *>(found)->push_back(window);
    return TRUE;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3)
        return 2;
    std::vector<HWND> windows;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&windows));

    DEV_BROADCAST_VOLUME volume = {sizeof(volume), DBT_DEVTYP_VOLUME, 0, 1u << ('R' - 'A'), 0};
    // GUID_DEVINTERFACE_DISK
    DEV_BROADCAST_DEVICEINTERFACE_W disk = {
        sizeof(disk),
        DBT_DEVTYP_DEVICEINTERFACE,
        0,
        {0x53f56307, 0xb6bf, 0x11d0, {0x94, 0xf2, 0x00, 0xa0, 0xc9, 0x1e, 0xfb, 0x8b}},
        {0}};
    const LPARAM message = std::strcmp(argv[1], "disk") == 0 ? reinterpret_cast<LPARAM>(&disk)
                                                             : reinterpret_cast<LPARAM>(&volume);
    for (HWND window : windows)
        for (int i = 0; i < std::atoi(argv[2]); ++i) {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, message,
                                SMTO_ABORTIFHUNG, 5000, &result);
        }
    return windows.empty() ? 1 : 0;
}
