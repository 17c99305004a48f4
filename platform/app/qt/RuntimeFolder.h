#pragma once
// A private runtime folder for a program started without XDG_RUNTIME_DIR (a cron job, a
// service, su, a CI runner). Qt then warns on standard error and falls back to a folder of
// its own; the programs instead provide that folder themselves, silently, before the
// application object is made: the same "<temp>/runtime-<user>" Qt would use, made or
// checked to be a real folder owned by the user with mode 0700. Sockets and locks go there,
// so a folder that fails the check (another user's, a symbolic link) is never used: a fresh
// private one is made beside it instead.

#include <string>

namespace platform {

// Sets XDG_RUNTIME_DIR to a private folder when it is unset, empty or not an absolute path;
// a usable setting is left alone. Call before the Q*Application is constructed.
void providePrivateRuntimeFolder();

// The folder providePrivateRuntimeFolder() settles on under `tempFolder` for `userName`;
// empty when none could be made.
std::string privateRuntimeFolder(const std::string& tempFolder, const std::string& userName);

}  // namespace platform
