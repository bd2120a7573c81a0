#include "support/ToolSession.h"

#include "app/AppContext.h"
#include "app/HostSide.h"
#include "app/LanguageSelection.h"
#include "sim/platform/SimRegistry.h"

#include "support/HostChecks.h"

#include <QFile>
#include <QMovie>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTimer>
#include <QtTest>

const QString kCompletedText = QStringLiteral("Process completed");

constexpr int kBuildEndsWithinMs = 300000;

bool E2eServer::start(qint64 imageSize) {
    const QString good = m_files.filePath(QStringLiteral("boot.wim"));
    const QString shortImage = m_files.filePath(QStringLiteral("short.wim"));
    for (HttpTestServer *server : {&m_http, &m_https, &m_untrusted}) {
        server->serveFile(QStringLiteral("/boot.wim"), good);
        server->serveFile(QStringLiteral("/short.wim"), shortImage);
    }
    if (!m_files.isValid() || !HttpTestServer::createSparseImage(good, imageSize) ||
        !HttpTestServer::createSparseImage(shortImage, kMinimumImageSize - 1) ||
        (m_goodHash = hostchecks::sha256(good)).isEmpty() ||
        !useTls(m_https, m_files.path(), true) || !useTls(m_untrusted, m_files.path(), false) ||
        !m_http.start() || !m_https.start() || !m_untrusted.start())
        return false;
    m_https.redirect(QStringLiteral("/downgraded.wim"), m_http.url(QStringLiteral("/boot.wim")));
    return true;
}

void E2eServer::reset() {
    for (HttpTestServer *server : {&m_http, &m_https, &m_untrusted}) {
        server->setMode(HttpTestServer::Mode::Serve);
        server->failNextRequests(0);
        server->setRate(0);
        server->setTrigger(0, nullptr);
    }
}

QByteArray E2eServer::s_trustedRoots;

bool E2eServer::useTls(HttpTestServer &server, const QString &folder, bool trusted) {
    const QString name = trusted ? QStringLiteral("trusted") : QStringLiteral("untrusted");
    if (QProcess::execute(QStringLiteral("bash"),
                          {QStringLiteral(BMC_MAKE_CERTIFICATES), folder, name}) != 0)
        return false;
    if (trusted) {
        QFile root(folder + QLatin1Char('/') + name + QStringLiteral("-root.pem"));
        if (!root.open(QIODevice::ReadOnly))
            return false;
        s_trustedRoots = root.readAll();
    }
    return server.useTls(folder + QLatin1Char('/') + name + QStringLiteral("-server.pem"),
                         folder + QLatin1Char('/') + name + QStringLiteral("-server.key"));
}

QString E2eServer::deadProxy() {
    // The probe's port, free again once the probe has gone.
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0)
               ? QStringLiteral("127.0.0.1:%1").arg(probe.serverPort())
               : QString();
}

ToolSession::ToolSession(const simhost::HostSpec &setup, const QString &link, const QString &proxy)
    : m_spec(setup), m_host(setup) {
    if (!m_host.isValid())
        return;
    // The host product's key, as start-up fixes it.
    fixHostIdentity();
    setLink(link);
    simhost::setHostSetting(m_host.root(), QStringLiteral("network/httpProxy"), proxy);
    // The host trusts the test servers' authority, as a Windows machine
    // trusts the publisher's.
    QFile roots(simhost::trustedRootsFile(m_host.root()));
    if (roots.open(QIODevice::WriteOnly))
        roots.write(E2eServer::trustedRoots());
}

ToolSession::~ToolSession() {
    if (m_window) {
        // A build holds the keep-awake request until it has ended.
        if (!QTest::qWaitFor([this] { return hostchecks::keepAwakeCleared(m_host); },
                             kBuildEndsWithinMs))
            qWarning("a build was still running when its test ended");
        delete m_window;
    }
    delete warning();
    delete info();
}

HostSnapshot ToolSession::snapshot(const QString &chosenDisk) const {
    return HostSnapshot::take(
        m_host, chosenDisk,
        {temp(), QStringLiteral("C:\\DownloadFIle"), QStringLiteral("C:\\mount")});
}

void ToolSession::setHostValue(const QString &name, const QVariant &value) {
    simhost::setRegistryValue(m_host.root(), AppContext::hostSettingsKey(), name, value);
}

