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
    const QString completed = QCoreApplication::translate("QCreateBootable", "Process completed");

    QElapsedTimer build;
    QElapsedTimer sinceTick;
    qint64 probeMs = 0;
    qint64 maxGapNs = 0;
    long ticks = 0;
    bool second = false;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(10);

    const auto startBuild = [&]() {
        if (!createButton->isEnabled())
            return fail("no USB drive listed on the host");
        createButton->click();
        WarningClass *confirmation = visibleTopLevel<WarningClass>();
        if (!confirmation)
            return fail("no confirmation shown");
        build.start();
        // Returns once the connectivity check is over and the worker runs.
        confirmation->OkButton->click();
        probeMs = second ? probeMs : build.elapsed();
        if (visibleTopLevel<WarningClass>())
            return fail("the connectivity check failed");
        sinceTick.start();
        ticker.start();
        return 0;
    };

    QObject::connect(&ticker, &QTimer::timeout, [&]() {
        const qint64 gap = sinceTick.nsecsElapsed();
        sinceTick.start();
        maxGapNs = second ? maxGapNs : qMax(maxGapNs, gap);
        ++ticks;
        if (status->text() == completed) {
            const qint64 buildMs = build.elapsed();
            ticker.stop();
            if (second) {
                std::printf("second_build_ms=%lld\n", static_cast<long long>(buildMs));
                std::fflush(stdout);
                QCoreApplication::exit(0);
                return;
            }
            std::printf("build_ms=%lld\nprobe_ms=%lld\nmax_gap_ms=%.1f\nticks=%ld\n"
                        "peak_rss_kib=%ld\n",
                        static_cast<long long>(buildMs), static_cast<long long>(probeMs),
                        maxGapNs / 1e6, ticks, peakResidentKib());
            std::fflush(stdout);
            // The next build starts a new log: the first's is kept beside it.
            const QString log = QString::fromStdString(hostplatform::localPath(
                QString::fromStdWString(hostplatform::tempDirectory() + L"BootableMediaCreator.log")
                    .toStdString()));
            QFile::remove(log + QStringLiteral(".first"));
            QFile::copy(log, log + QStringLiteral(".first"));
            second = true;
            QTimer::singleShot(0, startBuild);
        } else if (visibleTopLevel<InfoDialogClass>()) {
            fail("the build ended incomplete");
        } else if (build.elapsed() > 10 * 60 * 1000) {
            fail("no result within 10 minutes");
        }
    });

    QTimer::singleShot(0, startBuild);

    return QApplication::exec();
}
