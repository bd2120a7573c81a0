// Work folders and files that no one else can touch: the private folder's
// access list, links that are removed and never followed, and a held file.
//
// Links: the test makes a junction itself where the system can; and
// scripts/test-win32.sh makes BMC_TEST_LINKS (a Windows path) holding
//   outside\keep.txt      what must survive every removal
//   alone                 a link to outside
//   filelink              a link to outside\keep.txt
//   tree\inner\file.txt, tree\link (a link to outside)
// as Linux symbolic links, which Wine shows as reparse points (Wine makes
// neither junctions nor symbolic links of its own).
#include "Win32Test.h"

#include "platform/HostPlatform.h"

#include <aclapi.h>
#include <sddl.h>
#include <winioctl.h>

#include <set>
#include <vector>

using namespace win32test;
using hostplatform::PathKind;

namespace {

// A junction at link that leads to target (a full path); false where the
// system makes none.
bool makeJunction(const std::wstring &link, const std::wstring &target) {
    // The mount-point layout: tag, lengths, then the NT path and the printed
    // path, each ending in a null.
    const std::wstring paths = L"\\??\\" + target + L'\0' + target + L'\0';
    struct {
        DWORD tag;
        WORD length, reserved, ntOffset, ntBytes, printOffset, printBytes;
        wchar_t paths[MAX_PATH * 4];
    } data = {
        IO_REPARSE_TAG_MOUNT_POINT,   WORD(8 + paths.size() * 2), 0, 0, WORD(target.size() * 2 + 8),
        WORD(target.size() * 2 + 10), WORD(target.size() * 2),    {}};
    paths.copy(data.paths, paths.size());
    if (!CreateDirectoryW(link.c_str(), nullptr))
        return false;
    const HANDLE handle =
        CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    DWORD got = 0;
    const bool made = handle != INVALID_HANDLE_VALUE &&
                      DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, &data, 8 + data.length,
                                      nullptr, 0, &got, nullptr);
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    if (!made)
        RemoveDirectoryW(link.c_str());
    return made;
}

std::wstring sidText(PSID sid) {
    wchar_t *text = nullptr;
    if (!ConvertSidToStringSidW(sid, &text))
        return L"?";
    const std::wstring result = text;
    LocalFree(text);
    return result;
}

std::wstring userSid() {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    BYTE buffer[256];
    DWORD size = 0;
    const bool ok = GetTokenInformation(token, TokenUser, buffer, sizeof(buffer), &size);
    CloseHandle(token);
    return ok ? sidText(reinterpret_cast<TOKEN_USER *>(buffer)->User.Sid) : L"";
}

// An access list as "protected|SID:type:mask:flags,..." sorted.
std::string listText(bool isProtected, const std::set<std::string> &entries) {
    std::string text = isProtected ? "protected|" : "inherits|";
    for (const std::string &entry : entries)
        text += entry + ",";
    return text;
}

std::string entryText(const std::wstring &sid, int type, DWORD mask, int flags) {
    return narrow(sid) + ":" + std::to_string(type) + ":" + std::to_string(mask) + ":" +
           std::to_string(flags);
}

// The access list of path; "unreadable" when it cannot be read.
std::string accessList(const std::wstring &path) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
        return "unreadable";
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    std::set<std::string> entries;
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE *ace = nullptr;
        if (!GetAce(dacl, i, reinterpret_cast<void **>(&ace)))
            continue;
        entries.insert(entryText(sidText(&ace->SidStart), ace->Header.AceType, ace->Mask,
                                 ace->Header.AceFlags));
    }
    LocalFree(descriptor);
    return listText(control & SE_DACL_PROTECTED, entries);
}

// The user, the Administrators and SYSTEM, each with full access.
std::string expectedAccessList(BYTE flags, bool isProtected) {
    std::set<std::string> entries;
    for (const std::wstring &sid :
         {userSid(), std::wstring(L"S-1-5-32-544"), std::wstring(L"S-1-5-18")})
        entries.insert(entryText(sid, ACCESS_ALLOWED_ACE_TYPE, FILE_ALL_ACCESS, flags));
    return listText(isProtected, entries);
}

