// Starting processes through the real calls: the line the runner builds
// Starting processes through the real calls: the line the runner builds
// reaches cmd and the program whole, only Windows' own cmd runs it (not
// COMSPEC, not a cmd.exe in the current folder; with /d), every program
// starts in the system directory, exit codes come back, what cannot start is
// reported as such, a stop ends the whole tree, a console session is driven
// through its input and output and ended at its limit, the shell starts a
// program by its full path, and a second copy of the tool is refused.
#include "Win32Test.h"

#include "command/ShellCommandRunner.h"
#include "platform/HostPlatform.h"

using namespace win32test;

namespace {

// Where the probe reports (see main.cpp).
const std::wstring kMarker = tempFolder() + L"bmc_probe_marker.txt";
// The probe as the tool names its tools: unquoted (the build folder has no blank).
const std::string kProbe = narrow(ownPath());

// What the probe's "args" mode received, or "(not run)".
std::string argumentsSeen(const std::string &tail, const char *argument = "") {
    removeFile(kMarker);
    const long long code = ShellCommandRunner((kProbe + " args " + tail).c_str(), argument);
    return code == 0 ? readFile(kMarker) : "(not run)";
}

long long runProbe(const std::string &arguments) {
    std::wstring line = L"\"" + ownPath() + L"\" " + widen(arguments);
    return hostplatform::runHiddenProcess(ownPath(), &line[0]);
}

void commandLines() {
    // What the program gets after cmd and the C runtime have read the line:
    // the runner must pass the command on byte for byte.
    const std::pair<const char *, const char *> cases[] = {
        {"/E /H /I \"C:\\Some Folder\\Boot.wim\" R:\\sources\\boot.wim*",
         "/E|/H|/I|C:\\Some Folder\\Boot.wim|R:\\sources\\boot.wim*"},
        {"/download \"http://h/a?x=1&y=2\" C:\\x", "/download|http://h/a?x=1&y=2|C:\\x"},
        {"a^&b \"c^d\"", "a&b|c^d"},
        {"50% %s%d %%", "50%|%s%d|%%"},
        {"  spaced   out  ", "spaced|out"},
    };
    for (const auto &[tail, seen] : cases)
        CHECK_EQ(argumentsSeen(tail), seen);
    CHECK_EQ(argumentsSeen("one", "\"two three\""), "one|two three");

    // The longest line passes whole; one character more and nothing runs.
    // The line: "<system>\cmd.exe /d /c <probe> args <longest> ".
    const std::string interpreter = narrow(hostplatform::systemDirectory()) + "\\cmd.exe";
    const std::string longest(kMaxCommandLineLength - interpreter.size() - kProbe.size() - 14, 'x');
    CHECK_EQ(argumentsSeen(longest), longest);
    CHECK_EQ(argumentsSeen(longest + "y"), "(not run)");
}

void onlyWindowsOwnPrograms() {
    // Started by hand from another folder, which holds a cmd.exe of
    // someone else's (the probe), with COMSPEC naming a program that is not
    // there.
    const std::wstring planted = tempFolder() + L"bmc_planted";
    CreateDirectoryW(planted.c_str(), nullptr);
    CHECK(CopyFileW(ownPath().c_str(), (planted + L"\\cmd.exe").c_str(), FALSE));
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    CHECK(SetCurrentDirectoryW(planted.c_str()));
    const char *comspec = std::getenv("COMSPEC");
    const std::string savedComspec = comspec ? comspec : "";
    _putenv("COMSPEC=C:\\bmc-no-such-folder\\cmd.exe");
    removeFile(kMarker);
    CHECK_EQ(ShellCommandRunner("exit 5", ""), 5);
    CHECK_EQ(readFile(kMarker), "");
    // Every program starts in the system directory, through cmd or not.
    const std::string system = narrow(hostplatform::systemDirectory());
    CHECK_EQ(ShellCommandRunner((kProbe + " cwd").c_str(), ""), 0);
    CHECK_EQ(readFile(kMarker), system);
    CHECK_EQ(ProgramRunner(kProbe.c_str(), "cwd"), 0);
    CHECK_EQ(readFile(kMarker), system);
    // A program is named by its full path; a bare name is not looked for.
    CHECK_EQ(ProgramRunner("cmd.exe", "/d /c exit 5"), kCommandNotStarted);
    _putenv(("COMSPEC=" + savedComspec).c_str());
    SetCurrentDirectoryW(before);
    removeFile(planted + L"\\cmd.exe");
    RemoveDirectoryW(planted.c_str());
}

void interpreterLine() {
    // Wine's cmd runs no AutoRun command that /d could keep from running:
    // for one start the probe stands in for the system's cmd.exe (loaded as
    // the file, not as Wine's own) and reports the line it was given.
    const std::wstring cmd = hostplatform::systemDirectory() + L"\\cmd.exe";
    const std::wstring saved = tempFolder() + L"bmc_cmd_saved.exe";
    CHECK(CopyFileW(cmd.c_str(), saved.c_str(), FALSE) &&
          CopyFileW(ownPath().c_str(), cmd.c_str(), FALSE));
    HKEY overrides = nullptr;
    const wchar_t native[] = L"native";
    CHECK(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", 0, nullptr, 0,
                          KEY_SET_VALUE, nullptr, &overrides, nullptr) == ERROR_SUCCESS &&
          RegSetValueExW(overrides, L"cmd.exe", 0, REG_SZ, reinterpret_cast<const BYTE *>(native),
                         sizeof(native)) == ERROR_SUCCESS);
    removeFile(kMarker);
    ShellCommandRunner("exit 0", "");
    RegDeleteValueW(overrides, L"cmd.exe");
    RegCloseKey(overrides);
    CHECK(CopyFileW(saved.c_str(), cmd.c_str(), FALSE));
    removeFile(saved);
    CHECK_EQ(readFile(kMarker), narrow(cmd) + " /d /c exit 0 ");
}

