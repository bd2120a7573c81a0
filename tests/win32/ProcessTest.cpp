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

#include <sddl.h>

using namespace win32test;

namespace {

// Where the probe reports (see main.cpp).
const std::wstring kMarker = tempFolder() + L"bmc_probe_marker.txt";
// The probe as the tool names its tools: unquoted (the build folder has no blank).
const std::string kProbe = narrow(ownPath());
const std::wstring kMissing = tempFolder() + L"bmc_no_such_program.exe";

// Whether ready() came true within tenths of a second, asked every tenth.
template <typename Ready> bool waitFor(Ready ready, int tenths) {
    for (int i = 0; i < tenths && !ready(); ++i)
        Sleep(100);
    return ready();
}

// What the probe's "args" mode received, or "(not run)".
std::string argumentsSeen(const std::string &tail, const char *argument = "") {
    removeFile(kMarker);
    const long long code = ShellCommandRunner((kProbe + " args " + tail).c_str(), argument);
    return code == 0 ? readFile(kMarker) : "(not run)";
}

long long runProbe(const std::string &arguments, const std::wstring &program = ownPath()) {
    std::wstring line = L"\"" + program + L"\" " + widen(arguments);
    return hostplatform::runHiddenProcess(program, &line[0]);
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
    // someone else's (the probe); COMSPEC names a program that is not there
    // (processTests).
    const std::wstring planted = tempFolder() + L"bmc_planted";
    CreateDirectoryW(planted.c_str(), nullptr);
    CHECK(CopyFileW(ownPath().c_str(), (planted + L"\\cmd.exe").c_str(), FALSE));
    CHECK(SetCurrentDirectoryW(planted.c_str()));
    CHECK_EQ(ShellCommandRunner("exit 5", ""), 5);
    // Every program starts in the system directory, through cmd or not.
    const std::string system = narrow(hostplatform::systemDirectory());
    CHECK_EQ(ShellCommandRunner((kProbe + " cwd").c_str(), ""), 0);
    CHECK_EQ(readFile(kMarker), system);
    CHECK_EQ(ProgramRunner(kProbe.c_str(), "cwd"), 0);
    CHECK_EQ(readFile(kMarker), system);
    // A program is named by its full path; a bare name is not looked for,
    // not even where the current folder holds that program.
    CHECK_EQ(ProgramRunner("cmd.exe", "/d /c exit 5"), kCommandNotStarted);
    hostplatform::ConsoleSession bare;
    CHECK(!bare.start(L"cmd.exe", L"prompt", planted));
    CHECK_EQ(bare.finish(0), hostplatform::kProcessNotStarted);
    CHECK(!hostplatform::shellStart(L"cmd.exe"));

    // Wine's cmd runs no AutoRun command that /d could keep from running:
    // for one start the probe stands in for the system's cmd.exe (loaded as
    // the file, not as Wine's own) and reports the line it was given (the
    // planted one, run with "/d", would report nothing).
    const std::wstring cmd = hostplatform::systemDirectory() + L"\\cmd.exe";
    const std::wstring saved = tempFolder() + L"bmc_cmd_saved.exe";
    CHECK(CopyFileW(cmd.c_str(), saved.c_str(), FALSE) &&
          CopyFileW(ownPath().c_str(), cmd.c_str(), FALSE));
    const wchar_t overrides[] = L"Software\\Wine\\DllOverrides", native[] = L"native";
    CHECK(RegSetKeyValueW(HKEY_CURRENT_USER, overrides, L"cmd.exe", REG_SZ, native,
                          sizeof(native)) == ERROR_SUCCESS);
    removeFile(kMarker);
    ShellCommandRunner("exit 0", "");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, overrides, L"cmd.exe");
    CHECK(CopyFileW(saved.c_str(), cmd.c_str(), FALSE));
    removeFile(saved);
    CHECK_EQ(readFile(kMarker), narrow(cmd) + " /d /c exit 0 ");
    // Out of the planted folder, so that it can go.
    SetCurrentDirectoryW(tempFolder().c_str());
    removeFile(planted + L"\\cmd.exe");
    RemoveDirectoryW(planted.c_str());
}

void exitCodes() {
    // Widened unsigned: even 0xFFFFFFFF is an exit code, not "could not start".
    CHECK_EQ(runProbe("exit 4294967295"), 4294967295LL);
    CHECK_EQ(runProbe("exit 3", kMissing), hostplatform::kProcessNotStarted);

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
    CHECK(waitFor([] { return writeFile(kMarker, ""); }, 50));
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
    CHECK(waitFor([] { return exists(kMarker); }, 600));
    const ULONGLONG asked = GetTickCount64();
    CHECK(!silent.readUntil("READY> ", &text, 1000));
    CHECK(GetTickCount64() - asked < 30000);
    CHECK_EQ(silent.finish(0), hostplatform::kProcessStopped);
    CHECK(waitFor([] { return writeFile(kMarker, ""); }, 50));
}

void shellStartAndOneCopy() {
    removeFile(kMarker);
    CHECK(hostplatform::shellStart(ownPath()));
    CHECK(waitFor([] { return !readFile(kMarker).empty(); }, 600));
    CHECK_EQ(readFile(kMarker), kProbe);
    CHECK(!hostplatform::shellStart(kMissing));

    CHECK_EQ(runProbe("second"), 5);
    // The name made first by someone the tool cannot open it for: a copy
    // may run there, so it is refused, and says so (no window to bring up).
    PSECURITY_DESCRIPTOR nobody = nullptr; // an empty access list: no one may open it
    ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:", SDDL_REVISION_1, &nobody, nullptr);
    SECURITY_ATTRIBUTES squatting = {sizeof(squatting), nobody, FALSE};
    const HANDLE squat = CreateMutexW(&squatting, FALSE, L"Local\\BootableMediaCreator.Instance");
    CHECK(squat);
    CHECK_EQ(runProbe("second"), 4);
    CloseHandle(squat);
    LocalFree(nobody);

    CHECK(hostplatform::claimSingleInstance() && !hostplatform::claimSingleInstance());
    // Refused. Without a display no window can be made, so there is none
    // to bring up here.
    CHECK_EQ(runProbe("second"), 4);
    // Held in the session's own namespace, where other sessions cannot reach.
    const HANDLE local = OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\BootableMediaCreator.Instance");
    CHECK(local && !OpenMutexW(SYNCHRONIZE, FALSE, L"Global\\BootableMediaCreator.Instance"));
    CloseHandle(local);
}

} // namespace

void processTests() {
    _putenv(("BMC_PROBE_MARKER=" + narrow(kMarker)).c_str());
    // Windows' own cmd runs, never the one COMSPEC names.
    _putenv("COMSPEC=C:\\bmc-no-such-folder\\cmd.exe");
    commandLines();
    onlyWindowsOwnPrograms();
    exitCodes();
    stopEndsTheTree();
    consoleSessions();
    shellStartAndOneCopy();
    removeFile(kMarker);
}
