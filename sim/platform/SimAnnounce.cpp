// The simulated host's screen reader: what the tool announces is kept, one
// line each, for tests to read.
#include "platform/HostPlatform.h"

#include "sim/platform/SimHost.h"

namespace hostplatform {

bool announce(std::uintptr_t, const std::wstring &text) {
    QString line = QString::fromStdWString(text);
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    simhost::appendLog(simhost::hostRoot(), QStringLiteral("announcements.log"), line);
    return true;
}

} // namespace hostplatform
