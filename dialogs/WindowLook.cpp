#include "dialogs/WindowLook.h"

#include <QCoreApplication>
#include <QLabel>
#include <QStringList>
#include <QWidget>

namespace {

#ifndef Q_OS_WIN
// Segoe UI exists only on Windows. On the simulated host the windows still
// name it, and an Arial-metric face stands in for it (its Latin text runs
// within about 1 % of Segoe UI's width), else Noto Sans, so that texts take
// about the room they take on Windows. Other scripts come from the system's
// fallback faces.
void useLocalFacesForSegoeUi() {
    const QStringList faces = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                               QStringLiteral("Nimbus Sans"), QStringLiteral("Noto Sans"),
                               QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("Segoe UI"), faces);
    QFont::insertSubstitutions(QStringLiteral("Segoe UI SemiBold"), faces);
}
Q_COREAPP_STARTUP_FUNCTION(useLocalFacesForSegoeUi)
#endif

} // namespace

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
