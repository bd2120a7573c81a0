// hostsim-make: makes a fresh sample host for the demo and the benchmarks.
// Usage: hostsim-make <root> [--registry key|name|value]...
// Each --registry sets one string value, replacing the sample's.
#include "sim/hosts/HostSetup.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    simhost::HostSpec setup = simhost::sampleHostSpec();
    bool ok = args.size() % 2 == 1 && !args.first().startsWith(QLatin1String("--"));
    for (int i = 1; ok && i < args.size(); i += 2) {
        const QStringList parts = args.at(i + 1).split(QLatin1Char('|'));
        ok = args.at(i) == QLatin1String("--registry") && parts.size() == 3;
        for (int r = setup.registry.size() - 1; ok && r >= 0; --r) {
            const simhost::RegistryValue &old = setup.registry.at(r);
            if (old.key.compare(parts.at(0), Qt::CaseInsensitive) == 0 &&
                old.name.compare(parts.at(1), Qt::CaseInsensitive) == 0)
                setup.registry.removeAt(r);
        }
        if (ok)
            setup.registry.append({parts.at(0), parts.at(1), parts.at(2)});
    }
    if (!ok) {
        std::fprintf(stderr, "usage: hostsim-make <root> [--registry key|name|value]...\n");
        return 2;
    }
    QString error;
    if (!simhost::createHost(args.first(), setup, &error)) {
        std::fprintf(stderr, "hostsim-make: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s\n", qPrintable(args.first()));
    return 0;
}
