// The way out of the tool: restart the host product that launched it, then
// end the event loop.
#pragma once

#include "app/AppContext.h"

// Clears the keep-awake request, starts the host executable beside the tool
// through the shell, by its full path and only when it is there, and quits.
void relaunchHost();
