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

int main(int argc, char **argv) {
    if (argc != 3)
        return 2;
    // Qt's windows: the only ones in the prefix while the tool runs.
    std::vector<HWND> windows;
    EnumWindows(
        [](HWND window, LPARAM found) -> BOOL {
            wchar_t name[128] = L"";
            GetClassNameW(window, name, 128);
            if (std::wcsncmp(name, L"Qt", 2) == 0 && IsWindowVisible(window))
                reinterpret_cast<std::vector<HWND> *>(found)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));

    DEV_BROADCAST_VOLUME volume = {sizeof(volume), DBT_DEVTYP_VOLUME, 0, 1u << ('R' - 'A'), 0};
    DEV_BROADCAST_DEVICEINTERFACE_W disk = {sizeof(disk), DBT_DEVTYP_DEVICEINTERFACE, 0, {}, {}};
    // GUID_DEVINTERFACE_DISK
    disk.dbcc_classguid = {
        0x53f56307, 0xb6bf, 0x11d0, {0x94, 0xf2, 0, 0xa0, 0xc9, 0x1e, 0xfb, 0x8b}};
    const LPARAM arrived = std::strcmp(argv[1], "disk") == 0 ? LPARAM(&disk) : LPARAM(&volume);
    for (HWND window : windows)
        for (int i = 0; i < std::atoi(argv[2]); ++i)
            SendMessageTimeoutW(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, arrived,
                                SMTO_ABORTIFHUNG, 5000, nullptr);
    return windows.empty() ? 1 : 0;
}
