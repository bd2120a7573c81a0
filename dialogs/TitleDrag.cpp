#include "dialogs/TitleDrag.h"

#include "app/AppContext.h"

#include <QMouseEvent>
#include <QWidget>

namespace titledrag {

namespace {
bool s_dragging = false;

// Whether a press offset at row offsetY lies within the draggable strip.
bool withinStrip(int offsetY, StripHeight height, float scale) {
    if (height == StripHeight::Fixed)
        return offsetY <= 26;
    const float limit = 26.0f * scale;
    return static_cast<float>(offsetY) <= limit;
}

} // namespace

void press(QWidget *window, const QMouseEvent *event, QPoint &offset) {
    if (event->button() != Qt::LeftButton)
        return;
    s_dragging = true;
    offset = event->globalPos() - window->frameGeometry().topLeft();
}

void move(QWidget *window, QMouseEvent *event, const QPoint &offset, StripHeight height) {
    if (!withinStrip(offset.y(), height, AppContext::scaleFactor()) || !s_dragging ||
        !(event->buttons() & Qt::LeftButton))
        return;
    window->move(event->globalPos() - offset);
    event->accept();
}

void release() {
    s_dragging = false;
}

} // namespace titledrag
