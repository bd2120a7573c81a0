// Entry point of BootableMediaCreator.
#include "app/Startup.h"
#include "platform/HostPlatform.h"

int main(int argc, char *argv[]) {
    // Before anything loads a library at run time (Qt's plugins, the
    // system's own helpers): none may come from the current folder or PATH.
    hostplatform::restrictLibrarySearch();
    return runTool(argc, argv);
}
