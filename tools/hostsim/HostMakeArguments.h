// The command line of hostsim-make, which makes a fresh simulated host for
// tests and the demo:
//   hostsim-make <root> [--replace]
//     [--disk id:number:model:mediaType[:letter[:size]]]...
//     [--temp <winpath>] [--system-dir <winpath>] [--comspec <winpath>]
//     [--dpi N] [--no-wmic] [--not-elevated]
//     [--no-registry] [--registry key|name|value]...
//     [--fault key=value]... [--disk-fault id:key=value]...
// Without --disk the host gets the sample disks; the first --disk replaces
// them. mediaType is "removable", "fixed", "external" or the full WMIC text.
// A registry value "dword:N" (N in hex) is a number, anything else a string.
#pragma once

#include "platform/sim/SimHost.h"

#include <QString>
#include <QStringList>

namespace hostsim {

struct HostMakeRequest {
    QString root;
    bool replace = false;
    simhost::HostSpec setup = simhost::sampleHostSpec();
};

// Parses the arguments (without the program name). Returns false with a
// reason on an unknown option or a malformed value.
bool parseHostMakeArguments(const QStringList &args, HostMakeRequest *request, QString *error);

} // namespace hostsim
