// Failures on request for any stand-in: host.ini [faults] toolFailures lists
// "<program>:<run>:<kind>" entries, for example "diskpart.exe:2:1,Xcopy.exe:5:0".
// The run-th start of that program (counted from 1 over the host's life)
// then ends at once with the kind-th of its real failures: the tool's own
// exit code and message, and nothing done.
#pragma once

#include <QString>

class QIODevice;

namespace hostsim {

// A stick taken out, swapped or plugged in at an exact moment of a build:
// host.ini [faults] stickEvent ("unplug", "swap", "swap-lookalike" or
// "plug-other", on the disk stickEventDisk) happens just before the
// stickEventAtLine-th interpreter line (counted from 1 over the host's life),
// once. A swapped-in stick is "disk7" under the chosen one's number: of
// another model for "swap", of the same model and size but with another
// serial number, device id and signature for "swap-lookalike". Another
// stick is "disk2" on E:. Each holds one file, notes.txt.
void applyDueStickEvent(const QString &root);

// Another user's hand on the tool's files, just before the
// intrusionAtLine-th interpreter line, once: host.ini [faults] intrusion
// "replace-image" puts another file of the same size in the place of
// C:\DownloadFIle\boot.wim, "modify-image" changes bytes of it in place.
// Windows would refuse both while the tool holds the image; the simulated
// host cannot, so the tool must notice.
void applyDueIntrusion(const QString &root);

// Both of the above, as every start of a program on the host meets them.
inline void applyDueHostEvents(const QString &root) {
    applyDueStickEvent(root);
    applyDueIntrusion(root);
}

// Counts this start of the program and, when a failure is due, writes its
// message and returns true with its exit code.
bool injectedFailure(const QString &root, const QString &fileName, QIODevice *out, QIODevice *err,
                     int *exitCode);

} // namespace hostsim