void exitCodes() {
    // Widened unsigned: even 0xFFFFFFFF is an exit code, not "could not start".
    CHECK_EQ(runProbe("exit 4294967295"), 4294967295LL);
    const std::wstring missingProgram = tempFolder() + L"bmc_no_such_program.exe";
    std::wstring missing = L"\"" + missingProgram + L"\" exit 3";
    CHECK_EQ(hostplatform::runHiddenProcess(missingProgram, &missing[0]),
             hostplatform::kProcessNotStarted);

    CHECK_EQ(runProbe("startup"), 0);
    CHECK_EQ(readFile(kMarker), "flags=1 show=0"); // STARTF_USESHOWWINDOW, SW_HIDE
}

void stopEndsTheTree() {
    // cmd starts the probe, which holds the marker for a minute; stopped once
    // it holds it.
    removeFile(kMarker);
    const ULONGLONG started = GetTickCount64();
    CHECK_EQ(ShellCommandRunner((kProbe + " hold").c_str(), "", [&] { return exists(kMarker); }),
             kCommandStopped);
    CHECK(GetTickCount64() - started < 30000);
    // The probe is gone too: the file can be written again (ending a process
    // takes a moment to release its handles).
    bool released = false;
    for (int i = 0; i < 50 && !(released = writeFile(kMarker, "")); ++i)
        Sleep(100);
    CHECK(released);
    // A stop check that never says stop changes nothing.
    CHECK_EQ(ShellCommandRunner("exit 6", "", []() { return false; }), 6);
}

