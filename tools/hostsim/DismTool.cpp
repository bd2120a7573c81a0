// dism.exe on the simulated host: only /cleanup-wim, which finds no stale
// mounted images to clean. DISM checks its rights before anything else.
#include "tools/hostsim/Tools.h"

#include "platform/sim/SimHost.h"

namespace hostsim {

namespace {

constexpr int kElevationRequired = 740;
constexpr int kUnknownOption = 87;

} // namespace

int runDism(ToolContext &ctx) {
    ctx.out->write("\r\nDeployment Image Servicing and Management tool\r\nVersion: "
                   "10.0.19041.3636\r\n\r\n");
    if (!simhost::hostSetting(ctx.root, QStringLiteral("system/elevated"), true).toBool()) {
        ctx.out->write("\r\nError: 740\r\n\r\nElevated permissions are required to run DISM.\r\n"
                       "Use an elevated command prompt to complete these tasks.\r\n");
        return kElevationRequired;
    }
    if (ctx.arguments.size() == 1 &&
        ctx.arguments.first().compare(QLatin1String("/cleanup-wim"), Qt::CaseInsensitive) == 0) {
        ctx.out->write("Scanning drive for stale files\r\nCleaning up stale files\r\n"
                       "[==========================100.0%==========================]\r\n"
                       "The operation completed successfully.\r\n");
        return 0;
    }
    ctx.out->write(QStringLiteral("\r\nError: 87\r\n\r\nThe %1 option is unknown.\r\nFor more "
                                  "information, refer to the help by running DISM.exe /?.\r\n\r\n"
                                  "The DISM log file can be found at "
                                  "C:\\Windows\\Logs\\DISM\\dism.log\r\n")
                       .arg(ctx.arguments.value(0).toLower())
                       .toLocal8Bit());
    return kUnknownOption;
}

} // namespace hostsim
