// The start-up sequence: fixes the host identity, selects the language,
// shows the main window and runs the event loop until the window leaves the
// tool. Command-line arguments are handed to Qt and otherwise ignored.
#pragma once

int runTool(int &argc, char **argv);
