// Starts a program as an administrator's filtered token would: the same
// user, with the Administrators group for deny only and no privileges but
// the basic one. Waits for it and ends with its exit code.
//
//   limited <program> [arguments]
// Exits 1 when the program could not be started so.
#include <windows.h>

#include <string>

int wmain(int, wchar_t **) {
    // The command line after limited's own name: the program and its arguments.
    const std::wstring command = GetCommandLineW();
    const size_t end = command[0] == L'"' ? command.find(L'"', 1) : command.find(L' ');
    const size_t rest = command.find_first_not_of(L' ', end == std::wstring::npos ? end : end + 1);
    if (rest == std::wstring::npos)
        return 2;
    std::wstring line = command.substr(rest);
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
