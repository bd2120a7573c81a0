#include "dialogs/DialogLayouts.h"

BaseLayout warningDialogLayout() {
    BaseLayout layout;
    layout.window = QSize(489, 194);
    layout.rows = {
        {"frame", QRect(0, 0, 489, 194)},
        {"CancelButton", QRect(375, 159, 101, 23)},
        {"HeaderLabel", QRect(2, 2, 486, 26), LayoutRow::InsetByOnePixel},
        {"ImageLabel", QRect(15, 54, 66, 66)},
        {"InfoLabel", QRect(95, 50, 381, 80)},
        // The drive the confirmation is for, on a line of its own.
        {"DriveLabel", QRect(95, 132, 381, 22)},
        {"OkButton", QRect(252, 159, 101, 23)},
    };
    return layout;
}

namespace {

struct RecreateButtonSpan {
    int x;
    int width;
};

RecreateButtonSpan recreateButtonFor(UiLanguage language) {
    switch (language) {
    case UiLanguage::EN:
    case UiLanguage::FR:
    case UiLanguage::JA:
    case UiLanguage::KO:
        return {160, 150};
    case UiLanguage::DE:
        return {115, 190};
    case UiLanguage::IT:
    case UiLanguage::ES:
    case UiLanguage::DU:
    case UiLanguage::BR:
    case UiLanguage::HI:
        return {140, 170};
    case UiLanguage::CN:
        return {170, 140};
    }
    return {160, 150};
}

} // namespace

BaseLayout infoDialogLayout(UiLanguage language) {
    const bool chinese = language == UiLanguage::CN;
    const RecreateButtonSpan recreate = recreateButtonFor(language);

    BaseLayout layout;
    layout.window = QSize(430, 180);
    layout.rows = {
        {"HeaderLabel", QRect(2, 2, 427, 26)},
        {"frame", QRect(0, 0, 430, 180)},
        {"ImageLbl", QRect(5, 44, 67, 67)},
        {"label", QRect(77, chinese ? 32 : 43, 312, 40)},
        {"label_2", QRect(77, chinese ? 80 : 86, 311, 40)},
        {"CancelButton", QRect(330, 134, 81, 26)},
        {"RecreateButton", QRect(recreate.x, 134, recreate.width, 26)},
    };
    return layout;
}
