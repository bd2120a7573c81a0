// bitsadmin.exe /transfer and /cancel on the simulated host: a real HTTP
// download. As the transfer service does, it writes into a hidden temporary
// file beside the target and renames it only when the transfer is complete,
// so a failed transfer leaves no target file behind (and an older one
// untouched). The job belongs to the service, not to bitsadmin: when
// bitsadmin is ended halfway, the job and its temporary file stay (recorded
// under bits/ in the host root) until "/cancel <job>" removes them. The
// service keeps waiting on a server that sends nothing for far longer than
// anyone would; so does the stand-in.
#include "tools/hostsim/Tools.h"

#include "platform/sim/SimHost.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRandomGenerator>
#include <QUrl>

namespace hostsim {

namespace {

constexpr int kFailed = 1;

struct TransferError {
    quint32 code = 0;
    QString text;
};

// Streams url into localFile. Returns the transfer service's error on
// failure, with code 0 on success.
TransferError download(const QString &url, const QString &localFile, qint64 *bytes) {
    QFile file(localFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {0x80070005u, QStringLiteral("Access is denied.")};
    QNetworkAccessManager manager;
    QNetworkRequest request{QUrl(url)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *reply = manager.get(request);
    reply->setReadBufferSize(1 << 20);
    bool writeFailed = false;
    QEventLoop loop;
    auto drain = [&]() {
        const QByteArray chunk = reply->readAll();
        if (!writeFailed && file.write(chunk) != chunk.size()) {
            writeFailed = true;
            reply->abort();
        }
    };
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, drain);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    drain();
    *bytes = file.size();
    file.close();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QNetworkReply::NetworkError error = reply->error();
    // A body shorter than its announced length is a broken transfer, as the
    // transfer service sees it, even where the socket closed without an error.
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (error == QNetworkReply::NoError && length.isValid() && *bytes != length.toLongLong())
        error = QNetworkReply::RemoteHostClosedError;
    reply->deleteLater();
    if (writeFailed)
        return {0x80070070u, QStringLiteral("There is not enough space on the disk.")};
    if (status >= 400) {
        if (status == 404)
            return {0x80190194u, QStringLiteral("Not found (404).")};
        return {0x80190000u + static_cast<quint32>(status),
                QStringLiteral("HTTP status %1.").arg(status)};
    }
    switch (error) {
    case QNetworkReply::NoError:
        return {};
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
        return {0x80072EFDu,
                QStringLiteral("A connection with the server could not be established")};
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        return {0x80072EE2u, QStringLiteral("The operation timed out")};
    default:
        return {0x80072EFEu,
                QStringLiteral("The connection with the server was terminated abnormally")};
    }
}

int fail(ToolContext &ctx, const QString &text) {
    ctx.out->write(text.toLocal8Bit() + "\r\n");
    return kFailed;
}

QString jobRecord(const QString &root, const QString &job) {
    return root + QStringLiteral("/bits/") + job.toLower() + QStringLiteral(".job");
}

int cancelJob(ToolContext &ctx, const QString &job) {
    QFile record(jobRecord(ctx.root, job));
    if (!record.open(QIODevice::ReadOnly))
        return fail(ctx, QStringLiteral("Unable to find job named %1.").arg(job));
    const QString temporary = QString::fromUtf8(record.readAll());
    record.close();
    if (!temporary.isEmpty())
        QFile::remove(temporary);
    record.remove();
    ctx.out->write("Job canceled.\r\n");
    return 0;
}

} // namespace

int runBitsadmin(ToolContext &ctx) {
    ctx.out->write("\r\nBITSADMIN version 3.0\r\nBITS administration utility.\r\n"
                   "(C) Copyright Microsoft Corp.\r\n\r\n");
    const QStringList &args = ctx.arguments;
    if (args.size() == 2 && args.at(0).compare(QLatin1String("/cancel"), Qt::CaseInsensitive) == 0)
        return cancelJob(ctx, args.at(1));
    if (args.size() < 2 || args.at(0).compare(QLatin1String("/transfer"), Qt::CaseInsensitive))
        return fail(ctx, QStringLiteral("Only /transfer and /cancel are emulated on the "
                                        "simulated host."));
    const QString job = args.at(1);
    int i = 2;
    while (i < args.size() && args.at(i).startsWith(QLatin1Char('/'))) {
        const QString option = args.at(i).toLower();
        if (option == QLatin1String("/download") || option == QLatin1String("/dynamic")) {
            ++i;
        } else if (option == QLatin1String("/priority") && i + 1 < args.size()) {
            const QString priority = args.at(i + 1).toLower();
            if (priority != QLatin1String("foreground") && priority != QLatin1String("high") &&
                priority != QLatin1String("normal") && priority != QLatin1String("low"))
                return fail(ctx, QStringLiteral("Invalid priority: %1").arg(args.at(i + 1)));
            i += 2;
        } else {
            return fail(ctx, QStringLiteral("Invalid argument: %1").arg(args.at(i)));
        }
    }
    const QStringList pairs = args.mid(i);
    if (pairs.isEmpty() || pairs.size() % 2 != 0)
        return fail(ctx, QStringLiteral("Invalid number of arguments."));

    ctx.out->write(QStringLiteral("DISPLAY: '%1' TRANSFERRING 0 / %2 0 / UNKNOWN\r\n")
                       .arg(job)
                       .arg(pairs.size() / 2)
                       .toLocal8Bit());
    qint64 total = 0;
    for (int p = 0; p < pairs.size(); p += 2) {
        const QString url = pairs.at(p);
        const QString target = pairs.at(p + 1);
        const QUrl parsed(url);
        const QString local = simhost::localPath(ctx.root, target);
        // The service takes only full local paths and web links.
        if (local == target ||
            (parsed.scheme() != QLatin1String("http") && parsed.scheme() != QLatin1String("https")))
            return fail(ctx, QStringLiteral("Unable to add file to job - 0x80070057\r\n"
                                            "The parameter is incorrect."));
        TransferError error;
        qint64 bytes = 0;
        const QFileInfo targetInfo(local);
        QString temporary;
        if (!targetInfo.absoluteDir().exists()) {
            error = {0x80070003u, QStringLiteral("The system cannot find the path specified.")};
        } else {
            temporary =
                targetInfo.absolutePath() +
                QStringLiteral("/BIT%1.tmp")
                    .arg(QRandomGenerator::global()->bounded(0x10000), 4, 16, QLatin1Char('0'))
                    .toUpper();
            QFile created(temporary);
            if (created.open(QIODevice::WriteOnly)) {
                created.close();
                simhost::setHidden(ctx.root, temporary, true);
                QDir().mkpath(ctx.root + QStringLiteral("/bits"));
                QFile record(jobRecord(ctx.root, job));
                if (record.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                    record.write(temporary.toUtf8());
                    record.close();
                }
                error = download(url, temporary, &bytes);
                QFile::remove(jobRecord(ctx.root, job));
                simhost::setHidden(ctx.root, temporary, false);
            } else {
                error = {0x80070005u, QStringLiteral("Access is denied.")};
                temporary.clear();
            }
        }
        if (error.code == 0) {
            QFile::remove(local);
            if (!QFile::rename(temporary, local))
                error = {0x80070005u, QStringLiteral("Access is denied.")};
        }
        if (!temporary.isEmpty())
            QFile::remove(temporary);
        if (error.code != 0) {
            ctx.out->write(QStringLiteral("ERROR FILE:    %1 -> %2\r\nERROR CODE:    0x%3 - %4\r\n"
                                          "ERROR CONTEXT: 0x00000005 - The error occurred while "
                                          "the remote file was being processed.\r\n")
                               .arg(url, target)
                               .arg(error.code, 8, 16, QLatin1Char('0'))
                               .arg(error.text)
                               .toLocal8Bit());
            return kFailed;
        }
        total += bytes;
    }
    ctx.out->write(QStringLiteral("DISPLAY: '%1' TRANSFERRED %2 / %2 %3 / %3\r\nTransfer "
                                  "complete.\r\n")
                       .arg(job)
                       .arg(pairs.size() / 2)
                       .arg(total)
                       .toLocal8Bit());
    return 0;
}

} // namespace hostsim
