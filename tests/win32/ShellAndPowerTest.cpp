// Starting a program through the shell from the current folder, the way the
// tool restarts its host program, and the keep-awake request.
#include "Win32Check.h"
#include "Win32TestSupport.h"

#include "platform/HostPlatform.h"

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

int main() {
    startByNameFromOwnFolder();
    keepAwake();
    return win32check::finish();
}
