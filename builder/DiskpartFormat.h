// The format of the chosen disk: one diskpart session, driven command by
// command, that erases the disk only once it has shown that the disk it
// selected is the chosen one.
#pragma once

#include "builder/VolumeLayout.h"
#include "drives/DriveListing.h"

#include <QChar>
#include <QString>

#include <functional>

class BuildLog;

enum class DiskpartFormatResult {
    Formatted,    // the chosen disk holds the new volume on its letter
    DriveChanged, // the selected disk is not the chosen one: nothing was written
    Failed,       // diskpart did not start, did not answer or did not make the volume
};

struct DiskpartFormat {
    QString systemDirectory;
    ListedDrive chosen;
    QChar letter;
    VolumeLayout layout;
};

// How long diskpart may take to answer a command that writes nothing, its
// start included (its disk service may take many seconds to start), and one
// that writes (clean, format).
constexpr unsigned long kDiskpartAnswerLimitMs = 2 * 60 * 1000;
constexpr unsigned long kDiskpartWriteLimitMs = 10 * 60 * 1000;

// Runs the session. stillChosen lists the disks again and tells whether the
// chosen one is still at its number; it is asked while diskpart holds its
// selection, right before the first command that writes. diskpart's answers
// to the commands that write are in the system's language and it goes on
// after a failed one, so the format counts as done only when every command
// was answered, "detail disk" then shows a volume with the letter and the
// file system on the selected disk, diskpart ended with 0 and the letter
// leads to a volume; the build's check of the finished drive follows.
// signature receives the disk's new signature as Windows lists it (a new
// partition table brings a new one), empty where diskpart showed none.
DiskpartFormatResult formatThroughDiskpart(const DiskpartFormat &format,
                                           const std::function<bool()> &stillChosen, BuildLog &log,
                                           QString *signature);
