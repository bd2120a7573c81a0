#include "tools/hostsim/Tools.h"

namespace hostsim {

void registerStandInTools() {
    registerTool(QStringLiteral("WMIC.exe"), runWmic);
    registerTool(QStringLiteral("powershell.exe"), runPowerShell);
    registerTool(QStringLiteral("diskpart.exe"), runDiskpart);
    registerTool(QStringLiteral("dism.exe"), runDism);
    registerTool(QStringLiteral("Xcopy.exe"), runXcopy);
    registerTool(QStringLiteral("bitsadmin.exe"), runBitsadmin);
}

} // namespace hostsim
