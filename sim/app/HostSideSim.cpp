#include "app/HostSide.h"

#include "platform/HostPlatform.h"
#include "sim/platform/SimHost.h"
#include "sim/platform/SimRegistry.h"

#include <QCoreApplication>
#include <QFont>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QStringList>
#include <QUrl>

namespace {

// The simulated host's network: requests to the loopback go direct, every
// other request through the host's proxy, when one is configured.
class SimHostProxyFactory : public QNetworkProxyFactory {
public:
    explicit SimHostProxyFactory(const QNetworkProxy &proxy) : m_proxy(proxy) {}

    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override {
        const QString host = query.url().host();
        const QHostAddress address(host);
        if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
            (!address.isNull() && address.isLoopback()))
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        return {m_proxy};
    }

private:
    QNetworkProxy m_proxy;
};

// Segoe UI exists only on Windows. On the simulated host the windows still
// name it, and an Arial-metric face stands in for it (its Latin text runs
// within about 1 % of Segoe UI's width), else Noto Sans, so that texts take
// about the room they take on Windows. Other scripts come from the system's
// fallback faces.
void useLocalFacesForSegoeUi() {
    const QStringList faces = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                               QStringLiteral("Nimbus Sans"), QStringLiteral("Noto Sans"),
                               QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("Segoe UI"), faces);
    QFont::insertSubstitutions(QStringLiteral("Segoe UI SemiBold"), faces);
}
Q_COREAPP_STARTUP_FUNCTION(useLocalFacesForSegoeUi)

} // namespace

QVariant readRegistryValue(const QString &key, const QString &name) {
    return simhost::registryValue(simhost::hostRoot(), key, name);
}

void applyHostNetworkSettings() {
    const QString proxy =
        simhost::hostSetting(simhost::hostRoot(), QStringLiteral("network/httpProxy")).toString();
    const int colon = proxy.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return;
    QNetworkProxyFactory::setApplicationProxyFactory(new SimHostProxyFactory(QNetworkProxy(
        QNetworkProxy::HttpProxy, proxy.left(colon), proxy.mid(colon + 1).toUShort())));
}

void prepareHostDisplay() {
    // The windows draw with the raster engine only; on X11 this keeps Qt
    // from loading the OpenGL stack, tens of megabytes the tool never uses.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    // Windows turns font points into pixels at the screen's logical dpi, so
    // text grows with the windows; the simulated screen's dpi does the same.
    if (!qEnvironmentVariableIsSet("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", QByteArray::number(hostplatform::screenLogicalDpi()));
}
