// The tool as a user meets it, for end-to-end tests: a fresh simulated host,
// "the internet" and the boot images served from 127.0.0.1, and the real
// main window with its dialogs, made as start-up makes them.
#pragma once

#include "builder/BuildCommands.h"
#include "dialogs/InfoDialogClass.h"
#include "dialogs/WarningClass.h"
#include "mainwindow/QCreateBootable.h"
#include "support/HostSnapshot.h"
#include "support/HttpTestServer.h"
#include "support/TestHost.h"

#include <QApplication>
#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

// The one top-level window of a class; null when there is none, or more than
// one (there must never be two).
template <typename T> T *onlyTopLevel() {
    T *found = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (T *t = qobject_cast<T *>(w)) {
            if (found)
                return nullptr;
            found = t;
        }
    }
    return found;
}

// One server for a whole suite: the images are made and hashed once.
class E2eServer {
public:
    // Makes the images (sparse: they cost no disk space; the short one one
    // byte under the smallest accepted) and starts serving.
    bool start(qint64 imageSize = kMinimumImageSize);
    // Every server back to serving well at full speed, nothing pending.
    void reset();

    // Links to the served images, over https from a server whose
    // certificate the hosts of ToolSession trust. Every server serves both
    // images; https() redirects /downgraded.wim to the good one over http.
    QString goodImageLink() const { return m_https.url(QStringLiteral("/boot.wim")); }
    QString shortImageLink() const { return m_https.url(QStringLiteral("/short.wim")); }
    QByteArray goodImageHash() const { return m_goodHash; }
    // The authority the hosts of ToolSession trust, as PEM; empty before a
    // server has started.
    static QByteArray trustedRoots() { return s_trustedRoots; }
    // Makes server speak https with a fresh certificate for localhost, made
    // in folder by an authority that the hosts of ToolSession trust (or,
    // with trusted false, one that no host trusts). Before server.start().
    static bool useTls(HttpTestServer &server, const QString &folder, bool trusted);
    // "127.0.0.1:<port>": the simulated host's proxy, which answers the
    // connectivity check ("not found": an answer all the same).
    QString proxy() const { return QStringLiteral("127.0.0.1:%1").arg(m_http.port()); }
    // A port on 127.0.0.1 where nothing listens.
    static QString deadProxy();

    // The plain server: "the internet" behind the proxy, and plain links.
    HttpTestServer &http() { return m_http; }
    // The https server of goodImageLink().
    HttpTestServer &https() { return m_https; }
    // An https server whose certificate comes from an authority no host
    // trusts.
    HttpTestServer &untrusted() { return m_untrusted; }

private:
    QTemporaryDir m_files;
    HttpTestServer m_http;
    HttpTestServer m_https;
    HttpTestServer m_untrusted;
    QByteArray m_goodHash;
    static QByteArray s_trustedRoots;
};

class ToolSession {
public:
    // A fresh host from setup whose download link is link (none when null)
    // and whose network goes through proxy.
    ToolSession(const simhost::HostSpec &setup, const QString &link, const QString &proxy);
    // Waits for a build that is still running, then closes the windows.
    ~ToolSession();

    TestHost &host() { return m_host; }
    QString temp() const { return m_spec.tempDirectory; }
    void setLink(const QString &link) {
        setHostValue(QStringLiteral("DownloadLink_bootwim"), link.isNull() ? QVariant() : link);
    }
    // The SHA-256 the host product pins for the link (64 hex digits).
    void setPinnedDigest(const QString &hex) {
        setHostValue(QStringLiteral("DownloadSha256_bootwim"), hex);
    }

    // What a build must leave alone: every disk but chosenDisk (none: every
    // disk), and C: but for the temporary folder and the work folders.
    HostSnapshot snapshot(const QString &chosenDisk = QString()) const;

    // Start-up: host identity, language, network, then the main window.
    bool open();

    QCreateBootable *window() const { return m_window; }
    WarningClass *warning() const { return onlyTopLevel<WarningClass>(); }
    InfoDialogClass *info() const { return onlyTopLevel<InfoDialogClass>(); }
    QPushButton *titleCloseButton() const;

    // The window as a user tells its states apart, on one line: "list on |
    // create shown,on | leave on | status hidden | progress hidden |
    // animation hidden | confirm hidden | failure hidden".
    QString describe() const;

    // The drive list as shown: item texts and the disk number of each item.
    QStringList driveTexts() const { return QVariant(drives(Qt::DisplayRole)).toStringList(); }
    QList<QVariant> driveNumbers() const { return drives(Qt::UserRole); }

    // Presses a button as a user would; false when the user could not,
    // because it is hidden or disabled.
    static bool press(QAbstractButton *button);

    // Presses a button that leaves the tool, inside the application's event
    // loop as the running tool has it. Returns the loop's result: 0 when the
    // button quit the application, -1 when it could not be pressed, 1 when
    // the application kept running.
    static int leaveWith(QAbstractButton *button);
    // The same for any action, run in context (the window system's close).
    static int leaveBy(QObject *context, const std::function<void()> &action);

    // CreateBootable, then the confirmation's OK.
    bool startBuild();
    // True once the build has ended, either way: "Process completed" or
    // the failure dialog.
    bool buildEnded() const { return buildCompleted() || failureShown(); }
    bool buildCompleted() const;
    bool failureShown() const { return info() && info()->isVisible(); }

private:
    QList<QVariant> drives(int role) const;
    void setHostValue(const QString &name, const QVariant &value);

    simhost::HostSpec m_spec;
    TestHost m_host;
    QCreateBootable *m_window = nullptr;
};

extern const QString kCompletedText; // the window's status text of a finished build

namespace windowstates {

// The window's states as describe() reads them, told apart on the real
// widgets (finished and failed: in the builds' suite).
extern const QString kIdle;             // the list, Create Recovery Drive, the ways out
extern const QString kIdleWithoutDrive; // nothing to build on: only the ways out
extern const QString kConfirming;       // idle, the confirmation over it
extern const QString kDownloading;      // nothing written yet: the user may still leave
extern const QString kUsbModel; // the sample host's stick as the list shows it: model, size, letter

// Idle with drives: the list, Create Recovery Drive and the ways out.
void verifyIdle(ToolSession &session, const QStringList &drives, const QList<QVariant> &numbers);
// Right after OK: progress 0, the animation, the download's ways out.
void verifyBuilding(ToolSession &session);

} // namespace windowstates
