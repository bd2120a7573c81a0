// The progress bar during a long step whose size is known: the bytes done,
// mapped onto the values between the checkpoint before the step and the one
// after it. The bar only ever rises, and the step never claims the next
// checkpoint itself: that stays the step after's to report.
#pragma once

#include <QString>
#include <QtGlobal>

// The download runs before the first checkpoint (5, the format), the image
// copy after the last but one (95) and before the end (100).
struct ProgressSpan {
    int from;
    int to;
};
constexpr ProgressSpan kDownloadSpan{0, 5};
constexpr ProgressSpan kCopySpan{95, 100};

class ProgressInSpan {
public:
    explicit ProgressInSpan(ProgressSpan span) : m_span(span), m_last(span.from) {}
    // The bar's new value for done of total bytes, or -1 when it would not
    // rise (nothing new, a total not known, or a count gone back).
    int advance(qint64 done, qint64 total);

private:
    ProgressSpan m_span;
    int m_last;
};

// "<what>: 120 of 480 MB", in whole MiB as Windows counts them, from source,
// a text of the ThreadDriveClone context; without a total the text has no
// place for one.
QString progressText(const char *source, qint64 done, qint64 total);
