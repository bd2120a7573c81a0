// The image's download: the system's download first, hashed as it arrives,
// then the transfer service as a fallback, both bounded and both stopped at
// the user's word.
#include "builder/MediaBuildPipeline.h"

#include "builder/BuildCommands.h"
#include "builder/ProgressSpan.h"
#include "builder/ThreadDriveClone.h"
#include "command/HostPath.h"
#include "command/ShellCommandRunner.h"

#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

using namespace buildpaths;

namespace {

constexpr int kProgressIntervalMs = 250;
const char kDownloadProgress[] =
    QT_TRANSLATE_NOOP("ThreadDriveClone", "Downloading the boot image: %1 of %2 MB");
const char kDownloadProgressOpen[] =
    QT_TRANSLATE_NOOP("ThreadDriveClone", "Downloading the boot image: %1 MB");

qint64 bytesIn(const QString &localFolder) {
    qint64 total = 0;
    const QFileInfoList files =
        QDir(localFolder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &file : files)
        total += file.size();
    return total;
}

} // namespace

hostplatform::DownloadResult MediaBuildPipeline::download(const QString &link,
                                                          hostplatform::RemoteVersion *served) {
    using hostplatform::DownloadResult;
    QElapsedTimer timer;
    timer.start();
    const auto stop = [this]() { return m_worker.stopRequested(); };
    // The image is hashed as it arrives wherever the download writes it as
    // it goes, so the self-check needs no second pass over it. (URLDownloadToFileW
    // writes the file only at its end, from the web cache: there the hash
    // is taken then, in one pass.)
    m_arrivingImage.reset(
        new hostplatform::GrowingFileHash(hostPath(QLatin1String(kDownloadedImage)).toStdString()));
    QElapsedTimer sinceReport;
    ProgressInSpan bar(kDownloadSpan);
    const auto progress = [&](unsigned long long received, unsigned long long total) {
        // Once the user has stopped the build the window says so; no amount
        // may take its place.
        if (stop() || (sinceReport.isValid() && sinceReport.elapsed() < kProgressIntervalMs))
            return;
        sinceReport.start();
        m_arrivingImage->catchUp();
        emit m_worker.PrintRunningProcess(
            total > 0 ? progressText(kDownloadProgress, qint64(received), qint64(total))
                      : progressText(kDownloadProgressOpen, qint64(received), 0));
        const int value = bar.advance(qint64(received), qint64(total));
        if (value >= 0)
            emit m_worker.SetProgressValue(value);
    };
    const DownloadResult result = hostplatform::downloadToFile(
        link.toStdWString(), QString::fromLatin1(kDownloadedImage).toStdWString(), stop, progress,
        served);
    m_log.note(QStringLiteral("download of %1 %2 (%3 ms)")
                   .arg(linkForLog(link),
                        result == DownloadResult::Completed ? QLatin1String("succeeded")
                        : result == DownloadResult::NotAuthenticated
                            ? QLatin1String("refused: the server could not prove who it is")
                            : QLatin1String("failed"))
                   .arg(timer.elapsed()));
    if (result == DownloadResult::Completed)
        return result;
    // Whatever the failed attempt left behind must not pass for the image.
    m_arrivingImage.reset();
    QFile::remove(hostPath(QLatin1String(kDownloadedImage)));
    // The fallback would meet the same server: no second try.
    if (stop() || result == DownloadResult::NotAuthenticated)
        return result;
    return downloadByBitsadmin(link);
}

hostplatform::DownloadResult MediaBuildPipeline::downloadByBitsadmin(const QString &link) {
    using hostplatform::DownloadResult;
    const auto stop = [this]() { return m_worker.stopRequested(); };
    // The fallback is bounded like the first attempt: the transfer service
    // would wait on a stalled server for days. Its progress shows as the
    // growth of its temporary file beside the image.
    const QString bitsadmin = bitsadminProgram(m_systemDirectory);
    const QString shown = bitsadmin + QLatin1Char(' ') + bitsadminArguments(linkForLog(link));
    qDebug().noquote() << shown;
    hostplatform::StallWatch watch;
    QElapsedTimer fallbackTimer;
    fallbackTimer.start();
    const QString folder = hostPath(QLatin1String(kDownloadFolder));
    const long long code = runProgram(bitsadmin, bitsadminArguments(link), shown, [&]() {
        const qint64 arrived = bytesIn(folder);
        if (stop())
            return true;
        emit m_worker.PrintRunningProcess(progressText(kDownloadProgressOpen, arrived, 0));
        return watch.stalled(static_cast<unsigned long long>(fallbackTimer.elapsed()),
                             static_cast<unsigned long long>(arrived));
    });
    if (code == kCommandStopped) {
        m_log.check(QStringLiteral("download by bitsadmin"), false,
                    stop() ? QStringLiteral("stopped by the user")
                           : QStringLiteral("given up: no progress"));
        // Ending bitsadmin leaves its job with the service, partial file and all.
        runProgram(bitsadmin, bitsadminCancelArguments(),
                   bitsadmin + QLatin1Char(' ') + bitsadminCancelArguments(), {});
        QFile::remove(hostPath(QLatin1String(kDownloadedImage)));
        return DownloadResult::Failed;
    }
    const bool fetched = code == 0;
    m_log.check(QStringLiteral("download by bitsadmin"), fetched);
    return fetched ? DownloadResult::Completed : DownloadResult::Failed;
}
