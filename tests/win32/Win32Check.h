// A minimal check harness for the Windows layer's tests: no framework, so the
// executables stay small and run under Wine without extra DLLs.
#pragma once

#include <cstdio>
#include <string>

namespace win32check {

struct Tally {
    int passed = 0;
    int failed = 0;
};

inline Tally &tally() {
    static Tally counts;
    return counts;
}

inline bool record(bool ok, const char *what, const char *file, int line) {
    if (ok) {
        ++tally().passed;
    } else {
        ++tally().failed;
        std::printf("FAIL %s:%d: %s\n", file, line, what);
        std::fflush(stdout);
    }
    return ok;
}

inline bool recordEqual(long long actual, long long expected, const char *what, const char *file,
                        int line) {
    if (actual == expected)
        return record(true, what, file, line);
    std::printf("FAIL %s:%d: %s (got %lld, expected %lld)\n", file, line, what, actual, expected);
    ++tally().failed;
    std::fflush(stdout);
    return false;
}

inline bool recordEqual(const std::string &actual, const std::string &expected, const char *what,
                        const char *file, int line) {
    if (actual == expected)
        return record(true, what, file, line);
    std::printf("FAIL %s:%d: %s\n  got      \"%s\"\n  expected \"%s\"\n", file, line, what,
                actual.c_str(), expected.c_str());
    ++tally().failed;
    std::fflush(stdout);
    return false;
}

inline void section(const char *name) {
    std::printf("-- %s\n", name);
    std::fflush(stdout);
}

// Prints the closing line and gives main's result.
inline int finish() {
    std::printf("%d passed, %d failed\n", tally().passed, tally().failed);
    return tally().failed == 0 && tally().passed > 0 ? 0 : 1;
}

} // namespace win32check

#define CHECK(condition)                                                                           \
    win32check::record(static_cast<bool>(condition), #condition, __FILE__, __LINE__)
#define CHECK_EQ(actual, expected)                                                                 \
    win32check::recordEqual((actual), (expected), #actual " == " #expected, __FILE__, __LINE__)
