// Work folders and files that no one else can touch: the private folder's
// access list, links that are removed and never followed, and a held file.
//
// scripts/test-win32.sh makes BMC_TEST_LINKS (a Windows path) holding
//   outside\keep.txt      what must survive every removal
//   alone                 a link to outside
//   filelink              a link to outside\keep.txt
//   tree\inner\file.txt, tree\link (a link to outside)
// as Linux symbolic links, which Wine shows as reparse points.
#include "Win32Test.h"

#include "platform/HostPlatform.h"

#include <aclapi.h>
#include <sddl.h>

#include <set>

using namespace win32test;
using hostplatform::PathKind;

namespace {

// An access list as its state ("protected" or "inherits") and its entries,
// sorted: "SID:flags" for full access, "SID:other" for anything else.
std::string listText(const char *state, std::multiset<std::string> entries) {
    std::string text = state;
    for (const std::string &entry : entries)
        text += " " + entry;
    return text;
}

std::string accessList(const std::wstring &path) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
        return "unreadable";
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    std::multiset<std::string> entries;
    ACCESS_ALLOWED_ACE *ace = nullptr;
    for (DWORD i = 0; dacl && i < dacl->AceCount && GetAce(dacl, i, (void **)&ace); ++i) {
        wchar_t *sid = nullptr;
        const bool full =
            ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && ace->Mask == FILE_ALL_ACCESS;
        entries.insert((ConvertSidToStringSidW(&ace->SidStart, &sid) ? narrow(sid) : "?") + ":" +
                       (full ? std::to_string(ace->Header.AceFlags) : "other"));
        LocalFree(sid);
    }
    LocalFree(descriptor);
    return listText(control & SE_DACL_PROTECTED ? "protected" : "inherits", entries);
}

// The user, the Administrators and SYSTEM, each with full access.
std::string expectedList(const char *state, int flags) {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    BYTE user[256];
    DWORD size = 0;
    wchar_t *sid = nullptr;
    GetTokenInformation(token, TokenUser, user, sizeof(user), &size);
    ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(user)->User.Sid, &sid);
    CloseHandle(token);
    const std::string flagText = ":" + std::to_string(flags);
    const std::string list =
        listText(state, {narrow(sid) + flagText, "S-1-5-32-544" + flagText, "S-1-5-18" + flagText});
    LocalFree(sid);
    return list;
}

// Whether the file system keeps the access list a folder is made with (Wine
// makes one up from the host's file modes).
bool keepsAccessLists() {
    const std::wstring probe = tempFolder() + L"bmc_acl_probe";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;FA;;;SY)", SDDL_REVISION_1,
                                                         &descriptor, nullptr);
    SECURITY_ATTRIBUTES security = {sizeof(security), descriptor, FALSE};
    const bool kept =
        CreateDirectoryW(probe.c_str(), &security) && accessList(probe) == "protected S-1-5-18:0";
    LocalFree(descriptor);
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
                 expectedList("protected", OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE));
        // What is made inside gets the same three entries, inherited.
        CHECK_EQ(accessList(inside), expectedList("inherits", INHERITED_ACE));
    } else {
        std::printf("note: this system keeps no access lists of its own; not checked\n");
    }

    // Whatever already stands under the name, a folder, a file or a link,
    // is never taken over.
    for (const std::wstring &taken : {folder, inside, links + L"\\alone", links + L"\\filelink"})
        CHECK_ROW(taken, hostplatform::createPrivateFolder(taken), false);
    CHECK_EQ(readFile(inside), "x");
    removeFile(inside);
    RemoveDirectoryW(folder.c_str());
}

