// A console program driven through its standard input and output: anonymous
// pipes whose child ends alone are handed on (an explicit handle list, so
// that no other handle of the tool leaks into the child, nor the tool's own
// ends, which would keep a pipe open after the child ended), a hidden
// console, and a job that ends the program with everything it started.
#include "platform/HostPlatform.h"

#include <windows.h>

#include <vector>

namespace hostplatform {

namespace {

// Output of a console program is in the console's OEM code page.
std::string utf8FromOem(const std::string &bytes) {
    if (bytes.empty())
        return bytes;
    const int n = static_cast<int>(bytes.size());
    std::wstring wide(bytes.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), n, &wide[0], n));
    std::string text(wide.size() * 3, '\0');
    text.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                    &text[0], static_cast<int>(text.size()), nullptr, nullptr));
    return text;
}

void closeIfOpen(HANDLE *handle) {
    if (*handle)
        CloseHandle(*handle);
    *handle = nullptr;
}

// A pipe of which only the child's end (the read end when the child reads
// it) may be inherited.
bool makePipe(HANDLE *childEnd, HANDLE *ownEnd, bool childReads) {
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, nullptr, 0))
        return false;
    *childEnd = childReads ? read : write;
    *ownEnd = childReads ? write : read;
    if (SetHandleInformation(*childEnd, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT))
        return true;
    closeIfOpen(childEnd);
    closeIfOpen(ownEnd);
    return false;
}

// A job that ends its processes when its last handle closes.
HANDLE makeJob() {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job &&
        !SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits)))
        closeIfOpen(&job);
    return job;
}

} // namespace

struct ConsoleSession::State {
    HANDLE process = nullptr;
    HANDLE job = nullptr;
    HANDLE input = nullptr;  // the write end of the program's standard input
    HANDLE output = nullptr; // the read end of its standard output and error
    std::string pending;     // read, not yet handed out (OEM bytes)

    // Appends what the program has written so far; false once it has closed
    // its output (it ended) or the pipe failed.
    bool readAvailable() {
        DWORD available = 0;
        if (!PeekNamedPipe(output, nullptr, 0, nullptr, &available, nullptr))
            return false;
        while (available > 0) {
            char buffer[4096];
            DWORD got = 0;
            if (!ReadFile(output, buffer, available < sizeof buffer ? available : sizeof buffer,
                          &got, nullptr) ||
                got == 0)
                return false;
            pending.append(buffer, got);
            available -= got;
        }
        return true;
    }

    // Starts the process suspended, with only the two child ends inherited.
    bool create(const std::wstring &program, std::wstring line, const std::wstring &folder,
                HANDLE childInput, HANDLE childOutput) {
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        std::vector<char> storage(size);
        const auto attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
        HANDLE inherited[] = {childInput, childOutput};
        if (!InitializeProcThreadAttributeList(attributes, 1, 0, &size))
            return false;
        STARTUPINFOEXW startup = {};
        startup.StartupInfo.cb = sizeof(startup);
        startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
        startup.StartupInfo.wShowWindow = SW_HIDE;
        startup.StartupInfo.hStdInput = childInput;
        startup.StartupInfo.hStdOutput = childOutput;
        startup.StartupInfo.hStdError = childOutput;
        startup.lpAttributeList = attributes;
        PROCESS_INFORMATION started = {};
        const BOOL ok =
            UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                      sizeof(inherited), nullptr, nullptr) &&
            CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE,
                           CREATE_NO_WINDOW | CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT,
                           nullptr, folder.c_str(), &startup.StartupInfo, &started);
        DeleteProcThreadAttributeList(attributes);
        if (!ok)
            return false;
        process = started.hProcess;
        // In the job before it runs a single instruction, so that nothing it
        // starts escapes the end of the session.
        job = makeJob();
        if (job && !AssignProcessToJobObject(job, process))
            closeIfOpen(&job);
        ResumeThread(started.hThread);
        CloseHandle(started.hThread);
        return true;
    }

    void end() {
        if (!job || !TerminateJobObject(job, 1))
            TerminateProcess(process, 1);
        WaitForSingleObject(process, INFINITE);
    }
};

ConsoleSession::ConsoleSession() : m_state(new State) {}

ConsoleSession::~ConsoleSession() {
    if (m_state->process)
        finish(0);
    delete m_state;
}

bool ConsoleSession::start(const std::wstring &programPath, const std::wstring &arguments,
                           const std::wstring &workingFolder) {
    State &s = *m_state;
    // A full path only: a name without one would be looked for in the
    // current folder.
    const bool full = programPath.size() > 3 && programPath[1] == L':' && programPath[2] == L'\\';
    if (s.process || !full || workingFolder.empty())
        return false;
    HANDLE childInput = nullptr, childOutput = nullptr;
    if (!makePipe(&childInput, &s.input, true))
        return false;
    if (!makePipe(&childOutput, &s.output, false)) {
        CloseHandle(childInput);
        closeIfOpen(&s.input);
        return false;
    }
    // The program's own name first, quoted, as its C runtime expects it.
    const std::wstring line =
        L"\"" + programPath + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    const bool started = s.create(programPath, line, workingFolder, childInput, childOutput);
    // The child holds its own copies now: the pipes end when it does.
    CloseHandle(childInput);
    CloseHandle(childOutput);
    if (!started) {
        closeIfOpen(&s.input);
        closeIfOpen(&s.output);
    }
    return started;
}

bool ConsoleSession::send(const std::string &line) {
    State &s = *m_state;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    return s.input &&
           WriteFile(s.input, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

bool ConsoleSession::readUntil(const std::string &prompt, std::string *text,
                               unsigned long timeoutMs) {
    State &s = *m_state;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    bool open = s.output != nullptr;
    for (;;) {
        const std::size_t at = prompt.empty() ? std::string::npos : s.pending.find(prompt);
        if (at != std::string::npos) {
            *text = utf8FromOem(s.pending.substr(0, at + prompt.size()));
            s.pending.erase(0, at + prompt.size());
            return true;
        }
        if (!open || GetTickCount64() >= deadline) {
            *text = utf8FromOem(s.pending);
            s.pending.clear();
            return false;
        }
        // Anonymous pipes have no waitable reads: look again shortly.
        const std::size_t before = s.pending.size();
        open = s.readAvailable();
        if (open && s.pending.size() == before)
            Sleep(10);
    }
}

long long ConsoleSession::finish(unsigned long timeoutMs) {
    State &s = *m_state;
    if (!s.process)
        return kProcessNotStarted;
    closeIfOpen(&s.input); // the end of its input: diskpart leaves
    // Its last output is read and dropped, so that a full pipe cannot hold
    // it up.
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    bool ended = false;
    while (!(ended = WaitForSingleObject(s.process, 10) == WAIT_OBJECT_0) &&
           GetTickCount64() < deadline) {
        if (s.output && !s.readAvailable())
            closeIfOpen(&s.output);
        s.pending.clear();
    }
    if (!ended)
        s.end();
    DWORD code = 0;
    if (!GetExitCodeProcess(s.process, &code))
        code = 0;
    closeIfOpen(&s.process);
    closeIfOpen(&s.job);
    closeIfOpen(&s.output);
    s.pending.clear();
    return ended ? static_cast<long long>(code) : kProcessStopped;
}

} // namespace hostplatform
