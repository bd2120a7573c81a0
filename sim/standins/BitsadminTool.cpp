// bitsadmin.exe /transfer and /cancel on the simulated host: a real HTTP
// download of one file. As the transfer service does, it writes into a
// hidden temporary file beside the target and renames it only when the
// transfer is complete, so a failed transfer leaves no target file behind
// (and an older one untouched). The job belongs to the service, not to
// bitsadmin: when bitsadmin is ended halfway, the job and its temporary file
// stay (recorded under bits/ in the host root) until "/cancel <job>" removes
// them. The service keeps waiting on a server that sends nothing for far
// longer than anyone would; so does the stand-in.
#include "sim/standins/Tools.h"

#include "sim/platform/SimHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QUrl>

namespace hostsim {

namespace {

constexpr int kFailed = 1;

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

// Downloads url through a hidden temporary file beside local, recorded as
// the job's while it runs. Returns false with the reason on failure.
bool transfer(ToolContext &ctx, const QString &job, const QString &url, const QString &local,
              QString *error) {
    const QFileInfo target(local);
    *error = QStringLiteral("Access is denied.");
    if (!target.absoluteDir().exists()) {
        *error = QStringLiteral("The system cannot find the path specified.");
        return false;
    }
    const QString temporary =
        target.absolutePath() +
        QStringLiteral("/BIT%1.tmp")
            .arg(QRandomGenerator::global()->bounded(0x10000), 4, 16, QLatin1Char('0'))
            .toUpper();
    QFile created(temporary);
    if (!created.open(QIODevice::WriteOnly))
        return false;
    created.close();
    simhost::setHidden(ctx.root, temporary, true);
    QDir().mkpath(ctx.root + QStringLiteral("/bits"));
    QFile record(jobRecord(ctx.root, job));
    if (record.open(QIODevice::WriteOnly | QIODevice::Truncate))
        record.write(temporary.toUtf8());
    record.close();
    const bool downloaded = simhost::httpDownload(ctx.root, url, temporary, error,
                                                  [](qint64, qint64, qint64) { return false; }) ==
                            simhost::HttpOutcome::Completed;
    record.remove();
    simhost::setHidden(ctx.root, temporary, false);
    const bool ok = downloaded && (!QFile::exists(local) || QFile::remove(local)) &&
                    QFile::rename(temporary, local);
    QFile::remove(temporary);
    return ok;
}

} // namespace

int runBitsadmin(ToolContext &ctx) {
    ctx.out->write("\r\nBITSADMIN version 3.0\r\nBITS administration utility.\r\n\r\n");
    QStringList args = ctx.arguments;
    if (args.size() == 2 && args.at(0).compare(QLatin1String("/cancel"), Qt::CaseInsensitive) == 0)
        return cancelJob(ctx, args.at(1));
    if (args.size() < 2 || args.at(0).compare(QLatin1String("/transfer"), Qt::CaseInsensitive))
        return fail(ctx, QStringLiteral("Only /transfer and /cancel are emulated."));
    const QString job = args.at(1);
    args = args.mid(2);
    args.removeAll(QStringLiteral("/download"));
    const int priority = args.indexOf(QStringLiteral("/priority"));
    if (priority >= 0)
        args.erase(args.begin() + priority, args.begin() + qMin(priority + 2, args.size()));
    const QString local = simhost::localPath(ctx.root, args.value(1));
    const QString scheme = QUrl(args.value(0)).scheme();
    // The service takes one web link and one full local path.
    if (args.size() != 2 || local == args.at(1) ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return fail(ctx, QStringLiteral("Unable to add file to job - 0x80070057\r\n"
                                        "The parameter is incorrect."));
    ctx.out->write("DISPLAY: '" + job.toLocal8Bit() + "' TRANSFERRING 0 / 1 0 / UNKNOWN\r\n");
    QString error;
    if (!transfer(ctx, job, args.at(0), local, &error))
        return fail(ctx, QStringLiteral("ERROR FILE:    %1 -> %2\r\nERROR:         %3")
                             .arg(args.at(0), args.at(1), error));
    ctx.out->write("DISPLAY: '" + job.toLocal8Bit() + "' TRANSFERRED 1 / 1 " +
                   QByteArray::number(QFileInfo(local).size()) + "\r\nTransfer complete.\r\n");
    return 0;
}

} // namespace hostsim
