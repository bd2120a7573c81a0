// Stand-ins for the Windows tools that Wine lacks or runs differently (WMIC,
// diskpart, DISM, Xcopy, bitsadmin) and for the host product that the tool
// starts when the user leaves it. One program, copied into the Wine prefix
// under each tool's name; what it does follows from the name it runs under.
//
// Set up by the test through the environment (Wine hands it on from Linux,
// through the tool and cmd.exe):
//   BMC_WINE_LOG    file that every run appends "<name>|<command line>" to
//   BMC_WINE_DISKS  the machine's removable disks, one "<index>|<model>" a line
//                   (optionally "|<size>" after it)
//   BMC_WINE_USB    the folder that holds the USB disk's volume, which the
//                   format creates (or empties)
//   BMC_WINE_ASSIGN file in which the format asks the test for the drive
//                   letter it assigns to the volume
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::wstring env(const wchar_t *name) {
    wchar_t buffer[32768];
    const DWORD n = GetEnvironmentVariableW(name, buffer, 32768);
    return n > 0 && n < 32768 ? std::wstring(buffer, n) : std::wstring();
}

std::string utf8(const std::wstring &text) {
    if (text.empty())
        return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring lower(std::wstring text) {
    for (wchar_t &c : text)
        c = towlower(c);
    return text;
}

void appendLog(const std::wstring &name) {
    const std::wstring file = env(L"BMC_WINE_LOG");
    if (file.empty())
        return;
    HANDLE h = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    const std::string line = utf8(name) + "|" + utf8(GetCommandLineW()) + "\n";
    DWORD written = 0;
    WriteFile(h, line.data(), DWORD(line.size()), &written, nullptr);
    CloseHandle(h);
}

void print(const std::string &text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), DWORD(text.size()), &written, nullptr);
}

struct Disk {
    int index;
    std::wstring model;
    std::wstring size;
};

// Lines "<index>|<model>[|<size in bytes>]".
std::vector<Disk> removableDisks() {
    std::vector<Disk> disks;
    std::ifstream in(utf8(env(L"BMC_WINE_DISKS")));
    std::string line;
    while (std::getline(in, line)) {
        const size_t bar = line.find('|');
        if (bar == std::string::npos)
            continue;
        const size_t bar2 = line.find('|', bar + 1);
        const std::string model =
            line.substr(bar + 1, bar2 == std::string::npos ? bar2 : bar2 - bar - 1);
        const std::string size = bar2 == std::string::npos ? "16008609792" : line.substr(bar2 + 1);
        disks.push_back({std::atoi(line.substr(0, bar).c_str()),
                         std::wstring(model.begin(), model.end()),
                         std::wstring(size.begin(), size.end())});
    }
    return disks;
}

std::wstring property(const Disk &disk, const std::wstring &name) {
    const std::wstring key = lower(name);
    if (key == L"index")
        return std::to_wstring(disk.index);
    if (key == L"model" || key == L"caption")
        return disk.model;
    if (key == L"size")
        return disk.size;
    if (key == L"mediatype")
        return L"Removable Media";
    if (key == L"interfacetype")
        return L"USB";
    if (key == L"deviceid" || key == L"name")
        return L"\\\\.\\PHYSICALDRIVE" + std::to_wstring(disk.index);
    return std::wstring();
}

// WMIC diskdrive where "MediaType='Removable Media'" get <properties>, as
// WMIC writes it: the columns in alphabetical order, padded, in UTF-16 with
// a byte-order mark, lines ending in "\r\r\n", a blank line last; with no
// disk, only a note on the error output.
int wmic(const std::vector<std::wstring> &args) {
    if (args.empty() || lower(args[0]) != L"diskdrive")
        return 44135;
    std::vector<std::wstring> names;
    for (size_t i = 1; i + 1 < args.size(); ++i) {
        if (lower(args[i]) != L"get")
            continue;
        std::wstringstream list(args[i + 1]);
        std::wstring name;
        while (std::getline(list, name, L','))
            if (!name.empty())
                names.push_back(name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::wstring &a, const std::wstring &b) { return lower(a) < lower(b); });
    const std::vector<Disk> disks = removableDisks();
    if (names.empty())
        return 44135;
    if (disks.empty()) {
        const char note[] = "No Instance(s) Available.\r\n";
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), note, DWORD(sizeof(note) - 1), &written, nullptr);
        return 0;
    }
    std::vector<size_t> widths;
    for (const std::wstring &name : names) {
        size_t width = name.size();
        for (const Disk &d : disks)
            width = std::max(width, property(d, name).size());
        widths.push_back(width + 2);
    }
    auto row = [&](const std::vector<std::wstring> &cells) {
        std::wstring line;
        for (size_t c = 0; c < cells.size(); ++c)
            line += cells[c] + std::wstring(widths[c] - cells[c].size(), L' ');
        return line + L"\r\r\n";
    };
    std::wstring text = row(names);
    for (const Disk &d : disks) {
        std::vector<std::wstring> cells;
        for (const std::wstring &name : names)
            cells.push_back(property(d, name));
        text += row(cells);
    }
    text += L"\r\r\n";
    std::string bytes("\xff\xfe", 2);
    for (wchar_t c : text) {
        bytes.push_back(char(c & 0xff));
        bytes.push_back(char(c >> 8));
    }
    print(bytes);
    return 0;
}

