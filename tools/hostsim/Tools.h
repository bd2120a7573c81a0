// The stand-ins for the Windows tools that the product runs.
#pragma once

namespace hostsim {

// Registers every stand-in tool with the interpreter.
void registerStandInTools();

} // namespace hostsim