// Whether the file system keeps the access list a folder is made with (Wine
// makes one up from the host's file modes).
bool keepsAccessLists() {
    const std::wstring probe = tempFolder() + L"bmc_acl_probe";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;FA;;;SY)", SDDL_REVISION_1,
                                                         &descriptor, nullptr);
    SECURITY_ATTRIBUTES security = {sizeof(security), descriptor, FALSE};
    const bool made = CreateDirectoryW(probe.c_str(), &security);
    LocalFree(descriptor);
    const bool kept = made && accessList(probe) ==
                                  listText(true, {entryText(L"S-1-5-18", 0, FILE_ALL_ACCESS, 0)});
    RemoveDirectoryW(probe.c_str());
    return kept;
}

void privateFolderTests(const std::wstring &links) {
    const std::wstring folder = tempFolder() + L"bmc_private";
    CHECK(hostplatform::createPrivateFolder(folder));
    const std::wstring inside = folder + L"\\image.wim";
    CHECK(writeFile(inside, "x"));
    if (keepsAccessLists()) {
        CHECK_EQ(accessList(folder),
                 expectedAccessList(OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE, true));
        // What is made inside gets the same three entries, inherited.
        CHECK_EQ(accessList(inside), expectedAccessList(INHERITED_ACE, false));
    } else {
        std::printf("note: this system keeps no access lists of its own; not checked\n");
    }

    // Whatever already stands under the name is never taken over.
    const std::wstring file = tempFolder() + L"bmc_private_file";
    CHECK(writeFile(file, "someone else's"));
    for (const std::wstring &taken : {folder, file, links + L"\\alone", links + L"\\filelink"})
        CHECK_ROW(taken, hostplatform::createPrivateFolder(taken), false);
    CHECK_EQ(readFile(file), "someone else's");
    CHECK_EQ(readFile(inside), "x");
    removeFile(inside);
    removeFile(file);
    RemoveDirectoryW(folder.c_str());
}

