// The stand-ins for the Windows tools that the product runs, one function
// per program. Each reads its arguments from the context, works on the host
// root and returns the tool's exit code.
#pragma once

#include "sim/standins/CommandInterpreter.h"

namespace hostsim {

using Tool = int (*)(ToolContext &);

// The stand-in for a program file name (case-insensitive, with its
// extension, for example "diskpart.exe"), or null.
Tool standInFor(const QString &fileName);

int runWmic(ToolContext &ctx);       // wbem\WMIC.exe diskdrive ... get ...
int runPowerShell(ToolContext &ctx); // powershell.exe: the drive listing only
int runDiskpart(ToolContext &ctx);   // diskpart.exe /s <script>, or commands on its input
int runDism(ToolContext &ctx);       // dism.exe /cleanup-wim
int runXcopy(ToolContext &ctx);      // Xcopy.exe <switches> <source> <destination>
int runBitsadmin(ToolContext &ctx);  // bitsadmin.exe /transfer ... and /cancel

} // namespace hostsim
