// dism.exe on the simulated host: only /cleanup-wim, which finds no stale
// mounted images to clean.
#include "sim/standins/Tools.h"

namespace hostsim {

int runDism(ToolContext &ctx) {
    ctx.out->write("\r\nDeployment Image Servicing and Management tool\r\nVersion: "
                   "10.0.19041.3636\r\n\r\n");
    if (ctx.arguments.size() == 1 &&
        ctx.arguments.first().compare(QLatin1String("/cleanup-wim"), Qt::CaseInsensitive) == 0) {
        ctx.out->write("Scanning drive for stale files\r\nCleaning up stale files\r\n"
                       "The operation completed successfully.\r\n");
        return 0;
    }
    ctx.out->write(QStringLiteral("\r\nError: 87\r\n\r\nThe %1 option is unknown.\r\n")
                       .arg(ctx.arguments.value(0).toLower())
                       .toLocal8Bit());
    return 87;
}

} // namespace hostsim
