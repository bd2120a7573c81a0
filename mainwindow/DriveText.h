// How the drive list and the confirmation name a drive, so that two sticks of
// one model can be told apart: the model, then its size in GB as Windows
// Explorer shows it and its drive letters, in the interface language.
#pragma once

#include "app/AppContext.h"
#include "drives/DriveListing.h"

#include <QString>

class QComboBox;
class QFontMetrics;

// A listed drive's item carries its disk number (Qt::UserRole) and its whole
// identity under this role, which decides whether a later list still shows
// the same drive.
constexpr int kDriveRole = Qt::UserRole + 1;

// "Alpha USB Device (14.9 GB, E:)"; "Alpha USB Device (14.9 GB)" without a
// letter; the model alone without a medium. Given metrics and a width, the
// model is shortened so that the whole text fits; the size and letters stay.
QString driveText(const ListedDrive &drive, UiLanguage language,
                  const QFontMetrics *metrics = nullptr, int width = 0);

// Adds the drive's item at the end of the list: its text shortened to the
// list's width if it must be, whole in the tooltip and for screen readers
// (Qt::AccessibleTextRole).
void addDriveItem(QComboBox *list, const ListedDrive &drive, UiLanguage language);
