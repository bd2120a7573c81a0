// The screen and the power request on Windows: the screen's logical DPI and
// keeping the computer awake while a build runs.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "platform/HostPlatform.h"

namespace hostplatform {

int screenLogicalDpi() {
    const HDC screen = GetDC(nullptr);
    if (!screen)
        return 0;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

void setKeepAwake(bool on) {
    // ES_CONTINUOUS alone clears this thread's earlier continuous request.
    if (on)
        SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    else
        SetThreadExecutionState(ES_CONTINUOUS);
}

} // namespace hostplatform
