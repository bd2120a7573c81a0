#include "app/ScreenScale.h"

#include "app/AppContext.h"
#include "platform/HostPlatform.h"

float scaleForDpi(int logicalDpi) {
    float scale = static_cast<float>(logicalDpi) / 96.0f;
    if (scale > 1.0f && scale < 1.25f)
        scale = 1.25f;
    else if (scale > 1.25f && scale < 1.5f)
        scale = 1.5f;
    return scale;
}

DpiClass dpiClassOf(float scale) {
    if (scale == 1.0f)
        return DpiClass::Dpi96;
    if (scale == 1.25f)
        return DpiClass::Dpi120;
    if (scale >= 1.5f)
        return DpiClass::Dpi144;
    return DpiClass::None;
}

const char *imageFolderOf(DpiClass dpiClass) {
    switch (dpiClass) {
    case DpiClass::Dpi96:
        return ":/images/";
    case DpiClass::Dpi120:
        return ":/images/120-DPI/";
    case DpiClass::Dpi144:
        return ":/images/144-DPI/";
    case DpiClass::None:
        break;
    }
    return "";
}

void probeScreenScale() {
    // A screen whose resolution cannot be read would make every window 0 x 0
    // pixels, an invisible tool with no way out: lay it out at 96 dpi instead.
    const int dpi = hostplatform::screenLogicalDpi();
    AppContext::s_scaleFactor = scaleForDpi(dpi > 0 ? dpi : 96);
}
