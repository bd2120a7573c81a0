// A whole build through the tool's own window, in-process, on the simulated
// host named by BMC_HOST_ROOT (made fresh by bench/run.sh, with the image's
// link and the proxy of a local server). Starts up as the tool does, clicks
// Create Recovery Drive and the confirmation's OK, and from the moment the
// worker runs (after the connectivity check) ticks a 10 ms timer on the GUI
// thread until the window says the process completed.
// Then a second build on the same stick, as a user makes the next stick: the
// image of the first is used again.
// Prints key=value lines: build_ms (OK to "Process completed"), probe_ms
// (OK until the worker started), max_gap_ms (longest time between two
// ticks), ticks, peak_rss_kib (this process), second_build_ms; exits 1 when
// a build fails.
#include "app/AppContext.h"
#include "app/HostSide.h"
#include "app/LanguageSelection.h"
#include "dialogs/InfoDialogClass.h"
#include "dialogs/WarningClass.h"
#include "mainwindow/QCreateBootable.h"
#include "platform/HostPlatform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

namespace {

template <typename Dialog> Dialog *visibleTopLevel() {
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<Dialog *>(widget); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

long peakResidentKib() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

int fail(const char *why) {
    std::fprintf(stderr, "bench-build-window: %s\n", why);
    QCoreApplication::exit(1);
    return 1;
}

// The two builds, timed: each starts from the window's button and the
// confirmation's OK; the ticker on the GUI thread watches for the end.
class TimedBuilds {
public:
    TimedBuilds(QPushButton *createButton, QLabel *status)
        : m_createButton(createButton), m_status(status),
          m_completed(QCoreApplication::translate("QCreateBootable", "Process completed")) {
        m_ticker.setTimerType(Qt::PreciseTimer);
        m_ticker.setInterval(10);
        QObject::connect(&m_ticker, &QTimer::timeout, [this]() { tick(); });
    }

    int start() {
        if (!m_createButton->isEnabled())
            return fail("no USB drive listed on the host");
        m_createButton->click();
        WarningClass *confirmation = visibleTopLevel<WarningClass>();
        if (!confirmation)
            return fail("no confirmation shown");
        m_build.start();
        // Returns once the connectivity check is over and the worker runs.
        confirmation->OkButton->click();
        m_probeMs = m_second ? m_probeMs : m_build.elapsed();
        if (visibleTopLevel<WarningClass>())
            return fail("the connectivity check failed");
        m_sinceTick.start();
        m_ticker.start();
        return 0;
    }

private:
    void tick() {
        const qint64 gap = m_sinceTick.nsecsElapsed();
        m_sinceTick.start();
        m_maxGapNs = m_second ? m_maxGapNs : qMax(m_maxGapNs, gap);
        ++m_ticks;
        if (m_status->text() == m_completed) {
            const qint64 buildMs = m_build.elapsed();
            m_ticker.stop();
            if (m_second) {
                std::printf("second_build_ms=%lld\n", static_cast<long long>(buildMs));
                std::fflush(stdout);
                QCoreApplication::exit(0);
                return;
            }
            reportFirst(buildMs);
            m_second = true;
            QTimer::singleShot(0, [this]() { start(); });
        } else if (visibleTopLevel<InfoDialogClass>()) {
            fail("the build ended incomplete");
        } else if (m_build.elapsed() > 10 * 60 * 1000) {
            fail("no result within 10 minutes");
        }
    }

    void reportFirst(qint64 buildMs) {
        std::printf("build_ms=%lld\nprobe_ms=%lld\nmax_gap_ms=%.1f\nticks=%ld\n"
                    "peak_rss_kib=%ld\n",
                    static_cast<long long>(buildMs), static_cast<long long>(m_probeMs),
                    m_maxGapNs / 1e6, m_ticks, peakResidentKib());
        std::fflush(stdout);
        // The next build starts a new log: the first's is kept beside it.
        const QString log = QString::fromStdString(hostplatform::localPath(
            QString::fromStdWString(hostplatform::tempDirectory() + L"BootableMediaCreator.log")
                .toStdString()));
        QFile::remove(log + QStringLiteral(".first"));
        QFile::copy(log, log + QStringLiteral(".first"));
    }

    QPushButton *const m_createButton;
    QLabel *const m_status;
    const QString m_completed;
    QElapsedTimer m_build;
    QElapsedTimer m_sinceTick;
    qint64 m_probeMs = 0;
    qint64 m_maxGapNs = 0;
    long m_ticks = 0;
    bool m_second = false;
    QTimer m_ticker;
};

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("BMC_HOST_ROOT")) {
        std::fprintf(stderr, "bench-build-window: set BMC_HOST_ROOT to a fresh host\n");
        return 2;
    }

    // The tool's own start-up, up to the shown window.
    QApplication app(argc, argv);
    fixHostIdentity();
    QTranslator qtTranslator;
    QTranslator toolTranslator;
    installTranslators(selectLanguageFromHost(), qtTranslator, toolTranslator);
    applyHostNetworkSettings();
    auto *window = new QCreateBootable(nullptr);
    window->show();

    auto *createButton = window->findChild<QPushButton *>(QStringLiteral("CreateBootable"));
    auto *status = window->findChild<QLabel *>(QStringLiteral("label_2"));
    if (!createButton || !status) {
        std::fprintf(stderr, "bench-build-window: the window has no CreateBootable or label_2\n");
        return 2;
    }
    TimedBuilds builds(createButton, status);
    QTimer::singleShot(0, [&builds]() { builds.start(); });

    return QApplication::exec();
}
