#pragma once
// The loader's exit statuses, the same for one board and for several (the README's table).

namespace loader::cli::exitStatus {

// Every target is programmed.
inline constexpr int programmed = 0;
// A serial or port failure, a refused image, or any board of several failed.
inline constexpr int failed = 1;
// A usage error, or a damaged Intel HEX file: nothing was opened or sent.
inline constexpr int usage = 2;
// --timeout passed, or a target fell silent for --stall seconds.
inline constexpr int timedOut = 3;
// Ended by signal n: 128 + n, as the shells report it (platform::ExitSignals).

}  // namespace loader::cli::exitStatus
