// The status line of a failed build: the cause in one short sentence, and
// where the build log is.
#pragma once

#include "builder/BuildFailure.h"

#include <QString>

QString buildFailureText(BuildFailure cause);