bool ToolSession::open() {
    if (!m_host.isValid() || m_window)
        return false;
    fixHostIdentity();
    selectLanguageFromHost();
    applyHostNetworkSettings();
    m_window = new QCreateBootable(nullptr);
    m_window->show();
    return QTest::qWaitForWindowExposed(m_window) && warning() && info() && titleCloseButton();
}

QPushButton *ToolSession::titleCloseButton() const {
    const QList<QPushButton *> buttons = m_window->label_3->findChildren<QPushButton *>();
    return buttons.size() == 1 ? buttons.first() : nullptr;
}

QString ToolSession::describe() const {
    const auto onOff = [](const QWidget *w) {
        return QLatin1String(w->isEnabled() ? "on" : "off");
    };
    const auto shown = [](const QWidget *w) {
        return QLatin1String(w->isVisible() ? "shown" : "hidden");
    };
    const QCreateBootable *w = m_window;
    const QString leave = w->CancelButton->isEnabled() == titleCloseButton()->isEnabled()
                              ? onOff(w->CancelButton)
                              : QStringLiteral("mixed");
    QString animation = shown(w->ProcessLabel);
    if (w->ProcessLabel->isVisible() && w->ProcessLabel->movie())
        animation += w->ProcessLabel->movie()->state() == QMovie::Running
                         ? QStringLiteral(",running")
                         : QStringLiteral(",stopped");
    return QStringLiteral("list %1 | create %2,%3 | leave %4 | status %5 | progress %6 | "
                          "animation %7 | confirm %8 | failure %9")
        .arg(onOff(w->DiskComboBox), shown(w->CreateBootable), onOff(w->CreateBootable), leave,
             shown(w->label_2), shown(w->progressBar), animation, shown(warning()), shown(info()));
}

QList<QVariant> ToolSession::drives(int role) const {
    QList<QVariant> items;
    for (int i = 0; i < m_window->DiskComboBox->count(); ++i)
        items.append(m_window->DiskComboBox->itemData(i, role));
    return items;
}

bool ToolSession::press(QAbstractButton *button) {
    if (!button || !button->isVisible() || !button->isEnabled())
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

int ToolSession::leaveWith(QAbstractButton *button) {
    const bool pressable = button && button->isVisible() && button->isEnabled();
    return pressable ? leaveBy(button, [button] { press(button); }) : -1;
}

int ToolSession::leaveBy(QObject *context, const std::function<void()> &action) {
    QTimer::singleShot(0, context, action);
    QTimer stillRunning;
    stillRunning.setSingleShot(true);
    QObject::connect(&stillRunning, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    stillRunning.start(30000);
    return QCoreApplication::exec();
}

bool ToolSession::startBuild() {
    if (!press(m_window->CreateBootable))
        return false;
    WarningClass *confirm = warning();
    return confirm && confirm->isVisible() && press(confirm->OkButton);
}

bool ToolSession::buildCompleted() const {
    return m_window->label_2->text() == kCompletedText && m_window->CancelButton->isEnabled();
}

namespace windowstates {

const QString kIdle = QStringLiteral("list on | create shown,on | leave on | status hidden | "
                                     "progress hidden | animation shown | confirm hidden | "
                                     "failure hidden");
const QString kIdleWithoutDrive =
    QString(kIdle).replace("list on | create shown,on", "list off | create shown,off");
const QString kConfirming = QString(kIdle).replace("confirm hidden", "confirm shown");
const QString kDownloading =
    QStringLiteral("list off | create hidden,off | leave on | status shown | progress shown | "
                   "animation shown,running | confirm hidden | failure hidden");

const QString kUsbModel = QStringLiteral("Generic Flash Disk USB Device (14.9 GB, E:)");

void verifyIdle(ToolSession &session, const QStringList &drives, const QList<QVariant> &numbers) {
    QCOMPARE(session.driveTexts(), drives);
    QCOMPARE(session.driveNumbers(), numbers);
    QCOMPARE(session.window()->DiskComboBox->currentIndex(), 0);
    QCOMPARE(session.describe(), kIdle);
}

void verifyBuilding(ToolSession &session) {
    // The download may be stopped: nothing has been written yet.
    QCOMPARE(session.describe(), kDownloading);
    QCOMPARE(session.window()->progressBar->value(), 0);
}

} // namespace windowstates
