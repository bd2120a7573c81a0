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

bool ThreadDriveClone::requestStop() {
    int expected = Stoppable;
    return m_phase.compare_exchange_strong(expected, Stopping) || expected == Stopping;
}

bool ThreadDriveClone::stopRequested() const {
    return m_phase.load() == Stopping;
}

bool ThreadDriveClone::beginWritingDrive() {
    int expected = Stoppable;
    return m_phase.compare_exchange_strong(expected, WritingDrive);
}

void ThreadDriveClone::discardKeptImage() {
    // The tool is ending: a download still running is given up rather than
    // waited out to the stall limit; a drive being written is finished first.
    if (isRunning())
        requestStop();
    wait();
    m_phase.store(Stoppable); // a stop asked as the build ended stops no later one
    m_keptImage.discard();
}

void ThreadDriveClone::run() {
    // Whatever happened in this build, the next one starts stoppable.
    struct NextBuildStoppable {
        std::atomic<int> &phase;
        ~NextBuildStoppable() { phase.store(Stoppable); }
    } nextBuild{m_phase};
    const KeepAwake keepAwake;
    const ListedDrive disk = AppContext::selectedDisk();
    systemDirectory = QString::fromStdWString(hostplatform::systemDirectory());
    MediaBuildPipeline pipeline(*this, systemDirectory, disk);
    pipeline.run();
}
