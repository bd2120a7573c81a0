#include "platform/sim/SimHost.h"

#include "platform/sim/SimRegistry.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QSettings>
#include <QTextStream>
#include <QTimer>

#include <cstdlib>

namespace simhost {

namespace {

const char kSampleHostKey[] =
    "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Kestrin Data Recovery\\Data Recovery\\"
    "Kestrin Data Recovery for Windows";

// Placeholders for the Windows installation's own programs. The interpreter
// resolves a program by finding its file, then runs the stand-in for its name.
const char *const kSystemPrograms[] = {
    "cmd.exe",
    "diskpart.exe",
    "dism.exe",
    "Xcopy.exe",
    "bitsadmin.exe",
    "wbem/WMIC.exe",
    "WindowsPowerShell/v1.0/powershell.exe",
};

// The boot files that the recovery drive is made of, as a Windows
// installation keeps them under C:\Windows\Boot.
const char *const kBootFiles[] = {
    "DVD/PCAT/BCD",           "DVD/PCAT/boot.sdi",      "DVD/EFI/BCD",
    "EFI/bootmgfw.efi",       "EFI/bootmgr.efi",        "PCAT/bootmgr",
    "Resources/bootres.dll",  "Fonts/chs_boot.ttf",     "Fonts/cht_boot.ttf",
    "Fonts/jpn_boot.ttf",     "Fonts/kor_boot.ttf",     "Fonts/malgun_boot.ttf",
    "Fonts/segmono_boot.ttf", "Fonts/segoe_slboot.ttf", "Fonts/wgl4_boot.ttf",
};

bool writeFile(const QString &path, const QByteArray &content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(content) == content.size();
}

QMutex &logMutex() {
    static QMutex m;
    return m;
}

QString relativeToRoot(const QString &root, const QString &localFile) {
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    QFileInfo info(localFile);
    QString path = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    if (!canonicalRoot.isEmpty() && path.startsWith(canonicalRoot + QLatin1Char('/')))
        path = path.mid(canonicalRoot.size() + 1);
    return path;
}

} // namespace

HostSpec sampleHostSpec() {
    HostSpec setup;
    setup.disks.append({QStringLiteral("disk0"), 0, QStringLiteral("NVMe System Disk 512GB"),
                        QStringLiteral("Fixed hard disk media"), 512110190592LL,
                        QStringLiteral("C")});
    setup.disks.append({QStringLiteral("disk1"), 1, QStringLiteral("Generic Flash Disk USB Device"),
                        QStringLiteral("Removable Media"), 16008609792LL, QStringLiteral("E")});
    const QString key = QString::fromLatin1(kSampleHostKey);
    setup.registry = {
        {key, QStringLiteral("LanguageType"), 0},
        {key, QStringLiteral("DownloadLink_bootwim"),
         QStringLiteral("http://127.0.0.1:8080/boot.wim")},
        {key, QStringLiteral("DownloadLink_Win7_bootwim"),
         QStringLiteral("http://127.0.0.1:8080/boot.wim")},
        {QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"),
         QStringLiteral("ProductName"), QStringLiteral("Windows 10 Pro")},
        {QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion"),
         QStringLiteral("ProductName"), QStringLiteral("Windows 10 Pro")},
    };
    return setup;
}

bool createHost(const QString &root, const HostSpec &setup, QString *error, bool replace) {
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    QDir rootDir(root);
    if (rootDir.exists(QStringLiteral("host.ini"))) {
        if (!replace)
            return fail(QStringLiteral("a host already exists in %1").arg(root));
        if (!rootDir.removeRecursively())
            return fail(QStringLiteral("cannot remove the old host in %1").arg(root));
    }
    if (!QDir().mkpath(root + QStringLiteral("/drives")) ||
        !QDir().mkpath(root + QStringLiteral("/disks")))
        return fail(QStringLiteral("cannot create %1").arg(root));

    {
        QSettings ini(root + QStringLiteral("/host.ini"), QSettings::IniFormat);
        ini.setValue(QStringLiteral("system/systemDirectory"), setup.systemDirectory);
        ini.setValue(QStringLiteral("system/tempDirectory"), setup.tempDirectory);
        ini.setValue(QStringLiteral("system/comspec"), setup.comspec);
        ini.setValue(QStringLiteral("system/dpi"), setup.dpi);
        ini.setValue(QStringLiteral("system/wmic"), setup.hasWmic);
        ini.setValue(QStringLiteral("system/elevated"), setup.elevated);
        for (auto it = setup.faults.constBegin(); it != setup.faults.constEnd(); ++it)
            ini.setValue(QStringLiteral("faults/") + it.key(), it.value());
        ini.sync();
        if (ini.status() != QSettings::NoError)
            return fail(QStringLiteral("cannot write host.ini"));
    }

    bool systemDriveMade = false;
    for (const DiskSpec &disk : setup.disks) {
        const QString dir = root + QStringLiteral("/disks/") + disk.id;
        QDir().mkpath(dir + QStringLiteral("/volume"));
        QSettings ini(dir + QStringLiteral("/disk.ini"), QSettings::IniFormat);
        ini.setValue(QStringLiteral("disk/number"), disk.number);
        ini.setValue(QStringLiteral("disk/model"), disk.model);
        ini.setValue(QStringLiteral("disk/mediaType"), disk.mediaType);
        ini.setValue(QStringLiteral("disk/size"), disk.size);
        const QString letter = disk.letter.left(1).toUpper();
        const bool system = letter == QLatin1String("C");
        // One formatted partition, as a disk in use has.
        ini.setValue(QStringLiteral("disk/system"), system);
        ini.setValue(QStringLiteral("disk/partitions"), 1);
        ini.setValue(QStringLiteral("disk/partitionStyle"), QStringLiteral("MBR"));
        ini.setValue(QStringLiteral("disk/active"), system);
        ini.setValue(QStringLiteral("disk/fileSystem"),
                     disk.mediaType == QLatin1String("Removable Media") ? QStringLiteral("FAT32")
                                                                        : QStringLiteral("NTFS"));
        const QMap<QString, QVariant> faults = setup.diskFaults.value(disk.id);
        for (auto it = faults.constBegin(); it != faults.constEnd(); ++it)
            ini.setValue(QStringLiteral("faults/") + it.key(), it.value());
        ini.sync();
        if (letter.isEmpty())
            continue;
        if (system) {
            // The system volume is a plain folder of its own, so that the
            // tool's work files on C: never count as a change of the disk.
            QDir().mkpath(root + QStringLiteral("/drives/C"));
            systemDriveMade = true;
            writeFile(dir + QStringLiteral("/volume/SYSTEM-DISK.txt"),
                      "System disk of the simulated host. Nothing may change it.\n");
        } else {
            if (!QFile::link(QStringLiteral("../disks/%1/volume").arg(disk.id),
                             root + QStringLiteral("/drives/") + letter))
                return fail(QStringLiteral("cannot assign letter %1").arg(letter));
            writeFile(dir + QStringLiteral("/volume/Holiday photos/beach.jpg"),
                      QByteArray("user data on ") + disk.model.toUtf8() + '\n');
        }
    }
    if (!systemDriveMade)
        QDir().mkpath(root + QStringLiteral("/drives/C"));

    const QString system = localPath(root, setup.systemDirectory);
    for (const char *program : kSystemPrograms) {
        const QString name = QString::fromLatin1(program);
        if (!setup.hasWmic && name.endsWith(QLatin1String("WMIC.exe")))
            continue;
        writeFile(system + QLatin1Char('/') + name, "stand-in program of the simulated host\n");
    }
    QDir().mkpath(localPath(root, setup.tempDirectory));

    const QString boot = localPath(root, QStringLiteral("C:\\Windows\\Boot"));
    for (const char *file : kBootFiles) {
        const QString rel = QString::fromLatin1(file);
        writeFile(boot + QLatin1Char('/') + rel,
                  QByteArray("boot file ") + file + " of the simulated host\n");
    }

    for (const RegistryValue &v : setup.registry) {
        if (!setRegistryValue(root, v.key, v.name, v.value))
            return fail(QStringLiteral("cannot write registry.reg"));
    }
    return true;
}

QString defaultHostRoot() {
    return QDir::homePath() + QStringLiteral("/BootableMediaCreatorHost");
}

QString hostRoot() {
    const QByteArray fromEnv = qgetenv(kHostRootVariable);
    const QString root = fromEnv.isEmpty() ? defaultHostRoot() : QFile::decodeName(fromEnv);
    // A root without a host gets the sample host on first use.
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    if (!QFileInfo::exists(root + QStringLiteral("/host.ini")))
        createHost(root, sampleHostSpec());
    return root;
}

QString localPath(const QString &root, const QString &windowsPath) {
    if (windowsPath.size() < 2 || windowsPath.at(1) != QLatin1Char(':') ||
        !windowsPath.at(0).isLetter() || windowsPath.at(0).unicode() > 0x7f)
        return windowsPath;

    const QString letter = windowsPath.left(1).toUpper();
    const QStringList given =
        windowsPath.mid(2).split(QRegularExpression(QStringLiteral("[\\\\/]")), Qt::SkipEmptyParts);
    QStringList parts;
    for (const QString &p : given) {
        if (p == QLatin1String("."))
            continue;
        if (p == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(p);
    }

    QString current = root + QStringLiteral("/drives/") + letter;
    bool resolving = true;
    for (const QString &p : parts) {
        QString next = current + QLatin1Char('/') + p;
        if (resolving && !QFileInfo::exists(next)) {
            const QStringList entries = QDir(current).entryList(
                QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            resolving = false;
            for (const QString &e : entries) {
                if (e.compare(p, Qt::CaseInsensitive) == 0) {
                    next = current + QLatin1Char('/') + e;
                    resolving = true;
                    break;
                }
            }
        }
        current = next;
    }
    return current;
}

QVariant hostSetting(const QString &root, const QString &key, const QVariant &defaultValue) {
    QSettings ini(root + QStringLiteral("/host.ini"), QSettings::IniFormat);
    return ini.value(key, defaultValue);
}

void setHostSetting(const QString &root, const QString &key, const QVariant &value) {
    QSettings ini(root + QStringLiteral("/host.ini"), QSettings::IniFormat);
    if (value.isValid())
        ini.setValue(key, value);
    else
        ini.remove(key);
}

void setHidden(const QString &root, const QString &localFile, bool hidden) {
    QMutexLocker lock(&logMutex());
    const QString entry = relativeToRoot(root, localFile);
    QStringList lines;
    QFile file(root + QStringLiteral("/hidden.txt"));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        file.close();
    }
    lines.removeAll(entry);
    if (hidden)
        lines.append(entry);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        file.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
}

bool isHidden(const QString &root, const QString &localFile) {
    if (!QFileInfo::exists(localFile))
        return false;
    QFile file(root + QStringLiteral("/hidden.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    const QStringList lines =
        QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.contains(relativeToRoot(root, localFile));
}

void forgetHiddenBelow(const QString &root, const QString &localFolder) {
    QMutexLocker lock(&logMutex());
    const QString prefix = relativeToRoot(root, localFolder) + QLatin1Char('/');
    QFile file(root + QStringLiteral("/hidden.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    const QStringList lines =
        QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    file.close();
    QStringList kept;
    for (const QString &line : lines) {
        if (!line.startsWith(prefix))
            kept.append(line);
    }
    if (kept.size() != lines.size() &&
        file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        file.write(kept.join(QLatin1Char('\n')).toUtf8() + '\n');
}

void appendLog(const QString &root, const QString &logName, const QString &text) {
    QMutexLocker lock(&logMutex());
    QFile file(root + QLatin1Char('/') + logName);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(text.toUtf8() + '\n');
}

QStringList readLog(const QString &root, const QString &logName) {
    QFile file(root + QLatin1Char('/') + logName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void appendCommandLog(const QString &root, const QString &line, long long exitCode) {
    appendLog(root, QStringLiteral("commands.log"),
              QString::number(exitCode) + QLatin1Char('\t') + line);
}

QList<LoggedCommand> readCommandLog(const QString &root) {
    QList<LoggedCommand> out;
    for (const QString &entry : readLog(root, QStringLiteral("commands.log"))) {
        const int tab = entry.indexOf(QLatin1Char('\t'));
        if (tab < 0)
            continue;
        out.append({entry.mid(tab + 1), entry.left(tab).toLongLong()});
    }
    return out;
}

bool httpDownload(const QString &url, const QString &localFile, QString *error,
                  const std::function<bool(qint64, qint64, qint64)> &giveUp) {
    QFile file(localFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QNetworkAccessManager manager;
    QNetworkRequest request{QUrl(url)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    // Without a watch of the caller's, a silent server still ends in a minute.
    if (!giveUp)
        request.setTransferTimeout(60000);
    QNetworkReply *reply = manager.get(request);
    reply->setReadBufferSize(1 << 20); // stream: never hold the image in memory
    bool writeFailed = false;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&]() {
        const QByteArray chunk = reply->readAll();
        if (file.write(chunk) != chunk.size()) {
            writeFailed = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer watch;
    if (giveUp) {
        QObject::connect(&watch, &QTimer::timeout, &loop, [&]() {
            const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            if (giveUp(elapsed.elapsed(), file.size() + reply->bytesAvailable(),
                       length.isValid() ? length.toLongLong() : -1))
                reply->abort();
        });
        watch.start(250);
    }
    if (!reply->isFinished())
        loop.exec();
    watch.stop();
    const QByteArray rest = reply->readAll();
    if (!rest.isEmpty() && file.write(rest) != rest.size())
        writeFailed = true;
    file.close();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // A body shorter than its announced length is a broken transfer, as
    // Windows' download call sees it, even where the socket closed cleanly.
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    const bool whole = !length.isValid() || file.size() == length.toLongLong();
    const bool ok = !writeFailed && whole && reply->error() == QNetworkReply::NoError &&
                    (status == 0 || (status >= 200 && status < 300));
    if (!ok) {
        if (error)
            *error = writeFailed ? file.errorString() : reply->errorString();
        file.remove();
    }
    reply->deleteLater();
    return ok;
}

} // namespace simhost