bool removeTree(const std::wstring &folder) {
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(h, &found));
        FindClose(h);
    }
    return RemoveDirectoryW(folder.c_str()) != 0;
}

bool isFolder(const std::wstring &path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// diskpart /s <script>: a format of a listed removable disk gives the USB
// volume, empty; any other disk is refused, as the wrong disk must never be
// touched.
int diskpart(const std::vector<std::wstring> &args) {
    if (args.size() != 2 || lower(args[0]) != L"/s")
        return 1;
    std::ifstream in(utf8(args[1]));
    if (!in)
        return 1;
    std::stringstream script;
    script << in.rdbuf();
    std::string text = script.str();
    for (char &c : text)
        c = char(tolower(static_cast<unsigned char>(c)));
    print("\r\nMicrosoft DiskPart\r\n\r\n");
    const size_t select = text.find("select disk ");
    if (select == std::string::npos) {
        // The letter removal at the end: nothing to do here.
        print("There is no volume selected.\r\n");
        return 0;
    }
    const int disk = std::atoi(text.c_str() + select + 12);
    bool listed = false;
    for (const Disk &d : removableDisks())
        listed = listed || d.index == disk;
    if (!listed) {
        print("The disk you specified is not valid.\r\n");
        return 2;
    }
    if (text.find("format") != std::string::npos &&
        text.find("assign letter=") != std::string::npos) {
        const std::wstring volume = env(L"BMC_WINE_USB");
        if (volume.empty())
            return 3;
        removeTree(volume);
        if (!CreateDirectoryW(volume.c_str(), nullptr))
            return 4;
        // Only the test can make a drive letter of the prefix point at the
        // volume: it is asked to, and the letter is there before diskpart
        // ends, as on Windows.
        const size_t assign = text.find("assign letter=");
        const wchar_t letter = wchar_t(towupper(wchar_t(text[assign + 14])));
        const std::wstring request = env(L"BMC_WINE_ASSIGN");
        HANDLE h = CreateFileW(request.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return 5;
        const char byte = char(letter);
        DWORD written = 0;
        WriteFile(h, &byte, 1, &written, nullptr);
        CloseHandle(h);
        const std::wstring root = std::wstring(1, letter) + L":\\";
        for (int i = 0; i < 200 && !isFolder(root); ++i)
            Sleep(100);
        if (!isFolder(root))
            return 6;
    }
    print("DiskPart successfully formatted the volume.\r\n");
    return 0;
}

void makeFolders(const std::wstring &folder) {
    if (folder.size() <= 3 || isFolder(folder))
        return;
    const size_t slash = folder.find_last_of(L'\\');
    if (slash != std::wstring::npos)
        makeFolders(folder.substr(0, slash));
    CreateDirectoryW(folder.c_str(), nullptr);
}

// Xcopy [switches] <source> <destination>: a file, or every file a wildcard
// names in one folder. A destination ending in "\" is a folder; one ending in
// "*" names the file itself (Xcopy asks nothing then).
int xcopy(const std::vector<std::wstring> &args) {
    std::vector<std::wstring> paths;
    for (const std::wstring &a : args) {
        if (!a.empty() && a[0] != L'/')
            paths.push_back(a);
    }
    if (paths.size() != 2)
        return 4;
    const std::wstring &source = paths[0];
    std::wstring destination = paths[1];
    const size_t slash = source.find_last_of(L'\\');
    const std::wstring sourceFolder = slash == std::wstring::npos ? L"." : source.substr(0, slash);
    bool asFile = false;
    if (!destination.empty() && destination.back() == L'*') {
        destination.pop_back();
        asFile = true;
    }
    if (!destination.empty() && destination.back() == L'\\')
        destination.pop_back();
    int copied = 0;
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW(source.c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) {
        print("File not found - " + utf8(source) + "\r\n0 File(s) copied\r\n");
        return 1;
    }
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::wstring target = asFile ? destination : destination + L"\\" + found.cFileName;
        const size_t targetSlash = target.find_last_of(L'\\');
        makeFolders(target.substr(0, targetSlash));
        if (!CopyFileW((sourceFolder + L"\\" + found.cFileName).c_str(), target.c_str(), FALSE)) {
            FindClose(h);
            print("File creation error\r\n");
            return 4;
        }
        print(utf8(sourceFolder + L"\\" + found.cFileName) + "\r\n");
        ++copied;
    } while (FindNextFileW(h, &found));
    FindClose(h);
    print(std::to_string(copied) + " File(s) copied\r\n");
    return copied > 0 ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring name = lower(self);
    name = name.substr(name.find_last_of(L'\\') + 1);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, L".exe") == 0)
        name.resize(name.size() - 4);
    appendLog(name);

    const std::vector<std::wstring> args(argv + 1, argv + argc);
    if (name == L"wmic")
        return wmic(args);
    if (name == L"diskpart")
        return diskpart(args);
    if (name == L"xcopy")
        return xcopy(args);
    if (name == L"dism")
        return 0;
    // bitsadmin: the download must come through the system's own call; the
    // fallback fails here, so a build that needed it does not pass.
    if (name == L"bitsadmin")
        return 1;
    // Anything else is the host product, started by the tool on its way out.
    return 0;
}