// Whether the system shows the name as a link, and whether it opens the link
// itself when asked to (Windows does; Wine opens what a link of the host's
// file system leads to, and shows a link to a file as that file).
bool shownAsLink(const std::wstring &path) {
    return exists(path) && (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Whether path opens for access with every sharing allowed; with flags, and
// then whether what opened is a link. By default, whether the link itself opens.
bool opens(const std::wstring &path, DWORD access = FILE_READ_ATTRIBUTES,
           DWORD flags = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS) {
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

void linkTests(const std::wstring &links) {
    const std::wstring outside = links + L"\\outside", keep = outside + L"\\keep.txt";
    const std::string kept = readFile(keep);
    CHECK(!kept.empty());

    // Not links: removeLink leaves them alone.
    const std::pair<std::wstring, PathKind> kinds[] = {{links + L"\\missing", PathKind::Missing},
                                                       {keep, PathKind::File},
                                                       {outside, PathKind::Folder}};
    for (const auto &[path, kind] : kinds) {
        CHECK_ROW(path, hostplatform::pathKind(path), kind);
        CHECK_ROW(path, hostplatform::removeLink(path), false);
    }
    // A link is never a folder to empty.
    CHECK(!hostplatform::removeFolderTree(links + L"\\alone"));
    CHECK_EQ(readFile(keep), kept);

    // A link goes where the system can reach the link itself; where it
    // cannot, the link stays and the call says so. Never is its target touched.
    for (const std::wstring &link : {links + L"\\alone", links + L"\\filelink"}) {
        if (!shownAsLink(link)) {
            std::printf("note: this system shows %s as what it leads to; not tried\n",
                        narrow(link).c_str());
            continue;
        }
        const bool itself = opens(link);
        CHECK_ROW(link, hostplatform::pathKind(link), PathKind::Link);
        CHECK_ROW(link, hostplatform::removeLink(link), itself);
        CHECK_ROW(link, exists(link), !itself);
        CHECK_ROW(link, readFile(keep), kept);
    }

    // A tree with links inside: all of it goes but what the links lead to;
    // a link the system cannot remove itself stays, and the call says so.
    const std::wstring tree = links + L"\\tree";
    const bool linksGo = opens(tree + L"\\link");
    CHECK_EQ(hostplatform::removeFolderTree(tree), linksGo);
    CHECK(!exists(tree + L"\\inner"));
    CHECK_EQ(exists(tree), !linksGo);
    CHECK_EQ(readFile(keep), kept); // and so the folder that holds it
}

void heldFileTests(const std::wstring &links) {
    const std::wstring path = tempFolder() + L"bmc_held.wim", twin = tempFolder() + L"bmc_twin.wim";
    CHECK(writeFile(path, "the image") && writeFile(twin, "the image"));
    {
        hostplatform::HeldFile held(narrow(path));
        CHECK(held.isHeld() && held.stillAt(narrow(path)));
        // Same name, size and content, another file: not the one held.
        CHECK(!held.stillAt(narrow(twin)));
        CHECK(opens(path, GENERIC_READ, 0));
        // Everything that could change it is refused (a sharing violation;
        // a replacing move is refused as access denied).
        const std::pair<const char *, bool> changes[] = {
            {"write", opens(path, GENERIC_WRITE, 0)},
            {"delete", DeleteFileW(path.c_str()) != FALSE},
            {"replace",
             MoveFileExW(twin.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE},
            {"rename", MoveFileExW(path.c_str(), (path + L".moved").c_str(), 0) != FALSE},
        };
        for (const auto &[what, done] : changes)
            CHECK_ROW(what, done, false);
        CHECK_EQ(readFile(path), "the image");
        CHECK(held.stillAt(narrow(path)));
    }
    // Released with its object: the file can be replaced now.
    CHECK(MoveFileExW(twin.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING));
    // A file someone still writes cannot be held (the writer stays open to
    // the end of the check); nor a folder.
    CHECK(std::ofstream(path.c_str(), std::ios::app) &&
          !hostplatform::HeldFile(narrow(path)).isHeld());
    CHECK(!hostplatform::HeldFile(narrow(links + L"\\outside")).isHeld());
    // A link cannot be held (tried while its file is free, so that a hold
    // that followed the link would show), nor pass for the held file.
    const std::string keep = narrow(links + L"\\outside\\keep.txt"),
                      link = narrow(links + L"\\filelink");
    if (shownAsLink(widen(link))) {
        CHECK(!hostplatform::HeldFile(link).isHeld());
        hostplatform::HeldFile held(keep);
        CHECK(held.stillAt(keep) && !held.stillAt(link));
    }
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
