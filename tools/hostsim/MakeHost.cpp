// hostsim-make: makes a fresh simulated Windows host (see
// HostMakeArguments.h for the options).
#include "tools/hostsim/HostMakeArguments.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.contains(QStringLiteral("--help"))) {
        std::fprintf(stderr,
                     "usage: hostsim-make <root> [--replace] "
                     "[--disk id:number:model:mediaType[:letter[:size]]]... [--temp <winpath>] "
                     "[--system-dir <winpath>] [--comspec <winpath>] [--dpi N] [--no-wmic] "
                     "[--not-elevated] [--no-registry] [--registry key|name|value]... "
                     "[--fault key=value]... [--disk-fault id:key=value]...\n");
        return 2;
    }
    hostsim::HostMakeRequest request;
    QString error;
    if (!hostsim::parseHostMakeArguments(args, &request, &error)) {
        std::fprintf(stderr, "hostsim-make: %s\n", qPrintable(error));
        return 2;
    }
    if (!simhost::createHost(request.root, request.setup, &error, request.replace)) {
        std::fprintf(stderr, "hostsim-make: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s\n", qPrintable(request.root));
    return 0;
}
