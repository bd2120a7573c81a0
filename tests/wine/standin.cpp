// Stand-ins for the Windows tools that Wine lacks or runs differently (WMIC,
// diskpart, DISM, Xcopy, bitsadmin) and for the host product that the tool
// starts when the user leaves it. One program, copied into the Wine prefix
// under each tool's name; what it does follows from the name it runs under.
//
// Set up by scripts/test-wine-app.sh through the environment (Wine hands it
// on from Linux, through the tool and cmd.exe):
//   BMC_WINE_LOG    file that every run appends "<name>|<command line>" to
//   BMC_WINE_DISK   the machine's one removable disk,
//                   "<index>|<model>|<serial>|<PNP device id>|<signature>"
//   BMC_WINE_ASSIGN file in which the format asks the test to map the drive
//                   letter it assigns to a new, empty USB volume
#include <windows.h>
// shlobj.h needs the declarations of windows.h.
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::wstring env(const wchar_t *name) {
    const wchar_t *value = _wgetenv(name);
    return value ? value : L"";
}

std::string utf8(const std::wstring &text) {
    std::string out(text.size() * 3, '\0');
    out.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &out[0],
                                   int(out.size()), nullptr, nullptr));
    return out;
}

std::wstring lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), towlower);
    return text;
}

// Writes text to the console; returns the exit code.
int print(const std::string &text, int code) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), DWORD(text.size()), &written, nullptr);
    return code;
}

// Writes text to the file, appended or as its whole content.
bool writeTo(const std::wstring &file, const std::string &text, bool append) {
    std::ofstream out(file.c_str(), append ? std::ios::app | std::ios::binary : std::ios::binary);
    return static_cast<bool>(out << text << std::flush);
}

// The removable disk's index, model, serial number, device id and signature.
std::vector<std::wstring> removableDisk() {
    std::vector<std::wstring> fields;
    std::wstringstream disk(env(L"BMC_WINE_DISK"));
    for (std::wstring field; std::getline(disk, field, L'|');)
        fields.push_back(field);
    fields.resize(5);
    return fields;
}

// A table as WMIC writes it through a redirection, its columns in the order
// of their lower-case names: a header line and one row, each column as wide
// as its wider cell and two blanks, in UTF-16 with a byte-order mark, lines
// ending in "\r\r\n", a blank line last. Each column: its name and value.
using Columns = std::map<std::wstring, std::pair<std::wstring, std::wstring>>;
int wmicTable(const Columns &columns) {
    std::wstring header, row;
    for (const auto &column : columns) {
        const std::wstring &name = column.second.first, &value = column.second.second;
        const size_t width = std::max(name.size(), value.size()) + 2;
        header += name + std::wstring(width - name.size(), L' ');
        row += value + std::wstring(width - value.size(), L' ');
    }
    const std::wstring text = header + L"\r\r\n" + row + L"\r\r\n\r\r\n";
    return print(std::string("\xff\xfe", 2) +
                     std::string(reinterpret_cast<const char *>(text.data()), text.size() * 2),
                 0);
}

