// The Windows layer's tests: one executable, run by CTest once per part
// ("win32_layer_test PART"). It is also the program those tests start, to see
// from the inside how it was started. It reports to, or holds, the file named
// by BMC_PROBE_MARKER, written unshared so that a reader never sees half:
//   (no arguments)   writes its own full path
//   args A B ...     writes "A|B|..." as the C runtime parsed them
//   startup          writes the start-up flags and show state it was given
//   cwd              writes its current folder
//   exit N           ends with exit code N (0 to 4294967295)
//   hold             keeps the file open, unshared, for a minute
//   prompt           a console program: writes its current folder and
//                    "READY> ", then answers each line of its input with
//                    "got <line>" and the prompt; ends with 7 at "exit"
//   second           starts as a second copy of the tool would: exit 0 when
//                    refused and the first copy's window was brought up, 4 when
//                    refused without a window, 5 when not refused
//   rights           exit 6 when it has administrator rights, 7 when not
// and, copied over the system's cmd.exe, it writes the command line it got.
#include "Win32Test.h"

#include "platform/HostPlatform.h"

#include <iostream>

void processTests();
void systemTests();
void fileHashTests();
void downloadTests();
void workFileTests();

using namespace win32test;

int main(int argc, char **argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const char *markerName = std::getenv("BMC_PROBE_MARKER");
    const std::wstring marker = widen(markerName ? markerName : "");
    wchar_t folder[MAX_PATH];
    const std::wstring current(folder, GetCurrentDirectoryW(MAX_PATH, folder));
    STARTUPINFOW startup = {};
    GetStartupInfoW(&startup);
    std::string report = narrow(mode.empty() ? ownPath() : mode == "cwd" ? current : L"");
    for (int i = 2; mode == "args" && i < argc; ++i)
        report += (i > 2 ? "|" : "") + std::string(argv[i]);
    if (mode == "startup")
        report = "flags=" + std::to_string(startup.dwFlags) +
                 " show=" + std::to_string(startup.wShowWindow);
    if (_wcsicmp(ownPath().c_str(), (hostplatform::systemDirectory() + L"\\cmd.exe").c_str()) == 0)
        return writeFile(marker, narrow(GetCommandLineW())) ? 0 : 3;
    if (mode.empty() || mode == "args" || mode == "startup" || mode == "cwd")
        return writeFile(marker, report) ? 0 : 3;
    if (mode == "exit" && argc == 3)
        ExitProcess(static_cast<UINT>(std::strtoul(argv[2], nullptr, 10)));
    if (mode == "hold") {
        const HANDLE held =
            CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        Sleep(60000);
        return held == INVALID_HANDLE_VALUE ? 3 : 0;
    }
    if (mode == "prompt") {
        // In text mode, as a console program's output: each "\n" goes out as "\r\n".
        std::cout << narrow(current) << "\nREADY> " << std::flush;
        for (std::string line; std::getline(std::cin, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line == "exit")
                return 7;
            std::cout << "got " << line << "\nREADY> " << std::flush;
        }
        return 0;
    }
    if (mode == "second")
        return hostplatform::claimSingleInstance()       ? 5
               : hostplatform::activateRunningInstance() ? 0
                                                         : 4;
    if (mode == "rights")
        return hostplatform::hasAdministratorRights() ? 6 : 7;

    using Part = std::pair<const char *, void (*)()>;
    for (const auto &[name, part] :
         {Part{"process", processTests}, Part{"system", systemTests}, Part{"hash", fileHashTests},
          Part{"download", downloadTests}, Part{"workfiles", workFileTests}})
        if (mode == name)
            return part(), failures == 0 ? 0 : 1;
    std::printf("unknown part or probe mode: %s\n", mode.c_str());
    return 2;
}
