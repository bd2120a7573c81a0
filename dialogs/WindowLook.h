// The look the three frameless windows share: title strip and body palettes,
// title and body fonts, and the frameless window flag. Font sizes are points
// and do not follow the scale factor; the screen's dpi already does that.
#pragma once

#include <QFont>

class QLabel;
class QWidget;

namespace windowlook {

QFont titleFont(); // "Segoe UI SemiBold", 10 points
QFont bodyFont();  // "Segoe UI", 10 points

// Title strip palette with its background filled; the text stays as it is.
void paintTitleStrip(QLabel *strip);
// Replaces every window flag by the frameless hint: no system title bar,
// border or system menu. A window without parent stays a top-level window.
void makeFrameless(QWidget *window);
// White body, filled automatically.
void paintBody(QWidget *window);

} // namespace windowlook
