#include "builder/ThreadDriveClone.h"

#include "app/AppContext.h"
#include "builder/MediaBuildPipeline.h"
#include "platform/HostPlatform.h"

namespace {

// Keeps the system from sleeping while a build writes the drive, and clears
// the request however the build ends.
class KeepAwake {
public:
    KeepAwake() { hostplatform::setKeepAwake(true); }
    ~KeepAwake() { hostplatform::setKeepAwake(false); }
    KeepAwake(const KeepAwake &) = delete;
    KeepAwake &operator=(const KeepAwake &) = delete;
};

} // namespace

ThreadDriveClone::ThreadDriveClone(QObject *parent) : QThread(parent) {}

ThreadDriveClone::~ThreadDriveClone() {
    wait();
}

void ThreadDriveClone::run() {
    const KeepAwake keepAwake;
    const int diskIndex = AppContext::selectedDiskIndex();
    const QString diskModel = AppContext::selectedDiskModel();
    systemDirectory = QString::fromStdWString(hostplatform::systemDirectory());
    MediaBuildPipeline pipeline(*this, systemDirectory, diskIndex, diskModel);
    pipeline.run();
}
