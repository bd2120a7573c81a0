// Xcopy.exe on the simulated host, with the switches the tool passes (/S,
// /E, /H, /I). Its exit codes:
//   0  files were copied
//   2  stopped: a question that nobody answers (Xcopy would wait for ever)
//   4  initialisation error: invalid switch or number of parameters, invalid
//      drive, source not found, not enough space on the destination
//   5  disk write error
// Xcopy reads "/" as the start of a switch even inside an unquoted path, so
// "C:/folder\file" is the drive C: followed by the switch "/folder\file".
// Files are streamed in chunks, never held in memory whole.
#include "sim/standins/Tools.h"

#include "sim/platform/SimHost.h"
#include "sim/standins/HostDisks.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>

namespace hostsim {

namespace {

constexpr int kCopied = 0;
constexpr int kStopped = 2;
constexpr int kInitError = 4;
constexpr int kWriteError = 5;
constexpr qint64 kChunk = 1 << 20;
// FAT holds files of at most 4 GiB minus one byte.
constexpr qint64 kFatLargestFileEnd = qint64(4) << 30;

// Splits the argument text as Xcopy reads it: blanks outside quotes
// separate, quotes are dropped, and an unquoted "/" starts a new argument, a
// switch.
QStringList xcopyTokens(const QString &text) {
    QStringList tokens;
    QString current;
    bool any = false;
    bool quoted = false;
    for (const QChar c : text) {
        const bool blank = !quoted && (c == QLatin1Char(' ') || c == QLatin1Char('\t'));
        const bool slash = !quoted && c == QLatin1Char('/');
        if ((blank || slash) && any)
            tokens.append(current);
        if (blank || slash) {
            current = slash ? QString(c) : QString();
            any = slash;
            continue;
        }
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else
            current += c;
        any = true;
    }
    if (any)
        tokens.append(current);
    return tokens;
}

bool hasWildcard(const QString &name) {
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// Applies a destination mask to a source file name, as the Windows copy
// commands rename: a literal character replaces one of the name's, "."
// moves past the name's next dot, "*" keeps the rest of the name.
QString applyMask(const QString &mask, const QString &name) {
    QString out;
    int pos = 0;
    for (const QChar c : mask) {
        if (c == QLatin1Char('*')) {
            out += name.mid(pos);
            pos = name.size();
        } else if (c == QLatin1Char('.')) {
            out += c;
            const int dot = name.indexOf(QLatin1Char('.'), pos);
            pos = dot < 0 ? name.size() : dot + 1;
        } else {
            out += c;
            if (pos < name.size() && name.at(pos) != QLatin1Char('.'))
                ++pos;
        }
    }
    while (out.endsWith(QLatin1Char('.')) || out.endsWith(QLatin1Char(' ')))
        out.chop(1);
    return out;
}

bool driveExists(const QString &root, const QString &windowsPath) {
    return windowsPath.size() >= 2 && windowsPath.at(1) == QLatin1Char(':') &&
           QFileInfo(root + QStringLiteral("/drives/") + windowsPath.left(1).toUpper()).isDir();
}

QString parentOf(const QString &windowsPath) {
    const int slash = windowsPath.lastIndexOf(QLatin1Char('\\'));
    return slash < 0 ? windowsPath.left(2) : windowsPath.left(slash);
}

QString lastPart(const QString &windowsPath) {
    const int slash = windowsPath.lastIndexOf(QLatin1Char('\\'));
    return slash < 0 ? windowsPath.mid(2) : windowsPath.mid(slash + 1);
}

QString joinPath(const QString &dir, const QString &name) {
    if (name.isEmpty() || dir.endsWith(QLatin1Char('\\')))
        return dir + name;
    return dir + QLatin1Char('\\') + name;
}

// One file to copy: its folder below the source folder ("" or "a\b") and
// its name.
struct SourceFile {
    QString subfolder;
    QFileInfo info;
};

class XcopyRun {
public:
    XcopyRun(ToolContext &ctx, bool subdirs, bool emptyDirs, bool assumeDir)
        : m_ctx(ctx), m_subdirs(subdirs), m_emptyDirs(emptyDirs), m_assumeDir(assumeDir) {}

    int run(const QString &source, const QString &destination) {
        if (!driveExists(m_ctx.root, source) || !driveExists(m_ctx.root, destination))
            return finish(QStringLiteral("Invalid drive specification"), kInitError);

        // The folder to copy from and the file pattern within it.
        const bool sourceIsDir = QFileInfo(simhost::localPath(m_ctx.root, source)).isDir() &&
                                 !hasWildcard(lastPart(source));
        const QString sourceDir = sourceIsDir ? source : parentOf(source);
        const QString pattern = sourceIsDir ? QStringLiteral("*") : lastPart(source);
        QList<SourceFile> files;
        QStringList emptyFolders;
        const QRegularExpression match(QRegularExpression::wildcardToRegularExpression(pattern),
                                       QRegularExpression::CaseInsensitiveOption);
        collect(simhost::localPath(m_ctx.root, sourceDir), QString(), match, &files, &emptyFolders);
        if (files.isEmpty())
            return finish(QStringLiteral("File not found - %1").arg(pattern), kInitError);

        // Where the files go: a folder, or a file name (with a wildcard mask).
        QString destDir = destination;
        QString mask = QStringLiteral("*");
        const QString destName = lastPart(destination);
        const QFileInfo destInfo(simhost::localPath(m_ctx.root, destination));
        if (!destName.isEmpty() && (hasWildcard(destName) || destInfo.isFile())) {
            destDir = parentOf(destination);
            mask = destName;
        } else if (!destName.isEmpty() && !destInfo.isDir() &&
                   !(m_assumeDir && (sourceIsDir || hasWildcard(pattern) || files.size() > 1))) {
            return unanswered(QStringLiteral("Does %1 specify a file name\r\nor directory name "
                                             "on the target\r\n(F = file, D = directory)? ")
                                  .arg(destination));
        }

        const QString writeErrorFor =
            simhost::hostSetting(m_ctx.root, QStringLiteral("faults/xcopyWriteErrorFor"))
                .toString();
        // A drive that damages what it is given without any error.
        const QString damageFor =
            simhost::hostSetting(m_ctx.root, QStringLiteral("faults/xcopyDamageFor")).toString();
        if (m_emptyDirs) {
            for (const QString &folder : emptyFolders)
                QDir().mkpath(simhost::localPath(m_ctx.root, joinPath(destDir, folder)));
        }
        for (const SourceFile &file : files) {
            const QString target =
                joinPath(joinPath(destDir, file.subfolder), applyMask(mask, file.info.fileName()));
            const int code =
                copyOne(joinPath(joinPath(sourceDir, file.subfolder), file.info.fileName()),
                        file.info, target, destination == writeErrorFor, destination == damageFor);
            if (code != kCopied)
                return code;
        }
        return finish(QString(), kCopied);
    }

private:
    // Lists the files of folder that match, and with /S those of its
    // subfolders.
    void collect(const QString &folder, const QString &sub, const QRegularExpression &match,
                 QList<SourceFile> *files, QStringList *emptyFolders) {
        QFileInfoList entries = QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                           QDir::System | QDir::NoDotAndDotDot);
        std::sort(entries.begin(), entries.end(), [](const QFileInfo &a, const QFileInfo &b) {
            return a.fileName().compare(b.fileName(), Qt::CaseInsensitive) < 0;
        });
        for (const QFileInfo &entry : entries) {
            if (!entry.isDir() && match.match(entry.fileName()).hasMatch())
                files->append({sub, entry});
        }
        for (const QFileInfo &entry : entries) {
            if (!entry.isDir() || !m_subdirs)
                continue;
            const QString childSub = joinPath(sub, entry.fileName()).mid(sub.isEmpty() ? 1 : 0);
            const int before = files->size();
            collect(entry.filePath(), childSub, match, files, emptyFolders);
            if (files->size() == before)
                emptyFolders->append(childSub);
        }
    }

    // The disk whose volume holds the destination; false when the volume is
    // no disk's (the system drive) and so not limited.
    bool destinationDisk(const QString &windowsTarget, HostDisk *found) {
        const QFileInfo drive(m_ctx.root + QStringLiteral("/drives/") +
                              windowsTarget.left(1).toUpper());
        for (const HostDisk &disk : loadDisks(m_ctx.root)) {
            if (drive.isSymLink() && disk.size > 0 &&
                QFileInfo(volumeFolder(m_ctx.root, disk.id)).canonicalFilePath() ==
                    drive.canonicalFilePath()) {
                *found = disk;
                return true;
            }
        }
        return false;
    }

    int copyOne(const QString &sourceWindows, const QFileInfo &source, const QString &target,
                bool writeError, bool damage) {
        const QString targetLocal = simhost::localPath(m_ctx.root, target);
        const QFileInfo existing(targetLocal);
        if (existing.exists())
            return unanswered(QStringLiteral("Overwrite %1 (Yes/No/All)? ").arg(target));
        HostDisk disk;
        if (destinationDisk(target, &disk)) {
            if (disk.fileSystem.startsWith(QLatin1String("FAT")) &&
                source.size() >= kFatLargestFileEnd)
                return finish(QStringLiteral("File creation error - The file size exceeds the "
                                             "limit allowed and cannot be saved."),
                              kWriteError);
            if (source.size() > disk.partitionSize - folderSize(volumeFolder(m_ctx.root, disk.id)))
                return finish(QStringLiteral("Insufficient disk space"), kInitError);
        }
        m_ctx.out->write(sourceWindows.toLocal8Bit() + "\r\n");
        QDir().mkpath(existing.absolutePath());
        QFile in(source.filePath());
        QFile out(targetLocal);
        if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
            return finish(QStringLiteral("File creation error - Access is denied."), kWriteError);
        // A write error on request stops halfway through the file.
        const qint64 failAt = writeError ? qMax<qint64>(1, source.size() / 2) : source.size();
        // A stick writes far slower than a disk reads; tests ask for that to
        // watch a copy grow.
        const qint64 rate =
            simhost::hostSetting(m_ctx.root, QStringLiteral("system/driveWriteBytesPerSecond"), 0)
                .toLongLong();
        QElapsedTimer writing;
        writing.start();
        qint64 written = 0;
        while (written < failAt && !in.atEnd()) {
            const QByteArray buffer = in.read(qMin(kChunk, failAt - written));
            if (buffer.isEmpty() || out.write(buffer) != buffer.size())
                return finish(out.errorString(), kWriteError);
            written += buffer.size();
            if (rate > 0 && out.flush())
                QThread::msleep(static_cast<unsigned long>(
                    qMax<qint64>(0, written * 1000 / rate - writing.elapsed())));
        }
        if (writeError)
            return finish(QStringLiteral("The request could not be performed because of an I/O "
                                         "device error."),
                          kWriteError);
        if (damage && written > 0 && in.seek(written / 2) && out.seek(written / 2))
            out.write(QByteArray(1, static_cast<char>(~in.read(1).at(0))));
        out.flush();
        out.setFileTime(source.lastModified(), QFileDevice::FileModificationTime);
        out.close();
        simhost::setHidden(m_ctx.root, targetLocal,
                           simhost::isHidden(m_ctx.root, source.filePath()));
        ++m_copied;
        return kCopied;
    }

    // A question that the hidden console of the tool never gets an answer
    // to: on Windows Xcopy would wait for ever. It is written out, noted in
    // the host's prompts.log for tests to see, and Xcopy ends as if stopped.
    int unanswered(const QString &question) {
        m_ctx.out->write(question.toLocal8Bit());
        simhost::appendLog(
            m_ctx.root, QStringLiteral("prompts.log"),
            QStringLiteral("Xcopy.exe: ") +
                QString(question).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
        return kStopped;
    }

    int finish(const QString &message, int code) {
        if (!message.isEmpty())
            m_ctx.out->write(message.toLocal8Bit() + "\r\n");
        m_ctx.out->write(QByteArray::number(m_copied) + " File(s) copied\r\n");
        return code;
    }

    ToolContext &m_ctx;
    bool m_subdirs;
    bool m_emptyDirs;
    bool m_assumeDir;
    int m_copied = 0;
};

} // namespace

int runXcopy(ToolContext &ctx) {
    QString switches;
    QStringList paths;
    for (const QString &token : xcopyTokens(ctx.argumentText)) {
        if (!token.startsWith(QLatin1Char('/'))) {
            paths.append(token);
        } else if (token.size() == 2 && QStringLiteral("SEHI").contains(token.at(1).toUpper())) {
            switches += token.at(1).toUpper();
        } else {
            ctx.out->write("Invalid switch - " + token.toLocal8Bit() + "\r\n");
            return kInitError;
        }
    }
    if (paths.size() != 2) {
        // One path would copy into the tool's current folder, which is not
        // part of the simulation.
        ctx.out->write("Invalid number of parameters\r\n");
        return kInitError;
    }
    XcopyRun run(ctx, switches.contains(QLatin1Char('S')) || switches.contains(QLatin1Char('E')),
                 switches.contains(QLatin1Char('E')), switches.contains(QLatin1Char('I')));
    return run.run(paths.at(0), paths.at(1));
}

} // namespace hostsim
