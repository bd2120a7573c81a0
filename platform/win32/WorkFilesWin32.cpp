// The tool's work folders and files on Windows: made so that only the tool's
// user, the Administrators and SYSTEM can change them, and handled so that a
// link or junction planted in their place is never followed. Every check is
// made on an open handle of the object itself, never on the name alone, so
// that nothing can be swapped in between the check and the act. A name that
// says "link" while its handle does not is left alone: the system then
// opened what the link leads to (Wine does that with every link of the
// host's file system), and nothing must be done to that.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <sddl.h>

#include "platform/HostPlatform.h"
#include "platform/win32/Win32Text.h"

#include <string>
#include <vector>

namespace hostplatform {

namespace {

// Opens the object under the path itself, never what a link leads to, for
// the given access. A folder is opened as a folder. Without FILE_SHARE_DELETE,
// the object cannot be renamed or deleted by anyone while the handle is open,
// so its name keeps leading to it.
HANDLE openItself(const std::wstring &path, DWORD access, DWORD share) {
    return CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

struct Handle {
    HANDLE value;
    explicit Handle(HANDLE h) : value(h) {}
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    ~Handle() {
        if (value != INVALID_HANDLE_VALUE)
            CloseHandle(value);
    }
    bool valid() const { return value != INVALID_HANDLE_VALUE; }
};

bool isLink(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

DWORD attributesOf(HANDLE handle) {
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof(basic)))
        return INVALID_FILE_ATTRIBUTES;
    return basic.FileAttributes;
}

// Marks the open object for deletion when its last handle closes. A
// read-only file is made writable first: it is ours to delete all the same.
bool deleteOnClose(HANDLE handle) {
    FILE_BASIC_INFO basic{};
    if (GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof(basic)) &&
        (basic.FileAttributes & FILE_ATTRIBUTE_READONLY)) {
        basic.FileAttributes &= ~DWORD(FILE_ATTRIBUTE_READONLY);
        if (basic.FileAttributes == 0)
            basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof(basic));
    }
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                      sizeof(disposition)) != FALSE;
}

// Listing too: a folder's content is read through the handle that holds it.
constexpr DWORD kDeleteAccess =
    DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | FILE_LIST_DIRECTORY;
// Others may go on reading and writing what is being removed, but neither
// rename nor delete it: the name cannot be made to lead elsewhere meanwhile.
constexpr DWORD kHoldName = FILE_SHARE_READ | FILE_SHARE_WRITE;

struct Entry {
    std::wstring name;
    DWORD attributes;
};

// The entries of a folder open for listing, without "." and "..", read
// through the handle, so the listing is of the folder held. False when it
// cannot be listed.
bool entriesIn(HANDLE folder, std::vector<Entry> &entries) {
    std::vector<unsigned char> buffer(64 * 1024);
    for (auto request = FileIdBothDirectoryRestartInfo;; request = FileIdBothDirectoryInfo) {
        if (!GetFileInformationByHandleEx(folder, request, buffer.data(), DWORD(buffer.size())))
            return GetLastError() == ERROR_NO_MORE_FILES;
        for (std::size_t at = 0;;) {
            const auto *info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO *>(&buffer[at]);
            const std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..")
                entries.push_back({name, info->FileAttributes});
            if (!info->NextEntryOffset)
                break;
            at += info->NextEntryOffset;
        }
    }
}

// Removes the content of a folder held open (so that its name still leads to
// it), then the folder. Links are removed themselves, never entered.
bool removeHeldTree(const std::wstring &path, HANDLE folder) {
    std::vector<Entry> entries;
    bool ok = entriesIn(folder, entries);
    for (const Entry &entry : entries) {
        const std::wstring child = path + L"\\" + entry.name;
        Handle item(openItself(child, kDeleteAccess, kHoldName));
        const DWORD attributes = item.valid() ? attributesOf(item.value) : INVALID_FILE_ATTRIBUTES;
        if (attributes == INVALID_FILE_ATTRIBUTES ||
            (isLink(entry.attributes) && !isLink(attributes))) {
            ok = false;
            continue;
        }
        const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) && !isLink(attributes);
        ok = (isFolder ? removeHeldTree(child, item.value) : deleteOnClose(item.value)) && ok;
    }
    return ok && deleteOnClose(folder);
}

