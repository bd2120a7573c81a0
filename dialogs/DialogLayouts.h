// Base geometry of the two dialogs, in pixels at 96 dpi, in the order the
// rows are applied.
#pragma once

#include "app/AppContext.h"
#include "dialogs/ScaledLayout.h"

// The confirmation dialog: the same in every language. Its title strip sits
// one pixel inside its base rectangle; the chosen drive has a line of its own
// under the message.
BaseLayout warningDialogLayout();

// The self-test failure dialog: the recreate button is sized to its text in
// each language, and the Chinese message lines sit higher.
BaseLayout infoDialogLayout(UiLanguage language);
