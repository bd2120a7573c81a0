// Xcopy.exe on the simulated host. Its exit codes:
//   0  files were copied
//   1  files were found but none qualified (hidden ones without /H)
//   4  initialisation error: invalid switch or number of parameters, invalid
//      drive, source not found, not enough space on the destination
//   5  disk write error
// Xcopy reads "/" as the start of a switch even inside an unquoted path, so
// "C:/folder\file" is the drive C: followed by the switch "/folder\file".
// Files are streamed in chunks, never held in memory whole.
#include "tools/hostsim/Tools.h"

#include "platform/sim/SimHost.h"
#include "tools/hostsim/HostDisks.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace hostsim {

namespace {

constexpr int kCopied = 0;
constexpr int kNothingQualified = 1;
constexpr int kStopped = 2;
constexpr int kInitError = 4;
constexpr int kWriteError = 5;
constexpr qint64 kChunk = 1 << 20;
// FAT holds files of at most 4 GiB minus one byte.
constexpr qint64 kFatLargestFileEnd = qint64(4) << 30;

struct Options {
    bool subdirs = false;   // /S
    bool emptyDirs = false; // /E
    bool hidden = false;    // /H
    bool assumeDir = false; // /I
    bool overwrite = false; // /Y
    bool quiet = false;     // /Q
};

// Splits the argument text as Xcopy reads it: as the C runtime does
// (blanks outside quotes separate, backslashes before a quote escape it),
// and an unquoted "/" starts a new argument, a switch.
QStringList xcopyTokens(const QString &text) {
    QStringList tokens;
    QString current;
    bool any = false;
    bool quoted = false;
    int i = 0;
    const int n = text.size();
    while (i < n) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\')) {
            int slashes = 0;
            while (i < n && text.at(i) == QLatin1Char('\\')) {
                ++slashes;
                ++i;
            }
            const bool beforeQuote = i < n && text.at(i) == QLatin1Char('"');
            current += QString(beforeQuote ? slashes / 2 : slashes, QLatin1Char('\\'));
            if (beforeQuote && slashes % 2 == 1) {
                current += QLatin1Char('"');
                ++i;
            }
            any = true;
        } else if (c == QLatin1Char('"')) {
            quoted = !quoted;
            any = true;
            ++i;
        } else if (!quoted && (c == QLatin1Char(' ') || c == QLatin1Char('\t'))) {
            if (any)
                tokens.append(current);
            current.clear();
            any = false;
            ++i;
        } else if (!quoted && c == QLatin1Char('/')) {
            if (any)
                tokens.append(current);
            current = c;
            any = true;
            ++i;
        } else {
            current += c;
            any = true;
            ++i;
        }
    }
    if (any)
        tokens.append(current);
    return tokens;
}

bool applySwitch(const QString &token, Options *options) {
    const QString s = token.mid(1).toUpper();
    if (s == QLatin1String("S"))
        options->subdirs = true;
    else if (s == QLatin1String("E"))
        options->subdirs = options->emptyDirs = true;
    else if (s == QLatin1String("H"))
        options->hidden = true;
    else if (s == QLatin1String("I"))
        options->assumeDir = true;
    else if (s == QLatin1String("Y"))
        options->overwrite = true;
    else if (s == QLatin1String("-Y"))
        options->overwrite = false;
    else if (s == QLatin1String("Q"))
        options->quiet = true;
    else if (s.size() == 1 && QStringLiteral("CFRKVNJ").contains(s))
        ; // no effect on the simulated host
    else
        return false;
    return true;
}

bool hasWildcard(const QString &name) {
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

QRegularExpression wildcardPattern(QString pattern) {
    if (pattern == QLatin1String("*.*"))
        pattern = QStringLiteral("*");
    QString re;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('*'))
            re += QStringLiteral(".*");
        else if (c == QLatin1Char('?'))
            re += QLatin1Char('.');
        else
            re += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QStringLiteral("^") + re + QStringLiteral("$"),
                              QRegularExpression::CaseInsensitiveOption);
}

