// Starting processes through the real calls: the line the runner builds
// reaches cmd and the program whole, exit codes come back, what cannot start
// is reported as such, a stop ends the whole tree, a console session is
// driven through its input and output and ended at its limit, the shell
// starts a program by name, and a second copy of the tool is refused.
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
    return hostplatform::runHiddenProcess(&line[0]);
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
    const std::string comspec = std::getenv("COMSPEC");
    const std::string longest(kMaxCommandLineLength - comspec.size() - kProbe.size() - 11, 'x');
    CHECK_EQ(argumentsSeen(longest), longest);
    CHECK_EQ(argumentsSeen(longest + "y"), "(not run)");

    // The interpreter: COMSPEC, or CMD.EXE through the search path when unset.
    _putenv("COMSPEC=");
    CHECK_EQ(ShellCommandRunner("exit 5", ""), 5);
    _putenv("COMSPEC=C:\\bmc-no-such-folder\\cmd.exe");
    CHECK_EQ(ShellCommandRunner("exit 5", ""), kCommandNotStarted);
    _putenv(("COMSPEC=" + comspec).c_str());
}

void exitCodes() {
    // Widened unsigned: even 0xFFFFFFFF is an exit code, not "could not start".
    CHECK_EQ(runProbe("exit 4294967295"), 4294967295LL);
    std::wstring missing = L"\"" + tempFolder() + L"bmc_no_such_program.exe\" exit 3";
    CHECK_EQ(hostplatform::runHiddenProcess(&missing[0]), hostplatform::kProcessNotStarted);

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
    CHECK(hostplatform::shellStart(narrow(path.substr(folder.size() + 1)).c_str()));
    for (int i = 0; i < 600 && readFile(kMarker).empty(); ++i)
        Sleep(100);
    CHECK_EQ(readFile(kMarker), narrow(path));
    CHECK(!hostplatform::shellStart("bmc_no_such_program.exe"));

    CHECK_EQ(runProbe("second"), 5);
    CHECK(hostplatform::claimSingleInstance());
    // Refused. Without a display no window can be made, so there is none
    // to bring up here.
    CHECK_EQ(runProbe("second"), 4);
}

} // namespace

void processTests() {
    _putenv(("BMC_PROBE_MARKER=" + narrow(kMarker)).c_str());
    commandLines();
    exitCodes();
    stopEndsTheTree();
    consoleSessions();
    shellStartAndOneCopy();
    removeFile(kMarker);
}
