// The way out of the tool: restart the host product that launched it, then
// end the event loop.
#pragma once

#include "app/AppContext.h"

// Bare file name of a host product's executable, expected beside the tool.
const char *hostExecutableFor(HostBrand brand);

// Clears the keep-awake request, makes the tool's folder the current
// directory, starts the host executable through the shell and quits.
void relaunchHost();
