// Starts a program as an administrator's filtered token would: the same
// user, with the Administrators group for deny only and no privileges but
// the basic one. Waits for it and ends with its exit code.
//
//   limited <program> [arguments]
// Exits 1 when the program could not be started so.
#include <windows.h>

#include <string>

namespace {

// The command line after limited's own name: the program and its arguments.
std::wstring startedLine() {
    const std::wstring own = GetCommandLineW();
    const bool quoted = !own.empty() && own[0] == L'"';
    const size_t end = quoted ? own.find(L'"', 1) : own.find(L' ');
    const size_t rest =
        end == std::wstring::npos ? own.size() : own.find_first_not_of(L' ', end + 1);
    return rest == std::wstring::npos ? std::wstring() : own.substr(rest);
}

} // namespace

int wmain(int, wchar_t **) {
    std::wstring line = startedLine();
    if (line.empty())
        return 2;
    HANDLE own = nullptr, limited = nullptr;
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &own) ||
        !AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                  DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators))
        return 1;
    SID_AND_ATTRIBUTES denyOnly = {administrators, 0};
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateRestrictedToken(own, DISABLE_MAX_PRIVILEGE, 1, &denyOnly, 0, nullptr, 0, nullptr,
                               &limited) ||
        !CreateProcessAsUserW(limited, nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &process))
        return 1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}
