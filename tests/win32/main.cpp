// The Windows layer's tests: one executable, run by CTest once per part
// ("win32_layer_test PART"). It is also the program those tests start, to see
// from the inside how it was started:
//   (no arguments)   writes its own full path to the file named by BMC_PROBE_MARKER
//   args A B ...     writes "A|B|..." as the C runtime parsed them to that file
//   startup FILE     writes the start-up flags and show state it was given to FILE
//   exit N           ends with exit code N (0 to 4294967295)
//   hold FILE        keeps FILE open, unshared, for a minute
//   second           starts as a second copy of the tool would: exit 0 when
//                    refused and the first copy's window was brought up, 4 when
//                    refused without a window, 5 when not refused
#include "Win32Test.h"

#include "platform/HostPlatform.h"

#include <cstring>

void processTests();
void systemTests();
void fileHashTests();
void downloadTests();

using namespace win32test;

namespace {

// Writes beside the target and renames, so a polling reader never sees half.
int publish(const std::wstring &path, const std::string &content) {
    const std::wstring partial = path + L".partial";
    const bool ok = writeFile(partial, content) &&
                    MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    return ok ? 0 : 3;
}

std::wstring marker() {
    const char *name = std::getenv("BMC_PROBE_MARKER");
    return widen(name ? name : "");
}

} // namespace

int main(int argc, char **argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode.empty())
        return publish(marker(), narrow(ownPath()));
    if (mode == "args") {
        std::string joined;
        for (int i = 2; i < argc; ++i)
            joined += (i > 2 ? "|" : "") + std::string(argv[i]);
        return publish(marker(), joined);
    }
    if (mode == "startup" && argc == 3) {
        STARTUPINFOW startup = {};
        GetStartupInfoW(&startup);
        return publish(widen(argv[2]), "flags=" + std::to_string(startup.dwFlags) +
                                           " show=" + std::to_string(startup.wShowWindow));
    }
    if (mode == "exit" && argc == 3)
        ExitProcess(static_cast<UINT>(std::strtoul(argv[2], nullptr, 10)));
    if (mode == "hold" && argc == 3) {
        const HANDLE held = CreateFileW(widen(argv[2]).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, 0, nullptr);
        Sleep(60000);
        return held == INVALID_HANDLE_VALUE ? 3 : 0;
    }
    if (mode == "second") {
        if (hostplatform::claimSingleInstance())
            return 5;
        return hostplatform::activateRunningInstance() ? 0 : 4;
    }

    const struct {
        const char *name;
        void (*run)();
    } parts[] = {{"process", processTests},
                 {"system", systemTests},
                 {"hash", fileHashTests},
                 {"download", downloadTests}};
    for (const auto &part : parts) {
        if (mode == part.name) {
            part.run();
            std::printf("%s: %d failed\n", part.name, failures());
            return failures() == 0 ? 0 : 1;
        }
    }
    std::printf("unknown part or probe mode: %s\n", mode.c_str());
    return 2;
}
