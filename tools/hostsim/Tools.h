// The stand-ins for the Windows tools that the product runs, one function
// per program. Each reads its arguments from the context, works on the host
// root and returns the tool's exit code.
#pragma once

#include "tools/hostsim/CommandInterpreter.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace hostsim {

// Registers every stand-in tool with the interpreter.
void registerStandInTools();

int runWmic(ToolContext &ctx);       // wbem\WMIC.exe diskdrive ... get ...
int runPowerShell(ToolContext &ctx); // powershell.exe: the drive listing only
int runDiskpart(ToolContext &ctx);   // diskpart.exe /s <script>
int runDism(ToolContext &ctx);       // dism.exe /cleanup-wim
int runXcopy(ToolContext &ctx);      // Xcopy.exe <switches> <source> <destination>
int runBitsadmin(ToolContext &ctx);  // bitsadmin.exe /transfer ...

// WMIC's table of properties (already in column order) and rows, in
// UTF-16LE with a byte-order mark when utf16, else in 8-bit text.
QByteArray wmicTable(const QStringList &properties, const QList<QStringList> &rows, bool utf16);

// The name a file gets when copied to a destination name with wildcards.
QString xcopyRenamed(const QString &mask, const QString &name);

} // namespace hostsim
