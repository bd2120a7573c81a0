// How the tool's own web requests (the connectivity probe) reach the web.
#pragma once

// Makes Qt's network access follow the machine's proxy settings, as the
// system's own downloads do: on Windows the system proxy configuration, on
// the simulated host the proxy named in its host configuration.
void applyHostNetworkSettings();