// SDDL of the work folders' access list: protected (P), so nothing is
// inherited from the parent, and full control (FA) for the user, the
// Administrators (BA) and SYSTEM (SY), passed on to files (OI) and folders
// (CI) made inside.
std::wstring privateFolderSddl(const std::wstring &userSid) {
    const std::wstring grant = L"(A;OICI;FA;;;";
    return L"D:P" + grant + userSid + L")" + grant + L"BA)" + grant + L"SY)";
}

// The user the process runs as, as an SID string; empty when unknown.
std::wstring processUserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return std::wstring();
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    std::wstring sid;
    wchar_t *text = nullptr;
    if (size && GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid, &text)) {
        sid = text;
        LocalFree(text);
    }
    CloseHandle(token);
    return sid;
}

unsigned long long sizeOf(const BY_HANDLE_FILE_INFORMATION &info) {
    return (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

bool sameFile(const BY_HANDLE_FILE_INFORMATION &a, const BY_HANDLE_FILE_INFORMATION &b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow &&
           sizeOf(a) == sizeOf(b);
}

} // namespace

PathKind pathKind(const std::wstring &windowsPath) {
    // The attributes of the name itself: a link reports its own.
    const DWORD attributes = GetFileAttributesW(windowsPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PathKind::Missing;
    if (isLink(attributes))
        return PathKind::Link;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::File;
}

bool removeLink(const std::wstring &windowsPath) {
    // Checked on the open link itself, so the name cannot be swapped for the
    // target between the check and the removal.
    Handle link(openItself(windowsPath, kDeleteAccess, kHoldName));
    if (!link.valid() || !isLink(attributesOf(link.value)))
        return false;
    if (!deleteOnClose(link.value))
        return false;
    CloseHandle(link.value);
    link.value = INVALID_HANDLE_VALUE;
    return GetFileAttributesW(windowsPath.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool removeFolderTree(const std::wstring &windowsPath) {
    std::wstring path = windowsPath;
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    Handle folder(openItself(path, kDeleteAccess, kHoldName));
    if (!folder.valid())
        return false;
    const DWORD attributes = attributesOf(folder.value);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        isLink(attributes) || isLink(GetFileAttributesW(path.c_str())))
        return false;
    if (!removeHeldTree(path, folder.value))
        return false;
    CloseHandle(folder.value);
    folder.value = INVALID_HANDLE_VALUE;
    return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool createPrivateFolder(const std::wstring &windowsPath) {
    const std::wstring user = processUserSid();
    if (user.empty())
        return false;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            privateFolderSddl(user).c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    SECURITY_ATTRIBUTES security = {sizeof(security), descriptor, FALSE};
    // Fails on any name that exists, a link among them: never an old folder,
    // whose access list and content someone else may have chosen.
    const bool made = CreateDirectoryW(windowsPath.c_str(), &security) != FALSE;
    LocalFree(descriptor);
    return made;
}

struct HeldFile::State {
    HANDLE file = INVALID_HANDLE_VALUE;
    BY_HANDLE_FILE_INFORMATION taken{};
};

HeldFile::HeldFile(const std::string &localFile) : m_state(new State) {
    const std::wstring path = win32::widenUtf8(localFile);
    if (path.empty())
        return;
    // Others may read, never write, rename or delete, while this is open.
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid() || !GetFileInformationByHandle(file.value, &m_state->taken) ||
        isLink(m_state->taken.dwFileAttributes) || isLink(GetFileAttributesW(path.c_str())) ||
        (m_state->taken.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    m_state->file = file.value;
    file.value = INVALID_HANDLE_VALUE;
}

HeldFile::~HeldFile() {
    if (m_state->file != INVALID_HANDLE_VALUE)
        CloseHandle(m_state->file);
    delete m_state;
}

bool HeldFile::isHeld() const {
    return m_state->file != INVALID_HANDLE_VALUE;
}

bool HeldFile::stillAt(const std::string &localFile) const {
    if (!isHeld())
        return false;
    const std::wstring path = win32::widenUtf8(localFile);
    // Attributes only: that opens beside any share mode, the hold's own too.
    Handle now(openItself(path, FILE_READ_ATTRIBUTES,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
    BY_HANDLE_FILE_INFORMATION named{};
    return now.valid() && GetFileInformationByHandle(now.value, &named) &&
           !isLink(named.dwFileAttributes) && !isLink(GetFileAttributesW(path.c_str())) &&
           sameFile(named, m_state->taken);
}

} // namespace hostplatform
