// The system and temporary folders, the hidden script file and the
// environment, read through the real calls.
#include "Win32Check.h"
#include "Win32TestSupport.h"

#include "platform/HostPlatform.h"

#include <cstdio>
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

bool isAscii(const std::wstring &text) {
    for (const wchar_t c : text) {
        if (c > 0x7F)
            return false;
    }
    return true;
}

// A process environment variable, or absent.
struct SavedVariable {
    explicit SavedVariable(const wchar_t *variable) : name(variable) {
        wchar_t buffer[1024];
        const DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
        present = length > 0 && length < 1024;
        if (present)
            value.assign(buffer, length);
    }
    ~SavedVariable() { SetEnvironmentVariableW(name, present ? value.c_str() : nullptr); }
    const wchar_t *name;
    bool present = false;
    std::wstring value;
};

// GetTempPathW takes the folder from TMP, else TEMP: set both.
void pointTemporaryFolderAt(const std::wstring &folder) {
    SetEnvironmentVariableW(L"TMP", folder.c_str());
    SetEnvironmentVariableW(L"TEMP", folder.c_str());
}

void nonAsciiTemporaryFolder() {
    win32check::section("tempDirectory: a folder with a non-ASCII name");
    const SavedVariable tmp(L"TMP");
    const SavedVariable temp(L"TEMP");
    const std::wstring parent = L"C:\\users\\Jos\u00e9 \u30c6\u30b9\u30c8";
    const std::wstring longFolder = parent + L"\\tmp";
    CreateDirectoryW(parent.c_str(), nullptr);
    CreateDirectoryW(longFolder.c_str(), nullptr);
    CHECK(folderExists(longFolder));

    pointTemporaryFolderAt(longFolder);
    // The system itself must give the long name, or nothing here is tested.
    CHECK(tempFolder() == longFolder + L"\\");

    wchar_t shortBuffer[512];
    const DWORD shortLength = GetShortPathNameW(longFolder.c_str(), shortBuffer, 512);
    const bool asciiShortName =
        shortLength > 0 && shortLength < 512 && isAscii(std::wstring(shortBuffer, shortLength));
    const std::wstring folder = hostplatform::tempDirectory();
    if (asciiShortName) {
        std::printf("   short form: %s\n", narrow(folder).c_str());
        CHECK(!folder.empty() && isAscii(folder));
        CHECK(!folder.empty() && folder.back() == L'\\');
        CHECK(folderExists(folder));
        // The same folder: a file made through the short form is found under
        // the long name.
        const std::wstring marker = L"bmc_temp_marker.txt";
        CHECK(writeFile(folder + marker, "made through the short form"));
        CHECK_EQ(readFileOrEmpty(longFolder + L"\\" + marker), "made through the short form");
        removeFile(longFolder + L"\\" + marker);
    } else {
        std::printf("   SKIP: this volume has no ASCII short name for the folder; only checked "
                    "that the long name comes back unchanged\n");
        CHECK(folder == longFolder + L"\\");
    }

    // An ASCII folder comes back as GetTempPathW gives it, even where it has
    // a short form of its own.
    const std::wstring asciiFolder = L"C:\\users\\Long ASCII temp folder";
    CreateDirectoryW(asciiFolder.c_str(), nullptr);
    pointTemporaryFolderAt(asciiFolder);
    CHECK(hostplatform::tempDirectory() == asciiFolder + L"\\");
    CHECK(hostplatform::tempDirectory() == tempFolder());

    RemoveDirectoryW(asciiFolder.c_str());
    RemoveDirectoryW(longFolder.c_str());
    RemoveDirectoryW(parent.c_str());
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

void folderForNewFiles() {
    win32check::section("canCreateFilesIn");
    const std::wstring folder = tempFolder() + L"bmc_writable_folder";
    CreateDirectoryW(folder.c_str(), nullptr);
    CHECK(hostplatform::canCreateFilesIn(folder));
    CHECK(hostplatform::canCreateFilesIn(folder + L"\\"));
    // The trial file is gone again: the folder can be removed empty.
    CHECK(RemoveDirectoryW(folder.c_str()));
    CHECK(!hostplatform::canCreateFilesIn(folder));
    CHECK(!hostplatform::canCreateFilesIn(L""));
}

int main() {
    systemFolder();
    folderForNewFiles();
    temporaryFolder();
    nonAsciiTemporaryFolder();
    hiddenEmptyFile();
    environment();
    return win32check::finish();
}
