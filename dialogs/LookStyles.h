// Style-sheet texts and picture paths of the three windows for each DpiClass.
// The texts are written for the 96-dpi picture set; the 120 and 144 sets use
// the same texts with their own folder. With no class every picture path is
// empty and every image style is empty, so the windows keep their forms'
// defaults.
#pragma once

#include "app/ScreenScale.h"

#include <QString>

namespace lookstyle {

// Appended directly after an image style, without separator.
extern const char *const kWhiteTextRule; // "QPushButton {color : #ffffff;}"
extern const char *const kBlackTextRule; // "QPushButton {color : #000000;}"
// The confirmation dialog's message label.
extern const char *const kBlackLabelRule; // "QLabel {color : #000000;}"

// Ordinary push button: normal, hover, pressed.
QString buttonNormal(DpiClass dpiClass);
// Large push button without a disabled picture of its own (main window).
QString bigButtonThreeState(DpiClass dpiClass);
// Large push button with its disabled state (self-test failure dialog).
QString bigButtonFourState(DpiClass dpiClass);
// The main window's title-bar close button.
QString titleClose(DpiClass dpiClass);

// What a disabled button of the main window looks like: a pale picture of
// its own and grey text. Appended after the button's whole style sheet, so
// it overrides the state rules before it; with no class only the text rule.
enum class DisabledPicture { Button, BigButton, TitleClose };
QString disabledRule(DpiClass dpiClass, DisabledPicture picture);

// "<class folder><fileName>", for example ":/images/144-DPI/Bootable.png";
// empty with no class.
QString picture(DpiClass dpiClass, const char *fileName);

} // namespace lookstyle
