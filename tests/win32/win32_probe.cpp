// A small program that the Windows layer's tests start, to see from the inside
// how it was started.
//   win32_probe                   writes its own full path to the file named
//                                 by BMC_PROBE_MARKER (started through the shell)
//   win32_probe exit N            ends with exit code N (0 to 4294967295)
//   win32_probe startup FILE      writes the start-up flags and show state it
//                                 was given to FILE
//   win32_probe hold FILE         keeps FILE open, unshared, for a minute
//   win32_probe second            starts as a second copy of the tool would:
//                                 exit 0 when refused and the first copy's
//                                 window was brought up, 4 when refused
//                                 without a window, 5 when not refused
#include "Win32TestSupport.h"

#include "platform/HostPlatform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Writes beside the target and renames, so a polling reader never sees half
// a file.
bool publish(const std::wstring &path, const std::string &content) {
    const std::wstring partial = path + L".partial";
    if (!win32test::writeFile(partial, content))
        return false;
    return MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 1) {
        const char *marker = std::getenv("BMC_PROBE_MARKER");
        if (!marker)
            return 2;
        wchar_t self[MAX_PATH * 2];
        const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
        return publish(win32test::widen(marker), win32test::narrow(std::wstring(self, length))) ? 0
                                                                                                : 3;
    }
    if (argc == 3 && std::strcmp(argv[1], "exit") == 0)
        ExitProcess(static_cast<UINT>(std::strtoul(argv[2], nullptr, 10)));
    if (argc == 3 && std::strcmp(argv[1], "startup") == 0) {
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        GetStartupInfoW(&startup);
        char text[64];
        std::snprintf(text, sizeof(text), "flags=%lu show=%u",
                      static_cast<unsigned long>(startup.dwFlags),
                      static_cast<unsigned>(startup.wShowWindow));
        return publish(win32test::widen(argv[2]), text) ? 0 : 3;
    }
    if (argc == 2 && std::strcmp(argv[1], "second") == 0) {
        if (hostplatform::claimSingleInstance())
            return 5;
        return hostplatform::activateRunningInstance() ? 0 : 4;
    }
    if (argc == 3 && std::strcmp(argv[1], "hold") == 0) {
        const HANDLE held = CreateFileW(win32test::widen(argv[2]).c_str(), GENERIC_WRITE, 0,
                                        nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (held == INVALID_HANDLE_VALUE)
            return 3;
        Sleep(60000);
        CloseHandle(held);
        return 0;
    }
    return 1;
}
