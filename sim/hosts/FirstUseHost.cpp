// Linked into the tool's Linux build only: a host root that holds no host yet
// gets the sample host when the tool first uses it.
#include "sim/hosts/HostSetup.h"

namespace {

[[maybe_unused]] const bool kMakerSet =
    (simhost::setFirstUseHostMaker(
         [](const QString &root) { return simhost::createHost(root, simhost::sampleHostSpec()); }),
     true);

} // namespace
