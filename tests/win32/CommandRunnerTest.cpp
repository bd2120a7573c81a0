// ShellCommandRunner and runHiddenProcess through the real process calls: the
// line reaches the command interpreter whole, exit codes come back, and what
// cannot be started is reported as such without running anything.
#include "Win32Check.h"
#include "Win32TestSupport.h"

#include "command/ShellCommandRunner.h"
#include "platform/HostPlatform.h"

#include <cstdlib>
#include <string>

using namespace win32test;

namespace {

const std::wstring kAppendFile = tempFolder() + L"bmc_runner_append.txt";

// "echo TEXT>>"<append file>"": the redirection is part of the command text,
// as in the tool's own listing command.
std::string appendCommand(const std::string &text) {
    return "echo " + text + ">>\"" + narrow(kAppendFile) + "\"";
}

// What echo writes for text: the blank before the (empty) argument ends the
// line, so echo repeats it, as it does on Windows.
std::string echoed(const std::string &text) {
    return text + " \r\n";
}

std::string currentComspec() {
    const char *value = std::getenv("COMSPEC");
    return value ? value : "";
}

void interpreterFromComspec() {
    win32check::section("interpreter named by COMSPEC");
    CHECK(!currentComspec().empty());
    removeFile(kAppendFile);
    CHECK_EQ(ShellCommandRunner(appendCommand("first").c_str(), ""), 0);
    // The runner returns only after the interpreter has closed the file.
    CHECK_EQ(readFileOrEmpty(kAppendFile), echoed("first"));
    CHECK_EQ(ShellCommandRunner(appendCommand("second").c_str(), ""), 0);
    CHECK_EQ(readFileOrEmpty(kAppendFile), echoed("first") + echoed("second"));
    removeFile(kAppendFile);
}

void interpreterFromSearchPath() {
    win32check::section("CMD.EXE through the search path when COMSPEC is unset");
    const std::string saved = currentComspec();
    setRuntimeEnvironment("COMSPEC", nullptr);
    CHECK(std::getenv("COMSPEC") == nullptr);
    removeFile(kAppendFile);
    CHECK_EQ(ShellCommandRunner(appendCommand("fallback").c_str(), ""), 0);
    CHECK_EQ(readFileOrEmpty(kAppendFile), echoed("fallback"));
    CHECK_EQ(ShellCommandRunner("exit 5", ""), 5);
    setRuntimeEnvironment("COMSPEC", saved.c_str());
    removeFile(kAppendFile);
}

void exitCodesPassedBack() {
    win32check::section("exit codes");
    CHECK_EQ(ShellCommandRunner("exit 7", ""), 7);
    CHECK_EQ(ShellCommandRunner("exit 0", ""), 0);
    // The argument is appended after one blank.
    CHECK_EQ(ShellCommandRunner("exit", "12"), 12);
}

void longestLinePassesWhole() {
    win32check::section("line length limit");
    const std::string fixed = buildInterpreterLine(currentComspec(), appendCommand("").c_str(), "");
    CHECK(fixed.size() < kMaxCommandLineLength);
    const std::string longest(kMaxCommandLineLength - fixed.size(), 'x');
    CHECK_EQ(static_cast<long long>(
                 buildInterpreterLine(currentComspec(), appendCommand(longest).c_str(), "").size()),
             511);

    removeFile(kAppendFile);
    CHECK_EQ(ShellCommandRunner(appendCommand(longest).c_str(), ""), 0);
    CHECK_EQ(readFileOrEmpty(kAppendFile), echoed(longest));

    // One more character: refused whole, nothing runs.
    removeFile(kAppendFile);
    CHECK_EQ(ShellCommandRunner(appendCommand(longest + "y").c_str(), ""), kCommandNotStarted);
    CHECK(!fileExists(kAppendFile));
    removeFile(kAppendFile);
}

void missingInterpreterIsNotStarted() {
    win32check::section("missing interpreter");
    const std::string saved = currentComspec();
    setRuntimeEnvironment("COMSPEC", "C:\\bmc-no-such-folder\\cmd.exe");
    removeFile(kAppendFile);
    CHECK_EQ(ShellCommandRunner(appendCommand("never").c_str(), ""), kCommandNotStarted);
    CHECK(!fileExists(kAppendFile));
    setRuntimeEnvironment("COMSPEC", saved.c_str());
}

long long runProbe(const std::wstring &arguments) {
    std::wstring line = L"\"" + ownFolder() + L"\\win32_probe.exe\" " + arguments;
    return hostplatform::runHiddenProcess(&line[0]);
}

void hiddenProcessDirectly() {
    win32check::section("runHiddenProcess");
    // Exit codes pass as the unsigned value, so even 0xFFFFFFFF is a code and
    // not "could not start".
    CHECK_EQ(runProbe(L"exit 3"), 3);
    CHECK_EQ(runProbe(L"exit 4294967295"), 4294967295LL);

    const std::wstring report = tempFolder() + L"bmc_probe_startup.txt";
    removeFile(report);
    CHECK_EQ(runProbe(L"startup \"" + report + L"\""), 0);
    CHECK_EQ(readFileOrEmpty(report), "flags=1 show=0"); // STARTF_USESHOWWINDOW, SW_HIDE
    removeFile(report);

    std::wstring missing = L"\"" + ownFolder() + L"\\bmc_no_such_program.exe\" exit 3";
    CHECK_EQ(hostplatform::runHiddenProcess(&missing[0]), hostplatform::kProcessNotStarted);
}

// Whether a file can be opened for writing with no sharing: not while a
// process still holds it.
bool nobodyHolds(const std::wstring &path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

void stoppedCommandEndsWithWhatItStarted() {
    win32check::section("a stopped command ends with the programs it started");
    const std::wstring held = tempFolder() + L"bmc_runner_held.txt";
    removeFile(held);
    // The interpreter starts the probe, which holds the file for a minute.
    // The outer quotes are the ones cmd strips from a line with several.
    const std::string command =
        "\"\"" + narrow(ownFolder()) + "\\win32_probe.exe\" hold \"" + narrow(held) + "\"\"";
    const ULONGLONG started = GetTickCount64();
    int asked = 0;
    const long long code = ShellCommandRunner(command.c_str(), "", [&]() {
        ++asked;
        // Stop once the probe is surely running.
        return fileExists(held) && GetTickCount64() - started > 1000;
    });
    CHECK_EQ(code, kCommandStopped);
    CHECK(asked > 1);
    CHECK(GetTickCount64() - started < 30000);
    CHECK(fileExists(held));
    // Ending a process takes a moment to release its handles.
    bool released = false;
    for (int i = 0; i < 50 && !released; ++i) {
        released = nobodyHolds(held);
        if (!released)
            Sleep(100);
    }
    CHECK(released);
    removeFile(held);

    // A stop check that never says stop changes nothing.
    CHECK_EQ(ShellCommandRunner("exit 6", "", []() { return false; }), 6);
}

} // namespace

int main() {
    interpreterFromComspec();
    interpreterFromSearchPath();
    exitCodesPassedBack();
    longestLinePassesWhole();
    missingInterpreterIsNotStarted();
    hiddenProcessDirectly();
    stoppedCommandEndsWithWhatItStarted();
    return win32check::finish();
}
