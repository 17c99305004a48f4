#pragma once
// The copyright and licence lines every program prints after its version, as GNU programs do.
// Header only: the device stand-ins print it too and link nothing of the programs.

namespace platform {

inline constexpr const char* licenceNotice =
    "Copyright (C) 2026 Tessaly tools developers.\n"
    "License MIT: <https://opensource.org/licenses/MIT>.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

}  // namespace platform
