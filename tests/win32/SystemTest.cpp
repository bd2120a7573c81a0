// Folders, the hidden script file, the screen, the keep-awake request and the
// device-change messages, through the real calls and message structures.
#include "Win32Test.h"

#include "platform/HostPlatform.h"

#include <dbt.h>

using namespace win32test;

namespace {

bool isAscii(const std::wstring &text) {
    for (const wchar_t c : text) {
        if (c > 0x7F)
            return false;
    }
    return true;
}

void folders() {
    const std::wstring system = hostplatform::systemDirectory();
    // Tool paths are built as folder + "\tool.exe".
    CHECK(fileExists(system + L"\\cmd.exe"));
    CHECK(hostplatform::tempDirectory() == tempFolder());

    // Command lines reach cmd unchanged only in ASCII: a temporary folder with
    // another name comes in its short form, the same folder.
    const std::wstring parent = L"C:\\users\\Jos\u00e9 \u30c6\u30b9\u30c8";
    const std::wstring longFolder = parent + L"\\tmp";
    const std::wstring saved = tempFolder();
    CreateDirectoryW(parent.c_str(), nullptr);
    CreateDirectoryW(longFolder.c_str(), nullptr);
    SetEnvironmentVariableW(L"TMP", longFolder.c_str());
    SetEnvironmentVariableW(L"TEMP", longFolder.c_str());
    const std::wstring folder = hostplatform::tempDirectory();
    std::printf("non-ASCII temporary folder given as %s\n", narrow(folder).c_str());
    CHECK(isAscii(folder) && folder.back() == L'\\');
    CHECK(writeFile(folder + L"marker.txt", "through the short form"));
    CHECK_EQ(readFile(longFolder + L"\\marker.txt"), "through the short form");
    removeFile(longFolder + L"\\marker.txt");
    SetEnvironmentVariableW(L"TMP", saved.c_str());
    SetEnvironmentVariableW(L"TEMP", saved.c_str());
    RemoveDirectoryW(longFolder.c_str());
    RemoveDirectoryW(parent.c_str());

    // Tried with a file that goes again: the folder can be removed empty.
    const std::wstring writable = tempFolder() + L"bmc_writable_folder";
    CreateDirectoryW(writable.c_str(), nullptr);
    CHECK(hostplatform::canCreateFilesIn(writable));
    CHECK(RemoveDirectoryW(writable.c_str()));
    CHECK(!hostplatform::canCreateFilesIn(writable));
}

bool isHiddenAndEmpty(const std::wstring &path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return fileExists(path) && (attributes & FILE_ATTRIBUTE_HIDDEN) && readFile(path).empty();
}

void hiddenScriptFile() {
    const std::wstring path = tempFolder() + L"bmc_hidden_script.bat";
    removeFile(path);
    CHECK(hostplatform::createHiddenEmptyFile(path));
    CHECK(isHiddenAndEmpty(path));
    // An earlier plain script with content is emptied and hidden. The handle
    // is closed at once: the file can be rewritten unshared.
    CHECK(writeFile(path, "select disk 1\r\n"));
    CHECK(hostplatform::createHiddenEmptyFile(path));
    CHECK(isHiddenAndEmpty(path));
    CHECK(writeFile(path, "list disk\r\n"));
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

void deviceChanges() {
    // A message-only window: the tests run without a display.
    const HWND window = CreateWindowExW(0, L"STATIC", L"main", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        nullptr, nullptr);
    const auto handle = reinterpret_cast<std::uintptr_t>(window);
    void *watch = hostplatform::startWatchingDevices(handle, nullptr, nullptr);
    CHECK(watch != nullptr);
    hostplatform::stopWatchingDevices(watch);
    // Only the handle is compared: a dialog's would be any other value.
    const HWND dialog = reinterpret_cast<HWND>(handle + 0x10);

    DEV_BROADCAST_VOLUME volume = {sizeof(volume), DBT_DEVTYP_VOLUME, 0, 0, 0};
    const GUID diskClass = {
        0x53f56307, 0xb6bf, 0x11d0, {0x94, 0xf2, 0, 0xa0, 0xc9, 0x1e, 0xfb, 0x8b}};
    const GUID hidClass = {0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0, 0x11, 0x11, 0, 0, 0x30}};
    DEV_BROADCAST_DEVICEINTERFACE_W disk = {
        sizeof(disk), DBT_DEVTYP_DEVICEINTERFACE, 0, diskClass, {0}};
    DEV_BROADCAST_DEVICEINTERFACE_W mouse = {
        sizeof(mouse), DBT_DEVTYP_DEVICEINTERFACE, 0, hidClass, {0}};
    DEV_BROADCAST_PORT_W port = {sizeof(port), DBT_DEVTYP_PORT, 0, {0}};

    const auto none = hostplatform::DeviceChange::None;
    const auto arrived = hostplatform::DeviceChange::Arrived;
    const auto removed = hostplatform::DeviceChange::Removed;
    const UINT change = WM_DEVICECHANGE;
    const struct {
        HWND to;
        UINT message;
        WPARAM event;
        const void *data;
        hostplatform::DeviceChange expected;
    } cases[] = {
        {window, change, DBT_DEVICEARRIVAL, &volume, arrived},
        {window, change, DBT_DEVICEREMOVECOMPLETE, &volume, removed},
        {window, change, DBT_DEVICEARRIVAL, &disk, arrived}, // a blank stick
        {window, change, DBT_DEVICEREMOVECOMPLETE, &disk, removed},
        {dialog, change, DBT_DEVICEARRIVAL, &volume, none},
        {window, change, DBT_DEVICEARRIVAL, &mouse, none},
        {window, change, DBT_DEVICEARRIVAL, &port, none},
        {window, change, DBT_DEVICEQUERYREMOVE, &volume, none},
        {window, change, DBT_DEVICEARRIVAL, nullptr, none},
        {window, WM_SETTINGCHANGE, DBT_DEVICEARRIVAL, &volume, none},
    };
    int row = 0;
    for (const auto &c : cases) {
        MSG msg = {c.to, c.message, c.event, reinterpret_cast<LPARAM>(c.data), 0, {0, 0}};
        ++row;
        if (!CHECK(hostplatform::deviceChangeOf("windows_generic_MSG", &msg, handle) == c.expected))
            std::printf("  in row %d\n", row);
        if (row == 1) // Qt's other event type carries no MSG
            CHECK(hostplatform::deviceChangeOf("windows_dispatcher_MSG", &msg, handle) == none);
    }
    DestroyWindow(window);
}

} // namespace

void systemTests() {
    folders();
    hiddenScriptFile();
    screenAndPower();
    deviceChanges();
}
