#include "app/NetworkSetup.h"

#include <QNetworkProxyFactory>

#ifndef Q_OS_WIN
#include "platform/sim/SimHost.h"

#include <QHostAddress>
#include <QNetworkProxy>
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

} // namespace
#endif

void applyHostNetworkSettings() {
#ifdef Q_OS_WIN
    QNetworkProxyFactory::setUseSystemConfiguration(true);
#else
    const QString proxy =
        simhost::hostSetting(simhost::hostRoot(), QStringLiteral("network/httpProxy")).toString();
    const int colon = proxy.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return;
    QNetworkProxyFactory::setApplicationProxyFactory(new SimHostProxyFactory(QNetworkProxy(
        QNetworkProxy::HttpProxy, proxy.left(colon), proxy.mid(colon + 1).toUShort())));
#endif
}
