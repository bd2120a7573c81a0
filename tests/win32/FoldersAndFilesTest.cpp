// The system and temporary folders, the hidden script file and the
// environment, read through the real calls.
#include "Win32Check.h"
#include "Win32TestSupport.h"

#include "platform/HostPlatform.h"

#include <string>

using namespace win32test;

namespace {

void systemFolder() {
    win32check::section("systemDirectory");
    const std::wstring folder = hostplatform::systemDirectory();
    CHECK(!folder.empty());
    CHECK(folderExists(folder));
    // Tool paths are built as folder + "\tool.exe": no trailing backslash.
    CHECK(!folder.empty() && folder.back() != L'\\');
    CHECK(fileExists(folder + L"\\cmd.exe"));
}

void temporaryFolder() {
    win32check::section("tempDirectory");
    const std::wstring folder = hostplatform::tempDirectory();
    CHECK(!folder.empty() && folder.back() == L'\\');
    CHECK(folderExists(folder));
    CHECK(folder == tempFolder());
}

bool isHidden(const std::wstring &path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN);
}

void hiddenEmptyFile() {
    win32check::section("createHiddenEmptyFile");
    const std::wstring path = tempFolder() + L"bmc_hidden_script.bat";
    removeFile(path);

    CHECK(hostplatform::createHiddenEmptyFile(path));
    CHECK(fileExists(path));
    CHECK_EQ(fileSize(path), 0);
    CHECK(isHidden(path));

    // An earlier plain file with content is emptied and becomes hidden.
    removeFile(path);
    CHECK(writeFile(path, "list disk\r\n"));
    CHECK(!isHidden(path));
    CHECK(hostplatform::createHiddenEmptyFile(path));
    CHECK_EQ(fileSize(path), 0);
    CHECK(isHidden(path));

    // The second script of a build replaces the first, already hidden, one.
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    CHECK(writeFile(path, "select disk 1\r\n"));
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    CHECK(hostplatform::createHiddenEmptyFile(path));
    CHECK_EQ(fileSize(path), 0);
    CHECK(isHidden(path));

    // The handle is closed at once: the file can be opened exclusively.
    const HANDLE exclusive = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    CHECK(exclusive != INVALID_HANDLE_VALUE);
    if (exclusive != INVALID_HANDLE_VALUE)
        CloseHandle(exclusive);
    removeFile(path);

    CHECK(!hostplatform::createHiddenEmptyFile(tempFolder() + L"bmc-no-such-folder\\x.bat"));
}

void environment() {
    win32check::section("environmentVariable");
    setRuntimeEnvironment("BMC_WIN32_TEST_VALUE", "C:\\Some Folder\\cmd.exe");
    std::string value = "unchanged";
    CHECK(hostplatform::environmentVariable("BMC_WIN32_TEST_VALUE", value));
    CHECK_EQ(value, "C:\\Some Folder\\cmd.exe");

    setRuntimeEnvironment("BMC_WIN32_TEST_VALUE", nullptr);
    value = "unchanged";
    CHECK(!hostplatform::environmentVariable("BMC_WIN32_TEST_VALUE", value));
    CHECK_EQ(value, "unchanged");
}

} // namespace

int main() {
    systemFolder();
    temporaryFolder();
    hiddenEmptyFile();
    environment();
    return win32check::finish();
}
