#include "mainwindow/MainWindowLayout.h"

namespace {

// What differs between languages.
struct LanguageColumn {
    int windowWidth;
    int cancelX;
    int createX;
    int createWidth;
    int promptWidth; // label
    int statusY;     // label_2
    int statusWidth;
    int statusHeight;
    int progressY; // the busy animation sits 3 pixels above the progress bar
};

LanguageColumn columnFor(UiLanguage language) {
    switch (language) {
    case UiLanguage::EN:
        return {530, 408, 242, 145, 420, 96, 430, 35, 130};
    case UiLanguage::DE:
        return {560, 445, 210, 223, 450, 96, 421, 35, 134};
    case UiLanguage::FR:
        return {550, 428, 205, 213, 420, 95, 421, 36, 134};
    case UiLanguage::ES:
        return {550, 433, 210, 213, 410, 92, 421, 39, 135};
    case UiLanguage::IT:
    case UiLanguage::JA:
    case UiLanguage::CN:
        return {520, 408, 233, 165, 390, 96, 421, 32, 132};
    case UiLanguage::KO:
    case UiLanguage::DU:
    case UiLanguage::BR:
    case UiLanguage::HI:
        return {528, 408, 233, 165, 390, 96, 421, 36, 134};
    }
    return columnFor(UiLanguage::EN);
}

} // namespace

BaseLayout mainWindowLayout(UiLanguage language) {
    const LanguageColumn c = columnFor(language);
    BaseLayout layout;
    layout.window = QSize(c.windowWidth, 206);
    layout.rows = {
        {"frame", QRect(0, 0, c.windowWidth, 206)},
        {"CancelButton", QRect(c.cancelX, 167, 101, 23)},
        {"CreateBootable", QRect(c.createX, 167, c.createWidth, 23), LayoutRow::RoomForHintedText},
        {"DiskComboBox", QRect(100, 66, 351, 22)},
        {"ImageLabel", QRect(20, 51, 64, 64)},
        {"label", QRect(100, 46, c.promptWidth, 16)},
        {"label_2", QRect(100, c.statusY, c.statusWidth, c.statusHeight)},
        // The title strip leaves the frame's border visible on the right.
        {"label_3", QRect(2, 2, c.windowWidth - 3, 26)},
        {"progressBar", QRect(100, c.progressY, 388, 23)},
        {"ProcessLabel", QRect(485, c.progressY - 3, 30, 30)},
    };
    return layout;
}
