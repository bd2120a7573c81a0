// How the drive list and the confirmation name a drive, so that two sticks of
// one model can be told apart: the model, then its size in GB as Windows
// Explorer shows it and its drive letters, in the interface language.
#pragma once

#include "app/AppContext.h"
#include "builder/DriveListing.h"

#include <QString>

class QFontMetrics;

// "Alpha USB Device (14.9 GB, E:)"; "Alpha USB Device (14.9 GB)" without a
// letter; the model alone without a medium. Given metrics and a width, the
// model is shortened so that the whole text fits; the size and letters stay.
QString driveText(const ListedDrive &drive, UiLanguage language,
                  const QFontMetrics *metrics = nullptr, int width = 0);
