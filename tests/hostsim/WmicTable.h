// WMIC's table as it writes it: each column as wide as its widest value
// (the header's included) and two blanks, every line ended with CR CR LF,
// and a blank line after the last.
#pragma once

#include <QStringList>
#include <QVector>

inline QString wmicTable(const QList<QStringList> &lines) {
    QVector<int> widths(lines.first().size(), 0);
    for (const QStringList &line : lines)
        for (int c = 0; c < line.size(); ++c)
            widths[c] = qMax(widths[c], line[c].size() + 2);
    QString text;
    for (const QStringList &line : lines) {
        for (int c = 0; c < line.size(); ++c)
            text += line[c].leftJustified(widths[c]);
        text += QStringLiteral("\r\r\n");
    }
    return text + QStringLiteral("\r\r\n");
}
