#pragma once
// What the serial layer asks the system about a device node, in plain POSIX terms.

#include <string>

namespace platform {

// The group that owns the device node ("dialout"), its number when it has no name, or ""
// when the node cannot be examined.
std::string deviceGroupName(const std::string& device);

// False only when the permissions of the node keep this user from reading and writing it.
bool permissionAllowsReadWrite(const std::string& device);

// A pseudo-terminal slave (/dev/pts/N): it carries bytes whatever the line settings say, and
// the kernel keeps it at 8 data bits without parity.
bool isPseudoTerminal(const std::string& device);

// Asks a real serial driver to hand over received bytes at once instead of after its
// usual few milliseconds. Pseudo-terminals and drivers that refuse just answer false.
bool requestLowLatency(int fileDescriptor);

}  // namespace platform
