// Fixed window geometry for the screen's scale factor. Every window keeps a
// base table in pixels at 96 dpi; applying it multiplies each value by the
// factor in single precision and truncates towards zero, never rounding, so
// the windows come out pixel for pixel alike on every machine.
#pragma once

#include <QRect>
#include <QSize>
#include <QVector>

class QWidget;

// trunc(float(base) * scale), in single precision.
int scaledValue(int base, float scale);

struct LayoutRow {
    // How a row's rectangle turns into scaled geometry.
    enum Rule {
        Plain,
        // One pixel inside its base rectangle on every side after scaling:
        // x, y = trunc(v * s + 1), width = trunc(w * s - 2), height = trunc(h * s).
        InsetByOnePixel,
        // A button whose text fills it at 96 dpi. Above 96 dpi the font is hinted to whole
        // pixels and sets text wider than the scale alone (10 pt is 17 px at 120 dpi, not
        // 16.67), so the button grows leftwards by a twelfth of its scaled width.
        RoomForHintedText,
    };

    const char *objectName;
    QRect base;
    Rule rule = Plain;
};

struct BaseLayout {
    QSize window;
    QVector<LayoutRow> rows; // children, in the order they are applied
};

QRect scaledRect(const LayoutRow &row, float scale);

// Gives the window the fixed scaled size, then each child of the table, in
// order, its fixed scaled size and position. Children are found by object
// name; a name the window lacks is skipped.
void applyScaledLayout(QWidget *window, const BaseLayout &layout, float scale);
