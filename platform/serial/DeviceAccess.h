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

// What a device node is when it cannot be a serial port: "a regular file", "a folder",
// "a pipe (FIFO)", "a socket", "a block device", or "a character device that is not a
// terminal" (/dev/null); empty for a terminal device or one the system does not describe.
std::string notSerialPortKind(const std::string& device);

// The lock file of a serial device as Qt SerialPort chooses it: LCK..<name under /dev with
// "/" as "_"> in the first of its lock folders that is readable and either writable or
// already holds that file; empty when no folder qualifies.
std::string serialLockFilePath(const std::string& device);

// The process named by a lock file (its first line, a decimal process id); 0 when the file
// is missing or names none.
long lockOwner(const std::string& lockFile);
// Whether process `pid` exists (also when it belongs to another user).
bool processRunning(long pid);
// Removes a lock file whose owner has ended. False when it is held by a running process or
// the lock folder does not let this user remove it.
bool removeStaleLock(const std::string& lockFile);

// Asks a real serial driver to hand over received bytes at once instead of after its
// usual few milliseconds. Pseudo-terminals and drivers that refuse just answer false.
bool requestLowLatency(int fileDescriptor);

}  // namespace platform
