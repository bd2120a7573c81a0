// What a server's answer says of the version of the file it sends. Internal
// to platform/win32.
#pragma once

#include "platform/HostPlatform.h"

namespace hostplatform {
namespace win32 {

// The length, ETag and Last-Modified of a response's header block ("Name:
// value" lines ending in CRLF, the status line first, as WinINet and URL
// monikers give it). Header names are matched ignoring case.
RemoteVersion versionFromHeaders(const wchar_t *headers);

} // namespace win32
} // namespace hostplatform
