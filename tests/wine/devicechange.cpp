// Sends the tool's windows the device-change messages that Windows sends when
// a stick is plugged in, as the system does: synchronously, with the
// broadcast structure marshalled into the receiving process.
//
//   devicechange <target> <kind> <count>
//     target  main    the tool's visible top-level window
//             others  every other top-level window that Qt made in the
//                     tool's process (a dialog shown before and hidden again)
//     kind    volume  a volume arrived (DBT_DEVTYP_VOLUME)
//             disk    a disk arrived (the disk interface class, no volume)
//             port    a serial port arrived: no disk at all
//     count   how many arrivals, one right after the other
// Prints how many windows got the messages; exits 1 when none did.
#include <windows.h>
// dbt.h needs the declarations of windows.h.
#include <dbt.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

namespace {

const GUID kDiskInterfaceClass = {
    0x53f56307, 0xb6bf, 0x11d0, {0x94, 0xf2, 0x00, 0xa0, 0xc9, 0x1e, 0xfb, 0x8b}};

struct Search {
    bool visible;
    std::vector<HWND> found;
};

bool isToolProcess(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return false;
    wchar_t image[MAX_PATH];
    DWORD size = MAX_PATH;
    const bool ok = QueryFullProcessImageNameW(process, 0, image, &size) != 0;
    CloseHandle(process);
    const wchar_t *name = ok ? wcsrchr(image, L'\\') : nullptr;
    return name && _wcsicmp(name + 1, L"BootableMediaCreator.exe") == 0;
}

bool isQtWindow(HWND window) {
    wchar_t className[128] = L"";
    GetClassNameW(window, className, 128);
    return std::wcsncmp(className, L"Qt", 2) == 0;
}

BOOL CALLBACK collect(HWND window, LPARAM context) {
    auto *search = reinterpret_cast<Search *>(context);
    if (isToolProcess(window) && isQtWindow(window) &&
        (IsWindowVisible(window) != 0) == search->visible)
        search->found.push_back(window);
    return TRUE;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: devicechange main|others volume|disk|port <count>\n");
        return 2;
    }
    Search search{std::strcmp(argv[1], "main") == 0, {}};
    EnumWindows(collect, reinterpret_cast<LPARAM>(&search));

    DEV_BROADCAST_VOLUME volume = {};
    volume.dbcv_size = sizeof(volume);
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << ('R' - 'A');
    DEV_BROADCAST_DEVICEINTERFACE_W disk = {};
    disk.dbcc_size = sizeof(disk);
    disk.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    disk.dbcc_classguid = kDiskInterfaceClass;
    DEV_BROADCAST_PORT_W port = {};
    port.dbcp_size = sizeof(port);
    port.dbcp_devicetype = DBT_DEVTYP_PORT;

    LPARAM message = reinterpret_cast<LPARAM>(&volume);
    if (std::strcmp(argv[2], "disk") == 0)
        message = reinterpret_cast<LPARAM>(&disk);
    else if (std::strcmp(argv[2], "port") == 0)
        message = reinterpret_cast<LPARAM>(&port);

    const int count = std::atoi(argv[3]);
    for (HWND window : search.found) {
        for (int i = 0; i < count; ++i) {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, message,
                                SMTO_ABORTIFHUNG, 5000, &result);
        }
    }
    std::printf("%u\n", unsigned(search.found.size()));
    return search.found.empty() ? 1 : 0;
}
