#include "builder/ProgressSpan.h"

#include <QCoreApplication>

int ProgressInSpan::advance(qint64 done, qint64 total) {
    if (total <= 0 || done <= 0)
        return -1;
    const qint64 width = m_span.to - m_span.from;
    // Short of the next checkpoint, even with every byte done.
    const qint64 value = m_span.from + qMin(width - 1, qMin(done, total) * width / total);
    if (value <= m_last)
        return -1;
    m_last = static_cast<int>(value);
    return m_last;
}

QString progressText(const char *source, qint64 done, qint64 total) {
    constexpr qint64 kMiB = 1 << 20;
    const QString text = QCoreApplication::translate("ThreadDriveClone", source).arg(done / kMiB);
    return total > 0 ? text.arg(total / kMiB) : text;
}