void consoleSessions() {
    // Started by its full path in the folder given, answered prompt by prompt.
    const std::wstring folder = tempFolder().substr(0, tempFolder().size() - 1);
    hostplatform::ConsoleSession session;
    CHECK(session.start(ownPath(), L"prompt", folder));
    std::string text;
    CHECK(session.readUntil("READY> ", &text, 60000));
    CHECK_EQ(text, narrow(folder) + "\r\nREADY> ");
    CHECK(session.send("select disk 1"));
    CHECK(session.readUntil("READY> ", &text, 60000));
    CHECK_EQ(text, "got select disk 1\r\nREADY> ");
    CHECK(session.send("exit"));
    CHECK_EQ(session.finish(60000), 7);

    // A program that never answers: the wait ends at its limit, and the
    // end of the session ends the program (the marker is free again).
    removeFile(kMarker);
    hostplatform::ConsoleSession silent;
    CHECK(silent.start(ownPath(), L"hold", folder));
    for (int i = 0; i < 600 && !exists(kMarker); ++i)
        Sleep(100);
    const ULONGLONG asked = GetTickCount64();
    CHECK(!silent.readUntil("READY> ", &text, 1000));
    CHECK(GetTickCount64() - asked < 30000);
    CHECK_EQ(silent.finish(0), hostplatform::kProcessStopped);
    bool released = false;
    for (int i = 0; i < 50 && !(released = writeFile(kMarker, "")); ++i)
        Sleep(100);
    CHECK(released);

    // Never found through the current folder: a bare name does not start,
    // even where the current folder holds that program.
    const std::wstring self = ownPath(), own = self.substr(0, self.find_last_of(L'\\'));
    CHECK(SetCurrentDirectoryW(own.c_str()));
    hostplatform::ConsoleSession bare;
    CHECK(!bare.start(self.substr(own.size() + 1), L"prompt", folder));
    CHECK_EQ(bare.finish(0), hostplatform::kProcessNotStarted);
}

void shellStartAndOneCopy() {
    removeFile(kMarker);
    const std::wstring path = ownPath(), folder = path.substr(0, path.find_last_of(L'\\'));
    CHECK(SetCurrentDirectoryW(folder.c_str()));
    // By its full path only: a bare name would be found in the current folder.
    CHECK(!hostplatform::shellStart(path.substr(folder.size() + 1)));
    CHECK(hostplatform::shellStart(path));
    for (int i = 0; i < 600 && readFile(kMarker).empty(); ++i)
        Sleep(100);
    CHECK_EQ(readFile(kMarker), narrow(path));
    CHECK(!hostplatform::shellStart(tempFolder() + L"bmc_no_such_program.exe"));

    CHECK_EQ(runProbe("second"), 5);
    // The name made first by someone the tool cannot open it for: a copy
    // may run there, so it is refused, and says so (no window to bring up).
    SECURITY_DESCRIPTOR nobody;
    ACL noAccess;
    InitializeSecurityDescriptor(&nobody, SECURITY_DESCRIPTOR_REVISION);
    InitializeAcl(&noAccess, sizeof(noAccess), ACL_REVISION);
    SetSecurityDescriptorDacl(&nobody, TRUE, &noAccess, FALSE);
    SECURITY_ATTRIBUTES squatting = {sizeof(squatting), &nobody, FALSE};
    const HANDLE squat = CreateMutexW(&squatting, FALSE, L"Local\\BootableMediaCreator.Instance");
    CHECK(squat);
    CHECK_EQ(runProbe("second"), 4);
    CloseHandle(squat);

    CHECK(hostplatform::claimSingleInstance());
    CHECK(!hostplatform::claimSingleInstance());
    // Refused. Without a display no window can be made, so there is none
    // to bring up here.
    CHECK_EQ(runProbe("second"), 4);
    // Held in the session's own namespace, where other sessions cannot reach.
    for (const auto &[name, held] :
         {std::make_pair(L"Local\\BootableMediaCreator.Instance", true),
          std::make_pair(L"Global\\BootableMediaCreator.Instance", false)}) {
        const HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, name);
        CHECK_ROW(narrow(name), mutex != nullptr, held);
        if (mutex)
            CloseHandle(mutex);
    }
}

} // namespace

void processTests() {
    _putenv(("BMC_PROBE_MARKER=" + narrow(kMarker)).c_str());
    commandLines();
    onlyWindowsOwnPrograms();
    interpreterLine();
    exitCodes();
    stopEndsTheTree();
    consoleSessions();
    shellStartAndOneCopy();
    removeFile(kMarker);
}