// Whether the system shows the name as a link, and whether it opens the link
// itself when asked to (Windows does; Wine opens what a link of the host's
// file system leads to, and shows a link to a file as that file).
bool shownAsLink(const std::wstring &path) {
    return exists(path) && (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Whether path opens for access with every sharing allowed; with flags, and
// then whether what opened is a link.
bool opens(const std::wstring &path, DWORD access, DWORD flags = 0) {
    const HANDLE handle =
        CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, flags, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    const bool opened = handle != INVALID_HANDLE_VALUE &&
                        (!flags || (GetFileInformationByHandle(handle, &info) &&
                                    (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)));
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    return opened;
}

bool opensLinkItself(const std::wstring &path) {
    return opens(path, FILE_READ_ATTRIBUTES,
                 FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS);
}

void linkTests(const std::wstring &links) {
    const std::wstring outside = links + L"\\outside";
    const std::wstring keep = outside + L"\\keep.txt";
    const std::string kept = readFile(keep);
    CHECK(!kept.empty());

    std::vector<std::wstring> made = {links + L"\\alone", links + L"\\filelink"};
    if (makeJunction(links + L"\\junction", outside))
        made.push_back(links + L"\\junction");
    else
        std::printf("note: this system makes no junctions; only the host's links are tried\n");

    // Not links: removeLink leaves them alone.
    const struct {
        std::wstring path;
        PathKind kind;
    } kinds[] = {{links + L"\\missing", PathKind::Missing},
                 {keep, PathKind::File},
                 {outside, PathKind::Folder}};
    for (const auto &row : kinds) {
        CHECK_ROW(row.path, hostplatform::pathKind(row.path), row.kind);
        CHECK_ROW(row.path, hostplatform::removeLink(row.path), false);
    }
    // A link is never a folder to empty.
    CHECK(!hostplatform::removeFolderTree(links + L"\\alone"));
    CHECK_EQ(readFile(keep), kept);

    // A link goes where the system can reach the link itself; where it
    // cannot, the link stays and the call says so. Never is its target touched.
    for (const std::wstring &link : made) {
        if (!shownAsLink(link)) {
            std::printf("note: this system shows %s as what it leads to; not tried\n",
                        narrow(link).c_str());
            continue;
        }
        const bool itself = opensLinkItself(link);
        CHECK_ROW(link, hostplatform::pathKind(link), PathKind::Link);
        CHECK_ROW(link, hostplatform::removeLink(link), itself);
        CHECK_ROW(link, exists(link), !itself);
        CHECK_ROW(link, readFile(keep), kept);
    }

    // A tree with links inside: all of it goes but what the links lead to;
    // a link the system cannot remove itself stays, and the call says so.
    const std::wstring tree = links + L"\\tree";
    makeJunction(tree + L"\\junction", outside);
    bool linksGo = true;
    for (const std::wstring &link : {tree + L"\\link", tree + L"\\junction"})
        linksGo = linksGo && (!exists(link) || opensLinkItself(link));
    CHECK_EQ(hostplatform::removeFolderTree(tree), linksGo);
    CHECK(!exists(tree + L"\\inner"));
    CHECK_EQ(exists(tree), !linksGo);
    CHECK_EQ(readFile(keep), kept);
    CHECK(exists(outside));
}

void heldFileTests(const std::wstring &links) {
    const std::wstring path = tempFolder() + L"bmc_held.wim";
    const std::wstring twin = tempFolder() + L"bmc_twin.wim";
    CHECK(writeFile(path, "the image") && writeFile(twin, "the image"));
    {
        hostplatform::HeldFile held(narrow(path));
        CHECK(held.isHeld() && held.stillAt(narrow(path)));
        // Same name, size and content, another file: not the one held.
        CHECK(!held.stillAt(narrow(twin)));
        CHECK(opens(path, GENERIC_READ));
        // Everything that could change it is refused (a sharing violation;
        // a replacing move is refused as access denied).
        const struct {
            const char *what;
            bool done;
        } changes[] = {
            {"write", opens(path, GENERIC_WRITE)},
            {"delete", DeleteFileW(path.c_str()) != FALSE},
            {"replace",
             MoveFileExW(twin.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE},
            {"rename", MoveFileExW(path.c_str(), (path + L".moved").c_str(), 0) != FALSE},
        };
        for (const auto &change : changes)
            CHECK_ROW(change.what, change.done, false);
        CHECK_EQ(readFile(path), "the image");
        CHECK(held.stillAt(narrow(path)));
    }
    // Released with its object: the file can be replaced now.
    CHECK(MoveFileExW(twin.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING));
    // A file someone still writes cannot be held; nor a folder.
    const HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    CHECK(!hostplatform::HeldFile(narrow(path)).isHeld());
    CloseHandle(writer);
    CHECK(!hostplatform::HeldFile(narrow(links + L"\\outside")).isHeld());
    // A link to the held file in its place is not the held file; nor can a
    // link be held (tried once the file is free again, so that a hold that
    // followed the link would show).
    const std::string keep = narrow(links + L"\\outside\\keep.txt");
    const std::string link = narrow(links + L"\\filelink");
    const bool linkShown = shownAsLink(widen(link));
    {
        hostplatform::HeldFile held(keep);
        CHECK(held.isHeld() && held.stillAt(keep));
        CHECK(!linkShown || !held.stillAt(link));
    }
    CHECK(!linkShown || !hostplatform::HeldFile(link).isHeld());
    removeFile(path);
}

} // namespace

void workFileTests() {
    const char *links = std::getenv("BMC_TEST_LINKS");
    if (!CHECK(links))
        return; // scripts/test-win32.sh makes them
    privateFolderTests(widen(links));
    heldFileTests(widen(links));
    linkTests(widen(links));
}
