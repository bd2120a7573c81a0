// Text conversion shared by the Windows layer's files. Internal to
// platform/win32: the door itself speaks UTF-8 and UTF-16 as declared there.
#pragma once

#include <string>

namespace hostplatform {
namespace win32 {

// UTF-8 to UTF-16; empty for empty or malformed text.
std::wstring widenUtf8(const std::string &text);

} // namespace win32
} // namespace hostplatform
