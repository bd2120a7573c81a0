// Downloads on the simulated host: real HTTP requests through the host's
// transfer, bounded by the stall rule and the host's stall window.
#include "platform/HostPlatform.h"

#include "sim/platform/SimHost.h"

namespace hostplatform {

unsigned long long stallWindowMs() {
    const qlonglong window =
        simhost::hostSetting(simhost::hostRoot(), QStringLiteral("network/stallWindowMs"))
            .toLongLong();
    return window > 0 ? static_cast<unsigned long long>(window) : kStallWindowMs;
}

namespace {

RemoteVersion remoteVersionOf(const simhost::HttpVersion &version) {
    return {version.length, version.etag.toStdString(), version.lastModified.toStdString()};
}

} // namespace

bool remoteVersion(const std::wstring &url, RemoteVersion *version, const StopCheck &stop) {
    simhost::HttpVersion answered;
    // A silent server is given up as a silent download is.
    if (simhost::httpHead(simhost::hostRoot(), QString::fromStdWString(url), &answered,
                          static_cast<int>(stallWindowMs()),
                          stop) != simhost::HttpOutcome::Completed)
        return false;
    *version = remoteVersionOf(answered);
    return true;
}

DownloadResult downloadToFile(const std::wstring &url, const std::wstring &windowsPath,
                              const StopCheck &stop, const TransferProgress &progress,
                              RemoteVersion *version) {
    const QString root = simhost::hostRoot();
    const QString local = simhost::localPath(root, QString::fromStdWString(windowsPath));
    StallWatch watch;
    simhost::HttpVersion served;
    const simhost::HttpOutcome outcome = simhost::httpDownload(
        root, QString::fromStdWString(url), local, nullptr,
        [&](qint64 milliseconds, qint64 bytes, qint64 total) {
            if (progress)
                progress(static_cast<unsigned long long>(bytes),
                         static_cast<unsigned long long>(qMax<qint64>(total, 0)));
            return (stop && stop()) || watch.stalled(static_cast<unsigned long long>(milliseconds),
                                                     static_cast<unsigned long long>(bytes));
        },
        &served);
    switch (outcome) {
    case simhost::HttpOutcome::Completed:
        if (version)
            *version = remoteVersionOf(served);
        return DownloadResult::Completed;
    case simhost::HttpOutcome::NotAuthenticated:
        return DownloadResult::NotAuthenticated;
    case simhost::HttpOutcome::Failed:
        break;
    }
    return DownloadResult::Failed;
}

} // namespace hostplatform
