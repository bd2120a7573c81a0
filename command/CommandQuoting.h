// How a path is written into a command line that the interpreter reads.
#pragma once

#include <QString>

// The path in double quotes when it holds a blank or a character that the
// interpreter treats specially (&()^;,=!'+`~[]{}); otherwise unchanged, so
// the ordinary command lines stay exactly as they always were.
QString quoteIfNeeded(const QString &path);
