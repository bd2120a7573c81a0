// Entry point of BootableMediaCreator.
#include "app/Startup.h"

int main(int argc, char *argv[]) {
    return runTool(argc, argv);
}
