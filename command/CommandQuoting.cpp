#include "command/CommandQuoting.h"

QString quoteIfNeeded(const QString &path) {
    static const QString special = QStringLiteral(" &()^;,=!'+`~[]{}");
    for (const QChar c : path) {
        if (special.contains(c))
            return QLatin1Char('"') + path + QLatin1Char('"');
    }
    return path;
}