// Applies a destination mask with wildcards to a source file name, as the
// Windows copy commands rename: literal characters replace, "?" keeps one
// character, "*" keeps the rest (up to the next "." of the mask), "." moves
// past the next dot of the source.
QString applyMask(const QString &mask, const QString &name) {
    QString out;
    int pos = 0;
    for (int m = 0; m < mask.size(); ++m) {
        const QChar c = mask.at(m);
        if (c == QLatin1Char('*')) {
            if (m + 1 == mask.size()) {
                out += name.mid(pos);
                pos = name.size();
            } else {
                const QChar next = mask.at(m + 1);
                const int stop = name.lastIndexOf(next);
                if (stop >= pos) {
                    out += name.mid(pos, stop - pos);
                    pos = stop;
                } else {
                    out += name.mid(pos);
                    pos = name.size();
                }
            }
        } else if (c == QLatin1Char('?')) {
            if (pos < name.size() && name.at(pos) != QLatin1Char('.'))
                out += name.at(pos++);
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
    if (windowsPath.size() < 2 || windowsPath.at(1) != QLatin1Char(':') ||
        !windowsPath.at(0).isLetter())
        return false;
    return QFileInfo(root + QStringLiteral("/drives/") + windowsPath.left(1).toUpper()).isDir();
}

QString parentOf(const QString &windowsPath) {
    const int slash =
        qMax(windowsPath.lastIndexOf(QLatin1Char('\\')), windowsPath.lastIndexOf(QLatin1Char('/')));
    return slash < 0 ? windowsPath.left(2) : windowsPath.left(slash);
}

QString lastPart(const QString &windowsPath) {
    const int slash =
        qMax(windowsPath.lastIndexOf(QLatin1Char('\\')), windowsPath.lastIndexOf(QLatin1Char('/')));
    return slash < 0 ? windowsPath.mid(2) : windowsPath.mid(slash + 1);
}

QString joinPath(const QString &dir, const QString &name) {
    if (name.isEmpty())
        return dir;
    if (dir.endsWith(QLatin1Char('\\')) || dir.endsWith(QLatin1Char('/')))
        return dir + name;
    return dir + QLatin1Char('\\') + name;
}

// One file to copy: its folder below the source folder ("" or "a\b") and
// its name.
struct SourceFile {
    QString subfolder;
    QString name;
    QFileInfo info;
};

class XcopyRun {
public:
    XcopyRun(ToolContext &ctx, const Options &options) : m_ctx(ctx), m_options(options) {}

    int run(const QString &source, const QString &destination) {
        if (!driveExists(m_ctx.root, source) || !driveExists(m_ctx.root, destination))
            return finish(QStringLiteral("Invalid drive specification"), kInitError);

        // The folder to copy from and the file pattern within it.
        QString sourceDir = source;
        QString pattern = QStringLiteral("*");
        const QFileInfo sourceInfo(simhost::localPath(m_ctx.root, source));
        const bool sourceIsDir = sourceInfo.isDir() && !hasWildcard(lastPart(source));
        if (!sourceIsDir) {
            sourceDir = parentOf(source);
            pattern = lastPart(source);
        }
        const QString sourceLocal = simhost::localPath(m_ctx.root, sourceDir);
        int skipped = 0;
        QList<SourceFile> files;
        QStringList emptyFolders;
        if (QFileInfo(sourceLocal).isDir())
            collect(sourceLocal, QString(), wildcardPattern(pattern), &files, &emptyFolders,
                    &skipped);
        if (files.isEmpty() && skipped == 0)
            return finish(QStringLiteral("File not found - %1").arg(pattern), kInitError);

        // Where the files go: a folder, or a file name (with a wildcard mask).
        QString destDir = destination;
        QString mask = QStringLiteral("*");
        const QString destName = lastPart(destination);
        const QFileInfo destInfo(simhost::localPath(m_ctx.root, destination));
        const bool endsInSeparator =
            destination.endsWith(QLatin1Char('\\')) || destination.endsWith(QLatin1Char('/'));
        if (!endsInSeparator && !destName.isEmpty()) {
            if (hasWildcard(destName) || destInfo.isFile()) {
                destDir = parentOf(destination);
                mask = destName;
            } else if (!destInfo.isDir()) {
                const bool severalFiles = sourceIsDir || hasWildcard(pattern) || files.size() > 1;
                if (!(m_options.assumeDir && severalFiles)) {
                    return unanswered(QStringLiteral("Does %1 specify a file name\r\nor directory "
                                                     "name on the target\r\n(F = file, D = "
                                                     "directory)? ")
                                          .arg(destination));
                }
            }
        }

        const QString faultTarget =
            simhost::hostSetting(m_ctx.root, QStringLiteral("faults/xcopyWriteErrorFor"))
                .toString();
        const bool injectWriteError = !faultTarget.isEmpty() && faultTarget == destination;
        // A drive that damages what it is given without any error.
        const QString damageTarget =
            simhost::hostSetting(m_ctx.root, QStringLiteral("faults/xcopyDamageFor")).toString();
        m_damageWrites = !damageTarget.isEmpty() && damageTarget == destination;

        if (m_options.emptyDirs) {
            for (const QString &folder : emptyFolders)
                QDir().mkpath(simhost::localPath(m_ctx.root, joinPath(destDir, folder)));
        }
        for (const SourceFile &file : files) {
            const QString target =
                joinPath(joinPath(destDir, file.subfolder), applyMask(mask, file.name));
            const int code = copyOne(joinPath(joinPath(sourceDir, file.subfolder), file.name),
                                     file.info, target, injectWriteError);
            if (code != kCopied)
                return code;
        }
        if (m_copied == 0)
            return finish(QString(), kNothingQualified);
        return finish(QString(), kCopied);
    }

private:
    // Lists the files of folder that match, and with /S those of its
    // subfolders; hidden ones count as skipped without /H.
    void collect(const QString &folder, const QString &sub, const QRegularExpression &match,
                 QList<SourceFile> *files, QStringList *emptyFolders, int *skipped) {
        QDir dir(folder);
        QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                  QDir::NoDotAndDotDot);
        std::sort(entries.begin(), entries.end(), [](const QFileInfo &a, const QFileInfo &b) {
            return a.fileName().compare(b.fileName(), Qt::CaseInsensitive) < 0;
        });
        QFileInfoList subfolders;
        for (const QFileInfo &entry : entries) {
            if (entry.isDir()) {
                subfolders.append(entry);
                continue;
            }
            if (!match.match(entry.fileName()).hasMatch())
                continue;
            if (!m_options.hidden && simhost::isHidden(m_ctx.root, entry.filePath())) {
                ++*skipped;
                continue;
            }
            files->append({sub, entry.fileName(), entry});
        }
        if (!m_options.subdirs)
            return;
        for (const QFileInfo &entry : subfolders) {
            if (!m_options.hidden && simhost::isHidden(m_ctx.root, entry.filePath()))
                continue;
            const QString childSub =
                sub.isEmpty() ? entry.fileName() : sub + QLatin1Char('\\') + entry.fileName();
            const int before = files->size();
            collect(entry.filePath(), childSub, match, files, emptyFolders, skipped);
            if (files->size() == before)
                emptyFolders->append(childSub);
        }
    }

    // The disk whose volume holds the destination; false when the volume is
    // no disk's (the system drive) and so not limited.
    bool destinationDisk(const QString &windowsTarget, HostDisk *found) {
        const QFileInfo drive(m_ctx.root + QStringLiteral("/drives/") +
                              windowsTarget.left(1).toUpper());
        if (!drive.isSymLink())
            return false;
        const QString volume = drive.canonicalFilePath();
        for (const HostDisk &disk : loadDisks(m_ctx.root)) {
            if (disk.size > 0 &&
                QFileInfo(volumeFolder(m_ctx.root, disk.id)).canonicalFilePath() == volume) {
                *found = disk;
                return true;
            }
        }
        return false;
    }

    int copyOne(const QString &sourceWindows, const QFileInfo &source, const QString &target,
                bool injectWriteError) {
        const QString targetLocal = simhost::localPath(m_ctx.root, target);
        const QFileInfo existing(targetLocal);
        if (existing.exists() && !m_options.overwrite)
            return unanswered(QStringLiteral("Overwrite %1 (Yes/No/All)? ").arg(target));
        HostDisk disk;
        if (destinationDisk(target, &disk)) {
            if (disk.fileSystem.startsWith(QLatin1String("FAT")) &&
                source.size() >= kFatLargestFileEnd)
                return finish(QStringLiteral("File creation error - The file size exceeds the "
                                             "limit allowed and cannot be saved."),
                              kWriteError);
            const qint64 free = disk.partitionSize - folderSize(volumeFolder(m_ctx.root, disk.id));
            if (source.size() > free + (existing.isFile() ? existing.size() : 0))
                return finish(QStringLiteral("Insufficient disk space"), kInitError);
        }

        if (!m_options.quiet)
            m_ctx.out->write(sourceWindows.toLocal8Bit() + "\r\n");
        if (!QDir().mkpath(QFileInfo(targetLocal).absolutePath()))
            return finish(QStringLiteral("Unable to create directory - %1").arg(parentOf(target)),
                          kInitError);
        QFile in(source.filePath());
        QFile out(targetLocal);
        if (!in.open(QIODevice::ReadOnly))
            return finish(QStringLiteral("File creation error - Access is denied."), kWriteError);
        if (existing.isDir() || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return finish(QStringLiteral("File creation error - Access is denied."), kWriteError);
        // A write error on request stops halfway through the file.
        const qint64 failAt = injectWriteError ? qMax<qint64>(1, source.size() / 2) : -1;
        qint64 written = 0;
        QByteArray buffer;
        while (!in.atEnd()) {
            qint64 want = kChunk;
            if (failAt >= 0)
                want = qMin(want, failAt - written);
            if (want <= 0)
                break;
            buffer = in.read(want);
            if (buffer.isEmpty() || out.write(buffer) != buffer.size())
                return finish(out.errorString(), kWriteError);
            written += buffer.size();
        }
        if (failAt >= 0) {
            out.close();
            return finish(QStringLiteral("The request could not be performed because of an I/O "
                                         "device error."),
                          kWriteError);
        }
        if (m_damageWrites && written > 0 && in.seek(written / 2)) {
            const QByteArray original = in.read(1);
            out.seek(written / 2);
            out.write(QByteArray(1, static_cast<char>(~(original.isEmpty() ? 0 : original.at(0)))));
        }
        out.flush();
        out.setFileTime(source.lastModified(), QFileDevice::FileModificationTime);
        out.close();
        simhost::setHidden(m_ctx.root, targetLocal,
                           m_options.hidden && simhost::isHidden(m_ctx.root, source.filePath()));
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
    Options m_options;
    int m_copied = 0;
    bool m_damageWrites = false;
};

} // namespace

QString xcopyRenamed(const QString &mask, const QString &name) {
    return applyMask(mask, name);
}

int runXcopy(ToolContext &ctx) {
    Options options;
    QStringList paths;
    for (const QString &token : xcopyTokens(ctx.argumentText)) {
        if (token.startsWith(QLatin1Char('/'))) {
            const QString upper = token.toUpper();
            if (upper == QLatin1String("/D") || upper.startsWith(QLatin1String("/D:"))) {
                ctx.err->write("Xcopy's date filter is not emulated on the simulated host\r\n");
                return kInitError;
            }
            if (!applySwitch(token, &options)) {
                ctx.out->write(QStringLiteral("Invalid switch - %1\r\n").arg(token).toLocal8Bit());
                return kInitError;
            }
        } else {
            paths.append(token);
        }
    }
    // A quote left inside a path (a quoted path ending in a backslash) or
    // another character that no path may hold.
    for (const QString &path : paths) {
        for (const QChar c : path) {
            if (QStringLiteral("\"<>|").contains(c)) {
                ctx.out->write("Invalid path\r\n0 File(s) copied\r\n");
                return kInitError;
            }
        }
    }
    if (paths.isEmpty() || paths.size() > 2) {
        ctx.out->write("Invalid number of parameters\r\n");
        return kInitError;
    }
    if (paths.size() == 1) {
        // The current folder of the tool is not part of the simulation.
        ctx.out->write("Xcopy without a destination is not emulated on the simulated host\r\n");
        return kInitError;
    }
    XcopyRun run(ctx, options);
    return run.run(paths.at(0), paths.at(1));
}

} // namespace hostsim
