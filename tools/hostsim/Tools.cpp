#include "tools/hostsim/Tools.h"

#include "tools/hostsim/CommandInterpreter.h"

namespace hostsim {

void registerStandInTools()
{
    // The tools' stand-ins register here.
}

} // namespace hostsim
