// Base geometry of the main window, in pixels at 96 dpi, in the order the rows
// are applied. Widths and the button row follow the length of the texts in
// each language; the window's height and the buttons' heights never change.
#pragma once

#include "app/AppContext.h"
#include "dialogs/ScaledLayout.h"

BaseLayout mainWindowLayout(UiLanguage language);
