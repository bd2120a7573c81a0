// Folders, the hidden script file, the screen, the keep-awake request and the
// device-change messages, through the real calls and message structures.
#include "Win32Test.h"

#include "platform/HostPlatform.h"

#include <dbt.h>

using namespace win32test;

namespace {

void folders() {
    // The boot files are read from the Windows folder, which holds the system
    // directory; the names are not case-sensitive. (The tools are started
    // from the system directory: ProcessTest.cpp.)
    const std::wstring system = hostplatform::systemDirectory();
    const std::wstring windows = hostplatform::windowsDirectory();
    CHECK(!windows.empty() && windows.size() < system.size() &&
          CompareStringOrdinal(system.c_str(), static_cast<int>(windows.size()), windows.c_str(),
                               -1, TRUE) == CSTR_EQUAL &&
          system[windows.size()] == L'\\');

    // Tried with a file that goes again: the folder can be removed empty.
    const std::wstring writable = tempFolder() + L"bmc_writable_folder";
    CreateDirectoryW(writable.c_str(), nullptr);
    CHECK(hostplatform::canCreateFilesIn(writable));
    CHECK(RemoveDirectoryW(writable.c_str()));
    CHECK(!hostplatform::canCreateFilesIn(writable));
}

// Command lines reach cmd unchanged only in ASCII: a temporary folder with
// another name comes in its short form, the same folder. Run last: the
// temporary folder of this process stays changed.
void shortTemporaryFolder() {
    const std::wstring longFolder = tempFolder() + L"Jos\u00e9 \u30c6\u30b9\u30c8";
    CreateDirectoryW(longFolder.c_str(), nullptr);
    SetEnvironmentVariableW(L"TMP", longFolder.c_str());
    SetEnvironmentVariableW(L"TEMP", longFolder.c_str());
    const std::wstring folder = hostplatform::tempDirectory();
    // Only ASCII has as many UTF-8 bytes as UTF-16 units.
    CHECK(narrow(folder).size() == folder.size() && folder.back() == L'\\');
    CHECK(writeFile(folder + L"marker.txt", "through the short form"));
    CHECK_EQ(readFile(longFolder + L"\\marker.txt"), "through the short form");
    removeFile(longFolder + L"\\marker.txt");
    RemoveDirectoryW(longFolder.c_str());
}

void hiddenScriptFile() {
    const std::wstring path = tempFolder() + L"bmc_hidden_script.bat";
    removeFile(path);
    // New, then over an earlier plain script with content: empty and hidden.
    // The handle is closed at once: the file can be rewritten unshared.
    for (int round = 0; round < 2; ++round) {
        CHECK(hostplatform::createHiddenEmptyFile(path));
        const DWORD attributes = GetFileAttributesW(path.c_str());
        CHECK(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) &&
              readFile(path).empty());
        CHECK(writeFile(path, "select disk 1\r\n"));
    }
    removeFile(path);
    CHECK(!hostplatform::createHiddenEmptyFile(tempFolder() + L"bmc-no-such-folder\\x.bat"));
}

void screenAndPower() {
    // scripts/test-win32.sh sets a resolution other than the default.
    const char *configured = std::getenv("BMC_TEST_EXPECTED_DPI");
    CHECK(configured && hostplatform::screenLogicalDpi() == std::atoi(configured));

    // Each call returns the state it replaced: the test's own clearing call
    // shows what the layer left set.
    hostplatform::setKeepAwake(true);
    CHECK_EQ(SetThreadExecutionState(ES_CONTINUOUS), ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    hostplatform::setKeepAwake(true);
    hostplatform::setKeepAwake(false);
    CHECK_EQ(SetThreadExecutionState(ES_CONTINUOUS), ES_CONTINUOUS);
}

void administratorRights() {
    // Wine runs its programs as an administrator, elevated.
    CHECK(hostplatform::hasAdministratorRights());
    // With the Administrators group for deny only, as in an administrator's
    // filtered token, which is still counted as elevated: the probe has none.
    const std::wstring own = ownPath();
    const std::wstring limited = own.substr(0, own.find_last_of(L'\\')) + L"\\limited.exe";
    std::wstring line = L"\"" + limited + L"\" \"" + own + L"\" rights";
    CHECK_EQ(hostplatform::runHiddenProcess(limited, &line[0]), 7);
}

void deviceChanges() {
    // A message-only window: the tests run without a display.
    const HWND window = CreateWindowExW(0, L"STATIC", L"main", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        nullptr, nullptr);
    const auto handle = reinterpret_cast<std::uintptr_t>(window);
    void *watch = hostplatform::startWatchingDevices(handle, nullptr, nullptr);
    CHECK(watch);
    hostplatform::stopWatchingDevices(watch);
    // Only the handle is compared: a dialog's would be any other value.
    const HWND dialog = reinterpret_cast<HWND>(handle + 0x10);

    DEV_BROADCAST_VOLUME volume = {sizeof(volume), DBT_DEVTYP_VOLUME, 0, 0, 0};
    DEV_BROADCAST_DEVICEINTERFACE_W disk = {sizeof(disk), DBT_DEVTYP_DEVICEINTERFACE, 0, {}, {}};
    DEV_BROADCAST_DEVICEINTERFACE_W mouse = disk; // any class but the disk class
    disk.dbcc_classguid = {
        0x53f56307, 0xb6bf, 0x11d0, {0x94, 0xf2, 0, 0xa0, 0xc9, 0x1e, 0xfb, 0x8b}};
    DEV_BROADCAST_PORT_W port = {sizeof(port), DBT_DEVTYP_PORT, 0, {0}};
    const auto at = [](const void *data) { return reinterpret_cast<LPARAM>(data); };

    using Change = hostplatform::DeviceChange;
    const auto none = Change::None, arrived = Change::Arrived, removed = Change::Removed;
    const UINT change = WM_DEVICECHANGE;
    const std::pair<MSG, Change> cases[] = {
        {{window, change, DBT_DEVICEARRIVAL, at(&volume), 0, {}}, arrived},
        {{window, change, DBT_DEVICEREMOVECOMPLETE, at(&volume), 0, {}}, removed},
        {{window, change, DBT_DEVICEARRIVAL, at(&disk), 0, {}}, arrived}, // a blank stick
        {{window, change, DBT_DEVICEREMOVECOMPLETE, at(&disk), 0, {}}, removed},
        {{dialog, change, DBT_DEVICEARRIVAL, at(&volume), 0, {}}, none},
        {{window, change, DBT_DEVICEARRIVAL, at(&mouse), 0, {}}, none},
        {{window, change, DBT_DEVICEARRIVAL, at(&port), 0, {}}, none},
        {{window, change, DBT_DEVICEQUERYREMOVE, at(&volume), 0, {}}, none},
        {{window, change, DBT_DEVICEARRIVAL, 0, 0, {}}, none},
        {{window, WM_SETTINGCHANGE, DBT_DEVICEARRIVAL, at(&volume), 0, {}}, none},
    };
    for (const auto &c : cases)
        CHECK_ROW(&c - cases + 1,
                  hostplatform::deviceChangeOf("windows_generic_MSG", &c.first, handle), c.second);
    // Qt's other event type carries no MSG.
    CHECK(hostplatform::deviceChangeOf("windows_dispatcher_MSG", &cases[0].first, handle) == none);
    DestroyWindow(window);
}

} // namespace

void systemTests() {
    folders();
    hiddenScriptFile();
    screenAndPower();
    administratorRights();
    deviceChanges();
    shortTemporaryFolder();
}
