// Starting programs on Windows: always by their full path, in a folder the
// tool chooses, so that nothing is found through a place another user
// controls (the current folder, PATH, the folder of whoever started the tool).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <shellapi.h>

#include "platform/HostPlatform.h"

#include <string>

// Older SDK headers declare these only for Windows 8 and later; the update
// that brought them to Windows 7 (KB2533623) uses the same values.
#ifndef LOAD_LIBRARY_SEARCH_APPLICATION_DIR
#define LOAD_LIBRARY_SEARCH_APPLICATION_DIR 0x00000200
#endif
#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace hostplatform {

namespace {

// "X:\..." or "\\server\...": a path that names one file whatever the
// current folder is. "X:name" (relative to drive X's current folder) is not.
bool isFullPath(const std::wstring &path) {
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\')
        return (path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z');
    return path.size() > 2 && path[0] == L'\\' && path[1] == L'\\';
}

// A job that ends every process in it when it is closed, or null.
HANDLE createKillOnCloseJob() {
    const HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job)
        return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    return job;
}

// Waits for the process; true when the stop check ended it (with its job).
bool waitForProcess(HANDLE process, HANDLE job, const StopCheck &stop) {
    if (!stop) {
        WaitForSingleObject(process, INFINITE);
        return false;
    }
    while (WaitForSingleObject(process, 250) == WAIT_TIMEOUT) {
        if (stop()) {
            if (!job || !TerminateJobObject(job, 1))
                TerminateProcess(process, 1);
            WaitForSingleObject(process, INFINITE);
            return true;
        }
    }
    return false;
}

} // namespace

long long runHiddenProcess(const std::wstring &program, wchar_t *commandLine,
                           const StopCheck &stop) {
    // Started in the system directory: a program that looks for files or
    // libraries in its current folder finds only Windows' own there.
    const std::wstring folder = systemDirectory();
    if (!commandLine || !isFullPath(program) || folder.empty())
        return kProcessNotStarted;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};

    // A command that may be stopped runs in a job of its own, so that the
    // stop ends what the interpreter started as well (bitsadmin, say), not
    // the interpreter alone. It starts suspended until it is in the job.
    HANDLE job = stop ? createKillOnCloseJob() : nullptr;
    const DWORD flags = CREATE_NEW_CONSOLE | (job ? CREATE_SUSPENDED : 0);
    if (!CreateProcessW(program.c_str(), commandLine, nullptr, nullptr, FALSE, flags, nullptr,
                        folder.c_str(), &startup, &process)) {
        if (job)
            CloseHandle(job);
        return kProcessNotStarted;
    }
    if (job) {
        if (!AssignProcessToJobObject(job, process.hProcess)) {
            CloseHandle(job);
            job = nullptr;
        }
        ResumeThread(process.hThread);
    }
    const bool stopped = waitForProcess(process.hProcess, job, stop);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.hProcess, &exitCode))
        exitCode = 0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (job)
        CloseHandle(job);
    if (stopped)
        return kProcessStopped;
    // Widened unsigned, so that an exit code of 0xFFFFFFFF never reads as
    // kProcessNotStarted.
    return static_cast<long long>(exitCode);
}

void restrictLibrarySearch() {
    // Looked up: Windows 7 has the call only with KB2533623.
    using SetDirectories = BOOL(WINAPI *)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = kernel ? reinterpret_cast<SetDirectories>(reinterpret_cast<void *>(
                                         GetProcAddress(kernel, "SetDefaultDllDirectories")))
                                   : nullptr;
    if (setDefault &&
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_APPLICATION_DIR))
        return;
    // Without it, at least the current folder leaves the search.
    SetDllDirectoryW(L"");
}

bool shellStart(const std::wstring &programPath) {
    const std::size_t slash = programPath.find_last_of(L'\\');
    if (!isFullPath(programPath) || slash == std::wstring::npos)
        return false;
    const std::wstring folder = programPath.substr(0, slash + 1);
    const HINSTANCE result = ShellExecuteW(nullptr, nullptr, programPath.c_str(), nullptr,
                                           folder.c_str(), SW_SHOWNORMAL);
    // ShellExecute reports errors as values of 32 or less.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace hostplatform
