#include "dialogs/WindowLook.h"

#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace windowlook {

namespace {

// The application's default palette with a light grey background (237, 240,
// 243) and black text.
QPalette titleStripPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(237, 240, 243, 255));
    palette.setColor(QPalette::WindowText, QColor(0, 0, 0, 255));
    return palette;
}

// The given palette with a white background.
QPalette bodyPalette(const QPalette &current) {
    QPalette palette = current;
    palette.setColor(QPalette::Window, QColor(Qt::white));
    return palette;
}

} // namespace

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
