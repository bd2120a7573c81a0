// Moving a frameless window by dragging its title strip. One dragging flag
// serves the whole process: a left press in any window sets it and any
// release in any window clears it. Each window keeps its own offset between
// the cursor and its top-left corner.
#pragma once

#include <QPoint>

class QMouseEvent;
class QWidget;

namespace titledrag {

// How far down a press may start a drag.
enum class StripHeight {
    Fixed,  // rows 0 to 26 at every scale (main window, confirmation dialog)
    Scaled, // rows down to 26 * scale (self-test failure dialog)
};

// mousePressEvent: a left press sets the flag and stores the offset from the
// window's frame; any other button changes nothing.
void press(QWidget *window, const QMouseEvent *event, QPoint &offset);
// mouseMoveEvent: moves the window to follow the cursor while the flag is
// set, the left button is held and the offset passed the strip test.
void move(QWidget *window, QMouseEvent *event, const QPoint &offset, StripHeight height);
// mouseReleaseEvent: clears the flag, whatever the button.
void release();

} // namespace titledrag
