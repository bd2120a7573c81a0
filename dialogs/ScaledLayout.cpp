#include "dialogs/ScaledLayout.h"

#include <QWidget>

int scaledValue(int base, float scale) {
    // The product is rounded to a float before truncation: the same values
    // come out whatever precision the compiler would otherwise keep.
    const float product = static_cast<float>(base) * scale;
    return static_cast<int>(product);
}

namespace {

QSize scaledSize(const QSize &base, float scale) {
    return QSize(scaledValue(base.width(), scale), scaledValue(base.height(), scale));
}

} // namespace

QRect scaledRect(const LayoutRow &row, float scale) {
    const QRect &b = row.base;
    if (row.rule == LayoutRow::InsetByOnePixel) {
        // Separate statements: each product is rounded to a float before the
        // pixel is added or taken away, with no fused multiply-add.
        float x = static_cast<float>(b.x()) * scale;
        x += 1.0f;
        float y = static_cast<float>(b.y()) * scale;
        y += 1.0f;
        float w = static_cast<float>(b.width()) * scale;
        w -= 2.0f;
        return QRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w),
                     scaledValue(b.height(), scale));
    }
    const QRect plain(scaledValue(b.x(), scale), scaledValue(b.y(), scale),
                      scaledValue(b.width(), scale), scaledValue(b.height(), scale));
    if (row.rule == LayoutRow::RoomForHintedText && scale > 1.0f)
        return plain.adjusted(-plain.width() / 12, 0, 0, 0);
    return plain;
}

void applyScaledLayout(QWidget *window, const BaseLayout &layout, float scale) {
    window->setFixedSize(scaledSize(layout.window, scale));
    for (const LayoutRow &row : layout.rows) {
        auto *child = window->findChild<QWidget *>(QLatin1String(row.objectName));
        if (!child)
            continue;
        const QRect rect = scaledRect(row, scale);
        child->setFixedSize(rect.size());
        child->move(rect.topLeft());
    }
}
