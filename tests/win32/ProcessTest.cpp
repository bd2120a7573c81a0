// Starting processes through the real calls: the line the runner builds
// reaches cmd and the program whole, exit codes come back, what cannot start
// is reported as such, a stop ends the whole tree, the shell starts a program
// by name, and a second copy of the tool is refused.
#include "Win32Test.h"

#include "command/ShellCommandRunner.h"
#include "platform/HostPlatform.h"

using namespace win32test;

namespace {

const std::wstring kMarker = tempFolder() + L"bmc_probe_marker.txt";
// The probe as the tool names its tools: unquoted (the build folder has no blank).
const std::string kProbe = narrow(ownPath());

std::string comspec() {
    const char *value = std::getenv("COMSPEC");
    return value ? value : "";
}

// What the probe's "args" mode received, or "(not run)".
std::string argumentsSeen(const std::string &tail, const char *argument = "") {
    removeFile(kMarker);
    const long long code = ShellCommandRunner((kProbe + " args " + tail).c_str(), argument);
    return code == 0 && fileExists(kMarker) ? readFile(kMarker) : "(not run)";
}

void commandLines() {
    setRuntimeEnvironment("BMC_PROBE_MARKER", narrow(kMarker).c_str());
    // What the program gets after cmd and the C runtime have read the line:
    // the runner must pass the command on byte for byte.
    const struct {
        const char *tail;
        const char *argument;
        const char *seen;
    } cases[] = {
        {"/E /H /I \"C:\\Some Folder\\Boot.wim\" R:\\sources\\boot.wim*", "",
         "/E|/H|/I|C:\\Some Folder\\Boot.wim|R:\\sources\\boot.wim*"},
        {"/download \"http://h/a?x=1&y=2\" C:\\x", "", "/download|http://h/a?x=1&y=2|C:\\x"},
        {"a^&b \"c^d\"", "", "a&b|c^d"},
        {"50% %s%d %%", "", "50%|%s%d|%%"},
        {"one", "\"two three\"", "one|two three"},
        {"  spaced   out  ", "", "spaced|out"},
    };
    for (const auto &c : cases)
        CHECK_EQ(argumentsSeen(c.tail, c.argument), c.seen);

    // The longest line passes whole; one character more and nothing runs.
    const std::size_t fixed = comspec().size() + 4 + kProbe.size() + 6 + 1;
    const std::string longest(kMaxCommandLineLength - fixed, 'x');
    CHECK_EQ(argumentsSeen(longest), longest);
    CHECK_EQ(argumentsSeen(longest + "y"), "(not run)");
    setRuntimeEnvironment("BMC_PROBE_MARKER", nullptr);
}

long long runProbe(const std::string &arguments) {
    std::wstring line = L"\"" + ownPath() + L"\" " + widen(arguments);
    return hostplatform::runHiddenProcess(&line[0]);
}

void exitCodes() {
    const struct {
        std::string command;
        const char *argument;
        long long code;
    } cases[] = {
        {"exit 7", "", 7},
        {"exit", "12", 12},
        {kProbe + " exit 300", "", 300},
        {"exit 0", "", 0},
    };
    for (const auto &c : cases)
        CHECK_EQ(ShellCommandRunner(c.command.c_str(), c.argument), c.code);
    // Widened unsigned: even 0xFFFFFFFF is an exit code, not "could not start".
    CHECK_EQ(runProbe("exit 4294967295"), 4294967295LL);
    std::wstring missing = L"\"" + tempFolder() + L"bmc_no_such_program.exe\" exit 3";
    CHECK_EQ(hostplatform::runHiddenProcess(&missing[0]), hostplatform::kProcessNotStarted);

    // Started hidden.
    const std::wstring report = tempFolder() + L"bmc_probe_startup.txt";
    removeFile(report);
    CHECK_EQ(runProbe("startup \"" + narrow(report) + "\""), 0);
    CHECK_EQ(readFile(report), "flags=1 show=0"); // STARTF_USESHOWWINDOW, SW_HIDE

    // The interpreter: COMSPEC, or CMD.EXE through the search path when unset.
    const std::string saved = comspec();
    setRuntimeEnvironment("COMSPEC", nullptr);
    CHECK_EQ(ShellCommandRunner("exit 5", ""), 5);
    setRuntimeEnvironment("COMSPEC", "C:\\bmc-no-such-folder\\cmd.exe");
    CHECK_EQ(ShellCommandRunner("exit 5", ""), kCommandNotStarted);
    setRuntimeEnvironment("COMSPEC", saved.c_str());
}

void stopEndsTheTree() {
    const std::wstring held = tempFolder() + L"bmc_runner_held.txt";
    removeFile(held);
    // cmd starts the probe, which holds the file for a minute.
    const std::string command = kProbe + " hold \"" + narrow(held) + "\"";
    const ULONGLONG started = GetTickCount64();
    CHECK_EQ(
        ShellCommandRunner(command.c_str(), "",
                           [&]() { return fileExists(held) && GetTickCount64() - started > 1000; }),
        kCommandStopped);
    CHECK(GetTickCount64() - started < 30000);
    // The probe is gone too: the file can be written again (ending a process
    // takes a moment to release its handles).
    bool released = false;
    for (int i = 0; i < 50 && !(released = writeFile(held, "")); ++i)
        Sleep(100);
    CHECK(released);
    removeFile(held);
    // A stop check that never says stop changes nothing.
    CHECK_EQ(ShellCommandRunner("exit 6", "", []() { return false; }), 6);
}

void shellStartFromOwnFolder() {
    removeFile(kMarker);
    setRuntimeEnvironment("BMC_PROBE_MARKER", narrow(kMarker).c_str());
    const std::wstring path = ownPath();
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
    CHECK(SetCurrentDirectoryW(folder.c_str()));
    CHECK(hostplatform::shellStart(narrow(path.substr(folder.size() + 1)).c_str()));
    CHECK(waitForFile(kMarker));
    CHECK_EQ(readFile(kMarker), narrow(path));
    CHECK(!hostplatform::shellStart("bmc_no_such_program.exe"));
    setRuntimeEnvironment("BMC_PROBE_MARKER", nullptr);
}

void oneCopyAtATime() {
    CHECK_EQ(runProbe("second"), 5);
    CHECK(hostplatform::claimSingleInstance());
    // Refused. Without a display no window can be made, so there is none
    // to bring up here.
    CHECK_EQ(runProbe("second"), 4);
}

} // namespace

void processTests() {
    commandLines();
    exitCodes();
    stopEndsTheTree();
    shellStartFromOwnFolder();
    oneCopyAtATime();
}
