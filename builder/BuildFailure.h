// Why a build ended without a finished drive. The worker reports it with
// BuildFailed(int) just before IncompleteFile(), so the window can name the
// cause instead of leaving the user with the log file.
#pragma once

enum class BuildFailure {
    NoDownloadLink = 1, // the host product's key names no usable link
    DownloadFailed,     // neither download path brought a whole file
    ImageTooSmall,      // the file is smaller than any real image
    DriveChanged,       // the chosen disk is gone or another one is in its place
    DriveTooSmall,      // the image and boot files cannot fit on the disk
    NoDriveLetter,      // R: to Z: are all taken
    FormatFailed,       // diskpart failed
    CopyFailed,         // a copy tool reported a failure
    CheckFailed,        // the finished drive differs from what was written
    // Added later; the numbers above stay as they are.
    InsecureLink,         // neither https nor a pinned digest vouches for the image
    NotAuthenticated,     // the server failed the system's certificate check
    ImageNotPublished,    // the image's SHA-256 is not the pinned one
    ImageChanged,         // the image on the system drive was changed after its digest
    WorkFolderRedirected, // a work folder was a link to somewhere else
};
