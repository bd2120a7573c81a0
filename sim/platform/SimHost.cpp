#include "sim/platform/SimHost.h"

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
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTimer>

namespace simhost {

namespace {

// Makes a host in a root that holds none yet; set by the program.
bool (*g_firstUseHostMaker)(const QString &root) = nullptr;

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

void setFirstUseHostMaker(bool (*make)(const QString &root)) {
    g_firstUseHostMaker = make;
}

QString standInLauncher() {
    const QByteArray fromEnv = qgetenv(kInterpreterVariable);
    if (!fromEnv.isEmpty())
        return QString::fromLocal8Bit(fromEnv);
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QFileInfo(self).absolutePath() + QStringLiteral("/hostsim-cmd");
}

QString hostRoot() {
    const QByteArray fromEnv = qgetenv(kHostRootVariable);
    const QString root = fromEnv.isEmpty()
                             ? QDir::homePath() + QStringLiteral("/BootableMediaCreatorHost")
                             : QFile::decodeName(fromEnv);
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    if (g_firstUseHostMaker && !QFileInfo::exists(root + QStringLiteral("/host.ini")))
        g_firstUseHostMaker(root);
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

bool isHostProgram(const QString &localFile) {
    QFile file(localFile);
    const QByteArray expected(kHostProgramContent);
    return file.open(QIODevice::ReadOnly) && file.size() == expected.size() &&
           file.readAll() == expected;
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

// One line per entry: exit code, command line, program, working folder,
// separated by tabs. The line comes second so that readers of the older
// two-field form ("cut -f2") still find it.
void appendCommandLog(const QString &root, const LoggedCommand &entry) {
    appendLog(
        root, QStringLiteral("commands.log"),
        QStringList{QString::number(entry.exitCode), entry.line, entry.program, entry.workingFolder}
            .join(QLatin1Char('\t')));
}

void noteSessionEnded(const QString &root, const QString &line, long long exitCode) {
    appendLog(root, QStringLiteral("commands.log"),
              QLatin1Char('=') + QString::number(exitCode) + QLatin1Char('\t') + line);
}

QList<LoggedCommand> readCommandLog(const QString &root) {
    QList<LoggedCommand> out;
    for (const QString &entry : readLog(root, QStringLiteral("commands.log"))) {
        const QStringList fields = entry.split(QLatin1Char('\t'));
        if (fields.size() < 2)
            continue;
        if (!entry.startsWith(QLatin1Char('='))) {
            LoggedCommand logged{fields.at(1), fields.at(0).toLongLong(), QString(), QString()};
            if (fields.size() >= 4) {
                logged.program = fields.at(2);
                logged.workingFolder = fields.at(3);
            }
            out.append(logged);
            continue;
        }
        // The end of a session: its exit code goes to its start.
        for (int i = out.size() - 1; i >= 0; --i) {
            if (out.at(i).line == fields.at(1) && out.at(i).exitCode == kStillRunning) {
                out[i].exitCode = fields.at(0).mid(1).toLongLong();
                break;
            }
        }
    }
    return out;
}

QString trustedRootsFile(const QString &root) {
    return root + QStringLiteral("/trusted-roots.pem");
}

namespace {

QNetworkRequest trustedRequest(const QString &root, const QString &url) {
    QNetworkRequest request{QUrl(url)};
    // The host's own authorities and none of the machine running the
    // simulation: a server is trusted exactly as the simulated Windows would.
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setCaCertificates(QSslCertificate::fromPath(trustedRootsFile(root)));
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    request.setSslConfiguration(tls);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    return request;
}

HttpVersion versionOf(const QNetworkReply &reply) {
    const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
    return {length.isValid() ? length.toLongLong() : -1, reply.rawHeader("ETag"),
            reply.rawHeader("Last-Modified")};
}

bool notAuthenticated(const QNetworkReply &reply) {
    return reply.error() == QNetworkReply::SslHandshakeFailedError ||
           reply.error() == QNetworkReply::InsecureRedirectError;
}

// The rest of the body written, the transfer judged, and the file removed
// unless it is the whole of a good answer.
HttpOutcome finishDownload(QNetworkReply *reply, QFile &file, bool writeFailed, QString *error,
                           HttpVersion *version) {
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
    const bool refused = notAuthenticated(*reply);
    if (!ok) {
        if (error)
            *error = writeFailed ? file.errorString() : reply->errorString();
        file.remove();
    } else if (version) {
        *version = versionOf(*reply);
    }
    reply->deleteLater();
    return ok        ? HttpOutcome::Completed
           : refused ? HttpOutcome::NotAuthenticated
                     : HttpOutcome::Failed;
}

} // namespace

HttpOutcome httpHead(const QString &root, const QString &url, HttpVersion *version, int timeoutMs,
                     const std::function<bool()> &giveUp) {
    QNetworkAccessManager manager;
    QNetworkRequest request = trustedRequest(root, url);
    request.setTransferTimeout(timeoutMs);
    QNetworkReply *reply = manager.head(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // The caller's stop is heard while the server is silent.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, reply, [&]() {
        if (giveUp && giveUp())
            reply->abort();
    });
    watch.start(100);
    if (!reply->isFinished())
        loop.exec();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool ok = reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
    if (ok)
        *version = versionOf(*reply);
    const bool refused = notAuthenticated(*reply);
    reply->deleteLater();
    return ok        ? HttpOutcome::Completed
           : refused ? HttpOutcome::NotAuthenticated
                     : HttpOutcome::Failed;
}

HttpOutcome httpDownload(const QString &root, const QString &url, const QString &localFile,
                         QString *error, const std::function<bool(qint64, qint64, qint64)> &giveUp,
                         HttpVersion *version) {
    QFile file(localFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = file.errorString();
        return HttpOutcome::Failed;
    }
    QNetworkAccessManager manager;
    QNetworkRequest request = trustedRequest(root, url);
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
    return finishDownload(reply, file, writeFailed, error, version);
}

} // namespace simhost
