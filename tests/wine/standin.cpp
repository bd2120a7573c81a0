// Stand-ins for the Windows tools that Wine lacks or runs differently (WMIC,
// diskpart, DISM, Xcopy, bitsadmin) and for the host product that the tool
// starts when the user leaves it. One program, copied into the Wine prefix
// under each tool's name; what it does follows from the name it runs under.
//
// Set up by scripts/test-wine-app.sh through the environment (Wine hands it
// on from Linux, through the tool and cmd.exe):
//   BMC_WINE_LOG    file that every run appends "<name>|<command line>" to
//   BMC_WINE_DISK   the machine's one removable disk, "<index>|<model>"
//   BMC_WINE_ASSIGN file in which the format asks the test to map the drive
//                   letter it assigns to a new, empty USB volume
#include <windows.h>
// shlobj.h needs the declarations of windows.h.
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
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

void print(const std::string &text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), DWORD(text.size()), &written, nullptr);
}

// Writes text to the file, appended or as its whole content.
bool writeTo(const std::wstring &file, const std::string &text, bool append) {
    const HANDLE h = CreateFileW(file.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 append ? OPEN_ALWAYS : CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok = h != INVALID_HANDLE_VALUE &&
                    WriteFile(h, text.data(), DWORD(text.size()), &written, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    return ok;
}

// The removable disk's index and model.
std::vector<std::wstring> removableDisk() {
    const std::wstring disk = env(L"BMC_WINE_DISK");
    const size_t bar = disk.find(L'|');
    return {disk.substr(0, bar), bar == std::wstring::npos ? L"" : disk.substr(bar + 1)};
}

// WMIC diskdrive ... get <properties> (Index, Model, Size), as WMIC writes it:
// the columns in alphabetical order, padded, in UTF-16 with a byte-order mark,
// lines ending in "\r\r\n", a blank line last.
int wmic(const std::vector<std::wstring> &args) {
    const auto get = std::find_if(args.begin(), args.end(),
                                  [](const std::wstring &a) { return lower(a) == L"get"; });
    if (args.empty() || lower(args[0]) != L"diskdrive" || get == args.end() ||
        get + 1 == args.end())
        return 44135;
    std::vector<std::wstring> names;
    std::wstringstream list(get[1]);
    for (std::wstring name; std::getline(list, name, L',');)
        names.push_back(name);
    std::sort(names.begin(), names.end(),
              [](const std::wstring &a, const std::wstring &b) { return lower(a) < lower(b); });
    std::vector<std::vector<std::wstring>> rows = {names, {}};
    for (const std::wstring &name : names)
        rows[1].push_back(lower(name) == L"index"   ? removableDisk()[0]
                          : lower(name) == L"model" ? removableDisk()[1]
                                                    : L"16008609792");
    std::wstring text;
    for (const auto &row : rows) {
        for (size_t c = 0; c < row.size(); ++c) {
            size_t width = 0;
            for (const auto &other : rows)
                width = std::max(width, other[c].size());
            text += row[c] + std::wstring(width + 2 - row[c].size(), L' ');
        }
        text += L"\r\r\n";
    }
    text += L"\r\r\n";
    print(std::string("\xff\xfe", 2) +
          std::string(reinterpret_cast<const char *>(text.data()), text.size() * 2));
    return 0;
}

// diskpart /s <script>: only the removable disk is formatted; any
// other disk is refused, as the wrong disk must never be touched.
int diskpart(const std::vector<std::wstring> &args) {
    std::ifstream in(args.size() == 2 ? utf8(args[1]) : std::string());
    if (!in)
        return 1;
    std::stringstream script;
    script << in.rdbuf();
    std::string text = script.str();
    std::transform(text.begin(), text.end(), text.begin(), ::tolower);
    const size_t select = text.find("select disk ");
    if (select == std::string::npos)
        return 0; // the letter removal at the end: nothing to do here
    if (std::to_wstring(std::atoi(text.c_str() + select + 12)) != removableDisk()[0]) {
        print("The disk you specified is not valid.\r\n");
        return 2;
    }
    const size_t assign = text.find("assign letter=");
    if (text.find("format") != std::string::npos && assign != std::string::npos) {
        // The test maps the letter and then removes the request: the letter
        // is there before diskpart ends, as on Windows.
        const std::wstring request = env(L"BMC_WINE_ASSIGN");
        if (!writeTo(request, std::string(1, char(toupper(text[assign + 14]))), false))
            return 5;
        for (int i = 0; i < 200 && GetFileAttributesW(request.c_str()) != INVALID_FILE_ATTRIBUTES;
             ++i)
            Sleep(100);
        if (GetFileAttributesW(request.c_str()) != INVALID_FILE_ATTRIBUTES)
            return 6;
    }
    print("DiskPart successfully formatted the volume.\r\n");
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
    const std::wstring sourceFolder = paths[0].substr(0, paths[0].find_last_of(L'\\') + 1);
    std::wstring destination = paths[1];
    const bool asFile = destination.back() == L'*';
    if (asFile)
        destination.pop_back();
    if (destination.back() == L'\\')
        destination.pop_back();
    int copied = 0;
    WIN32_FIND_DATAW found;
    const HANDLE h = FindFirstFileW(paths[0].c_str(), &found);
    for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileW(h, &found)) {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::wstring target = asFile ? destination : destination + L"\\" + found.cFileName;
        SHCreateDirectoryExW(nullptr, target.substr(0, target.find_last_of(L'\\')).c_str(),
                             nullptr);
        if (!CopyFileW((sourceFolder + found.cFileName).c_str(), target.c_str(), FALSE)) {
            FindClose(h);
            print("File creation error\r\n");
            return 4;
        }
        ++copied;
    }
    if (h != INVALID_HANDLE_VALUE)
        FindClose(h);
    print(std::to_string(copied) + " File(s) copied\r\n");
    return copied > 0 ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    wchar_t self[MAX_PATH];
    std::wstring name = lower(std::wstring(self, GetModuleFileNameW(nullptr, self, MAX_PATH)));
    name = name.substr(name.find_last_of(L'\\') + 1);
    name.resize(name.size() - 4); // ".exe"
    const std::wstring log = env(L"BMC_WINE_LOG");
    if (!log.empty())
        writeTo(log, utf8(name) + "|" + utf8(GetCommandLineW()) + "\n", true);

    const std::vector<std::wstring> args(argv + 1, argv + argc);
    if (name == L"wmic")
        return wmic(args);
    if (name == L"diskpart")
        return diskpart(args);
    if (name == L"xcopy")
        return xcopy(args);
    // bitsadmin: the download must come through the system's own call; the
    // fallback fails here, so a build that needed it does not pass. DISM,
    // and the host product started on the tool's way out, only succeed.
    return name == L"bitsadmin" ? 1 : 0;
}