// WMIC diskdrive ... get <properties>; and path Win32_LogicalDiskToPartition
// get Antecedent,Dependent, which knows the system volume only (the USB
// volume is made by the build).
int wmic(const std::vector<std::wstring> &args) {
    const auto get = std::find_if(args.begin(), args.end(),
                                  [](const std::wstring &a) { return lower(a) == L"get"; });
    if (args.size() >= 2 && lower(args[0]) == L"path" &&
        lower(args[1]) == L"win32_logicaldisktopartition")
        return wmicTable(
            {{L"antecedent",
              {L"Antecedent",
               LR"(\\WINEHOST\root\cimv2:Win32_DiskPartition.DeviceID="Disk #0, Partition #0")"}},
             {L"dependent",
              {L"Dependent", LR"(\\WINEHOST\root\cimv2:Win32_LogicalDisk.DeviceID="C:")"}}});
    if (args.empty() || lower(args[0]) != L"diskdrive" || args.end() - get < 2)
        return 44135;
    const std::vector<std::wstring> disk = removableDisk();
    const Columns known = {{L"index", {L"Index", disk[0]}},
                           {L"model", {L"Model", disk[1]}},
                           {L"serialnumber", {L"SerialNumber", disk[2]}},
                           {L"pnpdeviceid", {L"PNPDeviceID", disk[3]}},
                           {L"signature", {L"Signature", disk[4]}},
                           {L"size", {L"Size", L"16008609792"}}};
    Columns asked;
    std::wstringstream list(lower(get[1]));
    for (std::wstring name; std::getline(list, name, L',');) {
        if (!known.count(name))
            return 44135;
        asked.insert(*known.find(name));
    }
    return wmicTable(asked);
}

// The test maps the letter to a new, empty volume and then removes the
// request: the letter is there before diskpart answers, as on Windows.
bool assignLetter(char letter) {
    const std::wstring request = env(L"BMC_WINE_ASSIGN");
    if (!writeTo(request, std::string(1, letter), false))
        return false;
    for (int i = 0; i < 200 && GetFileAttributesW(request.c_str()) != INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(100);
    return GetFileAttributesW(request.c_str()) == INVALID_FILE_ATTRIBUTES;
}

// What "detail disk" shows of the removable disk: its model, its signature
// as the disk ID and, once assigned, the FAT32 volume on its letter.
std::string diskDetail(const std::vector<std::wstring> &disk, char letter) {
    char id[16];
    std::snprintf(id, sizeof id, "%08lX", std::wcstoul(disk[4].c_str(), nullptr, 10));
    std::string text = "\r\n" + utf8(disk[1]) + "\r\nDisk ID: " + id +
                       "\r\nType   : USB\r\nStatus : Online\r\n\r\n";
    if (!letter)
        return text + "There are no volumes.\r\n";
    return text + "  Volume ###  Ltr  Label        Fs     Type        Size     Status\r\n" +
           "  ----------  ---  -----------  -----  ----------  -------  ---------\r\n" +
           "  Volume 3     " + letter + "                FAT32  Removable     14 GB  Healthy\r\n";
}

// diskpart: with /s, the letter removal at the end (nothing to do here);
// without, commands from its input, a prompt before each. Only the removable
// disk can be selected, so the wrong disk is never touched.
int diskpart(const std::vector<std::wstring> &args) {
    if (!args.empty())
        return 0;
    const std::vector<std::wstring> disk = removableDisk();
    bool selected = false;
    char letter = 0;
    print("\r\nMicrosoft DiskPart version 10.0.19041.1\r\n", 0);
    for (std::string line; print("\r\nDISKPART> ", 0), std::getline(std::cin, line);) {
        line = line.substr(0, line.find_last_not_of("\r ") + 1);
        std::transform(line.begin(), line.end(), line.begin(), ::tolower);
        if (line == "exit")
            return print("\r\nLeaving DiskPart...\r\n", 0);
        if (line.rfind("select disk ", 0) == 0)
            selected = std::to_wstring(std::atoi(line.c_str() + 12)) == disk[0];
        if (!selected)
            print("\r\nThere is no disk selected.\r\n", 0);
        else if (line == "detail disk")
            print(diskDetail(disk, letter), 0);
        else if (line.rfind("assign letter=", 0) == 0 && assignLetter(char(toupper(line[14]))))
            letter = char(toupper(line[14]));
        else
            print("\r\nDiskPart succeeded.\r\n", 0);
    }
    return 0;
}

// Xcopy [switches] <source> <destination>: a file, or every file a wildcard
// names in one folder. A destination ending in "\" is a folder; one ending in
// "*" names the file itself (Xcopy asks nothing then).
int xcopy(const std::vector<std::wstring> &args) {
    std::vector<std::wstring> paths;
    std::copy_if(args.begin(), args.end(), std::back_inserter(paths),
                 [](const std::wstring &a) { return !a.empty() && a[0] != L'/'; });
    if (paths.size() != 2)
        return 4;
    const std::wstring from = paths[0].substr(0, paths[0].find_last_of(L'\\') + 1);
    std::wstring to = paths[1];
    const bool asFile = to.back() == L'*';
    if (asFile || to.back() == L'\\')
        to.pop_back();
    int copied = 0;
    bool ok = true;
    WIN32_FIND_DATAW found;
    const HANDLE h = FindFirstFileW(paths[0].c_str(), &found);
    for (bool more = h != INVALID_HANDLE_VALUE; more && ok; more = FindNextFileW(h, &found)) {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::wstring target = asFile ? to : to + L"\\" + found.cFileName;
        SHCreateDirectoryExW(nullptr, target.substr(0, target.find_last_of(L'\\')).c_str(),
                             nullptr);
        copied += (ok = CopyFileW((from + found.cFileName).c_str(), target.c_str(), FALSE));
    }
    FindClose(h);
    return ok ? print(std::to_string(copied) + " File(s) copied\r\n", copied > 0 ? 0 : 1)
              : print("File creation error\r\n", 4);
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    wchar_t self[MAX_PATH];
    std::wstring name = lower(std::wstring(self, GetModuleFileNameW(nullptr, self, MAX_PATH)));
    name = name.substr(name.find_last_of(L'\\') + 1);
    name.resize(name.size() - 4); // ".exe"
    // Without BMC_WINE_LOG, no file to open: nothing is logged.
    writeTo(env(L"BMC_WINE_LOG"), utf8(name) + "|" + utf8(GetCommandLineW()) + "\n", true);

    const std::vector<std::wstring> args(argv + 1, argv + argc);
    const std::map<std::wstring, int (*)(const std::vector<std::wstring> &)> tools = {
        {L"wmic", wmic}, {L"diskpart", diskpart}, {L"xcopy", xcopy}};
    if (tools.count(name))
        return tools.at(name)(args);
    // bitsadmin: the download must come through the system's own call; the
    // fallback fails here, so a build that needed it does not pass. DISM,
    // and the host product started on the tool's way out, only succeed.
    return name == L"bitsadmin" ? 1 : 0;
}
