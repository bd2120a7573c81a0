// The screen's logical resolution as the real device context reports it.
#include "Win32Check.h"
#include "Win32TestSupport.h"

#include "platform/HostPlatform.h"

#include <cstdlib>

int main() {
    win32check::section("screenLogicalDpi");
    const HDC screen = GetDC(nullptr);
    CHECK(screen != nullptr);
    const int expected = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);

    const int dpi = hostplatform::screenLogicalDpi();
    CHECK(dpi > 0);
    CHECK_EQ(dpi, expected);

    // The test script sets a resolution other than the default in the fresh
    // prefix, so a value that ignores the screen's setting is caught.
    if (const char *configured = std::getenv("BMC_TEST_EXPECTED_DPI"))
        CHECK_EQ(dpi, std::atoi(configured));
    else
        std::printf("BMC_TEST_EXPECTED_DPI not set: configured resolution not checked\n");
    return win32check::finish();
}
