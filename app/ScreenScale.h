// The screen's scale factor and the DPI class that picks pictures and style
// sheets. Geometry follows the factor itself; pictures follow the class.
#pragma once

enum class DpiClass { None, Dpi96, Dpi120, Dpi144 };

// scale = dpi / 96 in single precision, snapped up to 1.25 strictly between
// 1.0 and 1.25 and to 1.5 strictly between 1.25 and 1.5.
float scaleForDpi(int logicalDpi);

// Exactly 1.0: Dpi96; exactly 1.25: Dpi120; 1.5 or more: Dpi144; else none.
DpiClass dpiClassOf(float scale);

// The resource folder of a class (":/images/", ":/images/120-DPI/",
// ":/images/144-DPI/"), empty for no class.
const char *imageFolderOf(DpiClass dpiClass);

// Reads the screen's logical dpi once and stores the factor in AppContext.
// An unreadable resolution counts as 96 dpi.
void probeScreenScale();
