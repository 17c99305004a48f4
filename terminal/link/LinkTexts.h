#pragma once
// Fixed texts of the link and the session, exactly as the operator sees them.

#include <string_view>

namespace terminal::linkTexts {

inline constexpr std::string_view notFoundYet = "Not Found Yet!";
inline constexpr std::string_view notAvailableYet = "Not Available Yet!";
inline constexpr std::string_view claimInfoNotAvailable = "Address Claimed Info not available.";
inline constexpr std::string_view addressClaimed = "Address claimed.";
inline constexpr std::string_view addressNotClaimed = "Address NOT claimed.";
inline constexpr std::string_view cannotClaim = " CANNOT claim.";
inline constexpr std::string_view claimNormal = " Normal.";
inline constexpr std::string_view engineClockAtReset = "0:0";
inline constexpr std::string_view defaultPortName = "COM1";

inline constexpr std::string_view cannotOpenPort = "Cannot Open the selected Serial Port!";
inline constexpr std::string_view firmwareTooOld =
    "This release requires Minimum J1939 Simulator (firmware) version 0.2D/0.2E/0.2F; please "
    "update your J1939 simulator accordingly.";

}  // namespace terminal::linkTexts
