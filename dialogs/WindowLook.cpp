#include "dialogs/WindowLook.h"

#include <QLabel>
#include <QWidget>

namespace windowlook {

QPalette titleStripPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(237, 240, 243, 255));
    palette.setColor(QPalette::WindowText, QColor(0, 0, 0, 255));
    return palette;
}

QPalette bodyPalette(const QPalette &current) {
    QPalette palette = current;
    palette.setColor(QPalette::Window, QColor(Qt::white));
    return palette;
}

QFont titleFont() {
    return QFont(QStringLiteral("Segoe UI SemiBold"), 10);
}

QFont bodyFont() {
    return QFont(QStringLiteral("Segoe UI"), 10);
}

void paintTitleStrip(QLabel *strip) {
    strip->setPalette(titleStripPalette());
    strip->setAutoFillBackground(true);
}

void makeFrameless(QWidget *window) {
    window->setWindowFlags(Qt::FramelessWindowHint);
}

void paintBody(QWidget *window) {
    window->setPalette(bodyPalette(window->palette()));
    window->setAutoFillBackground(true);
}

} // namespace windowlook
