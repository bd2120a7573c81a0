#include "sim/standins/Tools.h"

namespace hostsim {

Tool standInFor(const QString &fileName) {
    static const struct {
        const char *name;
        Tool tool;
    } kTools[] = {{"WMIC.exe", runWmic},         {"powershell.exe", runPowerShell},
                  {"diskpart.exe", runDiskpart}, {"dism.exe", runDism},
                  {"Xcopy.exe", runXcopy},       {"bitsadmin.exe", runBitsadmin}};
    for (const auto &entry : kTools) {
        if (fileName.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.tool;
    }
    return nullptr;
}

} // namespace hostsim
